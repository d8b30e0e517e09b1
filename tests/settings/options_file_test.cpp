#include "settings/options_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cmf/sol_method_ini.h"
#include "platform/files.h"
#include "sim/sim_defaults.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

class OptionsFileTest : public testing::IsolatedEnvTest {
 protected:
  OptionsFileTest() : sim(CreateSimRecord()) {
    prog = scratch.MakeDir("prog");
    work = scratch.MakeDir("work");
    SetDefaultSimulation(*sim, work);
    s.paths.program_dir = prog;
    s.paths.default_temp_dir = scratch.MakeDir("found/SVTEMP/YRLMtemp");
    s.paths.temp_dir = s.paths.default_temp_dir;
    s.paths.next_temp_dir = s.paths.default_temp_dir;
  }
  // A session whose every key differs from its default.
  SessionSettings Unusual() {
    SessionSettings u = s;
    std::string model = scratch.Write("model/orani.exe", "");
    u.model.ModelFile = model;
    u.model.ModelDir = scratch.path() + "/model";
    u.model.ModelName = "orani";
    u.model.IsExe = true;
    u.model.ProgramToRun = model;
    u.model.NotWinconsole = true;
    u.model.Release = ModelReleaseInfo{11, 3, "gfortran 12"};
    u.min_din = TMinDinInfo{scratch.path() + "/model/orani.min",
                            scratch.path() + "/model/orani.din", 123456, 654321, true};
    u.first_year_files = {"File FID = /data/fid.har ; ! basic data",
                          "File PARAMS = \"/my data/p.har\" ; ! params"};
    Options& o = u.options;
    o.PlayMusic = false;  // never written
    o.WarnTempDirName = false;
    o.Editor = scratch.Write("bin/ed", "");
    o.Spreadsheet = "/nowhere/calc";
    o.Tabulon = scratch.Write("bin/tab", "");
    o.Halvo = scratch.Write("bin/halvo", "");
    o.Deepro = scratch.Write("bin/deepro", "");
    o.AbbreviatedSsJobs = o.YonYDifferencesSs = o.AccumulateSubtotals = o.NeverBatJob = true;
    o.ClearTempDirAtExit = false;
    o.VisibleLogFiles = true;
    o.SuppressScreenSaver = false;
    o.FewerMessages = true;
    o.CheckPrerequisites = false;
    o.HideRe = false;
    o.CompleteBaseFirst = o.AddToJobsLog = true;
    o.ConcurrentSolves = 3;
    o.Outputs = OutputsBeforeRun::kNeither;
    o.NoRerun = true;
    o.SolFileShocks = o.ArithProbNotFatalRsl = true;
    o.ResultsMapFile = scratch.Write("work/res.map", "");
    o.Re = ReSettings{true, 7, 1, 9, 2, false, false, false, false, false};
    u.paths.solvara_dir = scratch.MakeDir("sv");
    u.paths.next_temp_dir = scratch.MakeDir("next");
    ::chmod(u.paths.next_temp_dir.c_str(), 0700);
    u.methods.Normal.Method = TSolMethod{kGragg, 3, {2, 4, 6}, 1, true};
    u.methods.Alternative.Method = TSolMethod{kEuler, 2, {3, 5, 7}, 2, false};
    return u;
  }
  std::unique_ptr<TSimRecord> sim;
  SessionSettings s;
  Notices notices;
  std::string prog, work;
};

