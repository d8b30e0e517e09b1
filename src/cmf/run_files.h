#pragma once
// The stored-input files of one period: the model program's own, and for the run whose
// periods need a closure-preparation job its "env" command file and the answers of the
// Ambix and Solex parts. The job engine runs those parts and relies on these names.

#include <functional>
#include <optional>
#include <string>

#include "cmf/make_cmf.h"
#include "core/message.h"
#include "core/status.h"
#include "sim/sim_record.h"

namespace yl {

// Whether a Solvara program ("ambix", "solex") can be run.
using ProgramAvailableFn = std::function<bool(const std::string& name)>;

struct RunFilesSettings {
  std::string ModelPath;                // the model program (or ".kvs" file)
  std::string TempDir;                  // where the stored-input files go
  std::string SlotDir;                  // the job's slot directory
  FileStatementSettings Files;          // as for the period's own command file
  bool SolFileShocks = false;           // "Use SOL files for Shocks"
  ProgramAvailableFn ProgramAvailable;  // unset: every program counts as available
};

// The run whose periods get a closure-preparation job: the Rerun, or the Policy when
// the Rerun is off.
int ClosurePrepRun(bool no_rerun);

// The closure-preparation files of period k, all in the temporary directory.
struct ClosurePrepFiles {
  std::string Tag;          // short sim tag, lower case ("br103")
  std::string Environment;  // "{D}/{Y}" (no extension)
  std::string En4;          // the environment as saved: "{D}/{Y}.en4"
  std::string Map;          // "{D}/{Y}.map"
  std::string EnvSti, EnvRpt, EnvCmf;
  std::string St2, St2Rpt;
  std::string St3, St3Rpt;
  std::string St9, St9Rpt;
};
ClosurePrepFiles ClosurePrepFileNames(const TSimRecord& sim, int period, bool no_rerun,
                                      const std::string& temp_dir);

// The model program's stored-input file of run r, period k (in the temporary directory).
std::string ModelStiPath(const TSimRecord& sim, int run, int period, bool no_rerun,
                         const std::string& temp_dir);

// A failure's text ends in "[WriteRunBat]". A blank model name and a missing Ambix or
// Solex ("The program {NAME} is not available.") are told to the user as well: notice.
struct RunBatOutcome {
  Status status;
  std::optional<Message> notice;
  explicit operator bool() const { return status.has_value(); }
  const std::string& error() const { return status.error(); }
};

// Writes the period's run files.
RunBatOutcome WriteRunBat(const TSimRecord& sim, int run, int period,
                          const RunFilesSettings& settings);

}  // namespace yl
