#pragma once
// The one current setup of a program run: the simulation record and everything the
// options file and the Sim Details keep beside it.

#include "jobs/background_job.h"
#include "settings/options.h"
#include "sim/sim_record.h"

namespace yl {

struct Session {
  TSimRecord sim;
  SessionSettings settings;
  jobs::BackgroundState background;  // what the job timer serves
};

}  // namespace yl
