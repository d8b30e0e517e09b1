// The forward-looking demo (demoremodel) driven by hand the way the main program drives
// it under rational expectations: chains of periods repeated as iterations, each
// iteration starting from the expectations and the counter the one before left.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>

#include "core/number_text.h"
#include "core/text_util.h"
#include "harfile/har_build.h"
#include "harfile/sol_info.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "prog_support.h"
#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

constexpr int kPeriods = 10;  // the horizon of the demo's expectations file
constexpr int kFirstYear = 2021;

// The three expectation files one period reads, or the ones it wrote.
struct ReFiles {
  std::string rorext, iter, extra;
};

class ReChainTest : public IsolatedEnvTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(CopyDemoFiles(scratch.path()));
    const std::string re = JoinPath(BinDir(), "demo-re");
    ASSERT_TRUE(DirectoryExists(re)) << "the forward-looking demo's files are not built: " << re;
    for (const auto& e : std::filesystem::directory_iterator(re))
      std::filesystem::copy_file(e.path(), scratch / e.path().filename().string(),
                                 std::filesystem::copy_options::overwrite_existing);
  }

  static std::string Year(int period) { return std::to_string(kFirstYear + period - 1); }
  std::string Stem(const std::string& tag, int period) const {
    return scratch / (tag + "-" + Year(period));
  }
  std::string Updated(const char* key, const std::string& tag, int period) const {
    return scratch / (std::string(key) + "-" + tag + "-" + Year(period) + ".har");
  }
  ReFiles Written(const std::string& tag, int period) const {
    return {Updated("ror", tag, period), Updated("ite", tag, period), Updated("ext", tag, period)};
  }

  // Solves one period of run `tag`. `first` is the run's first period: it reads `in` and,
  // for BASEDATA, `start_data` (the first-year data, or the Base's data of the period
  // before); later periods read what the period before wrote.
  ProgramRun SolvePeriod(const std::string& tag, int period, int first, const ReFiles& in,
                         const std::string& closure, const std::string& shocks,
                         const std::string& start_data = "basedata.har",
                         const std::string& start_lag = "") {
    const ReFiles from = period == first ? in : Written(tag, period - 1);
    const std::string base = period == first ? start_data : Updated("bas", tag, period - 1);
    std::string lag = Updated("bas", tag, period - 2);
    if (period == first) lag = first == 1 ? "lagdata.har" : start_lag;
    if (period == first + 1) lag = start_data;
    const ReFiles to = Written(tag, period);
    std::ostringstream o;
    o << "auxiliary files = " << BinPath("demoremodel") << ";\n"
      << "Solution file = " << Stem(tag, period) << " ;\n"
      << "Method = Gragg;\nSteps = 2 4 6;\nsubintervals = 1;\nautomatic accuracy = no;\n"
      << "verbal description = autosim BS1B" << Year(period) << ";\n"
      << "File BASEDATA = " << base << " ; ! updated input\n"
      << "File PARAMS = params.har ; ! constant input\n"
      << "File LAGDATA = " << lag << " ; ! lagged input\n"
      << "File ROREXT = " << from.rorext << " ; ! updated input\n"
      << "File ITER = " << from.iter << " ; ! updated input\n"
      << "File EXTRA = " << from.extra << " ; ! updated input\n"
      << "File SUMMARY = " << Updated("sum", tag, period) << " ; ! output\n"
      << "updated file BASEDATA = " << Updated("bas", tag, period) << ";\n"
      << "updated file ROREXT = " << to.rorext << ";\n"
      << "updated file ITER = " << to.iter << ";\n"
      << "updated file EXTRA = " << to.extra << ";\n"
      << scratch.Read(closure) << shocks;
    const std::string cmf = Stem(tag, period) + ".cmf";
    const std::string sti = Stem(tag, period) + "sim.sti";
    const std::string rpt = Stem(tag, period) + "sim.rpt";
    std::string text = o.str();
    if (edit) edit(text);
    WriteFileBytes(cmf, text);
    WriteFileBytes(sti, "bat\nrpt\n" + rpt + "\ncmf\n" + cmf + "\n");
    return RunProgram(program, scratch.path(), sti, Stem(tag, period) + ".log", rpt,
                      Stem(tag, period) + ".log");
  }
  // The program run and a change to the command file, for the refusals.
  std::string program = "demoremodel";
  std::function<void(std::string&)> edit;

  static std::string BaseShocks(int period) {
    const std::string y = Year(period);
    return "shock y = file baseshk.har header \"YGRO\" slice \"Y" + y +
           "\" ;\nshock ltot = file baseshk.har header \"LGRO\" slice \"Y" + y + "\" ;\n";
  }

  // One iteration of the Base over every period.
  void BaseIteration(const std::string& tag, const ReFiles& in) {
    for (int k = 1; k <= kPeriods; ++k) {
      ProgramRun r = SolvePeriod(tag, k, 1, in, "rebase.cls", BaseShocks(k));
      ASSERT_TRUE(r.Ok()) << tag << " period " << k << ": " << r.Key("Error") << r.log;
    }
  }

  // `source` with every value of `header` set to `value`, written to `target`.
  static void WriteWithValue(const std::string& source, const std::string& target,
                             const std::string& header, double value) {
    HarFile f = ReadHarOrFail(source);
    HarHeader* h = nullptr;
    for (HarHeader& x : f.headers)
      if (Trim(x.name) == header) h = &x;
    ASSERT_NE(h, nullptr) << header;
    for (float& x : h->values.values()) x = static_cast<float>(value);
    ASSERT_TRUE(WriteHarFile(target, "test", "12:00:00 01-Jun-2025", f).has_value());
  }

  // Results of a variable on a solution file: `kind` 'C' changes, 'P' post levels.
  static std::vector<double> Result(const HarFile& sol, const std::string& variable, char kind) {
    std::vector<std::string> names = Strings(sol, "VCNM");
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == variable)
        return HeaderValues(sol, NumberedName(kind, static_cast<int>(i) + 1));
    ADD_FAILURE() << variable << " is not on the solution file";
    return {};
  }
  std::vector<double> Realised(const std::string& tag, int period) const {
    return Result(ReadHarOrFail(Stem(tag, period) + ".sl4"), "ror", 'P');
  }

  // What a BOT file gives the Rerun and the Policy: the Base's results of the variables
  // exogenous in their closure.
  static std::string ShocksFromBase(const HarFile& base) {
    std::string s;
    for (const char* v :
         {"a", "k", "tpow", "ltot", "savr", "pcpi", "d_f", "d_diseq", "d_eror_o", "del_ror_se_o"}) {
      s += std::string("shock ") + v + " =";
      for (double x : Result(base, v, 'C')) s += " " + FormatReal(x, RealFormat::General(9));
      s += " ;\n";
    }
    return s;
  }
};

double MaxDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    d = std::max(d, std::fabs(a[i] - b[i]));
  return d;
}

// The demo's revision weight, and none (ADRE = 1: the expectations become the returns
// realised), where only the economics can make the iterations settle.
struct Damping {
  const char* name;
  double adre;    // 0: as the demo's file has it
  double shrink;  // the last change of RORG is below this share of the first
};

class ReConvergenceTest : public ReChainTest, public ::testing::WithParamInterface<Damping> {};

TEST_P(ReConvergenceTest, ExpectationsConvergeBecauseOutcomesFeedBack) {
  constexpr int kIterations = 4;
  const int sectors = 3;
  ReFiles start{scratch / "rorext.har", "iter.har", "extra.har"};
  if (GetParam().adre > 0) {
    start.rorext = scratch / "rorext-adre.har";
    ASSERT_NO_FATAL_FAILURE(
        WriteWithValue(scratch / "rorext.har", start.rorext, "ADRE", GetParam().adre));
  }
  const std::vector<double> adre = HeaderValues(ReadHarOrFail(start.rorext), "ADRE");
  ASSERT_EQ(adre.size(), 3u);
  std::vector<std::vector<double>> rorg(kIterations + 1);  // after each iteration
  std::vector<std::vector<double>> realised(kIterations + 1);
  for (int it = 1; it <= kIterations; ++it) {
    const std::string tag = "bs1b-i" + std::to_string(it);
    ASSERT_NO_FATAL_FAILURE(BaseIteration(tag, start));
    const ReFiles last = Written(tag, kPeriods);
    rorg[it] = HeaderValues(ReadHarOrFail(last.rorext), "RORG");
    ASSERT_EQ(rorg[it].size(), static_cast<std::size_t>(sectors * kPeriods));
    for (int k = 1; k <= kPeriods; ++k) {
      std::vector<double> r = Realised(tag, k);
      realised[it].insert(realised[it].end(), r.begin(), r.end());
      // The counter counts an iteration done in its last period only; the period index
      // moves on every period.
      EXPECT_EQ(HeaderValues(ReadHarOrFail(Written(tag, k).iter), "ITNO").front(),
                it + (k == kPeriods ? 1 : 0));
      EXPECT_EQ(HeaderValues(ReadHarOrFail(Written(tag, k).extra), "YEAR").front(), k + 1);
    }
    // Each period's expectation moved toward the return that period realised: wholly in
    // the first iteration, by ADRE after.
    for (std::size_t i = 0; i < rorg[it].size(); ++i) {
      const double target =
          it == 1 ? realised[it][i]
                  : rorg[it - 1][i] + adre[i % sectors] * (realised[it][i] - rorg[it - 1][i]);
      EXPECT_NEAR(rorg[it][i], target, 1e-6) << "iteration " << it << ", value " << i;
    }
    // The next iteration starts from the revised expectations and the raised counter.
    start = {last.rorext, last.iter, "extra.har"};
  }
  // Expectations move the outcomes: the returns of the second iteration are not those of
  // the first, so convergence is not merely the revision rule.
  EXPECT_GT(MaxDifference(realised[2], realised[1]), 1e-4);
  // The revisions and the expectation errors shrink from one iteration to the next.
  for (int it = 3; it <= kIterations; ++it) {
    EXPECT_LT(MaxDifference(rorg[it], rorg[it - 1]), MaxDifference(rorg[it - 1], rorg[it - 2]))
        << "iteration " << it;
    EXPECT_LT(MaxDifference(realised[it], rorg[it - 1]),
              MaxDifference(realised[it - 1], rorg[it - 2]))
        << "iteration " << it;
  }
  EXPECT_LT(MaxDifference(rorg[kIterations], rorg[kIterations - 1]),
            GetParam().shrink * MaxDifference(rorg[2], rorg[1]));
}

