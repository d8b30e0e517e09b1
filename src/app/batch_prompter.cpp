#include "app/batch_prompter.h"

namespace yl {

std::string PlainText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

Button BatchPrompter::Show(const Message& m) {
  const char* kind = m.kind == MessageKind::kError     ? "error"
                     : m.kind == MessageKind::kWarning ? "warning"
                                                       : "note";
  out_ << "yearloom: " << kind << ": " << PlainText(m.text) << "\n";
  out_.flush();
  if (m.kind == MessageKind::kError) last_error_ = PlainText(m.text);
  // OK goes on; a question is answered No, which keeps settings as they are and never
  // abandons work on a guess.
  for (Button b : {kOk, kNo, kIgnore, kCancel, kYes}) {
    if (m.buttons & b) return b;
  }
  return kOk;
}

}  // namespace yl
