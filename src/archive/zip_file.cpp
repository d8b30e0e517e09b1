#include "archive/zip_file.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "core/text_util.h"
#include "platform/dir_tree.h"
#include "platform/disk_space.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/read_at_file.h"

namespace yl::archive {

namespace {

// Unix file types in the upper half of an entry's external attributes.
constexpr std::uint32_t kTypeMask = 0170000;
constexpr std::uint32_t kTypeFile = 0100000;
constexpr std::uint32_t kTypeDir = 0040000;
constexpr std::uint32_t kTypeLink = 0120000;

struct ZipCloser {
  void operator()(zip_t* z) const {
    if (z != nullptr) zip_discard(z);
  }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

struct FileCloser {
  void operator()(zip_file_t* f) const {
    if (f != nullptr) zip_fclose(f);
  }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, FileCloser>;

struct StdioCloser {
  void operator()(std::FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};

std::string ErrorText(int code) {
  zip_error_t e;
  zip_error_init_with_code(&e, code);
  std::string text = zip_error_strerror(&e);
  zip_error_fini(&e);
  return text;
}

Result<ZipHandle> OpenForReading(const std::string& archive) {
  if (!FileExists(archive)) return Fail("Cannot open file " + archive);
  int code = 0;
  zip_t* z = zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (z == nullptr) {
    return Fail("Cannot read the ZIP file " + archive + "\r\n(" + ErrorText(code) + ")");
  }
  return ZipHandle(z);
}

std::uint64_t EntryTime(const zip_stat_t& st) {
  if ((st.valid & ZIP_STAT_MTIME) == 0 || st.mtime <= 0) return 0;
  return UnixNanosTo100ns(static_cast<std::int64_t>(st.mtime), 0);
}

Result<std::vector<ZipEntry>> Entries(zip_t* z, const std::string& archive) {
  const zip_int64_t n = zip_get_num_entries(z, 0);
  std::vector<ZipEntry> out;
  for (zip_int64_t i = 0; i < n; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st) != 0 ||
        (st.valid & ZIP_STAT_NAME) == 0) {
      return Fail("Cannot read entry " + std::to_string(i + 1) + " of the ZIP file " + archive +
                  "\r\n(" + zip_strerror(z) + ")");
    }
    ZipEntry e;
    e.name = st.name;
    e.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    e.compressed_size = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    e.time100ns = EntryTime(st);
    e.is_directory = !e.name.empty() && e.name.back() == '/';
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(z, static_cast<zip_uint64_t>(i), 0, &opsys, &attributes) ==
            0 &&
        opsys == ZIP_OPSYS_UNIX) {
      const std::uint32_t mode = attributes >> 16;
      const std::uint32_t type = mode & kTypeMask;
      e.is_symlink = type == kTypeLink;
      if (type == kTypeDir) e.is_directory = true;
      // Devices and pipes have no place in an archive of files: treat them as links.
      if (type != 0 && type != kTypeFile && type != kTypeDir && type != kTypeLink) {
        e.is_symlink = true;
      }
      e.is_executable = (mode & 0111) != 0 && type != kTypeDir;
    }
    out.push_back(std::move(e));
  }
  return out;
}

bool InList(const std::vector<std::string>& list, const std::string& name) {
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& s) { return SameText(s, name); });
}

std::string WithoutTrailingSlash(std::string name) {
  while (!name.empty() && name.back() == '/') name.pop_back();
  return name;
}

int CancelCallback(zip_t*, void* state) {
  const auto* p = static_cast<const ZipProgress*>(state);
  return p->cancelled && p->cancelled() ? 1 : 0;
}

void ProgressCallback(zip_t*, double fraction, void* state) {
  const auto* p = static_cast<const ZipProgress*>(state);
  if (p->progress) p->progress(fraction);
}

}  // namespace

Result<std::vector<ZipEntry>> ListZip(const std::string& archive) {
  auto z = OpenForReading(archive);
  if (!z) return Fail(z.error());
  return Entries(z->get(), archive);
}

