#include "app/commands/din_edit_command.h"

#include "model/model_state.h"
#include "platform/files.h"
#include "platform/text_file.h"

namespace yl {

Result<std::string> EditDinFile(const std::string& model_path, Prompter& prompter,
                                const OpenInEditor& open_in_editor, int help_topic) {
  std::optional<std::string> din = FindCompanion(model_path, ".DIN");
  if (din) {
    prompter.Information("Current Dynamic Information File is\r\n" + *din);
  } else {
    Button b = prompter.Confirm(
        "At present is no Dynamic Information File for this model.\r\nDo you wish to create one?",
        kYes | kNo | kHelp, help_topic);
    if (b != kYes) return Fail("No Dynamic Information File");
    // It may have been made meanwhile; never overwrite one.
    din = FindCompanion(model_path, ".DIN");
    if (!din) {
      std::string path = CompanionPath(model_path, ".DIN");
      TextWriter w;
      Status s = w.Create(path);
      if (s) s = w.Close();
      if (!s) {
        prompter.Error(s.error(), help_topic);
        return Fail(s.error());
      }
      din = path;
    }
  }
  Status opened = open_in_editor(*din);
  if (!opened) {
    prompter.Error(opened.error(), help_topic);
    return Fail(opened.error());
  }
  return *din;
}

}  // namespace yl
