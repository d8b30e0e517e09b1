#pragma once
// The command file of one run of our model program, read with the family's word and
// comment rules into plain records: settings, file statements, closure and shock
// statements in the order written. Nothing here knows the model; names are checked when
// the statements are applied.

#include <optional>
#include <string>
#include <vector>

#include "core/status.h"
#include "modelcore/solver.h"

namespace yl::modelprog {

struct FileStatement {
  std::string logical;
  std::string path;  // unquoted, as written
  int line = 0;
};

// A variable with an optional list of elements (empty: every component).
struct ComponentList {
  std::string variable;
  std::vector<std::string> elements;
};

enum class ClosureOp { kExogenous, kEndogenous, kRestExogenous, kRestEndogenous, kSwap, kUseEnv };

struct ClosureStatement {
  ClosureOp op = ClosureOp::kExogenous;
  std::vector<ComponentList> items;  // exogenous / endogenous
  ComponentList swap_out, swap_in;   // swap OUT = IN
  std::string environment;           // use environment file NAME
  int line = 0;
};

enum class ShockWord { kShock, kAShock, kTShock, kFinalLevel, kChange, kPercentChange };

struct ShockStatement {
  ShockWord kind = ShockWord::kShock;
  ComponentList target;
  std::vector<double> values;  // empty when the values come from a file
  std::string file;            // file NAME header "HEAD"
  std::string header;
  std::string slice;  // slice "NAME"
  int line = 0;
};

struct CommandFile {
  std::string path;
  std::string auxiliary;                // "auxiliary files"
  std::optional<std::string> solution;  // "Solution file", without extension
  model::SolveSettings method;          // Johansen unless stated
  std::string verbal;
  std::vector<FileStatement> files;
  std::vector<FileStatement> updated;
  bool udc = false;
  bool auto_shocks = true;
  bool nds = false, nwr = false, neq = false, nas = false;
  std::vector<std::string> save_environment;  // names as written
  std::vector<ClosureStatement> closure;
  std::vector<ShockStatement> shocks;
  std::vector<std::string> notes;  // statements accepted without effect, for the log
};

// Errors read "Command file {path}, line {n}: {problem}".
Result<CommandFile> ParseCommandFile(const std::string& text, const std::string& path);
Result<CommandFile> ReadCommandFile(const std::string& path);

// "name" or "name(E1,E2)".
std::string ListText(const ComponentList& list);

}  // namespace yl::modelprog
