#pragma once
// "Shell" commands of the File menu: a terminal emulator opened in a directory.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"
#include "core/status.h"

namespace yl {

inline constexpr int kHelpShell = 7036;

// Starts a program without waiting for it (the process runner of the job engine).
using DetachedStarter =
    std::function<Status(const std::vector<std::string>& argv, const std::string& cwd)>;

struct ShellRequest {
  std::string target_dir;                // working, keep or temporary directory
  std::string temp_dir;                  // where the script "wg{n}.sh" is written
  std::string program_dir;               // current directory of the started shell
  std::optional<std::string> path_list;  // nullopt: $PATH
};

// The terminal to start: x-terminal-emulator on the PATH, else $TERMINAL; "" if neither.
std::string FindTerminal(const std::optional<std::string>& path_list = std::nullopt);

// Writes "wg{n}.sh" (n raised from counter until the name is free; counter keeps the
// last number used) and starts "/bin/sh" on it. Shows its own messages; returns false
// on failure.
bool ShellInDirectory(Prompter& prompter, const ShellRequest& request, int& counter,
                      const DetachedStarter& start);

}  // namespace yl
