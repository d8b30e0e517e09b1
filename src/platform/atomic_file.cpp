#include "platform/atomic_file.h"

#include <unistd.h>

#include <utility>

namespace yl {

AtomicFile::~AtomicFile() { Discard(); }

AtomicFile::AtomicFile(AtomicFile&& other) noexcept { *this = std::move(other); }

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
  if (this != &other) {
    Discard();
    stream_ = std::exchange(other.stream_, nullptr);
    path_ = std::move(other.path_);
    temp_path_ = std::move(other.temp_path_);
    buffer_ = std::move(other.buffer_);
    failed_ = std::exchange(other.failed_, false);
  }
  return *this;
}

bool AtomicFile::Create(const std::string& path, std::size_t buffer_bytes) {
  Discard();
  path_ = path;
  // The process id keeps two writers of the same target off each other's temporary file.
  temp_path_ = path + ".yltmp" + std::to_string(::getpid());
  failed_ = false;
  stream_ = std::fopen(temp_path_.c_str(), "wb");
  if (!stream_) return false;
  if (buffer_bytes > 0) {
    buffer_ = std::make_unique<char[]>(buffer_bytes);
    std::setvbuf(stream_, buffer_.get(), _IOFBF, buffer_bytes);
  }
  return true;
}

CommitOutcome AtomicFile::Commit() {
  if (!stream_) return CommitOutcome::kWriteFailed;
  bool ok = !failed_ && std::ferror(stream_) == 0;
  ok = std::fflush(stream_) == 0 && ok;
  // Synced before the rename: after a crash the target is the old file or the whole new one.
  ok = ::fsync(::fileno(stream_)) == 0 && ok;
  ok = std::fclose(stream_) == 0 && ok;
  stream_ = nullptr;
  buffer_.reset();
  if (!ok) {
    ::unlink(temp_path_.c_str());
    return CommitOutcome::kWriteFailed;
  }
  if (std::rename(temp_path_.c_str(), path_.c_str()) != 0) {
    ::unlink(temp_path_.c_str());
    return CommitOutcome::kRenameFailed;
  }
  return CommitOutcome::kDone;
}

void AtomicFile::Discard() {
  if (!stream_) return;
  std::fclose(stream_);
  stream_ = nullptr;
  buffer_.reset();
  ::unlink(temp_path_.c_str());
}

}  // namespace yl
