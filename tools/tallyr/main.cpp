#include "toolfiles/tools.h"
#include "toolkit/tool_run.h"

int main(int argc, char** argv) {
  return yl::tool::RunTool(argc, argv, "tallyra", yl::toolfiles::RunTallyr);
}
