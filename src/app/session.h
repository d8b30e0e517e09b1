#pragma once
// The one current setup of a program run: the simulation record and everything the
// options file and the Sim Details keep beside it.

#include "settings/options.h"
#include "sim/sim_record.h"

namespace yl {

struct Session {
  TSimRecord sim;
  SessionSettings settings;
};

}  // namespace yl
