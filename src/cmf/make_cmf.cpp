#include "cmf/make_cmf.h"

#include "cmf/cmf_assembly.h"
#include "cmf/cmf_util_cells.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/files.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

// The name a logical file gets from the rational-expectations driver in the first
// simulation of a run, when it gets one.
std::optional<std::string> ReSubstitute(const TSimRecord& sim, int f, int period, int run,
                                        const FileStatementSettings& s) {
  if (!s.Re.InUse || period != RunFirstPeriod(run, s.PolicyStart)) return std::nullopt;
  const std::string& name = sim.DinFiles[f].Name;
  if (SameText(name, "ROREXT") || SameText(name, "ITER")) {
    const std::string& given = SameText(name, "ROREXT") ? s.Re.Rorext : s.Re.Iter;
    if (!given.empty()) return given;
    return UpdatedFileName(sim, f, run, sim.NumYears, s.NoRerun);
  }
  if (SameText(name, "EXTRA") && (run == kBase || s.PolicyStart == 1) && !s.Re.Extra.empty()) {
    return s.Re.Extra;
  }
  return std::nullopt;
}

std::string FileStatement(const TSimRecord& sim, int f, int period, int run,
                          const FileStatementSettings& s) {
  const TDinFileEntry& e = sim.DinFiles[f];
  std::string file;
  if (auto re = ReSubstitute(sim, f, period, run, s); re && IsAbsolutePath(*re)) {
    // The driver's own working files are named in full and used where they are.
    file = *re;
  } else {
    std::string name =
        re ? *re
           : ResolveParsedInputFile(sim, f, period, run, s.PolicyStart, s.FirstYear, s.NoRerun)
                 .FileName;
    if (e.Role == kOutputOnly) {
      file = JoinPath(sim.SimDir, name);
    } else if (s.InputDir) {
      file = JoinPath(*s.InputDir, FileNameOf(name));
    } else {
      file = name;
    }
  }
  return "File " + e.Name + " = " + QuoteIfNeeded(file) + " ; ! " + RoleWord(e.Role);
}

Status WriteBody(const TSimRecord& sim, TextWriter& cmf, const std::string& path,
                 const std::string& model_path, int period, int run,
                 const MakeCmfSettings& settings) {
  if (auto s = WriteCMFStartBlock(sim, run, cmf); !s) return s;
  cmf.WriteLine("auxiliary files = " + AuxiliaryFilesName(model_path) + ";");
  if (run != kBase && settings.SolverRelease > 78199) cmf.WriteLine("auto_shocks = no ;");
  cmf.WriteLine("Solution file = " + QuoteIfNeeded(ChangeFileExt(path, "")) + " ;");
  if (settings.Udc) cmf.WriteLine("UDC file = yes ;");
  for (const auto& line : SolMethodCmfLines(settings.Method.Method, settings.Method.Accuracy)) {
    cmf.WriteLine(line);
  }
  const std::string short_name = ShortSimBaseName(sim, run, period);
  cmf.WriteLine("verbal description = autosim " + short_name + ";");
  WriteFileStatements(sim, cmf, period, run, settings.Files);
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    const TDinFileEntry& e = sim.DinFiles[f];
    if (!(e.IsInput && e.IsUpdated)) continue;
    std::string updated =
        JoinPath(sim.SimDir, UpdatedFileName(sim, f, run, period, settings.Files.NoRerun));
    cmf.WriteLine("updated file " + e.Name + " = " + QuoteIfNeeded(updated) + ";");
  }
  cmf.WriteLine("intermediate extra data = " + short_name + " ;");
  if (auto s = AddClosureShocksToCMF(sim, period, run, cmf, true, true); !s) return s;
  return cmf.Close();
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find(kPathSep) == std::string::npos;
}

std::string AuxiliaryFilesName(const std::string& model_path) {
  return QuoteIfNeeded(ChangeFileExt(model_path, ""));
}

std::string MakeCmfTarget(const TSimRecord& sim, int period, int run, bool no_rerun) {
  CheckRun(run);
  return run == kBase ? CommandFileName(sim, run, period, no_rerun)
                      : TopFileName(sim, run, period, no_rerun);
}

std::vector<std::string> FileStatements(const TSimRecord& sim, int period, int run,
                                        const FileStatementSettings& settings) {
  CheckRun(run);
  CheckPeriod(period);
  CheckIndex(sim.NumDinFiles, 0, kMaxLogicalFiles, "NumDinFiles");
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(sim.NumDinFiles));
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    lines.push_back(FileStatement(sim, f, period, run, settings));
  }
  return lines;
}

void WriteFileStatements(const TSimRecord& sim, TextWriter& cmf, int period, int run,
                         const FileStatementSettings& settings) {
  for (const auto& line : FileStatements(sim, period, run, settings)) cmf.WriteLine(line);
}

Result<std::string> MakeCMF(const TSimRecord& sim, const std::string& model_path, int period,
                            int run, const MakeCmfSettings& settings) {
  CheckPeriod(period);
  const std::string name = MakeCmfTarget(sim, period, run, settings.Files.NoRerun);
  const std::string path = JoinPath(sim.SimDir, name);
  if (!IsPlainFileName(name)) return Fail("Cannot create file " + path + "[TxtCreate][MakeCMF]");
  TextWriter cmf;
  if (auto s = cmf.Create(path); !s) return Forward(s, "MakeCMF");
  Status s;
  try {
    s = WriteBody(sim, cmf, path, model_path, period, run, settings);
  } catch (...) {
    (void)cmf.Close();
    DeleteFileIfExists(path);
    throw;
  }
  if (!s) {
    (void)cmf.Close();
    DeleteFileIfExists(path);
    return Forward(s, "MakeCMF");
  }
  return path;
}

}  // namespace yl
