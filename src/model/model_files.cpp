#include "model/model_files.h"

#include "core/internal_error.h"
#include "core/text_util.h"
#include "model/din_file.h"
#include "model/first_year_list.h"
#include "model/min_file.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl {
namespace {

// The companion on disk, or its nominal name when there is none.
std::string CompanionOrNominal(const std::string& model_path, const std::string& ext) {
  return FindCompanion(model_path, ext).value_or(CompanionPath(model_path, ext));
}

}  // namespace

Message ModelMissingMessage(const std::string& path) {
  return ErrorMessage("Model Exe File\r\n  " + path + "\r\ndoes not exist.", kHelpModelMissing);
}

bool ValidateModelFiles(const std::string& path, Notices& notices, const ModelEnvironment& env) {
  auto refuse = [&](const std::string& text) {
    notices.push_back(InformationMessage(text, env.help_topic, kOk | kHelp));
    return false;
  };
  if (!IsModelProgramName(path)) return refuse("File must have extension .EXE or .KVS");
  std::vector<std::pair<std::string, std::string>> needed;
  if (IsKvsModel(path)) {
    needed = {{".kvt", "KVT"}};
  } else {
    needed = {{".axs", "AXS"}, {".axt", "AXT"}};
  }
  for (const auto& [ext, label] : needed) {
    if (!FindCompanion(path, ext)) {
      return refuse(label + " file " + CompanionPath(path, ext) +
                    " does not exist.\r\nNo change made.");
    }
  }
  std::optional<std::string> min_path = FindCompanion(path, ".min");
  if (!min_path) {
    return refuse("Model Information File " + CompanionPath(path, ".min") +
                  " does not exist.\r\nNo change made.");
  }
  std::string aux = CompanionOrNominal(path, AuxTableExt(path));
  Result<bool> compatible = MinAxtCompatible(*min_path, aux, env.read_aux);
  if (!compatible) {
    notices.push_back(ErrorMessage(compatible.error(), env.help_topic, kOk | kHelp));
    return false;
  }
  if (!*compatible) {
    notices.push_back(MinAxtMismatchMessage(*min_path, aux, env.help_topic));
    return false;
  }
  Result<MinContents> min = ReadMinContents(*min_path, DirOfFile(path));
  if (!min) {
    notices.push_back(ErrorMessage(min.error(), env.help_topic, kOk | kHelp));
    return false;
  }
  if (auto refusal = MinEntriesRefusal(*min)) return refuse(*refusal);
  return true;
}

ModelLoadOutcome LoadModel(ModelSession& session, TSimRecord& rec, Notices& notices,
                           const ModelEnvironment& env) {
  ModelLoadOutcome out;
  ModelState& model = session.model;
  const std::string path = model.ModelFile;
  auto clear = [&] {
    ClearModel(model, session.info);
    out.cleared = true;
    return out;
  };
  if (path.empty() || !FileExists(path)) {
    notices.push_back(ModelMissingMessage(path));
    return clear();
  }
  std::optional<std::string> min_path = FindCompanion(path, ".MIN");
  if (!min_path) {
    notices.push_back(ErrorMessage(
        "Model Info file " + CompanionPath(path, ".MIN") + " does not exist.", env.help_topic));
    return clear();
  }
  TMinDinInfo& info = session.info;
  info.MinPath = *min_path;
  info.MinFileAge = FileId(*min_path).value_or(0);
  std::optional<std::string> din_path = FindCompanion(path, ".DIN");
  info.DinExists = din_path.has_value();
  info.DinPath = din_path.value_or(CompanionPath(path, ".DIN"));
  info.DinFileAge = din_path ? FileId(*din_path).value_or(0) : 0;
  if (!din_path) {
    notices.push_back(InformationMessage("Dynamic Info file " + info.DinPath + " does not exist."));
  }

  model.ModelDir = DirOfFile(path);
  model.ModelName = ChangeFileExt(FileNameOf(path), "");

  std::string aux = CompanionOrNominal(path, AuxTableExt(path));
  Result<bool> compatible = MinAxtCompatible(*min_path, aux, env.read_aux);
  if (!compatible) {
    // The load acts for the user and says why it stopped.
    notices.push_back(ErrorMessage(compatible.error(), env.help_topic, kOk | kHelp));
    return out;
  }
  if (!*compatible) {
    notices.push_back(MinAxtMismatchMessage(*min_path, aux, env.help_topic));
    return out;
  }
  out.compatible = true;

  model.TabFileName.clear();
  model.StiFileName.clear();
  Result<MinContents> min = ReadMinContents(*min_path, model.ModelDir);
  if (!min) {
    notices.push_back(ErrorMessage(min.error(), env.help_topic, kOk | kHelp));
    return out;
  }
  try {
    StoreMinEntries(*min, rec, model.MinEntryLines);
  } catch (const InternalError& e) {
    notices.push_back(ErrorMessage(e.UserText()));
    return out;
  }
  model.TabFileName = min->tab_path.empty() ? "" : FileNameOf(min->tab_path);
  model.StiFileName = FileNameOf(min->sti_name);

  out.din_ok = ReadDin(info.DinPath, rec, notices, kHelpDinProblem);

  if (min->release) model.MinWrittenBy = min->release;

  std::vector<std::string> saved = session.first_year;
  if (!env.temp_dir.empty()) {
    // A copy of the list as it was, like the saved lists the user keeps.
    (void)WriteMdfFile(JoinPath(env.temp_dir, "temp.mdf"), saved);
  }
  session.first_year = BuildFirstYearList(rec, saved, env.working_dir);
  out.min_read = true;
  return out;
}

bool SelectModel(const std::string& path, const InterpreterLocation& interpreter,
                 ModelSession& session, TSimRecord& rec, Notices& notices,
                 const ModelEnvironment& env, ModelLoadOutcome* outcome) {
  if (!ValidateModelFiles(path, notices, env)) return false;
  SetModelFile(session.model, path, interpreter.path);
  if (IsKvsModel(path) && !interpreter.path) {
    notices.push_back(
        InformationMessage("Kalvo program is not available\r\n" + interpreter.where_looked));
  }
  ModelLoadOutcome o = LoadModel(session, rec, notices, env);
  if (outcome) *outcome = o;
  return true;
}

}  // namespace yl
