#pragma once
// The frame of one run of a family program: the log, the outputs it creates, the report
// it leaves, and the fault knobs that let tests make it fail in every way the engine has
// to handle.
//
// Fault knobs: the environment variable YL_FAULT (entries separated by ";") or the file
// "yl-fault.txt" in the working directory (one entry a line, "#" starts a comment). An
// entry is "PROGRAM MODE [SECONDS] [MATCH]": PROGRAM is the program's name or "*"; MODE is
// one of no-report, status-error, no-check-file, crash, hang, slow; SECONDS is the delay
// of "slow"; MATCH, when given, must occur in the stored-input file's name.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/status.h"
#include "toolkit/tool_args.h"

namespace yl::tool {

enum class FaultMode {
  kNone,
  kNoReport,
  kStatusError,
  kNoCheckFile,
  kCrash,
  kHang,
  kSlow,
  // The work is done and the report says ok, and then the program still ends badly.
  kCrashAfterReport,
  kExitAfterReport,
  kTruncateOutputs,
  // Ends at once with status 0, writing nothing at all.
  kSilent,
};

struct Fault {
  FaultMode mode = FaultMode::kNone;
  int seconds = 0;
};

// The first entry that applies to this program and stored-input file.
Fault FindFault(const std::string& program, const std::string& sti_path,
                const std::string& work_dir);
Result<Fault> ParseFaultEntry(const std::string& entry, const std::string& program,
                              const std::string& sti_path, bool* applies);

struct Report {
  bool ok = false;
  std::string error;
  std::string log_file;
  std::vector<std::pair<std::string, std::string>> extra;  // further [Result] keys
};

// "[Result]" with "Status", "Error" (on failure), "Log file" and the extra keys.
Status WriteReport(const std::string& path, const Report& report);

class ToolRun {
 public:
  ToolRun(std::string program, ToolArgs args);
  ~ToolRun();
  ToolRun(const ToolRun&) = delete;
  ToolRun& operator=(const ToolRun&) = delete;

  const ToolArgs& args() const { return args_; }
  const std::string& program() const { return program_; }
  void Log(const std::string& line);
  void SetReportPath(const std::string& path) { report_path_ = path; }
  void AddReportKey(const std::string& key, const std::string& value);
  // Writes an output through a temporary name; every output is removed again when the
  // run fails, so nothing half made looks complete.
  Status WriteOutput(const std::string& path, const std::string& content);
  // Marks an output (written already, or written by other means) as the run's own.
  void AddOutput(const std::string& path);
  void SetCheckFile(const std::string& path) { check_file_ = path; }
  // Applies the fault knob and writes the report; returns the process exit status.
  int Finish(const Status& result);

 private:
  std::string program_;
  ToolArgs args_;
  std::string report_path_;
  std::vector<std::pair<std::string, std::string>> report_keys_;
  std::vector<std::string> outputs_;
  std::string check_file_;
  Fault fault_;
  void* log_ = nullptr;  // FILE*
};

// Parses the command line, runs body inside a ToolRun and finishes it. A body that
// throws fails the run with the exception's text instead of crashing.
int RunTool(int argc, const char* const* argv, const std::string& program,
            const std::function<Status(ToolRun&)>& body);

}  // namespace yl::tool
