// yearloom-demo-setup DIR [--kalvo | --rational-expectations]: lays out a working
// directory for a ten-year simulation of the demo model, with a Sim Details file to load
// in Yearloom.
#include <iostream>
#include <string>

#include "demosetup/demo_setup.h"
#include "modelprog/prog_run.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  yl::demosetup::DemoSetupRequest request;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--kalvo") {
      request.interpreter = true;
    } else if (a == "--rational-expectations") {
      request.rational_expectations = true;
    } else if (request.dir.empty() && !a.empty() && a[0] != '-') {
      request.dir = a;
    } else {
      request.dir.clear();
      break;
    }
  }
  if (request.dir.empty()) {
    std::cerr << "usage: yearloom-demo-setup DIR [--kalvo | --rational-expectations]\n"
                 "  Copies the demo model's data, closure, shock and mapping files into DIR and\n"
                 "  writes a Sim Details file for a ten-year simulation there.\n"
                 "  --kalvo: use the interpreter model (demokv.kvs) instead of demomodel.\n"
                 "  --rational-expectations: the forward-looking model (demoremodel), its\n"
                 "  expectations files and closures, with rational expectations on.\n";
    return 2;
  }
  request.bin_dir = yl::DirOfFile(yl::modelprog::SelfExecutablePath());
  auto r = yl::demosetup::SetUpDemo(request);
  if (!r) {
    std::cerr << "yearloom-demo-setup: " << r.error() << "\n";
    return 1;
  }
  for (const std::string& m : r->messages) std::cout << "Note: " << m << "\n";
  std::cout << "Demo laid out in " << r->dir << "\nSim Details: " << r->sim_details << "\n";
  return 0;
}
