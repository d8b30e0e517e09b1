#pragma once
// What the fuzz targets share: the input as text, split into the files of a target that
// reads several (a line "@@@" between them), and a prompter that answers every message
// with its first button and cancels every file chooser.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/prompter.h"
#include "core/text_util.h"

namespace yl::fuzz {

inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return size ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

// Exactly n parts; missing ones are empty.
inline std::vector<std::string> Parts(const std::string& text, std::size_t n) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  while (parts.size() + 1 < n) {
    std::size_t at = text.find("\n@@@\n", from);
    if (at == std::string::npos) break;
    parts.push_back(text.substr(from, at + 1 - from));
    from = at + 5;
  }
  parts.push_back(from <= text.size() ? text.substr(from) : std::string());
  parts.resize(n);
  return parts;
}

class QuietPrompter : public Prompter {
 public:
  Button Show(const Message& m) override {
    ++shown;
    for (unsigned b = 1; b <= kAll; b <<= 1) {
      if (m.buttons & b) return static_cast<Button>(b);
    }
    return kOk;
  }
  std::vector<std::string> ChooseFiles(const FileRequest&) override { return {}; }
  std::optional<std::string> ChooseDirectory(const DirectoryRequest&) override {
    return std::nullopt;
  }
  int shown = 0;
};

// A directory that no input names: file checks against it find nothing.
inline constexpr const char* kNoDir = "/nonexistent-yl-fuzz";

}  // namespace yl::fuzz
