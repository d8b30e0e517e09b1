#include "platform/files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/file_time.h"
#include "platform/paths.h"

namespace yl {

namespace {

// Errors that another attempt cannot mend; retrying them would only waste time.
bool IsPermanent(int err) {
  switch (err) {
    case ENOENT:
    case EACCES:
    case EPERM:
    case ENOTDIR:
    case EISDIR:
    case EROFS:
    case ENOSPC:
    case ENAMETOOLONG:
    case ELOOP:
      return true;
    default:
      return false;
  }
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) return true;
    int r = ::close(fd_);
    fd_ = -1;
    return r == 0;
  }

 private:
  int fd_;
};

// One copy attempt; returns 0 on success or the errno that ended it.
int CopyOnce(const std::string& src, const std::string& dst) {
  Fd in(::open(src.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return errno;
  Fd out(::open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (out.get() < 0) return errno;
  std::vector<char> buf(1 << 18);
  for (;;) {
    ssize_t n = ::read(in.get(), buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    const char* p = buf.data();
    while (n > 0) {
      ssize_t w = ::write(out.get(), p, static_cast<std::size_t>(n));
      if (w < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      p += w;
      n -= w;
    }
  }
  if (!out.Close()) return errno ? errno : EIO;
  return 0;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return DirectoryExists(path);
}

bool DeleteFileIfExists(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return true;
  struct stat st;
  return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

Status DeleteFileWithRetries(const std::string& path) {
  for (int attempt = 1; attempt <= 99; ++attempt) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return Ok();
    if (IsPermanent(errno)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return Fail("Could not delete file " + path);
}

Status DeleteAllFilesInDir(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return Fail("Cannot open directory " + dir);
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
  ::closedir(d);
  for (const auto& name : names) {
    std::string p = JoinPath(dir, name);
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
    auto r = DeleteFileWithRetries(p);
    if (!r) return r;
  }
  return Ok();
}

bool AnyFileMatching(const std::string& dir, const std::string& pattern) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return false;
  bool found = false;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) == 0 &&
        FileExists(JoinPath(dir, name))) {
      found = true;
      break;
    }
  }
  ::closedir(d);
  return found;
}

bool FilesEqual(const std::string& a, const std::string& b) {
  auto sa = StatFile(a);
  auto sb = StatFile(b);
  if (!sa || !sb || sa->size != sb->size) return false;
  std::FILE* fa = std::fopen(a.c_str(), "rb");
  std::FILE* fb = std::fopen(b.c_str(), "rb");
  bool equal = fa && fb;
  std::vector<char> ba(1 << 16), bb(1 << 16);
  while (equal) {
    std::size_t na = std::fread(ba.data(), 1, ba.size(), fa);
    std::size_t nb = std::fread(bb.data(), 1, bb.size(), fb);
    if (na != nb || !std::equal(ba.begin(), ba.begin() + static_cast<long>(na), bb.begin())) {
      equal = false;
    }
    if (na == 0) break;
  }
  if (fa) std::fclose(fa);
  if (fb) std::fclose(fb);
  return equal;
}

Status BlockCopyWithRetries(const std::string& src, const std::string& dst, Notices* notices) {
  int attempts = 0;
  int err = 0;
  while (attempts < 200) {
    ++attempts;
    err = CopyOnce(src, dst);
    if (err == 0 || IsPermanent(err)) break;
  }
  if (attempts > 1 && notices) {
    notices->push_back(InformationMessage("FileCopy: NTries = " + std::to_string(attempts)));
  }
  if (err != 0) return Fail("Cannot copy " + src + " to " + dst);
  return Ok();
}

Status CopyKeepingStamp(const std::string& src, const std::string& dst, bool keep_stamp,
                        Notices* notices) {
  if (!FileExists(src)) return Fail("Source file " + src + " does not exist");
  if (FileExists(dst) && !DeleteFileIfExists(dst)) return Fail("Could not delete dest file");
  (void)BlockCopyWithRetries(src, dst, notices);
  if (!FileExists(dst)) {
    if (notices) notices->push_back(InformationMessage("FileCopy failed, trying CopyFile instead"));
    return Fail("Dest not created");
  }
  if (keep_stamp) {
    auto t = FileTime100ns(src);
    if (t) SetFileTime100ns(dst, *t);
    if (!FileExists(dst)) return Fail("Dest file " + dst + " does not exist");
    if (!t || FileId(dst) != FileId(src)) return Fail("Dest has wrong FileId");
  }
  return Ok();
}

Status CopyIntoDirIfChanged(const std::string& src, const std::string& dest_dir, Notices* notices) {
  if (!FileExists(src)) return Fail("OrigFile " + src + " does not exist");
  if (!DirectoryExists(dest_dir) && !ForceDirectories(dest_dir)) {
    return Fail("DestDir " + dest_dir + " does not exist");
  }
  std::string dst = JoinPath(dest_dir, FileNameOf(src));
  auto ts = FileTime100ns(src);
  auto td = FileTime100ns(dst);
  if (ts && td && FileExists(dst) && FileId(src) == FileId(dst)) return Ok();
  return CopyKeepingStamp(src, dst, true, notices);
}

Status CopyIntoDirReplacing(const std::string& src, const std::string& dest_dir, Notices* notices) {
  if (!DirectoryExists(dest_dir)) return Fail("DestDir " + dest_dir + " does not exist");
  std::string dst = JoinPath(dest_dir, FileNameOf(src));
  if (FileExists(dst) && !DeleteFileWithRetries(dst)) {
    return Fail("Could not delete DestFile " + dst);
  }
  return CopyKeepingStamp(src, dst, false, notices);
}

Status WriteFileAtomically(const std::string& path, const std::string& content) {
  AtomicFile out;
  if (!out.Create(path)) return Fail("Cannot create file " + path);
  if (std::fwrite(content.data(), 1, content.size(), out.stream()) != content.size()) {
    out.MarkFailed();
  }
  if (out.Commit() != CommitOutcome::kDone) return Fail("Cannot write file " + path);
  return Ok();
}

Result<std::string> ReadWholeFile(const std::string& path) {
  if (path.empty()) return Fail("Blank File Name");
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return Fail("Cannot open file " + path);
  std::string data;
  char buf[1 << 16];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  bool err = std::ferror(f) != 0;
  std::fclose(f);
  if (err) return Fail("read error from file " + path);
  return data;
}

}  // namespace yl
