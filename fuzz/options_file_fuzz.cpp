// Feeds an options text (the "yearloom.ini" of the keep directory, or the ".ds1" of Sim
// Details) to the options reader. What it settles on must survive being written in the
// sequential form and read again, and the update form must apply to any file.

#include <cstdint>
#include <string>

#include "env/ini_file.h"
#include "fuzz_record.h"
#include "fuzz_support.h"
#include "settings/options_file.h"
#include "sim/sim_defaults.h"

namespace {

// The records start from the default simulation.
yl::TSimRecord& Record(int which) {
  yl::TSimRecord& r = yl::fuzz::FreshRecord(which);
  yl::SetDefaultSimulation(r, yl::fuzz::kNoDir);
  return r;
}

struct Read {
  yl::SessionSettings s;
  yl::TSimRecord* sim = nullptr;
  std::string lines;
};

Read ReadAll(const yl::IniFile& ini, int which) {
  Read r;
  r.s.paths.program_dir = yl::fuzz::kNoDir;
  r.sim = &Record(which);
  yl::OptionsReadContext context;
  // The model file is taken as it is named: nothing is searched for or started.
  context.locate_model = [](yl::ModelState& m, const std::string& path) {
    m.ModelFile = path;
    return true;
  };
  yl::Notices notices;
  yl::ReadOptions(ini, yl::kAllGroups, r.s, *r.sim, notices, context);
  for (const auto& l : yl::SequentialOptionsLines(r.s, *r.sim)) r.lines += l + "\n";
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  yl::IniFile ini = yl::IniFile::Parse(yl::fuzz::Text(data, size));
  Read first = ReadAll(ini, 0);
  Read again = ReadAll(yl::IniFile::Parse(first.lines), 1);
  if (again.lines != first.lines) __builtin_trap();
  yl::UpdateOptions(ini, first.s, *first.sim);
  (void)ReadAll(ini, 1);
  return 0;
}
