#include "app/commands/program_commands.h"

#include "core/text_util.h"
#include "platform/paths.h"

namespace yl {

std::string FindSolvaraProgramOrSay(Prompter& prompter, const std::string& name,
                                    const ProgramSearchContext& context) {
  std::string p = FindSolvaraProgram(name, context);
  if (p.empty()) {
    prompter.Error("The program " + UpperCase(name) + " is not available.",
                   kHelpProgramNotAvailable);
  }
  return p;
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
