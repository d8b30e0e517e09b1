#pragma once
// What the preparation of job parts needs to know of the session, fixed for one big job.

#include <string>

#include "sim/sim_inputs.h"
#include "sim/sim_record.h"

namespace yl {

struct JobContext {
  const TSimRecord* sim = nullptr;
  std::string model_path;      // the model program or ".kvs" file
  std::string program_to_run;  // the model program, or the interpreter of a ".kvs" model
  std::string program_dir;     // where the family tools are
  std::string temp_dir;
  std::string mapping_file;  // the results mapping file; "" when none
  bool no_rerun = false;
  int policy_start = 1;
  FirstYearFiles first_year;
};

}  // namespace yl
