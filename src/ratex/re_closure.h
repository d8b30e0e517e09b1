#pragma once
// The standard closure checks of a solve under rational expectations, read from the
// solve's solution-information file.

#include <string>

#include "core/status.h"

namespace yl::ratex {

// Reads the ".sli" file and checks the variables the run needs exogenous or endogenous.
// The failure is the whole message to show (or the reader's message).
Status CheckREClosure(const std::string& sli_path, int run, int year_index, int calendar_year);

}  // namespace yl::ratex
