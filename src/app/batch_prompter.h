#pragma once
// The unattended answers of batch mode: every message is written to the output (there is
// no one to read a dialog) and answered the way that lets the job go on without
// changing the user's settings; file choosers are cancelled.

#include <ostream>

#include "core/prompter.h"

namespace yl {

class BatchPrompter : public Prompter {
 public:
  explicit BatchPrompter(std::ostream& out) : out_(out) {}
  Button Show(const Message& m) override;
  std::vector<std::string> ChooseFiles(const FileRequest&) override { return {}; }
  std::optional<std::string> ChooseDirectory(const DirectoryRequest&) override {
    return std::nullopt;
  }
  // The text of the last error shown, for the batch jobs log.
  const std::string& last_error() const { return last_error_; }

 private:
  std::ostream& out_;
  std::string last_error_;
};

// The message as one block of text with "\n" line breaks.
std::string PlainText(const std::string& text);

}  // namespace yl
