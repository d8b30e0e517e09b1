#pragma once
// The sim store: the simulation record in a line-oriented text form (".ds2" beside a Sim
// Details file, and the last-session file "YrlmSim.txt"). Its table section keeps older
// readers working; the "#FILES" section that follows holds the real cells.

#include <memory>
#include <string>
#include <vector>

#include "core/status.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr const char* kLastSessionFileName = "YrlmSim.txt";

// The store's lines; fails with the "too many files" message for more than 50 files.
Result<std::vector<std::string>> SimStoreLines(const TSimRecord& sim);
// Whether the table section can hold the cells themselves rather than warning lines.
bool OlderFormPossible(const TSimRecord& sim);
// The table section (NumYears lines).
std::vector<std::string> TableSectionLines(const TSimRecord& sim);

// Written through a temporary name: an interrupted save keeps the old file.
Status WriteSimStore(const std::string& path, const TSimRecord& sim);

// Reads a store into a fresh record holding only the stored fields (counts, names, the
// logical files, the table, the run flags), with years, names and existence recomputed
// against sim_dir. Any fault in the file is an error text; nothing else is touched.
Result<std::unique_ptr<TSimRecord>> ReadSimStore(const std::string& path,
                                                 const std::string& sim_dir);
Result<std::unique_ptr<TSimRecord>> ParseSimStore(const std::vector<std::string>& lines,
                                                  const std::string& sim_dir);
// Copies the stored fields of a loaded record into the current one and brings it up to
// date; the fields the store does not hold (period lengths, working directory, naming
// options, alternative-method years) stay.
void ApplySimStore(TSimRecord& current, const TSimRecord& loaded);

}  // namespace yl
