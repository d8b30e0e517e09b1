#include "app/pages/model_data_page.h"

#include <gtest/gtest.h>

#include "app/window/page_change.h"
#include "model/first_year_list.h"
#include "model/model_fixture.h"
#include "platform/files.h"
#include "sim/sim_runs.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScratchDir;
using testing::ScriptedPrompter;

class ModelDataPageTest : public ::testing::Test {
 protected:
  ScratchDir d;
  ScriptedPrompter p;
};

TEST(ModelDataPage, SelectModelRequest) {
  ModelState model;
  FileRequest r = SelectModelRequest(model, "/prog", true);
  EXPECT_EQ(r.title, "Select Model");
  EXPECT_EQ(r.start_dir, "/prog");
  EXPECT_EQ(r.filter, "Model Files (*.EXE,*.KVS)|*.exe;*.kvs|All Files (*)|*");
  SetModelFile(model, "/models/demo.exe", std::nullopt);
  r = SelectModelRequest(model, "/prog", false);
  EXPECT_EQ(r.start_dir, "/models");
  EXPECT_EQ(r.filter, "Model EXE Files (*.EXE)|*.exe|All Files (*)|*");
}

TEST_F(ModelDataPageTest, CheckMarksGoneFilesAndAsks) {
  d.Write("base.har", "b");
  std::vector<std::string> lines = {"File BASEDATA = base.har ; ! About BASEDATA",
                                    "File PARAMS   = " + (d / "gone.har") + " ; ! About PARAMS"};
  // Answering No fails the check.
  std::vector<std::string> no = lines;
  p.Answer(kNo);
  EXPECT_FALSE(CheckFirstYearFiles(no, d.path(), p, nullptr));
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.Last().text,
            "Message about the Data part of Model/Data page.\r\nThe file " + (d / "gone.har") +
                "\r\n (associated with logical file PARAMS) no longer exists.\r\nDo you wish to "
                "specify this file again?");
  EXPECT_EQ(p.Last().buttons, kYes | kNo);
  // Yes lets the user choose again.
  std::vector<std::string> yes = lines;
  p.Answer(kYes);
  EXPECT_TRUE(CheckFirstYearFiles(yes, d.path(), p, [&](std::string& line) {
    line = "File PARAMS = base.har ;";
    return true;
  }));
  EXPECT_EQ(yes[1], "File PARAMS = base.har ;");
  // "??" fails without a question.
  std::vector<std::string> unknown = {"File PARAMS = ?? ;"};
  std::size_t before = p.messages.size();
  EXPECT_FALSE(CheckFirstYearFiles(unknown, d.path(), p, nullptr));
  EXPECT_EQ(p.messages.size(), before);
}

TEST_F(ModelDataPageTest, SaveAndLoadMdf) {
  ModelState model;
  model.ModelName = "demo";
  model.ModelDir = d.path();
  EXPECT_EQ(ProposedMdfName(model), "demo.MDF");
  d.Write("DEMO.mdf", "x");
  EXPECT_EQ(ProposedMdfName(model), "*.MDF");
  EXPECT_EQ(SaveMdfRequest(model).filter, "Model data files|*.MDF");
  EXPECT_EQ(SaveMdfRequest(model).title, "Save Data File Names");
  EXPECT_EQ(LoadMdfRequest(model).filter, "Model Data files|*.mdf");

  std::vector<std::string> incomplete = {"File PARAMS = ?? ;"};
  EXPECT_FALSE(SaveFirstYearListAs(incomplete, model, d.path(), p));
  EXPECT_EQ(p.Last().text, "Please specify names for all files first.");
  EXPECT_TRUE(p.file_requests.empty());

  d.Write("base.har", "b");
  std::vector<std::string> lines = {"File BASEDATA = base.har ; ! About BASEDATA"};
  p.file_answers.push_back({d / "saved list.mdf"});
  EXPECT_TRUE(SaveFirstYearListAs(lines, model, d.path(), p));
  auto back = ReadMdfFile(d / "saved list.mdf");
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, lines);
  EXPECT_FALSE(ReadMdfFile(d / "none.mdf"));
}

