// yearloom-demo-setup as a user runs it: a ready working directory with a Sim Details
// file, and never a user's file replaced.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "settings/sim_store.h"
#include "sim/sim_record.h"
#include "support/program_run.h"
#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

int RunSetup(const std::string& dir, const std::vector<std::string>& args) {
  PosixProcessRunner runner;
  ProcessSpec spec{BinPath("yearloom-demo-setup"), args, dir, WindowState::kNormal,
                   JoinPath(dir, "setup-output.txt")};
  auto h = runner.Start(spec);
  EXPECT_TRUE(h.has_value());
  if (!h) return -1;
  for (;;) {
    if (auto e = runner.Poll(*h)) return e->exited_normally ? e->code : -1;
    runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(100));
  }
}

class DemoSetupTest : public IsolatedEnvTest {};

TEST_F(DemoSetupTest, LaysOutATenYearSimulation) {
  const std::string dir = scratch / "my demo";
  ASSERT_EQ(RunSetup(scratch.path(), {dir}), 0);
  for (const char* f : {"basedata.har", "params.har", "lagdata.har", "baseshk.har", "base.cls",
                        "policy.cls", "base.bsh", "pol2024.psh", "pol2027.psh", "demo.map"})
    EXPECT_TRUE(FileExists(JoinPath(dir, f))) << f;
  const std::string ds1 = JoinPath(dir, "demomodel-BS1B-BR1R-PL1P.ds1");
  const std::string ds1_text = ReadFileBytes(ds1);
  EXPECT_THAT(ds1_text, HasSubstr("Sim Directory=" + dir + "\n"));
  EXPECT_THAT(ds1_text, HasSubstr("Model=" + BinPath("demomodel")));
  EXPECT_THAT(ds1_text, HasSubstr("File BASEDATA = \"" + JoinPath(dir, "basedata.har") + "\""));
  EXPECT_THAT(ds1_text, HasSubstr("Results Map File=" + JoinPath(dir, "demo.map")));

  auto sim = ReadSimStore(JoinPath(dir, "demomodel-BS1B-BR1R-PL1P.ds2"), dir);
  ASSERT_TRUE(sim.has_value()) << sim.error();
  EXPECT_EQ((*sim)->NumYears, 10);
  EXPECT_EQ((*sim)->FirstYear, 2021);
  EXPECT_TRUE(SameText((*sim)->CMFCells(kCommonRow, kBaseShocks), "base"));
  EXPECT_TRUE(SameText((*sim)->CMFCells(4, kPolicyShocks), "pol2024"));
  EXPECT_EQ((*sim)->CMFCells(3, kPolicyShocks), "");
  EXPECT_EQ((*sim)->NumDinFiles, 4);
  EXPECT_EQ((*sim)->DinFiles[3].Role, kLaggedInput);
}

TEST_F(DemoSetupTest, NeverReplacesAChangedFile) {
  const std::string dir = scratch.MakeDir("d");
  ASSERT_EQ(RunSetup(scratch.path(), {dir}), 0);
  ASSERT_EQ(RunSetup(scratch.path(), {dir}), 0);  // the same files again: fine
  scratch.Write("d/base.cls", "exogenous y ;\n");
  DeleteFileIfExists(JoinPath(dir, "demomodel-BS1B-BR1R-PL1P.ds1"));
  EXPECT_EQ(RunSetup(scratch.path(), {dir}), 1);
  EXPECT_EQ(ReadFileBytes(JoinPath(dir, "base.cls")), "exogenous y ;\n");
  EXPECT_FALSE(FileExists(JoinPath(dir, "demomodel-BS1B-BR1R-PL1P.ds1")));
  EXPECT_THAT(ReadFileBytes(scratch / "setup-output.txt"), HasSubstr("already exists and differs"));
  EXPECT_EQ(RunSetup(scratch.path(), {}), 2);
  // Command files could never name files in it.
  for (const char* name : {"say \"hi\"", "a!b", "a#b", "two\nlines"}) {
    EXPECT_EQ(RunSetup(scratch.path(), {scratch / name}), 1) << name;
    EXPECT_FALSE(DirectoryExists(scratch / name)) << name;
  }
  EXPECT_THAT(ReadFileBytes(scratch / "setup-output.txt"),
              HasSubstr("holds a line break cannot be used: " + scratch.path() + "/two\\nlines"));
}

