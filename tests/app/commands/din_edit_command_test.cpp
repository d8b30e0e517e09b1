#include "app/commands/din_edit_command.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScratchDir;
using testing::ScriptedPrompter;

class DinEditTest : public ::testing::Test {
 protected:
  Status Open(const std::string& path) {
    opened.push_back(path);
    return Ok();
  }
  ScratchDir d;
  ScriptedPrompter p;
  std::vector<std::string> opened;
  OpenInEditor editor = [this](const std::string& path) { return Open(path); };
};

TEST_F(DinEditTest, ExistingDinIsShownAndOpened) {
  std::string din = d.Write("demo.din", "! mine\n");
  auto r = EditDinFile(d / "demo.exe", p, editor, 5);
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, din);
  EXPECT_EQ(p.Texts(), (std::vector<std::string>{"Current Dynamic Information File is\r\n" + din}));
  EXPECT_EQ(opened, (std::vector<std::string>{din}));
  EXPECT_EQ(testing::ReadFileBytes(din), "! mine\n");
}

TEST_F(DinEditTest, CreatesOnYesOnly) {
  p.Answer(kNo);
  EXPECT_FALSE(EditDinFile(d / "demo.exe", p, editor, 5));
  EXPECT_EQ(p.Last().text,
            "At present is no Dynamic Information File for this model.\r\nDo you wish to create "
            "one?");
  EXPECT_EQ(p.Last().buttons, kYes | kNo | kHelp);
  EXPECT_FALSE(FileExists(d / "demo.DIN"));
  EXPECT_TRUE(opened.empty());

  p.Answer(kYes);
  auto r = EditDinFile(d / "demo.exe", p, editor, 5);
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, d / "demo.DIN");
  EXPECT_EQ(testing::ReadFileBytes(d / "demo.DIN"), "");
  EXPECT_EQ(opened, (std::vector<std::string>{d / "demo.DIN"}));
}

TEST_F(DinEditTest, EditorFailureIsShown) {
  d.Write("demo.din", "");
  auto r = EditDinFile(
      d / "demo.exe", p, [](const std::string&) -> Status { return Fail("no editor"); }, 5);
  ASSERT_FALSE(r);
  EXPECT_EQ(p.Last().text, "no editor");
  EXPECT_EQ(p.Last().kind, MessageKind::kError);
}

}  // namespace
}  // namespace yl
