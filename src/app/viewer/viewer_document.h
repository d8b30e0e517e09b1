#pragma once
// One file open in the results viewer: a Header Array file (data, solution ".sl4",
// results ".sol"/".rsl") or a results table (".csv"). Opening lists what the file holds;
// a header's values are read only when it is shown, so a large file opens at once.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/viewer/results_csv.h"
#include "app/viewer/viewer_table.h"
#include "core/status.h"
#include "harfile/har_file.h"

namespace yl {

enum class ViewerFileKind { kHeaderArray, kResultsTable };

class ViewerDocument {
 public:
  // Errors say what is wrong with the file in words a modeller can act on, with the
  // reader's own text after them.
  static Result<ViewerDocument> Open(const std::string& path);

  const std::string& path() const { return path_; }
  ViewerFileKind kind() const { return kind_; }
  const std::vector<ViewerEntry>& entries() const { return entries_; }
  // The table itself, for a results file; nullptr for a Header Array file.
  const ResultsCsv* results() const { return results_.get(); }

  // The entry's values; for a Header Array file they are read now (the last one read is
  // kept, so changing the slice reads nothing).
  Result<std::shared_ptr<const ViewerCells>> Cells(std::size_t entry);
  Result<ViewerTable> Table(std::size_t entry, const ViewerSlice& slice);

 private:
  std::string path_;
  ViewerFileKind kind_ = ViewerFileKind::kHeaderArray;
  std::vector<ViewerEntry> entries_;
  std::shared_ptr<const ResultsCsv> results_;
  std::vector<std::shared_ptr<const ViewerCells>> results_cells_;  // one per entry
  std::size_t cached_entry_ = static_cast<std::size_t>(-1);
  std::shared_ptr<const ViewerCells> cached_;
};

// The pieces of opening and reading, apart for the fuzz target and the tests.
ViewerEntry EntryOfHeader(const HarHeaderInfo& info);
// The header's values moved out of it; fails when they are not as the entry's dimensions say.
Result<std::shared_ptr<const ViewerCells>> CellsOfHeader(HarHeader&& header,
                                                         const ViewerEntry& entry);
// The entries of a results table: every component first ("(all)"), then one per variable.
struct ResultsEntries {
  std::vector<ViewerEntry> entries;
  std::vector<std::shared_ptr<const ViewerCells>> cells;
};
ResultsEntries EntriesOfResults(const ResultsCsv& table);

}  // namespace yl
