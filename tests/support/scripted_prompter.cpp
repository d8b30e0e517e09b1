#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

namespace yl::testing {

Button ScriptedPrompter::Show(const Message& m) {
  messages.push_back(m);
  if (while_shown) while_shown(m);
  if (!answers.empty()) {
    Button b = answers.front();
    answers.pop_front();
    EXPECT_TRUE((m.buttons & b) != 0) << "scripted answer is not a button of: " << m.text;
    return b;
  }
  for (Button b : {kOk, kYes}) {
    if (m.buttons & b) return b;
  }
  for (unsigned bit = 1; bit != 0 && bit <= kAll; bit <<= 1) {
    if (m.buttons & bit) return static_cast<Button>(bit);
  }
  return kNoButton;
}

std::vector<std::string> ScriptedPrompter::ChooseFiles(const FileRequest& request) {
  file_requests.push_back(request);
  if (file_answers.empty()) return {};
  auto r = file_answers.front();
  file_answers.pop_front();
  return r;
}

std::optional<std::string> ScriptedPrompter::ChooseDirectory(const DirectoryRequest& request) {
  directory_requests.push_back(request);
  if (directory_answers.empty()) return std::nullopt;
  auto r = directory_answers.front();
  directory_answers.pop_front();
  return r;
}

std::vector<std::string> ScriptedPrompter::Texts() const {
  std::vector<std::string> t;
  for (const auto& m : messages) t.push_back(m.text);
  return t;
}

const Message& ScriptedPrompter::Last() const {
  static const Message kNone{};
  return messages.empty() ? kNone : messages.back();
}

}  // namespace yl::testing
