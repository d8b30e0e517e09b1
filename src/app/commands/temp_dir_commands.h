#pragma once
// Commands around the temporary directory: the name warning at start, choosing another
// one for the next start, and the check that runs a small job in it.

#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"
#include "core/status.h"
#include "env/environment.h"
#include "env/session_paths.h"

namespace yl {

inline constexpr int kHelpTempDir = 7079;
// Background activity code of the temporary-directory check in the job timer.
inline constexpr int kTempDirCheckActivity = 61;
inline constexpr int kTempDirCheckTimeoutSeconds = 20;

// Shown at start when the warning is on and the name is suspicious. Returns true when
// the user pressed Ignore, i.e. wants the warning switched off.
bool WarnAboutTempDirName(Prompter& prompter, const std::string& program_name,
                          const std::string& dir);

// "Specify Temporary Directory": may change paths.next_temp_dir, never paths.temp_dir.
void SpecifyTemporaryDirectory(Prompter& prompter, const std::string& program_name,
                               SessionPaths& paths, const DirOwnerProbe& probe = {});

// What the job timer starts for the check and then judges.
struct TempDirCheckJob {
  std::string temp_dir;
  std::string program;      // the test program
  std::string report_file;  // "tdcheck.rpt" in the temporary directory
  std::string sti_file;
  std::string script_file;
  std::string log_file;
  std::vector<std::string> argv;  // run with temp_dir as the current directory
  std::string wait_text = "Checking Temporary Directory";
};

// Writes the check's files. The test program is the model program when it exists, else
// "solexa" in the program directory. Shows the messages itself and returns nullopt
// when the check cannot start.
std::optional<TempDirCheckJob> PrepareTempDirCheck(Prompter& prompter, const SessionPaths& paths,
                                                   const std::string& model_program);
// Called when the process ended or the time ran out: the verdict comes from the report
// file. Returns true when the directory seems ok.
bool JudgeTempDirCheck(Prompter& prompter, const TempDirCheckJob& job);

}  // namespace yl
