#include "env/program_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/scratch_dir.h"

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

TEST(ProgramSearchText, WhereProgramsAreSought) {
  EXPECT_EQ(WhereProgramsAreSought("Yearloom"),
            "(either in Yearloom's directory or on the DOS Path).");
}

}  // namespace
}  // namespace yl
