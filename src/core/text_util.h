#pragma once
// ASCII-only text helpers: file names and keys in this system are ASCII, and locale-aware
// case mapping would make names depend on the user's settings.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yl {

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // case-insensitive ASCII compare
std::string Trim(std::string_view s);
std::string TrimRight(std::string_view s);
std::string TrimLeft(std::string_view s);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);
std::vector<std::string> SplitLines(std::string_view text);  // accepts "\n" and "\r\n"
std::string PadRight(std::string_view s, std::size_t width, char fill = ' ');
std::string PadLeft(std::string_view s, std::size_t width, char fill = ' ');
// A whole decimal integer with an optional sign and nothing else (no blanks); nullopt when
// the text is not one or does not fit in 32 bits.
std::optional<int> ParseInt(std::string_view s);

}  // namespace yl
