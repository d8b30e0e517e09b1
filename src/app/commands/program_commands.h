#pragma once
// The Options-menu commands that choose the text editor, the spreadsheet program and
// where the Solvara programs are found.

#include <string>

#include "core/prompter.h"
#include "env/program_search.h"

namespace yl {

inline constexpr int kHelpChooseEditor = 7003;
inline constexpr int kHelpChooseSpreadsheet = 7043;
inline constexpr int kHelpSolvaraDir = 7046;

// FindSolvaraProgram; when not found shows "The program {NAME} is not available." (help
// 7067).
std::string FindSolvaraProgramOrSay(Prompter& prompter, const std::string& name,
                                    const ProgramSearchContext& context);

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
