#include "core/prompter.h"

namespace yl {

namespace {
Button ShowKind(Prompter& p, MessageKind kind, const std::string& text, int help_topic,
                ButtonSet buttons) {
  return p.Show(MakeMessage(kind, text, help_topic, buttons));
}
}  // namespace

Button Prompter::Error(const std::string& text, int help_topic, ButtonSet buttons) {
  return ShowKind(*this, MessageKind::kError, text, help_topic, buttons);
}
Button Prompter::Warning(const std::string& text, int help_topic, ButtonSet buttons) {
  return ShowKind(*this, MessageKind::kWarning, text, help_topic, buttons);
}
Button Prompter::Information(const std::string& text, int help_topic, ButtonSet buttons) {
  return ShowKind(*this, MessageKind::kInformation, text, help_topic, buttons);
}
Button Prompter::Confirm(const std::string& text, ButtonSet buttons, int help_topic) {
  return ShowKind(*this, MessageKind::kConfirmation, text, help_topic, buttons);
}

void ShowAll(Prompter& prompter, const Notices& notices) {
  for (const Message& m : notices) prompter.Show(m);
}

}  // namespace yl
