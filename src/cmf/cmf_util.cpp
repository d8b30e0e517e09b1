#include "cmf/cmf_util.h"

#include <utility>

#include "core/text_util.h"
#include "platform/files.h"

namespace yl {

namespace {

constexpr char kCtrlZ = '\x1a';

WordCheck CheckWords(TOpenCMFFile& reader, std::string_view list, bool allowed,
                     const std::string& context) {
  WordCheck result;
  reader.Rewind();
  if (auto z = FindControlZ(reader, context)) {
    result.passed = false;
    result.ctrl_z = true;
    result.problem = std::move(*z);
    return result;
  }
  for (const auto& s : reader.statements()) {
    std::string keyword = NormaliseKeyword(s.keyword_word());
    if (WordInList(keyword, list) != allowed) {
      result.passed = false;
      result.word = keyword;
      return result;
    }
  }
  return result;
}

// A file that does not exist or cannot be opened passes.
template <class Rule>
auto OnFile(const std::string& file, Rule rule) -> decltype(rule(std::declval<TOpenCMFFile&>())) {
  if (!FileExists(file)) return {};
  TOpenCMFFile reader;
  if (!reader.Open(file)) return {};
  return rule(reader);
}

RuleResult ToRule(WordCheck check, std::string message, int help_topic) {
  RuleResult r;
  r.passed = check.passed;
  r.ctrl_z = check.ctrl_z;
  if (check.ctrl_z) r.problem = std::move(check.problem);
  if (check.passed || check.ctrl_z) return r;
  r.problem = ErrorMessage(std::move(message), help_topic, kOk | kHelp);
  return r;
}

}  // namespace

bool WordInList(std::string_view word, std::string_view list) {
  if (word.empty() || word.find('@') != std::string_view::npos) return false;
  std::size_t from = 0;
  while (from < list.size()) {
    std::size_t at = list.find('@', from);
    if (at == std::string_view::npos) at = list.size();
    if (SameText(list.substr(from, at - from), word)) return true;
    from = at + 1;
  }
  return false;
}

std::string ClosureFileContext(const std::string& file) { return "in closure file \r\n" + file; }
std::string ShockFileContext(const std::string& file) { return "in shock file \r\n" + file; }

std::string ControlZProblem(TOpenCMFFile& reader, const std::string& context) {
  bool after_ctrl_z = false;
  int z_line = 0;
  std::size_t z_pos = 0;
  std::string z_text;
  while (reader.NextLine()) {
    const std::string& line = reader.stream().line();
    std::size_t from = 0;
    if (!after_ctrl_z) {
      std::size_t z = line.find(kCtrlZ);
      if (z == std::string::npos) continue;
      after_ctrl_z = true;
      z_line = reader.stream().lines_read();
      z_pos = z + 1;
      z_text = line;
      from = z + 1;
    }
    if (line.find_first_not_of(' ', from) != std::string::npos) {
      return "ControlZ found in text " + context + "\r\nin position " + std::to_string(z_pos) +
             " in line number " + std::to_string(z_line) + "\r\n\"" + z_text +
             "\"\r\n Please remove ControlZ to fix this.\r\n[Having such a character before "
             "the end of the file will\r\n  confuse some compilers and editors.]";
    }
  }
  return "";
}

std::optional<Message> FindControlZ(TOpenCMFFile& reader, const std::string& context) {
  std::string problem = ControlZProblem(reader, context);
  if (problem.empty()) return std::nullopt;
  return ErrorMessage(std::move(problem));
}

WordCheck CheckAllowedWords(const std::string& file, std::string_view list,
                            const std::string& context) {
  return OnFile(file,
                [&](TOpenCMFFile& reader) { return CheckWords(reader, list, true, context); });
}

WordCheck CheckNotAllowedWords(const std::string& file, std::string_view list,
                               const std::string& context) {
  return OnFile(file,
                [&](TOpenCMFFile& reader) { return CheckWords(reader, list, false, context); });
}

RuleResult ClosureRule(const std::string& file, int help_topic, bool save_allowed) {
  return OnFile(
      file, [&](TOpenCMFFile& reader) { return ClosureRule(reader, help_topic, save_allowed); });
}

RuleResult ClosureRule(TOpenCMFFile& reader, int help_topic, bool save_allowed) {
  const std::string& file = reader.path();
  WordCheck check = CheckWords(reader, save_allowed ? kClosureSaveWords : kClosureWords, true,
                               ClosureFileContext(file));
  std::string message = "Key word \"" + check.word + "\" must not be in closure file\r\n" + file +
                        "\r\nPlease change this file.";
  return ToRule(std::move(check), std::move(message), help_topic);
}

RuleResult ShockRule(const std::string& file, bool ashock_allowed, int help_topic) {
  return OnFile(
      file, [&](TOpenCMFFile& reader) { return ShockRule(reader, ashock_allowed, help_topic); });
}

RuleResult ShockRule(TOpenCMFFile& reader, bool ashock_allowed, int help_topic) {
  const std::string& file = reader.path();
  WordCheck check = CheckWords(reader, ashock_allowed ? kShockAshockWords : kShockWords, true,
                               ShockFileContext(file));
  std::string message = "Key word \"" + check.word + "\" must not be in shocks file\r\n" + file +
                        "\r\nPlease change this file.";
  return ToRule(std::move(check), std::move(message), help_topic);
}

RuleResult CMFStartRule(const std::string& file, int help_topic) {
  return OnFile(file, [&](TOpenCMFFile& reader) { return CMFStartRule(reader, help_topic); });
}

RuleResult CMFStartRule(TOpenCMFFile& reader, int help_topic) {
  const std::string& file = reader.path();
  WordCheck check = CheckWords(reader, kCMFStartForbiddenWords, false, ClosureFileContext(file));
  std::string message = "Key word \"" + check.word + "\" must not be in CMFStart file\r\n  " +
                        file + "\r\nPlease change this file.";
  return ToRule(std::move(check), std::move(message), help_topic);
}

}  // namespace yl
