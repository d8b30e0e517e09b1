#include "cmf/closure_check.h"

#include "cmf/cmf_util_cells.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "env/ini_file.h"
#include "platform/files.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

constexpr std::string_view kRoutine = "CheckClosureCMF";

CheckCmfOutcome WriteFailed(std::string error) {
  CheckCmfOutcome r;
  r.kind = CheckCmfOutcome::kWriteFailed;
  r.problem = ErrorMessage(std::move(error) + Bracket(kRoutine));
  return r;
}

Status WriteCommandFile(const TSimRecord& sim, const ClosureCheckSetup& setup,
                        std::string_view job_word, int run, int period,
                        const std::optional<std::string>& save_environment,
                        const std::string& path) {
  TextWriter out;
  if (auto s = out.Create(path); !s) return s;
  if (auto s = WriteCMFStartBlock(sim, run, out); !s) return s;
  out.WriteLine("auxiliary files = " + QuoteIfNeeded(ChangeFileExt(setup.model_file, "")) + " ;");
  for (const auto& line : setup.first_year_data) {
    if (LowerCase(line.substr(0, 15)) == "file (terminal)") {
      out.WriteLine("! " + line);
    } else {
      out.WriteLine(line);
    }
  }
  if (!setup.add_closure_shocks) return Fail("No writer for the closure sections");
  bool shocks = job_word == kClosureShockCheckWord;
  if (auto s = setup.add_closure_shocks(sim, period, run, out, shocks, shocks); !s) return s;
  if (save_environment) {
    out.WriteLine("save Environment file " + QuoteIfNeeded(*save_environment) + " ;");
  }
  for (const char* line : {"nds = yes ;", "nwr = yes ;", "neq = yes ;", "nas = yes ;",
                           "range test initial values = no ;"}) {
    out.WriteLine(line);
  }
  return out.Close();
}

// Same steps as the stored-input job scripts: remove old outputs, leave a log that says
// when the program never started, run it, and leave a flag file when it fails.
Status WriteScript(const TSimRecord& sim, const ClosureCheckSetup& setup,
                   const ClosureCheckFiles& f) {
  std::vector<std::string> lines{"#!/bin/sh"};
  if (!setup.solvara_dir.empty()) {
    lines.push_back("svdir=" + ShellQuote(setup.solvara_dir));
    lines.push_back("export svdir");
  }
  lines.push_back("cd " + ShellQuote(sim.SimDir) + " || exit 1");
  lines.push_back("rm -f " + ShellQuote(f.report));
  lines.push_back("rm -f " + ShellQuote(f.log));
  lines.push_back("echo " +
                  ShellQuote("** " + setup.program + " did not produce log file " + f.log) + " > " +
                  ShellQuote(f.log));
  lines.push_back(ShellQuote(setup.program) + " -sti " + ShellQuote(f.sti) + " -lon " +
                  ShellQuote(f.log));
  lines.push_back("if [ $? -ne 0 ]; then");
  lines.push_back("  echo 'error at model solution stage' > " + ShellQuote(f.flag));
  lines.push_back("fi");
  return WriteTextLines(f.script, lines);
}

}  // namespace

int ClosureCheckRun(int column) {
  CheckColumn(column);
  return column <= kBaseShocks ? kBase : kPolicy;
}

ClosureCheckFiles ClosureCheckFileNames(const TSimRecord& sim, const std::string& temp_dir,
                                        int column, int period) {
  ClosureCheckFiles f;
  const char letter = ClosureCheckRun(column) == kBase ? 'b' : 'p';
  f.stem = std::string("one") + letter + std::to_string(sim.FirstYear + period - 1);
  auto in_temp = [&](const char* ext) { return JoinPath(temp_dir, f.stem + ext); };
  f.cmf = in_temp(".cmf");
  f.sti = in_temp(".sti");
  f.script = in_temp(".sh");
  f.report = in_temp(".rpt");
  f.log = in_temp(".log");
  f.flag = in_temp(".flg");
  return f;
}

CheckCmfOutcome CheckClosureCMF(const TSimRecord& sim, const ClosureCheckSetup& setup,
                                std::string_view job_word, int column, int period,
                                const std::optional<std::string>& save_environment) {
  CheckIndex(period, 0, kMaxPeriods, "period");
  if (job_word != kClosureCheckWord && job_word != kClosureShockCheckWord) {
    throw InternalError("Unknown closure check job " + std::string(job_word));
  }
  const int run = ClosureCheckRun(column);
  CMFStartCheck constituents = CheckCMFStartConstituents(sim, run, run, setup.no_rerun);
  if (!constituents.passed) {
    CheckCmfOutcome r;
    r.kind = CheckCmfOutcome::kConstituentMissing;
    r.problem = InformationMessage("At least one constituent of the CMFStart file\r\n" +
                                   constituents.failed_path + "\r\n does not exist.");
    return r;
  }
  if (setup.program.empty()) return WriteFailed("No model program to run");
  ClosureCheckFiles files = ClosureCheckFileNames(sim, setup.temp_dir, column, period);
  if (auto s = WriteCommandFile(sim, setup, job_word, run, period, save_environment, files.cmf);
      !s) {
    return WriteFailed(s.error());
  }
  if (auto s = WriteTextLines(files.sti, {"rpt", files.report, "cmf", files.cmf}); !s) {
    return WriteFailed(s.error());
  }
  if (auto s = WriteScript(sim, setup, files); !s) return WriteFailed(s.error());
  CheckCmfOutcome r;
  r.files = std::move(files);
  return r;
}

ClosureCheckJob MakeClosureCheckJob(const TSimRecord& sim, const ClosureCheckSetup& setup,
                                    const ClosureCheckFiles& files) {
  return ClosureCheckJob{setup.program, {"-sti", files.sti, "-los", files.log}, sim.SimDir, files};
}

bool ClosureCheckPassed(const ClosureCheckFiles& files) {
  if (!FileExists(files.report)) return false;
  auto ini = IniFile::Load(files.report);
  if (!ini) return false;
  auto status = ini->Get("Result", "Status");
  return status && SameText(Trim(*status), "ok");
}

}  // namespace yl
