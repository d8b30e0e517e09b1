#include "env/program_search.h"

#include <array>
#include <vector>

#include "core/text_util.h"
#include "env/environment.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

namespace {

enum class Kind { kFamilyTool, kEditor, kSolutionViewer, kHarViewer, kOther };

Kind KindOf(const std::string& lower) {
  static const std::array<const char*, 6> kTools = {"tallyr", "varix",  "solex",
                                                    "ambix",  "flatix", "mergix"};
  for (const char* t : kTools) {
    if (lower == t) return Kind::kFamilyTool;
  }
  if (lower == kEditorProgram) return Kind::kEditor;
  if (lower == "tabulon") return Kind::kSolutionViewer;
  if (lower == "halvo") return Kind::kHarViewer;
  return Kind::kOther;
}

// "{base}" or "{base}.exe" in dir, found without regard to case.
std::optional<std::string> InDir(const std::string& dir, const std::string& base) {
  if (dir.empty()) return std::nullopt;
  if (auto p = FindFileNoCase(dir, base)) return p;
  return FindFileNoCase(dir, base + ".exe");
}

std::string SearchBase(const std::string& base, Kind kind, const ProgramSearchContext& c) {
  const bool viewer_or_editor =
      kind == Kind::kEditor || kind == Kind::kSolutionViewer || kind == Kind::kHarViewer;
  if (viewer_or_editor) {
    if (auto p = InDir(c.program_dir, base)) return *p;
  }
  if (auto p = InDir(c.solvara_dir, base)) return *p;
  if (auto p = InDir(c.program_dir, base)) return *p;
  for (const std::string& file : {base, base + ".exe"}) {
    if (auto p = FindOnPath(file, c.path_list)) {
      const bool full = kind == Kind::kSolutionViewer || kind == Kind::kHarViewer ||
                        base == "scriblet" || base == "kalvo";
      return full ? *p : FileNameOf(*p);
    }
  }
  if (auto p = InDir(c.solvara_root, base)) return *p;
  if (kind == Kind::kEditor || kind == Kind::kHarViewer) {
    if (auto p = InDir(JoinPath(c.solvara_root, "Panello"), base)) return *p;
  }
  if (kind == Kind::kSolutionViewer) {
    if (auto p = InDir(JoinPath(c.solvara_root, "Panello/Tabulon"), base)) return *p;
  }
  return "";
}

}  // namespace

std::string FindSolvaraProgram(const std::string& name, const ProgramSearchContext& context) {
  const std::string lower = LowerCase(Trim(name));
  if (lower.empty()) return "";
  const Kind kind = KindOf(lower);
  if (kind == Kind::kFamilyTool) {
    return FindFileNoCase(context.program_dir, lower + "a").value_or("");
  }
  const std::string* choice = kind == Kind::kEditor           ? &context.editor
                              : kind == Kind::kSolutionViewer ? &context.tabulon
                              : kind == Kind::kHarViewer      ? &context.halvo
                                                              : nullptr;
  if (choice && !choice->empty() && FileExists(*choice)) return *choice;
  if (kind == Kind::kEditor) {
    std::string p = SearchBase("quillpad", kind, context);
    return p.empty() ? SearchBase("scriblet", kind, context) : p;
  }
  return SearchBase(lower, kind, context);
}

std::string WhereProgramsAreSought(const std::string& program_name) {
  return "(either in " + program_name + "'s directory or on the DOS Path).";
}

}  // namespace yl
