#include "toolfiles/tools.h"
#include "toolkit/tool_run.h"

int main(int argc, char** argv) {
  return yl::tool::RunTool(argc, argv, "ambixa", yl::toolfiles::RunAmbix);
}
