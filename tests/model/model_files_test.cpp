#include "model/model_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "core/internal_error.h"
#include "core/text_util.h"
#include "model_fixture.h"
#include "platform/files.h"

namespace yl {
namespace {

using testing::JoinLines;
using testing::MinEntry;
using testing::ScratchDir;

Result<std::string> DemoStamp(const std::string&) { return std::string(testing::kDemoStamp); }

class ModelFilesTest : public ::testing::Test {
 protected:
  ModelFilesTest() {
    testing::CopyModelFixture("demo", dir);
    env.temp_dir = scratch.MakeDir("temp");
    env.working_dir = scratch.MakeDir("work");
    env.help_topic = 7001;
    env.read_aux = DemoStamp;
  }
  std::string Demo(const std::string& ext) const { return dir + "/demo" + ext; }

  ScratchDir scratch;
  std::string dir = scratch.MakeDir("model dir");
  ModelEnvironment env;
  Notices p;
  ModelSession session;
  TSimRecord rec;
};

TEST_F(ModelFilesTest, ValidationMessagesInOrder) {
  struct Case {
    const char* name;
    std::function<void(const std::string& dir)> setup;
    std::string chosen;
    std::string message;  // "": accepted
  };
  const std::string d = dir;
  const std::string tail = " does not exist.\r\nNo change made.";
  const Case cases[] = {
      {"accepted", [](const std::string&) {}, d + "/demo.exe", ""},
      {"no extension", [](const std::string& m) { testing::WriteFileBytes(m + "/demo", "x"); },
       d + "/demo", ""},
      {"extension", [](const std::string&) {}, d + "/demo.min",
       "File must have extension .EXE or .KVS"},
      {"axs", [](const std::string& m) { DeleteFileIfExists(m + "/demo.axs"); }, d + "/demo.exe",
       "AXS file " + d + "/demo.axs" + tail},
      {"axt", [](const std::string& m) { DeleteFileIfExists(m + "/demo.axt"); }, d + "/demo.exe",
       "AXT file " + d + "/demo.axt" + tail},
      {"kvt", [](const std::string& m) { testing::WriteFileBytes(m + "/demo.kvs", "s"); },
       d + "/demo.kvs", "KVT file " + d + "/demo.kvt" + tail},
      {"kvs accepted",
       [](const std::string& m) {
         testing::WriteFileBytes(m + "/demo.kvs", "s");
         testing::WriteFileBytes(m + "/DEMO.KVT", "t");
       },
       d + "/demo.kvs", ""},
      {"min", [](const std::string& m) { DeleteFileIfExists(m + "/demo.min"); }, d + "/demo.exe",
       "Model Information File " + d + "/demo.min" + tail},
      {"upper-case companions",
       [](const std::string& m) {
         std::rename((m + "/demo.axs").c_str(), (m + "/DEMO.AXS").c_str());
         std::rename((m + "/demo.min").c_str(), (m + "/Demo.Min").c_str());
       },
       d + "/demo.exe", ""},
      {"terminal",
       [](const std::string& m) {
         testing::WriteFileBytes(m + "/demo.min",
                                 JoinLines({"h", "h", MinEntry("(terminal)", "in", 'n', "ter"),
                                            "#TABFILE", "t", "#TMDATE", testing::kDemoStamp}));
       },
       d + "/demo.exe",
       "This model reads data from the terminal.\r\nAt present such models cannot be used with "
       "Yearloom.\r\nNo change made."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir fresh;
    std::string m = fresh.MakeDir("model dir");
    testing::CopyModelFixture("demo", m);
    testing::WriteFileBytes(m + "/demo.axt", "table");
    c.setup(m);
    std::string chosen = c.chosen;
    chosen.replace(0, d.size(), m);
    std::string message = c.message;
    if (auto at = message.find(d); at != std::string::npos) message.replace(at, d.size(), m);
    Notices pr;
    bool ok = ValidateModelFiles(chosen, pr, env);
    EXPECT_EQ(ok, message.empty());
    if (message.empty()) {
      EXPECT_TRUE(pr.empty()) << pr.back().text;
    } else {
      ASSERT_EQ(pr.size(), 1u);
      EXPECT_EQ(pr.back().text, message);
      EXPECT_EQ(pr.back().kind, MessageKind::kInformation);
      EXPECT_EQ(pr.back().buttons, kOk | kHelp);
      EXPECT_EQ(pr.back().help_topic, 7001);
    }
  }
}

TEST_F(ModelFilesTest, ValidationRefusesAStampMismatch) {
  testing::WriteFileBytes(Demo(".axt"), "table");
  env.read_aux = [](const std::string&) { return Result<std::string>("another stamp"); };
  EXPECT_FALSE(ValidateModelFiles(Demo(".exe"), p, env));
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p.back().kind, MessageKind::kError);
  EXPECT_NE(p.back().text.find("was not created at the same time"), std::string::npos);
}

TEST_F(ModelFilesTest, LoadsTheDemoModel) {
  testing::WriteFileBytes(Demo(".axt"), "table");
  std::string base = scratch.Write("work/base data.har", "b");
  session.first_year = {"File BASEDATA = \"" + base + "\" ;", "file PARAMS = gone.har ;"};
  SetModelFile(session.model, Demo(".exe"), std::nullopt);
  ModelLoadOutcome out = LoadModel(session, rec, p, env);
  EXPECT_TRUE(out.compatible);
  EXPECT_TRUE(out.min_read);
  EXPECT_TRUE(out.din_ok);
  EXPECT_FALSE(out.cleared);
  EXPECT_TRUE(p.empty()) << p.back().text;

  EXPECT_EQ(session.model.ModelName, "demo");
  EXPECT_EQ(session.model.ModelDir, dir);
  EXPECT_EQ(ModelLabel(session.model), "Model: " + Demo(".exe"));
  EXPECT_EQ(session.model.TabFileName, "demo.tab");
  EXPECT_EQ(session.model.StiFileName, "");
  EXPECT_EQ(session.model.MinWrittenBy, (MinRelease{80001, 3}));
  EXPECT_EQ(session.model.MinEntryLines.size(), 6u);
  EXPECT_EQ(session.info.MinPath, Demo(".min"));
  EXPECT_EQ(session.info.DinPath, Demo(".din"));
  EXPECT_TRUE(session.info.DinExists);
  EXPECT_NE(session.info.MinFileAge, 0u);
  EXPECT_NE(session.info.DinFileAge, 0u);
  EXPECT_EQ(rec.NumMinFiles, 8);
  EXPECT_EQ(rec.NumDinFiles, 5);
  EXPECT_EQ(rec.DinFiles[4].Role, kLaggedInput);

  EXPECT_EQ(session.first_year,
            (std::vector<std::string>{
                "File BASEDATA = \"" + base + "\" ; ! Base data of the demo economy",
                "File PARAMS = ?? ; ! Behavioural parameters",
                "File EXTRA = ?? ; ! Extra data, with a description that runs on well past the "
                "eighty characters that",
                "File XDATA = ?? ; ! Lagged copy of the extra data"}));
  // The list as it was before the load.
  EXPECT_EQ(testing::ReadFileBytes(env.temp_dir + "/temp.mdf"),
            "File BASEDATA = \"" + base + "\" ;\nfile PARAMS = gone.har ;\n");
}

TEST_F(ModelFilesTest, MissingFilesClearTheModel) {
  struct Case {
    const char* remove;
    std::string message;
  };
  const Case cases[] = {
      {".exe", "Model Exe File\r\n  " + Demo(".exe") + "\r\ndoes not exist."},
      {".min", "Model Info file " + Demo(".MIN") + " does not exist."},
  };
  for (const Case& c : cases) {
    Notices pr;
    ModelSession s;
    SetModelFile(s.model, Demo(".exe"), std::nullopt);
    s.model.NotWinconsole = true;
    std::string moved = Demo(c.remove) + ".moved";
    std::rename(Demo(c.remove).c_str(), moved.c_str());
    ModelLoadOutcome out = LoadModel(s, rec, pr, env);
    std::rename(moved.c_str(), Demo(c.remove).c_str());
    EXPECT_TRUE(out.cleared);
    EXPECT_FALSE(HasModel(s.model));
    EXPECT_FALSE(s.model.NotWinconsole);
    EXPECT_EQ(ModelLabel(s.model), "(None selected)");
    ASSERT_EQ(pr.size(), 1u);
    EXPECT_EQ(pr.back().text, c.message);
    EXPECT_EQ(pr.back().kind, MessageKind::kError);
  }
}

TEST_F(ModelFilesTest, MissingDinIsReportedAndDefaultsApply) {
  testing::WriteFileBytes(Demo(".axt"), "table");
  DeleteFileIfExists(Demo(".din"));
  SetModelFile(session.model, Demo(".exe"), std::nullopt);
  ModelLoadOutcome out = LoadModel(session, rec, p, env);
  EXPECT_TRUE(out.min_read);
  EXPECT_TRUE(out.din_ok);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p.back().text, "Dynamic Info file " + Demo(".DIN") + " does not exist.");
  EXPECT_EQ(p.back().kind, MessageKind::kInformation);
  EXPECT_FALSE(session.info.DinExists);
  EXPECT_EQ(session.info.DinFileAge, 0u);
  EXPECT_EQ(rec.DinFiles[4].Role, kConstantInput);
}

TEST_F(ModelFilesTest, IncompatibleTableStopsBeforeTheMin) {
  testing::WriteFileBytes(Demo(".axt"), "table");
  env.read_aux = [](const std::string&) { return Result<std::string>("other"); };
  SetModelFile(session.model, Demo(".exe"), std::nullopt);
  ModelLoadOutcome out = LoadModel(session, rec, p, env);
  EXPECT_FALSE(out.compatible);
  EXPECT_FALSE(out.min_read);
  EXPECT_EQ(rec.NumMinFiles, 0);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_NE(p.back().text.find("was not created at the same time"), std::string::npos);
}

TEST_F(ModelFilesTest, TooManyEntriesShowAnInternalError) {
  testing::WriteFileBytes(Demo(".axt"), "table");
  std::vector<std::string> lines{"h1", "h2"};
  for (int i = 1; i <= 51; ++i) {
    lines.push_back(MinEntry("F" + std::to_string(i), "in", 'n', "har"));
    lines.push_back("d");
  }
  lines.insert(lines.end(), {"#TABFILE", "t.tab", "#TMDATE", testing::kDemoStamp});
  testing::WriteFileBytes(Demo(".min"), JoinLines(lines));
  SetModelFile(session.model, Demo(".exe"), std::nullopt);
  ModelLoadOutcome out = LoadModel(session, rec, p, env);
  EXPECT_FALSE(out.min_read);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p.back().text.rfind(InternalErrorText(""), 0), 0u) << p.back().text;
}

