#pragma once
// Lays out a working directory for the demo: its data, closure, shock and mapping files,
// and a Sim Details file that sets up a ten-year simulation of it there; or the same for
// the forward-looking demo with rational expectations on.

#include <string>
#include <vector>

#include "core/status.h"

namespace yl::demosetup {

struct DemoSetupRequest {
  std::string bin_dir;       // where the model programs and the "demo" folder are
  std::string dir;           // the working directory to lay out (created when missing)
  bool interpreter = false;  // the ".kvs" model run by kalvo instead of demomodel
  // The forward-looking model (demoremodel) with its expectations files, iterated.
  bool rational_expectations = false;
};

// Iterations of the forward-looking demo: enough to watch the expectations settle.
inline constexpr int kDemoReBaseIterations = 4;
inline constexpr int kDemoReRerunIterations = 1;
inline constexpr int kDemoRePolicyIterations = 3;

struct DemoSetupResult {
  std::string dir;                    // absolute
  std::string sim_details;            // the ".ds1" written
  std::vector<std::string> files;     // the demo files placed in dir
  std::vector<std::string> messages;  // what the model load and the writer reported
};

// The demo files go first; a file of the same name that differs is never replaced, and
// then nothing is written at all.
Result<DemoSetupResult> SetUpDemo(const DemoSetupRequest& request);

}  // namespace yl::demosetup
