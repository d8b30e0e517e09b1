#pragma once
// The ZIP container: listing, creating and unpacking archives. Unpacking never trusts the
// archive: every entry must name a plain file or folder inside the target, the sizes it
// declares must fit the limits and the disk, and nothing is moved into the target until
// every entry has been unpacked whole into a staging folder inside it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/status.h"

namespace yl::archive {

struct ZipEntry {
  std::string name;  // as stored, "/" between folders
  std::uint64_t size = 0;
  std::uint64_t compressed_size = 0;
  std::uint64_t time100ns = 0;  // the entry's date and time, 0 when it has none
  bool is_directory = false;
  bool is_symlink = false;
  bool is_executable = false;
};

// Progress (0..1) lets a window keep painting; a true `cancelled` stops the work.
struct ZipProgress {
  std::function<void(double fraction)> progress;
  std::function<bool()> cancelled;
};

// The entries in stored order. A file that is not a ZIP archive, or a damaged one, fails
// with a text naming the file and the library's reason.
Result<std::vector<ZipEntry>> ListZip(const std::string& archive);
// The bytes of one entry, found by name ignoring case; nullopt when absent. Entries
// larger than max_bytes are refused.
Result<std::optional<std::string>> ReadZipEntry(const std::string& archive, const std::string& name,
                                                std::uint64_t max_bytes = 64u << 20);

struct ZipItem {
  std::string source;       // the file on disk
  std::string stored_name;  // its name inside the archive
};
struct ZipBytesItem {
  std::string stored_name;
  std::string bytes;
};

enum class ZipOutcome { kDone, kCancelled, kFailed };
struct ZipResult {
  ZipOutcome outcome = ZipOutcome::kDone;
  std::string text;  // why it failed
  bool ok() const { return outcome == ZipOutcome::kDone; }
};

// Writes a new archive at `archive` (replacing one already there only when the new one is
// complete), deflating every item. A file that cannot be opened fails with "Error zipping
// file\r\n{file}\r\nThe file seems to be locked by another application.\r\nIf so, free the
// file and try again."; other failures with the library's reason. Nothing is left at
// `archive` after a failure or a cancel unless it was there before.
ZipResult CreateZip(const std::string& archive, const std::vector<ZipItem>& files,
                    const std::vector<ZipBytesItem>& texts = {}, const ZipProgress& progress = {});

// Adds files to an existing archive, replacing entries of the same names.
ZipResult AddToZip(const std::string& archive, const std::vector<ZipItem>& files);

// Why a stored name may not be unpacked ("" when it may): absolute, a drive, "..", a
// backslash, a control character or an empty component.
std::string UnsafeEntryReason(const std::string& name);

struct ExtractLimits {
  std::uint64_t max_total_bytes = std::uint64_t{16} << 30;
  std::uint64_t max_entries = 50000;
  // Kept free on the target's disk beyond what the entries declare.
  std::uint64_t reserve_bytes = std::uint64_t{16} << 20;
};

enum class OverwriteAnswer { kYes, kNo, kAll, kCancel };

struct ExtractOptions {
  // Only these entries (names compared ignoring case); empty for all.
  std::vector<std::string> only;
  // Entries never unpacked (names compared ignoring case).
  std::vector<std::string> skip;
  // Asked once per file that already exists in the target; unset: every one is replaced.
  std::function<OverwriteAnswer(const std::string& path)> ask_overwrite;
  ExtractLimits limits;
  ZipProgress progress;
};

enum class ExtractKind { kDone, kCancelled, kRefused, kFailed };
struct ExtractResult {
  ExtractKind kind = ExtractKind::kDone;
  std::string text;                  // why it was refused or failed
  std::vector<std::string> written;  // full paths now in the target, in archive order
  std::vector<std::string> kept;     // existing files the user chose to keep
  bool ok() const { return kind == ExtractKind::kDone; }
};

// Unpacks into target_dir (created when missing). On anything but success the target is
// as it was: entries are unpacked into a staging folder inside it and renamed into place
// only when all are whole, and a failed rename puts back what it had replaced. Each file
// gets the entry's time and, when the entry says so, the execute bit.
ExtractResult ExtractZip(const std::string& archive, const std::string& target_dir,
                         const ExtractOptions& options = {});

// A file unpacked into a staging folder and where it goes below the target.
struct PlacedFile {
  std::string staged;
  std::string rel;  // "/" between folders
};
// Moves staged files (and makes the folders dirs) into target_dir: every overwrite question
// is asked first, so Cancel changes nothing, and a move that fails half way puts back what
// it had replaced. staging_dir (on the target's file system) keeps the replaced files
// until the end.
ExtractResult PlaceFiles(const std::string& target_dir, const std::vector<PlacedFile>& files,
                         const std::vector<std::string>& dirs,
                         const std::function<OverwriteAnswer(const std::string&)>& ask_overwrite,
                         const std::string& staging_dir);

}  // namespace yl::archive
