#include "cmf_assembly_support.h"

#include <filesystem>

#include "sim/sim_table.h"

namespace yl::testing {

namespace {

TDinFileEntry Din(int index, const char* name, const char* key, bool input, bool updated,
                  int role) {
  TDinFileEntry e;
  e.Name = name;
  e.Type = "HAR";
  e.Key = key;
  e.IsInput = input;
  e.IsUpdated = updated;
  e.Role = role;
  e.Usage = {index, 1, 2, 3};
  return e;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size()))
    text.replace(p, from.size(), to);
  return text;
}

}  // namespace

SolMethodSetting GraggMethod() {
  SolMethodSetting m;
  m.Method.Method = kGragg;
  m.Method.NumSolutions = 3;
  m.Method.Steps = {2, 4, 6};
  return m;
}

AssemblyTest::AssemblyTest() {
  work = scratch.MakeDir("work");
  temp = scratch.MakeDir("tmp");
  models = scratch.MakeDir("models");
  model = models + "/my model.exe";
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(YL_TEST_DATA_DIR) + "/cmf/assembly/input")) {
    std::filesystem::copy_file(entry.path(), work + "/" + entry.path().filename().string());
  }

  sim.NumYears = 3;
  sim.FirstYear = 2001;
  for (int k = 1; k <= kMaxPeriods; ++k) sim.LengthPeriods[k] = 1;
  RecomputeYears(sim);
  sim.SimNames[1] = "BS1";
  sim.SimNames[2] = "BR1";
  sim.SimNames[3] = "PL1";
  sim.SimDir = work;
  const TDinFileEntry files[] = {
      Din(1, "FID", "FID", true, true, kUpdatedInput),
      Din(2, "PARAMS", "PAR", true, false, kConstantInput),
      Din(3, "SUMMARY", "SUM", false, false, kOutputOnly),
      Din(4, "LAGFID", "LAG", true, false, kLaggedInput),
      Din(5, "ROREXT", "REX", true, true, kUpdatedInput),
      Din(6, "ITER", "ITR", true, true, kUpdatedInput),
      Din(7, "EXTRA", "EXT", true, true, kUpdatedInput),
  };
  sim.NumDinFiles = 7;
  for (int f = 1; f <= 7; ++f) sim.DinFiles[f] = files[f - 1];
  sim.DinFiles[4].LagOf = 1;
  sim.DinFiles[4].Usage[0] = 1;

  ResetRowsAboveNumYears(sim);
  const char* cells[5][4] = {
      {"BSTART", "N/A", "RSTART", ""},         // CMFStart
      {"COMCLS", "", "PCOM", "COMPSH"},        // Common
      {"?", "?", "?", ""},                     // 2001
      {"BS1B2002", "BSHK2", "POLCL", "PSHK"},  // 2002
      {"?", "?", "?", ""},                     // 2003
  };
  for (int row = -1; row <= 3; ++row)
    for (int col = 1; col <= 4; ++col) sim.CMFCells(row, col) = cells[row + 1][col - 1];
  sim.CMFStartExt[1] = ".CMF";
  sim.CMFStartExt[3] = ".CMF";
  RecomputeCMFNames(sim);

  settings.Method = GraggMethod();
  settings.SolverRelease = 70000;
  settings.Files.PolicyStart = 2;
  settings.Files.FirstYear = ParseFirstYearList(FirstYearLines());
}

std::vector<std::string> AssemblyTest::FirstYearLines() const {
  return {"File FID = fid2000.har ; ! data",        "File PARAMS = \"par file.har\" ; ! parameters",
          "File LAGFID = lag2000.har ; ! lag",      "File ROREXT = rex2000.har ; ! re",
          "File ITER = itr2000.har ; ! iterations", "File EXTRA = ext2000.har ; ! extra"};
}

std::string AssemblyTest::Golden(const std::string& name) const {
  std::string text = ReadFileBytes(std::string(YL_TEST_DATA_DIR) + "/cmf/assembly/" + name);
  text = ReplaceAll(text, "{SIMDIR}", work);
  text = ReplaceAll(text, "{TEMP}", temp);
  return ReplaceAll(text, "{MODELDIR}", models);
}

}  // namespace yl::testing
