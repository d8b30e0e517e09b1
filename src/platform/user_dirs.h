#pragma once
// Environment variables and the user's standard folders, looked up one way for the
// whole program.

#include <cstddef>
#include <optional>
#include <string>

namespace yl {

// Buffer sizes of the environment reads; a longer value counts as undefined.
inline constexpr std::size_t kDirEnvBuffer = 2048;
inline constexpr std::size_t kOtherEnvBuffer = 4096;

// The variable's value, or nullopt when it is undefined, empty or too long for the buffer.
std::optional<std::string> GetEnvVar(const std::string& name, std::size_t buffer = kOtherEnvBuffer);

// $HOME, else the home directory of the account; "" when neither is known.
std::string HomeDirectory();
// An XDG base directory: the variable when it holds an absolute path, else
// HOME + fallback ("/.cache", "/.local/share", "/.config"); "" without a home.
std::string XdgDirectory(const std::string& variable, const std::string& home_relative);
// $XDG_CONFIG_HOME, else ~/.config.
std::string UserConfigDirectory();

}  // namespace yl
