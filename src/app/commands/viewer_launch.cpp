#include "app/commands/viewer_launch.h"

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

namespace {

constexpr char kDesktopOpener[] = "xdg-open";

std::string& ChoiceOf(Options& o, const std::string& program) {
  if (program == "Tabulon") return o.Tabulon;
  if (program == "Halvo") return o.Halvo;
  return o.Deepro;
}

// The viewer named by the choice or found by the search; "" when there is none.
std::string FindViewer(const ViewerContext& c, const std::string& name) {
  return FindSolvaraProgram(name, SearchContextOf(c));
}

// Shared by both viewers: which part of the argument is a file, checked unless "%".
struct ViewerArgument {
  std::string file;  // "" for a "%" directory
  std::string dir;
};

ViewerArgument SplitArgument(const std::string& argument, std::size_t marker_length) {
  if (!argument.empty() && argument[0] == '%') return {"", argument.substr(1)};
  if (!argument.empty() && argument[0] == '#') {
    return {argument.size() > marker_length ? argument.substr(marker_length) : "", ""};
  }
  return {argument, ""};
}

void LaunchViewer(ViewerContext& c, const std::string& argument, const std::string& program,
                  std::size_t marker_length) {
  const ViewerArgument a = SplitArgument(argument, marker_length);
  if (a.dir.empty() && !FileExists(a.file)) {
    c.prompter.Error("Cannot find file:\r\n" + a.file, kHelpViewers, kOk | kHelp);
    return;
  }
  std::string viewer = FindViewer(c, LowerCase(program));
  if (viewer.empty() && c.builtin_viewer) {
    if (!a.file.empty()) {
      c.builtin_viewer({a.file});
      return;
    }
    FileRequest r;
    r.title = program == "Halvo" ? "Header Array file" : "Solution file";
    r.filter =
        "Header Array and solution files (*.har;*.sl4;*.sol)|*.har;*.sl4;*.sol|"
        "All files (*)|*";
    r.start_dir = a.dir;
    r.multiple = true;
    r.help_topic = kHelpViewers;
    const std::vector<std::string> files = c.prompter.ChooseFiles(r);
    if (!files.empty()) c.builtin_viewer(files);
    return;
  }
  if (viewer.empty()) {
    ChooseViewerProgram(c, program);
    viewer = FindViewer(c, LowerCase(program));
    if (viewer.empty()) return;
  }
  if (!c.start || !c.start({viewer, argument}, c.model_dir)) {
    c.prompter.Error("Could not launch " + program + " !", kHelpViewers, kOk | kHelp);
  }
}

bool UnderstandsMarker(const std::string& editor) {
  const std::string name = LowerCase(FileNameOf(editor));
  return name == "quillpad" || name == "quillpad.exe" || name == "scriblet" ||
         name == "scriblet.exe";
}

}  // namespace

ProgramSearchContext SearchContextOf(const ViewerContext& c) {
  ProgramSearchContext s;
  s.program_dir = c.program_dir;
  s.solvara_dir = c.solvara_dir;
  s.editor = c.options.Editor;
  s.tabulon = c.options.Tabulon;
  s.halvo = c.options.Halvo;
  s.path_list = c.path_list;
  return s;
}

std::vector<std::string> EditorArgv(const ProgramSearchContext& search, const std::string& file,
                                    bool marker) {
  std::string editor = search.editor;
  if (editor.empty()) editor = FindSolvaraProgram(kEditorProgram, search);
  if (editor.empty()) return {kDesktopOpener, file};
  return {editor, marker && UnderstandsMarker(editor) ? "#" + file : file};
}

void LaunchHeaderArrayViewer(ViewerContext& c, const std::string& argument) {
  LaunchViewer(c, argument, "Halvo", 1);
}

void LaunchSolutionViewer(ViewerContext& c, const std::string& argument) {
  LaunchViewer(c, argument, "Tabulon", 2);
}

void LaunchEditor(ViewerContext& c, const std::string& file, bool marker) {
  const std::vector<std::string> argv = EditorArgv(SearchContextOf(c), file, marker);
  if (!c.start || !c.start(argv, c.work_dir)) {
    c.prompter.Error("Failed to execute " + UpperCase(argv.front()), kHelpEditorLaunch,
                     kOk | kHelp);
  }
}

void LaunchSpreadsheet(ViewerContext& c, const std::string& file) {
  if (!file.empty() && !FileExists(file)) {
    c.prompter.Information("File \r\n" + file + "\r\ndoes not exist.");
    return;
  }
  std::vector<std::string> argv;
  if (!c.options.Spreadsheet.empty()) {
    argv = {c.options.Spreadsheet};
  } else if (!file.empty()) {
    argv = {kDesktopOpener};
  } else {
    return;  // no program to start without a file
  }
  if (!file.empty()) argv.push_back(file);
  if (!c.start || !c.start(argv, c.work_dir)) {
    c.prompter.Error("Failed to execute " + UpperCase(argv.front()));
  }
}

void LaunchDeepro(ViewerContext& c, const std::string& solution, const std::string& coefficients,
                  const std::string& rsl) {
  std::string program = c.options.Deepro;
  if (program.empty() || !FileExists(program)) program = FindViewer(c, "deepro");
  if (program.empty()) {
    ProgramSearchContext s = SearchContextOf(c);
    std::string where = DirectoryExists(c.program_dir) ? "In " + c.program_dir + ",\r\n" : "";
    c.prompter.Error("Cannot find Deepro.\r\n[" + where + "on PATH or in " + s.solvara_root + "]");
    return;
  }
  std::vector<std::string> argv = {program, solution};
  if (rsl.empty()) {
    if (!FileExists(solution)) {
      c.prompter.Error("Could not find Solution file\r\n" + solution);
      return;
    }
  } else {
    argv.push_back(coefficients);
    argv.push_back(rsl);
  }
  const std::string cwd = DirectoryExists(c.work_dir) ? c.work_dir : "/";
  if (!c.start || !c.start(argv, cwd)) c.prompter.Error("Could not run \r\n" + program);
}

void ChooseViewerProgram(ViewerContext& c, const std::string& program) {
  std::string& choice = ChoiceOf(c.options, program);
  const std::string lower = LowerCase(program);
  FileRequest r;
  r.title = "Select " + program + " to use";
  r.filter = program + " Files (" + lower + ")|" + lower + ";" + lower + ".exe|All files (*)|*";
  r.start_dir = choice.empty() ? c.program_dir : DirOfFile(choice);
  r.default_name = choice.empty() ? lower : FileNameOf(choice);
  r.help_topic = kHelpViewers;
  const std::vector<std::string> files = c.prompter.ChooseFiles(r);
  if (!files.empty()) choice = files.front();
}

}  // namespace yl
