#include "model/model_state.h"

#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "platform/paths.h"

namespace yl {

bool HasModel(const ModelState& m) { return !m.ModelFile.empty(); }

std::string ModelLabel(const ModelState& m) {
  return HasModel(m) ? "Model: " + m.ModelFile : std::string(kNoModelLabel);
}

void ClearModel(ModelState& m, TMinDinInfo& info) {
  m = ModelState{};
  info = TMinDinInfo{};
}

bool IsKvsModel(const std::string& path) { return SameText(FileExtOf(path), ".kvs"); }

bool IsModelProgramName(const std::string& path) {
  std::string ext = FileExtOf(path);
  return ext.empty() || SameText(ext, ".exe") || SameText(ext, ".kvs");
}

std::string CompanionPath(const std::string& model_path, const std::string& ext) {
  return ChangeFileExt(model_path, ext);
}

std::optional<std::string> FindCompanion(const std::string& model_path, const std::string& ext) {
  return ResolvePathNoCase(CompanionPath(model_path, ext));
}

std::string AuxTableExt(const std::string& model_path) {
  return IsKvsModel(model_path) ? ".kvt" : ".axt";
}

void SetModelFile(ModelState& m, const std::string& model_path,
                  const std::optional<std::string>& interpreter) {
  m.ModelFile = model_path;
  m.ModelDir = DirOfFile(model_path);
  m.ModelName = ChangeFileExt(FileNameOf(model_path), "");
  m.IsExe = !IsKvsModel(model_path);
  m.ProgramToRun = m.IsExe ? model_path : interpreter.value_or("");
}

}  // namespace yl
