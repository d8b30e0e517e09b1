// yearloom: the program's headless entry point. With parameters it runs one task in batch
// mode; the desktop window comes with the Qt layer.

#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/batch_mode.h"
#include "app/version.h"
#include "core/clock.h"
#include "env/environment.h"
#include "platform/process.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "Usage: yearloom base|rerun|policy|base+rerun|rerun+policy|all "
         "[all|ss|YEAR1-YEAR2] [SIMDETAILS]\n"
         "Runs one task of the simulation set up in SIMDETAILS (a \".ds1\" file; a relative\n"
         "name is taken from the current directory), or of the last session, unattended.\n"
         "  YEARS: all (the default), ss (spreadsheet jobs only), or the simulations of\n"
         "         the calendar years YEAR1 to YEAR2.\n"
         "Outcomes are added to BatchJobs.log in the keep directory. The exit status is 0\n"
         "only when the whole job finished successfully.\n"
         "  yearloom --version   prints the version\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> params(argv + 1, argv + argc);
  if (!params.empty() && (params[0] == "--version" || params[0] == "-v")) {
    std::cout << yl::VersionText() << "\n";
    return 0;
  }
  if (params.empty() || params[0] == "--help" || params[0] == "-h") {
    std::cout << yl::VersionText() << "\n";
    PrintUsage(std::cout);
    return params.empty() ? 2 : 0;
  }
  yl::PosixProcessRunner runner;
  yl::SystemClock clock;
  yl::BatchEnvironment env;
  env.program_dir = yl::ProgramDirectory();
  env.current_dir = yl::ProcessCurrentDirectory();
  env.runner = &runner;
  env.clock = &clock;
  env.out = &std::cout;
  unsigned cpus = std::thread::hardware_concurrency();
  env.processors = cpus > 0 ? static_cast<int>(cpus) : 1;
  return yl::RunBatchMode(params, env);
}
