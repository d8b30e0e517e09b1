#pragma once
// Choosing, validating and loading a model.

#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "model/model_state.h"
#include "model/time_stamp.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr int kHelpModelMissing = 7006;

// The error, with its Help, when the model program is not where it should be.
Message ModelMissingMessage(const std::string& path);

// Everything a model load reads and rebuilds.
struct ModelSession {
  ModelState model;
  TMinDinInfo info;
  std::vector<std::string> first_year;  // the Model/Data page's data list
};

struct ModelEnvironment {
  std::string temp_dir;     // receives "temp.mdf"
  std::string working_dir;  // resolves relative first-year file names
  int help_topic = 0;       // Help of the model messages
  AuxStampReader read_aux = ReadAuxTableStamp;
};

// The checks of a chosen model file in their order; a refusal (information with Help, or
// an error) is added to notices and returns false.
bool ValidateModelFiles(const std::string& path, Notices& notices, const ModelEnvironment& env);

struct ModelLoadOutcome {
  bool cleared = false;     // model file or MIN missing: no model now
  bool compatible = false;  // MIN and auxiliary table file belong together
  bool min_read = false;    // MinFiles and the data list were rebuilt
  bool din_ok = false;      // the DIN was read and passed its checks (or there is none)
};

// Loads session.model.ModelFile: checks its files, reads the MIN and the DIN into the
// record and rebuilds the first-year list. What follows a load (closure state, job
// bookkeeping, the release check after a selection) is the caller's, and so is showing
// the notices, in their order.
ModelLoadOutcome LoadModel(ModelSession& session, TSimRecord& rec, Notices& notices,
                           const ModelEnvironment& env);

// The interpreter for ".kvs" models as the program search found it.
struct InterpreterLocation {
  std::optional<std::string> path;
  std::string where_looked;
};

// "Change &Model" after the file was chosen: validates, makes it the model and loads it.
// False (and the old model unchanged) when validation refused it.
bool SelectModel(const std::string& path, const InterpreterLocation& interpreter,
                 ModelSession& session, TSimRecord& rec, Notices& notices,
                 const ModelEnvironment& env, ModelLoadOutcome* outcome = nullptr);

}  // namespace yl
