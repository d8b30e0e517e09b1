// Passing over a header's data without reading it. The records this program writes (and
// those of the family's own writers) follow one layout, fixed by the header's
// description; so the end of the data can be computed, and checked against the framing
// of the last record, instead of being found by walking every record.

#include <algorithm>
#include <cstring>
#include <optional>

#include "harfile/har_file.h"
#include "harfile/har_internal.h"
#include "harfile/record_file.h"

namespace yl::har_internal {

namespace {

// The data records as the writer lays them out: their bytes in the file and the
// payload length of the last one.
struct Layout {
  std::int64_t bytes = 0;
  std::int64_t last_payload = 0;
};

struct LayoutBuilder {
  bool fujitsu;
  Layout out;
  // count records of this payload length; the last one added is the last in the file.
  void Add(std::int64_t payload, std::int64_t count) {
    if (count <= 0) return;
    out.bytes += count * FramedSize(payload, fujitsu);
    out.last_payload = payload;
  }
};

// Blocks of the 2-D writer: whole columns per record, or row blocks of long columns.
Layout TwoDLayout(std::int64_t d1, std::int64_t d2, bool fujitsu) {
  LayoutBuilder b{fujitsu, {}};
  if (d1 < 1 || d2 < 1) {
    b.Add(4 + 28, 1);
    return b.out;
  }
  std::int64_t row_block = d1 * 4 + 32 > MaxHarBuf ? kMaxValuesPerRecord : d1;
  std::int64_t row_blocks = (d1 + row_block - 1) / row_block;
  std::int64_t last_rows = d1 - (row_blocks - 1) * row_block;
  std::int64_t cols_per = row_block == d1 ? std::max<std::int64_t>(1, kMaxValuesPerRecord / d1) : 1;
  std::int64_t col_blocks = (d2 + cols_per - 1) / cols_per;
  std::int64_t last_cols = d2 - (col_blocks - 1) * cols_per;
  auto rec = [](std::int64_t n) { return 4 + 28 + 4 * n; };
  // Column blocks in order, row blocks within each: the very last is (last, last).
  b.Add(rec(row_block * cols_per), (col_blocks - 1) * (row_blocks - 1));
  b.Add(rec(last_rows * cols_per), col_blocks - 1);
  b.Add(rec(row_block * last_cols), row_blocks - 1);
  b.Add(rec(last_rows * last_cols), 1);
  return b.out;
}

Layout FullRealLayout(const std::array<std::int32_t, 7>& d, bool fujitsu) {
  LayoutBuilder b{fujitsu, {}};
  std::int64_t count = 1;
  for (std::int32_t s : d) count *= s;
  b.Add(4 + 36, 1);
  if (count == 0) {
    b.Add(4 + 60, 1);
    b.Add(4 + 4, 1);
    return b.out;
  }
  const RealRecordRuns r = RealRecordLayout(d);
  b.Add(4 + 60, r.outer * r.runs);
  b.Add(4 + 4 + 4 * r.run * r.p, r.outer * (r.runs - 1));
  b.Add(4 + 4 + 4 * r.last_run * r.p, r.outer);
  return b.out;
}

Layout SparseLayout(std::int64_t nnz, bool fujitsu) {
  LayoutBuilder b{fujitsu, {}};
  std::int64_t records = nnz == 0 ? 1 : (nnz + kMaxSparsePerRecord - 1) / kMaxSparsePerRecord;
  std::int64_t last = nnz - (records - 1) * kMaxSparsePerRecord;
  b.Add(4 + 12 + 8 * std::int64_t{kMaxSparsePerRecord}, records - 1);
  b.Add(4 + 12 + 8 * last, 1);
  return b.out;
}

std::int32_t LoadI32(const unsigned char* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// The payload length of the record at the position, or nothing if it does not frame.
std::optional<std::int64_t> RecordLength(RecordFile& f) {
  if (f.Fujitsu()) {
    auto l = FujiGetRecLen(f);
    return l ? std::optional<std::int64_t>(*l) : std::nullopt;
  }
  auto l = GetRecLen(f);
  return l ? std::optional<std::int64_t>(l->length) : std::nullopt;
}

// True when the layout ends the data exactly: the last record frames with the expected
// length and says it is the last (records left 1), and a header name or the end of the
// file follows. Leaves the position at the end of the data.
bool LandsOnEnd(RecordFile& f, std::int64_t start, const Layout& layout) {
  std::int64_t end = start + layout.bytes;
  if (layout.bytes <= 0 || end > f.Size() || layout.last_payload > MaxHarBuf) return false;
  std::int64_t last_start = end - FramedSize(layout.last_payload, f.Fujitsu());
  if (!f.Seek(last_start)) return false;
  auto length = RecordLength(f);
  if (!length || *length != layout.last_payload || layout.last_payload < 8) return false;
  auto head = f.View(8);  // the filler, then records left
  if (!head || LoadI32(*head + 4) != 1) return false;
  if (!f.SkipBytes(layout.last_payload - 8)) return false;
  std::int32_t length32 = static_cast<std::int32_t>(layout.last_payload);
  if (f.Fujitsu()) {
    if (!FujiChkRecLen(f, length32)) return false;
  } else {
    std::int64_t check =
        layout.last_payload + static_cast<std::int64_t>(LaheyPrefix(length32).size());
    if (!ChkRecLen(f, static_cast<std::int32_t>(check))) return false;
  }
  if (f.Position() != end) return false;
  if (f.AtEnd()) return true;
  auto next = RecordLength(f);
  if (!next || *next != 4) return false;
  return static_cast<bool>(f.Seek(end));
}

}  // namespace

bool JumpOverHeaderData(RecordFile& f, const HarHeader& h) {
  std::int64_t start = f.Position();
  bool fujitsu = f.Fujitsu();
  std::optional<Layout> layout;
  if (h.type == "1C") {
    if (h.rows >= 0 && h.string_length > 0) {
      LayoutBuilder b{fujitsu, {}};
      b.Add(4 + 12 + std::int64_t{h.rows} * h.string_length, 1);
      layout = b.out;
    }
  } else if (h.type == "2I" || h.type == "2R") {
    layout = TwoDLayout(h.rows, h.cols, fujitsu);
  } else if ((h.type == "RE" || h.type == "RL") && h.storage == "FULL") {
    layout = FullRealLayout(h.sizes, fujitsu);
  } else if ((h.type == "RE" || h.type == "RL") && h.storage == "SPSE") {
    // The sparse head gives the number of entries, which fixes the rest.
    auto head = GetRecBuf(f, 12, 1);
    if (head) {
      std::int64_t count = 1;
      for (std::int32_t s : h.sizes) count *= s;
      std::int32_t nnz = LoadI32(head->fixed.data());
      if (nnz >= 0 && nnz <= count) {
        layout = SparseLayout(nnz, fujitsu);
        start = f.Position();
      }
    }
  }
  if (layout && LandsOnEnd(f, start, *layout)) return true;
  (void)f.Seek(start);
  return false;
}

}  // namespace yl::har_internal
