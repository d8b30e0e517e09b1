#pragma once
// Starting a terminal emulator: which one, and how a detached program is started.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/status.h"

namespace yl {

// Starts a program without waiting for it (the process runner of the job engine).
using DetachedStarter =
    std::function<Status(const std::vector<std::string>& argv, const std::string& cwd)>;

// The terminal to start: x-terminal-emulator on the PATH, else $TERMINAL; "" if neither.
std::string FindTerminal(const std::optional<std::string>& path_list = std::nullopt);

}  // namespace yl
