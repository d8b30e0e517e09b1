// Feeds arbitrary bytes to the results viewer as a results table and as a Header Array
// file. Whatever the readers accept must make tables whose every cell can be shown, and
// a results table must chart.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/viewer/results_csv.h"
#include "app/viewer/results_series.h"
#include "app/viewer/viewer_document.h"

namespace {

// Reads cells as the window does; a hostile size must not make this slow.
void ShowSome(const yl::ViewerTable& t) {
  const std::int32_t rows = std::min(t.rows(), 100);
  const std::int32_t cols = std::min(t.columns(), 100);
  for (std::int32_t r = 0; r < rows; ++r) {
    (void)t.RowLabel(r);
    for (std::int32_t c = 0; c < cols; ++c) (void)t.Text(r, c);
  }
  for (std::int32_t c = 0; c < cols; ++c) (void)t.ColumnLabel(c);
}

void ShowEntry(const yl::ViewerEntry& e, std::shared_ptr<const yl::ViewerCells> cells) {
  (void)e.DimsText();
  (void)e.SizesText();
  auto t = yl::ViewerTable::Make(e, std::move(cells), yl::DefaultSlice(e));
  if (!t) __builtin_trap();  // the reader's own header always fits its own dimensions
  ShowSome(*t);
}

void AsResults(const std::string& text) {
  auto table = yl::ParseResultsCsv(text, "fuzz.csv");
  if (!table) return;
  const yl::ResultsEntries made = yl::EntriesOfResults(*table);
  for (std::size_t i = 0; i < made.entries.size(); ++i) ShowEntry(made.entries[i], made.cells[i]);
  if (table->kind != "cumulative" || table->rows.empty()) return;
  yl::SeriesData data;
  data.base = *table;
  data.policy = *table;
  const yl::ResultsCsvRow& row = table->rows.front();
  (void)yl::MakeSeriesChart(data, row.variable, row.element);
}

void AsHeaderArray(std::string_view bytes) {
  (void)yl::ListHarHeaderBytes(bytes, "fuzz.har");
  auto file = yl::ReadHarBytes(bytes, "fuzz.har");
  if (!file || file->total_reals > 1e6) return;
  for (yl::HarHeader& h : file->headers) {
    yl::HarHeaderInfo info{h, static_cast<std::int64_t>(h.strings.size())};
    const yl::ViewerEntry entry = yl::EntryOfHeader(info);
    auto cells = yl::CellsOfHeader(std::move(h), entry);
    if (!cells) __builtin_trap();
    ShowEntry(entry, *cells);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  AsResults(text);
  AsHeaderArray(text);
  return 0;
}
