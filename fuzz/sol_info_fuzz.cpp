// Feeds arbitrary text to the solution-information reader.

#include <cstdint>
#include <string>

#include "core/text_util.h"
#include "harfile/sol_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text = size ? std::string(reinterpret_cast<const char*>(data), size) : "";
  std::vector<std::string> lines = yl::SplitLines(text);
  for (bool lower : {true, false}) {
    yl::SolInfoRec rec;
    yl::SolInfoOptions options{lower, true};
    if (yl::GetModelInfo(lines, yl::kProgramSolInfoRequest, options, rec)) {
      // A successful read leaves a consistent record.
      for (const auto& [key, number] : rec.name_index) {
        if (number < 1 || static_cast<std::size_t>(number) > rec.variables.size()) {
          __builtin_trap();
        }
      }
      if (rec.description.size() > yl::kMaxDescLines) __builtin_trap();
    }
  }
  return 0;
}
