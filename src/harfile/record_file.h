#pragma once
// Fortran-style unformatted sequential records, in the two framings the family's
// programs produce: the "Lahey" variant (a 0xFD file mark, variable-length length
// prefixes and reversed trailers) and the "Fujitsu" variant (a 4-byte length before and
// after every record). Every failure comes back as an error text with " [Routine]"
// suffixes appended on the way out.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/status.h"
#include "platform/atomic_file.h"
#include "platform/read_at_file.h"

namespace yl {

// The longest record payload a reader accepts.
inline constexpr std::int32_t MaxHarBuf = 8'000'000;
// The first byte of a Lahey-variant file.
inline constexpr unsigned char kLaheyMark = 0xFD;

// An open record file: the handle, the variant flag decided when it was opened or
// created, and the read window that record reads are served from. Reads come from the
// file in large blocks into that window and records are handed out as views into it, so
// a record costs no copy of its own; a skip past the window costs no reading at all.
class RecordFile {
 public:
  RecordFile();
  ~RecordFile();
  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&& other) noexcept;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  bool IsOpen() const { return file_ != nullptr || reader_.IsOpen() || out_ != nullptr; }
  bool Fujitsu() const { return fujitsu_; }
  const std::string& path() const { return path_; }
  std::int64_t Position() const { return pos_; }
  std::int64_t Size() const { return size_; }
  std::int64_t Remaining() const { return size_ > pos_ ? size_ - pos_ : 0; }
  bool AtEnd() const { return pos_ >= size_; }

  // Closes the file; for a file being written, a failed final flush is reported as
  // "cannot write to disk (probably no space)". A file opened to replace its target
  // takes the target's name here: "Can't create file: {path}" when it cannot.
  Status Close();
  // Drops a file opened to replace its target, leaving the target as it was.
  void Discard();

  // Low-level access used by the record routines below.
  static Result<RecordFile> OpenForRead(const std::string& path);
  // Reads bytes held in memory (they must outlive the RecordFile); name stands for the
  // path in messages.
  static Result<RecordFile> OpenForRead(std::string_view bytes, const std::string& name);
  static Result<RecordFile> OpenForWrite(const std::string& path, bool fujitsu);
  // Writes under a temporary name that replaces path only at a successful Close.
  static Result<RecordFile> OpenForReplace(const std::string& path, bool fujitsu);
  // Writes into memory: `out` receives the bytes when the file is closed.
  static Result<RecordFile> OpenForWrite(std::string* out, bool fujitsu);
  void SetFujitsu(bool fujitsu) { fujitsu_ = fujitsu; }
  // Exactly count bytes, or "Unexpected end-of-file [FileRead]".
  Status ReadBytes(void* dst, std::int64_t count);
  // The next count bytes as one contiguous view, valid until the next read; the
  // position moves past them. Refused (end of file) before any memory is set aside
  // when the file does not hold them.
  Result<const unsigned char*> View(std::int64_t count);
  // Keeps the next count bytes (or all up to the end) in the window together, so that a
  // view of the first of them survives reading the others.
  Status Hold(std::int64_t count);
  // Moves forward; running past the end is "Unexpected end-of-file [FileRead]".
  Status SkipBytes(std::int64_t count);
  // Moves to an absolute position within the file.
  Status Seek(std::int64_t position);
  Status Rewind();
  // "cannot write to disk (probably no space)" on any failure.
  Status WriteBytes(const void* src, std::int64_t count);

 private:
  void Release();
  // Makes [pos_, pos_ + count) contiguous in the window; count <= Remaining().
  Status Fill(std::int64_t count);
  Status ReadAt(std::int64_t offset, unsigned char* dst, std::int64_t count);
  std::FILE* file_ = nullptr;  // writing to a file (owned by replacing_ when it is open)
  AtomicFile replacing_;
  std::string* out_ = nullptr;  // writing into memory: receives written_ at Close
  std::string written_;
  ReadAtFile reader_;        // reading a file
  std::string_view memory_;  // reading bytes held in memory
  bool in_memory_ = false;
  std::string path_;
  bool fujitsu_ = false;
  bool writing_ = false;
  bool write_failed_ = false;
  bool jumped_ = false;  // the last move left the window: read little until reading runs on
  std::int64_t pos_ = 0;
  std::int64_t size_ = 0;
  std::unique_ptr<unsigned char[]> win_;
  std::int64_t win_cap_ = 0;
  std::int64_t win_off_ = 0;  // file position of win_[0]
  std::int64_t win_len_ = 0;
  std::unique_ptr<char[]> io_buf_;
};

// A Lahey prefix: payload length L and the value T = L + 1 + n its trailer must hold.
struct LaheyRecLen {
  std::int32_t length = 0;
  std::int32_t check = 0;
};

// A data record as read: the fixed part (after the 4 filler bytes), the element array,
// and the element count. The views point into the file's read buffer and are valid
// until the next read through the same file.
struct RecView {
  std::span<const unsigned char> fixed;
  std::span<const unsigned char> elements;
  std::int64_t count = 0;
};

// The next header name as found by GetHead: 4 upper-case characters, or blanks.
struct HeadName {
  bool found = false;
  std::string name = "    ";
};

Result<RecordFile> CreateLaheyFile(const std::string& path, bool fujitsu);
Result<RecordFile> CreateLaheyFile(std::string* out, bool fujitsu);
// The file replaces the one at path only when it is closed without a failure; errors
// are tagged as CreateLaheyFile's.
Result<RecordFile> ReplaceLaheyFile(const std::string& path, bool fujitsu);
// True for the Fujitsu variant, false for the Lahey variant.
Result<bool> IsWhichLaheyFile(const std::string& path);
// Detects the variant and opens the file positioned at its first record.
Result<RecordFile> OpenLaheyFile(const std::string& path);
// The same over bytes held in memory, named `name` in messages.
Result<RecordFile> OpenLaheyFile(std::string_view bytes, const std::string& name);

Status FileRead(RecordFile& f, void* dst, std::int64_t count);
Result<LaheyRecLen> GetRecLen(RecordFile& f);
Status ChkRecLen(RecordFile& f, std::int32_t check);
Result<std::int32_t> FujiGetRecLen(RecordFile& f);
Status FujiChkRecLen(RecordFile& f, std::int32_t length);
// One whole record into the file's read buffer; refuses payloads above MaxHarBuf.
Result<std::span<const unsigned char>> GetLaheyRec(RecordFile& f);
Status WriteLaheyRec(RecordFile& f, const void* bytes, std::int32_t length);
// Payload: 4 blanks, the fixed part of fixed_size bytes, count elements of elem_size.
Status WriteRecBuf(RecordFile& f, const void* fixed, std::int32_t fixed_size, const void* elements,
                   std::int64_t count, std::int32_t elem_size);
Result<RecView> GetRecBuf(RecordFile& f, std::int32_t fixed_size, std::int32_t elem_size);
// Skips to the next record of exactly 4 bytes; at the end of the file, found is false.
Result<HeadName> SkipHead(RecordFile& f);
Result<HeadName> GetHead(RecordFile& f);

// Bytes a record of that payload length takes in the file, framing included.
std::int64_t FramedSize(std::int64_t payload, bool fujitsu);

// Encoders shared with the tests: the prefix of a payload length and the trailer bytes.
std::string LaheyPrefix(std::int32_t length);
std::string LaheyTrailer(std::int32_t length);

}  // namespace yl
