#pragma once
// The command line every family program takes: "-sti FILE" and one of "-lon", "-log",
// "-los" with a log file name, where "%sti" means "the STI file's name with .log".

#include <string>

#include "core/status.h"

namespace yl::tool {

struct ToolArgs {
  std::string sti;
  std::string log;
  std::string log_option;  // "-lon", "-log" or "-los"
};

Result<ToolArgs> ParseToolArgs(int argc, const char* const* argv);

}  // namespace yl::tool
