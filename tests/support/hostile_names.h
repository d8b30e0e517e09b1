#pragma once
// Names that would change the meaning of a command, stored-input or Sim Details file if
// they were written as they are. Each ends a path (or is a whole simulation or logical
// name); `part` is what the refusal names, or "" for a name that quoting keeps whole.

#include <string>
#include <vector>

namespace yl::testing {

struct HostileName {
  std::string label;
  std::string name;
  std::string part;       // "" when the name can be written
  std::string bare_part;  // the same for a name that cannot be quoted
  bool Writable() const { return part.empty(); }
};

inline std::vector<HostileName> HostileNames() {
  return {
      {"blank", "a b", "", "a blank"},
      {"bang", "a!b", "an exclamation mark (!)", "an exclamation mark (!)"},
      {"hash", "a#b", "a hash sign (#)", "a hash sign (#)"},
      {"semicolon", "a;b", "", "a semicolon (;)"},
      {"equals", "a=b", "", "an equals sign (=)"},
      {"parentheses", "a(b)", "", "a parenthesis"},
      {"tab", "a\tb", "", "a tab"},
      {"newline", "a\nb", "a line break", "a line break"},
      {"carriage return", "a\rb", "a line break", "a line break"},
      {"control", std::string("a\x01") + "b", "a control character", "a control character"},
      {"double quote", "a\"b", "a double quote (\")", "a double quote (\")"},
      {"single quote", "a'b", "", ""},
      {"dollar", "a$b", "", ""},
      {"backslash", "a\\b", "", ""},
      {"leading dash", "-ab", "", ""},
      {"trailing blank", "ab ", "a trailing blank", "a trailing blank"},
  };
}

// One name holding every character that quoting keeps but the blank (the demo's own
// directory has one), for end-to-end runs.
inline std::string EveryQuotableCharacter() { return "-q;b=c(d)\te'f$g\\h"; }

}  // namespace yl::testing
