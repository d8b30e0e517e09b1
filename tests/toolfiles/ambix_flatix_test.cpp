// Ambix's map and BOT files from environment files, and Flatix's extraction, as processes.

#include <gtest/gtest.h>

#include "harfile/har_text.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/scratch_dir.h"
#include "toolfiles_support.h"

namespace yl::testing {
namespace {

const std::vector<std::string> kSect{"AGR", "MAN", "SER"};

class AmbixTest : public IsolatedEnvTest {
 protected:
  void SetUp() override {
    WriteFixtureHar(scratch / "br1r2021.en4",
                    {Var("y", "Output", "SECT", kSect, {}, {0, 0, 0}),
                     Var("a", "Productivity", "SECT", kSect, {}, {1, 1, 1}),
                     Var("tpow", "Tax power", "SECT", kSect, {}, {1, 0, 1}),
                     Var("savr", "Saving rate", "", {}, {}, {1})},
                    2021, true);
  }
  ProgramRun Run(const std::string& name, const std::string& answers) {
    return RunTool("ambixa", scratch.path(), scratch / name,
                   "bat\nrpt\n" + ChangeFileExt(scratch / name, ".rpt") + "\n" + answers);
  }
};

TEST_F(AmbixTest, MapListsTheExogenousVariables) {
  auto r = Run("ambix.st2", " \ne  ! Env file\n" + scratch / "br1r2021" + "\ns  ! SS map\n" +
                                scratch / "br1r2021.map" + "\nx  ! Just the exog ones\n");
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  const std::string map = scratch.Read("br1r2021.map");
  EXPECT_EQ(map, "! Exogenous variables of the environment file " + scratch / "br1r2021.en4" +
                     "\n" +
                     "a               ! all 3 components exogenous\n"
                     "tpow            : AGR SER  ! 2 of 3 components exogenous\n"
                     "savr            ! exogenous\n");
}

TEST_F(AmbixTest, BotReadsShocksFromTheQuotedResultsFile) {
  // The results file numbers its variables in its own order.
  const std::string rsl = scratch / "sol dir/bs1b-br1r-2021.rsl";
  ForceDirectories(scratch / "sol dir");
  WriteFixtureHar(
      scratch / "base.sl4",
      {Var("savr", "", "", {}, {0.5}), Var("y", "", "SECT", kSect, {1, 2, 3}),
       Var("tpow", "", "SECT", kSect, {0, 0, 0}), Var("a", "", "SECT", kSect, {1, 1, 1})},
      2021);
  auto sol = RunTool("solexa", scratch.path(), scratch / "s.st8",
                     "bat\nrpt\n" + scratch / "s.rpt\nnlv\n \n" + scratch / "base" +
                         "\nc\nn\nx.mpz\n" + rsl + "\n");
  ASSERT_TRUE(sol.Ok()) << sol.Key("Error");
  auto r = Run("ambix.st9", " \ne    ! environment file\n" + scratch / "br1r2021" +
                                "    ! EN4 file name\nb    ! write bot file\n" +
                                scratch / "bs1b-br1r-2021" + "    ! Output BOT file\n" + rsl +
                                "    ! Sol file to use\nx  ! just exogenous variables\n");
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  const std::string bot = scratch.Read("bs1b-br1r-2021.bot");
  EXPECT_NE(bot.find("shock a = file \"" + rsl + "\" header \"C004\" ;\n"), std::string::npos)
      << bot;
  EXPECT_NE(bot.find("shock tpow(\"AGR\",\"SER\") = file \"" + rsl + "\" header \"C003\" ;\n"),
            std::string::npos)
      << bot;
  EXPECT_NE(bot.find("shock savr = file \"" + rsl + "\" header \"C001\" ;\n"), std::string::npos);
  EXPECT_EQ(bot.find("shock y"), std::string::npos);
}

TEST_F(AmbixTest, BadAnswersAndFilesAreReported) {
  struct Case {
    std::string name;
    std::string answers;
    std::string error;
  };
  for (const Case& c : {
           Case{"no environment", " \ns\n" + scratch / "o.map\nx\n", "names no environment file"},
           Case{"missing environment", " \ne\n" + scratch / "none\ns\n" + scratch / "o.map\nx\n",
                "The environment file " + scratch / "none.en4" + " does not exist"},
           Case{"not ended", " \ne\n" + scratch / "br1r2021\ns\n" + scratch / "o.map\n",
                "ends too early: expected an Ambix choice"},
           Case{"extra", " \ne\n" + scratch / "br1r2021\ns\n" + scratch / "o.map\nx\nmore\n",
                "unexpected extra answer \"more\""},
           Case{"unknown choice", " \nq\n", "unknown Ambix choice \"q\""},
           Case{"missing results",
                " \ne\n" + scratch / "br1r2021\nb\n" + scratch / "o\n" + scratch / "none.rsl\nx\n",
                "does not exist"},
       }) {
    auto r = Run("bad.st2", c.answers);
    EXPECT_EQ(r.Key("Status"), "error") << c.name;
    EXPECT_NE(r.Key("Error").find(c.error), std::string::npos) << c.name << ": " << r.Key("Error");
    EXPECT_FALSE(FileExists(scratch / "o.map")) << c.name;
    EXPECT_FALSE(FileExists(scratch / "o.bot")) << c.name;
  }
}

class FlatixTest : public IsolatedEnvTest {
 protected:
  std::string BuildAux(const std::string& fixture) {
    auto text = ReadFileBytes(std::string(YL_TEST_DATA_DIR) + "/toolfiles/" + fixture + ".txt");
    auto har = ParseHarText(text);
    EXPECT_TRUE(har.has_value()) << (har ? "" : har.error());
    const std::string path = scratch / fixture;
    EXPECT_TRUE(WriteHarFile(path, "fixture", "now", *har).has_value());
    return path;
  }
  // As the main program starts it: "-los" with the log named after the STI file.
  ProgramRun Run(const std::string& kind, const std::string& aux, const std::string& target) {
    return RunTool(
        "flatixa", scratch.path(), scratch / ("ext" + kind + ".sti"),
        "bat\n \n" + std::string(kind == "tab" ? "t" : "s") + "\n" + aux + "\n" + target + "\n");
  }
};

TEST_F(FlatixTest, ExtractsTheTabAndStiFiles) {
  const std::string aux = BuildAux("model.axt");
  auto r = Run("tab", aux, scratch / "tab1.tab");
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  EXPECT_EQ(scratch.Read("tab1.tab"),
            "! A small model\nVariable y # output # ;\n  Equation E_y y = 0 ;\n");
  EXPECT_EQ(r.Key("TAB file"), "small.tab");
  r = Run("sti", aux, scratch / "tabcond.sti");
  ASSERT_TRUE(r.Ok()) << r.Key("Error");
  EXPECT_EQ(scratch.Read("tabcond.sti"), "small.tab\nc\n");
}

TEST_F(FlatixTest, MissingPiecesFailWithoutATarget) {
  const std::string aux = BuildAux("notab.axt");
  auto r = Run("sti", aux, scratch / "tabcond.sti");
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_NE(r.Key("Error").find("No STI file was used"), std::string::npos) << r.Key("Error");
  EXPECT_FALSE(FileExists(scratch / "tabcond.sti"));
  r = Run("tab", scratch / "none.axt", scratch / "tab1.tab");
  EXPECT_NE(r.Key("Error").find("does not exist"), std::string::npos);
  EXPECT_FALSE(FileExists(scratch / "tab1.tab"));
  r = RunTool("flatixa", scratch.path(), scratch / "x.sti", "bat\n \nq\n");
  EXPECT_NE(r.Key("Error").find("expected t (TAB file) or s (STI file)"), std::string::npos);
}

}  // namespace
}  // namespace yl::testing
