#pragma once
// A default simulation re-dated to start in 2001, in a scratch working directory.

#include <memory>
#include <string>

#include "sim/sim_defaults.h"
#include "sim/sim_record.h"
#include "sim/sim_table.h"

namespace yl::testing {

inline std::unique_ptr<TSimRecord> MakeSim(const std::string& dir, int first_year = 2001,
                                           int num_years = 10) {
  auto sim = CreateSimRecord();
  SetDefaultSimulation(*sim, dir);
  sim->FirstYear = first_year;
  sim->NumYears = num_years;
  RecomputeYears(*sim);
  NormaliseCells(*sim);
  return sim;
}

// Replaces the logical files by a small model covering every dynamic role:
// 1 DAT updated input, 2 LAG lagged input of DAT, 3 CON constant input, 4 SUM output only,
// 5 POL updated input whose Policy reads the Rerun's version.
inline void UseRoleModel(TSimRecord& sim) {
  sim.DinFiles.Fill(TDinFileEntry{});
  auto set = [&](int i, const char* name, const char* key, bool in, bool upd, int role, int lag_of,
                 std::array<int, 4> usage) {
    TDinFileEntry& e = sim.DinFiles[i];
    e.Name = name;
    e.Key = key;
    e.Type = "HAR";
    e.IsInput = in;
    e.IsUpdated = upd;
    e.Role = role;
    e.LagOf = lag_of;
    e.Usage = usage;
    e.Description = std::string("the ") + name;
  };
  set(1, "DAT", "dat", true, true, kUpdatedInput, 0, {1, 1, 2, 3});
  set(2, "LAG", "lag", true, false, kLaggedInput, 1, {1, 1, 2, 3});
  set(3, "CON", "con", true, false, kConstantInput, 0, {3, 1, 2, 3});
  set(4, "SUM", "sum", false, false, kOutputOnly, 0, {4, 1, 2, 3});
  set(5, "POL", "pol", true, true, kUpdatedInput, 0, {5, 1, 2, 2});
  sim.NumDinFiles = 5;
}

}  // namespace yl::testing
