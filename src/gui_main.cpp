// yearloom: the window when started without parameters, the headless program with them.

#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/command_line.h"
#include "env/environment.h"
#include "platform/user_dirs.h"
#include "ui/desktop.h"

int main(int argc, char** argv) {
  const std::vector<std::string> params(argv + 1, argv + argc);
  // With parameters no display is needed and no QApplication is made.
  if (!params.empty()) return yl::RunCommandLine(params);
  if (!yl::HasDisplay()) {
    std::cerr << "yearloom: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set), "
                 "so the window cannot open.\n"
                 "Run a task unattended instead, for example:\n"
                 "  yearloom all SIMDETAILS.ds1\n\n";
    yl::PrintUsage(std::cerr);
    return yl::kUsageExit;
  }
  const unsigned cpus = std::thread::hardware_concurrency();
  return yl::RunDesktop(argc, argv, yl::ProgramDirectory(), cpus > 0 ? static_cast<int>(cpus) : 1);
}
