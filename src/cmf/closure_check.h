#pragma once
// The closure-check job of one period: a short command file that sets up the period's
// closure (and shocks) on the first-year data, with its stored-input file and a script,
// written in the temporary directory; and, when the model program has ended, the verdict
// read from its report file. The job engine starts and polls the program.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/message.h"
#include "core/status.h"
#include "platform/text_file.h"
#include "sim/sim_policy_start.h"
#include "sim/sim_record.h"

namespace yl {

// Background kinds of the check jobs.

inline constexpr std::string_view kClosureCheckWord = "oneclcheck";
inline constexpr std::string_view kClosureShockCheckWord = "oneshcheck";

// Writes the closure (and, when include_shocks, the shock) sections of a command file for
// one period of a run: the command-file writer's AddClosureShocksToCMF.
using AddClosureShocksFn =
    std::function<Status(const TSimRecord& sim, int period, int run, TextWriter& cmf,
                         bool policy_shocks, bool include_shocks)>;

// What the checks need from outside the record.
struct ClosureCheckSetup {
  std::string model_file;                    // the model program or ".kvs" file
  std::string program;                       // the program to run (the model, or the interpreter)
  std::vector<std::string> first_year_data;  // the Model/Data page's lines
  std::string temp_dir;
  std::string solvara_dir;  // "" when no Solvara programs directory is set
  bool no_rerun = false;
  PolicyStartSettings policy_start;
  AddClosureShocksFn add_closure_shocks;
};

// The files of one check, all in the temporary directory.
struct ClosureCheckFiles {
  std::string stem;  // "one" + "b" or "p" + (FirstYear + period - 1)
  std::string cmf, sti, script, report, log, flag;
  bool operator==(const ClosureCheckFiles&) const = default;
};
ClosureCheckFiles ClosureCheckFileNames(const TSimRecord& sim, const std::string& temp_dir,
                                        int column, int period);

// The run a column's check runs: the Base for columns 1 and 2, the Policy for 3 and 4.
int ClosureCheckRun(int column);

struct CheckCmfOutcome {
  enum Kind { kWritten, kConstituentMissing, kWriteFailed };
  Kind kind = kWritten;
  // What the user is told when nothing was written: the missing constituent (information),
  // or the write failure (error, its text ending in "[CheckClosureCMF]").
  Message problem;
  ClosureCheckFiles files;
  bool written() const { return kind == kWritten; }
};

// Writes the check command, STI and script files for column and period (0 is the Common
// row). A CMFStart file naming a missing file writes nothing; its outcome's text is "At
// least one constituent of the CMFStart file\r\n{file}\r\n does not exist.".
// save_environment adds the "save Environment file" line.
CheckCmfOutcome CheckClosureCMF(const TSimRecord& sim, const ClosureCheckSetup& setup,
                                std::string_view job_word, int column, int period,
                                const std::optional<std::string>& save_environment);

// How the engine starts the check: the program, its arguments and its directory.
struct ClosureCheckJob {
  std::string program;
  std::vector<std::string> args;  // "-sti" {STI file} "-los" {log}
  std::string directory;          // the working directory
  ClosureCheckFiles files;
};
ClosureCheckJob MakeClosureCheckJob(const TSimRecord& sim, const ClosureCheckSetup& setup,
                                    const ClosureCheckFiles& files);

// The verdict once the program has ended: the report exists and its [Result] "Status"
// is "ok" (case ignored).
bool ClosureCheckPassed(const ClosureCheckFiles& files);

}  // namespace yl
