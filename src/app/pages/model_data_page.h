#pragma once
// The Model/Data page: choosing the model, and keeping its first-year data list
// complete, saved and loaded.

#include <functional>
#include <string>
#include <vector>

#include "app/session.h"
#include "core/prompter.h"
#include "model/model_files.h"
#include "model/model_state.h"

namespace yl {

// The open-file request of "Change &Model". Linux model programs often have no
// extension, so an all-files choice follows the specified filter.
FileRequest SelectModelRequest(const ModelState& model, const std::string& default_dir,
                               bool interpreter_found);

// Lets the user choose the file of a line again; true when the line now names a file.
using ChooseFirstYearFile = std::function<bool(std::string& line)>;

// False when some line has no file. A line whose file has gone becomes "{prefix} ?? ;"
// and the user is asked to choose the file again.
bool CheckFirstYearFiles(std::vector<std::string>& lines, const std::string& working_dir,
                         Prompter& prompter, const ChooseFirstYearFile& choose);

FileRequest SaveMdfRequest(const ModelState& model);
FileRequest LoadMdfRequest(const ModelState& model);

// "Save &As ...": refuses an incomplete list with "Please specify names for all files
// first."; otherwise asks for the file and writes the lines. False when nothing was saved.
bool SaveFirstYearListAs(std::vector<std::string>& lines, const ModelState& model,
                         const std::string& working_dir, Prompter& prompter);

inline constexpr int kHelpModelDataPage = 5432;
inline constexpr char kNoModelSelected[] = "Model : (none selected)";

// What the page shows.
struct ModelDataFields {
  std::string model_label;  // "Model : (none selected)" or "Model: {path}"
  std::string winconsole_caption;
  bool winconsole_checked = false;
  // Only while the model's own release report leaves the choice to the user.
  bool winconsole_visible = false;
  std::vector<std::string> data_lines;    // "file {LOGICAL} = {path} ;"
  std::vector<std::string> descriptions;  // the MIN's, per line
  bool save_enabled = false;              // the list is complete
};

enum class DataLineAction { kSelect, kView, kTellMore, kClear, kHelp };

struct DataLineMenuEntry {
  DataLineAction action;
  std::string caption;  // with "&"
  bool enabled = true;
};

// "file {LOGICAL} = {path} ;" of a stored list line ("??" for an unknown path).
std::string DataLineText(const std::string& line);
// "&Tell me more about this file": what the MIN and the DIN say about the logical file.
std::string TellMoreAboutDataFile(const TSimRecord& sim, const std::string& line,
                                  const std::string& working_dir);

class ModelDataPage {
 public:
  struct Hooks {
    std::function<void(int topic)> show_help;
    // Opens a data file in its viewer; unset: only text files can be viewed (in the editor).
    std::function<Status(const std::string& path)> view_har;
    std::function<Status(const std::string& path)> open_in_editor;
    // The model program's release check, started after a model was chosen.
    std::function<bool()> start_model_check;
  };
  ModelDataPage(Session& session, Prompter& prompter, Hooks hooks);

  ModelDataFields View() const;

  // "Change &Model": choose, validate and load; false when nothing changed.
  bool ChangeModel();
  void SetNotWinconsole(bool checked);
  // Entering the page: the list is checked, asking about files that have gone.
  bool Entered();

  std::vector<DataLineMenuEntry> LineMenu(int row) const;
  void Run(DataLineAction action, int row);
  // The file chooser for one line; false when the user cancelled.
  bool ChooseFile(int row);

  void SaveAs();
  void Load();

 private:
  bool ChooseFileForLine(std::string& line);
  std::string FilePathOf(int row) const;

  Session& session_;
  Prompter& prompter_;
  Hooks hooks_;
};

}  // namespace yl