TEST_F(OptionsFileTest, UpdateFormRoundTripsEveryKeyOfTheThreeGroups) {
  SessionSettings u = Unusual();
  sim->NumYears = 3;
  sim->LengthPeriods[1] = 1;
  sim->LengthPeriods[2] = 5;
  sim->LengthPeriods[3] = 99;
  sim->AltMethodInUse = true;
  sim->AltMethodYears[2] = true;
  std::string path = scratch / "keep/yearloom.ini";
  testing::WriteFileBytes(path, "[Options]\nPlayMusic=1\n[MRUFiles]\nMRU1=/w/a.ds1\n");
  ASSERT_TRUE(WriteIniOptions(path, OptionsForm::kUpdate, u, *sim, notices));

  auto back = CreateSimRecord();
  SetDefaultSimulation(*back, prog);
  SessionSettings r = s;
  r.re_available = true;
  EXPECT_TRUE(ReadOptionsFile(path, kAllGroups, r, *back, notices));
  EXPECT_TRUE(notices.empty()) << notices.back().text;

  Options expected = u.options;
  expected.PlayMusic = true;  // set by hand in the file, kept by the update form
  EXPECT_EQ(r.options, expected);
  EXPECT_EQ(r.FileVersion, 318);
  EXPECT_EQ(r.model.ModelFile, u.model.ModelFile);
  EXPECT_EQ(r.model.ModelName, "orani");
  EXPECT_EQ(r.model.Release, u.model.Release);
  EXPECT_TRUE(r.model.NotWinconsole);
  EXPECT_EQ(r.min_din, u.min_din);
  EXPECT_EQ(r.first_year_files, u.first_year_files);
  EXPECT_EQ(r.methods, u.methods);
  EXPECT_EQ(r.paths.solvara_dir, u.paths.solvara_dir);
  EXPECT_EQ(r.paths.temp_dir, u.paths.next_temp_dir);
  EXPECT_EQ(back->SimDir, work);
  EXPECT_EQ(back->LengthPeriods[2], 5);
  EXPECT_EQ(back->LengthPeriods[3], 99);
  EXPECT_TRUE(back->AltMethodInUse);
  EXPECT_TRUE(back->AltMethodYears[2]);
  EXPECT_FALSE(back->AltMethodYears[1]);

  auto ini = IniFile::Load(path);
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->ReadString("MRUFiles", "MRU1", ""), "/w/a.ds1");
}

TEST_F(OptionsFileTest, SequentialFormWritesKeysInOrder) {
  SessionSettings u = Unusual();
  u.first_year_files.clear();
  sim->NumYears = 2;
  auto lines = SequentialOptionsLines(u, *sim);
  std::vector<std::string> keys;
  for (const auto& l : lines) keys.push_back(l.substr(0, l.find('=')));
  const std::vector<std::string> head = {"[Environment]",
                                         "Model",
                                         "Simulation Program SV Release",
                                         "Simulation Program Version",
                                         "Simulation Program Compiler",
                                         "Not winconsole exe",
                                         "Model Name",
                                         "Quillo File",
                                         "YearloomVersion",
                                         "Model Info File",
                                         "Dynamic Info File",
                                         "MIN File Id",
                                         "DIN File Id",
                                         "Is DIN file",
                                         "Sim Directory",
                                         "Results Map File",
                                         "Do Corvan RE",
                                         "Corvan RE Base Iterations",
                                         "Corvan RE Rerun Iterations",
                                         "Corvan RE Policy Iterations",
                                         "Corvan RE Policy Start Year",
                                         "Prepare Convergence HAR files",
                                         "Prepare Convergence ROREXT files",
                                         "Prepare Convergence CSV files",
                                         "Do Standard Corvan RE checks",
                                         "Allow several Corvan RE iterations on Rerun",
                                         "Editor",
                                         "Spreadsheet",
                                         "Tabulon",
                                         "Halvo",
                                         "Deepro",
                                         "Rerun FC with Dev",
                                         "Abbreviated SS jobs",
                                         "Make YonY Differences SS",
                                         "Accumulate subtotals results",
                                         "Never use bat job for simulations",
                                         "UseSolvaraDir",
                                         "Clear Temp Dir when Exit",
                                         "TempDir",
                                         "Use CMFStart",
                                         "Use RunSpecific CMFStart",
                                         "Sol File Shocks",
                                         "Arith Prob Not Fatal RSL",
                                         "Visible Log Files",
                                         "Suppress Screen Saver",
                                         "Fewer Messages",
                                         "Check Prerequisites",
                                         "Hide Rational Expectations",
                                         "Complete Base First",
                                         "Add to Jobs Log File",
                                         "Allow 2 Concurrent Solves",
                                         "Allow 3 Concurrent Solves",
                                         "Outputs Before Run",
                                         " ",
                                         "[Input Files]",
                                         "0",
                                         " ",
                                         "[Solution Method]"};
  ASSERT_GT(keys.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + head.size()), head);
  EXPECT_EQ(lines[7], "Quillo File=");
  EXPECT_EQ(lines[8], "YearloomVersion=318");
  EXPECT_EQ(lines[31], "Rerun FC with Dev=no");
  EXPECT_EQ(lines[38], "TempDir=" + u.paths.temp_dir);  // in use, not next start
  EXPECT_EQ(lines[55], "0=");
  const std::vector<std::string> tail = {" ", "[Length Periods]", "Number periods=2", "1=1", "2=1"};
  EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()), tail);

  u.re_available = false;
  auto no_re = SequentialOptionsLines(u, *sim);
  EXPECT_EQ(no_re.size(), lines.size() - 10);
}

