// The closure-preparation chain with the real model program: the Base solves a year,
// the policy closure is saved, Ambix lists its exogenous variables, Solex (or Solex and
// Ambix) writes the BOT file, and the Rerun under the policy closure shocked by that
// BOT file must reproduce the Base.

#include <gtest/gtest.h>

#include <cmath>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/scratch_dir.h"
#include "toolfiles_support.h"

namespace yl::testing {
namespace {

class RerunTest : public IsolatedEnvTest {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(CopyDemoFiles(scratch.path())); }

  // The "File" statements of the Base's (or the Rerun's) first year.
  std::string Files(const std::string& run) const {
    return "File BASEDATA = basedata.har ;\nFile PARAMS = params.har ;\n"
           "File LAGDATA = lagdata.har ;\nFile SUMMARY = " +
           scratch / ("sum-" + run + "-2020-2021.har") +
           " ;\nupdated file BASEDATA = " + scratch / ("bas-" + run + "-2021.har") + " ;\n";
  }
  std::string Top(const std::string& run, const std::string& closure) const {
    return "auxiliary files = " + BinPath("demomodel") +
           " ;\nSolution file = " + scratch / (run + "-2021") +
           " ;\nMethod = Gragg;\nSteps = 2 4 6;\n"
           "verbal description = autosim BS1B2021 ;\n" +
           Files(run) + scratch.Read(closure);
  }
  ProgramRun Model(const std::string& name, const std::string& cmf_text) {
    const std::string cmf = scratch.Write(name + ".cmf", cmf_text);
    return RunTool("demomodel", scratch.path(), scratch / (name + ".sti"),
                   "bat\nrpt\n" + scratch / (name + ".rpt") + "\ncmf\n" + cmf + "\n");
  }
  ProgramRun Tool(const std::string& program, const std::string& name, const std::string& body) {
    return RunTool(
        program, scratch.path(), scratch / name,
        "bat\nrpt\n" + scratch / (name.substr(0, name.find('.')) + ".rpt") + "\n" + body);
  }

  // Base, environment and map: what every variant starts from.
  void BaseAndEnvironment() {
    auto base = Model("bs1b-2021", Top("bs1b", "base.cls") +
                                       "shock y = file baseshk.har header \"YGRO\" slice "
                                       "\"Y2021\" ;\nshock ltot = file baseshk.har header "
                                       "\"LGRO\" slice \"Y2021\" ;\n");
    ASSERT_TRUE(base.Ok()) << base.Key("Error") << base.log;
    auto env = Model("br121env", "auxiliary files = " + BinPath("demomodel") +
                                     " ;\nsave environment file " + scratch / "br1r2021" +
                                     " ;\nnds = yes ;\nnwr = yes ;\nneq = yes ;\n" + Files("br1r") +
                                     scratch.Read("policy.cls"));
    ASSERT_TRUE(env.Ok()) << env.Key("Error") << env.log;
    auto map = Tool("ambixa", "br121st2.st2",
                    " \ne  ! Env file\n" + scratch / "br1r2021" + "\ns  ! SS map\n" +
                        scratch / "br1r2021.map" + "\nx  ! Just the exog ones\n");
    ASSERT_TRUE(map.Ok()) << map.Key("Error") << map.log;
  }

  void ExpectRerunReproducesBase(const std::string& bot) {
    auto rerun = Model("bs1b-br1r-2021", Top("bs1b-br1r", "policy.cls") + scratch.Read(bot));
    ASSERT_TRUE(rerun.Ok()) << rerun.Key("Error") << rerun.log << scratch.Read(bot);
    HarFile base = ReadHarOrFail(scratch / "bs1b-2021.sl4");
    HarFile again = ReadHarOrFail(scratch / "bs1b-br1r-2021.sl4");
    int compared = 0;
    for (const HarHeader& h : base.headers) {
      if (Trim(h.name)[0] != 'C' || !h.IsReal()) continue;
      std::vector<double> a = HeaderValues(base, h.name), b = HeaderValues(again, h.name);
      ASSERT_EQ(a.size(), b.size()) << h.name;
      for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i], b[i], 1e-4 * (1 + std::fabs(a[i]))) << h.description << " " << i;
      }
      ++compared;
    }
    EXPECT_GT(compared, 5);
    // The closures differ (output is exogenous in the Base only), the results do not.
    EXPECT_NE(base.Find("EXOG")->ints, again.Find("EXOG")->ints);
  }
};

TEST_F(RerunTest, SolexShocksFromTheBaseSolutionReproduceTheBase) {
  BaseAndEnvironment();
  const std::string map = scratch.Read("br1r2021.map");
  EXPECT_NE(map.find("\na "), std::string::npos) << map;  // productivity: exogenous now
  EXPECT_EQ(map.find("\ny "), std::string::npos) << map;  // output: endogenous now
  auto bot = Tool("solexa", "br121st3.st3",
                  "nlv\nshk  ! Write SHK file\n \n" + scratch / "bs1b-2021" +
                      "    ! Solution file\nc  ! the cum column\ny  ! use SS mapping file\n" +
                      scratch / "br1r2021.map" + "    ! SS Map file\n" +
                      scratch / "bs1b-br1r-2021.bot" + "    ! Output BOT file\n");
  ASSERT_TRUE(bot.Ok()) << bot.Key("Error") << bot.log;
  ExpectRerunReproducesBase("bs1b-br1r-2021.bot");
}

TEST_F(RerunTest, AmbixShocksFromTheSolFileReproduceTheBase) {
  BaseAndEnvironment();
  const std::string rsl = scratch / "bs1b-br1r-2021.rsl";
  auto sol = Tool("solexa", "br121st8.st8",
                  "nlv  ! No levels results\n \n" + scratch / "bs1b-2021" +
                      "    ! Sl4 file\nc  ! the cum column\nn  ! do not use HA mapping file\n" +
                      scratch / "pl1p-2021.mpz" + "    ! HA Map file\n" + rsl +
                      "    ! Output .RSL (SOL) file\n");
  ASSERT_TRUE(sol.Ok()) << sol.Key("Error") << sol.log;
  auto bot = Tool("ambixa", "br121st9.st9",
                  " \ne    ! environment file\n" + scratch / "br1r2021" +
                      "    ! EN4 file name\nb    ! write bot file\n" + scratch / "bs1b-br1r-2021" +
                      "    ! Output BOT file\n" + rsl +
                      "    ! Sol file to use\nx  ! just exogenous variables\n");
  ASSERT_TRUE(bot.Ok()) << bot.Key("Error") << bot.log;
  const std::string text = scratch.Read("bs1b-br1r-2021.bot");
  EXPECT_NE(text.find("= file \"" + rsl + "\" header \"C"), std::string::npos) << text;
  ExpectRerunReproducesBase("bs1b-br1r-2021.bot");
}

}  // namespace
}  // namespace yl::testing
