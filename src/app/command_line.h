#pragma once
// The headless program: batch mode and the checks of the run records, run from the
// command line without any display. Both `yearloom` (given parameters) and the Qt-free
// `yearloom-batch` come here.

#include <ostream>
#include <string>
#include <vector>

namespace yl {

// The exit status of a start that was not understood (no parameters where some are
// needed, or no display for the window).
inline constexpr int kUsageExit = 2;

void PrintUsage(std::ostream& out);
// Runs what the parameters ask for and returns the exit status.
int RunCommandLine(const std::vector<std::string>& params);

}  // namespace yl
