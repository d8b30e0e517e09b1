#pragma once
// Where the three runs' cumulative results tables are: from the simulation record when
// the caller has one, or found beside a results file through the Sim Details stored
// there, so that opening any one run's results can chart all three.

#include <string>

#include "app/viewer/results_series.h"
#include "sim/sim_record.h"

namespace yl {

// The whole-range cumulative tables of the three runs in the simulation's directory,
// those that exist.
SeriesSources RunResultsFiles(const TSimRecord& sim, bool no_rerun);

// The runs' tables of the simulation whose results include `results_file` (any of its
// runs' results tables); empty when no Sim Details store (".ds2") beside the file names
// it. The stores are read with the default file-naming options.
SeriesSources FindSeriesSources(const std::string& results_file);

}  // namespace yl
