#include "app/pages/model_data_page.h"

#include "model/first_year_list.h"

namespace yl {

FileRequest SelectModelRequest(const ModelState& model, const std::string& default_dir,
                               bool interpreter_found) {
  FileRequest r;
  r.title = "Select Model";
  r.start_dir = model.ModelDir.empty() ? default_dir : model.ModelDir;
  r.filter =
      interpreter_found ? "Model Files (*.EXE,*.KVS)|*.exe;*.kvs" : "Model EXE Files (*.EXE)|*.exe";
  r.filter += "|All Files (*)|*";
  r.help_topic = 0;
  return r;
}

bool CheckFirstYearFiles(std::vector<std::string>& lines, const std::string& working_dir,
                         Prompter& prompter, const ChooseFirstYearFile& choose) {
  bool complete = true;
  for (std::string& line : lines) {
    FirstYearFileCheck c = CheckFirstYearLine(line, working_dir);
    if (c.state == FirstYearFileState::kPresent) continue;
    if (c.state == FirstYearFileState::kUnnamed) {
      complete = false;
      continue;
    }
    Button b =
        prompter.Information("Message about the Data part of Model/Data page.\r\nThe file " +
                                 c.file + "\r\n (associated with logical file " + c.logical_name +
                                 ") no longer exists.\r\nDo you wish to specify this file "
                                 "again?",
                             0, kYes | kNo);
    if (b != kYes || !choose || !choose(line)) complete = false;
  }
  return complete;
}

FileRequest SaveMdfRequest(const ModelState& model) {
  FileRequest r;
  r.title = "Save Data File Names";
  r.filter = "Model data files|*.MDF";
  r.start_dir = model.ModelDir;
  r.default_name = ProposedMdfName(model);
  r.save = true;
  return r;
}

FileRequest LoadMdfRequest(const ModelState& model) {
  FileRequest r;
  r.title = "Model Data File ";
  r.filter = "Model Data files|*.mdf";
  r.start_dir = model.ModelDir;
  return r;
}

bool SaveFirstYearListAs(std::vector<std::string>& lines, const ModelState& model,
                         const std::string& working_dir, Prompter& prompter) {
  if (!FirstYearFilesComplete(lines, working_dir)) {
    prompter.Error("Please specify names for all files first.");
    return false;
  }
  std::vector<std::string> chosen = prompter.ChooseFiles(SaveMdfRequest(model));
  if (chosen.empty()) return false;
  Status s = WriteMdfFile(chosen.front(), lines);
  if (!s) {
    prompter.Error(s.error());
    return false;
  }
  return true;
}

}  // namespace yl
