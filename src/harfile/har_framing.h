#pragma once
// A quick check that a Header Array file is whole: every record's framing is walked by
// its lengths, without reading the data. A solve that was killed while writing leaves a
// file that fails here, so it is never booked as done.

#include <string>

#include "core/status.h"

namespace yl {

// Ok when the file holds at least one header and every record is complete.
Status CheckHarFraming(const std::string& path);

}  // namespace yl
