#pragma once
// Names that go into command files, stored-input files and Sim Details files. Command
// files split words at blanks, tabs, "=", ";", "(" and ")" and start comments at "!" and
// "#" even inside double quotes; stored-input files are never quoted, start comments at
// "!" and trim their lines; every one of these files is read line by line. A name keeps
// its meaning when it is quoted where words split and refused where no quoting helps.

#include <string>
#include <string_view>

namespace yl {

// What in the name no such file can hold, e.g. "an exclamation mark (!)"; "" when the name
// can be written.
std::string UnwritableNamePart(std::string_view name);

// The same for names written bare, such as logical file names: also what would split them
// into several command-file words.
std::string UnquotableNamePart(std::string_view name);

// Encloses a name in double quotes when it holds a character that would split it into
// several command-file words, unless it is already enclosed.
std::string QuoteIfNeeded(std::string_view name);

// The name with control characters written as \n, \r, \t or \xHH, for messages.
std::string VisibleName(std::string_view name);

}  // namespace yl
