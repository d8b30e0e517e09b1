#include "sim/sim_defaults.h"

#include "sim/sim_table.h"

namespace yl {

std::unique_ptr<TSimRecord> CreateSimRecord() {
  auto sim = std::make_unique<TSimRecord>();
  sim->FileNames = TYearloomFileNames{};
  sim->AltMethodYears.Fill(false);
  return sim;
}

std::vector<TMinFileEntry> DefaultMinEntries() {
  struct Row {
    const char* name;
    const char* type;
    bool input;
    bool updated;
  };
  static constexpr Row kRows[] = {
      {"FID", "HAR", true, true},         {"PARAMS", "HAR", true, false},
      {"SETINFO", "HAR", true, false},    {"EXTRA", "HAR", true, true},
      {"ROREXT", "HAR", true, true},      {"EXTRA3", "HAR", true, true},
      {"EXTRA4", "HAR", true, false},     {"EXTRA5", "HAR", true, false},
      {"REGSET", "HAR", true, false},     {"REGDATA", "HAR", true, true},
      {"WRITFILE", "TXT", false, false},  {"(Display)", "dis", false, false},
      {"(Solution)", "sl4", false, true}, {"(Equations)", "eq4", false, true},
  };
  std::vector<TMinFileEntry> entries;
  for (const Row& row : kRows) {
    TMinFileEntry e;
    e.Name = row.name;
    e.Type = row.type;
    e.IsInput = row.input;
    e.IsUpdated = row.updated;
    e.Special = e.Name.front() == '(';
    entries.push_back(std::move(e));
  }
  return entries;
}

namespace {

TDinFileEntry DinFromMin(const TMinFileEntry& m, int number) {
  TDinFileEntry d;
  d.Name = m.Name;
  d.Type = (!m.Type.empty() && (m.Type[0] == 'H' || m.Type[0] == 'h')) ? "HAR" : "TXT";
  d.Key = m.Name.substr(0, 3);
  d.IsInput = m.IsInput;
  d.IsUpdated = m.IsUpdated;
  d.Description = m.Description;
  d.Role = !m.IsInput ? kOutputOnly : (m.IsUpdated ? kUpdatedInput : kConstantInput);
  d.LagOf = 0;
  d.Usage = {number, 1, 2, 3};
  return d;
}

}  // namespace

void SetDefaultSimulation(TSimRecord& sim, const std::string& sim_dir) {
  sim.NumYears = 4;
  sim.FirstYear = 1998;
  sim.SimNames[kBase] = "BS1";
  sim.SimNames[kRerun] = "BR1";
  sim.SimNames[kPolicy] = "PL1";
  sim.RunFlags.Fill(false);
  sim.SimDir = sim_dir;

  const std::vector<TMinFileEntry> min = DefaultMinEntries();
  sim.MinFiles.Fill(TMinFileEntry{});
  sim.NumMinFiles = static_cast<int>(min.size());
  for (int i = 1; i <= sim.NumMinFiles; ++i) sim.MinFiles[i] = min[static_cast<std::size_t>(i - 1)];

  sim.DinFiles.Fill(TDinFileEntry{});
  sim.NumDinFiles = 0;
  for (const TMinFileEntry& m : min) {
    if (m.Special) continue;
    ++sim.NumDinFiles;
    sim.DinFiles[sim.NumDinFiles] = DinFromMin(m, sim.NumDinFiles);
  }
  // The built-in model carries the dynamic information a DIN file would give it.
  struct Dyn {
    int file;
    const char* key;
    int lag_of;
    int usage0;
    int usage3;
  };
  static constexpr Dyn kDyn[] = {
      {5, "REX", 0, 5, 3},    // ROREXT
      {6, "EX3", 0, 4, 2},    // EXTRA3
      {7, "EX4", 4, 4, 3},    // EXTRA4
      {8, "EX5", 4, 4, 2},    // EXTRA5
      {9, "RGS", 0, 9, 3},    // REGSET
      {10, "RGD", 0, 10, 3},  // REGDATA
  };
  for (const Dyn& d : kDyn) {
    TDinFileEntry& e = sim.DinFiles[d.file];
    e.Key = d.key;
    e.LagOf = d.lag_of;
    if (d.lag_of != 0) e.Role = kLaggedInput;
    e.Usage[0] = d.usage0;
    e.Usage[3] = d.usage3;
  }

  sim.CMFCells.Fill("");
  sim.CMFStartExt.Fill("");
  sim.CMFCells(kCmfStartRow, kBaseShocks) = "N/A";
  static constexpr const char* kBaseCells[] = {"run98", "run99", "run00", "run01"};
  for (int k = 1; k <= 4; ++k) {
    sim.CMFCells(k, kBaseClosure) = kBaseCells[k - 1];
    sim.CMFCells(k, kBaseShocks) = kBaseCells[k - 1];
  }
  for (int k = 1; k <= sim.NumYears; ++k) sim.CMFCells(k, kPolicyClosure) = "devmca";
  sim.CMFCells(1, kPolicyShocks) = "mvehtar";
  sim.CMFCells(2, kPolicyShocks) = "mvehtar";
  ResetRowsAboveNumYears(sim);

  sim.LengthPeriods.Fill(1);
  sim.AltMethodYears.Fill(false);
  sim.AltMethodInUse = false;
  RecomputeYears(sim);
  NormaliseCells(sim);
}

}  // namespace yl
