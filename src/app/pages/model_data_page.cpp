#include "app/pages/model_data_page.h"

#include "app/commands/re_commands.h"
#include "core/text_util.h"
#include "env/program_search.h"
#include "model/din_file.h"
#include "model/first_year_list.h"
#include "model/model_check.h"
#include "platform/files.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "sim/sim_runs.h"
#include "sim/sim_table.h"

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

namespace {

// The MIN's and the DIN's entries for a logical name; either may be missing.
const TMinFileEntry* MinEntryFor(const TSimRecord& sim, const std::string& name) {
  for (int i = 1; i <= sim.NumMinFiles; ++i) {
    if (SameText(Trim(sim.MinFiles[i].Name), name)) return &sim.MinFiles[i];
  }
  return nullptr;
}

const TDinFileEntry* DinEntryFor(const TSimRecord& sim, const std::string& name) {
  const int f = FindDinFile(sim, name);
  return f == 0 ? nullptr : &sim.DinFiles[f];
}

bool IsHarFile(const TSimRecord& sim, const std::string& name) {
  if (const TDinFileEntry* d = DinEntryFor(sim, name)) return SameText(d->Type, "HAR");
  if (const TMinFileEntry* m = MinEntryFor(sim, name)) {
    return !m->Type.empty() && (m->Type[0] == 'h' || m->Type[0] == 'H');
  }
  return true;
}

std::string RoleExplanation(const TSimRecord& sim, const TDinFileEntry& d) {
  switch (d.Role) {
    case kUpdatedInput:
      return "The first period of every run reads the file named here; each later period "
             "reads the updated version that the period before it wrote.";
    case kLaggedInput: {
      std::string lag = d.LagOf >= 1 && d.LagOf <= sim.NumDinFiles
                            ? Trim(sim.DinFiles[d.LagOf].Name)
                            : std::string("another file");
      return "It holds the data of " + lag +
             " one period earlier: the first period reads the file named here, the second "
             "the first-year file of " +
             lag + ", and each later period what " + lag + " was two periods before.";
    }
    case kConstantInput:
      return "Every period of every run reads the file named here; the model does not "
             "update it.";
    default:
      return "The model writes this file; it does not read it.";
  }
}

}  // namespace

std::string DataLineText(const std::string& line) {
  auto l = ParseFirstYearLine(line);
  if (!l) return line;
  const std::string file = l->file.empty() ? "??" : l->file;
  return "file " + UpperCase(l->name) + " = " + (file == "??" ? file : QuoteIfNeeded(file)) + " ;";
}

std::string TellMoreAboutDataFile(const TSimRecord& sim, const std::string& line,
                                  const std::string& working_dir) {
  auto l = ParseFirstYearLine(line);
  if (!l) return "This line does not name a logical file.";
  const std::string name = UpperCase(l->name);
  std::string text = "Logical file " + name;
  const TMinFileEntry* m = MinEntryFor(sim, l->name);
  std::string description = m ? Trim(m->Description) : FirstYearLineDescription(line);
  if (!description.empty()) text += "\r\n  " + description;
  text += "\r\n\r\n";
  const TDinFileEntry* d = DinEntryFor(sim, l->name);
  if (!d) {
    text += "The model's information files say nothing more about this file.";
  } else {
    text += std::string("Type: ") + (SameText(d->Type, "HAR") ? "Header Array file" : "text file") +
            "\r\nKey: " + d->Key + " (the names of the files made for it in later periods begin " +
            "with it)\r\nUpdated by the model: " + (d->IsUpdated ? "yes" : "no") +
            "\r\nRole: " + RoleName(d->Role) + "\r\n" + RoleExplanation(sim, *d);
  }
  text += "\r\n\r\n";
  if (l->file.empty() || l->file == "??") {
    text += "No file has been chosen for it yet.";
  } else {
    const std::string path = FirstYearFilePath(l->file, working_dir);
    text += "Its first-year file is\r\n  " + path +
            (FileExists(path) ? "" : "\r\nwhich does not exist.");
  }
  return text;
}

