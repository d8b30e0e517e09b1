#pragma once
// The work of each family tool, given its run (command line, log, report). Each reads
// the whole stored-input file first, so that missing or extra answers stop it before it
// writes anything (docs/tool-files.md).

#include "core/status.h"
#include "toolkit/tool_run.h"

namespace yl::toolfiles {

Status RunSolex(tool::ToolRun& run);
Status RunAmbix(tool::ToolRun& run);
Status RunTallyr(tool::ToolRun& run);
Status RunVarix(tool::ToolRun& run);
Status RunMergix(tool::ToolRun& run);
Status RunFlatix(tool::ToolRun& run);

}  // namespace yl::toolfiles