Result<std::optional<std::string>> ReadZipEntry(const std::string& archive, const std::string& name,
                                                std::uint64_t max_bytes) {
  auto z = OpenForReading(archive);
  if (!z) return Fail(z.error());
  const zip_int64_t index = zip_name_locate(z->get(), name.c_str(), ZIP_FL_NOCASE);
  if (index < 0) return std::optional<std::string>{};
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(z->get(), static_cast<zip_uint64_t>(index), 0, &st) != 0 ||
      (st.valid & ZIP_STAT_SIZE) == 0) {
    return Fail("Cannot read " + name + " in the ZIP file " + archive);
  }
  if (st.size > max_bytes) {
    return Fail("The entry " + name + " of the ZIP file " + archive + " is too large to read");
  }
  ZipFileHandle f(zip_fopen_index(z->get(), static_cast<zip_uint64_t>(index), 0));
  if (!f) return Fail("Cannot read " + name + " in the ZIP file " + archive);
  std::string bytes(static_cast<std::size_t>(st.size), '\0');
  zip_int64_t got = bytes.empty() ? 0 : zip_fread(f.get(), bytes.data(), bytes.size());
  char extra;
  if (got != static_cast<zip_int64_t>(bytes.size()) || zip_fread(f.get(), &extra, 1) != 0) {
    return Fail("Error unzipping file\r\n" + name + "\r\nfrom zip file\r\n" + archive + "\r\n" +
                zip_file_strerror(f.get()));
  }
  return std::optional<std::string>{std::move(bytes)};
}

namespace {

ZipResult WriteZip(const std::string& archive, int flags, const std::vector<ZipItem>& files,
                   const std::vector<ZipBytesItem>& texts, const ZipProgress& progress) {
  auto fail = [](std::string text) { return ZipResult{ZipOutcome::kFailed, std::move(text)}; };
  // An unreadable file is named before the library, which reads only at the end, would
  // report it without its name.
  for (const ZipItem& item : files) {
    ReadAtFile probe;
    if (!probe.Open(item.source)) {
      return fail("Error zipping file\r\n" + item.source +
                  "\r\nThe file seems to be locked by another application.\r\nIf so, free the "
                  "file and try again.");
    }
  }
  int code = 0;
  ZipHandle z(zip_open(archive.c_str(), flags, &code));
  if (!z) return fail("Cannot open the ZIP file " + archive + "\r\n(" + ErrorText(code) + ")");
  auto add = [&](zip_source_t* source, const std::string& stored, std::uint32_t mode,
                 const std::string& shown) -> std::optional<ZipResult> {
    if (source == nullptr) {
      return fail("Error zipping file\r\n" + shown +
                  "\r\n(Is this file locked by another application, or is disk full?)\r\n" +
                  zip_strerror(z.get()));
    }
    const zip_int64_t index =
        zip_file_add(z.get(), stored.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      return fail("Error zipping file\r\n" + shown +
                  "\r\n(Is this file locked by another application, or is disk full?)\r\n" +
                  zip_strerror(z.get()));
    }
    const auto i = static_cast<zip_uint64_t>(index);
    zip_set_file_compression(z.get(), i, ZIP_CM_DEFLATE, 0);
    zip_file_set_external_attributes(z.get(), i, 0, ZIP_OPSYS_UNIX, (kTypeFile | mode) << 16);
    return std::nullopt;
  };
  for (const ZipItem& item : files) {
    const std::uint32_t mode = IsExecutableFile(item.source) ? 0755 : 0644;
    if (auto failed = add(zip_source_file(z.get(), item.source.c_str(), 0, 0), item.stored_name,
                          mode, item.source)) {
      return *failed;
    }
  }
  for (const ZipBytesItem& t : texts) {
    if (auto failed = add(zip_source_buffer(z.get(), t.bytes.data(), t.bytes.size(), 0),
                          t.stored_name, 0644, t.stored_name)) {
      return *failed;
    }
  }
  if (progress.progress) {
    zip_register_progress_callback_with_state(z.get(), 0.01, ProgressCallback, nullptr,
                                              const_cast<ZipProgress*>(&progress));
  }
  if (progress.cancelled) {
    zip_register_cancel_callback_with_state(z.get(), CancelCallback, nullptr,
                                            const_cast<ZipProgress*>(&progress));
  }
  if (zip_close(z.get()) != 0) {
    const bool cancelled = zip_error_code_zip(zip_get_error(z.get())) == ZIP_ER_CANCELLED;
    std::string why = zip_strerror(z.get());
    // zip_close leaves the handle open on failure; the deleter discards it and its
    // temporary file.
    if (cancelled) return ZipResult{ZipOutcome::kCancelled, "Creation of ZIP archive cancelled."};
    return fail("Error zipping file\r\n" + archive +
                "\r\n(Is this file locked by another application, or is disk full?)\r\n" + why);
  }
  (void)z.release();  // closed
  return ZipResult{};
}

}  // namespace

