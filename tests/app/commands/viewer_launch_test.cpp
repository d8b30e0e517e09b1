// What each launcher starts, where, and what it says when it cannot: a fake starter
// records the command lines.

#include "app/commands/viewer_launch.h"

#include <gtest/gtest.h>

#include "core/text_util.h"
#include "platform/paths.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScratchDir;
using testing::ScriptedPrompter;

class ViewerLaunchTest : public ::testing::Test {
 protected:
  ViewerContext Context() {
    ViewerContext c(p, options);
    c.program_dir = d.MakeDir("program dir");
    c.work_dir = d.MakeDir("work");
    c.model_dir = d.MakeDir("model");
    c.path_list = "";
    c.start = [this](const std::vector<std::string>& argv, const std::string& cwd) -> Status {
      if (refuse) return Fail("no");
      argvs.push_back(argv);
      cwds.push_back(cwd);
      return Ok();
    };
    c.builtin_viewer = [this](const std::vector<std::string>& files) { builtin = files; };
    return c;
  }

  ScratchDir d;
  ScriptedPrompter p;
  Options options;
  bool refuse = false;
  std::vector<std::vector<std::string>> argvs;
  std::vector<std::string> cwds;
  std::vector<std::string> builtin;
};

TEST_F(ViewerLaunchTest, HeaderArrayViewer) {
  ViewerContext c = Context();
  LaunchHeaderArrayViewer(c, d / "none.har");
  EXPECT_EQ(p.Last().text, "Cannot find file:\r\n" + (d / "none.har"));
  EXPECT_EQ(p.Last().help_topic, kHelpViewers);

  // No viewer: the built-in one, and a directory argument asks for the files first.
  const std::string har = d.Write("work/data.har", "h");
  LaunchHeaderArrayViewer(c, har);
  EXPECT_EQ(builtin, std::vector<std::string>{har});
  p.file_answers.push_back({har});
  LaunchHeaderArrayViewer(c, "%" + c.work_dir);
  EXPECT_EQ(p.file_requests.back().start_dir, c.work_dir);
  EXPECT_TRUE(p.file_requests.back().multiple);

  // A chosen viewer gets the argument as it is, markers and all, in the model's directory.
  options.Halvo = d.Write("viewers/halvo", "");
  ViewerContext chosen = Context();
  LaunchHeaderArrayViewer(chosen, "%" + chosen.work_dir);
  ASSERT_EQ(argvs.size(), 1u);
  EXPECT_EQ(argvs[0], (std::vector<std::string>{options.Halvo, "%" + chosen.work_dir}));
  EXPECT_EQ(cwds[0], chosen.model_dir);
  refuse = true;
  LaunchHeaderArrayViewer(chosen, har);
  EXPECT_EQ(p.Last().text, "Could not launch Halvo !");
}

TEST_F(ViewerLaunchTest, EditorAndSpreadsheet) {
  const std::string file = d.Write("work/a file.txt", "t");
  struct Case {
    std::string editor;  // "" for none chosen
    bool marker;
    std::vector<std::string> argv_tail;
  };
  const std::string quillpad = d.Write("viewers/quillpad", "");
  const std::string other = d.Write("viewers/kate", "");
  for (const Case& c :
       {Case{"", true, {"xdg-open", file}}, Case{quillpad, true, {quillpad, "#" + file}},
        Case{quillpad, false, {quillpad, file}}, Case{other, true, {other, file}}}) {
    options.Editor = c.editor;
    ViewerContext v = Context();
    LaunchEditor(v, file, c.marker);
    EXPECT_EQ(argvs.back(), c.argv_tail) << c.editor;
    EXPECT_EQ(cwds.back(), v.work_dir);
  }
  refuse = true;
  ViewerContext v = Context();
  LaunchEditor(v, file);
  EXPECT_EQ(p.Last().text, "Failed to execute " + UpperCase(other));
  refuse = false;

  // The spreadsheet program: the chosen one, else the desktop's opener for a file.
  argvs.clear();
  LaunchSpreadsheet(v, d / "work/none.csv");
  EXPECT_EQ(p.Last().text, "File \r\n" + (d / "work/none.csv") + "\r\ndoes not exist.");
  LaunchSpreadsheet(v, "");  // nothing to open, nothing chosen
  EXPECT_TRUE(argvs.empty());
  const std::string csv = d.Write("work/r.csv", "1");
  LaunchSpreadsheet(v, csv);
  EXPECT_EQ(argvs.back(), (std::vector<std::string>{"xdg-open", csv}));
  options.Spreadsheet = "/usr/bin/sheets";
  LaunchSpreadsheet(v, "");
  EXPECT_EQ(argvs.back(), (std::vector<std::string>{"/usr/bin/sheets"}));
}

TEST_F(ViewerLaunchTest, Deepro) {
  ViewerContext c = Context();
  c.path_list = "";
  LaunchDeepro(c, "s.sl4", "c.slc", "r.rsl");
  EXPECT_EQ(p.Last().text,
            "Cannot find Deepro.\r\n[In " + c.program_dir + ",\r\non PATH or in /opt/solvara]");
  const std::string deepro = d.Write("program dir/deepro", "");
  LaunchDeepro(c, d / "none.sl4", "", "");
  EXPECT_EQ(p.Last().text, "Could not find Solution file\r\n" + (d / "none.sl4"));
  LaunchDeepro(c, "s.sl4", "c.slc", "r.rsl");
  EXPECT_EQ(argvs.back(), (std::vector<std::string>{deepro, "s.sl4", "c.slc", "r.rsl"}));
  EXPECT_EQ(cwds.back(), c.work_dir);
  c.work_dir = d / "gone";
  LaunchDeepro(c, "s.sl4", "c.slc", "r.rsl");
  EXPECT_EQ(cwds.back(), "/");
}

}  // namespace
}  // namespace yl
