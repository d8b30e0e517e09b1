// Feeds a command file to the model stand-in's reader.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "modelprog/prog_cmf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto cmf = yl::modelprog::ParseCommandFile(yl::fuzz::Text(data, size), "fuzz.cmf");
  if (!cmf) return 0;
  for (const auto& c : cmf->closure) {
    for (const auto& item : c.items) (void)yl::modelprog::ListText(item);
  }
  for (const auto& s : cmf->shocks) {
    (void)yl::modelprog::ListText(s.target);
  }
  return 0;
}
