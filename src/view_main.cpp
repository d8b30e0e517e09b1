// yearloom-view: the results viewer on the files named on its command line.

#include <iostream>
#include <string>
#include <vector>

#include "app/viewer/results_series.h"
#include "env/environment.h"
#include "ui/results_viewer.h"

namespace {

constexpr int kUsageExit = 2;

void PrintUsage(std::ostream& out) {
  out << "Usage: yearloom-view [--base CSV] [--rerun CSV] [--policy CSV] FILE [FILE...]\n"
         "Shows Header Array files (.har, .sl4, .sol, .rsl, ...) and results tables (.csv)\n"
         "as tables, and charts the runs' cumulative results. The runs' tables are found\n"
         "beside a results table through its Sim Details; --base, --rerun and --policy\n"
         "name them instead.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  yl::SeriesSources series;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintUsage(std::cout);
      return 0;
    }
    std::string* run = arg == "--base"     ? &series.base
                       : arg == "--rerun"  ? &series.rerun
                       : arg == "--policy" ? &series.policy
                                           : nullptr;
    if (run && i + 1 < argc) {
      *run = argv[++i];
    } else if (run || arg.starts_with("--")) {
      std::cerr << "yearloom-view: " << arg
                << (run ? " needs a file name\n" : " is not an option\n");
      PrintUsage(std::cerr);
      return kUsageExit;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    PrintUsage(std::cerr);
    return kUsageExit;
  }
  if (!yl::HasDisplay()) {
    std::cerr << "yearloom-view: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is "
                 "set), so the viewer cannot open.\n"
                 "List a Header Array file's headers without one with:\n"
                 "  yearloom-har list FILE\n";
    return kUsageExit;
  }
  return yl::RunResultsViewer(argc, argv, files, series);
}
