#pragma once
// Path helpers. Paths use "/" on Linux; a name is absolute when it begins with "/".

#include <string>
#include <string_view>

namespace yl {

inline constexpr char kPathSep = '/';

// Joins with exactly one separator: trailing separators of dir and leading ones of name go.
std::string JoinPath(std::string_view dir, std::string_view name);
// The directory part of a file path, without a trailing separator ("" for a bare name).
std::string DirOfFile(std::string_view path);
// The name after the last separator.
std::string FileNameOf(std::string_view path);
// Removes one trailing separator (the root "/" stays).
std::string RemoveTrailingSep(std::string_view dir);
bool IsAbsolutePath(std::string_view name);
// An absolute name is used unchanged; one beginning with "." is expanded relative to dir
// (and normalised); any other is joined to dir.
std::string ResolveAgainst(std::string_view dir, std::string_view name);
// The extension including its dot ("" when there is none); dots in directories don't count.
std::string FileExtOf(std::string_view path);
// Replaces the extension (ext includes its dot, or is empty to remove it).
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// Removes one pair of enclosing double quotes.
std::string Unquote(std::string_view name);
// Quotes any text for /bin/sh: single quotes, with embedded ones written as '\''.
std::string ShellQuote(std::string_view text);
// Lexically normalised absolute form (relative names are taken from the current directory).
std::string AbsolutePath(std::string_view path);

}  // namespace yl
