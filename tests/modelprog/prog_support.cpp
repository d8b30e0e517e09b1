#include "prog_support.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/text_util.h"
#include "platform/paths.h"

namespace yl::testing {

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
  const std::string log = p.Stem() + ".log";
  return RunProgram(program, p.dir, sti, log, rpt, log);
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