ZipResult CreateZip(const std::string& archive, const std::vector<ZipItem>& files,
                    const std::vector<ZipBytesItem>& texts, const ZipProgress& progress) {
  return WriteZip(archive, ZIP_CREATE | ZIP_TRUNCATE, files, texts, progress);
}

ZipResult AddToZip(const std::string& archive, const std::vector<ZipItem>& files) {
  if (!FileExists(archive)) return ZipResult{ZipOutcome::kFailed, "Cannot open file " + archive};
  return WriteZip(archive, ZIP_CHECKCONS, files, {}, {});
}

std::string UnsafeEntryReason(const std::string& name) {
  if (name.empty()) return "has no name";
  for (unsigned char c : name) {
    if (c < 32 || c == 127) return "holds a control character";
  }
  if (name.find('\\') != std::string::npos) return "holds a backslash";
  if (name.front() == '/') return "is an absolute path";
  if (name.size() >= 2 && name[1] == ':') return "names a drive";
  const std::string bare = WithoutTrailingSlash(name);
  std::size_t start = 0;
  while (start <= bare.size()) {
    std::size_t end = bare.find('/', start);
    if (end == std::string::npos) end = bare.size();
    const std::string part = bare.substr(start, end - start);
    if (part == "..") return "leads out of the folder (\"..\")";
    if (part.empty() || part == ".") return "has an empty or \".\" component";
    start = end + 1;
  }
  return "";
}

namespace {

struct Planned {
  zip_uint64_t index = 0;
  ZipEntry entry;
  std::string rel;     // without a trailing "/"
  std::string staged;  // in the staging folder
  std::string final;   // in the target
};

ExtractResult Refused(std::string text) {
  return ExtractResult{ExtractKind::kRefused, std::move(text), {}, {}};
}

// Creates the missing folders of rel's parents below base, noting each one created.
bool MakeParents(const std::string& base, const std::string& rel,
                 std::vector<std::string>& created) {
  std::string path = RemoveTrailingSep(base);
  std::size_t start = 0;
  for (;;) {
    std::size_t end = rel.find('/', start);
    if (end == std::string::npos) return true;
    path = JoinPath(path, rel.substr(start, end - start));
    if (!DirectoryExists(path)) {
      if (PathExists(path) || !ForceDirectories(path)) return false;
      created.push_back(path);
    }
    start = end + 1;
  }
}

// Unpacks one entry to `to`, refusing more bytes than the entry declared.
std::string UnpackEntry(zip_t* z, const Planned& p, const std::string& archive,
                        const ExtractOptions& options, std::uint64_t& done, std::uint64_t total,
                        bool& cancelled) {
  const std::string error_head =
      "Error unzipping file\r\n" + p.entry.name + "\r\nfrom zip file\r\n" + archive + "\r\n";
  ZipFileHandle f(zip_fopen_index(z, p.index, 0));
  if (!f) return error_head + zip_strerror(z);
  std::unique_ptr<std::FILE, StdioCloser> out(std::fopen(p.staged.c_str(), "wb"));
  if (!out) return error_head + "Is the disk full?";
  std::vector<char> buffer(1 << 16);
  std::uint64_t written = 0;
  for (;;) {
    if (options.progress.cancelled && options.progress.cancelled()) {
      cancelled = true;
      return "Unzipping halted via Cancel button.";
    }
    const zip_int64_t got = zip_fread(f.get(), buffer.data(), buffer.size());
    if (got < 0) return error_head + zip_file_strerror(f.get());
    if (got == 0) break;
    written += static_cast<std::uint64_t>(got);
    if (written > p.entry.size) {
      return error_head + "The entry holds more than the " + std::to_string(p.entry.size) +
             " bytes it declares.";
    }
    if (std::fwrite(buffer.data(), 1, static_cast<std::size_t>(got), out.get()) !=
        static_cast<std::size_t>(got)) {
      return error_head + "Is the disk full?";
    }
    done += static_cast<std::uint64_t>(got);
    if (options.progress.progress && total > 0) {
      options.progress.progress(static_cast<double>(done) / static_cast<double>(total));
    }
  }
  if (written != p.entry.size) {
    return error_head + "The entry ends before the " + std::to_string(p.entry.size) +
           " bytes it declares.";
  }
  if (std::fclose(out.release()) != 0) return error_head + "Is the disk full?";
  if (p.entry.time100ns != 0) (void)SetFileTime100ns(p.staged, p.entry.time100ns);
  if (p.entry.is_executable) (void)SetExecutable(p.staged, true);
  return "";
}

// Undoes a partial move: the new files go, the replaced ones come back, the folders made
// for the move are removed again.
struct MoveLog {
  std::vector<std::pair<std::string, std::string>> placed;    // final, back to staged
  std::vector<std::pair<std::string, std::string>> replaced;  // backup, back to final
  std::vector<std::string> created_dirs;
  void Undo() {
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
      if (!RenamePath(it->first, it->second)) DeleteFileIfExists(it->first);
    }
    for (auto it = replaced.rbegin(); it != replaced.rend(); ++it) {
      (void)RenamePath(it->first, it->second);
    }
    for (auto it = created_dirs.rbegin(); it != created_dirs.rend(); ++it) {
      RemoveEmptyDirectory(*it);
    }
  }
};

}  // namespace

