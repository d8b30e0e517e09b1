#pragma once
// A file that replaces its target only when it is complete: it is written under a
// temporary name in the target's directory (so the rename stays on one file system),
// synced, and renamed over the target. Until Commit, the old file stays as it was; a
// file dropped without Commit leaves nothing behind.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace yl {

enum class CommitOutcome {
  kDone,
  kWriteFailed,   // a write, the flush, the sync or the close failed: nothing was replaced
  kRenameFailed,  // the complete file could not take the target's name
};

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&& other) noexcept;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file; false when it cannot be created. With buffer_bytes, the
  // stream writes through a buffer of that size.
  bool Create(const std::string& path, std::size_t buffer_bytes = 0);
  bool IsOpen() const { return stream_ != nullptr; }
  // The stream to write to; it stays the AtomicFile's to close.
  std::FILE* stream() const { return stream_; }
  const std::string& path() const { return path_; }

  // Records that the caller's own write failed, so Commit refuses.
  void MarkFailed() { failed_ = true; }
  CommitOutcome Commit();
  // Closes and removes the temporary file; the target is left alone.
  void Discard();

 private:
  std::FILE* stream_ = nullptr;
  std::string path_;
  std::string temp_path_;
  std::unique_ptr<char[]> buffer_;
  bool failed_ = false;
};

}  // namespace yl
