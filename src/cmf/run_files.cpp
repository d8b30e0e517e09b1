#include "cmf/run_files.h"

#include <vector>

#include "cmf/cmf_assembly.h"
#include "cmf/cmf_util_cells.h"
#include "core/text_util.h"
#include "env/program_search.h"
#include "platform/files.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

Status WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  return WriteTextLines(path, lines);
}

// Names built from a loaded record must stay in the directory they are joined to.
Status CheckPlain(const std::string& dir, const std::string& name) {
  if (IsPlainFileName(name)) return Ok();
  return Fail("Cannot create file " + dir + "/" + name + "[TxtCreate]");
}

Status WriteEnvCmf(const TSimRecord& sim, int run, int period, const RunFilesSettings& settings,
                   const ClosurePrepFiles& files) {
  TextWriter cmf;
  if (auto s = cmf.Create(files.EnvCmf); !s) return s;
  const std::string start = CMFStartFilePath(sim, run);
  if (!start.empty() && FileExists(start)) {
    if (auto s = CopyCleanedLines(cmf, start); !s) return s;
  }
  cmf.WriteLine("auxiliary files = " + AuxiliaryFilesName(settings.ModelPath) + ";");
  cmf.WriteLine("save environment file " + QuoteIfNeeded(files.Environment) + " ;");
  cmf.WriteLine("nds = yes ;");
  cmf.WriteLine("nwr = yes ;");
  cmf.WriteLine("neq = yes ;");
  WriteFileStatements(sim, cmf, period, run, settings.Files);
  if (auto s = AddClosureShocksToCMF(sim, period, run, cmf, false, false); !s) return s;
  return cmf.Close();
}

// The availability check with its message; false when the program is missing.
bool Available(const RunFilesSettings& settings, const std::string& name,
               std::optional<Message>& notice) {
  if (!settings.ProgramAvailable || settings.ProgramAvailable(name)) return true;
  notice = ErrorMessage("The program " + UpperCase(name) + " is not available.",
                        kHelpProgramNotAvailable, kOk | kHelp);
  return false;
}

Status WriteAll(const TSimRecord& sim, int run, int period, const RunFilesSettings& settings,
                std::optional<Message>& notice) {
  const bool no_rerun = settings.Files.NoRerun;
  const std::string& d = settings.TempDir;
  const std::string sti_name = StoredInputFileName(sim, run, period, no_rerun);
  if (auto s = CheckPlain(d, sti_name); !s) return s;
  const std::string sti = JoinPath(d, sti_name);
  if (auto s = WriteLines(sti, {"bat", "rpt", ChangeFileExt(sti, ".rpt"), "cmf",
                                JoinPath(sim.SimDir, CommandFileName(sim, run, period, no_rerun))});
      !s) {
    return s;
  }
  if (run != ClosurePrepRun(no_rerun)) return Ok();

  const int prep = ClosurePrepRun(no_rerun);
  if (auto s = CheckPlain(d, ShortSimBaseName(sim, prep, period)); !s) return s;
  if (auto s = CheckPlain(d, ShortSimTag(sim, prep, period)); !s) return s;
  const ClosurePrepFiles f = ClosurePrepFileNames(sim, period, no_rerun, d);
  if (auto s = WriteLines(f.EnvSti, {"bat", "rpt", f.EnvRpt, "cmf", f.EnvCmf}); !s) return s;
  if (auto s = WriteEnvCmf(sim, run, period, settings, f); !s) return s;

  if (!Available(settings, "ambix", notice)) return Fail(notice->text);
  if (auto s = WriteLines(f.St2, {"bat", "rpt", f.St2Rpt, " ", "e  ! Env file", f.Environment,
                                  "s  ! SS map", f.Map, "x  ! Just the exog ones"});
      !s) {
    return s;
  }
  const std::string bot = JoinPath(sim.SimDir, BotFileName(sim, period, no_rerun));
  if (settings.SolFileShocks) {
    if (!Available(settings, "ambix", notice)) return Fail(notice->text);
    return WriteLines(f.St9, {"bat", "rpt", f.St9Rpt, " ", "e    ! environment file",
                              f.Environment + "    ! EN4 file name", "b    ! write bot file",
                              ChangeFileExt(bot, "") + "    ! Output BOT file",
                              JoinPath(sim.SimDir, BotResultsFileName(sim, period, no_rerun)) +
                                  "    ! Sol file to use",
                              "x  ! just exogenous variables"});
  }
  if (!Available(settings, "solex", notice)) return Fail(notice->text);
  const std::string base_solution =
      JoinPath(sim.SimDir, SolutionFileName(sim, kBase, period, no_rerun));
  return WriteLines(f.St3, {"bat", "rpt", f.St3Rpt, "nlv", "shk  ! Write SHK file", " ",
                            ChangeFileExt(base_solution, "") + "    ! Solution file",
                            "c  ! the cum column", "y  ! use SS mapping file",
                            f.Map + "    ! SS Map file", bot + "    ! Output BOT file"});
}

}  // namespace

int ClosurePrepRun(bool no_rerun) { return no_rerun ? kPolicy : kRerun; }

ClosurePrepFiles ClosurePrepFileNames(const TSimRecord& sim, int period, bool no_rerun,
                                      const std::string& temp_dir) {
  const int run = ClosurePrepRun(no_rerun);
  ClosurePrepFiles f;
  f.Tag = LowerCase(ShortSimTag(sim, run, period));
  f.Environment = JoinPath(temp_dir, ShortSimBaseName(sim, run, period));
  f.En4 = f.Environment + ".en4";
  f.Map = f.Environment + ".map";
  auto in_temp = [&](const char* suffix) { return JoinPath(temp_dir, f.Tag + suffix); };
  f.EnvSti = in_temp("env.sti");
  f.EnvRpt = in_temp("env.rpt");
  f.EnvCmf = in_temp("env.cmf");
  f.St2 = in_temp("st2.st2");
  f.St2Rpt = in_temp("st2.rpt");
  f.St3 = in_temp("st3.st3");
  f.St3Rpt = in_temp("st3.rpt");
  f.St9 = in_temp("st9.st9");
  f.St9Rpt = in_temp("st9.rpt");
  return f;
}

std::string ModelStiPath(const TSimRecord& sim, int run, int period, bool no_rerun,
                         const std::string& temp_dir) {
  return JoinPath(temp_dir, StoredInputFileName(sim, run, period, no_rerun));
}

RunBatOutcome WriteRunBat(const TSimRecord& sim, int run, int period,
                          const RunFilesSettings& settings) {
  CheckRun(run);
  CheckPeriod(period);
  RunBatOutcome out;
  if (Trim(settings.ModelPath).empty()) {
    out.notice = ErrorMessage("Model or program name blank in writing Bat file.");
    out.status = Fail(out.notice->text + "[WriteRunBat]");
    return out;
  }
  out.status = Tag(WriteAll(sim, run, period, settings, out.notice), "WriteRunBat");
  return out;
}

}  // namespace yl
