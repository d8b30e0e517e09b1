#pragma once
// Where the Solvara programs, the text editor and the spreadsheet program are found.

#include <functional>
#include <optional>
#include <string>

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
// Where messages say a program was looked for.
std::string WhereProgramsAreSought(const std::string& program_name);

inline constexpr int kHelpProgramNotAvailable = 7067;

}  // namespace yl
