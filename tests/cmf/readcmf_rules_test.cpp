#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "cmf/cmf_util.h"
#include "cmf/cmf_util_cells.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

TEST(CmfRules, WordLists) {
  EXPECT_TRUE(WordInList("exogenous", kClosureWords));
  EXPECT_TRUE(WordInList("FILE", kClosureWords));
  EXPECT_FALSE(WordInList("save", kClosureWords));
  EXPECT_TRUE(WordInList("save", kClosureSaveWords));
  EXPECT_FALSE(WordInList("ashock", kShockWords));
  EXPECT_TRUE(WordInList("tshock", kShockAshockWords));
  EXPECT_TRUE(WordInList("shock", kCMFStartForbiddenWords));
  EXPECT_FALSE(WordInList("xfile", kCMFStartForbiddenWords));
  // Parts of the list text are not words of it.
  EXPECT_FALSE(WordInList("rest@swap", kClosureWords));
  EXPECT_FALSE(WordInList("", kClosureWords));
  EXPECT_FALSE(WordInList("exo", kClosureWords));
}

std::string CtrlZText(const std::string& context, int pos, int line, const std::string& text) {
  return "ControlZ found in text " + context + "\r\nin position " + std::to_string(pos) +
         " in line number " + std::to_string(line) + "\r\n\"" + text +
         "\"\r\n Please remove ControlZ to fix this.\r\n[Having such a character before the end "
         "of the file will\r\n  confuse some compilers and editors.]";
}

struct CtrlZCase {
  std::vector<std::string> lines;
  int pos;  // 0: none found
  int line;
  const char* text;
};

TEST(CmfRules, ControlZRule) {
  for (const auto& c : std::vector<CtrlZCase>{
           {{"exo x ;", "\x1a"}, 0, 0, ""},
           {{"exo x ;", "\x1a   ", "", "   "}, 0, 0, ""},
           {{"exo x ;\x1a ! a comment"}, 0, 0, ""},
           {{"exo x \x1a;"}, 7, 1, "exo x \x1a;"},
           {{"exo x ;", "  \x1a", "endo y ;"}, 3, 2, "  \x1a"},
           {{"\x1a\x1a"}, 1, 1, "\x1a\x1a"},
           {{"exo x ; ! \x1a in a comment", "endo y ;"}, 0, 0, ""},
       }) {
    TOpenCMFFile reader;
    reader.OpenLines(c.lines);
    std::optional<Message> found = FindControlZ(reader, ClosureFileContext("/w/a.cls"));
    EXPECT_EQ(found.has_value(), c.pos != 0) << c.lines[0];
    if (found) {
      EXPECT_EQ(found->text, CtrlZText("in closure file \r\n/w/a.cls", c.pos, c.line, c.text));
      EXPECT_EQ(found->kind, MessageKind::kError);
      EXPECT_EQ(found->buttons, kOk);
    }
  }
}

class CmfRuleFiles : public ::testing::Test {
 protected:
  std::string File(const std::string& name, const std::string& text) {
    return dir.Write(name, text);
  }
  ScratchDir dir;
};

std::string ClosureMessage(const std::string& word, const std::string& file) {
  return "Key word \"" + word + "\" must not be in closure file\r\n" + file +
         "\r\nPlease change this file.";
}
std::string ShockMessage(const std::string& word, const std::string& file) {
  return "Key word \"" + word + "\" must not be in shocks file\r\n" + file +
         "\r\nPlease change this file.";
}

TEST_F(CmfRuleFiles, ClosureRuleVariants) {
  std::string good = File("g.cls", "exo x ;\nendo y ;\nrest endogenous ;\nswap a = b ;\n");
  std::string save = File("s.cls", "exogenous x ;\nsave environment file e ;\n");
  std::string bad = File("b.cls", "exogenous x ;\nshock x = 1 ;\nendo z ;\n");
  for (const std::string& f : {good, save}) {
    RuleResult r = ClosureRule(f, 7017);
    EXPECT_TRUE(r.passed) << f;
    EXPECT_EQ(r.problem.text, "") << f;
  }

  RuleResult no_save = ClosureRule(save, 7017, false);
  EXPECT_FALSE(no_save.passed);
  EXPECT_FALSE(no_save.ctrl_z);
  EXPECT_EQ(no_save.problem.text, ClosureMessage("save", save));

  RuleResult r = ClosureRule(bad, 7038);
  EXPECT_FALSE(r.passed);
  EXPECT_EQ(r.problem.text, ClosureMessage("shock", bad));
  EXPECT_EQ(r.problem.kind, MessageKind::kError);
  EXPECT_EQ(r.problem.buttons, kOk | kHelp);
  EXPECT_EQ(r.problem.help_topic, 7038);

  EXPECT_TRUE(ClosureRule(dir / "missing.cls", 7017).passed);
}

