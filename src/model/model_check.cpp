#include "model/model_check.h"

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {

Result<ModelCheckJob> PrepareModelCheck(const std::string& temp_dir, const std::string& program) {
  if (program.empty()) return Fail("No model program to check[WriteReleaseJobBat]");
  ModelCheckJob job;
  job.directory = temp_dir;
  job.sti_path = JoinPath(temp_dir, "chkmodel.sti");
  job.report_path = JoinPath(temp_dir, "chkmodel.rpt");
  job.log_path = JoinPath(temp_dir, "chkmodel.log");
  job.script_path = JoinPath(temp_dir, "chkmodel.sh");
  if (Status s = WriteTextLines(job.sti_path, {"rpt", job.report_path, " ", "xxxxxx"}); !s) {
    return Forward(s, "WriteReleaseJobBat");
  }
  std::string command = ShellQuote(program) + " -sti " + ShellQuote(job.sti_path) + " -log " +
                        ShellQuote(job.log_path);
  if (Status s = WriteTextLines(job.script_path, {command}); !s) {
    return Forward(s, "WriteReleaseJobBat");
  }
  if (Status s = DeleteFileWithRetries(job.report_path); !s) {
    return Forward(s, "WriteReleaseJobBat");
  }
  job.script_argv = {"/bin/sh", job.script_path};
  job.direct_argv = {program, "-sti", job.sti_path, "-log", job.log_path};
  return job;
}

const std::vector<std::string>& ModelCheckArgv(const ModelCheckJob& job, bool never_use_script) {
  return never_use_script ? job.direct_argv : job.script_argv;
}

ModelCheckReport ModelCheckReportFrom(
    const std::function<std::optional<std::string>(const std::string& key)>& result_key) {
  ModelCheckReport r;
  r.sv_ver_large = result_key("SVVer Large");
  r.release = result_key("Release");
  r.pr_ver = result_key("PRVer Integer");
  r.compiler = result_key("Fortran Compiler");
  r.status = result_key("Status");
  r.error = result_key("Error");
  return r;
}

ModelReleaseInfo ReleaseFromReport(const ModelCheckReport& report) {
  ModelReleaseInfo info;
  std::optional<int> large;
  if (report.sv_ver_large) large = ParseInt(Trim(*report.sv_ver_large));
  if (large && *large > 0) {
    info.SvRelease = *large;
  } else if (report.release) {
    std::string r = Trim(*report.release);
    if (!r.empty() && r.front() == '6') info.SvRelease = 60000;
    if (!r.empty() && r.front() == '5') info.SvRelease = 50000;
  }
  if (report.pr_ver) info.ProgramVersion = ParseInt(Trim(*report.pr_ver)).value_or(-1);
  if (report.compiler) info.Compiler = Trim(*report.compiler);
  return info;
}

ModelCheckOutcome JudgeModelCheck(const std::optional<ModelCheckReport>& report,
                                  ModelReleaseInfo& release, Notices& notices, int help_topic) {
  if (!report) return ModelCheckOutcome::kNoReport;
  release = ReleaseFromReport(*report);
  if (!report->status || !SameText(Trim(*report->status), "error")) {
    return ModelCheckOutcome::kReleaseRead;
  }
  std::string why = report->error ? Trim(*report->error) : "";
  if (why == "E-AX date problem") {
    notices.push_back(ErrorMessage(
        "Sorry. Your Model Auxiliary files were created at different times.\r\nYou should not "
        "try to carry out simulations until you\r\n you recreate these Auxiliary files.",
        help_topic, kOk | kHelp));
  } else if (why == "E-PG date problem") {
    notices.push_back(ErrorMessage(
        "Sorry. Your Quillo-generated program was created at\r\n a different time from your AXS "
        "and AXT files.\r\nYou should not try to carry out simulations until you\r\n you "
        "rebuild the EXE and AXS,AXT files.",
        help_topic, kOk | kHelp));
  }
  return ModelCheckOutcome::kStatusError;
}

ModelLaunchDecision DecideModelLaunch(const ModelReleaseInfo& release, bool not_winconsole,
                                      bool never_use_script) {
  ModelLaunchDecision d;
  const std::string compiler = Trim(release.Compiler);
  const bool lahey = SameText(compiler, "lf90") || SameText(compiler, "lf95");
  if (!compiler.empty() && !lahey) {
    d.use_script = true;
    d.not_winconsole = true;
  } else if (lahey && release.SvRelease > 69999) {
    d.use_script = false;
    d.not_winconsole = false;
  } else {
    d.use_script = not_winconsole;
  }
  if (never_use_script) d.use_script = false;
  return d;
}

}  // namespace yl
