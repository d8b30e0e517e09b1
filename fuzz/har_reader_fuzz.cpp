// Feeds arbitrary bytes to the Header Array reader as a file. Whatever the reader
// accepts must also survive being written and read back.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "harfile/har_file.h"

namespace {

std::string TempPath(const char* tag) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/yl_fuzz_" + tag + "_" +
         std::to_string(getpid()) + ".har";
}

bool WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string in = TempPath("in");
  static const std::string out = TempPath("out");
  if (!WriteBytes(in, data, size)) return 0;

  bool bad = false;
  auto lax = yl::ReadHarFile(in, yl::HarReadOptions{true}, &bad);
  auto strict = yl::ReadHarFile(in);
  if (strict && !lax) __builtin_trap();  // skipping bad headers never makes things worse
  (void)yl::ReadHeaderFromHarFile(in, "DTXT");
  (void)yl::ListHarHeaders(in);
  (void)yl::ReadHeadersFromHarFile(in, {"XXCD", "DTXT"});

  if (strict && strict->total_reals <= 1e6) {
    for (bool sparse : {false, true}) {
      yl::HarFile copy = *std::move(strict);
      if (!yl::WriteHarFile(out, "fuzz", "now", copy, yl::HarWriteOptions{sparse})) break;
      auto back = yl::ReadHarFile(out);
      if (!back) __builtin_trap();  // we wrote a file we cannot read
      if (back->headers.size() != copy.headers.size()) __builtin_trap();
      strict = std::move(copy);
    }
  }
  std::remove(out.c_str());
  return 0;
}
