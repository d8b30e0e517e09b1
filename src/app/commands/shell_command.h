#pragma once
// "Shell" commands of the File menu: a terminal emulator opened in a directory.

#include <optional>
#include <string>

#include "core/prompter.h"
#include "env/shell.h"

namespace yl {

inline constexpr int kHelpShell = 7036;

struct ShellRequest {
  std::string target_dir;                // working, keep or temporary directory
  std::string temp_dir;                  // where the script "wg{n}.sh" is written
  std::string program_dir;               // current directory of the started shell
  std::optional<std::string> path_list;  // nullopt: $PATH
};

// Writes "wg{n}.sh" (n raised from counter until the name is free; counter keeps the
// last number used) and starts "/bin/sh" on it. Shows its own messages; returns false
// on failure.
bool ShellInDirectory(Prompter& prompter, const ShellRequest& request, int& counter,
                      const DetachedStarter& start);

}  // namespace yl
