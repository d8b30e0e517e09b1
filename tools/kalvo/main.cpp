// The interpreter: the same model program, told to take its model from statement and
// table files instead of being built for one.
#include "modelprog/prog_run.h"

int main(int argc, char** argv) {
  yl::modelprog::ProgramIdentity id;
  id.name = "kalvo";
  id.interpreter = true;
  return yl::modelprog::ModelProgramMain(argc, argv, id);
}
