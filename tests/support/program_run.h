#pragma once
// Running the built programs as processes the way the main program runs them (stored
// input and log file on the command line) and reading what they leave: the [Result]
// keys of the report, the log, and Header Array files.

#include <map>
#include <string>
#include <vector>

#include "harfile/har_file.h"
#include "platform/process.h"

namespace yl::testing {

// The directory of the built programs: the environment variable YL_BIN_DIR when it is
// set, else the build's own.
std::string BinDir();
std::string BinPath(const std::string& program);

struct ProgramRun {
  bool ran = false;  // started, and ended within the time allowed
  ProcessExit exit;
  bool has_report = false;
  std::map<std::string, std::string> report;  // [Result] keys; empty when no report
  std::string log;
  std::string Key(const std::string& key) const;
  bool Ok() const { return has_report && Key("Status") == "ok"; }
};

// Runs `program -sti STI -lon LON` from the bin directory in `dir` and waits (at most a
// minute); then reads the report file and the log file, relative names against `dir`.
// The log file is named apart from LON because LON may be a pattern such as "%sti".
ProgramRun RunProgram(const std::string& program, const std::string& dir, const std::string& sti,
                      const std::string& lon, const std::string& report_file,
                      const std::string& log_file);

// Copies the demo's data, closure, shock and mapping files into `dir`.
void CopyDemoFiles(const std::string& dir);

// A missing or unreadable file, or a missing header, fails the test.
HarFile ReadHarOrFail(const std::string& path);
std::vector<double> HeaderValues(const HarFile& f, const std::string& header);

}  // namespace yl::testing