// The page on a scratch copy of the demo model, with a working directory of data files.
class ModelDataPageModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model_dir = d.MakeDir("demo model");
    testing::CopyModelFixture("demo", model_dir);
    work = d.MakeDir("work dir");
    session.sim.SimDir = work;
    session.settings.paths.temp_dir = d.MakeDir("temp");
    session.settings.options.NoRerun = true;
    hooks.start_model_check = [this] {
      ++model_checks;
      return true;
    };
    hooks.show_help = [this](int topic) { help_topics.push_back(topic); };
  }
  ModelDataPage Page() { return ModelDataPage(session, p, hooks); }
  // Chooses the demo model through "Change &Model".
  void ChooseDemo(ModelDataPage& page) {
    p.file_answers.push_back({model_dir + "/demo.exe"});
    ASSERT_TRUE(page.ChangeModel()) << (p.messages.empty() ? "" : p.Last().text);
  }
  int Row(const std::string& logical) const {
    const auto& lines = session.settings.first_year_files;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (FirstYearLineIsFor(lines[i], logical)) return static_cast<int>(i);
    }
    return -1;
  }

  testing::ScratchDir d;
  ScriptedPrompter p;
  std::string model_dir, work;
  Session session;
  ModelDataPage::Hooks hooks;
  int model_checks = 0;
  std::vector<int> help_topics;
};

TEST_F(ModelDataPageModelTest, ChangeModelFillsThePage) {
  ModelDataPage page = Page();
  ModelDataFields before = page.View();
  EXPECT_EQ(before.model_label, "Model : (none selected)");
  EXPECT_TRUE(before.data_lines.empty());
  EXPECT_FALSE(before.save_enabled);

  ChooseDemo(page);
  ModelDataFields v = page.View();
  EXPECT_EQ(v.model_label, "Model: " + model_dir + "/demo.exe");
  EXPECT_EQ(v.data_lines, (std::vector<std::string>{"file BASEDATA = ?? ;", "file PARAMS = ?? ;",
                                                    "file EXTRA = ?? ;", "file XDATA = ?? ;"}));
  EXPECT_EQ(v.descriptions[1], "Behavioural parameters");
  EXPECT_EQ(v.winconsole_caption, "This is not a &winconsole EXE");
  EXPECT_FALSE(v.save_enabled);
  // A chosen model runs with the Rerun, and its release is asked for.
  EXPECT_FALSE(session.settings.options.NoRerun);
  EXPECT_EQ(session.sim.CMFCells(kCmfStartRow, CMFStartColumn(kRerun)), "");
  EXPECT_EQ(model_checks, 1);
  EXPECT_EQ(session.sim.NumMinFiles, 8);
}

TEST_F(ModelDataPageModelTest, RefusedModelLeavesThePageAsItWas) {
  ModelDataPage page = Page();
  ChooseDemo(page);
  const SessionSettings before = session.settings;
  // A model whose table file is missing.
  d.MakeDir("broken");
  for (const char* ext : {".exe", ".axs", ".min"}) {
    ASSERT_TRUE(CopyIntoDirReplacing(model_dir + "/demo" + ext, d / "broken"));
  }
  p.file_answers.push_back({d / "broken/demo.exe"});
  EXPECT_FALSE(page.ChangeModel());
  EXPECT_EQ(p.Last().text,
            "AXT file " + (d / "broken/demo.axt") + " does not exist.\r\nNo change made.");
  EXPECT_EQ(session.settings.model, before.model);
  EXPECT_EQ(session.settings.first_year_files, before.first_year_files);
  EXPECT_EQ(model_checks, 1);
  // Cancelling the chooser changes nothing either.
  EXPECT_FALSE(page.ChangeModel());
  EXPECT_EQ(session.settings.model, before.model);
}

