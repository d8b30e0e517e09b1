#pragma once
// Batch mode: "yearloom TASK [YEARS] [SIMDETAILS]" runs one task unattended, without a
// display, and exits 0 only when the whole job finished well.

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/controller.h"
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
  // Between SIGTERM and SIGKILL for the parts batch mode ends; unset: the default.
  std::optional<std::chrono::milliseconds> terminate_grace;
};

int RunBatchMode(const std::vector<std::string>& params, const BatchEnvironment& env);

}  // namespace yl