TEST_F(OptionsFileTest, SequentialFileReadsBackAsVersionZero) {
  SessionSettings u = Unusual();
  std::string path = scratch / "x.ds1";
  ASSERT_TRUE(WriteIniOptions(path, OptionsForm::kSequential, u, *sim, notices));
  SessionSettings r = s;
  auto back = CreateSimRecord();
  SetDefaultSimulation(*back, prog);
  ReadOptionsFile(path, OptionGroups{false, true, true}, r, *back, notices);
  EXPECT_EQ(r.FileVersion, 0);
  EXPECT_EQ(r.first_year_files, u.first_year_files);
  EXPECT_EQ(r.options.Re, u.options.Re);
  EXPECT_TRUE(r.options.NoRerun);
  EXPECT_EQ(r.options.Editor, "");  // options group not applied
}

TEST_F(OptionsFileTest, SequentialWriterFailureIsShown) {
  std::string path = scratch / "missing/dir/x.ds1";
  auto w = WriteIniOptions(path, OptionsForm::kSequential, s, *sim, notices);
  ASSERT_FALSE(w);
  EXPECT_EQ(w.error(), "Cannot create file " + path + "[TxtCreate][WriteIniOptions]");
  EXPECT_EQ(notices.back().text, w.error() +
                                     "\r\nIs this file locked by another application?\r\nIf so, "
                                     "free it and try again.");
}

struct ReadCase {
  std::string name;
  std::string text;
  std::function<void(const SessionSettings&, const TSimRecord&)> check;
};

const char kJunkBytes[] =
    "\x00\xff[Environment\x01]\n=\n\x7f=\x80\n[Length Periods]\nNumber periods=99999999999999\n";
const std::string kJunk(kJunkBytes, sizeof kJunkBytes - 1);

TEST_F(OptionsFileTest, DefaultsAndRangeRules) {
  const ReadCase cases[] = {
      {"empty", "",
       [](const SessionSettings& r, const TSimRecord& sim) {
         EXPECT_EQ(r.options, Options{});
         EXPECT_EQ(sim.LengthPeriods[5], 1);
       }},
      {"iterations",
       "[Environment]\nDo Corvan RE=1\nCorvan RE Base Iterations=0\n"
       "Corvan RE Policy Iterations=99\nCorvan RE Policy Start Year=100\n",
       [](const SessionSettings& r, const TSimRecord&) {
         EXPECT_EQ(r.options.Re.BaseIterations, 30);
         EXPECT_EQ(r.options.Re.PolicyIterations, 99);
         EXPECT_EQ(r.options.Re.PolicyStartYears, 0);
       }},
      {"re off resets counts",
       "[Environment]\nCorvan RE Base Iterations=5\nHide Rational "
       "Expectations=1\n",
       [](const SessionSettings& r, const TSimRecord&) {
         EXPECT_EQ(r.options.Re.BaseIterations, 30);
         EXPECT_TRUE(r.options.HideRe);
       }},
      {"hide needs re off", "[Environment]\nDo Corvan RE=7\nHide Rational Expectations=1\n",
       [](const SessionSettings& r, const TSimRecord&) {
         EXPECT_TRUE(r.options.Re.DoRe);
         EXPECT_FALSE(r.options.HideRe);
       }},
      {"outputs case", "[Environment]\nOutputs Before Run=Move\n",
       [](const SessionSettings& r, const TSimRecord&) {
         EXPECT_EQ(r.options.Outputs, OutputsBeforeRun::kDelete);
       }},
      {"outputs move",
       "[Environment]\nOutputs Before Run=move\nRerun FC with Dev=NO\n"
       "Abbreviated SS jobs=YES\nAllow 2 Concurrent Solves=1\n",
       [](const SessionSettings& r, const TSimRecord&) {
         EXPECT_EQ(r.options.Outputs, OutputsBeforeRun::kMove);
         EXPECT_TRUE(r.options.NoRerun);
         EXPECT_TRUE(r.options.AbbreviatedSsJobs);
         EXPECT_EQ(r.options.ConcurrentSolves, 2);
       }},
      {"too many periods", "[Length Periods]\nNumber periods=1000\n1=5\n",
       [](const SessionSettings&, const TSimRecord& sim) { EXPECT_EQ(sim.LengthPeriods[1], 7); }},
      {"zero periods", "[Length Periods]\nnumber PERIODS=0\n",
       [](const SessionSettings&, const TSimRecord& sim) {
         EXPECT_EQ(sim.LengthPeriods[1], 1);
         EXPECT_EQ(sim.LengthPeriods[999], 1);
       }},
      {"lengths out of range", "[Length Periods]\nNumber periods=3\n1=0\n2=100\n3=x\n",
       [](const SessionSettings&, const TSimRecord& sim) {
         EXPECT_EQ(sim.LengthPeriods[1], 7);
         EXPECT_EQ(sim.LengthPeriods[2], 7);
         EXPECT_EQ(sim.LengthPeriods[3], 1);
       }},
      {"binary junk", kJunk,
       [](const SessionSettings& r, const TSimRecord& sim) {
         EXPECT_EQ(r.options, Options{});
         EXPECT_EQ(sim.LengthPeriods[1], 1);  // unreadable count: the default 0
       }},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto rec = CreateSimRecord();
    SetDefaultSimulation(*rec, work);
    for (int i = 1; i <= kMaxPeriods; ++i) rec->LengthPeriods[i] = 7;
    SessionSettings r = s;
    ReadOptions(IniFile::Parse(c.text), kAllGroups, r, *rec, notices);
    c.check(r, *rec);
  }
}