TEST_F(ModelFilesTest, TruncatedMinEndsTheLoad) {
  testing::WriteFileBytes(Demo(".axt"), "table");
  testing::WriteFileBytes(Demo(".min"), JoinLines({"#TMDATE", testing::kDemoStamp,
                                                   MinEntry("BASEDATA", "in", 'y', "har")}));
  SetModelFile(session.model, Demo(".exe"), std::nullopt);
  ModelLoadOutcome out = LoadModel(session, rec, p, env);
  EXPECT_FALSE(out.min_read);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p.back().text, "Unexpected end of file " + Demo(".min"));
}

TEST_F(ModelFilesTest, SelectingAKvsModelWithoutInterpreter) {
  testing::WriteFileBytes(Demo(".kvs"), "statements");
  testing::WriteFileBytes(Demo(".kvt"), "table");
  ModelLoadOutcome out;
  EXPECT_TRUE(
      SelectModel(Demo(".kvs"), {std::nullopt, "/opt/solvara"}, session, rec, p, env, &out));
  EXPECT_TRUE(out.min_read);
  EXPECT_FALSE(session.model.IsExe);
  EXPECT_EQ(session.model.ProgramToRun, "");
  ASSERT_GE(p.size(), 1u);
  EXPECT_EQ(p[0].text, "Kalvo program is not available\r\n/opt/solvara");

  // With the interpreter found, it is the program to run.
  Notices p2;
  EXPECT_TRUE(SelectModel(Demo(".kvs"), {"/opt/solvara/kalvo", ""}, session, rec, p2, env));
  EXPECT_EQ(session.model.ProgramToRun, "/opt/solvara/kalvo");
  EXPECT_TRUE(p2.empty());
}

