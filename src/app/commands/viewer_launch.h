#pragma once
// Starting the programs a modeller looks at results with: the header-array viewer, the
// solution viewer, the results-analysis program, the editor and the spreadsheet program.
// Each is the user's choice or the program search's find; a file the viewers read falls
// back to the built-in viewer, anything else to the desktop's default opener. Programs
// start detached: the window never waits for them.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"
#include "env/program_search.h"
#include "env/shell.h"
#include "settings/options.h"

namespace yl {

inline constexpr int kHelpViewers = 7043;
inline constexpr int kHelpEditorLaunch = 7003;
inline constexpr int kHelpTextFile = 7047;

struct ViewerContext {
  ViewerContext(Prompter& p, Options& o) : prompter(p), options(o) {}
  Prompter& prompter;
  Options& options;  // Editor, Spreadsheet, Tabulon, Halvo, Deepro
  std::string program_dir;
  std::string solvara_dir;
  std::string work_dir;   // where the editor, spreadsheet and Deepro start
  std::string model_dir;  // where the viewers start
  DetachedStarter start;
  // Opens files in the program's own viewer; unset (batch mode): no fallback.
  std::function<void(const std::vector<std::string>& files)> builtin_viewer;
  std::optional<std::string> path_list;  // nullopt: $PATH
};

ProgramSearchContext SearchContextOf(const ViewerContext& c);
// The editor's command line: the chosen or found editor, else the desktop's opener.
std::vector<std::string> EditorArgv(const ProgramSearchContext& search, const std::string& file,
                                    bool marker = false);

// argument: a file; "%" + a directory (passed unchecked: the viewer asks for a file
// there); "#" + a one-character marker + a file for the solution viewer's graphs.
void LaunchHeaderArrayViewer(ViewerContext& c, const std::string& argument);
void LaunchSolutionViewer(ViewerContext& c, const std::string& argument);
// marker: the editors that understand it get "#" before the file name.
void LaunchEditor(ViewerContext& c, const std::string& file, bool marker = false);
// file "" starts the program without one.
void LaunchSpreadsheet(ViewerContext& c, const std::string& file);
// rsl "" opens the solution alone.
void LaunchDeepro(ViewerContext& c, const std::string& solution, const std::string& coefficients,
                  const std::string& rsl);

// "Which &Tabulon to use", "Which &Halvo to use", "Which Deepro to use"; program is
// "Tabulon", "Halvo" or "Deepro". The choice is kept in the options.
void ChooseViewerProgram(ViewerContext& c, const std::string& program);

}  // namespace yl
