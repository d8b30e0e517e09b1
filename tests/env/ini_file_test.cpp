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

}  // namespace
}  // namespace yl
