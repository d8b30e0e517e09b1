#pragma once
// Statement rules for the pieces of command-file text that the user writes: which
// statements may stand in a closure file, a shock file or a CMFStart file, and the
// Ctrl-Z rule. Each rule works on one file; the table-level rules are in
// cmf_util_cells.h.

#include <optional>
#include <string>
#include <string_view>

#include "cmf/readcmf.h"
#include "core/message.h"

namespace yl {

// Word lists: every word followed by "@".
inline constexpr std::string_view kClosureWords =
    "exogenous@endogenous@rest@swap@xset@xsubset@use@modify@take@xfile@file@";
inline constexpr std::string_view kClosureSaveWords =
    "exogenous@endogenous@rest@swap@xset@xsubset@use@modify@take@xfile@file@save@";
inline constexpr std::string_view kShockWords =
    "shock@subtotal@xset@xsubset@xfile@file@final_level@change@percent_change@";
inline constexpr std::string_view kShockAshockWords =
    "shock@subtotal@xset@xsubset@xfile@file@final_level@change@percent_change@ashock@tshock@";
inline constexpr std::string_view kCMFStartForbiddenWords =
    "exogenous@endogenous@rest@swap@use@modify@take@shock@final_level@change@percent_change@"
    "ashock@tshock@";

inline constexpr int kCMFStartHelpTopic = 7080;
inline constexpr int kClosureCellHelpTopic = 7017;
inline constexpr int kShockCellHelpTopic = 7018;

// Whether the word (case ignored) is one of the list; a word holding "@" never is.
bool WordInList(std::string_view word, std::string_view list);

std::string ClosureFileContext(const std::string& file);  // "in closure file \r\n{file}"
std::string ShockFileContext(const std::string& file);    // "in shock file \r\n{file}"

// The Ctrl-Z rule on the reader's lines from its current position: the message when a
// character other than a blank follows the first Ctrl-Z, else empty.
std::string ControlZProblem(TOpenCMFFile& reader, const std::string& context);
// The rule with its message as the user sees it (error, OK).
std::optional<Message> FindControlZ(TOpenCMFFile& reader, const std::string& context);

struct WordCheck {
  bool passed = true;
  std::string word;     // the offending (normalised) word
  bool ctrl_z = false;  // failed on the Ctrl-Z rule
  Message problem;      // the Ctrl-Z message when ctrl_z
};
// A file that does not exist or cannot be opened passes. The Ctrl-Z rule runs first.
WordCheck CheckAllowedWords(const std::string& file, std::string_view list,
                            const std::string& context);
WordCheck CheckNotAllowedWords(const std::string& file, std::string_view list,
                               const std::string& context);

// A rule's verdict and, when it failed, what the user is told: the Ctrl-Z error (OK), or
// the rule's error (OK, Help, the help topic given). Callers that otherwise check quietly
// still show a Ctrl-Z problem.
struct RuleResult {
  bool passed = true;
  bool ctrl_z = false;
  Message problem;
};

// Closure rule; "save" is allowed unless save_allowed is false.
RuleResult ClosureRule(const std::string& file, int help_topic, bool save_allowed = true);
RuleResult ShockRule(const std::string& file, bool ashock_allowed, int help_topic);
RuleResult CMFStartRule(const std::string& file, int help_topic);
// The same rules over a command file already read; messages name reader.path().
RuleResult ClosureRule(TOpenCMFFile& reader, int help_topic, bool save_allowed);
RuleResult ShockRule(TOpenCMFFile& reader, bool ashock_allowed, int help_topic);
RuleResult CMFStartRule(TOpenCMFFile& reader, int help_topic);

}  // namespace yl
