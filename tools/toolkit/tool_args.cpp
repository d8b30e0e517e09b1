#include "toolkit/tool_args.h"

#include "core/text_util.h"
#include "platform/paths.h"

namespace yl::tool {

Result<ToolArgs> ParseToolArgs(int argc, const char* const* argv) {
  ToolArgs a;
  for (int i = 1; i < argc; ++i) {
    std::string opt = LowerCase(argv[i]);
    bool has_value = i + 1 < argc;
    if (opt == "-sti") {
      if (!has_value) return Fail("Option -sti needs a file name");
      a.sti = Unquote(argv[++i]);
    } else if (opt == "-lon" || opt == "-log" || opt == "-los") {
      if (!has_value) return Fail("Option " + opt + " needs a log file name");
      a.log_option = opt;
      a.log = Unquote(argv[++i]);
    } else {
      return Fail(std::string("Unknown option ") + argv[i]);
    }
  }
  if (a.sti.empty()) return Fail("No stored-input file given (-sti FILE)");
  if (a.log.empty() || SameText(a.log, "%sti")) a.log = ChangeFileExt(a.sti, ".log");
  return a;
}

}  // namespace yl::tool