TEST_F(CmfRuleFiles, ShockRuleVariantsAndControlZ) {
  std::string ashock = File("a.bsh", "shock x = 1 ;\nashock y = 2 ;\n");
  std::string ctrlz = File("z.bsh", "shock x = 1 ;\n\x1a;\n");
  EXPECT_TRUE(ShockRule(ashock, true, 7018).passed);
  RuleResult no_ashock = ShockRule(ashock, false, 7018);
  EXPECT_FALSE(no_ashock.passed);
  EXPECT_EQ(no_ashock.problem.text, ShockMessage("ashock", ashock));
  EXPECT_EQ(no_ashock.problem.help_topic, 7018);

  RuleResult z = ShockRule(ctrlz, true, 7018);
  EXPECT_FALSE(z.passed);
  EXPECT_TRUE(z.ctrl_z);
  // The Ctrl-Z message replaces the rule's own, without help.
  EXPECT_EQ(z.problem.text, CtrlZText(ShockFileContext(ctrlz), 1, 2, "\x1a;"));
  EXPECT_EQ(z.problem.kind, MessageKind::kError);
  EXPECT_EQ(z.problem.buttons, kOk);
  EXPECT_EQ(z.problem.help_topic, 0);
}

TEST_F(CmfRuleFiles, CMFStartRuleRefusesStatementWords) {
  std::string ok = File("start.cmf", "file base = b.har ;\nmethod = euler ;\nsteps = 2 4 6 ;\n");
  std::string bad = File("bad.cmf", "method = euler ;\nEndo x ;\n");
  EXPECT_TRUE(CMFStartRule(ok, kCMFStartHelpTopic).passed);
  RuleResult r = CMFStartRule(bad, kCMFStartHelpTopic);
  EXPECT_FALSE(r.passed);
  EXPECT_EQ(r.problem.text, "Key word \"endogenous\" must not be in CMFStart file\r\n  " + bad +
                                "\r\nPlease change this file.");
  EXPECT_EQ(r.problem.help_topic, 7080);
}

TEST_F(CmfRuleFiles, HostileTextNeverCrashes) {
  std::string text = "exogenous \"unterminated name\n# stray hash\n";
  for (int i = 0; i < 10000; ++i) text += "exo v" + std::to_string(i) + " ;\n";
  text += std::string(100000, 'a') + " ;\n";
  text += "file f = \"na$me with blank\" ;\n";
  std::string f = File("hostile.cls", text);
  WordCheck words = CheckAllowedWords(f, kClosureWords, ClosureFileContext(f));
  EXPECT_FALSE(words.passed);
  EXPECT_EQ(words.word, std::string(40, 'a'));
  EXPECT_FALSE(words.ctrl_z);
}

// A three-period record in a scratch working directory.
class CmfCells : public ::testing::Test {
 protected:
  CmfCells() {
    sim.NumYears = 3;
    sim.FirstYear = 2001;
    sim.SimDir = dir.path();
    for (int k = 1; k <= kMaxPeriods; ++k) sim.LengthPeriods[k] = 1;
    RecomputeYears(sim);
    ResetRowsAboveNumYears(sim);
    for (int row = -1; row <= 3; ++row) {
      for (int col = 1; col <= 4; ++col) sim.CMFCells(row, col) = "";
    }
    sim.CMFCells(-1, 2) = "N/A";
  }
  void Set(int row, int col, const std::string& cell) {
    sim.CMFCells(row, col) = cell;
    RecomputeCMFNames(sim);
  }
  ScratchDir dir;
  TSimRecord sim;
};

TEST_F(CmfCells, CellPathsUseTheOnDiskName) {
  dir.Write("run98.cls", "exo x ;\n");
  Set(1, 1, "RUN98");
  Set(2, 1, "?");
  Set(-1, 1, "START");
  sim.CMFStartExt[1] = ".cmf";
  RecomputeCMFNames(sim);
  EXPECT_EQ(CellFilePath(sim, 1, 1), dir / "run98.cls");
  EXPECT_EQ(CellFilePath(sim, 2, 1), "");
  EXPECT_EQ(CellFilePath(sim, 3, 1), "");
  EXPECT_EQ(CellFilePath(sim, -1, 2), "");
  EXPECT_EQ(CMFStartFilePath(sim, kBase), dir / "START.cmf");
}

