#pragma once
// Where the help pages are: one HTML page per topic id, in "help" beside the program or,
// once installed, in the shared data directory.

#include <string>
#include <vector>

namespace yl {

std::vector<std::string> HelpDirectories(const std::string& program_dir);
// The page of the topic, or "" when none of the directories has it.
std::string HelpPagePath(const std::vector<std::string>& dirs, int topic);

}  // namespace yl
