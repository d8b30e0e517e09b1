// yearloom: the desktop program's headless entry point. Until the job engine exists it
// only reports its version and what batch mode will do.

#include <cstring>
#include <iostream>

#include "app/version.h"

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-v") == 0)) {
    std::cout << yl::VersionText() << "\n";
    return 0;
  }
  std::cout << yl::VersionText() << "\n"
            << "Batch mode (not yet available in this build):\n"
            << "  yearloom base|rerun|policy|base+rerun|rerun+policy|all "
               "[all|ss|YEAR1-YEAR2] [SIMDETAILS]\n"
            << "runs one task of a recursive-dynamic simulation unattended and exits.\n";
  return argc > 1 ? 2 : 0;
}
