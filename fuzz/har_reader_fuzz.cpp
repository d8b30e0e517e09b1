// Feeds arbitrary bytes to the Header Array reader, from memory. Whatever the reader
// accepts must also survive being written and read back.

#include <cstdint>
#include <string>
#include <string_view>

#include "harfile/har_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  bool bad = false;
  auto lax = yl::ReadHarBytes(in, "in.har", yl::HarReadOptions{true}, &bad);
  auto strict = yl::ReadHarBytes(in, "in.har");
  if (strict && !lax) __builtin_trap();  // skipping bad headers never makes things worse
  (void)yl::ReadHeaderFromHarBytes(in, "in.har", "DTXT");
  (void)yl::ListHarHeaderBytes(in, "in.har");
  (void)yl::ReadHeadersFromHarBytes(in, "in.har", {"XXCD", "DTXT"});

  if (strict && strict->total_reals <= 1e6) {
    for (bool sparse : {false, true}) {
      yl::HarFile copy = *std::move(strict);
      auto out = yl::WriteHarBytes("fuzz", "now", copy, yl::HarWriteOptions{sparse});
      if (!out) break;
      auto back = yl::ReadHarBytes(*out, "out.har");
      if (!back) __builtin_trap();  // we wrote a file we cannot read
      if (back->headers.size() != copy.headers.size()) __builtin_trap();
      strict = std::move(copy);
    }
  }
  return 0;
}
