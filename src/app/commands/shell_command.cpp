#include "app/commands/shell_command.h"

#include "env/environment.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {

bool ShellInDirectory(Prompter& prompter, const ShellRequest& request, int& counter,
                      const DetachedStarter& start) {
  std::string script;
  do {
    ++counter;
    script = JoinPath(request.temp_dir, "wg" + std::to_string(counter) + ".sh");
  } while (FileExists(script));
  std::string terminal = FindTerminal(request.path_list);
  if (terminal.empty()) {
    prompter.Error("Unable to run x-terminal-emulator", kHelpShell);
    return false;
  }
  // $TERMINAL may carry its own arguments: the script expands it itself rather than
  // having its text pasted in.
  std::string run = FindOnPath("x-terminal-emulator", request.path_list) ? ShellQuote(terminal)
                                                                         : std::string("$TERMINAL");
  Status written = WriteTextLines(
      script, {"cd " + ShellQuote(request.target_dir) + " || exit 1", "exec " + run});
  if (!written) {
    prompter.Error("An IO error occured creating " + script + ".", kHelpShell);
    return false;
  }
  Status started =
      start ? start({"/bin/sh", script}, request.program_dir) : Status(Fail("no process starter"));
  if (!started) {
    DeleteFileIfExists(script);
    prompter.Error("Unable to run /bin/sh", kHelpShell);
    return false;
  }
  return true;
}

}  // namespace yl
