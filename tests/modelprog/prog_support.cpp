#include "prog_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/scratch_dir.h"

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

ProgramRun RunModel(const std::string& program, const std::string& dir, const std::string& sti,
                    const std::string& log, const std::string& report) {
  PosixProcessRunner runner;
  ProcessSpec spec;
  spec.program = BinPath(program);
  spec.args = {"-sti", sti, "-lon", log};
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
  const std::string rpt = ResolveAgainst(dir, report);
  if (auto text = ReadWholeFile(rpt)) {
    r.has_report = true;
    for (const std::string& line : SplitLines(*text)) {
      auto eq = line.find('=');
      if (eq != std::string::npos) r.report[line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  if (auto text = ReadWholeFile(ResolveAgainst(dir, log))) r.log = *text;
  return r;
}

void CopyDemoFiles(const std::string& dir) {
  for (const auto& e : std::filesystem::directory_iterator(JoinPath(BinDir(), "demo")))
    std::filesystem::copy_file(e.path(), JoinPath(dir, e.path().filename().string()),
                               std::filesystem::copy_options::overwrite_existing);
}

std::string PeriodFiles::Stem() const { return JoinPath(dir, "bs1b-" + std::to_string(year)); }
std::string PeriodFiles::Updated() const {
  return JoinPath(dir, "bas-bs1b-" + std::to_string(year) + ".har");
}
std::string PeriodFiles::Summary() const {
  return JoinPath(dir,
                  "sum-bs1b-" + std::to_string(year - 1) + "-" + std::to_string(year) + ".har");
}

std::string BaseCommandFile(const PeriodFiles& p) {
  const std::string y = std::to_string(p.year);
  std::ostringstream o;
  o << "auxiliary files = " << BinPath(p.model) << ";\n"
    << "Solution file = " << p.Stem() << " ;\n"
    << p.method << "verbal description = autosim BS1B" << y << ";\n"
    << "File BASEDATA = " << p.basedata << " ; ! updated input\n"
    << "File PARAMS = params.har ; ! constant input\n"
    << "File LAGDATA = " << p.lagdata << " ; ! lagged input\n"
    << "File SUMMARY = " << p.Summary() << " ; ! output\n"
    << "updated file BASEDATA = " << p.Updated() << ";\n"
    << "intermediate extra data = BS1B" << y << " ;\n \n"
    << "! Begin Common Closure file \"base.cls\"\n"
    << p.closure << "! End Common Closure file \"base.cls\"\n \n!\n! The Base Case Shocks\n!\n";
  if (p.shocks.empty()) {
    o << "shock y = file baseshk.har header \"YGRO\"  slice \"Y" << y << "\" ;\n"
      << "shock ltot = file baseshk.har header \"LGRO\"  slice \"Y" << y << "\" ;\n";
  } else {
    o << p.shocks;
  }
  return o.str();
}

ProgramRun RunPeriod(const PeriodFiles& p, const std::string& cmf_text,
                     const std::string& program) {
  const std::string cmf = p.Stem() + ".cmf";
  const std::string sti = p.Stem() + "sim.sti";
  const std::string rpt = p.Stem() + "sim.rpt";
  WriteFileBytes(cmf, cmf_text);
  WriteFileBytes(sti, "bat\nrpt\n" + rpt + "\ncmf\n" + cmf + "\n");
  return RunModel(program, p.dir, sti, p.Stem() + ".log", rpt);
}

HarFile ReadHar(const std::string& path) {
  auto f = ReadHarFile(path);
  EXPECT_TRUE(f.has_value()) << path << ": " << (f ? "" : f.error());
  return f ? std::move(*f) : HarFile{};
}

std::vector<double> RealValues(const HarFile& f, const std::string& header) {
  const HarHeader* h = f.Find(header);
  EXPECT_NE(h, nullptr) << header;
  std::vector<double> v;
  if (h)
    for (float x : h->values.values()) v.push_back(x);
  return v;
}

std::vector<std::string> Strings(const HarFile& f, const std::string& header) {
  const HarHeader* h = f.Find(header);
  EXPECT_NE(h, nullptr) << header;
  std::vector<std::string> v;
  if (h)
    for (const std::string& s : h->strings) v.push_back(Trim(s));
  return v;
}

}  // namespace yl::testing