INSTANTIATE_TEST_SUITE_P(Revision, ReConvergenceTest,
                         ::testing::Values(Damping{"AsInTheDemo", 0, 0.01},
                                           Damping{"NoDamping", 1.0, 0.3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReChainTest, RerunReproducesTheBaseAndThePolicyFormsItsOwnExpectations) {
  // Two Base iterations, then the Rerun and three Policy iterations from the first
  // Policy period, as the main program lays them out.
  constexpr int kFirst = 4;  // the demo's first Policy shock is in 2024
  ASSERT_NO_FATAL_FAILURE(
      WriteWithValue(scratch / "rorext.har", scratch / "rorext-b.har", "NFIT", 2));
  ReFiles start{scratch / "rorext-b.har", "iter.har", "extra.har"};
  ASSERT_NO_FATAL_FAILURE(BaseIteration("bs1b-i1", start));
  const ReFiles first_done = Written("bs1b-i1", kPeriods);
  ASSERT_NO_FATAL_FAILURE(
      BaseIteration("bs1b-i2", {first_done.rorext, first_done.iter, "extra.har"}));
  const std::string base = "bs1b-i2";
  const std::string data = Updated("bas", base, kFirst - 1);
  const std::string lag = Updated("bas", base, kFirst - 2);
  // The first period of a later run reads the Base's files of the period before, with
  // its first period and its global iteration number put in.
  auto prepare = [&](const std::string& name, int iteration) {
    ReFiles f{scratch / ("ror-" + name + ".har"), scratch / ("ite-" + name + ".har"),
              Written(base, kFirst - 1).extra};
    WriteWithValue(Written(base, kFirst - 1).rorext, f.rorext, "YRPL", kFirst);
    WriteWithValue(Written(base, kFirst - 1).iter, f.iter, "ITNO", iteration);
    return f;
  };
  auto run = [&](const std::string& tag, const ReFiles& in, bool policy) {
    for (int k = kFirst; k <= kPeriods; ++k) {
      std::string shocks = ShocksFromBase(ReadHarOrFail(Stem(base, k) + ".sl4"));
      const std::string psh = scratch / ("pol" + Year(k) + ".psh");
      if (policy && FileExists(psh)) shocks += scratch.Read("pol" + Year(k) + ".psh");
      ProgramRun r = SolvePeriod(tag, k, kFirst, in, "repolicy.cls", shocks, data, lag);
      ASSERT_TRUE(r.Ok()) << tag << " period " << k << ": " << r.Key("Error") << r.log;
    }
  };

  ASSERT_NO_FATAL_FAILURE(run("bs1b-br1r", prepare("rerun", 3), false));
  for (int k = kFirst; k <= kPeriods; ++k) {
    HarFile b = ReadHarOrFail(Stem(base, k) + ".sl4");
    HarFile r = ReadHarOrFail(Stem("bs1b-br1r", k) + ".sl4");
    for (const std::string& v : Strings(b, "VCNM")) {
      std::vector<double> x = Result(b, v, 'C'), y = Result(r, v, 'C');
      for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(x[i], y[i], 1e-4 * (1 + std::fabs(x[i]))) << v << " period " << k;
    }
  }
  const std::vector<double> rerun_rorg =
      HeaderValues(ReadHarOrFail(Written("bs1b-br1r", kPeriods).rorext), "RORG");

  std::vector<std::vector<double>> rorg;
  ReFiles in = prepare("policy", 4);
  for (int it = 1; it <= 3; ++it) {
    const std::string tag = "pl1p-i" + std::to_string(it);
    ASSERT_NO_FATAL_FAILURE(run(tag, in, true));
    const ReFiles last = Written(tag, kPeriods);
    rorg.push_back(HeaderValues(ReadHarOrFail(last.rorext), "RORG"));
    EXPECT_EQ(HeaderValues(ReadHarOrFail(last.iter), "ITNO").front(), 4 + it);
    in = {last.rorext, last.iter, Written(base, kFirst - 1).extra};
  }
  // The periods before the Policy's keep the Base's expectations; the later ones move
  // away from them and settle.
  for (std::size_t i = 0; i < 3 * (kFirst - 1); ++i) EXPECT_EQ(rorg[2][i], rerun_rorg[i]);
  EXPECT_GT(MaxDifference(rorg[0], rerun_rorg), 1e-3);
  EXPECT_LT(MaxDifference(rorg[2], rorg[1]), MaxDifference(rorg[1], rorg[0]));
}

TEST_F(ReChainTest, RefusesWhatItCannotSolve) {
  struct Case {
    const char* what;
    const char* program;
    std::string from, to;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"the homotopy made endogenous", "demoremodel", "rest endogenous ;",
       "swap d_f = a(\"AGR\") ;\nrest endogenous ;",
       "Variable d_f must be exogenous: it carries the expectations of ROREXT into the solve"},
      {"no expectations file", "demoremodel", "File ROREXT", "! File ROREXT",
       "No \"File\" statement for the input logical file ROREXT"},
      {"the ordinary demo's auxiliary files", "demoremodel",
       "auxiliary files = " + BinPath("demoremodel"), "auxiliary files = " + BinPath("demomodel"),
       "describes the model \"demo-growth\"; this program is built for the model "
       "\"demo-growth-re\""},
      {"the ordinary program", "demomodel", "auxiliary files = " + BinPath("demoremodel"),
       "auxiliary files = " + BinPath("demomodel"),
       "logical file \"ROREXT\" is not a file of this model"},
  };
  for (const Case& c : cases) {
    program = c.program;
    edit = [&](std::string& text) {
      const std::size_t at = text.find(c.from);
      ASSERT_NE(at, std::string::npos) << c.from;
      text.replace(at, c.from.size(), c.to);
    };
    ProgramRun r = SolvePeriod("bs1b", 1, 1, {"rorext.har", "iter.har", "extra.har"}, "rebase.cls",
                               BaseShocks(1));
    EXPECT_EQ(r.Key("Status"), "error") << c.what;
    EXPECT_THAT(r.Key("Error"), HasSubstr(c.error)) << c.what;
    EXPECT_FALSE(FileExists(Stem("bs1b", 1) + ".sl4")) << c.what;
    EXPECT_FALSE(FileExists(Written("bs1b", 1).rorext)) << c.what;
  }
}

// Solex writes the solution-information file from the solution; the main program's
// closure check reads it.
TEST_F(ReChainTest, SolutionInformationShowsTheExpectationClosures) {
  ASSERT_NO_FATAL_FAILURE(
      WriteWithValue(scratch / "rorext.har", scratch / "rorext-b.har", "NFIT", 1));
  ASSERT_NO_FATAL_FAILURE(
      BaseIteration("bs1b", {scratch / "rorext-b.har", "iter.har", "extra.har"}));
  const ReFiles done = Written("bs1b", kPeriods);
  ProgramRun policy =
      SolvePeriod("pl1p", 1, 1, {done.rorext, done.iter, "extra.har"}, "repolicy.cls",
                  ShocksFromBase(ReadHarOrFail(Stem("bs1b", 1) + ".sl4")));
  ASSERT_TRUE(policy.Ok()) << policy.Key("Error") << policy.log;

  struct Expected {
    const char* variable;
    bool base_exogenous, policy_exogenous;
  };
  constexpr Expected kStatuses[] = {
      {"d_f", true, true},          {"d_ff", false, false},        {"d_f_diseq", false, false},
      {"d_f_diseqre", true, false}, {"d_diseq", false, true},      {"d_eror_o", false, true},
      {"d_f_eror_o", true, false},  {"del_ror_se_o", false, true}, {"d_f_ror_se_o", true, false},
  };
  for (const char* tag : {"bs1b", "pl1p"}) {
    const std::string sol = Stem(tag, 1) + ".sl4";
    const std::string sli = Stem(tag, 1) + ".sli";
    const std::string sti = Stem(tag, 1) + "st7.st7";
    const std::string rpt = Stem(tag, 1) + "st7.rpt";
    WriteFileBytes(sti, "bat\nrpt\n" + rpt + "\nwsi\nnlv\n \n" + sol + "\nc\nn\n" + Stem(tag, 1) +
                            ".mpx\n" + sli + "\n" + Stem(tag, 1) + ".sol\n");
    ProgramRun solex = RunProgram("solexa", scratch.path(), sti, Stem(tag, 1) + "st7.log", rpt,
                                  Stem(tag, 1) + "st7.log");
    ASSERT_TRUE(solex.Ok()) << solex.Key("Error") << solex.log;
    SolInfoRec rec;
    auto s = RequestSolInfo(sli, kProgramSolInfoRequest,
                            {.lower_case_keys = true, .component_flags = true}, rec);
    ASSERT_TRUE(s) << s.error();
    const bool is_policy = std::string(tag) == "pl1p";
    for (const Expected& e : kStatuses) {
      const std::int32_t n = rec.Lookup(e.variable);
      ASSERT_GT(n, 0) << e.variable;
      const TVarRec& v = rec.variables[static_cast<std::size_t>(n - 1)];
      const bool exogenous = is_policy ? e.policy_exogenous : e.base_exogenous;
      EXPECT_EQ(v.exogenous, exogenous ? v.components : 0) << tag << " " << e.variable;
      EXPECT_EQ(v.components, std::string(e.variable) == "d_f" ? 1 : 3) << e.variable;
    }
  }
}

}  // namespace
}  // namespace yl::testing