ModelDataPage::ModelDataPage(Session& session, Prompter& prompter, Hooks hooks)
    : session_(session), prompter_(prompter), hooks_(std::move(hooks)) {}

ModelDataFields ModelDataPage::View() const {
  const SessionSettings& s = session_.settings;
  const ModelState& m = s.model;
  ModelDataFields v;
  v.model_label = HasModel(m) ? ModelLabel(m) : kNoModelSelected;
  v.winconsole_caption = HasModel(m) && IsKvsModel(m.ModelFile) ? "Kalvo is not a &winconsole EXE"
                                                                : "This is not a &winconsole EXE";
  const ModelLaunchDecision launch = DecideModelLaunch(m.Release, m.NotWinconsole, false);
  v.winconsole_checked = launch.not_winconsole.value_or(m.NotWinconsole);
  v.winconsole_visible = HasModel(m) && !launch.not_winconsole.has_value();
  std::vector<std::string> lines = s.first_year_files;
  for (const std::string& line : lines) {
    v.data_lines.push_back(DataLineText(line));
    v.descriptions.push_back(FirstYearLineDescription(line));
  }
  v.save_enabled = !lines.empty() && FirstYearFilesComplete(lines, session_.sim.SimDir);
  return v;
}

bool ModelDataPage::ChangeModel() {
  SessionSettings& s = session_.settings;
  ProgramSearchContext search;
  search.program_dir = s.paths.program_dir;
  search.solvara_dir = s.paths.solvara_dir;
  InterpreterLocation interpreter;
  if (std::string k = FindSolvaraProgram("kalvo", search); !k.empty()) interpreter.path = k;
  interpreter.where_looked = WhereProgramsAreSought("Kalvo");
  auto chosen = prompter_.ChooseFiles(
      SelectModelRequest(s.model, s.paths.program_dir, interpreter.path.has_value()));
  if (chosen.empty()) return false;

  ModelSession ms{s.model, s.min_din, s.first_year_files};
  ModelEnvironment env;
  env.temp_dir = s.paths.temp_dir;
  env.working_dir = session_.sim.SimDir;
  env.help_topic = kHelpModelDataPage;
  Notices notices;
  ModelLoadOutcome outcome;
  const bool selected =
      SelectModel(chosen.front(), interpreter, ms, session_.sim, notices, env, &outcome);
  ShowAll(prompter_, notices);
  if (!selected) return false;
  s.model = ms.model;
  s.min_din = ms.info;
  s.first_year_files = ms.first_year;
  if (outcome.cleared) return true;
  // A newly chosen model runs with the Rerun; the table's names follow the new model.
  s.options.NoRerun = false;
  session_.sim.CMFCells(kCmfStartRow, CMFStartColumn(kRerun)) = "";
  RecomputeYears(session_.sim);
  NormaliseCells(session_.sim);
  if (outcome.compatible && hooks_.start_model_check) hooks_.start_model_check();
  return true;
}

void ModelDataPage::SetNotWinconsole(bool checked) {
  session_.settings.model.NotWinconsole = checked;
}

bool ModelDataPage::Entered() {
  return CheckFirstYearFiles(session_.settings.first_year_files, session_.sim.SimDir, prompter_,
                             [this](std::string& line) { return ChooseFileForLine(line); });
}

std::string ModelDataPage::FilePathOf(int row) const {
  const auto& lines = session_.settings.first_year_files;
  if (row < 0 || row >= static_cast<int>(lines.size())) return "";
  auto l = ParseFirstYearLine(lines[static_cast<std::size_t>(row)]);
  if (!l || l->file.empty() || l->file == "??") return "";
  return FirstYearFilePath(l->file, session_.sim.SimDir);
}

