#pragma once
// Test double of the Prompter: records every message, file and directory request, and
// answers from queues. With an empty queue it answers Ok, else Yes, else the first button
// offered; a file or directory request with an empty queue counts as cancelled.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"

namespace yl::testing {

class ScriptedPrompter : public Prompter {
 public:
  Button Show(const Message& m) override;
  std::vector<std::string> ChooseFiles(const FileRequest& request) override;
  std::optional<std::string> ChooseDirectory(const DirectoryRequest& request) override;
  // Each dialog is recorded (its caption in `dialogs`) and answered from its queue; with
  // an empty queue it keeps what it opened with.
  std::optional<std::string> AskText(const TextRequest& request) override;
  std::optional<int> AskInteger(const IntegerRequest& request) override;
  std::optional<std::vector<int>> Choose(const ChoiceRequest& request) override;
  std::optional<std::vector<bool>> CheckItems(const CheckListRequest& request) override;
  std::optional<std::vector<std::string>> EditFileList(const FileListRequest& request) override;
  // Recorded in `text_windows`; answered from `answers` when it offers Refresh, else kOk.
  Button ShowTextWindow(const TextWindowRequest& request) override;

  void Answer(Button b) { answers.push_back(b); }
  // The texts of every message shown, in order.
  std::vector<std::string> Texts() const;
  const Message& Last() const;

  std::vector<Message> messages;
  std::vector<FileRequest> file_requests;
  std::vector<DirectoryRequest> directory_requests;
  std::deque<Button> answers;
  std::deque<std::vector<std::string>> file_answers;
  std::deque<std::optional<std::string>> directory_answers;
  std::vector<std::string> dialogs;
  std::deque<std::optional<std::string>> text_answers;
  std::deque<std::optional<int>> integer_answers;
  std::deque<std::optional<std::vector<int>>> choice_answers;
  std::deque<std::optional<std::vector<bool>>> check_answers;
  std::deque<std::optional<std::vector<std::string>>> file_list_answers;
  std::vector<ChoiceRequest> choice_requests;
  std::vector<TextWindowRequest> text_windows;
  // Runs while a message is up, as a window's nested event loop would run timers.
  std::function<void(const Message&)> while_shown;
};

}  // namespace yl::testing
