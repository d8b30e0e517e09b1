#include "support/program_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl::testing {

std::string BinDir() {
  if (const char* env = std::getenv("YL_BIN_DIR"); env && *env) return env;
  return YL_BIN_DIR;
}

std::string BinPath(const std::string& program) { return JoinPath(BinDir(), program); }

std::string ProgramRun::Key(const std::string& key) const {
  auto it = report.find(key);
  return it == report.end() ? "" : it->second;
}

ProgramRun RunProgram(const std::string& program, const std::string& dir, const std::string& sti,
                      const std::string& lon, const std::string& report_file,
                      const std::string& log_file) {
  PosixProcessRunner runner;
  ProcessSpec spec;
  spec.program = BinPath(program);
  spec.args = {"-sti", sti, "-lon", lon};
  spec.working_dir = dir;
  spec.output_file = JoinPath(dir, "stdout.txt");
  ProgramRun r;
  auto h = runner.Start(spec);
  EXPECT_TRUE(h.has_value()) << (h ? "" : h.error());
  if (!h) return r;
  auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  for (;;) {
    if (auto e = runner.Poll(*h)) {
      r.exit = *e;
      break;
    }
    if (std::chrono::steady_clock::now() > until) {
      runner.Terminate(*h, std::chrono::milliseconds(100));
      ADD_FAILURE() << program << " did not end";
      return r;
    }
    runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(200));
  }
  r.ran = true;
  if (auto text = ReadWholeFile(ResolveAgainst(dir, report_file))) {
    r.has_report = true;
    for (const std::string& line : SplitLines(*text)) {
      auto eq = line.find('=');
      if (eq != std::string::npos) r.report[line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  if (auto text = ReadWholeFile(ResolveAgainst(dir, log_file))) r.log = *text;
  return r;
}

void CopyDemoFiles(const std::string& dir) {
  const std::string demo = JoinPath(BinDir(), "demo");
  ASSERT_TRUE(DirectoryExists(demo)) << "the demo model's files are not built: " << demo;
  for (const auto& e : std::filesystem::directory_iterator(demo))
    std::filesystem::copy_file(e.path(), JoinPath(dir, e.path().filename().string()),
                               std::filesystem::copy_options::overwrite_existing);
}

HarFile ReadHarOrFail(const std::string& path) {
  auto f = ReadHarFile(path);
  EXPECT_TRUE(f.has_value()) << path << ": " << (f ? "" : f.error());
  return f ? std::move(*f) : HarFile{};
}

std::vector<double> HeaderValues(const HarFile& f, const std::string& header) {
  const HarHeader* h = f.Find(header);
  EXPECT_NE(h, nullptr) << header;
  std::vector<double> v;
  if (h)
    for (float x : h->values.values()) v.push_back(x);
  return v;
}

}  // namespace yl::testing
