#include "app/viewer/viewer_document.h"

#include <map>
#include <utility>

#include "app/viewer/viewer_files.h"
#include "core/text_util.h"
#include "platform/paths.h"

namespace yl {

namespace {

ViewerDim RealDim(const HarHeader& h, int d) {
  ViewerDim dim;
  dim.size = h.sizes[d];
  dim.name = Trim(h.sets.StName[d]);
  const std::vector<std::string>& names = h.sets.elements[d];
  const char status = h.sets.RDelst[d];
  // Labels only when the file gives one per index; anything else is numbered.
  if ((status == 'k' || status == 'e') &&
      names.size() == static_cast<std::size_t>(std::max(dim.size, 0))) {
    for (const std::string& n : names) dim.elements.push_back(Trim(n));
  } else if (status == 'e' && dim.size == 1 && !Trim(h.sets.eltnam[d]).empty()) {
    dim.elements.push_back(Trim(h.sets.eltnam[d]));
  }
  return dim;
}

std::vector<std::int32_t> Sizes(const ViewerEntry& e) {
  std::vector<std::int32_t> s;
  for (const ViewerDim& d : e.dims) s.push_back(d.size);
  return s;
}

std::string DescribeHarError(const std::string& path, const std::string& error) {
  return path +
         " cannot be read as a Header Array file: it is damaged, cut short or of "
         "another kind.\n(" +
         error + ")";
}

}  // namespace

ViewerEntry EntryOfHeader(const HarHeaderInfo& info) {
  const HarHeader& h = info.header;
  ViewerEntry e;
  e.name = TrimRight(h.name);
  e.description = h.description;
  e.type = h.type;
  if (h.type == "1C") {
    e.dims.push_back(ViewerDim{"", static_cast<std::int32_t>(info.string_count), {}});
  } else if (h.type == "2I") {
    e.dims.push_back(ViewerDim{"", h.rows, {}});
    e.dims.push_back(ViewerDim{"", h.cols, {}});
  } else {
    for (int d = 0; d < std::max(h.NDim, 1); ++d) e.dims.push_back(RealDim(h, d));
  }
  return e;
}

Result<std::shared_ptr<const ViewerCells>> CellsOfHeader(HarHeader&& header,
                                                         const ViewerEntry& entry) {
  HarHeaderInfo read{std::move(header), 0};
  HarHeader& h = read.header;
  read.string_count = static_cast<std::int64_t>(h.strings.size());
  if (h.type != entry.type || Sizes(EntryOfHeader(read)) != Sizes(entry)) {
    return Fail("Header " + entry.name +
                " is not as the file listed it: the file has changed since it was opened");
  }
  auto cells = std::make_shared<ViewerCells>();
  if (h.type == "1C") {
    cells->kind = CellKind::kText;
    cells->texts = std::move(h.strings);
    for (std::string& s : cells->texts) s = TrimRight(s);
  } else if (h.type == "2I") {
    cells->kind = CellKind::kInteger;
    cells->ints = std::move(h.ints);
  } else {
    cells->kind = CellKind::kReal;
    cells->reals = std::move(h.values);
  }
  if (cells->Count() != entry.Count()) {
    return Fail("Header " + entry.name + " holds " + std::to_string(cells->Count()) +
                " values where its dimensions say " + std::to_string(entry.Count()));
  }
  return std::shared_ptr<const ViewerCells>(std::move(cells));
}

ResultsEntries EntriesOfResults(const ResultsCsv& table) {
  ResultsEntries out;
  ViewerDim columns;
  columns.name = table.Years() ? "Year" : "Column";
  columns.size = static_cast<std::int32_t>(table.columns.size());
  columns.elements = table.columns;
  const std::size_t n_cols = table.columns.size();

  // Every component, as the file lists them.
  ViewerEntry all{"(all)", "Every component", "", {ViewerDim{"Component", 0, {}}, columns}};
  auto all_cells = std::make_shared<ViewerCells>();
  all_cells->numbers.resize(table.rows.size() * n_cols);
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    const ResultsCsvRow& row = table.rows[r];
    all.dims[0].elements.push_back(row.element.empty() ? row.variable
                                                       : row.variable + "(" + row.element + ")");
    for (std::size_t c = 0; c < n_cols; ++c) {
      all_cells->numbers[r + c * table.rows.size()] = row.values[c];
    }
  }
  all.dims[0].size = static_cast<std::int32_t>(table.rows.size());
  out.entries.push_back(std::move(all));
  out.cells.push_back(std::move(all_cells));

