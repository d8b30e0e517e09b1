#pragma once
// Creating a simulation record and the built-in default simulation the program starts
// with before any options or Sim Details are read.

#include <memory>
#include <string>
#include <vector>

#include "sim/sim_record.h"

namespace yl {

// A zeroed record with the default naming options. The record is large (its tables hold
// thousands of strings), so it always lives on the heap.
std::unique_ptr<TSimRecord> CreateSimRecord();

// The 14 logical files of the built-in default model, in MIN order.
std::vector<TMinFileEntry> DefaultMinEntries();

// The default simulation in the given working directory: 4 one-year periods from 1998,
// names BS1, BR1, PL1, the built-in logical files with their dynamic roles, and the
// default closure/shock table (names and existence recomputed).
void SetDefaultSimulation(TSimRecord& sim, const std::string& sim_dir);

}  // namespace yl
