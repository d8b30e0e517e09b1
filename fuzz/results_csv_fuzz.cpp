// Feeds a results table to its reader. A table that reads is written again, and what is
// written once reads back and writes the same text.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "toolfiles/csv_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = yl::fuzz::Text(data, size);
  std::vector<std::string> fields;
  for (const auto& line : yl::SplitLines(text)) {
    if (yl::toolfiles::SplitCsvLine(line, fields)) {
      std::vector<std::string> again;
      if (!yl::toolfiles::SplitCsvLine(yl::toolfiles::CsvLine(fields), again) || again != fields) {
        __builtin_trap();
      }
    }
  }
  auto table = yl::toolfiles::ParseTable(text, "fuzz.csv");
  if (!table) return 0;
  const std::string once = yl::toolfiles::FormatTable(*table);
  auto back = yl::toolfiles::ParseTable(once, "once.csv");
  if (!back) __builtin_trap();
  if (yl::toolfiles::FormatTable(*back) != once) __builtin_trap();
  return 0;
}