  // One entry per variable, in the order of first appearance.
  std::vector<std::string> order;
  std::map<std::string, std::vector<const ResultsCsvRow*>> rows_of;
  for (const ResultsCsvRow& row : table.rows) {
    auto& rows = rows_of[row.variable];
    if (rows.empty()) order.push_back(row.variable);
    rows.push_back(&row);
  }
  for (const std::string& name : order) {
    const std::vector<const ResultsCsvRow*>& rows = rows_of[name];
    ViewerEntry e;
    e.name = name;
    e.description = rows.front()->label;
    e.type = std::string(1, rows.front()->type);
    const bool scalar = rows.size() == 1 && rows.front()->element.empty();
    if (!scalar) {
      ViewerDim elements{"Element", static_cast<std::int32_t>(rows.size()), {}};
      for (const ResultsCsvRow* r : rows) elements.elements.push_back(r->element);
      e.dims.push_back(std::move(elements));
    }
    e.dims.push_back(columns);
    auto cells = std::make_shared<ViewerCells>();
    cells->numbers.resize(rows.size() * n_cols);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < n_cols; ++c) {
        cells->numbers[r + c * rows.size()] = rows[r]->values[c];
      }
    }
    out.entries.push_back(std::move(e));
    out.cells.push_back(std::move(cells));
  }
  return out;
}

Result<ViewerDocument> ViewerDocument::Open(const std::string& path) {
  auto head = ReadViewedFileHead(path, 64);
  if (!head) return std::unexpected(head.error());
  ViewerDocument doc;
  doc.path_ = path;
  if (LooksLikeResultsCsv(*head) || EndsWithNoCase(path, ".csv")) {
    auto table = ReadResultsCsv(path);
    if (!table) return std::unexpected(table.error());
    doc.kind_ = ViewerFileKind::kResultsTable;
    ResultsEntries made = EntriesOfResults(*table);
    doc.entries_ = std::move(made.entries);
    doc.results_cells_ = std::move(made.cells);
    doc.results_ = std::make_shared<const ResultsCsv>(std::move(*table));
    return doc;
  }
  auto list = ListHarHeaders(path);
  if (!list) return Fail(DescribeHarError(path, list.error()));
  for (const HarHeaderInfo& info : *list) doc.entries_.push_back(EntryOfHeader(info));
  return doc;
}

Result<std::shared_ptr<const ViewerCells>> ViewerDocument::Cells(std::size_t entry) {
  if (entry >= entries_.size()) return Fail("There is no header " + std::to_string(entry + 1));
  if (kind_ == ViewerFileKind::kResultsTable) return results_cells_[entry];
  if (entry == cached_entry_) return cached_;
  const ViewerEntry& e = entries_[entry];
  auto file = ReadHeadersFromHarFile(path_, {e.name});
  if (!file) return Fail(DescribeHarError(path_, file.error()));
  HarHeader* h = file->Find(e.name);
  if (!h) return Fail("Header " + e.name + " is no longer in " + path_);
  auto cells = CellsOfHeader(std::move(*h), e);
  if (!cells) return std::unexpected(cells.error());
  cached_entry_ = entry;
  cached_ = *cells;
  return cached_;
}

Result<ViewerTable> ViewerDocument::Table(std::size_t entry, const ViewerSlice& slice) {
  auto cells = Cells(entry);
  if (!cells) return std::unexpected(cells.error());
  return ViewerTable::Make(entries_[entry], *cells, slice);
}

}  // namespace yl
