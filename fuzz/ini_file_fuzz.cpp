// Feeds an INI text and a list of edits to IniFile, and checks every answer against a
// plain scan of the lines (the indexed lookups must not change what a file means).
// Input: the INI text, a line "@@@", then edits, one a line:
//   "S section|key|value" set, "R section|key" remove a key, "X section" remove a section.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/text_util.h"
#include "env/ini_file.h"
#include "fuzz_support.h"

namespace {

using yl::SameText;
using yl::Trim;

// The lines and the linear lookups, as simple as they can be.
class Reference {
 public:
  struct Line {
    std::string text, section, key, value;
    bool is_header = false, is_key = false;
  };
  static Line ParseLine(const std::string& text, const std::string& section) {
    Line l;
    l.text = text;
    l.section = section;
    std::string t = Trim(text);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
      l.is_header = true;
      l.section = Trim(t.substr(1, t.size() - 2));
      return l;
    }
    if (t.empty() || t[0] == ';') return l;
    std::size_t eq = text.find('=');
    if (eq == std::string::npos) return l;
    l.is_key = true;
    l.key = Trim(text.substr(0, eq));
    l.value = yl::TrimRight(text.substr(eq + 1));
    return l;
  }
  explicit Reference(const std::string& text) {
    std::string section;
    for (const auto& raw : yl::SplitLines(text)) {
      lines.push_back(ParseLine(raw, section));
      if (lines.back().is_header) section = lines.back().section;
    }
  }
  std::optional<std::size_t> Find(const std::string& s, const std::string& k) const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].is_key && SameText(lines[i].section, s) && SameText(lines[i].key, k)) return i;
    }
    return std::nullopt;
  }
  std::optional<std::string> Get(const std::string& s, const std::string& k) const {
    auto i = Find(s, k);
    if (!i) return std::nullopt;
    return lines[*i].value;
  }
  bool HasSection(const std::string& s) const {
    for (const auto& l : lines) {
      if (l.is_header && SameText(l.section, s)) return true;
    }
    return false;
  }
  void Set(const std::string& s, const std::string& k, const std::string& v) {
    std::string text = k + "=" + v;
    if (auto i = Find(s, k)) {
      lines[*i] = ParseLine(text, lines[*i].section);
      return;
    }
    std::optional<std::size_t> at;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const Line& l = lines[i];
      if (!SameText(l.section, s)) continue;
      if (l.is_header || l.is_key || !Trim(l.text).empty()) at = i + 1;
    }
    if (!at) {
      if (!lines.empty() && !Trim(lines.back().text).empty()) lines.push_back(ParseLine("", ""));
      lines.push_back(ParseLine("[" + s + "]", s));
      at = lines.size();
    }
    lines.insert(lines.begin() + static_cast<long>(*at), ParseLine(text, s));
  }
  void RemoveKey(const std::string& s, const std::string& k) {
    if (auto i = Find(s, k)) lines.erase(lines.begin() + static_cast<long>(*i));
  }
  void RemoveSection(const std::string& s) {
    std::erase_if(lines, [&](const Line& l) { return SameText(l.section, s); });
  }
  std::string Text() const {
    std::string out;
    for (const auto& l : lines) out += l.text + "\n";
    return out;
  }
  std::vector<Line> lines;
};

std::vector<std::string> Fields(const std::string& line, std::size_t n) {
  std::vector<std::string> f;
  std::size_t from = 0;
  while (f.size() + 1 < n) {
    std::size_t bar = line.find('|', from);
    if (bar == std::string::npos) break;
    f.push_back(line.substr(from, bar - from));
    from = bar + 1;
  }
  f.push_back(line.substr(from));
  f.resize(n);
  return f;
}

void Same(const yl::IniFile& ini, const Reference& ref, const std::string& s,
          const std::string& k) {
  if (ini.Get(s, k) != ref.Get(s, k)) __builtin_trap();
  if (ini.HasSection(s) != ref.HasSection(s)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = yl::fuzz::Parts(yl::fuzz::Text(data, size), 2);
  yl::IniFile ini = yl::IniFile::Parse(parts[0]);
  Reference ref(parts[0]);
  if (ini.Text() != ref.Text()) __builtin_trap();
  // Every key of the file answers with its first value (the reference scans, so a long
  // file is checked at its first lines only).
  std::size_t checked = 0;
  for (const auto& l : ref.lines) {
    if ((l.is_key || l.is_header) && ++checked <= 64) Same(ini, ref, l.section, l.key);
  }
  int n = 0;
  for (const std::string& op : yl::SplitLines(parts[1])) {
    if (++n > 64 || op.empty()) break;
    auto f = Fields(op.substr(1), 3);
    yl::IniFile copy = ini;  // a copy must carry a working index
    switch (op[0]) {
      case 'S':
        ini.Set(f[0], f[1], f[2]);
        ref.Set(f[0], f[1], f[2]);
        break;
      case 'R':
        ini.RemoveKey(f[0], f[1]);
        ref.RemoveKey(f[0], f[1]);
        break;
      case 'X':
        ini.RemoveSection(f[0]);
        ref.RemoveSection(f[0]);
        break;
      default:
        continue;
    }
    Same(ini, ref, f[0], f[1]);
    if (copy.Text() == ini.Text()) Same(copy, ref, f[0], f[1]);
  }
  if (ini.Text() != ref.Text()) __builtin_trap();
  checked = 0;
  for (const auto& l : ref.lines) {
    if (l.is_key && ++checked <= 64) Same(ini, ref, l.section, l.key);
  }
  std::set<std::string> sections;
  for (const auto& l : ref.lines) {
    if (sections.size() < 16) sections.insert(l.section);
  }
  for (const auto& s : sections) {
    std::vector<std::string> keys;
    for (const auto& l : ref.lines) {
      if (l.is_key && SameText(l.section, s)) keys.push_back(l.key);
    }
    if (ini.Keys(s) != keys) __builtin_trap();
  }
  // What is written reads back the same (a carriage return inside a set value aside: it
  // ends the line when read again).
  const std::string text = ini.Text();
  if (text.find('\r') == std::string::npos && yl::IniFile::Parse(text).Text() != text) {
    __builtin_trap();
  }
  return 0;
}
