#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/internal_error.h"
#include "core/status.h"
#include "core/text_util.h"
#include "harfile/har_file.h"
#include "harfile/har_internal.h"
#include "harfile/zeroed_block.h"

namespace yl {

using namespace har_internal;

// ---------------------------------------------------------------------------------------
// RealArray

void RealArray::FreeDeleter::operator()(float* p) const {
  if (mapped_bytes > 0) {
    ReleaseZeroedBlock(p, mapped_bytes);
  } else {
    std::free(p);
  }
}

RealArray::RealArray(const RealArray& other) { *this = other; }

RealArray& RealArray::operator=(const RealArray& other) {
  if (this == &other) return *this;
  Reset();
  if (other.allocated_) {
    if (!Allocate(other.size_)) throw std::bad_alloc();
    if (size_ > 0) std::memcpy(data_.get(), other.data_.get(), static_cast<std::size_t>(size_) * 4);
  }
  return *this;
}

Status RealArray::Allocate(std::int64_t count) {
  if (allocated_) return Fail("pointer should be nil [SafeGetMem]");
  if (count < 0) return Fail("Size<0 [SafeGetMem]");
  std::size_t bytes = static_cast<std::size_t>(count) * sizeof(float);
  if (bytes >= kLargeBlockBytes) {
    void* p = AllocateZeroedBlock(bytes);
    if (!p) return Fail("Out of Memory [SafeGetMem]");
    data_ = std::unique_ptr<float[], FreeDeleter>(static_cast<float*>(p), FreeDeleter{bytes});
  } else if (count > 0) {
    float* p = static_cast<float*>(std::calloc(static_cast<std::size_t>(count), sizeof(float)));
    if (!p) return Fail("Out of Memory [SafeGetMem]");
    data_ = std::unique_ptr<float[], FreeDeleter>(p, FreeDeleter{});
  }
  size_ = count;
  allocated_ = true;
  return Ok();
}

void RealArray::Reset() {
  data_.reset();
  size_ = 0;
  allocated_ = false;
}

std::int64_t HarHeader::Offset(std::initializer_list<std::int32_t> index) const {
  std::int64_t pos = 0;
  std::int64_t stride = 1;
  int d = 0;
  for (std::int32_t i : index) {
    if (d >= kMaxHarDims) throw InternalError("too many indices for a header array");
    CheckIndex(i, 1, sizes[d], "header array");
    pos += (i - 1) * stride;
    stride *= sizes[d];
    ++d;
  }
  return pos;
}

namespace {
bool SameName(std::string_view a, std::string_view b) {
  return NormaliseHeaderName(a) == NormaliseHeaderName(b);
}
}  // namespace

const HarHeader* HarFile::Find(std::string_view name) const {
  for (const std::optional<HarHeader>* s : {&XXCD, &XXCR, &XXHS, &XXFF}) {
    if (*s && SameName((*s)->name, name)) return &**s;
  }
  for (const HarHeader& h : headers) {
    if (SameName(h.name, name)) return &h;
  }
  return nullptr;
}

HarHeader* HarFile::Find(std::string_view name) {
  return const_cast<HarHeader*>(std::as_const(*this).Find(name));
}

// ---------------------------------------------------------------------------------------
// Internal helpers

namespace har_internal {

SetDetails FreshSetDetails(int ndim) {
  SetDetails s;
  s.acdmkn = true;
  s.stknow = false;
  s.acdim = ndim;
  return s;
}

Status ValidREDetails(const SetDetails& s, int ndim) {
  if (!s.stknow) return Fail("stknow false");
  if (!s.acdmkn) return Fail("acdmkn false");
  if (s.acdim != ndim) return Fail("acdim<>OrigNDim");
  for (int i = 0; i < ndim; ++i) {
    if (Trim(s.StName[i]).empty()) return Fail("StName blank");
    char st = s.RDelst[i];
    if (st != 'k' && st != 'u' && st != 'e') return Fail("RDelst not e,u, or k");
    if (st == 'e') {
      if (s.elno[i] <= 0) return Fail("elno<=0");
      if (Trim(s.eltnam[i]).empty()) return Fail("eltnam blank");
    }
  }
  return Ok();
}

std::string SizesText(const std::array<std::int32_t, 7>& sizes, int ndim) {
  if (ndim <= 0) return "1";
  std::string t;
  for (int i = 0; i < ndim; ++i) {
    if (i > 0) t += '*';
    t += std::to_string(sizes[i]);
  }
  return t;
}

Status CheckRealSizes(const std::array<std::int32_t, 7>& sizes, int ndim) {
  std::int64_t total = 1;
  for (int i = 0; i < kMaxHarDims; ++i) {
    if (sizes[i] < 0) return Fail("Dimension negative(" + std::to_string(sizes[i]) + ")");
    if (sizes[i] > kMaxDimSize) {
      return Fail("Dimension too large(" + std::to_string(sizes[i]) + "), max is 33554430");
    }
    total *= sizes[i];
    if (total > kMaxArrayElements) {
      return Fail("Array size (" + SizesText(sizes, std::max(ndim, NDimOfSizes(sizes))) +
                  ") too large: max is 268435455 elements");
    }
  }
  return Ok();
}

bool StartsWithXX(std::string_view name) {
  return name.size() >= 2 && (name[0] == 'X' || name[0] == 'x') &&
         (name[1] == 'X' || name[1] == 'x');
}

namespace {
HarHeader Strings1C(const char* name, const char* description, std::vector<std::string> strings,
                    int length) {
  HarHeader h;
  h.name = name;
  h.description = description;
  h.type = "1C";
  h.storage = "FULL";
  h.string_length = length;
  h.strings = std::move(strings);
  (void)CompleteHeaderRecord(h);
  return h;
}
}  // namespace

HarHeader MakeCreationDateHeader(const std::string& creation_time) {
  return Strings1C("XXCD", "Creation Date and Time", {"at " + creation_time}, 70);
}

HarHeader MakeCreatingProgHeader(const std::string& creating_program) {
  return Strings1C("XXCR", "Creating Program", {creating_program, "HARFILE 16/Apr/2007"}, 70);
}

HarHeader MakeHistoryHeader() {
  return Strings1C("XXHS", "File History", {"no previous history"}, kHistoryStringLen);
}

}  // namespace har_internal

// ---------------------------------------------------------------------------------------
// Names

std::string NormaliseHeaderName(std::string_view text) {
  std::string n;
  for (char c : text) {
    if (c >= '!' && c <= '~') {
      n += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
      if (n.size() == 4) break;
    }
  }
  n.resize(4, ' ');
  return n;
}

Status CheckHeaderName(std::string_view name) {
  std::string packed;
  for (char c : name) {
    if (c != ' ') packed += c;
  }
  if (packed.size() > 4) packed.resize(4);
  if (packed.empty()) return Fail("Header must not be blank or all spaces");
  std::string n = NormaliseHeaderName(packed);
  for (char c : n) {
    bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '@' || c == '_' || c == ' ';
    if (!ok) return Fail("Header must only contain letters A-Z or digits 0-9");
  }
  if (StartsWithXX(n)) {
    return Fail("Header names beginning with \"XX\" are reserved for Solvara internal use");
  }
  return Ok();
}

std::string HeaderNameFromNumber(long number) {
  std::string s = PadLeft(std::to_string(number), 4, '0');
  return s.substr(0, 4);
}

int NDimOfSizes(const std::array<std::int32_t, 7>& sizes) {
  int n = 1;
  for (int i = 0; i < kMaxHarDims; ++i) {
    if (sizes[i] != 1) n = i + 1;
  }
  return n;
}

std::string CheckHarFile(HarFile& file) {
  for (std::size_t i = 0; i < file.headers.size(); ++i) {
    HarHeader& h = file.headers[i];
    if (StartsWithXX(h.name)) {
      h.name = NormaliseHeaderName(h.name);
      continue;
    }
    if (auto r = CheckHeaderName(h.name); !r) {
      return "Header no " + std::to_string(i + 1) + ", \"" + TrimRight(h.name) +
             "\" is illegal: \r\n" + r.error();
    }
    h.name = NormaliseHeaderName(h.name);
  }
  for (std::size_t i = 0; i < file.headers.size(); ++i) {
    for (std::size_t j = i + 1; j < file.headers.size(); ++j) {
      if (file.headers[i].name == file.headers[j].name) {
        return "Header \"" + TrimRight(file.headers[i].name) + "\" appears twice, at positions " +
               std::to_string(i + 1) + " and " + std::to_string(j + 1);
      }
    }
  }
  return "";
}

void SortHeaders(HarFile& file) {
  auto& hs = file.headers;
  auto mid = std::stable_partition(hs.begin(), hs.end(),
                                   [](const HarHeader& h) { return StartsWithXX(h.name); });
  std::stable_sort(mid, hs.end(),
                   [](const HarHeader& a, const HarHeader& b) { return a.name < b.name; });
}

// ---------------------------------------------------------------------------------------
// Completing and building headers

void TurnRLtoRE(HarHeader& h) {
  h.type = "RE";
  h.sets = FreshSetDetails(h.NDim);
}

namespace {

std::string CleanDescription(std::string_view text) {
  std::string d(text);
  for (char& c : d) {
    if (c < ' ' || c > '~') c = ' ';
  }
  d = Trim(d);
  if (d.size() > 70) d = TrimRight(d.substr(0, 70));
  return d;
}

std::string Cut(std::string s, std::size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

}  // namespace

namespace {

// Everything completion does but the checks against the data: listing a file completes
// headers that have none.
Status CompleteShape(HarHeader& h, std::int64_t strings) {
  h.name = NormaliseHeaderName(h.name);
  h.description = CleanDescription(h.description);
  if (h.type == "RL") TurnRLtoRE(h);
  if (h.type == "1C") {
    h.element_count = strings;
    h.size_text = Cut(std::to_string(strings) + " length " + std::to_string(h.string_length), 80);
    h.short_size_text = Cut(h.size_text, 30);
  } else if (h.type == "2I") {
    if (h.rows < 0 || h.cols < 0)
      return FailSpaced("Negative 2I dimension", "CompleteHeaderRecord");
    h.element_count = std::int64_t{h.rows} * h.cols;
    std::string t;
    if (h.rows != 1 && h.cols != 1) {
      t = std::to_string(h.rows) + "*" + std::to_string(h.cols);
    } else if (h.rows != 1) {
      t = std::to_string(h.rows);
    } else if (h.cols != 1) {
      t = std::to_string(h.cols);
    } else {
      t = "1";
    }
    h.size_text = t;
    h.short_size_text = Cut(t, 30);
  } else if (h.type == "RE") {
    if (h.NDim < 0) return FailSpaced("NDim<0", "CompleteHeaderRecord");
    if (h.NDim > kMaxHarDims) return FailSpaced("NDim>7", "CompleteHeaderRecord");
    if (auto r = CheckRealSizes(h.sizes, h.NDim); !r)
      return ForwardSpaced(r, "CompleteHeaderRecord");
    for (int i = h.NDim; i < kMaxHarDims; ++i) {
      if (h.sizes[i] != 1) return FailSpaced("unused dims should=1", "CompleteHeaderRecord");
    }
    h.element_count = 1;
    for (std::int32_t s : h.sizes) h.element_count *= s;
    if (h.description.empty()) h.description = CleanDescription(h.sets.coeff_name);
    if (h.description == "?") h.description = " ";
    h.short_size_text = Cut(SizesText(h.sizes, h.NDim), 30);
    std::string t;
    if (h.NDim == 0) t = "1";
    for (int i = 0; i < h.NDim; ++i) {
      if (i > 0) t += '*';
      std::string set = Trim(h.sets.StName[i]);
      t += set.empty() ? std::to_string(h.sizes[i]) : set;
    }
    h.size_text = Cut(t, 80);
  }
  return Ok();
}

}  // namespace

Status CompleteHeaderRecord(HarHeader& h) {
  if (h.type == "1C") {
    for (std::string& s : h.strings) {
      if (s.size() > kMaxKeptStringLen) s.resize(kMaxKeptStringLen);
    }
  }
  if (auto r = CompleteShape(h, static_cast<std::int64_t>(h.strings.size())); !r) return r;
  if (h.type == "2I" && static_cast<std::int64_t>(h.ints.size()) != h.element_count) {
    return FailSpaced("2I array does not match its dimensions", "CompleteHeaderRecord");
  }
  if (h.type == "RE" && h.values.allocated() && h.values.size() != h.element_count) {
    return FailSpaced("Array does not match its dimensions", "CompleteHeaderRecord");
  }
  return Ok();
}

namespace har_internal {
Status CompleteHeaderWithoutData(HarHeader& h, std::int64_t strings) {
  return CompleteShape(h, strings);
}
}  // namespace har_internal

Result<HarHeader> Create1C(std::string_view name, std::string_view description,
                           const std::vector<std::string>& strings, std::int32_t string_length) {
  if (string_length <= 0) return FailSpaced("LenString<=0", "Create1C");
  if (strings.size() > static_cast<std::size_t>(kMaxDimSize)) {
    return FailSpaced("NElm(" + std::to_string(strings.size()) + ")>MaxPtr(33554430)", "Create1C");
  }
  HarHeader h;
  h.name = std::string(name);
  h.description = std::string(description);
  h.type = "1C";
  h.string_length = string_length;
  h.strings = strings;
  for (std::string& s : h.strings) s = TrimRight(s);
  if (auto r = CompleteHeaderRecord(h); !r) return ForwardSpaced(r, "Create1C");
  return h;
}

Result<HarHeader> Create2I(std::string_view name, std::string_view description, std::int32_t rows,
                           std::int32_t cols) {
  if (rows < 0 || rows > kMaxDimSize) {
    return FailSpaced("Too many rows(" + std::to_string(rows) + "), max is 33554430", "Create2I");
  }
  if (cols < 0 || cols > kMaxDimSize) {
    return FailSpaced("Too many cols(" + std::to_string(cols) + "), max is 33554430", "Create2I");
  }
  if (std::int64_t{rows} * cols > kMaxArrayElements) {
    return FailSpaced("Array size (" + std::to_string(rows) + "*" + std::to_string(cols) +
                          ") too large: max is 268435455 elements",
                      "Create2I");
  }
  HarHeader h;
  h.name = std::string(name);
  h.description = std::string(description);
  h.type = "2I";
  h.rows = rows;
  h.cols = cols;
  h.ints.assign(static_cast<std::size_t>(std::int64_t{rows} * cols), 0);
  if (auto r = CompleteHeaderRecord(h); !r) return ForwardSpaced(r, "Create2I");
  return h;
}

Result<HarHeader> CreateUnLabelledRE(std::string_view name, std::string_view description, int NDim,
                                     const std::array<std::int32_t, 7>& sizes, bool allocate) {
  if (NDim < 0) return FailSpaced("NDim<0", "CreateUnLabelledRE");
  if (NDim > kMaxHarDims) return FailSpaced("NDim>7", "CreateUnLabelledRE");
  for (int i = NDim; i < kMaxHarDims; ++i) {
    if (sizes[i] != 1) return FailSpaced("unused dims should=1", "CreateUnLabelledRE");
  }
  if (auto r = CheckRealSizes(sizes, NDim); !r) return ForwardSpaced(r, "CreateUnLabelledRE");
  HarHeader h;
  h.name = std::string(name);
  h.description = std::string(description);
  h.type = "RE";
  h.NDim = NDim;
  h.sizes = sizes;
  h.sets = FreshSetDetails(NDim);
  if (allocate) {
    std::int64_t n = 1;
    for (std::int32_t s : sizes) n *= s;
    if (auto r = h.values.Allocate(n); !r) {
      return FailSpaced(r.error() + SpacedBracket("AllocMat7"), "CreateUnLabelledRE");
    }
  }
  if (auto r = CompleteHeaderRecord(h); !r) return ForwardSpaced(r, "CreateUnLabelledRE");
  return h;
}

Status SetDimensionSet(HarHeader& h, int dim, std::string_view set_name,
                       const std::vector<std::string>& elements) {
  if (!h.IsReal() || dim < 0 || dim >= h.NDim) {
    return FailSpaced("No such dimension " + std::to_string(dim + 1), "SetDimensionSet");
  }
  if (!elements.empty() && static_cast<std::int64_t>(elements.size()) != h.sizes[dim]) {
    return FailSpaced("Set " + std::string(set_name) + " has " + std::to_string(elements.size()) +
                          " elements but the dimension has size " + std::to_string(h.sizes[dim]),
                      "SetDimensionSet");
  }
  SetDetails& s = h.sets;
  s.acdim = h.NDim;
  s.StName[dim] = Cut(Trim(set_name), kSetNameLen);
  s.RDelst[dim] = elements.empty() ? 'u' : 'k';
  s.elno[dim] = 0;
  s.elements[dim] = elements;
  for (std::string& e : s.elements[dim]) e = Cut(Trim(e), kSetNameLen);
  bool all = true;
  for (int i = 0; i < h.NDim; ++i) all = all && !Trim(s.StName[i]).empty();
  s.stknow = all;
  return CompleteHeaderRecord(h);
}

void SetCoefficientName(HarHeader& h, std::string_view name) {
  h.sets.coeff_name = Cut(Trim(name), kSetNameLen);
}

Result<HarHeader> CloneHeader(const HarHeader& h) {
  if (h.type != "1C" && h.type != "2I" && h.type != "RE" && h.type != "RL") {
    return FailSpaced("Unrecognized Header Type \"" + h.type + "\"", "CloneHeader");
  }
  try {
    return HarHeader(h);
  } catch (const std::bad_alloc&) {
    return FailSpaced("Out of Memory [SafeGetMem] [copymat7]", "CloneHeader");
  }
}

Result<HarHeader> AddADim(const HarHeader& in, const TSetRec& set, bool first) {
  if (!in.IsReal()) return FailSpaced("InHed:Not an RL or RE Header", "AddADim");
  if (auto r = ValidREDetails(in.sets, in.NDim); !r)
    return FailSpaced("InHed:" + r.error(), "AddADim");
  if (in.NDim >= kMaxHarDims) return FailSpaced("Cannot make 8-dim array", "AddADim");
  if (set.size <= 0) return FailSpaced("Bad new set length", "AddADim");
  if (set.elements_known != !set.elements.empty() ||
      (set.elements_known && static_cast<std::int64_t>(set.elements.size()) != set.size)) {
    return FailSpaced("ElmsKnown, SetElms mismatch", "AddADim");
  }
  HarHeader out;
  out.name = in.name;
  out.description = in.description;
  out.type = "RE";
  out.NDim = in.NDim + 1;
  out.sets = FreshSetDetails(out.NDim);
  out.sets.coeff_name = in.sets.coeff_name;
  out.sets.stknow = true;
  out.sets.acdmkn = in.sets.acdmkn;
  int shift = first ? 1 : 0;
  int fresh = first ? 0 : in.NDim;
  for (int i = 0; i < in.NDim; ++i) {
    int o = i + shift;
    out.sizes[o] = in.sizes[i];
    out.sets.StName[o] = in.sets.StName[i];
    out.sets.RDelst[o] = in.sets.RDelst[i];
    out.sets.elno[o] = in.sets.elno[i];
    out.sets.eltnam[o] = in.sets.eltnam[i];
    out.sets.elements[o] = in.sets.elements[i];
  }
  out.sizes[fresh] = set.size;
  out.sets.StName[fresh] = Cut(Trim(set.name), kSetNameLen);
  out.sets.RDelst[fresh] = set.elements_known ? 'k' : 'u';
  out.sets.elements[fresh] = set.elements;
  if (auto r = CheckRealSizes(out.sizes, out.NDim); !r) return ForwardSpaced(r, "AddADim");
  if (auto r = ValidREDetails(out.sets, out.NDim); !r)
    return FailSpaced("OutHed:" + r.error(), "AddADim");
  std::int64_t n = 1;
  for (std::int32_t s : out.sizes) n *= s;
  if (auto r = out.values.Allocate(n); !r)
    return FailSpaced(r.error() + SpacedBracket("AllocMat7"), "AddADim");
  if (auto r = CompleteHeaderRecord(out); !r) return ForwardSpaced(r, "AddADim");
  return out;
}

// ---------------------------------------------------------------------------------------
// Files

Status CompleteHarFile(HarFile& file, bool sort) {
  file.total_reals = 0;
  for (const HarHeader& h : file.headers) {
    if (h.IsReal()) file.total_reals += static_cast<double>(h.element_count);
  }
  if (!file.XXHS) file.XXHS = MakeHistoryHeader();
  if (!file.XXCD) file.XXCD = MakeCreationDateHeader("unknown time");
  if (!file.XXCR) file.XXCR = MakeCreatingProgHeader("unknown");
  if (sort) {
    SortHeaders(file);
  } else {
    std::stable_partition(file.headers.begin(), file.headers.end(),
                          [](const HarHeader& h) { return StartsWithXX(h.name); });
  }
  return Ok();
}

Result<HarFile> NewHarFile(const std::string& creating_program, const std::string& creation_time,
                           bool sort) {
  HarFile f;
  f.fujitsu = false;
  f.XXCD = MakeCreationDateHeader(creation_time);
  f.XXCR = MakeCreatingProgHeader(creating_program);
  f.XXHS = MakeHistoryHeader();
  if (auto r = CompleteHarFile(f, sort); !r) return ForwardSpaced(r, "NewHarFile");
  return f;
}

Status AddHeaderNil(HarFile& file, HarHeader header) {
  if (file.headers.size() >= static_cast<std::size_t>(kMaxHeaders)) {
    return FailSpaced("Too many headers: max is 8000", "AddHeaderNil");
  }
  if (auto r = CompleteHeaderRecord(header); !r) return ForwardSpaced(r, "AddHeaderNil");
  if (header.IsReal()) file.total_reals += static_cast<double>(header.element_count);
  file.headers.push_back(std::move(header));
  return Ok();
}

}  // namespace yl
