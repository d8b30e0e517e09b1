#include "toolfiles/tools.h"
#include "toolkit/tool_run.h"

int main(int argc, char** argv) {
  return yl::tool::RunTool(argc, argv, "flatixa", yl::toolfiles::RunFlatix);
}