TEST_F(DemoSetupTest, InterpreterModelVariant) {
  const std::string dir = scratch / "kv";
  ASSERT_EQ(RunSetup(scratch.path(), {dir, "--kalvo"}), 0);
  EXPECT_THAT(ReadFileBytes(JoinPath(dir, "demokv-BS1B-BR1R-PL1P.ds1")),
              HasSubstr("Model=" + BinPath("demokv.kvs")));
}

TEST_F(DemoSetupTest, RationalExpectationsVariant) {
  const std::string dir = scratch / "re";
  ASSERT_EQ(RunSetup(scratch.path(), {dir, "--rational-expectations"}), 0)
      << ReadFileBytes(scratch / "setup-output.txt");
  for (const char* f : {"basedata.har", "params.har", "lagdata.har", "baseshk.har", "rorext.har",
                        "iter.har", "extra.har", "rebase.cls", "repolicy.cls", "base.bsh",
                        "pol2024.psh", "itervar.map", "demo.map"})
    EXPECT_TRUE(FileExists(JoinPath(dir, f))) << f;
  const std::string stem = JoinPath(dir, "demoremodel-BS1B-BR1R-PL1P");
  const std::string ds1_text = ReadFileBytes(stem + ".ds1");
  EXPECT_THAT(ds1_text, HasSubstr("Model=" + BinPath("demoremodel") + "\n"));
  for (const char* line : {"Do Corvan RE=1\n", "Corvan RE Base Iterations=4\n",
                           "Corvan RE Rerun Iterations=1\n", "Corvan RE Policy Iterations=3\n"})
    EXPECT_THAT(ds1_text, HasSubstr(line));
  for (const char* logical : {"ROREXT", "ITER", "EXTRA"})
    EXPECT_NE(ds1_text.find("File " + std::string(logical) + " = " +
                            JoinPath(dir, LowerCase(logical) + ".har") + " ;"),
              std::string::npos)
        << logical;

  auto sim = ReadSimStore(stem + ".ds2", dir);
  ASSERT_TRUE(sim.has_value()) << sim.error();
  EXPECT_TRUE(SameText((*sim)->CMFCells(kCommonRow, kBaseClosure), "rebase"));
  EXPECT_TRUE(SameText((*sim)->CMFCells(kCommonRow, kPolicyClosure), "repolicy"));
  ASSERT_EQ((*sim)->NumDinFiles, 7);
  // The expectations files are carried from period to period like the base data.
  struct Expected {
    const char* name;
    const char* key;
    int role;
  };
  for (const Expected& e :
       {Expected{"BASEDATA", "BAS", kUpdatedInput}, Expected{"LAGDATA", "LAG", kLaggedInput},
        Expected{"ROREXT", "ROR", kUpdatedInput}, Expected{"ITER", "ITE", kUpdatedInput},
        Expected{"EXTRA", "EXT", kUpdatedInput}, Expected{"SUMMARY", "SUM", kOutputOnly}}) {
    int found = 0;
    for (int i = 1; i <= (*sim)->NumDinFiles; ++i) {
      const TDinFileEntry& f = (*sim)->DinFiles[i];
      if (!SameText(Trim(f.Name), e.name)) continue;
      ++found;
      EXPECT_EQ(f.Key, e.key) << e.name;
      EXPECT_EQ(f.Role, e.role) << e.name;
    }
    EXPECT_EQ(found, 1) << e.name;
  }
  // The ordinary demo beside it is unaffected, and there is no interpreter variant.
  ASSERT_EQ(RunSetup(scratch.path(), {dir}), 0);
  EXPECT_EQ(RunSetup(scratch.path(), {scratch / "re-kv", "--rational-expectations", "--kalvo"}), 1);
  EXPECT_THAT(ReadFileBytes(scratch / "setup-output.txt"), HasSubstr("no interpreter model"));
}

}  // namespace
}  // namespace yl::testing
