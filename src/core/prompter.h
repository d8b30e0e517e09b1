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

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows the message and returns the button pressed (one of m.buttons).
  virtual Button Show(const Message& m) = 0;
  // The chosen files; empty when the user cancelled.
  virtual std::vector<std::string> ChooseFiles(const FileRequest& request) = 0;
  virtual std::optional<std::string> ChooseDirectory(const DirectoryRequest& request) = 0;

  Button Error(const std::string& text, int help_topic = 0, ButtonSet buttons = kOk);
  Button Warning(const std::string& text, int help_topic = 0, ButtonSet buttons = kOk);
  Button Information(const std::string& text, int help_topic = 0, ButtonSet buttons = kOk);
  Button Confirm(const std::string& text, ButtonSet buttons, int help_topic = 0);
};

// Shows what a core step returned, in its order.
void ShowAll(Prompter& prompter, const Notices& notices);

}  // namespace yl
