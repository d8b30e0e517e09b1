#include "env/dir_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "env/dir_source.h"
#include "platform/files.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::IsolatedEnvTest;

mode_t ModeOf(const std::string& p) {
  struct stat st;
  EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
  return st.st_mode & 07777;
}

class DirSearchTest : public IsolatedEnvTest {
 protected:
  DirSearchTest() : IsolatedEnvTest(testing::ScratchDir::Root::kShort) {}
};

TEST_F(DirSearchTest, TakesTmpWhenSvtempIsUnsetAndSaysWhy) {
  env.Unset("SVTEMP");
  std::string tmp = scratch.MakeDir("t");
  env.Set("TMP", tmp);
  DirSearchResult r = DirectorySearch(TempDirSearchParams());
  ASSERT_TRUE(r.found) << r.Messages();
  std::string sub = tmp + "/SVTEMP/YRLMtemp";
  EXPECT_EQ(r.dir, sub);
  EXPECT_EQ(r.Messages(),
            "SVTEMP Folder is not defined\r\n"
            "TMP Folder is set to " +
                tmp +
                " (exists)\r\n"
                "   Subdirectory " +
                sub +
                " does not exist\r\n"
                "   Created subdirectory " +
                sub +
                "\r\n"
                "   Successfully created file testfil.$$$ in subdirectory " +
                sub);
  EXPECT_EQ(ModeOf(sub), 0700u);
  EXPECT_EQ(ModeOf(tmp + "/SVTEMP"), 0700u);
  EXPECT_FALSE(FileExists(sub + "/testfil.$$$"));
}

TEST_F(DirSearchTest, TmpdirStandsInForTmp) {
  env.Unset("SVTEMP");
  env.Unset("TMP");
  std::string tmp = scratch.MakeDir("tmpdir");
  env.Set("TMPDIR", tmp);
  DirSearchResult r = DirectorySearch(TempDirSearchParams());
  EXPECT_EQ(r.dir, tmp + "/SVTEMP/YRLMtemp");
}

TEST_F(DirSearchTest, NameChecksSkipSvtempButApplyToTmp) {
  std::string blank = scratch.MakeDir("with blank");
  env.Set("SVTEMP", blank);
  DirSearchResult r = DirectorySearch(TempDirSearchParams());
  EXPECT_EQ(r.dir, blank + "/SVTEMP/YRLMtemp");

  env.Unset("SVTEMP");
  env.Set("TMP", blank);
  std::string temp = scratch.MakeDir("temp");
  env.Set("TEMP", temp);
  r = DirectorySearch(TempDirSearchParams());
  EXPECT_EQ(r.lines.at(2), "Problem: directory name contained one or more spaces");
  EXPECT_EQ(r.dir, temp + "/SVTEMP/YRLMtemp");
}

TEST_F(DirSearchTest, RejectsLongAndNonAsciiNamesAndGoesOn) {
  env.Unset("SVTEMP");
  struct Case {
    std::string tmp_name;
    std::string problem;
  };
  for (const Case& c : {Case{std::string(60, 'x'), "Problem: directory name is too long"},
                        Case{"caf\xc3\xa9",
                             "Problem: directory name contained one or more "
                             "non-ASCII characters"}}) {
    std::string tmp = scratch.MakeDir(c.tmp_name);
    std::string temp = scratch.MakeDir("temp");
    env.Set("TMP", tmp);
    env.Set("TEMP", temp);
    DirSearchResult r = DirectorySearch(TempDirSearchParams());
    EXPECT_EQ(r.lines.at(2), c.problem);
    EXPECT_EQ(r.dir, temp + "/SVTEMP/YRLMtemp");
  }
}

TEST_F(DirSearchTest, RefusesWorldWritableSubdirectory) {
  std::string sv = scratch.MakeDir("sv");
  std::string sub = scratch.MakeDir("sv/SVTEMP/YRLMtemp");
  ::chmod(sub.c_str(), 0777);
  env.Set("SVTEMP", sv);
  std::string tmp = scratch.MakeDir("t2");
  env.Set("TMP", tmp);
  DirSearchResult r = DirectorySearch(TempDirSearchParams());
  EXPECT_EQ(r.lines.at(2), "   Problem: directory " + sub + " can be written by other users");
  EXPECT_EQ(r.dir, tmp + "/SVTEMP/YRLMtemp");
}