TEST_F(OptionsFileTest, InputFilesStopAtTheFirstMissingKey) {
  std::string model = scratch.Write("m/demo.exe", "");
  auto ini = IniFile::Parse("[Environment]\nModel=" + model +
                            "\n[Input Files]\n0=File A = a.har ;\n1=File B = b.har ;\n"
                            "3=File D = d.har ;\n");
  ReadOptions(ini, OptionGroups{false, true, false}, s, *sim, notices);
  EXPECT_EQ(s.first_year_files, (std::vector<std::string>{"File A = a.har ;", "File B = b.har ;"}));
  EXPECT_EQ(s.model.ModelName, "demo");
  EXPECT_TRUE(s.model.IsExe);
}

TEST_F(OptionsFileTest, MissingModelIsClearedWithAMessage) {
  s.first_year_files = {"File A = a.har ;"};
  s.model.ModelFile = "/old/model.exe";
  auto ini = IniFile::Parse(
      "[Environment]\nModel=/gone/model.exe\nModel Name=model\n"
      "[Input Files]\n0=File A = a.har ;\n");
  ReadOptions(ini, OptionGroups{false, true, false}, s, *sim, notices);
  EXPECT_EQ(notices.back().text, "Model Exe File\r\n  /gone/model.exe\r\ndoes not exist.");
  EXPECT_EQ(notices.back().help_topic, 7006);
  EXPECT_EQ(s.model, ModelState{});
  EXPECT_TRUE(s.first_year_files.empty());
}

TEST_F(OptionsFileTest, LocatorFailureClearsTheModel) {
  std::string model = scratch.Write("m/demo.kvs", "");
  OptionsReadContext ctx;
  ctx.locate_model = [](ModelState&, const std::string&) { return false; };
  ReadOptions(IniFile::Parse("[Environment]\nModel=" + model + "\n"),
              OptionGroups{false, true, false}, s, *sim, notices, ctx);
  EXPECT_EQ(s.model.ModelFile, "");
  EXPECT_TRUE(notices.empty());
}

TEST_F(OptionsFileTest, MissingWorkingDirectoryFallsBackToProgramDirectory) {
  ReadOptions(IniFile::Parse("[Environment]\nSim Directory=/gone/work\n"),
              OptionGroups{false, false, true}, s, *sim, notices);
  EXPECT_EQ(sim->SimDir, prog);
  EXPECT_EQ(notices.back().text,
            "Previously the Working Directory (see Sim Overview page) was\r\n/gone/work\r\nSince "
            "this directory no longer exists, the Working Directory is now set to\r\n" +
                prog + "\r\nYou may wish to change this as soon as possible.");
  EXPECT_EQ(notices.back().help_topic, 7009);
}

