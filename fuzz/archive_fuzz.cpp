// Lists and restores arbitrary bytes as a ZIP archive into a scratch directory made at the
// first call. Whatever the bytes hold, the restore either refuses or fails without leaving
// anything in the target, or writes only plain files inside it; nothing ever appears
// beside the target.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "archive/zip_file.h"
#include "fuzz_support.h"
#include "platform/dir_tree.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace {

namespace fs = std::filesystem;

struct Scratch {
  std::string base;
  Scratch() {
    auto made = yl::MakeStagingDirectory(fs::temp_directory_path().string(), "yl-archive-fuzz-");
    if (!made) std::abort();
    base = *made;
  }
  ~Scratch() { (void)yl::RemoveTree(base); }
};

// Every path below dir is a plain file or folder (no link), counted.
std::size_t PlainTree(const fs::path& dir) {
  std::size_t n = 0;
  for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
       ++it) {
    if (it->is_symlink() || !(it->is_regular_file() || it->is_directory())) std::abort();
    ++n;
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Scratch scratch;
  const std::string zip = yl::JoinPath(scratch.base, "in.zip");
  const std::string target = yl::JoinPath(scratch.base, "target");
  yl::WriteFileAtomically(zip, yl::fuzz::Text(data, size));
  (void)yl::archive::ListZip(zip);
  (void)yl::archive::ReadZipEntry(zip, "xxfltime.xxx", 1 << 16);

  yl::archive::ExtractOptions options;
  options.limits.max_total_bytes = 1 << 20;
  options.limits.max_entries = 64;
  const yl::archive::ExtractResult got = yl::archive::ExtractZip(zip, target, options);
  std::size_t beside = 0;
  for (const auto& e : fs::directory_iterator(scratch.base)) {
    (void)e;
    ++beside;
  }
  if (beside > 2) std::abort();  // only in.zip and the target
  if (fs::exists(target)) {
    const std::size_t n = PlainTree(target);
    if (!got.ok() && n != 0) std::abort();  // nothing half restored
    if (got.ok() && got.written.size() > n) std::abort();
  }
  (void)yl::RemoveTree(target);
  return 0;
}
