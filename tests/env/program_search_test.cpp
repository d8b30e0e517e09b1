#include "env/program_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

class ProgramSearchTest : public ::testing::Test {
 protected:
  ProgramSearchTest() {
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

TEST_F(ProgramSearchTest, FamilyToolsOnlyInTheProgramDirectory) {
  Exe("bin/solexa");
  EXPECT_EQ(FindSolvaraProgram("Solex", c), "");
  std::string tool = Exe("prog/solexa");
  EXPECT_EQ(FindSolvaraProgram("SOLEX", c), tool);
  EXPECT_EQ(FindSolvaraProgram("tallyr", c), "");
}

TEST_F(ProgramSearchTest, OrderOfPlacesForAnOrdinaryProgram) {
  std::string sv = d.MakeDir("svdir");
  c.solvara_dir = sv;
  std::string in_root = Exe("opt/kalvo.exe");
  EXPECT_EQ(FindSolvaraProgram("kalvo", c), in_root);
  std::string on_path = Exe("bin/kalvo");
  EXPECT_EQ(FindSolvaraProgram("kalvo", c), on_path);  // the interpreter keeps its full path
  Exe("bin/deepro");
  EXPECT_EQ(FindSolvaraProgram("deepro", c), "deepro");  // others: the bare name
  std::string in_prog = Exe("prog/kalvo");
  EXPECT_EQ(FindSolvaraProgram("kalvo", c), in_prog);
  std::string in_sv = Exe("svdir/Kalvo.exe");
  EXPECT_EQ(FindSolvaraProgram("KALVO", c), in_sv);
}

TEST_F(ProgramSearchTest, ViewersLookInTheProgramDirectoryFirstAndUnderPanello) {
  std::string tab = Exe("opt/Panello/Tabulon/tabulon");
  std::string halvo = Exe("opt/Panello/halvo.exe");
  EXPECT_EQ(FindSolvaraProgram("tabulon", c), tab);
  EXPECT_EQ(FindSolvaraProgram("halvo", c), halvo);
  c.solvara_dir = d.MakeDir("svdir");
  Exe("svdir/halvo");
  std::string local = Exe("prog/halvo");
  EXPECT_EQ(FindSolvaraProgram("halvo", c), local);
  std::string chosen = Exe("mine/halvo2");
  c.halvo = chosen;
  EXPECT_EQ(FindSolvaraProgram("halvo", c), chosen);
  c.halvo = d / "missing";
  EXPECT_EQ(FindSolvaraProgram("halvo", c), local);
}

TEST_F(ProgramSearchTest, EditorFallsBackToScriblet) {
  EXPECT_EQ(FindSolvaraProgram(kEditorProgram, c), "");
  std::string scriblet = Exe("bin/scriblet");
  EXPECT_EQ(FindSolvaraProgram(kEditorProgram, c), scriblet);
  std::string quill = Exe("opt/Panello/quillpad");
  EXPECT_EQ(FindSolvaraProgram(kEditorProgram, c), quill);
}

TEST_F(ProgramSearchTest, MissingProgramIsReported) {
  testing::ScriptedPrompter p;
  EXPECT_EQ(FindSolvaraProgramOrSay(p, "varix", c), "");
  EXPECT_EQ(p.Last().text, "The program VARIX is not available.");
  EXPECT_EQ(p.Last().help_topic, 7067);
  EXPECT_EQ(WhereProgramsAreSought("Yearloom"),
            "(either in Yearloom's directory or on the DOS Path).");
}

TEST_F(ProgramSearchTest, ChooseEditorAsksBeforeReplacing) {
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

TEST_F(ProgramSearchTest, ChooseSpreadsheetWhenNoneIsSet) {
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

TEST_F(ProgramSearchTest, SolvaraDirectoryItems) {
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