TEST_F(DirSearchTest, RefusesForeignOwnedSubdirectory) {
  std::string sv = scratch / "svtemp";
  DirSearchParams p = TempDirSearchParams();
  std::string foreign = sv + "/SVTEMP";
  p.owner_probe = [&](const std::string& dir) -> std::optional<DirOwnerInfo> {
    auto real = ProbeDirOwner(dir);
    if (real && dir == foreign) real->owned_by_current_user = false;
    return real;
  };
  DirSearchResult r = DirectorySearch(p);
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.lines.at(3), "   Problem: directory " + foreign + " is owned by another user");
  EXPECT_EQ(r.dir, scratch.path() + "/tmp/SVTEMP/YRLMtemp");
}

TEST_F(DirSearchTest, OverwritesAndErasesAStaleTestFile) {
  std::string sub = scratch.MakeDir("svkeep/SVKEEP/YRLMkeep");
  ::chmod(sub.c_str(), 0700);
  ::chmod((scratch / "svkeep/SVKEEP").c_str(), 0700);
  scratch.Write("svkeep/SVKEEP/YRLMkeep/testfil.$$$", "old");
  DirSearchResult r = DirectorySearch(KeepDirSearchParams());
  EXPECT_EQ(r.dir, sub);
  EXPECT_EQ(r.lines.at(1), "   Subdirectory " + sub + " exists");
  EXPECT_FALSE(FileExists(sub + "/testfil.$$$"));
}

TEST_F(DirSearchTest, KeepSearchFallsBackToUserFolder) {
  env.Unset("SVKEEP");
  DirSearchResult r = DirectorySearch(KeepDirSearchParams());
  EXPECT_EQ(r.lines.at(0), "SVKEEP Folder is not defined");
  EXPECT_EQ(r.dir, scratch.path() + "/home/.local/share/SVKEEP/YRLMkeep");
}

TEST_F(DirSearchTest, NothingUsableGivesEmptyDirectory) {
  std::string ro = scratch.Write("plainfile", "not a directory");
  DirSearchParams p;
  p.sources = {kWindowsFolder, kNamedFolder};
  p.context.named_folder = ro;
  p.subdir = "SVTEMP/YRLMtemp";
  p.test_file = "testfil.$$$";
  DirSearchResult r = DirectorySearch(p);
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.dir, "");
  EXPECT_EQ(r.lines.back(), "   Could not create subdirectory " + ro + "/SVTEMP/YRLMtemp");
  EXPECT_EQ(r.lines.front(), "Windows Folder is not defined");
}

TEST_F(DirSearchTest, UnknownSourceIsShownAndSkipped) {
  DirSearchParams p = KeepDirSearchParams();
  p.sources.insert(p.sources.begin(), 16);
  DirSearchResult r = DirectorySearch(p);
  EXPECT_TRUE(r.found);
  ASSERT_EQ(r.notices.size(), 1u);
  EXPECT_EQ(r.notices[0].kind, MessageKind::kError);
  EXPECT_EQ(r.notices[0].text, "program error: unexpected case of sdt");
}

TEST(StartupFailures, ShowErrorThenShutDownNotice) {
  testing::ScriptedPrompter prompter;
  ShowAll(prompter, NoTempDirMessages("Yearloom"));
  ShowAll(prompter, NoKeepDirMessages("Yearloom"));
  ASSERT_EQ(prompter.messages.size(), 4u);
  EXPECT_EQ(prompter.messages[0].help_topic, 7121);
  EXPECT_EQ(prompter.messages[0].text,
            "Serious problem.\r\nYearloom cannot identify a suitable directory for temporary "
            "files.\r\nYou need to set the value of Environment variable SVTEMP "
            "appropriately.\r\nClick on the Help button for detailed advice about this.");
  EXPECT_EQ(prompter.messages[1].text,
            "Yearloom will now shut down so that you can rectify this serious problem.");
  EXPECT_EQ(prompter.messages[2].help_topic, 7122);
  EXPECT_NE(prompter.messages[2].text.find("for its Keep Directory.\r\nYou need to set the "
                                           "value of Environment variable SVKEEP"),
            std::string::npos);
}

}  // namespace
}  // namespace yl
