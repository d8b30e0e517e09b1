#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/status.h"
#include "core/text_util.h"
#include "harfile/har_file.h"
#include "harfile/har_internal.h"
#include "harfile/record_file.h"

namespace yl {

using namespace har_internal;

namespace {

// The bits of a real without its sign: zero exactly for 0 and -0, as v != 0 is false.
constexpr std::uint32_t NonZeroBits(std::uint32_t bits) { return bits << 1; }

std::string Padded(std::string_view s, std::size_t width) {
  std::string r(s.substr(0, std::min(s.size(), width)));
  r.resize(width, ' ');
  return r;
}

Status WriteName(RecordFile& f, const HarHeader& h) {
  std::string n = Padded(h.name, 4);
  return WriteLaheyRec(f, n.data(), 4);
}

Status WriteDesc(RecordFile& f, const std::string& type, const std::string& storage,
                 const std::string& description, const std::vector<std::int32_t>& ints) {
  std::string fixed = Padded(type, 2) + Padded(storage, 4) + Padded(description, 70);
  auto r = WriteRecBuf(f, fixed.data(), 76, ints.data(), static_cast<std::int64_t>(ints.size()), 4);
  if (!r) return ForwardSpaced(r, "WriteDesc");
  return Ok();
}

// One strings record holding all n strings (records left 1).
Status WriteStringsRecord(RecordFile& f, const std::vector<std::string>& strings,
                          std::int32_t len) {
  std::int32_t n = static_cast<std::int32_t>(strings.size());
  std::int64_t total = std::int64_t{n} * len;
  if (total > MaxHarBuf) {
    return Fail("Cannot write " + std::to_string(n) + " strings length " + std::to_string(len) +
                " (total size " + std::to_string(total) +
                ") since buffer size MaxHarBuf is set to just 8000000");
  }
  std::string body;
  body.reserve(static_cast<std::size_t>(total));
  for (const std::string& s : strings) body += Padded(s, static_cast<std::size_t>(len));
  std::int32_t fixed[3] = {1, n, n};
  return WriteRecBuf(f, fixed, 12, body.data(), n, len);
}

Status Write1CData(RecordFile& f, const HarHeader& h) {
  constexpr const char* kRoutine = "Write1CData";
  if (h.string_length <= 0) return FailSpaced("LenString<=0", kRoutine);
  std::int32_t n = static_cast<std::int32_t>(h.strings.size());
  if (auto r = WriteName(f, h); !r) return ForwardSpaced(r, kRoutine);
  if (auto r = WriteDesc(f, "1C", "FULL", h.description, {2, n, h.string_length}); !r) {
    return ForwardSpaced(r, kRoutine);
  }
  if (auto r = WriteStringsRecord(f, h.strings, h.string_length); !r)
    return ForwardSpaced(r, kRoutine);
  return Ok();
}

Status Write2IData(RecordFile& f, const HarHeader& h) {
  constexpr const char* kRoutine = "Write2IData";
  std::int32_t d1 = h.rows;
  std::int32_t d2 = h.cols;
  if (static_cast<std::int64_t>(h.ints.size()) != std::int64_t{d1} * std::max(d2, 0) || d1 < 0 ||
      d2 < 0) {
    return FailSpaced("2I array does not match its dimensions", kRoutine);
  }
  if (auto r = WriteName(f, h); !r) return ForwardSpaced(r, kRoutine);
  if (auto r = WriteDesc(f, "2I", "FULL", h.description, {2, d1, d2}); !r) {
    return ForwardSpaced(r, kRoutine);
  }
  if (d1 < 1 || d2 < 1) {
    std::int32_t fixed[7] = {1, d1, d2, 1, d1, 1, d2};
    if (auto r = WriteRecBuf(f, fixed, 28, nullptr, 0, 4); !r) return ForwardSpaced(r, kRoutine);
    return Ok();
  }
  // Whole columns per record; a column too long for one readable record is cut into
  // row blocks instead.
  std::int32_t row_block = d1;
  if (std::int64_t{d1} * 4 + 32 > MaxHarBuf) row_block = kMaxValuesPerRecord;
  std::int32_t row_blocks = (d1 + row_block - 1) / row_block;
  std::int32_t cols_per = row_block == d1 ? std::max(1, kMaxValuesPerRecord / d1) : 1;
  std::int32_t col_blocks = (d2 + cols_per - 1) / cols_per;
  std::int64_t left = std::int64_t{row_blocks} * col_blocks;
  for (std::int32_t c1 = 1; c1 <= d2; c1 += cols_per) {
    std::int32_t c2 = std::min(d2, c1 + cols_per - 1);
    for (std::int32_t r1 = 1; r1 <= d1; r1 += row_block) {
      std::int32_t r2 = std::min(d1, r1 + row_block - 1);
      std::int32_t fixed[7] = {static_cast<std::int32_t>(left--), d1, d2, r1, r2, c1, c2};
      const std::int32_t* vals = h.ints.data() + (std::int64_t{c1} - 1) * d1 + (r1 - 1);
      std::int64_t n = std::int64_t{r2 - r1 + 1} * (c2 - c1 + 1);
      if (auto r = WriteRecBuf(f, fixed, 28, vals, n, 4); !r) return ForwardSpaced(r, kRoutine);
    }
  }
  return Ok();
}

Status WriteOrgREData(RecordFile& f, const HarHeader& h, const SetDetails& s) {
  constexpr const char* kRoutine = "WriteOrgREData";
  std::vector<int> new_sets;
  int neltrd = 0;
  for (int i = 0; i < h.NDim; ++i) {
    if (s.RDelst[i] == 'e') ++neltrd;
    if (s.RDelst[i] != 'k') continue;
    if (s.elements[i].empty() && h.sizes[i] > 0) {
      return FailSpaced("nil SetElements for i=" + std::to_string(i + 1), kRoutine);
    }
    if (static_cast<std::int64_t>(s.elements[i].size()) != h.sizes[i]) {
      return FailSpaced("Set " + s.StName[i] + " has " + std::to_string(s.elements[i].size()) +
                            " elements but dimension " + std::to_string(i + 1) + " has size " +
                            std::to_string(h.sizes[i]),
                        kRoutine);
    }
    bool earlier = false;
    for (int j : new_sets) earlier = earlier || s.StName[j] == s.StName[i];
    if (!earlier) new_sets.push_back(i);
  }
  std::string body;
  auto put32 = [&](std::int32_t v) { body.append(reinterpret_cast<const char*>(&v), 4); };
  put32(static_cast<std::int32_t>(new_sets.size()));
  put32(s.acdmkn ? -1 : 0);
  put32(h.NDim);
  body += Padded(s.coeff_name, 12);
  put32(s.stknow ? -1 : 0);
  for (int i = 0; i < h.NDim; ++i) body += Padded(s.StName[i], 12);
  for (int i = 0; i < h.NDim; ++i) body += s.RDelst[i];
  for (int i = 0; i < h.NDim; ++i) put32(s.RDelst[i] == 'e' ? s.elno[i] : 0);
  put32(neltrd);
  for (int i = 0; i < h.NDim; ++i) {
    if (s.RDelst[i] == 'e') body += Padded(s.eltnam[i], 12);
  }
  auto r = WriteRecBuf(f, nullptr, 0, body.data(), static_cast<std::int64_t>(body.size()), 1);
  if (!r) return ForwardSpaced(r, kRoutine);
  for (int i : new_sets) {
    if (auto w = WriteStringsRecord(f, s.elements[i], kSetNameLen); !w) {
      return FailSpaced("Set " + s.StName[i] + ": " + w.error(), kRoutine);
    }
  }
  return Ok();
}

Status WriteRealStart(RecordFile& f, const HarHeader& h, const SetDetails& s,
                      const std::string& storage) {
  constexpr const char* kRoutine = "WriteRealStart";
  if (!h.IsReal()) return FailSpaced("Not an RL or RE Header", kRoutine);
  if (!h.values.allocated()) return FailSpaced("HeadMat.Root=nil", kRoutine);
  if (h.values.size() != h.element_count) {
    return FailSpaced("Array does not match its dimensions", kRoutine);
  }
  if (auto r = WriteName(f, h); !r) return ForwardSpaced(r, kRoutine);
  std::vector<std::int32_t> ints = {7};
  for (std::int32_t d : h.sizes) ints.push_back(d);
  bool labelled = h.type == "RE" && ValidREDetails(s, h.NDim).has_value();
  if (auto r = WriteDesc(f, labelled ? "RE" : "RL", storage, h.description, ints); !r) {
    return ForwardSpaced(r, kRoutine);
  }
  if (labelled) {
    if (auto r = WriteOrgREData(f, h, s); !r) return ForwardSpaced(r, kRoutine);
  }
  return Ok();
}

}  // namespace

namespace har_internal {

RealRecordRuns RealRecordLayout(const std::array<std::int32_t, 7>& d) {
  RealRecordRuns r;
  // kd (0-based) is the dimension cut into runs: every lower one fits whole in a block.
  for (int k = 1; k < kMaxHarDims; ++k) {
    std::int64_t next = 1;
    for (int j = 0; j < k; ++j) next *= d[j];
    if (next <= kMaxValuesPerRecord) {
      r.kd = k;
      r.p = next;
    }
  }
  r.run = std::min<std::int64_t>(d[r.kd], kMaxValuesPerRecord / r.p);
  r.runs = (d[r.kd] + r.run - 1) / r.run;
  r.last_run = d[r.kd] - (r.runs - 1) * r.run;
  for (int k = r.kd + 1; k < kMaxHarDims; ++k) r.outer *= d[k];
  return r;
}

}  // namespace har_internal

namespace {

Status WriteRealFull(RecordFile& f, const HarHeader& h) {
  constexpr const char* kRoutine = "WriteRealFull";
  const auto& d = h.sizes;
  auto put = [&](const std::int32_t* fixed, int words, const float* vals, std::int64_t n) {
    return WriteRecBuf(f, fixed, words * 4, vals, n, 4);
  };
  if (h.element_count == 0) {
    std::int32_t dims[9] = {3, 7, d[0], d[1], d[2], d[3], d[4], d[5], d[6]};
    std::int32_t ranges[15] = {2};
    for (int k = 0; k < kMaxHarDims; ++k) {
      ranges[1 + 2 * k] = 1;
      ranges[2 + 2 * k] = d[k];
    }
    std::int32_t last = 1;
    if (auto r = put(dims, 9, nullptr, 0); !r) return ForwardSpaced(r, kRoutine);
    if (auto r = put(ranges, 15, nullptr, 0); !r) return ForwardSpaced(r, kRoutine);
    if (auto r = put(&last, 1, nullptr, 0); !r) return ForwardSpaced(r, kRoutine);
    return Ok();
  }
  const RealRecordRuns layout = RealRecordLayout(d);
  const int kd = layout.kd;
  const std::int64_t p = layout.p;
  const std::int64_t run = layout.run;
  std::int64_t left = 2 * layout.runs * layout.outer + 1;
  std::int32_t dims[9] = {
      static_cast<std::int32_t>(left--), 7, d[0], d[1], d[2], d[3], d[4], d[5], d[6]};
  if (auto r = put(dims, 9, nullptr, 0); !r) return ForwardSpaced(r, kRoutine);
  std::int32_t idx[kMaxHarDims] = {1, 1, 1, 1, 1, 1, 1};
  const float* base = h.values.data();
  for (;;) {
    for (std::int64_t lo = 1; lo <= d[kd]; lo += run) {
      std::int64_t hi = std::min<std::int64_t>(d[kd], lo + run - 1);
      std::int32_t ranges[15];
      ranges[0] = static_cast<std::int32_t>(left--);
      std::int64_t offset = (lo - 1) * p;
      std::int64_t stride = p * d[kd];
      for (int k = 0; k < kMaxHarDims; ++k) {
        std::int32_t a = 1, b = d[k];
        if (k == kd) {
          a = static_cast<std::int32_t>(lo);
          b = static_cast<std::int32_t>(hi);
        } else if (k > kd) {
          a = b = idx[k];
          offset += (idx[k] - 1) * stride;
          stride *= d[k];
        }
        ranges[1 + 2 * k] = a;
        ranges[2 + 2 * k] = b;
      }
      std::int32_t head = static_cast<std::int32_t>(left--);
      if (auto r = put(ranges, 15, nullptr, 0); !r) return ForwardSpaced(r, kRoutine);
      if (auto r = put(&head, 1, base + offset, (hi - lo + 1) * p); !r)
        return ForwardSpaced(r, kRoutine);
    }
    int k = kd + 1;
    while (k < kMaxHarDims && idx[k] == d[k]) {
      idx[k] = 1;
      ++k;
    }
    if (k >= kMaxHarDims) break;
    ++idx[k];
  }
  return Ok();
}

Status WriteRealSparse(RecordFile& f, const HarHeader& h, std::int64_t nnz) {
  constexpr const char* kRoutine = "WriteRealSparse";
  std::int32_t head[3] = {static_cast<std::int32_t>(nnz), 4, 4};
  std::string blanks(80, ' ');
  if (auto r = WriteRecBuf(f, head, 12, blanks.data(), 80, 1); !r)
    return ForwardSpaced(r, kRoutine);
  std::int64_t records = nnz == 0 ? 1 : (nnz + kMaxSparsePerRecord - 1) / kMaxSparsePerRecord;
  // One record's entries: positions then values, packed together.
  std::vector<std::int32_t> buf(2 * kMaxSparsePerRecord);
  std::int32_t n = 0;
  std::int64_t left = records;
  auto flush = [&]() -> Status {
    std::int32_t fixed[3] = {static_cast<std::int32_t>(left--), static_cast<std::int32_t>(nnz), n};
    if (n < kMaxSparsePerRecord) {
      std::memmove(buf.data() + n, buf.data() + kMaxSparsePerRecord, std::size_t(n) * 4);
    }
    auto r = WriteRecBuf(f, fixed, 12, buf.data(), 2 * std::int64_t{n}, 4);
    n = 0;
    return r;
  };
  const float* v = h.values.data();
  auto take = [&](std::int64_t i, std::uint32_t bits) -> Status {
    buf[n] = static_cast<std::int32_t>(i + 1);
    std::memcpy(&buf[kMaxSparsePerRecord + n], &bits, 4);
    if (++n == kMaxSparsePerRecord) return flush();
    return Ok();
  };
  // Whole runs of zeros are passed eight values at a time.
  std::int64_t i = 0;
  for (; i + 8 <= h.element_count; i += 8) {
    std::uint32_t block[8];
    std::memcpy(block, v + i, sizeof block);
    std::uint32_t any = 0;
    for (std::uint32_t b : block) any |= NonZeroBits(b);
    if (any == 0) continue;
    for (int k = 0; k < 8; ++k) {
      if (NonZeroBits(block[k]) == 0) continue;
      if (auto r = take(i + k, block[k]); !r) return ForwardSpaced(r, kRoutine);
    }
  }
  for (; i < h.element_count; ++i) {
    std::uint32_t b;
    std::memcpy(&b, v + i, 4);
    if (NonZeroBits(b) == 0) continue;
    if (auto r = take(i, b); !r) return ForwardSpaced(r, kRoutine);
  }
  if (n > 0 || nnz == 0) {
    if (auto r = flush(); !r) return ForwardSpaced(r, kRoutine);
  }
  return Ok();
}

std::int64_t CountNonZeros(const HarHeader& h) {
  std::int64_t nnz = 0;
  const float* v = h.values.data();
  std::int64_t i = 0;
  // Blocks counted in 32 bits let the compiler keep the loop in vector registers.
  for (; i + 4096 <= h.element_count; i += 4096) {
    std::uint32_t count = 0;
    for (int k = 0; k < 4096; ++k) {
      std::uint32_t b;
      std::memcpy(&b, v + i + k, 4);
      count += NonZeroBits(b) != 0;
    }
    nnz += count;
  }
  for (; i < h.element_count; ++i) nnz += v[i] != 0.0f;
  return nnz;
}

Status WriteRLData(RecordFile& f, HarHeader& h, const HarWriteOptions& options) {
  constexpr const char* kRoutine = "WriteRLData";
  bool sparse = false;
  std::int64_t nnz = 0;
  if (options.use_sparse && h.values.allocated() && h.element_count > 0 &&
      h.values.size() == h.element_count) {
    nnz = CountNonZeros(h);
    h.nonzero_count = nnz;
    double zeros = 100.0 - std::nearbyint(100.0 * static_cast<double>(nnz) /
                                          static_cast<double>(h.element_count));
    sparse = zeros > 70.0;
  }
  // Unnamed sets are written under invented names, in a copy: memory stays as it was.
  SetDetails s = h.sets;
  if (h.type == "RE") {
    bool named = false;
    for (int i = 0; i < h.NDim; ++i) {
      if (Trim(s.StName[i]).empty()) {
        s.StName[i] = "Unk" + std::to_string(h.sizes[i]);
        named = true;
      }
    }
    if (named || h.NDim == 0) s.stknow = true;
  }
  if (auto r = WriteRealStart(f, h, s, sparse ? "SPSE" : "FULL"); !r)
    return ForwardSpaced(r, kRoutine);
  auto r = sparse ? WriteRealSparse(f, h, nnz) : WriteRealFull(f, h);
  if (!r) return ForwardSpaced(r, kRoutine);
  return Ok();
}

Status WriteHead(RecordFile& f, HarHeader& h, const HarWriteOptions& options) {
  Status r = Ok();
  if (h.IsReal()) {
    r = WriteRLData(f, h, options);
  } else if (h.type == "1C") {
    r = Write1CData(f, h);
  } else if (h.type == "2I") {
    r = Write2IData(f, h);
  } else {
    r = Fail("unknown header type: \"" + h.type + "\"");
  }
  if (!r) return FailSpaced(r.error(), "WriteHead:" + TrimRight(h.name));
  return Ok();
}

Status WriteAll(RecordFile& f, HarFile& file, const HarWriteOptions& options) {
  if (auto r = WriteHead(f, *file.XXCD, options); !r) return r;
  if (auto r = WriteHead(f, *file.XXCR, options); !r) return r;
  if (file.XXHS) {
    if (file.XXHS->string_length != kHistoryStringLen) {
      return Fail("History strings are of length " + std::to_string(file.XXHS->string_length) +
                  " should be 60.");
    }
    if (!file.XXHS->strings.empty()) {
      if (auto r = WriteHead(f, *file.XXHS, options); !r) return r;
    }
  }
  for (int pass = 0; pass < 2; ++pass) {
    for (HarHeader& h : file.headers) {
      if (StartsWithXX(h.name) != (pass == 0) || h.name == "XXFF") continue;
      if (auto r = WriteHead(f, h, options); !r) return r;
    }
  }
  return Ok();
}

}  // namespace

namespace {

Status PrepareToWrite(const std::string& creating_program, const std::string& creation_time,
                      HarFile& file) {
  constexpr const char* kRoutine = "WriteHarFile";
  if (auto r = CompleteHarFile(file, false); !r) return ForwardSpaced(r, kRoutine);
  if (std::string msg = CheckHarFile(file); !msg.empty()) return FailSpaced(msg, kRoutine);
  file.XXCD = MakeCreationDateHeader(creation_time);
  file.XXCR = MakeCreatingProgHeader(creating_program);
  return Ok();
}

}  // namespace

Result<std::string> WriteHarBytes(const std::string& creating_program,
                                  const std::string& creation_time, HarFile& file,
                                  const HarWriteOptions& options) {
  constexpr const char* kRoutine = "WriteHarFile";
  if (auto r = PrepareToWrite(creating_program, creation_time, file); !r) return Fail(r.error());
  std::string bytes;
  auto f = CreateLaheyFile(&bytes, file.fujitsu);
  if (!f) return ForwardSpaced(f, kRoutine);
  Status r = WriteAll(*f, file, options);
  Status closed = f->Close();
  if (r && !closed) r = closed;
  if (!r) return ForwardSpaced(r, kRoutine);
  return bytes;
}

Status WriteHarFile(const std::string& path, const std::string& creating_program,
                    const std::string& creation_time, HarFile& file,
                    const HarWriteOptions& options) {
  constexpr const char* kRoutine = "WriteHarFile";
  if (auto r = PrepareToWrite(creating_program, creation_time, file); !r) return r;
  // Written beside the target and renamed over it at the end, so a failed write never
  // destroys the file that was there.
  auto f = ReplaceLaheyFile(path, file.fujitsu);
  if (!f) return ForwardSpaced(f, kRoutine);
  if (auto r = WriteAll(*f, file, options); !r) {
    f->Discard();
    return ForwardSpaced(r, kRoutine);
  }
  if (auto r = f->Close(); !r) return ForwardSpaced(r, kRoutine);
  return Ok();
}

}  // namespace yl