TEST_F(ModelDataPageModelTest, ChoosingFilesForLines) {
  ModelDataPage page = Page();
  ChooseDemo(page);
  d.Write("work dir/base.har", "b");
  d.Write("elsewhere/params 2020.har", "p");
  const int base = Row("BASEDATA"), params = Row("PARAMS");
  p.file_answers.push_back({work + "/base.har"});
  p.file_answers.push_back({d / "elsewhere/params 2020.har"});
  page.Run(DataLineAction::kSelect, base);
  page.Run(DataLineAction::kSelect, params);
  EXPECT_EQ(p.file_requests[1].title, "Data file for logical file BASEDATA");
  EXPECT_EQ(p.file_requests[1].filter, "Header Array files (*.har)|*.har|All files (*)|*");
  const auto& lines = session.settings.first_year_files;
  // A file in the working directory is named alone; others keep their path, quoted.
  EXPECT_EQ(lines[base], "File BASEDATA = base.har ; ! Base data of the demo economy");
  EXPECT_EQ(lines[params], "File PARAMS = \"" + (d / "elsewhere/params 2020.har") +
                               "\" ; ! Behavioural parameters");
  EXPECT_EQ(page.View().data_lines[params],
            "file PARAMS = \"" + (d / "elsewhere/params 2020.har") + "\" ;");
  // Choosing again starts where the file is.
  p.file_answers.push_back({});
  page.Run(DataLineAction::kSelect, params);
  EXPECT_EQ(p.file_requests.back().start_dir, d / "elsewhere");
  EXPECT_EQ(p.file_requests.back().default_name, "params 2020.har");

  page.Run(DataLineAction::kClear, params);
  EXPECT_EQ(lines[params], "File PARAMS = ?? ; ! Behavioural parameters");
}

TEST_F(ModelDataPageModelTest, LineMenuFollowsTheFileAndTheViewers) {
  d.Write("work dir/base.har", "b");
  ModelDataPage page = Page();
  ChooseDemo(page);
  session.settings.first_year_files[Row("BASEDATA")] = "File BASEDATA = base.har ;";
  struct Case {
    const char* logical;
    bool har_viewer;
    bool view, clear;
  };
  for (const Case& c : {Case{"BASEDATA", false, false, true}, Case{"BASEDATA", true, true, true},
                        Case{"PARAMS", true, false, false}}) {
    hooks.view_har = c.har_viewer ? [](const std::string&) { return Ok(); }
                                  : std::function<Status(const std::string&)>();
    ModelDataPage with = Page();
    std::vector<DataLineMenuEntry> menu = with.LineMenu(Row(c.logical));
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_EQ(menu[0].caption, "&Select or change the file name");
    EXPECT_EQ(menu[1].caption, "&View this file");
    EXPECT_EQ(menu[1].enabled, c.view) << c.logical << c.har_viewer;
    EXPECT_EQ(menu[2].caption, "&Tell me more about this file");
    EXPECT_EQ(menu[3].caption, "&Clear this file name");
    EXPECT_EQ(menu[3].enabled, c.clear) << c.logical;
    EXPECT_EQ(menu[4].caption, "&Help");
  }
  EXPECT_TRUE(page.LineMenu(99).empty());
  page.Run(DataLineAction::kHelp, 0);
  EXPECT_EQ(help_topics, std::vector<int>{kHelpModelDataPage});
}

