#include "demosetup/demo_setup_load.h"

#include "model/model_files.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl::demosetup {

Result<LoadedModel> LoadDemoModel(const std::string& model_path,
                                  const std::optional<std::string>& interpreter,
                                  const std::string& scratch_dir, TSimRecord& sim,
                                  Notices& notices) {
  ModelSession session;
  ModelEnvironment env;
  env.temp_dir = scratch_dir;
  env.working_dir = scratch_dir;
  InterpreterLocation where;
  where.path = interpreter;
  where.where_looked = DirOfFile(model_path);
  ModelLoadOutcome outcome;
  const bool selected = SelectModel(model_path, where, session, sim, notices, env, &outcome);
  DeleteFileIfExists(JoinPath(scratch_dir, "temp.mdf"));
  if (!selected || !outcome.min_read || !outcome.din_ok)
    return Fail("The demo model " + model_path + " could not be loaded");
  return LoadedModel{session.model, session.info};
}

}  // namespace yl::demosetup
