// Feeds a stored-input file to the stand-ins' reader: the preamble every tool reads,
// then the answers one by one as a tool asks for them.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "toolkit/sti_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto sti = yl::tool::StiReader::FromText(yl::fuzz::Text(data, size));
  (void)yl::tool::ReadPreamble(sti);
  std::size_t steps = 0;
  while (!sti.AtEnd()) {
    const std::size_t before = sti.Position();
    auto peek = sti.Peek();
    if (!peek) __builtin_trap();
    if (peek->find('!') != std::string::npos) __builtin_trap();  // comments are gone
    switch (++steps % 3) {
      case 0:
        if (!sti.Next("an answer")) __builtin_trap();
        break;
      case 1:
        if (!sti.Accept(*peek)) __builtin_trap();
        break;
      default:
        if (!sti.Expect(*peek)) __builtin_trap();
    }
    if (sti.Position() != before + 1) __builtin_trap();
  }
  if (!sti.ExpectEnd() || sti.Next("more")) __builtin_trap();
  return 0;
}
