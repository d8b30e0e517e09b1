#include "harfile/record_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

#include "core/status.h"

namespace yl {

static_assert(std::endian::native == std::endian::little,
              "record payloads are copied as little-endian memory");

namespace {

constexpr const char* kEof = "Unexpected end-of-file [FileRead]";
constexpr const char* kNoSpace = "cannot write to disk (probably no space)";
// A Lahey length field holds at most 2^30 - 1, and the trailer value adds up to 4.
constexpr std::int64_t kMaxLaheyPayload = (std::int64_t{1} << 30) - 5;
constexpr std::int64_t kMaxFujiPayload = 0x7fffffff;
constexpr std::size_t kIoBufSize = 1 << 20;
// The read window: big enough that reading costs few system calls, small enough to stay
// in the processor's cache while its records are copied out.
constexpr std::int64_t kWindowSize = 256 << 10;
constexpr std::int64_t kJumpReadSize = 4 << 10;

int ExtraBytes(std::int64_t v) {
  if (v < 64) return 0;
  if (v < 16384) return 1;
  if (v < 4194304) return 2;
  return 3;
}

// The forward encoding of a Lahey length: first byte, then the extra bytes.
std::string Encode(std::int64_t v) {
  int n = ExtraBytes(v);
  std::string s;
  s += static_cast<char>(((v % 64) * 4) + n);
  if (n >= 1) s += static_cast<char>((v / 64) % 256);
  if (n >= 2) s += static_cast<char>((v / 16384) % 256);
  if (n >= 3) s += static_cast<char>((v / 4194304) % 256);
  return s;
}

std::int32_t LoadI32(const unsigned char* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

std::string LaheyPrefix(std::int32_t length) { return Encode(length); }

std::int64_t FramedSize(std::int64_t payload, bool fujitsu) {
  if (fujitsu) return payload + 8;
  int n = ExtraBytes(payload);
  return payload + 2 + n + ExtraBytes(payload + 1 + n);
}

std::string LaheyTrailer(std::int32_t length) {
  std::string t = Encode(std::int64_t{length} + 1 + ExtraBytes(length));
  std::reverse(t.begin(), t.end());
  return t;
}

// ---------------------------------------------------------------------------------------
// RecordFile

RecordFile::RecordFile() = default;
RecordFile::~RecordFile() { Release(); }

RecordFile::RecordFile(RecordFile&& o) noexcept { *this = std::move(o); }

RecordFile& RecordFile::operator=(RecordFile&& o) noexcept {
  if (this != &o) {
    Release();
    file_ = std::exchange(o.file_, nullptr);
    replacing_ = std::move(o.replacing_);
    out_ = std::exchange(o.out_, nullptr);
    written_ = std::move(o.written_);
    reader_ = std::move(o.reader_);
    memory_ = std::exchange(o.memory_, {});
    in_memory_ = std::exchange(o.in_memory_, false);
    path_ = std::move(o.path_);
    fujitsu_ = o.fujitsu_;
    writing_ = o.writing_;
    write_failed_ = o.write_failed_;
    jumped_ = o.jumped_;
    pos_ = o.pos_;
    size_ = o.size_;
    win_ = std::move(o.win_);
    win_cap_ = std::exchange(o.win_cap_, 0);
    win_off_ = o.win_off_;
    win_len_ = std::exchange(o.win_len_, 0);
    io_buf_ = std::move(o.io_buf_);
  }
  return *this;
}

void RecordFile::Release() {
  if (file_ && !replacing_.IsOpen()) std::fclose(file_);
  file_ = nullptr;
  replacing_.Discard();
  out_ = nullptr;
  written_.clear();
  reader_.Close();
}

void RecordFile::Discard() { Release(); }

Status RecordFile::Close() {
  reader_.Close();
  if (out_) {
    std::exchange(out_, nullptr)->swap(written_);
    written_.clear();
    return Ok();
  }
  std::FILE* file = std::exchange(file_, nullptr);
  if (!file) return Ok();
  if (replacing_.IsOpen()) {
    if (write_failed_) replacing_.MarkFailed();
    CommitOutcome done = replacing_.Commit();
    if (done == CommitOutcome::kWriteFailed) return Fail(kNoSpace);
    if (done == CommitOutcome::kRenameFailed) return Fail("Can't create file: " + path_);
    return Ok();
  }
  bool ok = std::fclose(file) == 0;
  if (writing_ && (!ok || write_failed_)) return Fail(kNoSpace);
  return Ok();
}

Result<RecordFile> RecordFile::OpenForRead(const std::string& path) {
  RecordFile f;
  f.path_ = path;
  if (!f.reader_.Open(path)) return Fail("cannot open");
  f.size_ = f.reader_.Size();
  return f;
}

Result<RecordFile> RecordFile::OpenForRead(std::string_view bytes, const std::string& name) {
  RecordFile f;
  f.path_ = name;
  f.memory_ = bytes;
  f.in_memory_ = true;
  f.size_ = static_cast<std::int64_t>(bytes.size());
  return f;
}

Result<RecordFile> RecordFile::OpenForWrite(const std::string& path, bool fujitsu) {
  RecordFile f;
  f.path_ = path;
  f.fujitsu_ = fujitsu;
  f.writing_ = true;
  f.file_ = std::fopen(path.c_str(), "wb");
  if (!f.file_) return Fail("Can't create file: " + path);
  f.io_buf_ = std::make_unique<char[]>(kIoBufSize);
  std::setvbuf(f.file_, f.io_buf_.get(), _IOFBF, kIoBufSize);
  return f;
}

Result<RecordFile> RecordFile::OpenForReplace(const std::string& path, bool fujitsu) {
  RecordFile f;
  f.path_ = path;
  f.fujitsu_ = fujitsu;
  f.writing_ = true;
  if (!f.replacing_.Create(path, kIoBufSize)) return Fail("Can't create file: " + path);
  f.file_ = f.replacing_.stream();
  return f;
}

Result<RecordFile> RecordFile::OpenForWrite(std::string* out, bool fujitsu) {
  RecordFile f;
  f.path_ = "(memory)";
  f.fujitsu_ = fujitsu;
  f.writing_ = true;
  f.out_ = out;
  return f;
}

Status RecordFile::ReadAt(std::int64_t offset, unsigned char* dst, std::int64_t count) {
  if (in_memory_) {
    if (offset < 0 || offset + count > static_cast<std::int64_t>(memory_.size())) return Fail(kEof);
    if (count > 0) std::memcpy(dst, memory_.data() + offset, static_cast<std::size_t>(count));
    return Ok();
  }
  ReadAtResult got = reader_.ReadExactly(offset, dst, count);
  if (got.kind == ReadAtResult::kFailed) {
    return Fail("Read error in file " + path_ + ": " + got.reason + " [FileRead]");
  }
  if (got.kind == ReadAtResult::kEndOfFile) return Fail(kEof);  // the file shrank under us
  return Ok();
}

Status RecordFile::Fill(std::int64_t count) {
  std::int64_t have = 0;
  if (pos_ >= win_off_ && pos_ < win_off_ + win_len_) have = win_off_ + win_len_ - pos_;
  if (have >= count) return Ok();
  if (count > win_cap_ || !win_) {
    // No bigger than what is left of the file, and not zeroed: a small file read many
    // times (closure checks, the fuzz targets) would otherwise clear 256 KB per open.
    const std::int64_t left = std::max<std::int64_t>(size_ - pos_, 1);
    std::int64_t cap = std::max<std::int64_t>(count, std::min(kWindowSize, left));
    auto grown = std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(cap));
    if (have > 0) std::memcpy(grown.get(), win_.get() + (pos_ - win_off_), std::size_t(have));
    win_ = std::move(grown);
    win_cap_ = cap;
  } else if (have > 0) {
    std::memmove(win_.get(), win_.get() + (pos_ - win_off_), static_cast<std::size_t>(have));
  }
  win_off_ = pos_;
  win_len_ = have;
  // Right after a jump, read only a little: a scan over records reads just their lengths.
  std::int64_t want = jumped_ ? std::max<std::int64_t>(count, kJumpReadSize) : win_cap_;
  want = std::min({want, win_cap_, size_ - win_off_});
  if (auto r = ReadAt(win_off_ + have, win_.get() + have, want - have); !r) return r;
  win_len_ = want;
  jumped_ = false;
  return Ok();
}

Result<const unsigned char*> RecordFile::View(std::int64_t count) {
  if (count < 0 || count > Remaining()) return Fail(kEof);
  if (count == 0) return static_cast<const unsigned char*>(nullptr);
  if (auto r = Fill(count); !r) return std::unexpected(r.error());
  const unsigned char* p = win_.get() + (pos_ - win_off_);
  pos_ += count;
  return p;
}

Status RecordFile::Hold(std::int64_t count) {
  count = std::min(count, Remaining());
  return count > 0 ? Fill(count) : Ok();
}

Status RecordFile::ReadBytes(void* dst, std::int64_t count) {
  if (count < 0 || count > Remaining()) return Fail(kEof);
  if (count == 0) return Ok();
  auto* out = static_cast<unsigned char*>(dst);
  if (count >= kWindowSize) {
    // Large reads go straight to the caller; only what the window already holds is copied.
    std::int64_t have = 0;
    if (pos_ >= win_off_ && pos_ < win_off_ + win_len_) {
      have = std::min(count, win_off_ + win_len_ - pos_);
      std::memcpy(out, win_.get() + (pos_ - win_off_), static_cast<std::size_t>(have));
    }
    if (auto r = ReadAt(pos_ + have, out + have, count - have); !r) return r;
    pos_ += count;
    return Ok();
  }
  auto v = View(count);
  if (!v) return std::unexpected(v.error());
  std::memcpy(out, *v, static_cast<std::size_t>(count));
  return Ok();
}

Status RecordFile::SkipBytes(std::int64_t count) {
  if (count < 0 || count > Remaining()) return Fail(kEof);
  return Seek(pos_ + count);
}

Status RecordFile::Seek(std::int64_t position) {
  if (position < 0 || position > size_) return Fail(kEof);
  if (position < win_off_ || position >= win_off_ + win_len_) jumped_ = true;
  pos_ = position;
  return Ok();
}

Status RecordFile::Rewind() { return Seek(0); }

Status RecordFile::WriteBytes(const void* src, std::int64_t count) {
  if (count <= 0) return Ok();
  if (out_) {
    written_.append(static_cast<const char*>(src), static_cast<std::size_t>(count));
    pos_ += count;
    return Ok();
  }
  if (std::fwrite(src, 1, static_cast<std::size_t>(count), file_) !=
      static_cast<std::size_t>(count)) {
    write_failed_ = true;
    return Fail(kNoSpace);
  }
  pos_ += count;
  return Ok();
}

// ---------------------------------------------------------------------------------------
// Creating, detecting and opening

namespace {

Result<RecordFile> Created(Result<RecordFile> f, bool fujitsu) {
  if (!f) return ForwardSpaced(f, "CreateLaheyFile");
  if (!fujitsu) {
    if (auto w = f->WriteBytes(&kLaheyMark, 1); !w) return ForwardSpaced(w, "CreateLaheyFile");
  }
  return f;
}

}  // namespace

Result<RecordFile> CreateLaheyFile(const std::string& path, bool fujitsu) {
  return Created(RecordFile::OpenForWrite(path, fujitsu), fujitsu);
}

Result<RecordFile> ReplaceLaheyFile(const std::string& path, bool fujitsu) {
  return Created(RecordFile::OpenForReplace(path, fujitsu), fujitsu);
}

Result<RecordFile> CreateLaheyFile(std::string* out, bool fujitsu) {
  return Created(RecordFile::OpenForWrite(out, fujitsu), fujitsu);
}

namespace {

// Reads up to five whole records the given way; success at the fifth or at a clean end.
Status TryFrames(RecordFile& f, bool fujitsu) {
  for (int rec = 0; rec < 5; ++rec) {
    if (rec > 0 && f.AtEnd()) return Ok();
    std::int64_t length = 0;
    std::int32_t check = 0;
    if (fujitsu) {
      auto l = FujiGetRecLen(f);
      if (!l) return Fail(l.error());
      length = *l;
    } else {
      auto l = GetRecLen(f);
      if (!l) return Fail(l.error());
      length = l->length;
      check = l->check;
    }
    if (length > MaxHarBuf) return Fail("File record too long");
    if (rec == 0 && length != 4) return Fail("First record not length 4");
    if (length > f.Remaining()) return Fail(kEof);
    if (auto r = f.View(length); !r) return Fail(r.error());
    auto c = fujitsu ? FujiChkRecLen(f, static_cast<std::int32_t>(length)) : ChkRecLen(f, check);
    if (!c) return c;
  }
  return Ok();
}

}  // namespace

namespace {

using Opener = std::function<Result<RecordFile>()>;

Result<bool> WhichLahey(const Opener& open, const std::string& path) {
  {
    auto f = open();
    if (!f) return FailSpaced("No such file:" + path, "IsWhichLaheyFile");
    if (f->Size() == 0) return FailSpaced("Empty file:" + path, "IsWhichLaheyFile");
    unsigned char first = 0;
    if (auto r = FileRead(*f, &first, 1); !r) return ForwardSpaced(r, "IsWhichLaheyFile");
    if (first == kLaheyMark && TryFrames(*f, false)) return false;
  }
  auto f = open();
  if (!f) return FailSpaced("Strange? No such file:" + path, "IsWhichLaheyFile");
  if (f->Size() == 0) return FailSpaced("Strange? Empty file:" + path, "IsWhichLaheyFile");
  if (auto r = TryFrames(*f, true); !r) return ForwardSpaced(r, "IsWhichLaheyFile");
  return true;
}

Result<RecordFile> OpenLahey(const Opener& open, const std::string& path) {
  auto which = WhichLahey(open, path);
  if (!which) return ForwardSpaced(which, "OpenLaheyFile");
  auto f = open();
  if (!f) return FailSpaced("No such file:" + path, "OpenLaheyFile");
  if (f->Size() == 0) return FailSpaced("Empty file", "OpenLaheyFile");
  f->SetFujitsu(*which);
  if (!*which) {
    unsigned char first = 0;
    if (auto r = FileRead(*f, &first, 1); !r) return ForwardSpaced(r, "OpenLaheyFile");
    if (first != kLaheyMark) return FailSpaced("Not a Lahey file", "OpenLaheyFile");
  }
  return f;
}

}  // namespace

Result<bool> IsWhichLaheyFile(const std::string& path) {
  return WhichLahey([&] { return RecordFile::OpenForRead(path); }, path);
}

Result<RecordFile> OpenLaheyFile(const std::string& path) {
  return OpenLahey([&] { return RecordFile::OpenForRead(path); }, path);
}

Result<RecordFile> OpenLaheyFile(std::string_view bytes, const std::string& name) {
  return OpenLahey([&] { return RecordFile::OpenForRead(bytes, name); }, name);
}

// ---------------------------------------------------------------------------------------
// Framing

Status FileRead(RecordFile& f, void* dst, std::int64_t count) { return f.ReadBytes(dst, count); }

Result<LaheyRecLen> GetRecLen(RecordFile& f) {
  unsigned char b[4] = {0, 0, 0, 0};
  if (auto r = FileRead(f, b, 1); !r) return ForwardSpaced(r, "GetRecLen");
  int n = b[0] % 4;
  if (n > 0) {
    if (auto r = FileRead(f, b + 1, n); !r) return ForwardSpaced(r, "GetRecLen");
  }
  std::int64_t length =
      b[0] / 4 + b[1] * 64 + b[2] * std::int64_t{16384} + b[3] * std::int64_t{4194304};
  return LaheyRecLen{static_cast<std::int32_t>(length), static_cast<std::int32_t>(length + n + 1)};
}

Status ChkRecLen(RecordFile& f, std::int32_t check) {
  int k = ExtraBytes(check) + 1;
  unsigned char b[4] = {0, 0, 0, 0};
  if (auto r = FileRead(f, b, k); !r) return ForwardSpaced(r, "ChkRecLen");
  unsigned char last = b[k - 1];
  if (last % 4 != k - 1) return FailSpaced("Bad NExtraCheck value", "ChkRecLen");
  std::int64_t value = last / 4;
  if (k >= 2) value += b[k - 2] * std::int64_t{64};
  if (k >= 3) value += b[k - 3] * std::int64_t{16384};
  if (k >= 4) value += b[k - 4] * std::int64_t{4194304};
  if (value != check) return FailSpaced("Bad RecLenCheck value", "ChkRecLen");
  return Ok();
}

Result<std::int32_t> FujiGetRecLen(RecordFile& f) {
  unsigned char b[4];
  if (auto r = FileRead(f, b, 4); !r) return ForwardSpaced(r, "FujiGetRecLen");
  std::int32_t length = LoadI32(b);
  if (length < 0) return FailSpaced("RecLen<0", "FujiGetRecLen");
  return length;
}

Status FujiChkRecLen(RecordFile& f, std::int32_t length) {
  unsigned char b[4];
  if (auto r = FileRead(f, b, 4); !r) return ForwardSpaced(r, "FujiChkRecLen");
  if (LoadI32(b) != length) return FailSpaced("Bad RecLenCheck value", "FujiChkRecLen");
  return Ok();
}

Result<std::span<const unsigned char>> GetLaheyRec(RecordFile& f) {
  std::int32_t length = 0;
  std::int32_t check = 0;
  if (f.Fujitsu()) {
    auto l = FujiGetRecLen(f);
    if (!l) return ForwardSpaced(l, "GetLaheyRec");
    length = *l;
  } else {
    auto l = GetRecLen(f);
    if (!l) return ForwardSpaced(l, "GetLaheyRec");
    length = l->length;
    check = l->check;
  }
  if (length > MaxHarBuf) return FailSpaced("File record too long", "GetLaheyRec");
  // Checked before the buffer grows, so a lying length costs no memory.
  if (length > f.Remaining()) return FailSpaced(kEof, "GetLaheyRec");
  // The trailer is read after the view is taken; it must not move the payload.
  if (auto r = f.Hold(std::int64_t{length} + 4); !r) return ForwardSpaced(r, "GetLaheyRec");
  auto buf = f.View(length);
  if (!buf) return ForwardSpaced(buf, "GetLaheyRec");
  auto c = f.Fujitsu() ? FujiChkRecLen(f, length) : ChkRecLen(f, check);
  if (!c) return ForwardSpaced(c, "GetLaheyRec");
  return std::span<const unsigned char>(*buf, static_cast<std::size_t>(length));
}

namespace {

Status WritePrefix(RecordFile& f, std::int64_t length) {
  if (f.Fujitsu()) {
    if (length > kMaxFujiPayload) return Fail("Record too long to write");
    std::int32_t l = static_cast<std::int32_t>(length);
    return f.WriteBytes(&l, 4);
  }
  if (length > kMaxLaheyPayload) return Fail("Record too long to write");
  std::string p = Encode(length);
  return f.WriteBytes(p.data(), static_cast<std::int64_t>(p.size()));
}

Status WriteTrailer(RecordFile& f, std::int64_t length) {
  if (f.Fujitsu()) {
    std::int32_t l = static_cast<std::int32_t>(length);
    return f.WriteBytes(&l, 4);
  }
  std::string t = Encode(length + 1 + ExtraBytes(length));
  std::reverse(t.begin(), t.end());
  return f.WriteBytes(t.data(), static_cast<std::int64_t>(t.size()));
}

}  // namespace

Status WriteLaheyRec(RecordFile& f, const void* bytes, std::int32_t length) {
  if (length < 0) return FailSpaced("RecLen<0", "WriteLaheyRec");
  if (auto r = WritePrefix(f, length); !r) return ForwardSpaced(r, "WriteLaheyRec");
  if (auto r = f.WriteBytes(bytes, length); !r) return ForwardSpaced(r, "WriteLaheyRec");
  if (auto r = WriteTrailer(f, length); !r) return ForwardSpaced(r, "WriteLaheyRec");
  return Ok();
}

Status WriteRecBuf(RecordFile& f, const void* fixed, std::int32_t fixed_size, const void* elements,
                   std::int64_t count, std::int32_t elem_size) {
  std::int64_t s = std::max<std::int32_t>(fixed_size, 0);
  std::int64_t elems = count > 0 ? count * std::max<std::int32_t>(elem_size, 0) : 0;
  std::int64_t length = 4 + s + elems;
  if (auto r = WritePrefix(f, length); !r) return ForwardSpaced(r, "WriteRecBuf");
  if (!f.WriteBytes("    ", 4)) return FailSpaced("Count<>LenHead", "WriteRecBuf");
  if (s > 0 && !f.WriteBytes(fixed, s)) return FailSpaced("Count<>StrucSiz", "WriteRecBuf");
  if (elems > 0 && !f.WriteBytes(elements, elems)) {
    return FailSpaced("Count<>LenElms", "WriteRecBuf");
  }
  if (auto r = WriteTrailer(f, length); !r) return ForwardSpaced(r, "WriteRecBuf");
  return Ok();
}

Result<RecView> GetRecBuf(RecordFile& f, std::int32_t fixed_size, std::int32_t elem_size) {
  if (elem_size == 0) return FailSpaced("sizelms=0", "GetRecBuf");
  if (elem_size < 0 || fixed_size < 0) return FailSpaced("Bad record shape", "GetRecBuf");
  auto rec = GetLaheyRec(f);
  if (!rec) return ForwardSpaced(rec, "GetRecBuf");
  std::int64_t length = static_cast<std::int64_t>(rec->size());
  std::int64_t need = std::int64_t{fixed_size} + 4;
  if (length < need) {
    return FailSpaced("Record too Short " + std::to_string(length) + "/" + std::to_string(need),
                      "GetRecBuf");
  }
  std::int64_t rest = length - need;
  if (rest % elem_size != 0) return FailSpaced("Non-Unit Record Length", "GetRecBuf");
  RecView v;
  v.fixed = rec->subspan(4, static_cast<std::size_t>(fixed_size));
  v.elements = rec->subspan(static_cast<std::size_t>(need));
  v.count = rest / elem_size;
  return v;
}

Result<HeadName> SkipHead(RecordFile& f) {
  HeadName h;
  while (!f.AtEnd()) {
    std::int32_t length = 0;
    std::int32_t check = 0;
    if (f.Fujitsu()) {
      auto l = FujiGetRecLen(f);
      if (!l) return ForwardSpaced(l, "SkipHead");
      length = *l;
    } else {
      auto l = GetRecLen(f);
      if (!l) return ForwardSpaced(l, "SkipHead");
      length = l->length;
      check = l->check;
    }
    if (length != 4) {
      if (f.Fujitsu()) {
        if (auto r = f.SkipBytes(length); !r) return ForwardSpaced(r, "SkipHead");
        if (auto r = FujiChkRecLen(f, length); !r) return ForwardSpaced(r, "SkipHead");
      } else {
        if (auto r = f.SkipBytes(std::int64_t{length} + ExtraBytes(check) + 1); !r) {
          return ForwardSpaced(r, "SkipHead");
        }
      }
      continue;
    }
    char name[4];
    if (auto r = FileRead(f, name, 4); !r) return ForwardSpaced(r, "SkipHead");
    auto c = f.Fujitsu() ? FujiChkRecLen(f, 4) : ChkRecLen(f, check);
    if (!c) return ForwardSpaced(c, "SkipHead");
    h.found = true;
    h.name.assign(name, 4);
    return h;
  }
  return h;
}

Result<HeadName> GetHead(RecordFile& f) {
  auto h = SkipHead(f);
  if (!h) return ForwardSpaced(h, "GetHead");
  for (char& c : h->name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return h;
}

}  // namespace yl
