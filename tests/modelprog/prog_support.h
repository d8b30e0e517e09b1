#pragma once
// Running the model programs as processes in scratch directories, with command files
// written the way the main program writes them.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "harfile/har_file.h"
#include "platform/process.h"

namespace yl::testing {

// The directory of the built programs (YL_BIN_DIR, or the environment variable of that
// name when it is set).
std::string BinDir();
std::string BinPath(const std::string& program);

struct ProgramRun {
  ProcessExit exit;
  std::map<std::string, std::string> report;  // [Result] keys; empty when no report
  bool has_report = false;
  std::string log;
  std::string Key(const std::string& key) const;
};

// Runs `program -sti STI -lon LOG` in `dir` and waits (at most a minute).
ProgramRun RunModel(const std::string& program, const std::string& dir, const std::string& sti,
                    const std::string& log, const std::string& report);

// Copies the demo's data, closure and shock files into `dir`.
void CopyDemoFiles(const std::string& dir);

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

// Writes "bat rpt REPORT cmf CMF" and runs; files are named after the stem.
ProgramRun RunPeriod(const PeriodFiles& p, const std::string& cmf_text,
                     const std::string& program = "demomodel");

HarFile ReadHar(const std::string& path);
std::vector<double> RealValues(const HarFile& f, const std::string& header);
std::vector<std::string> Strings(const HarFile& f, const std::string& header);

}  // namespace yl::testing
