#pragma once
// Loading the demo model into a simulation record as "Change Model" would. Kept apart
// from the Sim Details writer: the two headers cannot share a translation unit.

#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/status.h"
#include "model/model_state.h"
#include "sim/sim_record.h"

namespace yl::demosetup {

struct LoadedModel {
  ModelState model;
  TMinDinInfo info;
};

// `interpreter` is the kalvo program for a ".kvs" model; `scratch_dir` receives the
// load's "temp.mdf", which is removed again. What the load reports goes to notices.
Result<LoadedModel> LoadDemoModel(const std::string& model_path,
                                  const std::optional<std::string>& interpreter,
                                  const std::string& scratch_dir, TSimRecord& sim,
                                  Notices& notices);

}  // namespace yl::demosetup