struct CellRuleCase {
  int column;
  const char* text;
  bool passes;
  int help;
};

TEST_F(CmfCells, CellRuleByColumn) {
  for (const auto& c : {CellRuleCase{1, "exo x ;\nsave env file e ;\n", true, 0},
                        CellRuleCase{3, "exo x ;\nshock y = 1 ;\n", false, 7017},
                        CellRuleCase{2, "shock x = 1 ;\n", true, 0},
                        CellRuleCase{2, "ashock x = 1 ;\n", false, 7018},
                        CellRuleCase{4, "ashock x = 1 ;\ntshock y = 2 ;\n", true, 0},
                        CellRuleCase{4, "exo x ;\n", false, 7018}}) {
    std::string file = dir.Write("cell.txt", c.text);
    RuleResult r = CellRule(file, c.column);
    EXPECT_EQ(r.passed, c.passes) << c.column << " " << c.text;
    EXPECT_EQ(r.problem.help_topic, c.help) << c.column << " " << c.text;
  }
}

TEST_F(CmfCells, RangeRuleAllowsAshockAndStopsAtFirstFailure) {
  dir.Write("c.cls", "exo x ;\n");
  dir.Write("bad.cls", "shock x = 1 ;\n");
  dir.Write("a.bsh", "ashock x = 1 ;\n");
  for (int k = 1; k <= 3; ++k) Set(k, 1, "C");
  Set(2, 2, "A");
  EXPECT_TRUE(RangeRule(sim, 1, 1, 3, true, 7038).passed);
  EXPECT_FALSE(CellRule(sim, 2, 2).passed);  // the single-cell rule refuses ashock
  Set(2, 1, "BAD");
  Set(3, 1, "BAD");
  RuleResult r = RangeRule(sim, 1, 1, 3, false, 7038);
  EXPECT_FALSE(r.passed);
  EXPECT_EQ(r.problem.text, "Key word \"shock\" must not be in closure file\r\n" + dir / "bad.cls" +
                                "\r\nPlease change this file.");
  EXPECT_EQ(r.problem.help_topic, 7038);
  EXPECT_TRUE(RangeRule(sim, 1, 3, 2, false, 7038).passed);  // an empty range
  EXPECT_TRUE(RangeRule(sim, 2, 1, 3, true, 7038).passed);   // not a closure column
}

TEST_F(CmfCells, CMFStartConstituents) {
  dir.Write("sb.cmf", "xfile d ; file d = base.har ;\n");
  dir.Write("sr.cmf", "use environment file e ;\n");
  dir.Write("sp.cmf", "file x = y.har ;\n");
  Set(-1, 1, "SB");
  Set(-1, 3, "SR");
  Set(-1, 4, "SP");
  for (int c = 1; c <= 4; ++c) sim.CMFStartExt[c] = ".cmf";
  RecomputeCMFNames(sim);

  CMFStartCheck check = CheckCMFStartConstituents(sim, 1, 3, false);
  EXPECT_FALSE(check.passed);
  EXPECT_EQ(check.failed_path, dir / "sr.cmf");
  ASSERT_EQ(check.messages.size(), 4u);
  EXPECT_EQ(check.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(check.messages[1].text,
            "Above refer to files referred to in CMFStart file\r\n" + dir / "sb.cmf");
  EXPECT_EQ(check.messages[1].kind, MessageKind::kInformation);
  EXPECT_EQ(check.messages[3].text,
            "Above refer to files referred to in CMFStart file\r\n" + dir / "sr.cmf");

  CMFStartCheck no_rerun = CheckCMFStartConstituents(sim, 2, 3, true);
  EXPECT_TRUE(no_rerun.passed);
  EXPECT_TRUE(no_rerun.messages.empty());
  dir.Write("base.har", "");
  dir.Write("e.en4", "");
  EXPECT_TRUE(CheckCMFStartConstituents(sim, 1, 3, false).passed);
}

TEST_F(CmfCells, CMFStartBlockIsCopiedCleaned) {
  dir.Write("Start.Cmf", "method = euler ;\n\tsteps = 2\x1a;\n");
  Set(-1, 1, "START");
  sim.CMFStartExt[1] = ".CMF";
  RecomputeCMFNames(sim);
  TextWriter out;
  ASSERT_TRUE(out.Create(dir / "out.cmf"));
  ASSERT_TRUE(WriteCMFStartBlock(sim, kBase, out));
  ASSERT_TRUE(WriteCMFStartBlock(sim, kPolicy, out));  // no CMFStart file: nothing
  ASSERT_TRUE(out.Close());
  EXPECT_EQ(dir.Read("out.cmf"),
            " \n! Begin CMFSTART file \"Start.Cmf\"\nmethod = euler ;\n steps = 2 ;\n"
            "! End CMFSTART file \"Start.Cmf\"\n \n");
}

}  // namespace
}  // namespace yl

