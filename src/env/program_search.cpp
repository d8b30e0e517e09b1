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

std::string FindSolvaraProgramOrSay(Prompter& prompter, const std::string& name,
                                    const ProgramSearchContext& context) {
  std::string p = FindSolvaraProgram(name, context);
  if (p.empty()) {
    prompter.Error("The program " + UpperCase(name) + " is not available.",
                   kHelpProgramNotAvailable);
  }
  return p;
}

std::string WhereProgramsAreSought(const std::string& program_name) {
  return "(either in " + program_name + "'s directory or on the DOS Path).";
}

void ChooseEditor(Prompter& prompter, ProgramSearchContext& context) {
  std::string current = FindSolvaraProgram(kEditorProgram, context);
  if (!current.empty()) {
    if (prompter.Information("Currently you are using editor\r\n" + current +
                                 "\r\nDo you wish to select a different editor?",
                             0, kYes | kNo) != kYes) {
      return;
    }
  } else {
    prompter.Information(
        "At present, no editor is available.\r\nPlease select the editor you wish to use.");
  }
  std::string start = IsAbsolutePath(current) ? DirOfFile(current) : context.program_dir;
  auto files = prompter.ChooseFiles(FileRequest{"Select Text Editor", "All Files (*)|*", start, "",
                                                false, false, kHelpChooseEditor});
  if (!files.empty() && !files.front().empty()) context.editor = files.front();
}

void ChooseSpreadsheet(Prompter& prompter, const std::string& program_dir,
                       std::string& spreadsheet) {
  if (!spreadsheet.empty()) {
    if (prompter.Information("Currently you are using spreadsheet program\r\n" + spreadsheet +
                                 "\r\nDo you wish to select a different spreadsheet program?",
                             kHelpChooseSpreadsheet, kYes | kNo) != kYes) {
      return;
    }
  } else {
    prompter.Information(
        "At present, no spreadsheet program has been specified.\r\nPlease select the "
        "spreadsheet program you wish to use.",
        kHelpChooseSpreadsheet);
  }
  std::string start = IsAbsolutePath(spreadsheet) ? DirOfFile(spreadsheet) : program_dir;
  auto files = prompter.ChooseFiles(FileRequest{"Select Spreadsheet Program", "All Files (*)|*",
                                                start, "", false, false, kHelpChooseSpreadsheet});
  if (!files.empty() && !files.front().empty()) spreadsheet = files.front();
}

void UseUsualSolvaraMethod(std::string& solvara_dir) { solvara_dir.clear(); }

void SpecifySolvaraDirectory(Prompter& prompter, const std::string& program_dir,
                             std::string& solvara_dir) {
  auto chosen = prompter.ChooseDirectory(
      DirectoryRequest{"Directory for Solvara Programs", "If you click Ok, the Solvara directory",
                       solvara_dir.empty() ? program_dir : solvara_dir, kHelpSolvaraDir});
  if (chosen && !Trim(*chosen).empty()) solvara_dir = RemoveTrailingSep(Trim(*chosen));
}

}  // namespace yl
