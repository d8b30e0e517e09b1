#pragma once
// Where the Solvara programs, the text editor and the spreadsheet program are found,
// and the Options-menu commands that choose them.

#include <functional>
#include <optional>
#include <string>

#include "core/prompter.h"

namespace yl {

// The name FindSolvaraProgram takes for the text editor (searched as "quillpad", then
// "scriblet").
inline constexpr const char* kEditorProgram = "editor";

struct ProgramSearchContext {
  std::string program_dir;
  std::string solvara_dir;  // "UseSolvaraDir"; "" for the usual method
  std::string editor;       // user choices ("Editor", "Tabulon", "Halvo"); "" = search
  std::string tabulon;
  std::string halvo;
  std::optional<std::string> path_list;  // nullopt: $PATH
  std::string solvara_root = "/opt/solvara";
};

// The full path of the program (or, for a program found on the PATH that is neither a
// viewer, the older editor nor the interpreter, its bare file name); "" when not found.
// Names are compared without regard to case.
std::string FindSolvaraProgram(const std::string& name, const ProgramSearchContext& context);
// The same; when not found shows "The program {NAME} is not available." (help 7067).
std::string FindSolvaraProgramOrSay(Prompter& prompter, const std::string& name,
                                    const ProgramSearchContext& context);
// Where messages say a program was looked for.
std::string WhereProgramsAreSought(const std::string& program_name);

inline constexpr int kHelpProgramNotAvailable = 7067;
inline constexpr int kHelpChooseEditor = 7003;
inline constexpr int kHelpChooseSpreadsheet = 7043;
inline constexpr int kHelpSolvaraDir = 7046;

// "Choose editor": may set context.editor (the "Editor" option).
void ChooseEditor(Prompter& prompter, ProgramSearchContext& context);
// "Choose spreadsheet program": may set the spreadsheet path.
void ChooseSpreadsheet(Prompter& prompter, const std::string& program_dir,
                       std::string& spreadsheet);

// "Usual Method for finding Solvara programs" and "Specify directory for Solvara
// programs"; the menu item checked is the usual method exactly when solvara_dir is "".
void UseUsualSolvaraMethod(std::string& solvara_dir);
void SpecifySolvaraDirectory(Prompter& prompter, const std::string& program_dir,
                             std::string& solvara_dir);

}  // namespace yl
