#pragma once
// The Model Information file (MIN): the model's logical files as its compiler lists them,
// the TAB and STI file names, the release that wrote it and its creation stamp.

#include <optional>
#include <string>
#include <vector>

#include "core/status.h"
#include "model/model_state.h"
#include "sim/sim_record.h"

namespace yl {

// One entry line, cut at its fixed columns.
struct MinEntryLine {
  std::string name;        // columns 1-20, trailing blanks removed
  std::string usage;       // columns 23-25, trimmed ("in", "out")
  bool updated = false;    // column 30 "y" or "Y"
  std::string type;        // columns 33-35, lower case
  std::string fixed_name;  // columns 38 on: a file name hard-wired in the TAB file
  bool special() const { return !name.empty() && name.front() == '('; }
  bool is_input() const;
};

MinEntryLine ParseMinEntryLine(const std::string& line);

// One entry with its raw line and description (empty for special entries).
struct MinEntry {
  std::string line;
  MinEntryLine fields;
  std::string description;
};

struct MinContents {
  std::vector<MinEntry> entries;  // every entry, in file order
  std::string tab_path;           // resolved against the model directory; "" when absent
  std::string sti_name;           // "" for "%none" or when absent
  std::optional<MinRelease> release;
  std::string stamp;  // "#TMDATE"
};

// Reads the whole MIN; a MIN cut short inside an entry or after "#TABFILE" fails with
// "Unexpected end of file {path}". Does not limit the number of entries.
Result<MinContents> ReadMinContents(const std::string& min_path, const std::string& model_dir);
// The same over lines already read; min_path only names the file in messages.
Result<MinContents> ParseMinContents(const std::vector<std::string>& lines,
                                     const std::string& min_path, const std::string& model_dir);

// The MIN entry as the record holds it (special names get their fixed types).
TMinFileEntry ToMinFileEntry(const MinEntry& e);
bool IsSolutionOrEquations(const std::string& name);

// Fills MinFiles/NumMinFiles and the entry-line list (without "(solution)" and
// "(equations)"). More than 50 entries is an internal error (InternalError).
void StoreMinEntries(const MinContents& min, TSimRecord& rec, std::vector<std::string>& lines);

// The refusal message of a model whose MIN entries make it unusable: one reading data
// from the terminal, one whose solution is not updated, or one with a hard-wired file
// name. nullopt when the model is usable.
std::optional<std::string> MinEntriesRefusal(const MinContents& min);

}  // namespace yl
