#pragma once
// Running the model programs as processes in scratch directories, with command files
// written the way the main program writes them.

#include <string>
#include <vector>

#include "harfile/har_file.h"
#include "support/program_run.h"
#include "support/scratch_dir.h"

namespace yl::testing {

// A Base command file of the demo for the period ending in `year`.
struct PeriodFiles {
  std::string dir;
  int year = 2021;
  std::string basedata = "basedata.har";
  std::string lagdata = "lagdata.har";
  std::string model = "demomodel";  // companion stem in the bin directory
  std::string method =
      "Method = Gragg;\nSteps = 2 4 6;\nsubintervals = 1;\nautomatic accuracy = no;\n";
  std::string closure = "exogenous y k tpow ltot savr pcpi ;\nrest endogenous ;\n";
  std::string shocks;  // default: the tagged base shocks of the year
  std::string Stem() const;
  std::string Updated() const;
  std::string Summary() const;
};
std::string BaseCommandFile(const PeriodFiles& p);

// A scratch directory holding the demo's files, and the first period of the demo in it.
class DemoPeriodTest : public IsolatedEnvTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(CopyDemoFiles(scratch.path()));
    p.dir = scratch.path();
  }
  PeriodFiles p;
};

// Writes "bat rpt REPORT cmf CMF" and runs; files are named after the stem.
ProgramRun RunPeriod(const PeriodFiles& p, const std::string& cmf_text,
                     const std::string& program = "demomodel");

// The trimmed strings of a header; a missing header fails the test.
std::vector<std::string> Strings(const HarFile& f, const std::string& header);

}  // namespace yl::testing
