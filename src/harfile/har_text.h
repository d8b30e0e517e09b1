#pragma once
// A plain-text description of a Header Array file, built into a HarFile (the format is
// documented in docs/har-text-format.md). Used by `yearloom-har build` and by anything
// that keeps small data files in readable form.

#include <string>

#include "core/status.h"
#include "harfile/har_file.h"

namespace yl {

// Errors read "line {n}: {problem}".
Result<HarFile> ParseHarText(const std::string& text);

}  // namespace yl