std::vector<DataLineMenuEntry> ModelDataPage::LineMenu(int row) const {
  const auto& lines = session_.settings.first_year_files;
  if (row < 0 || row >= static_cast<int>(lines.size())) return {};
  const std::string path = FilePathOf(row);
  auto l = ParseFirstYearLine(lines[static_cast<std::size_t>(row)]);
  const bool har = l && IsHarFile(session_.sim, l->name);
  const bool viewer =
      har ? static_cast<bool>(hooks_.view_har) : static_cast<bool>(hooks_.open_in_editor);
  return {{DataLineAction::kSelect, "&Select or change the file name", l.has_value()},
          {DataLineAction::kView, "&View this file", !path.empty() && FileExists(path) && viewer},
          {DataLineAction::kTellMore, "&Tell me more about this file", true},
          {DataLineAction::kClear, "&Clear this file name", !path.empty()},
          {DataLineAction::kHelp, "&Help", true}};
}

void ModelDataPage::Run(DataLineAction action, int row) {
  auto& lines = session_.settings.first_year_files;
  if (row < 0 || row >= static_cast<int>(lines.size())) return;
  std::string& line = lines[static_cast<std::size_t>(row)];
  switch (action) {
    case DataLineAction::kSelect:
      (void)ChooseFileForLine(line);
      break;
    case DataLineAction::kView: {
      auto l = ParseFirstYearLine(line);
      std::string path = FilePathOf(row);
      if (path.empty()) break;
      // The model program rewrites the first-year RE files; the user may want its copy.
      if (l) path = ReInputFileToShow(session_, prompter_, l->name, path);
      if (path.empty()) break;
      const bool har = l && IsHarFile(session_.sim, l->name);
      const auto& open = har ? hooks_.view_har : hooks_.open_in_editor;
      if (!open) break;
      if (Status st = open(path); !st) prompter_.Error(st.error());
      break;
    }
    case DataLineAction::kTellMore:
      prompter_.Information(TellMoreAboutDataFile(session_.sim, line, session_.sim.SimDir),
                            kHelpModelDataPage, kOk | kHelp);
      break;
    case DataLineAction::kClear:
      line = WithFirstYearFile(line, "??");
      break;
    case DataLineAction::kHelp:
      if (hooks_.show_help) hooks_.show_help(kHelpModelDataPage);
      break;
  }
}

bool ModelDataPage::ChooseFile(int row) {
  auto& lines = session_.settings.first_year_files;
  if (row < 0 || row >= static_cast<int>(lines.size())) return false;
  return ChooseFileForLine(lines[static_cast<std::size_t>(row)]);
}

bool ModelDataPage::ChooseFileForLine(std::string& line) {
  auto l = ParseFirstYearLine(line);
  if (!l) return false;
  const std::string& dir = session_.sim.SimDir;
  FileRequest r;
  r.title = "Data file for logical file " + UpperCase(l->name);
  r.filter = IsHarFile(session_.sim, l->name) ? "Header Array files (*.har)|*.har|All files (*)|*"
                                              : "Text files (*.txt)|*.txt|All files (*)|*";
  r.start_dir = dir;
  if (!l->file.empty() && l->file != "??") {
    const std::string path = FirstYearFilePath(l->file, dir);
    r.start_dir = DirOfFile(path);
    r.default_name = FileNameOf(path);
  }
  r.help_topic = kHelpModelDataPage;
  auto files = prompter_.ChooseFiles(r);
  if (files.empty()) return false;
  std::string file = files.front();
  // Files in the working directory are named alone, so the list moves with the directory.
  if (!dir.empty() && SameText(RemoveTrailingSep(DirOfFile(file)), RemoveTrailingSep(dir))) {
    file = FileNameOf(file);
  }
  line = WithFirstYearFile(line, file);
  return true;
}

void ModelDataPage::SaveAs() {
  (void)SaveFirstYearListAs(session_.settings.first_year_files, session_.settings.model,
                            session_.sim.SimDir, prompter_);
}

void ModelDataPage::Load() {
  auto files = prompter_.ChooseFiles(LoadMdfRequest(session_.settings.model));
  if (files.empty()) return;
  auto loaded = ReadMdfFile(files.front());
  if (!loaded) {
    prompter_.Error(loaded.error());
    return;
  }
  auto& lines = session_.settings.first_year_files;
  lines = ApplyMdfLines(lines, *loaded, session_.sim.SimDir);
}

}  // namespace yl