TEST_F(ModelDataPageModelTest, TellMeMoreSaysWhatTheDinSays) {
  ModelDataPage page = Page();
  ChooseDemo(page);
  page.Run(DataLineAction::kTellMore, Row("XDATA"));
  const std::string xdata = p.Last().text;
  EXPECT_NE(xdata.find("Logical file XDATA\r\n  Lagged copy of the extra data"), std::string::npos)
      << xdata;
  EXPECT_NE(xdata.find("Key: XDA"), std::string::npos) << xdata;
  EXPECT_NE(xdata.find("Role: Lagged input"), std::string::npos) << xdata;
  EXPECT_NE(xdata.find("the data of EXTRA one period earlier"), std::string::npos) << xdata;
  EXPECT_NE(xdata.find("No file has been chosen for it yet."), std::string::npos) << xdata;

  d.Write("work dir/base.har", "b");
  session.settings.first_year_files[Row("BASEDATA")] = "File BASEDATA = base.har ;";
  page.Run(DataLineAction::kTellMore, Row("BASEDATA"));
  const std::string base = p.Last().text;
  EXPECT_NE(base.find("Key: BAS"), std::string::npos) << base;
  EXPECT_NE(base.find("Updated by the model: yes"), std::string::npos) << base;
  EXPECT_NE(base.find("Role: Updated input"), std::string::npos) << base;
  EXPECT_NE(base.find("Its first-year file is\r\n  " + work + "/base.har"), std::string::npos)
      << base;
  EXPECT_EQ(base.find("does not exist"), std::string::npos) << base;

  page.Run(DataLineAction::kTellMore, Row("PARAMS"));
  EXPECT_NE(p.Last().text.find("Role: Constant input"), std::string::npos) << p.Last().text;
}

TEST_F(ModelDataPageModelTest, VanishedFileOnEnteringAndLeaving) {
  d.Write("work dir/base.har", "b");
  d.Write("work dir/params.har", "p");
  ModelDataPage page = Page();
  ChooseDemo(page);
  auto& lines = session.settings.first_year_files;
  lines[Row("BASEDATA")] = "File BASEDATA = base.har ; ! Base data";
  lines[Row("PARAMS")] = "File PARAMS = params.har ; ! Parameters";
  ASSERT_TRUE(DeleteFileIfExists(work + "/base.har"));
  // Entering asks; Yes chooses the file again.
  d.Write("work dir/base2.har", "b");
  p.Answer(kYes);
  p.file_answers.push_back({work + "/base2.har"});
  const std::size_t asked = p.messages.size();
  EXPECT_FALSE(page.Entered());  // EXTRA and XDATA are still unnamed
  ASSERT_EQ(p.messages.size(), asked + 1);
  EXPECT_EQ(lines[Row("BASEDATA")], "File BASEDATA = base2.har ;");
  // Leaving checks without a question.
  ASSERT_TRUE(DeleteFileIfExists(work + "/params.har"));
  EXPECT_TRUE(LeavePage(Page::kModelData, session, p));
  EXPECT_EQ(p.messages.size(), asked + 1);
  EXPECT_EQ(lines[Row("PARAMS")], "File PARAMS = ?? ;");
}

TEST_F(ModelDataPageModelTest, LoadAppliesAnMdfList) {
  d.Write("work dir/base.har", "b");
  d.Write("work dir/params.har", "p");
  ModelDataPage page = Page();
  ChooseDemo(page);
  auto& lines = session.settings.first_year_files;
  lines[Row("PARAMS")] = "File PARAMS = params.har ; ! Parameters";
  const std::string mdf = work + "/list.mdf";
  ASSERT_TRUE(WriteMdfFile(mdf, {"file basedata = base.har ;", "File PARAMS = gone.har ;",
                                 "File NOSUCH = base.har ;", "not a file line"}));
  p.file_answers.push_back({mdf});
  page.Load();
  EXPECT_EQ(p.file_requests.back().title, "Model Data File ");
  EXPECT_EQ(lines[Row("BASEDATA")], "File BASEDATA = base.har ; ! Base data of the demo economy");
  // A file that does not exist does not replace one that does.
  EXPECT_EQ(lines[Row("PARAMS")], "File PARAMS = params.har ; ! Parameters");
  EXPECT_EQ(lines.size(), 4u);
  // A list that cannot be read says so and changes nothing.
  const auto kept = lines;
  p.file_answers.push_back({work + "/missing.mdf"});
  page.Load();
  EXPECT_EQ(p.Last().kind, MessageKind::kError);
  EXPECT_EQ(lines, kept);
}

}  // namespace
}  // namespace yl
