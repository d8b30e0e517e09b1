#pragma once
// Every message box and file or directory chooser goes through this seam: the Qt layer
// shows real dialogs, batch mode answers by the unattended rules, and tests script the
// answers and read back exactly what was said.

#include <optional>
#include <string>
#include <vector>

#include "core/message.h"

namespace yl {

struct FileRequest {
  std::string title;
  std::string filter;  // "Description (*.ext)|*.ext|..."
  std::string start_dir;
  std::string default_name;
  bool save = false;
  bool multiple = false;
  int help_topic = 0;
};

struct DirectoryRequest {
  std::string caption;
  std::string label;
  std::string start_dir;
  int help_topic = 0;
};

// A line of text ("Edit Sim Desc", a new name).
struct TextRequest {
  std::string caption;
  std::string label;
  std::string initial;
  int help_topic = 0;
  bool cancellable = true;  // without Cancel the dialog always gives an answer
};

struct IntegerRequest {
  std::string caption;
  std::string label;
  int initial = 0;
  int min = 0;
  int max = 0;
  int help_topic = 0;
};

// One of a few options, shown as radio buttons; also a list from which one or several
// items are selected.
struct ChoiceRequest {
  std::string caption;
  std::string label;
  std::vector<std::string> options;
  std::vector<int> initial;  // indices of the options selected at first
  bool multiple = false;     // a list of which several may be selected
  int help_topic = 0;
};

// A list of check boxes.
struct CheckListRequest {
  std::string caption;
  std::string label;
  std::vector<std::string> items;
  std::vector<bool> checked;  // one per item
  int help_topic = 0;
};

// A list of files the user edits: adds (through `add`), removes and orders.
struct FileListRequest {
  std::string caption;
  std::string label;
  std::vector<std::string> files;
  FileRequest add;
  int help_topic = 0;
};

// A window of read-only text: a status overview, a listing, a report. With `refresh` its
// "Refresh" button closes it with kRetry so that the caller can rebuild the text.
struct TextWindowRequest {
  std::string caption;
  std::string text;
  int help_topic = 0;
  bool refresh = false;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows the message and returns the button pressed (one of m.buttons).
  virtual Button Show(const Message& m) = 0;
  // The chosen files; empty when the user cancelled.
  virtual std::vector<std::string> ChooseFiles(const FileRequest& request) = 0;
  virtual std::optional<std::string> ChooseDirectory(const DirectoryRequest& request) = 0;

  // The dialogs below give nullopt when the user cancelled. Unless a prompter says
  // otherwise they are answered unattended: with what the dialog opened with, which
  // changes nothing.
  virtual std::optional<std::string> AskText(const TextRequest& request) { return request.initial; }
  virtual std::optional<int> AskInteger(const IntegerRequest& request) { return request.initial; }
  // The indices of the chosen options, in order.
  virtual std::optional<std::vector<int>> Choose(const ChoiceRequest& request) {
    return request.initial;
  }
  virtual std::optional<std::vector<bool>> CheckItems(const CheckListRequest& request) {
    return request.checked;
  }
  virtual std::optional<std::vector<std::string>> EditFileList(const FileListRequest& request) {
    return request.files;
  }
  // kOk, or kRetry for "Refresh".
  virtual Button ShowTextWindow(const TextWindowRequest& /*request*/) { return kOk; }
  // The wait window of a long check: shown with its text, hidden when done.
  virtual void ShowProgress(const std::string& /*text*/) {}
  virtual void HideProgress() {}
  // Whether the wait window's Cancel was pressed since it was shown; long work asks
  // between its steps. Unless a prompter says otherwise nobody can press it.
  virtual bool ProgressCancelled() { return false; }

  Button Error(const std::string& text, int help_topic = 0, ButtonSet buttons = kOk);
  Button Warning(const std::string& text, int help_topic = 0, ButtonSet buttons = kOk);
  Button Information(const std::string& text, int help_topic = 0, ButtonSet buttons = kOk);
  Button Confirm(const std::string& text, ButtonSet buttons, int help_topic = 0);
};

// Shows what a core step returned, in its order.
void ShowAll(Prompter& prompter, const Notices& notices);

}  // namespace yl
