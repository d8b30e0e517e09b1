#include "core/message.h"

namespace yl {

Message MakeMessage(MessageKind kind, const std::string& text, int help_topic, ButtonSet buttons) {
  if (help_topic != 0) buttons |= kHelp;
  return Message{kind, text, buttons, help_topic, {}};
}

}  // namespace yl