namespace yl {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(YL_TEST_DATA_DIR) + "/cmf/" + name;
}

enum class Rule { kClosure, kClosureNoSave, kShock, kShockNoAshock, kCMFStart };

struct FixtureCase {
  const char* file;
  Rule rule;
  const char* bad_word;  // nullptr: passes; "": fails on Ctrl-Z
};

TEST(CmfRuleFixtures, RulesOnSmallFiles) {
  for (const auto& c : {FixtureCase{"base.cls", Rule::kClosure, nullptr},
                        FixtureCase{"base.cls", Rule::kClosureNoSave, "save"},
                        FixtureCase{"ashock.bsh", Rule::kShock, nullptr},
                        FixtureCase{"ashock.bsh", Rule::kShockNoAshock, "ashock"},
                        FixtureCase{"ctrlz.cls", Rule::kClosure, ""},
                        FixtureCase{"swap_start.cmf", Rule::kCMFStart, "swap"},
                        FixtureCase{"base.cls", Rule::kCMFStart, "exogenous"}}) {
    const std::string f = Fixture(c.file);
    RuleResult r;
    switch (c.rule) {
      case Rule::kClosure:
        r = ClosureRule(f, 1, true);
        break;
      case Rule::kClosureNoSave:
        r = ClosureRule(f, 1, false);
        break;
      case Rule::kShock:
        r = ShockRule(f, true, 1);
        break;
      case Rule::kShockNoAshock:
        r = ShockRule(f, false, 1);
        break;
      case Rule::kCMFStart:
        r = CMFStartRule(f, 1);
        break;
    }
    EXPECT_EQ(r.passed, c.bad_word == nullptr) << c.file;
    EXPECT_EQ(r.ctrl_z, c.bad_word && *c.bad_word == '\0') << c.file;
    if (c.bad_word && *c.bad_word) {
      EXPECT_NE(r.problem.text.find("Key word \"" + std::string(c.bad_word) + "\""),
                std::string::npos)
          << r.problem.text;
    }
    if (r.ctrl_z) {
      EXPECT_TRUE(r.problem.text.starts_with("ControlZ found in text")) << c.file;
    }
    EXPECT_EQ(r.problem.text.empty(), r.passed) << c.file;
  }
}

TEST(CmfRuleFixtures, ReferencesOfAFixture) {
  const std::string f = Fixture("refs.cls");
  const std::string dir = std::string(YL_TEST_DATA_DIR) + "/cmf";
  EXPECT_EQ(CmfReferenceProblems(f),
            (std::vector<std::string>{
                "The Command file\r\n   " + f +
                    "\r\n includes a \"file\" statement which refers to file\r\n   " + dir +
                    "/$HOME dat.har\r\nThis latter file does not exist.",
                "The Command file\r\n   " + f +
                    "\r\n includes a \"use\" statement which refers to file\r\n   ../up.en4\r\n"
                    "Files referred to in this Command file must not be in a different "
                    "directory."}));
}

TEST(CmfRuleFixtures, HostileDirectoryNames) {
  testing::ScratchDir scratch;
  std::string dir = scratch.MakeDir("a 'b' $c \"d\"");
  testing::WriteFileBytes(dir + "/my $x.har", "");
  testing::WriteFileBytes(dir + "/p.psh", "shock y = file \"my $x.har\" ;\nashock z = 1 ;\n");
  EXPECT_TRUE(CheckCmfReferences(dir + "/p.psh").empty());
  EXPECT_TRUE(CellRule(dir + "/p.psh", 4).passed);
  // Not a regular file: nothing to read, nothing to wait for.
  ::mkfifo((dir + "/pipe.cls").c_str(), 0600);
  EXPECT_TRUE(CheckCmfReferences(dir + "/pipe.cls").empty());
  EXPECT_TRUE(ClosureRule(dir + "/pipe.cls", 1).passed);
  std::vector<std::string> list;
  EXPECT_FALSE(AddCmfConstituents(dir, "pipe.cls", list));
}

}  // namespace
}  // namespace yl
