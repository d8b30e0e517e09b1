// The forward-looking demo model's program, as the model compiler would have made it: the
// demo growth model with expectations revised from one iteration of a run to the next.
#include "modelprog/prog_run.h"

int main(int argc, char** argv) {
  yl::modelprog::ProgramIdentity id;
  id.name = "demoremodel";
  id.program_stamp = YL_DEMO_STAMP;
  id.model_id = yl::modelprog::kDemoReModelId;
  return yl::modelprog::ModelProgramMain(argc, argv, id);
}
