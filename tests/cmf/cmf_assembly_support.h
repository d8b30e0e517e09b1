#pragma once
// A small three-period simulation with closure, shock and CMFStart files on disk, shared
// by the command-file and stored-input tests. Expected files live in
// tests/data/cmf/assembly with {SIMDIR}, {TEMP} and {MODELDIR} for the scratch paths.

#include <string>
#include <vector>

#include "cmf/make_cmf.h"
#include "sim/sim_record.h"
#include "support/scratch_dir.h"

namespace yl::testing {

class AssemblyTest : public IsolatedEnvTest {
 public:
  AssemblyTest();

  // The expected text of a golden file, placeholders filled in.
  std::string Golden(const std::string& name) const;
  std::string ReadOut(const std::string& path) const { return ReadFileBytes(path); }
  std::vector<std::string> FirstYearLines() const;

  std::string work, temp, models, model;
  TSimRecord sim;
  MakeCmfSettings settings;
};

// Gragg with 3 solutions, steps 2 4 6.
SolMethodSetting GraggMethod();

}  // namespace yl::testing
