#include "platform/name_quoting.h"

namespace yl {

namespace {

bool SplitsWords(char c) {
  return c == ' ' || c == '\t' || c == '=' || c == ';' || c == '(' || c == ')';
}

bool IsControl(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 32 || u == 127;
}

}  // namespace

std::string UnwritableNamePart(std::string_view name) {
  for (char c : name) {
    switch (c) {
      case '"':
        return "a double quote (\")";
      case '!':
        return "an exclamation mark (!)";
      case '#':
        return "a hash sign (#)";
      case '\n':
      case '\r':
        return "a line break";
      case '\t':
        break;  // kept inside double quotes, and mid-line in stored-input files
      default:
        if (IsControl(c)) return "a control character";
    }
  }
  // Readers trim their lines and values, so a name could not end or begin with blanks.
  if (!name.empty() && (name.front() == ' ' || name.front() == '\t')) return "a leading blank";
  if (!name.empty() && (name.back() == ' ' || name.back() == '\t')) return "a trailing blank";
  return "";
}

std::string UnquotableNamePart(std::string_view name) {
  if (std::string part = UnwritableNamePart(name); !part.empty()) return part;
  for (char c : name) {
    switch (c) {
      case ' ':
        return "a blank";
      case '\t':
        return "a tab";
      case '=':
        return "an equals sign (=)";
      case ';':
        return "a semicolon (;)";
      case '(':
      case ')':
        return "a parenthesis";
      default:
        break;
    }
  }
  return "";
}

std::string QuoteIfNeeded(std::string_view name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') return std::string(name);
  for (char c : name) {
    if (SplitsWords(c)) return "\"" + std::string(name) + "\"";
  }
  return std::string(name);
}

std::string VisibleName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string r;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\n') {
      r += "\\n";
    } else if (c == '\r') {
      r += "\\r";
    } else if (c == '\t') {
      r += "\\t";
    } else if (IsControl(c)) {
      r += "\\x";
      r += kHex[u >> 4];
      r += kHex[u & 15];
    } else {
      r += c;
    }
  }
  return r;
}

}  // namespace yl
