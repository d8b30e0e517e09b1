#pragma once
// A message as the user sees it. Domain rules return these instead of showing them, so
// the command that acts for the user decides whether and when to show them.

#include <string>
#include <utility>
#include <vector>

namespace yl {

enum class MessageKind { kError, kWarning, kInformation, kConfirmation };

enum Button : unsigned {
  kNoButton = 0,
  kOk = 1u << 0,
  kCancel = 1u << 1,
  kYes = 1u << 2,
  kNo = 1u << 3,
  kIgnore = 1u << 4,
  kHelp = 1u << 5,
  kAbort = 1u << 6,
  kRetry = 1u << 7,
  kAll = 1u << 8,
};
using ButtonSet = unsigned;

struct Message {
  MessageKind kind = MessageKind::kInformation;
  std::string text;  // line breaks are "\r\n", kept exact
  ButtonSet buttons = kOk;
  int help_topic = 0;  // 0: no help
  std::string caption;
};

// Messages a step wants shown, in the order it met them.
using Notices = std::vector<Message>;

// A message with a help topic offers the Help button too.
Message MakeMessage(MessageKind kind, std::string text, int help_topic = 0,
                    ButtonSet buttons = kOk);
inline Message ErrorMessage(std::string text, int help_topic = 0, ButtonSet buttons = kOk) {
  return MakeMessage(MessageKind::kError, std::move(text), help_topic, buttons);
}
inline Message InformationMessage(std::string text, int help_topic = 0, ButtonSet buttons = kOk) {
  return MakeMessage(MessageKind::kInformation, std::move(text), help_topic, buttons);
}

}  // namespace yl
