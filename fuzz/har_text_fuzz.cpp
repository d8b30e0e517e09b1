// Feeds the plain-text description of a Header Array file to its reader; what it builds
// must pass the file checks a writer makes.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "harfile/har_file.h"
#include "harfile/har_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto har = yl::ParseHarText(yl::fuzz::Text(data, size));
  if (!har) return 0;
  if (!yl::CheckHarFile(*har).empty()) __builtin_trap();
  return 0;
}