ExtractResult ExtractZip(const std::string& archive, const std::string& target_dir,
                         const ExtractOptions& options) {
  auto z = OpenForReading(archive);
  if (!z) return ExtractResult{ExtractKind::kFailed, z.error(), {}, {}};
  auto entries = Entries(z->get(), archive);
  if (!entries) return ExtractResult{ExtractKind::kFailed, entries.error(), {}, {}};

  const std::string refused_tail = "\r\nNothing was unzipped from " + archive + ".";
  // Every entry is judged, chosen or not: one hostile name says the whole archive is.
  std::set<std::string> seen;
  std::vector<Planned> plan;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < entries->size(); ++i) {
    const ZipEntry& e = (*entries)[i];
    if (std::string why = UnsafeEntryReason(e.name); !why.empty()) {
      return Refused("The entry \"" + e.name + "\" " + why + "." + refused_tail);
    }
    if (e.is_symlink) {
      return Refused("The entry \"" + e.name + "\" is a link, not a file." + refused_tail);
    }
    const std::string rel = WithoutTrailingSlash(e.name);
    if (!seen.insert(rel).second) {
      return Refused("The entry \"" + e.name + "\" is in the archive twice." + refused_tail);
    }
    if (!options.only.empty() && !InList(options.only, rel)) continue;
    if (InList(options.skip, rel)) continue;
    Planned p;
    p.index = static_cast<zip_uint64_t>(i);
    p.entry = e;
    p.rel = rel;
    p.final = JoinPath(target_dir, rel);
    plan.push_back(std::move(p));
    if (!e.is_directory) total += e.size;
  }
  if (plan.size() > options.limits.max_entries) {
    return Refused("The ZIP file holds " + std::to_string(plan.size()) +
                   " entries, more than the " + std::to_string(options.limits.max_entries) +
                   " allowed." + refused_tail);
  }
  if (total > options.limits.max_total_bytes) {
    return Refused("The entries of the ZIP file would unpack to " + std::to_string(total) +
                   " bytes, more than the " + std::to_string(options.limits.max_total_bytes) +
                   " allowed." + refused_tail);
  }
  if (!ForceDirectories(target_dir)) {
    return ExtractResult{ExtractKind::kFailed, "Cannot create directory " + target_dir, {}, {}};
  }
  if (auto space = FreeDiskSpace(target_dir);
      space && total + options.limits.reserve_bytes > space->free_bytes) {
    return Refused("The entries of the ZIP file would unpack to " + std::to_string(total) +
                   " bytes, but only " + std::to_string(space->free_bytes) + " bytes are free." +
                   refused_tail);
  }
  for (const Planned& p : plan) {
    if (auto link = SymlinkBelow(target_dir, p.rel)) {
      return Refused("The entry \"" + p.entry.name + "\" would be written through the link " +
                     *link + "." + refused_tail);
    }
  }

  auto staging = MakeStagingDirectory(target_dir, ".yl-unzip-");
  if (!staging) return ExtractResult{ExtractKind::kFailed, staging.error(), {}, {}};
  struct Cleanup {
    std::string dir;
    ~Cleanup() { (void)RemoveTree(dir); }
  } cleanup{*staging};

  std::uint64_t done = 0;
  for (Planned& p : plan) {
    if (p.entry.is_directory) continue;
    p.staged = JoinPath(*staging, p.rel);
    std::vector<std::string> ignored;
    if (!MakeParents(*staging, p.rel, ignored)) {
      return ExtractResult{ExtractKind::kFailed,
                           "Error unzipping file\r\n" + p.entry.name + "\r\nfrom zip file\r\n" +
                               archive + "\r\nIs the disk full?",
                           {},
                           {}};
    }
    bool cancelled = false;
    std::string error = UnpackEntry(z->get(), p, archive, options, done, total, cancelled);
    if (!error.empty()) {
      return ExtractResult{
          cancelled ? ExtractKind::kCancelled : ExtractKind::kFailed, error, {}, {}};
    }
  }

  std::vector<PlacedFile> files;
  std::vector<std::string> dirs;
  for (const Planned& p : plan) {
    if (p.entry.is_directory) {
      dirs.push_back(p.rel);
    } else {
      files.push_back({p.staged, p.rel});
    }
  }
  return PlaceFiles(target_dir, files, dirs, options.ask_overwrite, *staging);
}

