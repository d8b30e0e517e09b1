#pragma once
// A file read at explicit offsets (pread), so a reader keeps its own position and never
// pays for a seek.

#include <cstdint>
#include <string>

namespace yl {

struct ReadAtResult {
  enum Kind { kDone, kEndOfFile, kFailed };
  Kind kind = kDone;
  std::string reason;  // the system's words for a failed read
};

class ReadAtFile {
 public:
  ReadAtFile() = default;
  ~ReadAtFile();
  ReadAtFile(ReadAtFile&& other) noexcept;
  ReadAtFile& operator=(ReadAtFile&& other) noexcept;
  ReadAtFile(const ReadAtFile&) = delete;
  ReadAtFile& operator=(const ReadAtFile&) = delete;

  // Opens a regular file; false when it cannot be opened or is something else (a
  // directory, a device). The size is taken once, here.
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  std::int64_t Size() const { return size_; }
  void Close();

  // Exactly count bytes from offset, retrying interrupted and short reads; kEndOfFile
  // when the file ends first (it shrank since it was opened).
  ReadAtResult ReadExactly(std::int64_t offset, void* dst, std::int64_t count) const;

 private:
  int fd_ = -1;
  std::int64_t size_ = 0;
};

}  // namespace yl