TEST_F(OptionsFileTest, TempDirRules) {
  std::string good = scratch.MakeDir("good");
  ::chmod(good.c_str(), 0700);
  std::string open = scratch.MakeDir("open");
  ::chmod(open.c_str(), 0777);
  struct Case {
    std::string text;
    std::string expected;
  };
  const std::string found = s.paths.default_temp_dir;
  const Case cases[] = {
      {"[Options]\nYearloomVersion=318\n[Environment]\nTempDir=" + good + "\n", good},
      {"[Options]\nYearloomVersion=169\n[Environment]\nTempDir=" + good + "\n", found},
      {"[Options]\nYearloomVersion=318\n[Environment]\nTempDir=/tm\n", ""},
      {"[Options]\nYearloomVersion=318\n[Environment]\nTempDir=/no/such/dir\n", found},
      {"[Options]\nYearloomVersion=318\n[Environment]\nTempDir=" + open + "\n", found},
      {"[Options]\nYearloomVersion=318\n", found},
  };
  for (const Case& c : cases) {
    SessionSettings r = s;
    ReadOptions(IniFile::Parse(c.text), OptionGroups{true, false, false}, r, *sim, notices);
    EXPECT_EQ(r.paths.temp_dir, c.expected) << c.text;
    EXPECT_EQ(r.paths.next_temp_dir, c.expected);
  }
}

TEST_F(OptionsFileTest, ForeignOwnedStoredTempDirIsNotUsed) {
  std::string dir = scratch.MakeDir("theirs");
  ::chmod(dir.c_str(), 0700);
  OptionsReadContext ctx;
  ctx.owner_probe = [](const std::string&) { return DirOwnerInfo{false, false}; };
  ReadOptions(IniFile::Parse("[Options]\nYearloomVersion=318\n[Environment]\nTempDir=" + dir),
              OptionGroups{true, false, false}, s, *sim, notices, ctx);
  EXPECT_EQ(s.paths.temp_dir, s.paths.default_temp_dir);
}

TEST_F(OptionsFileTest, DroppedPathsAndUnavailableRe) {
  s.re_available = false;
  std::string text =
      "[Environment]\nEditor=/gone/ed\nSpreadsheet=/gone/calc\nTabulon=/gone/t\n"
      "UseSolvaraDir=/gone/sv\nResults Map File=/gone/x.map\nDo Corvan RE=1\n"
      "Corvan RE Base Iterations=5\nHide Rational Expectations=1\n";
  bool re = ReadOptions(IniFile::Parse(text), kAllGroups, s, *sim, notices);
  EXPECT_TRUE(re);  // always read for the caller
  EXPECT_EQ(s.options.Editor, "");
  EXPECT_EQ(s.options.Spreadsheet, "/gone/calc");
  EXPECT_EQ(s.options.Tabulon, "");
  EXPECT_EQ(s.paths.solvara_dir, "");
  EXPECT_EQ(s.options.ResultsMapFile, "");
  EXPECT_FALSE(s.options.Re.DoRe);
  EXPECT_EQ(s.options.Re.BaseIterations, 30);
  EXPECT_FALSE(s.options.HideRe);
}

TEST(FirstRunDefaults, ConcurrencyFollowsProcessors) {
  for (auto [cpus, solves] : {std::pair{1, 1}, {2, 2}, {8, 3}}) {
    SessionSettings s;
    s.options.FewerMessages = true;
    s.paths.solvara_dir = "/x";
    ApplyFirstRunDefaults(s, cpus);
    EXPECT_EQ(s.options.ConcurrentSolves, solves);
    EXPECT_TRUE(s.options.SolFileShocks);
    EXPECT_FALSE(s.options.FewerMessages);
    EXPECT_TRUE(s.options.SuppressScreenSaver);
    EXPECT_EQ(s.options.Outputs, OutputsBeforeRun::kDelete);
    EXPECT_EQ(s.paths.solvara_dir, "");
  }
}

}  // namespace
}  // namespace yl