TEST_F(ModelFilesTest, RefusedSelectionKeepsTheOldModel) {
  testing::WriteFileBytes(Demo(".axt"), "table");
  SetModelFile(session.model, Demo(".exe"), std::nullopt);
  LoadModel(session, rec, p, env);
  ModelSession before = session;
  testing::WriteFileBytes(Demo(".kvs"), "statements");  // no ".kvt"
  EXPECT_FALSE(SelectModel(Demo(".kvs"), {}, session, rec, p, env));
  EXPECT_EQ(session.model, before.model);
  EXPECT_EQ(session.info, before.info);
  EXPECT_EQ(p.back().text, "KVT file " + Demo(".kvt") + " does not exist.\r\nNo change made.");
}

}  // namespace
}  // namespace yl

namespace yl {
namespace {

// The fixture as it is, with the real Header Array reader.
TEST(ModelFilesFixture, ValidatesAndLoadsWithTheRealTable) {
  testing::ScratchDir scratch;
  std::string dir = scratch.MakeDir("demo model");
  testing::CopyModelFixture("demo", dir);
  ModelEnvironment env;
  env.temp_dir = scratch.MakeDir("temp");
  Notices p;
  ASSERT_TRUE(ValidateModelFiles(dir + "/demo.exe", p, env)) << p.back().text;
  ModelSession session;
  TSimRecord rec;
  ASSERT_TRUE(SelectModel(dir + "/demo.exe", {}, session, rec, p, env));
  EXPECT_TRUE(p.empty()) << p.back().text;
  EXPECT_EQ(rec.NumMinFiles, 8);
  EXPECT_EQ(session.first_year.size(), 4u);

  // A MIN written at another time is refused.
  std::string min = testing::ReadFileBytes(dir + "/demo.min");
  min.replace(min.find("10:11:12"), 8, "10:11:13");
  testing::WriteFileBytes(dir + "/demo.min", min);
  EXPECT_FALSE(ValidateModelFiles(dir + "/demo.exe", p, env));
  EXPECT_EQ(p.back().text, "Model Information File " + UpperCase(dir + "/demo.min") +
                               " was not created at the same time as the Auxiliary Table File " +
                               UpperCase(dir + "/demo.axt"));
}

}  // namespace
}  // namespace yl
