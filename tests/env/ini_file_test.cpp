#include "env/ini_file.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace yl {
namespace {

const char* kSample =
    "[Options]\r\n"
    "PlayMusic=1\r\n"
    "Editor=/usr/bin/my editor\r\n"
    "\r\n"
    "[MRUFiles]\r\n"
    "File1=/w/a.ds1\r\n"
    "; a comment that must survive\r\n"
    "\r\n"
    "[Sim]\r\n"
    "NumYears = 12 \r\n"
    "Bad=12x\r\n";

TEST(IniFile, ReadsValuesIgnoringCase) {
  IniFile ini = IniFile::Parse(kSample);
  EXPECT_EQ(ini.ReadString("options", "EDITOR", ""), "/usr/bin/my editor");
  EXPECT_TRUE(ini.ReadBool("Options", "PlayMusic", false));
  EXPECT_EQ(ini.ReadInt("sim", "numyears", 0), 12);
  EXPECT_EQ(ini.ReadInt("Sim", "Bad", -5), -5);  // unreadable counts as missing
  EXPECT_FALSE(ini.ReadBool("Sim", "Bad", false));
  EXPECT_EQ(ini.ReadString("Sim", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.Keys("MRUFiles"), (std::vector<std::string>{"File1"}));
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Options", "MRUFiles", "Sim"}));
}

TEST(IniFile, UpdateRewritesInPlaceAndKeepsUnknownLines) {
  IniFile ini = IniFile::Parse(kSample);
  ini.Set("OPTIONS", "editor", "/bin/ed");
  ini.SetInt("Options", "NewKey", 3);
  ini.SetBool("Fresh", "Flag", true);
  EXPECT_EQ(ini.Text(),
            "[Options]\n"
            "PlayMusic=1\n"
            "editor=/bin/ed\n"
            "NewKey=3\n"
            "\n"
            "[MRUFiles]\n"
            "File1=/w/a.ds1\n"
            "; a comment that must survive\n"
            "\n"
            "[Sim]\n"
            "NumYears = 12 \n"
            "Bad=12x\n"
            "\n"
            "[Fresh]\n"
            "Flag=1\n");
}

TEST(IniFile, RemoveAndSaveRoundTrip) {
  testing::ScratchDir d;
  IniFile ini = IniFile::Parse(kSample);
  ini.RemoveKey("Sim", "Bad");
  ini.RemoveSection("MRUFiles");
  ASSERT_TRUE(ini.Save(d / "yearloom.ini"));
  auto back = IniFile::Load(d / "yearloom.ini");
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->HasSection("MRUFiles"));
  EXPECT_FALSE(back->HasKey("Sim", "Bad"));
  EXPECT_EQ(back->ReadInt("Sim", "NumYears", 0), 12);
  auto none = IniFile::Load(d / "absent.ini");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->Sections().empty());
}

// Many keys, a key given twice, a section given twice and mixed case: the first key
// counts until it is removed, and new keys go after the section's last block.
TEST(IniFile, ManyKeysDuplicatesAndRepeatedSections) {
  std::string text = "[A]\n";
  for (int i = 0; i < 20000; ++i) text += "k" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
  text += "[b]\nK5=other\n\n[a]\nk5=dup\nlate=1\n\n";
  IniFile ini = IniFile::Parse(text);
  EXPECT_EQ(ini.ReadString("a", "K5", ""), "v5");
  EXPECT_EQ(ini.ReadString("B", "k5", ""), "other");
  EXPECT_EQ(ini.ReadString("A", "k19999", ""), "v19999");
  EXPECT_FALSE(ini.HasKey("A", "k20000"));
  EXPECT_EQ(ini.Keys("a").size(), 20002u);
  EXPECT_TRUE(ini.HasSection("B"));

  IniFile copy = ini;
  ini.Set("A", "New", "x");
  ini.Set("a", "K7", "seven");
  EXPECT_TRUE(ini.Text().ends_with("\n[a]\nk5=dup\nlate=1\nNew=x\n\n"));
  EXPECT_NE(ini.Text().find("\nK7=seven\nk8=v8\n"), std::string::npos);
  ini.RemoveKey("A", "k5");
  EXPECT_EQ(ini.ReadString("a", "k5", ""), "dup");
  ini.RemoveKey("a", "K5");
  EXPECT_FALSE(ini.HasKey("a", "k5"));
  ini.RemoveKey("a", "new");  // the section's last line: the next key goes after "late"
  ini.Set("a", "again", "1");
  EXPECT_TRUE(ini.Text().ends_with("\nlate=1\nagain=1\n\n"));

  // The copy has its own lines and index.
  EXPECT_EQ(copy.ReadString("a", "k7", ""), "v7");
  EXPECT_EQ(copy.ReadString("a", "k5", ""), "v5");
  copy.Set("a", "k5", "mine");
  EXPECT_EQ(copy.ReadString("a", "k5", ""), "mine");
  EXPECT_EQ(ini.ReadString("b", "k5", ""), "other");
  IniFile moved = std::move(copy);
  EXPECT_EQ(moved.ReadString("A", "K5", ""), "mine");
}

}  // namespace
}  // namespace yl
