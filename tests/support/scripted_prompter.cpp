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

namespace {

template <typename T, typename Request>
std::optional<T> Next(std::deque<std::optional<T>>& queue, const Request&,
                      const std::optional<T>& unattended) {
  if (queue.empty()) return unattended;
  std::optional<T> answer = queue.front();
  queue.pop_front();
  return answer;
}

}  // namespace

std::optional<std::string> ScriptedPrompter::AskText(const TextRequest& request) {
  dialogs.push_back(request.caption);
  return Next(text_answers, request, Prompter::AskText(request));
}

std::optional<int> ScriptedPrompter::AskInteger(const IntegerRequest& request) {
  dialogs.push_back(request.caption);
  std::optional<int> answer = Next(integer_answers, request, Prompter::AskInteger(request));
  if (answer) {
    EXPECT_TRUE(*answer >= request.min && *answer <= request.max)
        << "scripted number outside the dialog's range: " << *answer;
  }
  return answer;
}

std::optional<std::vector<int>> ScriptedPrompter::Choose(const ChoiceRequest& request) {
  dialogs.push_back(request.caption);
  choice_requests.push_back(request);
  std::optional<std::vector<int>> answer = Next(choice_answers, request, Prompter::Choose(request));
  if (answer) {
    EXPECT_TRUE(request.multiple || answer->size() <= 1)
        << "several chosen of: " << request.caption;
    for (int i : *answer) {
      EXPECT_TRUE(i >= 0 && i < static_cast<int>(request.options.size()))
          << "scripted choice " << i << " is not an option of: " << request.caption;
    }
  }
  return answer;
}

std::optional<std::vector<bool>> ScriptedPrompter::CheckItems(const CheckListRequest& request) {
  dialogs.push_back(request.caption);
  std::optional<std::vector<bool>> answer =
      Next(check_answers, request, Prompter::CheckItems(request));
  if (answer) {
    EXPECT_EQ(answer->size(), request.items.size()) << request.caption;
  }
  return answer;
}

std::optional<std::vector<std::string>> ScriptedPrompter::EditFileList(
    const FileListRequest& request) {
  dialogs.push_back(request.caption);
  return Next(file_list_answers, request, Prompter::EditFileList(request));
}

Button ScriptedPrompter::ShowTextWindow(const TextWindowRequest& request) {
  dialogs.push_back(request.caption);
  text_windows.push_back(request);
  if (!request.refresh || answers.empty()) return kOk;
  const Button b = answers.front();
  answers.pop_front();
  return b;
}

}  // namespace yl::testing
