#include <algorithm>
#include <cstring>

#include "core/status.h"
#include "core/text_util.h"
#include "harfile/har_file.h"
#include "harfile/har_internal.h"
#include "harfile/record_file.h"

namespace yl {

using namespace har_internal;

namespace {

// Arrays in sparse storage are not backed by bytes in the file, so a hostile file could
// ask for any number of them; one read may hold this many bytes of such arrays.
constexpr std::int64_t kUnbackedBudget = std::int64_t{2} << 30;

struct ReadContext {
  RecordFile& f;
  std::int64_t unbacked_left = kUnbackedBudget;
};

std::int32_t I32(std::span<const unsigned char> s, std::size_t i) {
  std::int32_t v;
  std::memcpy(&v, s.data() + 4 * i, 4);
  return v;
}

std::string Chars(std::span<const unsigned char> s, std::size_t at, std::size_t n) {
  return std::string(reinterpret_cast<const char*>(s.data()) + at, n);
}

std::string Shown(const HarHeader& h) { return TrimRight(h.name); }

// ---------------------------------------------------------------------------------------
// Description and set information

Result<int> GetIntsExpected(const std::string& type, const std::string& storage) {
  if (type == "RL" || type == "RE") {
    if (storage == "FULL" || storage == "SPSE") return 8;
    return FailSpaced("Unrecognized Storage Method: " + storage, "GetIntsExpected");
  }
  if (type == "1C" || type == "2I" || type == "2R") {
    if (storage == "FULL") return 3;
    return FailSpaced("Unrecognized Storage Method: " + storage, "GetIntsExpected");
  }
  return FailSpaced("Unrecognized Data Type " + type, "GetIntsExpected");
}

struct Desc {
  std::string type;
  std::string storage;
  std::string description;
  std::vector<std::int32_t> ints;
};

Result<Desc> GetDesc(RecordFile& f) {
  auto rec = GetRecBuf(f, 76, 4);
  if (!rec) return ForwardSpaced(rec, "GetDesc");
  Desc d;
  d.type = Chars(rec->fixed, 0, 2);
  d.storage = Chars(rec->fixed, 2, 4);
  d.description = Trim(Chars(rec->fixed, 6, 70));
  auto expected = GetIntsExpected(d.type, d.storage);
  if (!expected) return ForwardSpaced(expected, "GetDesc");
  if (rec->count != *expected) return FailSpaced("Description Record wrong length", "GetDesc");
  for (std::int64_t i = 0; i < rec->count; ++i) d.ints.push_back(I32(rec->elements, i));
  return d;
}

Result<std::vector<std::string>> GetHarStrings(RecordFile& f, std::int32_t n, std::int32_t len) {
  constexpr const char* kRoutine = "GetHarStrings";
  if (len <= 0) return FailSpaced("LenString<=0", kRoutine);
  if (n < 0) return FailSpaced("Number of strings negative(" + std::to_string(n) + ")", kRoutine);
  std::int64_t total = std::int64_t{n} * len;
  if (total > MaxHarBuf) {
    return FailSpaced("Cannot read " + std::to_string(n) + " strings length " +
                          std::to_string(len) + " (total size " + std::to_string(total) +
                          ") since buffer size MaxHarBuf is set to just 8000000",
                      kRoutine);
  }
  if (total > f.Remaining()) return FailSpaced("Unexpected end-of-file [FileRead]", kRoutine);
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(n));
  for (;;) {
    auto rec = GetRecBuf(f, 12, len);
    if (!rec) return ForwardSpaced(rec, kRoutine);
    std::int32_t left = I32(rec->fixed, 0);
    std::int32_t all = I32(rec->fixed, 1);
    std::int32_t here = I32(rec->fixed, 2);
    if (all != n) return FailSpaced("Unexpected number of strings in record", kRoutine);
    if (rec->count != here) return FailSpaced("1C record wrong length", kRoutine);
    if (static_cast<std::int64_t>(out.size()) + here > n) {
      return FailSpaced("Too many strings in 1C record", kRoutine);
    }
    for (std::int32_t i = 0; i < here; ++i) {
      std::size_t keep = std::min<std::size_t>(static_cast<std::size_t>(len), kMaxKeptStringLen);
      out.push_back(TrimRight(Chars(rec->elements, static_cast<std::size_t>(i) * len, keep)));
    }
    if (left <= 1) break;
  }
  if (static_cast<std::int64_t>(out.size()) != n) {
    return FailSpaced("Too few strings in 1C record", kRoutine);
  }
  return out;
}

// Reads the set-information record and the element-name records of an RE header.
Status GetOrgREData(RecordFile& f, HarHeader& h) {
  constexpr const char* kRoutine = "GetOrgREData";
  auto rec = GetRecBuf(f, 0, 1);
  if (!rec) return ForwardSpaced(rec, kRoutine);
  std::span<const unsigned char> b = rec->elements;
  std::size_t at = 0;
  bool short_rec = false;
  auto need = [&](std::size_t n) {
    if (at + n > b.size()) short_rec = true;
    return !short_rec;
  };
  auto int32 = [&]() -> std::int32_t {
    if (!need(4)) return 0;
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    at += 4;
    return v;
  };
  auto chars = [&](std::size_t n) -> std::string {
    if (!need(n)) return "";
    std::string s = Chars(b, at, n);
    at += n;
    return s;
  };
  const char* kShort = "Set information record too short";

  SetDetails s;
  s.StName.fill("?");
  s.RDelst.fill('!');
  s.eltnam.fill("#");
  s.SetsToRead = int32();
  s.acdmkn = int32() != 0;
  s.acdim = int32();
  if (short_rec) return FailSpaced(kShort, kRoutine);
  if (s.acdim < 0 || s.acdim > kMaxHarDims) {
    return FailSpaced("acdim out of range(" + std::to_string(s.acdim) + ")", kRoutine);
  }
  std::string coeff = TrimRight(chars(12));
  for (char c : coeff) {
    bool keep = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                c == '@' || c == '_';
    if (keep) s.coeff_name += c;
  }
  s.stknow = int32() != 0;
  for (int i = 0; i < s.acdim; ++i) s.StName[i] = Trim(chars(12));
  for (int i = 0; i < s.acdim; ++i) {
    std::string c = chars(1);
    s.RDelst[i] = c.empty() ? '!' : c[0];
  }
  for (int i = 0; i < s.acdim; ++i) s.elno[i] = int32();
  s.NEltrd = int32();
  if (short_rec) return FailSpaced(kShort, kRoutine);
  if (s.NEltrd < 0 || s.NEltrd > s.acdim) {
    return FailSpaced("neltrd mismatch: NEltrd=" + std::to_string(s.NEltrd), kRoutine);
  }
  std::vector<std::string> names;
  for (int i = 0; i < s.NEltrd; ++i) names.push_back(Trim(chars(12)));
  if (short_rec) return FailSpaced(kShort, kRoutine);

  // Dimensions of size 1 past the last larger one may still carry a set.
  int min_dim = NDimOfSizes(h.sizes);
  if (min_dim == 1 && h.sizes[0] == 1) min_dim = 0;
  if (s.acdim < min_dim) {
    return FailSpaced(
        "acdim(" + std::to_string(s.acdim) + ")<>NDim(" + std::to_string(min_dim) + ")", kRoutine);
  }
  h.NDim = s.acdim;

  int e_count = 0;
  int sets_read = 0;
  for (int i = 0; i < s.acdim; ++i) {
    char st = s.RDelst[i];
    if (st == 'k') {
      int earlier = -1;
      for (int j = 0; j < i; ++j) {
        if (s.RDelst[j] == 'k' && s.StName[j] == s.StName[i]) {
          earlier = j;
          break;
        }
      }
      if (earlier >= 0) {
        if (h.sizes[earlier] != h.sizes[i]) {
          return FailSpaced("Set " + s.StName[i] + " has 2 different sizes in same header. ",
                            kRoutine);
        }
        s.elements[i] = s.elements[earlier];
      } else {
        auto el = GetHarStrings(f, h.sizes[i], kSetNameLen);
        if (!el) return ForwardSpaced(el, kRoutine);
        for (std::string& e : *el) e = Trim(e);
        s.elements[i] = std::move(*el);
        ++sets_read;
      }
    } else if (st == 'u' || st == 'n') {
      s.RDelst[i] = 'u';
    } else if (st == 'e') {
      s.eltnam[i] = e_count < s.NEltrd ? names[e_count] : "";
      s.elements[i] = {s.eltnam[i]};
      ++e_count;
    } else {
      return FailSpaced("RDelst not k, e, u or n", kRoutine);
    }
  }
  if (e_count != s.NEltrd) {
    return FailSpaced(
        "neltrd mismatch: J=" + std::to_string(e_count) + ",NEltrd=" + std::to_string(s.NEltrd),
        kRoutine);
  }
  if (sets_read != s.SetsToRead) return FailSpaced("SetsToRead mismatch", kRoutine);
  for (int i = 0; i < s.acdim; ++i) {
    if (s.RDelst[i] == 'u' && SameText(s.StName[i], "Unk" + std::to_string(h.sizes[i]))) {
      s.StName[i].clear();
    }
  }
  h.sets = std::move(s);
  return Ok();
}

struct Details {
  HarHeader header;
  bool bad = false;  // the description could not be read: the header may be passed over
  std::string error;
};

Details GetHeaderDetails(RecordFile& f, const std::string& name) {
  Details d;
  HarHeader& h = d.header;
  h.name = name;
  if (f.AtEnd()) {
    d.bad = true;
    d.error = "unexpected end of file";
    return d;
  }
  auto desc = GetDesc(f);
  if (!desc) {
    d.bad = true;
    d.error = desc.error();
    return d;
  }
  h.type = desc->type;
  h.storage = desc->storage;
  h.description = desc->description;
  const auto& v = desc->ints;
  Status st = Ok();
  if (h.type == "1C") {
    h.string_length = v[2];
    h.rows = v[1];  // the number of strings, until the data are read
  } else if (h.type == "2I" || h.type == "2R") {
    h.rows = v[1];
    h.cols = v[2];
    if (h.rows > kMaxDimSize) {
      st = Fail("Too many rows(" + std::to_string(h.rows) + "), max is 33554430");
    } else if (h.cols > kMaxDimSize) {
      st = Fail("Too many cols(" + std::to_string(h.cols) + "), max is 33554430");
    } else if (h.rows < 0 || h.cols < 0) {
      st = Fail("Dimension negative(" + std::to_string(std::min(h.rows, h.cols)) + ")");
    } else if (std::int64_t{h.rows} * h.cols > kMaxArrayElements) {
      st = Fail("Array size (" + std::to_string(h.rows) + "*" + std::to_string(h.cols) +
                ") too large: max is 268435455 elements");
    }
  } else {
    for (int i = 0; i < kMaxHarDims; ++i) h.sizes[i] = v[i + 1];
    st = CheckRealSizes(h.sizes, NDimOfSizes(h.sizes));
    h.NDim = NDimOfSizes(h.sizes);
    if (st && h.type == "RE") st = GetOrgREData(f, h);
  }
  if (!st) d.error = "At header " + name + "\r\n" + st.error() + SpacedBracket("GetHeaderDetails");
  return d;
}

// ---------------------------------------------------------------------------------------
// Data

// Checked ranges of one block: lo/hi per dimension (1-based, an empty range is lo = hi + 1).
Result<std::int64_t> BlockCount(const std::int32_t* lo_hi, const std::int32_t* sizes, int dims,
                                const char* wrong) {
  std::int64_t n = 1;
  for (int k = 0; k < dims; ++k) {
    std::int32_t lo = lo_hi[2 * k];
    std::int32_t hi = lo_hi[2 * k + 1];
    if (lo < 1 || hi > sizes[k] || std::int64_t{hi} < std::int64_t{lo} - 1) return Fail(wrong);
    n *= std::int64_t{hi} - lo + 1;
  }
  return n;
}

Status ReserveArray(ReadContext& c, HarHeader& h, std::int64_t count, bool backed) {
  std::int64_t bytes = count * 4;
  if (backed && bytes > c.f.Remaining()) {
    return Fail("Unexpected end-of-file [FileRead]");
  }
  if (!backed) {
    if (bytes > c.unbacked_left) return Fail("Out of Memory [SafeGetMem] [AllocMat7]");
    c.unbacked_left -= bytes;
  }
  if (auto r = h.values.Allocate(count); !r) return ForwardSpaced(r, "AllocMat7");
  return Ok();
}

Status GetRLData(ReadContext& c, HarHeader& h) {
  constexpr const char* kRoutine = "GetRLData";
  std::int64_t count = 1;
  for (std::int32_t s : h.sizes) count *= s;
  if (auto r = ReserveArray(c, h, count, true); !r) return ForwardSpaced(r, kRoutine);
  auto dims = GetRecBuf(c.f, 36, 4);
  if (!dims) return ForwardSpaced(dims, kRoutine);
  for (int k = 0; k < kMaxHarDims; ++k) {
    if (I32(dims->fixed, 2 + k) != h.sizes[k]) {
      return FailSpaced("RL dimensions record does not match the description", kRoutine);
    }
  }
  if (I32(dims->fixed, 0) <= 1) return Ok();
  float* out = h.values.data();
  for (;;) {
    auto ranges = GetRecBuf(c.f, 60, 4);
    if (!ranges) return ForwardSpaced(ranges, kRoutine);
    std::int32_t lh[14];
    for (int k = 0; k < 14; ++k) lh[k] = I32(ranges->fixed, 1 + k);
    auto vals = GetRecBuf(c.f, 4, 4);
    if (!vals) return ForwardSpaced(vals, kRoutine);
    auto n = BlockCount(lh, h.sizes.data(), kMaxHarDims, "RL record wrong length");
    if (!n) return ForwardSpaced(n, kRoutine);
    if (*n != vals->count) return FailSpaced("RL record wrong length", kRoutine);
    if (*n > 0) {
      // Copy runs along dimension 1; an odometer walks the higher indices of the block.
      std::int64_t run = std::int64_t{lh[1]} - lh[0] + 1;
      std::int32_t idx[kMaxHarDims];
      for (int k = 0; k < kMaxHarDims; ++k) idx[k] = lh[2 * k];
      const unsigned char* src = vals->elements.data();
      for (;;) {
        std::int64_t pos = 0;
        std::int64_t stride = 1;
        for (int k = 0; k < kMaxHarDims; ++k) {
          pos += (idx[k] - 1) * stride;
          stride *= h.sizes[k];
        }
        std::memcpy(out + pos, src, static_cast<std::size_t>(run) * 4);
        src += run * 4;
        int k = 1;
        while (k < kMaxHarDims && idx[k] == lh[2 * k + 1]) {
          idx[k] = lh[2 * k];
          ++k;
        }
        if (k == kMaxHarDims) break;
        ++idx[k];
      }
    }
    if (I32(vals->fixed, 0) <= 1) break;
  }
  return Ok();
}

Status GetRLSparseData(ReadContext& c, HarHeader& h) {
  constexpr const char* kRoutine = "GetRLSparseData";
  std::int64_t count = 1;
  for (std::int32_t s : h.sizes) count *= s;
  auto head = GetRecBuf(c.f, 12, 1);
  if (!head) return ForwardSpaced(head, kRoutine);
  std::int32_t nnz = I32(head->fixed, 0);
  std::int32_t isize = I32(head->fixed, 1);
  std::int32_t rsize = I32(head->fixed, 2);
  if (isize != 4 || rsize != 4) {
    return FailSpaced("Expected 4 byte integer and reals: found " + std::to_string(isize) + "  " +
                          std::to_string(rsize),
                      kRoutine);
  }
  if (nnz < 0 || nnz > count) return FailSpaced("Bad NNZ(" + std::to_string(nnz) + ")", kRoutine);
  if (std::int64_t{nnz} * 8 > c.f.Remaining()) {
    return FailSpaced("Unexpected end-of-file [FileRead]", kRoutine);
  }
  if (auto r = ReserveArray(c, h, count, false); !r) return ForwardSpaced(r, kRoutine);
  float* out = h.values.data();
  std::int64_t read = 0;
  for (;;) {
    auto rec = GetRecBuf(c.f, 12, 4);
    if (!rec) return ForwardSpaced(rec, kRoutine);
    std::int32_t left = I32(rec->fixed, 0);
    std::int32_t total = I32(rec->fixed, 1);
    std::int32_t here = I32(rec->fixed, 2);
    if (here < 0 || rec->count != 2 * std::int64_t{here}) {
      return FailSpaced("Nhere(" + std::to_string(here) + ") <>(Extra(" +
                            std::to_string(rec->count) + ") div 2) at KREC=" + std::to_string(left),
                        kRoutine);
    }
    if (total != nnz) return FailSpaced("TOTAL <> NNZ", kRoutine);
    if (read + here > nnz) {
      return FailSpaced(
          "NRead(" + std::to_string(read + here) + ") <> NNZ(" + std::to_string(nnz) + ")",
          kRoutine);
    }
    const unsigned char* p = rec->elements.data();
    for (std::int32_t i = 0; i < here; ++i) {
      std::int32_t pos;
      float v;
      std::memcpy(&pos, p + 4 * i, 4);
      std::memcpy(&v, p + 4 * (std::int64_t{here} + i), 4);
      if (pos < 1 || pos > count) {
        return FailSpaced("Sparse position " + std::to_string(pos) + " out of range", kRoutine);
      }
      out[pos - 1] = v;
    }
    read += here;
    if (left <= 1) break;
  }
  if (read != nnz) {
    return FailSpaced("NRead(" + std::to_string(read) + ") <> NNZ(" + std::to_string(nnz) + ")",
                      kRoutine);
  }
  return Ok();
}

// The 2-D block reader of "2I" and "2R" headers; values go to dst (4 bytes each).
Status Get2DBlocks(ReadContext& c, std::int32_t rows, std::int32_t cols, unsigned char* dst,
                   const char* wrong) {
  for (;;) {
    auto rec = GetRecBuf(c.f, 28, 4);
    if (!rec) return Fail(rec.error());
    std::int32_t left = I32(rec->fixed, 0);
    std::int32_t lh[4] = {I32(rec->fixed, 3), I32(rec->fixed, 4), I32(rec->fixed, 5),
                          I32(rec->fixed, 6)};
    std::int32_t sizes[2] = {rows, cols};
    std::int64_t n = 0;
    if (rows < 1 || cols < 1) {
      n = 0;
    } else {
      auto b = BlockCount(lh, sizes, 2, wrong);
      if (!b) return Fail(b.error());
      n = *b;
    }
    if (n != rec->count) return Fail(wrong);
    const unsigned char* src = rec->elements.data();
    std::int64_t run = std::int64_t{lh[1]} - lh[0] + 1;
    for (std::int64_t col = lh[2]; n > 0 && col <= lh[3]; ++col) {
      std::int64_t pos = (col - 1) * rows + (lh[0] - 1);
      std::memcpy(dst + pos * 4, src, static_cast<std::size_t>(run) * 4);
      src += run * 4;
    }
    if (left <= 1) break;
  }
  return Ok();
}

Status Get2IData(ReadContext& c, HarHeader& h) {
  std::int64_t count = std::int64_t{h.rows} * h.cols;
  if (count * 4 > c.f.Remaining())
    return FailSpaced("Unexpected end-of-file [FileRead]", "Get2IData");
  h.ints.assign(static_cast<std::size_t>(count), 0);
  auto r = Get2DBlocks(c, h.rows, h.cols, reinterpret_cast<unsigned char*>(h.ints.data()),
                       "2I record wrong length");
  if (!r) return ForwardSpaced(r, "Get2IData");
  return Ok();
}

// A 2-D real array becomes an unlabelled real array of one or two dimensions.
void Turn2RtoRL(HarHeader& h) {
  h.sizes = {1, 1, 1, 1, 1, 1, 1};
  if (h.rows < 2 || h.cols < 2) {
    h.NDim = 1;
    h.sizes[0] = h.rows < 2 ? h.cols : h.rows;
  } else {
    h.NDim = 2;
    h.sizes[0] = h.rows;
    h.sizes[1] = h.cols;
  }
  h.rows = h.cols = 0;
  TurnRLtoRE(h);
}

Status Get2RData(ReadContext& c, HarHeader& h) {
  std::int64_t count = std::int64_t{h.rows} * h.cols;
  if (auto r = ReserveArray(c, h, count, true); !r) return ForwardSpaced(r, "Get2RData");
  auto r = Get2DBlocks(c, h.rows, h.cols, reinterpret_cast<unsigned char*>(h.values.data()),
                       "2R record wrong length");
  if (!r) return ForwardSpaced(r, "Get2RData");
  Turn2RtoRL(h);
  return Ok();
}

Status Get1CData(ReadContext& c, HarHeader& h) {
  std::int32_t n = h.rows;
  h.rows = 0;
  auto s = GetHarStrings(c.f, n, h.string_length);
  if (!s) return ForwardSpaced(s, "Get1CData");
  h.strings = std::move(*s);
  return Ok();
}

Status ReadHeaderData(ReadContext& c, HarHeader& h) {
  Status r = Ok();
  if (h.type == "RE") {
    if (h.storage == "FULL") {
      r = GetRLData(c, h);
    } else if (h.storage == "SPSE") {
      r = GetRLSparseData(c, h);
    } else {
      r = Fail("Unrecognized Storage Method: \"" + h.storage + "\"");
    }
  } else if (h.type == "RL") {
    r = h.storage == "SPSE" ? GetRLSparseData(c, h) : GetRLData(c, h);
    if (r) TurnRLtoRE(h);
  } else if (h.type == "2I") {
    r = Get2IData(c, h);
  } else if (h.type == "2R") {
    r = Get2RData(c, h);
  } else if (h.type == "1C") {
    r = Get1CData(c, h);
  } else {
    r = Fail("Bad HeadType: " + h.type);
  }
  if (!r) return FailSpaced(r.error(), "ReadHeaderData:" + Shown(h));
  if (auto done = CompleteHeaderRecord(h); !done) {
    return FailSpaced(done.error(), "ReadHeaderData:" + Shown(h));
  }
  return Ok();
}

// One header after its name record; nullopt when it was passed over as bad.
Result<std::optional<HarHeader>> ReadOneHeader(ReadContext& c, const std::string& name,
                                               const HarReadOptions& options, bool* bad) {
  Details d = GetHeaderDetails(c.f, name);
  if (d.bad) {
    if (options.skip_bad_details) {
      if (bad) *bad = true;
      return std::optional<HarHeader>();
    }
    return Fail("Bad details at header \"" + TrimRight(name) + "\"\r\n" + d.error);
  }
  if (!d.error.empty()) return Fail(d.error);
  if (auto r = ReadHeaderData(c, d.header); !r) return Fail(r.error());
  return std::optional<HarHeader>(std::move(d.header));
}

bool IsSpecialName(const std::string& n) {
  return n == "XXCD" || n == "XXCR" || n == "XXHS" || n == "XXFF";
}

// Where a header found by name goes in a HarFile: a special slot or the list.
Status Place(HarFile& file, HarHeader h, std::string_view routine) {
  const std::string& n = h.name;
  if (n == "XXCD") {
    file.XXCD = std::move(h);
  } else if (n == "XXCR") {
    file.XXCR = std::move(h);
  } else if (n == "XXHS") {
    file.XXHS = std::move(h);
  } else if (n == "XXFF") {
    file.XXFF = std::move(h);
  } else {
    if (file.headers.size() >= static_cast<std::size_t>(kMaxHeaders)) {
      return FailSpaced("Too many headers: max is 8000", routine);
    }
    file.headers.push_back(std::move(h));
  }
  return Ok();
}

// Passes over the header whose name record was just read: its details when they read
// well, then its data in one step where the layout allows. Whatever is not passed here
// is walked record by record by the next GetHead.
void PassOver(RecordFile& f, const std::string& name) {
  std::int64_t after_name = f.Position();
  Details d = GetHeaderDetails(f, name);
  if (d.bad || !d.error.empty()) {
    (void)f.Seek(after_name);
    return;
  }
  (void)JumpOverHeaderData(f, d.header);
}

Status ReadMoreFrom(Result<RecordFile> f, HarFile& file, const HarReadOptions& options, bool* bad) {
  constexpr const char* kRoutine = "ReadMoreIntoHarFile";
  if (!f) return ForwardSpaced(f, kRoutine);
  file.fujitsu = f->Fujitsu();
  ReadContext c{*f};
  for (;;) {
    auto head = GetHead(*f);
    if (!head) return ForwardSpaced(head, kRoutine);
    if (!head->found) break;
    auto h = ReadOneHeader(c, head->name, options, bad);
    if (!h) return ForwardSpaced(h, kRoutine);
    if (!*h) continue;
    if (auto r = Place(file, std::move(**h), kRoutine); !r) return r;
  }
  (void)f->Close();
  return Ok();
}

Result<HarFile> ReadHarFrom(Result<RecordFile> f, const HarReadOptions& options, bool* bad) {
  if (bad) *bad = false;
  HarFile file;
  if (auto r = ReadMoreFrom(std::move(f), file, options, bad); !r)
    return ForwardSpaced(r, "ReadHarFile");
  if (auto r = CompleteHarFile(file, false); !r) return ForwardSpaced(r, "ReadHarFile");
  return file;
}

Result<std::vector<HarHeaderInfo>> ListFrom(Result<RecordFile> f) {
  constexpr const char* kRoutine = "ListHarHeaders";
  if (!f) return ForwardSpaced(f, kRoutine);
  std::vector<HarHeaderInfo> out;
  int ordinary = 0;
  for (;;) {
    auto head = GetHead(*f);
    if (!head) return ForwardSpaced(head, kRoutine);
    if (!head->found) break;
    Details d = GetHeaderDetails(*f, head->name);
    if (d.bad) {
      return FailSpaced("Bad details at header \"" + TrimRight(head->name) + "\"\r\n" + d.error,
                        kRoutine);
    }
    if (!d.error.empty()) return FailSpaced(d.error, kRoutine);
    (void)JumpOverHeaderData(*f, d.header);
    HarHeaderInfo info;
    info.header = std::move(d.header);
    HarHeader& h = info.header;
    if (h.type == "1C") {
      info.string_count = h.rows;
      h.rows = 0;
    } else if (h.type == "2R") {
      Turn2RtoRL(h);
    }
    if (auto r = CompleteHeaderWithoutData(h, info.string_count); !r) {
      return FailSpaced(r.error() + SpacedBracket("ReadHeaderData:" + Shown(h)), kRoutine);
    }
    if (!IsSpecialName(h.name) && ++ordinary > kMaxHeaders) {
      return FailSpaced("Too many headers: max is 8000", kRoutine);
    }
    out.push_back(std::move(info));
  }
  (void)f->Close();
  return out;
}

Result<HarFile> ReadSomeFrom(Result<RecordFile> f, const std::vector<std::string>& names,
                             const HarReadOptions& options) {
  constexpr const char* kRoutine = "ReadHeadersFromHarFile";
  std::vector<std::string> wanted;
  for (const std::string& n : names) wanted.push_back(NormaliseHeaderName(n));
  if (!f) return ForwardSpaced(f, kRoutine);
  HarFile file;
  file.fujitsu = f->Fujitsu();
  ReadContext c{*f};
  for (;;) {
    auto head = GetHead(*f);
    if (!head) return ForwardSpaced(head, kRoutine);
    if (!head->found) break;
    std::string name = NormaliseHeaderName(head->name);
    auto it = std::find(wanted.begin(), wanted.end(), name);
    if (it == wanted.end()) {
      PassOver(*f, head->name);
      continue;
    }
    auto h = ReadOneHeader(c, head->name, options, nullptr);
    if (!h) return ForwardSpaced(h, kRoutine);
    if (!*h) continue;
    // The first header of a name is the one read, as for a single header.
    wanted.erase(it);
    if (auto r = Place(file, std::move(**h), kRoutine); !r) return std::unexpected(r.error());
    if (wanted.empty()) break;
  }
  (void)f->Close();
  auto& hs = file.headers;
  std::stable_partition(hs.begin(), hs.end(),
                        [](const HarHeader& h) { return StartsWithXX(h.name); });
  return file;
}

Result<std::optional<HarHeader>> ReadHeaderFrom(Result<RecordFile> f, std::string_view name,
                                                const HarReadOptions& options) {
  std::string wanted = NormaliseHeaderName(name);
  std::string routine = "ReadHeaderFromHarFile:" + TrimRight(wanted);
  if (!f) return ForwardSpaced(f, routine);
  ReadContext c{*f};
  for (;;) {
    auto head = GetHead(*f);
    if (!head) return ForwardSpaced(head, routine);
    if (!head->found) return std::optional<HarHeader>();
    if (NormaliseHeaderName(head->name) != wanted) {
      PassOver(*f, head->name);
      continue;
    }
    auto h = ReadOneHeader(c, head->name, options, nullptr);
    if (!h) return ForwardSpaced(h, routine);
    if (*h) return h;
  }
}

}  // namespace

