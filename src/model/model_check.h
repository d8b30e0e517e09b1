#pragma once
// The model program check: the model program (or the interpreter) is run once on a tiny
// stored-input file and reports its release and compiler. Starting and polling the process
// belong to the job engine; this prepares the files and judges the report.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/status.h"
#include "model/model_state.h"

namespace yl {

inline constexpr char kModelCheckWaitText[] = "Checking Release of model program";
inline constexpr char kModelCheckLaunchFailed[] = "Could not launch model checking job !";
inline constexpr char kModelCheckGuardRefused[] = "Cannot start Model Release check job";

struct ModelCheckJob {
  std::string directory;                 // the temporary directory: the process's current directory
  std::string sti_path;                  // "chkmodel.sti"
  std::string report_path;               // "chkmodel.rpt"
  std::string log_path;                  // "chkmodel.log"
  std::string script_path;               // "chkmodel.sh"
  std::vector<std::string> script_argv;  // "/bin/sh" and the script
  std::vector<std::string> direct_argv;  // the program, "-sti", STI, "-log", log
};

// Writes "chkmodel.sti" and "chkmodel.sh" in the temporary directory and deletes an old
// "chkmodel.rpt"; nothing is prepared when no program is known. Fails with
// "[WriteReleaseJobBat]" appended.
Result<ModelCheckJob> PrepareModelCheck(const std::string& temp_dir, const std::string& program);
// The argument vector to start: through the script unless never_use_script, or when
// starting the script failed.
const std::vector<std::string>& ModelCheckArgv(const ModelCheckJob& job, bool never_use_script);

// The [Result] section of "chkmodel.rpt".
struct ModelCheckReport {
  std::optional<std::string> sv_ver_large;  // "SVVer Large"
  std::optional<std::string> release;       // "Release"
  std::optional<std::string> pr_ver;        // "PRVer Integer"
  std::optional<std::string> compiler;      // "Fortran Compiler"
  std::optional<std::string> status;        // "Status"
  std::optional<std::string> error;         // "Error"
};
// Fills the report from a lookup of keys in section [Result] (an INI reader's Get).
ModelCheckReport ModelCheckReportFrom(
    const std::function<std::optional<std::string>(const std::string& key)>& result_key);

// The release code: "SVVer Large" when positive, else "Release" beginning with "6"
// (60000) or "5" (50000); -1 when unknown.
ModelReleaseInfo ReleaseFromReport(const ModelCheckReport& report);

enum class ModelCheckOutcome { kReleaseRead, kStatusError, kNoReport };

// Judges the ended check: no report (the caller shows the missing-report message of the
// job checks); otherwise replaces the release information and reports the two known
// "Status=error" reasons.
ModelCheckOutcome JudgeModelCheck(const std::optional<ModelCheckReport>& report,
                                  ModelReleaseInfo& release, Notices& notices, int help_topic);

// How a model part is started.
struct ModelLaunchDecision {
  bool use_script = false;
  std::optional<bool> not_winconsole;  // the check box's new state, when the release decides
};
// A known compiler other than "lf90"/"lf95" runs through a script; those two with a
// release code above 69999 run directly; otherwise the user's check box decides.
ModelLaunchDecision DecideModelLaunch(const ModelReleaseInfo& release, bool not_winconsole,
                                      bool never_use_script);

}  // namespace yl