ExtractResult PlaceFiles(const std::string& target_dir, const std::vector<PlacedFile>& files,
                         const std::vector<std::string>& dirs,
                         const std::function<OverwriteAnswer(const std::string&)>& ask_overwrite,
                         const std::string& staging_dir) {
  ExtractResult result;
  // Every question before anything moves, so Cancel leaves the target untouched.
  bool all = !ask_overwrite;
  std::vector<std::pair<const PlacedFile*, std::string>> moves;
  for (const PlacedFile& f : files) {
    const std::string final = JoinPath(target_dir, f.rel);
    if (auto link = SymlinkBelow(target_dir, f.rel)) {
      return Refused("The file \"" + f.rel + "\" would be written through the link " + *link + ".");
    }
    if (PathExists(final)) {
      if (DirectoryExists(final)) {
        return ExtractResult{
            ExtractKind::kFailed, "Cannot replace the folder " + final + " by a file.", {}, {}};
      }
      if (!all) {
        switch (ask_overwrite(final)) {
          case OverwriteAnswer::kYes:
            break;
          case OverwriteAnswer::kAll:
            all = true;
            break;
          case OverwriteAnswer::kNo:
            result.kept.push_back(final);
            continue;
          case OverwriteAnswer::kCancel:
            return ExtractResult{
                ExtractKind::kCancelled, "Unzipping halted via Cancel button.", {}, {}};
        }
      }
    }
    moves.emplace_back(&f, final);
  }

  auto backups = MakeStagingDirectory(staging_dir, ".replaced-");
  if (!backups) return ExtractResult{ExtractKind::kFailed, backups.error(), {}, {}};
  MoveLog log;
  auto move_failed = [&](const std::string& text) {
    log.Undo();
    return ExtractResult{ExtractKind::kFailed, text, {}, {}};
  };
  for (const std::string& d : dirs) {
    if (!MakeParents(target_dir, d + "/", log.created_dirs)) {
      return move_failed("Cannot create directory " + JoinPath(target_dir, d));
    }
  }
  int n = 0;
  for (const auto& [f, final] : moves) {
    if (!MakeParents(target_dir, f->rel, log.created_dirs)) {
      return move_failed("Cannot create the folder of " + final);
    }
    if (PathExists(final)) {
      const std::string backup = JoinPath(*backups, std::to_string(++n));
      if (auto s = RenamePath(final, backup); !s) return move_failed(s.error());
      log.replaced.emplace_back(backup, final);
    }
    if (auto s = RenamePath(f->staged, final); !s) return move_failed(s.error());
    log.placed.emplace_back(final, f->staged);
    result.written.push_back(final);
  }
  return result;
}

}  // namespace yl::archive
