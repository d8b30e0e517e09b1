// Feeds a ".ds1", its ".ds2" and the keep directory's "yearloom.ini" ("@@@" lines
// between, then the task and years parameters one a line) through batch mode, with a
// process runner that refuses every start. Whatever the files say, batch mode ends with
// an exit code and a closing line, and never crashes.
//
// Batch mode reads and writes real directories, so each input is written under one
// scratch directory made at the first call. The demo model of the tests is copied there
// once; "@MODEL@" in the options texts stands for its directory. The directory keys a file could
// point elsewhere ("Sim Directory", "TempDir") are dropped, and a sim store or parameter that could
// name another directory (an absolute name, "..", a backslash) is skipped, so that nothing outside
// the scratch directory is touched.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/batch_mode.h"
#include "fuzz_support.h"
#include "support/fake_clock.h"

namespace {

namespace fs = std::filesystem;

class RefusingRunner : public yl::ProcessRunner {
 public:
  yl::Result<yl::ProcessHandle> Start(const yl::ProcessSpec&) override {
    return yl::Fail("process starts are refused");
  }
  std::optional<yl::ProcessExit> Poll(yl::ProcessHandle&) override {
    return yl::ProcessExit{true, 1};
  }
  using yl::ProcessRunner::WaitForAnyEnd;
  void WaitForAnyEnd(const std::vector<yl::ProcessHandle>&, std::chrono::milliseconds,
                     int) override {}
  void Terminate(yl::ProcessHandle&, std::chrono::milliseconds) override {}
  void SendStop(const yl::ProcessHandle&, bool) override {}
};

struct Scratch {
  fs::path base, work, keep, temp, model;
  Scratch() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/yl_fuzz_batch_XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    base = pattern;
    work = base / "w";
    keep = base / "k";
    temp = base / "t";
    model = base / "m";
    fs::copy(YL_FUZZ_MODEL_DIR, model, fs::copy_options::recursive);
    setenv("SVKEEP", keep.c_str(), 1);
    setenv("SVTEMP", temp.c_str(), 1);
    setenv("HOME", base.c_str(), 1);
    for (const char* v : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) unsetenv(v);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(base, ec);
  }
  void Reset() const {
    for (const fs::path& d : {work, keep, temp}) {
      std::error_code ec;
      fs::remove_all(d, ec);
      fs::create_directories(d, ec);
      fs::permissions(d, fs::perms::owner_all, ec);
    }
  }
};

bool CouldLeave(const std::string& text) {
  if (text.find("..") != std::string::npos || text.find('\\') != std::string::npos) return true;
  for (const std::string& line : yl::SplitLines(text)) {
    std::string t = yl::Trim(line);
    if (!t.empty() && (t.front() == '/' || t.front() == '~')) return true;
  }
  return false;
}

// The options text without the keys that name directories of their own, and with the
// model's directory put in.
std::string OptionsText(const std::string& text, const fs::path& model) {
  std::string out;
  for (std::string line : yl::SplitLines(text)) {
    std::string key = yl::Trim(line.substr(0, line.find('=')));
    if (line.find('=') != std::string::npos &&
        (yl::SameText(key, "Sim Directory") || yl::SameText(key, "TempDir"))) {
      continue;
    }
    for (std::size_t at = line.find("@MODEL@"); at != std::string::npos;
         at = line.find("@MODEL@", at + model.string().size())) {
      line.replace(at, 7, model.string());
    }
    out += line + "\n";
  }
  return out;
}

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Scratch scratch;
  auto parts = yl::fuzz::Parts(yl::fuzz::Text(data, size), 4);
  if (CouldLeave(parts[1]) || CouldLeave(parts[3])) return 0;
  scratch.Reset();
  Write(scratch.work / "fz.ds1", OptionsText(parts[0], scratch.model));
  Write(scratch.work / "fz.ds2", parts[1]);
  fs::create_directories(scratch.keep / "SVKEEP" / "YRLMkeep");
  Write(scratch.keep / "SVKEEP" / "YRLMkeep" / "yearloom.ini",
        OptionsText(parts[2], scratch.model));

  std::vector<std::string> params = yl::SplitLines(parts[3]);
  if (params.size() > 2) params.resize(2);
  while (params.size() < 2) params.push_back("all");
  params.push_back("fz");

  RefusingRunner runner;
  yl::FakeClock clock;
  std::ostringstream out;
  yl::BatchEnvironment env;
  env.program_dir = scratch.work.string();
  env.current_dir = scratch.work.string();
  env.runner = &runner;
  env.clock = &clock;
  env.out = &out;
  int code = yl::RunBatchMode(params, env);
  if (code != 0 && code != 1) __builtin_trap();
  const std::string said = out.str();
  if (said.find("Job finished") == std::string::npos) __builtin_trap();
  return 0;
}
