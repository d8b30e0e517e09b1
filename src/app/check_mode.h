#pragma once
// "where-to-start" and "results-ok" on the command line: the reports of the Tasks menu for
// people who script their runs. They read the settings, the Sim Details and the run
// records and change no file; the exit status says whether anything is left to do.

#include <functional>
#include <ostream>
#include <string>

#include "app/session.h"
#include "core/status.h"

namespace yl {

struct CheckRequest {
  enum class Kind { kWhereToStart, kResultsOk };
  Kind kind = Kind::kWhereToStart;
  bool sequence_only = false;  // where-to-start: completion and sequence alone
  bool as_created = false;     // results-ok: outputs as they were made, no sequence
  std::string include;         // results-ok: result kinds, comma-separated; "" the default
  std::string sim_details;     // a ".ds1" (relative to current_dir); "" the last session
};

struct CheckEnvironment {
  std::string current_dir;
  std::ostream* out = nullptr;  // the report
  std::ostream* err = nullptr;  // what went wrong
};

inline constexpr int kCheckAllDone = 0;
inline constexpr int kCheckLeftToDo = 1;
inline constexpr int kCheckError = 2;

int RunCheckMode(const CheckRequest& request, const CheckEnvironment& env);

// The session the command-line reports look at: the keep directory's options, then the
// Sim Details named (relative to current_dir) or else the last session. What the load
// reports goes to err; a failure is the text to print.
// Runs the body of a command-line command. An internal error, or any other exception, is
// written as "yearloom: {text}" and gives error_status.
int RunCommandGuarded(std::ostream& err, int error_status, const std::function<int()>& body);

Status LoadReportSession(const std::string& sim_details, const std::string& current_dir,
                         std::ostream& err, Session& session);

}  // namespace yl
