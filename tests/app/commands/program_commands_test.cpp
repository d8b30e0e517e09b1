#include "app/commands/program_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

class ProgramCommandsTest : public ::testing::Test {
 protected:
  ProgramCommandsTest() {
    c.program_dir = d.MakeDir("prog");
    c.solvara_root = d.MakeDir("opt");
    c.path_list = d.MakeDir("bin");
  }
  std::string Exe(const std::string& name) {
    std::string p = d.Write(name, "#!/bin/sh\n");
    ::chmod(p.c_str(), 0755);
    return p;
  }
  testing::ScratchDir d;
  ProgramSearchContext c;
};

TEST_F(ProgramCommandsTest, MissingProgramIsReported) {
  testing::ScriptedPrompter p;
  EXPECT_EQ(FindSolvaraProgramOrSay(p, "varix", c), "");
  EXPECT_EQ(p.Last().text, "The program VARIX is not available.");
  EXPECT_EQ(p.Last().help_topic, 7067);
}

TEST_F(ProgramCommandsTest, ChooseEditorAsksBeforeReplacing) {
  testing::ScriptedPrompter p;
  std::string quill = Exe("prog/quillpad");
  p.Answer(kNo);
  ChooseEditor(p, c);
  EXPECT_EQ(p.Last().text, "Currently you are using editor\r\n" + quill +
                               "\r\nDo you wish to select a different editor?");
  EXPECT_TRUE(p.file_requests.empty());
  p.Answer(kYes);
  p.file_answers.push_back({"/usr/bin/vi"});
  ChooseEditor(p, c);
  EXPECT_EQ(c.editor, "/usr/bin/vi");
  EXPECT_EQ(p.file_requests.at(0).title, "Select Text Editor");
  EXPECT_EQ(p.file_requests.at(0).start_dir, c.program_dir);
}

TEST_F(ProgramCommandsTest, ChooseSpreadsheetWhenNoneIsSet) {
  testing::ScriptedPrompter p;
  std::string sheet;
  p.file_answers.push_back({"/usr/bin/calc"});
  ChooseSpreadsheet(p, c.program_dir, sheet);
  EXPECT_EQ(sheet, "/usr/bin/calc");
  EXPECT_EQ(p.messages.at(0).text,
            "At present, no spreadsheet program has been specified.\r\nPlease select the "
            "spreadsheet program you wish to use.");
  EXPECT_EQ(p.file_requests.at(0).help_topic, 7043);
  ChooseSpreadsheet(p, c.program_dir, sheet);  // No by default? Yes is offered: keeps asking
  EXPECT_EQ(p.file_requests.at(1).start_dir, "/usr/bin");
}

TEST_F(ProgramCommandsTest, SolvaraDirectoryItems) {
  testing::ScriptedPrompter p;
  std::string dir = c.program_dir;
  std::string sv;
  p.directory_answers.push_back(d.path() + "/chosen/");
  SpecifySolvaraDirectory(p, c.program_dir, sv);
  EXPECT_EQ(sv, d.path() + "/chosen");
  EXPECT_EQ(p.directory_requests.at(0).caption, "Directory for Solvara Programs");
  EXPECT_EQ(p.directory_requests.at(0).label, "If you click Ok, the Solvara directory");
  EXPECT_EQ(p.directory_requests.at(0).start_dir, dir);
  SpecifySolvaraDirectory(p, c.program_dir, sv);  // cancelled: unchanged
  EXPECT_EQ(sv, d.path() + "/chosen");
  EXPECT_EQ(p.directory_requests.at(1).start_dir, sv);
  UseUsualSolvaraMethod(sv);
  EXPECT_EQ(sv, "");
}

}  // namespace
}  // namespace yl
