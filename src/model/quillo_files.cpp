#include "model/quillo_files.h"

#include "model/min_file.h"
#include "platform/file_lookup.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {

namespace {

bool NoOlderThan(const std::string& path, std::uint64_t time) {
  auto t = FileTime100ns(path);
  return t && *t >= time;
}

// The stored-input file of an earlier extraction names this auxiliary table file and
// this target as its last two lines.
bool AlreadyTried(const std::string& sti, const std::string& aux, const std::string& target,
                  std::uint64_t aux_time) {
  if (!NoOlderThan(sti, aux_time)) return false;
  auto lines = ReadTextLines(sti);
  return lines && lines->size() >= 2 && (*lines)[lines->size() - 2] == aux &&
         lines->back() == target;
}

}  // namespace

ModelState WithQuilloNames(const ModelState& model, const std::string& min_path) {
  ModelState m = model;
  if (m.ModelDir.empty()) m.ModelDir = DirOfFile(m.ModelFile);
  // Every model has a TAB file, so an empty name means the MIN was not read.
  if (m.TabFileName.empty() && !min_path.empty()) {
    if (auto min = ReadMinContents(min_path, m.ModelDir)) {
      m.TabFileName = min->tab_path.empty() ? "" : FileNameOf(min->tab_path);
      if (m.StiFileName.empty()) m.StiFileName = min->sti_name;
    }
  }
  return m;
}

std::string ExtractedQuilloName(QuilloFile what, const ModelState& model) {
  if (what == QuilloFile::kSti) return "tabcond.sti";
  return model.TabFileName.empty() ? "tab1.tab" : FileNameOf(model.TabFileName);
}

std::string ExtractionStiName(QuilloFile what) {
  return what == QuilloFile::kTab ? "exttab.sti" : "extsti.sti";
}

std::string AuxTableFileOf(const ModelState& model) {
  const std::string ext = AuxTableExt(model.ModelFile);
  return FindCompanion(model.ModelFile, ext).value_or(CompanionPath(model.ModelFile, ext));
}

QuilloFileLookup LocateQuilloFile(const ModelState& model, QuilloFile what,
                                  const std::string& temp_dir) {
  using State = QuilloFileLookup::State;
  QuilloFileLookup out;
  const std::string& name = what == QuilloFile::kTab ? model.TabFileName : model.StiFileName;
  if (what == QuilloFile::kSti && name.empty()) {
    out.state = State::kNotUsed;
    return out;
  }
  out.name = name.empty() ? ExtractedQuilloName(what, model) : FileNameOf(name);
  const std::string dir = model.ModelDir.empty() ? DirOfFile(model.ModelFile) : model.ModelDir;
  if (!name.empty() && !dir.empty()) {
    if (auto beside = ResolvePathNoCase(ResolveAgainst(dir, name)); beside && FileExists(*beside)) {
      out.state = State::kFound;
      out.path = *beside;
      return out;
    }
  }
  if (model.ModelFile.empty() || temp_dir.empty()) return out;
  const std::string aux = AuxTableFileOf(model);
  auto aux_time = FileTime100ns(aux);
  if (!aux_time) return out;
  const std::string copy = JoinPath(temp_dir, ExtractedQuilloName(what, model));
  if (FileExists(copy) && NoOlderThan(copy, *aux_time)) {
    out.state = State::kFound;
    out.path = copy;
    return out;
  }
  if (!AlreadyTried(JoinPath(temp_dir, ExtractionStiName(what)), aux, copy, *aux_time)) {
    out.state = State::kMustExtract;
  }
  return out;
}

}  // namespace yl