Status ReadMoreIntoHarFile(const std::string& path, HarFile& file, const HarReadOptions& options,
                           bool* bad) {
  return ReadMoreFrom(OpenLaheyFile(path), file, options, bad);
}

Result<HarFile> ReadHarFile(const std::string& path, const HarReadOptions& options, bool* bad) {
  return ReadHarFrom(OpenLaheyFile(path), options, bad);
}

Result<HarFile> ReadHarBytes(std::string_view bytes, const std::string& name,
                             const HarReadOptions& options, bool* bad) {
  return ReadHarFrom(OpenLaheyFile(bytes, name), options, bad);
}

Result<std::optional<HarHeader>> ReadHeaderFromHarFile(const std::string& path,
                                                       std::string_view name,
                                                       const HarReadOptions& options) {
  return ReadHeaderFrom(OpenLaheyFile(path), name, options);
}

Result<std::optional<HarHeader>> ReadHeaderFromHarBytes(std::string_view bytes,
                                                        const std::string& file_name,
                                                        std::string_view name,
                                                        const HarReadOptions& options) {
  return ReadHeaderFrom(OpenLaheyFile(bytes, file_name), name, options);
}

Result<std::vector<HarHeaderInfo>> ListHarHeaders(const std::string& path) {
  return ListFrom(OpenLaheyFile(path));
}

Result<std::vector<HarHeaderInfo>> ListHarHeaderBytes(std::string_view bytes,
                                                      const std::string& file_name) {
  return ListFrom(OpenLaheyFile(bytes, file_name));
}

Result<HarFile> ReadHeadersFromHarFile(const std::string& path,
                                       const std::vector<std::string>& names,
                                       const HarReadOptions& options) {
  return ReadSomeFrom(OpenLaheyFile(path), names, options);
}

Result<HarFile> ReadHeadersFromHarBytes(std::string_view bytes, const std::string& file_name,
                                        const std::vector<std::string>& names,
                                        const HarReadOptions& options) {
  return ReadSomeFrom(OpenLaheyFile(bytes, file_name), names, options);
}

}  // namespace yl
