// Feeds a Model Information file and a saved first-year list (".mdf"), "@@@" line
// between, to the list's reader and builder, as loading a model and a list does. Files
// are looked for under "/", so that some exist and some do not.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "min_record.h"
#include "model/first_year_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = yl::fuzz::Parts(yl::fuzz::Text(data, size), 2);
  auto mdf = yl::MdfLines(yl::SplitLines(parts[1]));
  for (const auto& line : mdf) {
    auto l = yl::ParseFirstYearLine(line);
    if (l && !yl::FirstYearLineIsFor(line, l->name)) __builtin_trap();
  }
  yl::TSimRecord* rec = yl::fuzz::RecordFromMin(parts[0]);
  if (!rec) return 0;
  auto list = yl::BuildFirstYearList(*rec, mdf, "/");
  // Each line is found again for its logical file (names are single words).
  std::size_t at = 0;
  for (int i = 1; i <= rec->NumMinFiles; ++i) {
    const auto& m = rec->MinFiles[i];
    if (!m.IsInput || yl::IsSolutionOrEquations(m.Name)) continue;
    if (at >= list.size()) __builtin_trap();
    const std::string& name = m.Name;
    bool one_word = !yl::Trim(name).empty() && name.find_first_of(" \t=") == std::string::npos;
    if (one_word && !yl::FirstYearLineIsFor(list[at], name)) __builtin_trap();
    ++at;
  }
  for (std::string& line : list) (void)yl::CheckFirstYearLine(line, "/");
  return 0;
}
