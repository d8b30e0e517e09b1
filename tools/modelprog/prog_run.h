#pragma once
// One run of our model program: the stored-input answers decide what is asked (a
// command-file run, the release check, the temporary-directory check); a command-file run
// reads the model's data, sets up the closure and shocks, and either only checks them
// (closure checks, the environment part) or solves the period and writes its files.

#include <string>

#include "core/status.h"
#include "toolkit/tool_run.h"

namespace yl::modelprog {

// The release this program reports: new enough that the main program uses its newest
// command lines and the UDC statement, and a console compiler so that it is started
// directly rather than through a script.
inline constexpr int kReleaseCode = 110000;
inline constexpr int kProgramVersion = 1;
inline constexpr char kCompiler[] = "lf95";
inline constexpr char kReleaseText[] = "11.0";

// The models both programs know: the demo and its forward-looking variant.
inline constexpr char kDemoModelId[] = "demo-growth";
inline constexpr char kDemoReModelId[] = "demo-growth-re";

struct ProgramIdentity {
  std::string name;           // "demomodel" or "kalvo"
  bool interpreter = false;   // runs ".kvs"/".kvt" models named by "auxiliary files"
  std::string self_path;      // the executable, whose companions the release check looks at
  std::string program_stamp;  // creation stamp built into a model executable
  std::string model_id = kDemoModelId;  // the model a model executable was built for
};

Status RunModelProgram(tool::ToolRun& run, const ProgramIdentity& id);

// main() of both programs.
int ModelProgramMain(int argc, const char* const* argv, ProgramIdentity id);

// The executable's own path ("" when unknown).
std::string SelfExecutablePath();

}  // namespace yl::modelprog
