#pragma once
// Batch mode: "yearloom TASK [YEARS] [SIMDETAILS]" runs one task unattended, without a
// display, and exits 0 only when the whole job finished well.

#include <ostream>
#include <string>
#include <vector>

#include "core/clock.h"
#include "platform/process.h"

namespace yl {

struct BatchEnvironment {
  std::string program_dir;  // where the family tools are (the executable's directory)
  std::string current_dir;  // a relative Sim Details name is found here
  ProcessRunner* runner = nullptr;
  Clock* clock = nullptr;
  std::ostream* out = nullptr;  // progress and messages
  int processors = 1;           // for the first-run defaults
};

int RunBatchMode(const std::vector<std::string>& params, const BatchEnvironment& env);

}  // namespace yl
