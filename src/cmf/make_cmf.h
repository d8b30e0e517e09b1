#pragma once
// The command file of one period of one run: the complete file for the Base, the first
// part (".top") for the Rerun and the Policy, which the engine completes with the BOT
// file. Also the file statements, which the stored-input writer shares.

#include <optional>
#include <string>
#include <vector>

#include "cmf/sol_method.h"
#include "core/status.h"
#include "platform/text_file.h"
#include "sim/sim_inputs.h"
#include "sim/sim_record.h"

namespace yl {

// What the rational-expectations driver supplies for the first simulation of a run;
// an empty name means none.
struct ReFileInputs {
  bool InUse = false;
  std::string Rorext;
  std::string Iter;
  std::string Extra;
};

// Everything the file statements need beyond the record.
struct FileStatementSettings {
  int PolicyStart = 1;                  // PolicyStartSim
  FirstYearFiles FirstYear;             // the first-year data list, parsed once
  std::optional<std::string> InputDir;  // for the second and third concurrent solves
  bool NoRerun = false;
  ReFileInputs Re;
};

struct MakeCmfSettings {
  bool Udc = false;
  SolMethodSetting Method;  // the method that applies to this period
  int SolverRelease = 0;
  FileStatementSettings Files;
};

// The file MakeCMF writes: "{base}.cmf" for the Base, "{base}.top" for the Rerun and the
// Policy, in SimDir.
std::string MakeCmfTarget(const TSimRecord& sim, int period, int run, bool no_rerun);

// One "File {name} = {file} ; ! {role}" line per logical file, in DinFiles order.
std::vector<std::string> FileStatements(const TSimRecord& sim, int period, int run,
                                        const FileStatementSettings& settings);
void WriteFileStatements(const TSimRecord& sim, TextWriter& cmf, int period, int run,
                         const FileStatementSettings& settings);

// Writes the command file and returns its path. On failure the partly written file is
// deleted and the error text ends in "[MakeCMF]".
Result<std::string> MakeCMF(const TSimRecord& sim, const std::string& model_path, int period,
                            int run, const MakeCmfSettings& settings);

// The model path without its extension, quoted when it holds a blank.
std::string AuxiliaryFilesName(const std::string& model_path);

// Whether a generated name can be used as a file name in its directory ("/" or "." and
// ".." would lead elsewhere); names built from a loaded record are not trusted.
bool IsPlainFileName(const std::string& name);

}  // namespace yl
