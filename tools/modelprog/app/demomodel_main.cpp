// The demo model's program, as the model compiler would have made it: its creation stamp
// must match the auxiliary files beside it.
#include "modelprog/prog_run.h"

int main(int argc, char** argv) {
  yl::modelprog::ProgramIdentity id;
  id.name = "demomodel";
  id.program_stamp = YL_DEMO_STAMP;
  return yl::modelprog::ModelProgramMain(argc, argv, id);
}
