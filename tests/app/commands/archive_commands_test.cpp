// The Zip menu's commands on the demo: ingredients saved, restored elsewhere and run again
// to the same results; results archives; the questions, refusals and the cancel; and
// "yearloom archive" on the command line.

#include "app/commands/archive_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/controller.h"
#include "app/demo_support.h"
#include "app/window/window_commands.h"
#include "archive/zip_file.h"
#include "core/text_util.h"
#include "env/ini_file.h"
#include "platform/dir_list.h"
#include "platform/dir_tree.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "records/file_stamp.h"
#include "sim/sim_naming.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

// Answers a message by the first rule whose text it holds, else as ScriptedPrompter does.
class RulePrompter : public ScriptedPrompter {
 public:
  Button Show(const Message& m) override {
    for (const auto& [part, button] : rules) {
      if (m.text.find(part) != std::string::npos) {
        messages.push_back(m);
        return button;
      }
    }
    return ScriptedPrompter::Show(m);
  }
  bool ProgressCancelled() override { return cancel; }
  void ShowProgress(const std::string& text) override { progress.push_back(text); }
  std::vector<std::string> progress;
  // How many messages held this text.
  int Count(const std::string& part) const {
    int n = 0;
    for (const Message& m : messages) n += m.text.find(part) != std::string::npos;
    return n;
  }
  std::vector<std::pair<std::string, Button>> rules;
  bool cancel = false;
};

std::vector<std::string> EntryNames(const std::string& zip) {
  auto entries = archive::ListZip(zip);
  EXPECT_TRUE(entries) << (entries ? "" : entries.error());
  std::vector<std::string> names;
  if (entries) {
    for (const archive::ZipEntry& e : *entries) names.push_back(e.name);
  }
  return names;
}

std::vector<std::string> InnerNames(const std::string& zip, const std::string& inner,
                                    const std::string& scratch) {
  archive::ExtractOptions only;
  only.only = {inner};
  archive::ExtractResult got = archive::ExtractZip(zip, scratch, only);
  EXPECT_TRUE(got.ok()) << got.text;
  return got.written.empty() ? std::vector<std::string>{} : EntryNames(got.written.front());
}

std::vector<std::string> FilesWithExt(const std::string& dir, const std::string& ext) {
  std::vector<std::string> out;
  for (const DirEntry& e : ListDirectory(dir).value_or(std::vector<DirEntry>{})) {
    if (!e.is_directory && SameText(FileExtOf(e.name), ext)) out.push_back(e.name);
  }
  return out;
}

class ArchiveCommandsTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    DemoWorkTest::SetUp();
    ctx.now100ns = 133500000000000000ULL;
  }
  Session Loaded() {
    Session s = LoadSession(prompter);
    s.settings.options.FewerMessages = false;
    return s;
  }
  // Saves the ingredients through the dialogs as a user does.
  std::optional<std::string> SaveIngredients(Session& s, const std::string& zip) {
    prompter.rules = {{"review or update the Simulation Description", kIgnore},
                      {"add some extra files", kNo}};
    prompter.file_answers.push_back({zip});
    return SaveIngredientsCommand(s, prompter, ctx, true);
  }
  RulePrompter prompter;
  ArchiveCommandContext ctx;
};

TEST_F(ArchiveCommandsTest, RestoredIngredientsKeepTheirTimesAndRunToTheSameResults) {
  WriteOptions(2);
  ASSERT_TRUE(Yearloom({"all", "all", ds1}).Succeeded());
  Session s = Loaded();
  const std::string zip = scratch / "archives/demo.zip";
  // A name without ".zip" is refused and the dialog comes back.
  prompter.file_answers.push_back({scratch / "archives/demo.txt"});
  ASSERT_EQ(SaveIngredients(s, zip), zip);
  EXPECT_EQ(prompter.file_requests.size(), 2u);
  EXPECT_EQ(prompter.Count("Sorry. The Zip Archive name must end with the suffix \".ZIP\"."), 1);
  EXPECT_EQ(prompter.Last().text, "ZIP archive " + zip + " created.");
  EXPECT_THAT(EntryNames(zip),
              UnorderedElementsAre("cmfbits.zip", "data.zip", "model.zip", "tabetc.zip", "app.ds1",
                                   "app.ds2", "ziphist.txt"));
  EXPECT_THAT(InnerNames(zip, "model.zip", scratch / "look"),
              UnorderedElementsAre("demomodel", "demomodel.axs", "demomodel.axt", "demomodel.min",
                                   "demomodel.din", "xxfltime.xxx"));
  EXPECT_FALSE(FileExists(zip + ".part"));
  // The wait window names each step and, on the long ones, how far it is.
  EXPECT_THAT(prompter.progress,
              AllOf(Contains("Please Wait - Yearloom at work\r\nAdding Model files to Zip "
                             "file\r\n[This may take a while]"),
                    Contains("Please Wait - Yearloom at work\r\nAdding Model files to Zip "
                             "file\r\n[This may take a while]\r\n50% done"),
                    Contains("Please Wait - Yearloom at work\r\nChecking that can upzip the "
                             "files from the Zip archive\r\n[This may take a while]")));

  // The original moves away and the archive comes back at its place, into an empty folder.
  const std::string orig = work + " orig";
  std::filesystem::rename(work, orig);
  prompter.messages.clear();
  prompter.rules = {{"Do you want to load these Simulation Details", kNo}};
  prompter.file_answers.push_back({zip});
  prompter.directory_answers.push_back(work);
  auto restored = RestoreIngredientsCommand(s, prompter, ctx, archive::RestoreKind::kIngredients);
  ASSERT_TRUE(restored) << ::testing::PrintToString(prompter.Texts());
  EXPECT_EQ(restored->ds1, WorkFile(ds1));
  EXPECT_THAT(prompter.messages.front().text, HasSubstr("History of this ZIP Archive:"));
  EXPECT_EQ(prompter.Count("Restoring from the ZIP archive into directory\r\n   " + work +
                           "\r\nhas been completed.\r\nThe restored application has Sim "
                           "Names:\r\n   Base: BS1\r\n   Rerun: BR1\r\n   Policy: PL1\r\n"),
            1);
  // Every file has the time the run records know it by: exactly, from "xxfltime.xxx",
  // or, for the closure and shock files that have no such list, to the two seconds the
  // records compare.
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {orig + "/basedata.har", work + "/data/basedata.har"},
           {BinPath("demomodel"), work + "/model/demomodel"},
           {BinPath("demomodel.min"), work + "/model/demomodel.min"}}) {
    EXPECT_EQ(FileTime100ns(to), FileTime100ns(from)) << to;
    EXPECT_TRUE(FilesEqual(from, to)) << to;
  }
  for (const char* name : {"base.cls", "baseshk.har", "pol2024.psh"}) {
    EXPECT_EQ(FileId(WorkFile(name)), FileId(JoinPath(orig, name))) << name;
  }
  const IniFile details = *IniFile::Load(WorkFile(ds1));
  EXPECT_EQ(details.ReadString("Environment", "Model", ""), work + "/model/demomodel");

  YearloomRun again = Yearloom({"all", "all", ds1});
  ASSERT_TRUE(again.Succeeded()) << again.output;
  const std::vector<std::string> csvs = FilesWithExt(orig, ".csv");
  ASSERT_GE(csvs.size(), 7u);
  for (const std::string& csv : csvs) {
    EXPECT_EQ(ReadFileBytes(WorkFile(csv)), ReadFileBytes(JoinPath(orig, csv))) << csv;
  }
  YearloomRun where = Yearloom({"where-to-start", ds1});
  EXPECT_TRUE(where.Succeeded()) << where.output;
  for (const char* run : {"Base", "Rerun", "Policy"}) {
    EXPECT_THAT(where.output, HasSubstr(std::string(run) + ": Completed in sequence. Results "
                                                           "would be the same"));
  }

  // An archive of restored ingredients keeps the history above its own.
  Session r = Loaded();
  ASSERT_EQ(SaveIngredients(r, scratch / "archives/again.zip"), scratch / "archives/again.zip");
  auto history = archive::ReadZipEntry(scratch / "archives/again.zip", "ziphist.txt");
  ASSERT_TRUE(history && *history);
  const std::vector<std::string> lines = SplitLines(**history);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) {
                            return l.starts_with("This ZIP Archive was created on ");
                          }),
            2);
}

TEST_F(ArchiveCommandsTest, ResultsAreZippedWhollyOrBySelectionAndRestoredWithTheirRecords) {
  WriteOptions(2);
  ASSERT_TRUE(Yearloom({"all", "all", ds1}).Succeeded());
  Session s = Loaded();
  const std::string all = scratch / "res/all.zip";
  prompter.file_answers.push_back({all});
  ASSERT_EQ(ZipResultsCommand(s, prompter, ctx, true), all);
  EXPECT_EQ(prompter.Last().text, "Created Results Zip file\r\n  " + all +
                                      "\r\nFile AAHIST in the ZIP describes files included.");
  const std::vector<std::string> names = EntryNames(all);
  EXPECT_THAT(names,
              AllOf(Contains("bs1b-2021.sl4"), Contains("bs1b-br1r-pl1p-2030.slc"),
                    Contains("bs1b-br1r-pl1p-devc.csv"), Contains("bs1b-ssy.csv"),
                    Contains("aahist"), Contains("xxfltime.xxx"), Contains("demomodel-BS1B.ds3")));
  EXPECT_THAT(names, Not(Contains("bs1b-br1r-pl1p-2021.sl4")));  // before the policy starts
  // A finished run has every file it should have: the command line saves them all without
  // a question about missing ones.
  YearloomRun cli = Yearloom({"archive", "save-results", scratch / "res/cli.zip", ds1});
  ASSERT_TRUE(cli.Succeeded()) << cli.output;
  EXPECT_EQ(EntryNames(scratch / "res/cli.zip").size(), names.size());

  // Just the Base's spreadsheets.
  const std::string some = scratch / "res/some.zip";
  ctx.ask_results = [](const ResultsToSave& initial, int) -> std::optional<ResultsToSave> {
    EXPECT_EQ(initial, DefaultResultsToSave());
    ResultsToSave chosen{};
    chosen[kSaveYonyCumSpreadsheets] = true;
    return chosen;
  };
  prompter.check_answers.push_back(std::vector<bool>{true, false, false});  // the Base
  prompter.file_answers.push_back({some});
  ASSERT_EQ(ZipResultsCommand(s, prompter, ctx, false), some);
  EXPECT_EQ(prompter.choice_requests.back().label, "Results for which years?");
  EXPECT_THAT(EntryNames(some),
              UnorderedElementsAre("bs1b-ssy.csv", "bs1b-ssc.csv", "bs1b-ssc.rsl", "aahist",
                                   "xxfltime.xxx", "demomodel-BS1B.ds3", "demomodel-BS1B-BR1R.ds4",
                                   "demomodel-BS1B-BR1R-PL1P.ds5"));
  auto hist = archive::ReadZipEntry(some, "aahist");
  ASSERT_TRUE(hist && *hist);
  EXPECT_THAT(SplitLines(**hist),
              AllOf(Contains("This Results Zip File was created on " +
                             records::StampDateText(ctx.now100ns)),
                    Contains("   " + work), Contains("Base: Results for years 2021 to 2030"),
                    Contains("   Year-on-Year and Cumulative Speadsheets and Cumulative Results "
                             "RSL files ?"),
                    Not(Contains("   Solution Files ?"))));

  // The Base's solutions of 2023 and 2024 alone: the span of the years chosen.
  const std::string years = scratch / "res/years.zip";
  ctx.ask_results = [](const ResultsToSave&, int) -> std::optional<ResultsToSave> {
    ResultsToSave chosen{};
    chosen[kSaveSolutionFiles] = true;
    return chosen;
  };
  prompter.check_answers.push_back(std::vector<bool>{true, false, false});
  prompter.choice_answers.push_back(std::vector<int>{3, 2});  // 2024, 2023
  prompter.file_answers.push_back({years});
  ASSERT_EQ(ZipResultsCommand(s, prompter, ctx, false), years);
  EXPECT_THAT(EntryNames(years),
              AllOf(Contains("bs1b-2023.sl4"), Contains("bs1b-2024.sl4"),
                    Not(Contains("bs1b-2022.sl4")), Not(Contains("bs1b-2025.sl4"))));
  auto years_hist = archive::ReadZipEntry(years, "aahist");
  ASSERT_TRUE(years_hist && *years_hist);
  EXPECT_THAT(SplitLines(**years_hist), Contains("Base: Results for years 2023 to 2024"));

  // Back into a new directory, with the run records moved there too.
  const std::string into = scratch / "restored results";
  prompter.file_answers.push_back({all});
  prompter.directory_answers.push_back(into);
  prompter.rules = {{"holds the record of times and dates of runs", kYes}};
  auto back = RestoreResultsCommand(s, prompter, ctx);
  ASSERT_TRUE(back) << prompter.Last().text;
  EXPECT_EQ(FileTime100ns(into + "/bs1b-2025.sl4"), FileTime100ns(WorkFile("bs1b-2025.sl4")));
  EXPECT_TRUE(FilesEqual(into + "/bs1b-ssy.csv", WorkFile("bs1b-ssy.csv")));
  EXPECT_FALSE(FileExists(into + "/xxfltime.xxx"));
  const IniFile record = *IniFile::Load(into + "/demomodel-BS1B.ds3");
  EXPECT_EQ(record.ReadString("Run", "Sim Directory", ""), into);
  EXPECT_THAT(record.ReadString("2021", "Solution file", ""), HasSubstr(into + "/bs1b-2021.sl4"));
}

TEST_F(ArchiveCommandsTest, MissingClosureFilesAreAskedAboutOnceAndOverwritingAllAsksOnce) {
  Session s = Loaded();
  DeleteFileIfExists(WorkFile("pol2024.psh"));
  DeleteFileIfExists(WorkFile("pol2027.psh"));
  const std::string zip = scratch / "clsh.zip";
  prompter.rules = {{"This file should be in the CMFBITS zip file.", kNo},
                    {"The Zip archive will not be complete.", kYes}};
  prompter.file_answers.push_back({zip});
  ASSERT_EQ(SaveClosureShocksCommand(s, prompter, ctx, archive::ArchiveRuns::kAll,
                                     archive::ArchiveKinds::kBoth),
            zip);
  EXPECT_EQ(prompter.Count("does not exist.\r\nThis file should be in the CMFBITS zip file."), 1);
  EXPECT_THAT(EntryNames(zip),
              UnorderedElementsAre("cmfbits.zip", "app.ds1", "app.ds2", "ziphist.txt"));
  EXPECT_THAT(
      InnerNames(zip, "cmfbits.zip", scratch / "look"),
      UnorderedElementsAre("base.cls", "base.bsh", "baseshk.har", "policy.cls", "demo.map"));

  // Into a directory that already holds two of the files: one question, answered All.
  const std::string into = scratch.MakeDir("cl");
  scratch.Write("cl/base.cls", "old");
  scratch.Write("cl/policy.cls", "old");
  prompter.messages.clear();
  prompter.rules = {{"This directory is not empty.", kYes},
                    {"Overwrite ", kAll},
                    {"Do you want to load the Closure/Shocks part", kYes}};
  prompter.file_answers.push_back({zip});
  prompter.directory_answers.push_back(into);
  auto restored =
      RestoreIngredientsCommand(s, prompter, ctx, archive::RestoreKind::kClosureShocksArchive);
  ASSERT_TRUE(restored) << prompter.Last().text;
  EXPECT_EQ(prompter.Count("Overwrite "), 1);
  EXPECT_TRUE(FilesEqual(into + "/policy.cls", WorkFile("policy.cls")));
  EXPECT_EQ(s.sim.SimDir, into);
  EXPECT_EQ(prompter.Last().text, "The Working Directory is now\r\n    " + into);
}

TEST_F(ArchiveCommandsTest, RefusalsNameWhatIsWrongAndLeaveNothingBehind) {
  Session s = Loaded();
  // An archive made elsewhere is not an ingredients archive.
  const std::string foreign = scratch / "foreign.zip";
  ASSERT_TRUE(archive::CreateZip(foreign, {{WorkFile("base.cls"), "base.cls"}}).ok());
  prompter.file_answers.push_back({foreign});
  EXPECT_FALSE(RestoreIngredientsCommand(s, prompter, ctx, archive::RestoreKind::kIngredients));
  EXPECT_EQ(prompter.Last().text,
            "Sorry, unable to extract files from " + foreign +
                "\r\nFile APP.DS1 is not present in this zip file.\r\nThis menu item can only be "
                "used to restore from a Zip Archive made by Yearloom\r\n(not from a zip file you "
                "have made outside Yearloom).\r\n[Maybe " +
                foreign + " is not a valid ZIP Archive.]");

  // The program's own directory is refused, and the dialog comes back.
  const std::string zip = scratch / "demo.zip";
  ASSERT_TRUE(SaveIngredients(s, zip));
  prompter.rules = {{"Do you want to load", kNo}};
  prompter.file_answers.push_back({zip});
  prompter.directory_answers.push_back(s.settings.paths.program_dir);
  EXPECT_FALSE(RestoreIngredientsCommand(s, prompter, ctx, archive::RestoreKind::kIngredients));
  EXPECT_EQ(prompter.Count("Please choose another directory.\r\nRestoring to the same directory as "
                           "this program is running in is not allowed."),
            1);

  // An inner archive that would write outside the target: nothing at all is restored, not
  // even the parts that came before it.
  const std::string parts = scratch / "parts";
  ASSERT_TRUE(archive::ExtractZip(zip, parts).ok());
  ASSERT_TRUE(
      archive::CreateZip(parts + "/data.zip", {{WorkFile("params.har"), "../evil.har"}}).ok());
  std::vector<archive::ZipItem> items;
  for (const char* name : {"app.ds1", "app.ds2", "model.zip", "cmfbits.zip", "data.zip"}) {
    items.push_back({JoinPath(parts, name), name});
  }
  const std::string hostile = scratch / "hostile.zip";
  ASSERT_TRUE(archive::CreateZip(hostile, items).ok());
  const std::string target = scratch / "into/target";
  prompter.file_answers.push_back({hostile});
  prompter.directory_answers.push_back(target);
  EXPECT_FALSE(RestoreIngredientsCommand(s, prompter, ctx, archive::RestoreKind::kIngredients));
  EXPECT_THAT(prompter.Last().text,
              AllOf(HasSubstr("The entry \"../evil.har\" leads out of the folder"),
                    HasSubstr("Restoring unsuccessful.")));
  EXPECT_THAT(ListDirectory(target).value_or(std::vector<DirEntry>{}), IsEmpty());
  EXPECT_THAT(ListDirectory(scratch / "into").value_or(std::vector<DirEntry>{}).size(), 1u);

  // A cancel in the wait window leaves no archive, complete or partial.
  prompter.cancel = true;
  const std::string cancelled = scratch / "cancelled.zip";
  EXPECT_FALSE(SaveIngredients(s, cancelled));
  EXPECT_EQ(prompter.Count("Creation of ZIP archive cancelled."), 1);
  EXPECT_FALSE(PathExists(cancelled));
  EXPECT_FALSE(PathExists(cancelled + ".part"));
}

TEST_F(ArchiveCommandsTest, ListingsAndViewsShowWhatTheArchiveHolds) {
  WriteOptions(1);
  Session s = Loaded();
  const std::string zip = scratch / "demo.zip";
  ASSERT_TRUE(SaveIngredients(s, zip));
  ctx.archive = zip;
  auto listed = ListArchivePartCommand(s, prompter, ctx, ArchivePart::kFirstYear);
  ASSERT_TRUE(listed);
  ASSERT_FALSE(prompter.text_windows.empty());
  EXPECT_EQ(prompter.text_windows.back().caption, "First Year Data files in Zip Archive");
  // One line per entry: the name in upper case, four blanks, its time, " Size " and size.
  EXPECT_THAT(prompter.text_windows.back().text,
              AllOf(ContainsRegex(R"(BASEDATA\.HAR    [0-9]{2}-[A-Z][a-z]{2}-[0-9]{4} at )"
                                  R"([0-9:]{8} Size [0-9]+)"),
                    HasSubstr("PARAMS.HAR    "), Not(HasSubstr("XXFLTIME"))));
  EXPECT_FALSE(ListArchivePartCommand(s, prompter, ctx, ArchivePart::kExtra));
  EXPECT_EQ(prompter.Last().text, "Sorry. There is no file extra.zip in the ZIP archive.");
  EXPECT_FALSE(ExtractArchiveTextCommand(s, prompter, ctx, ArchiveText::kDescription));
  EXPECT_EQ(prompter.Last().text,
            "Sorry, there is no Simulation Description saved in this ZIP archive.");
  auto history = ExtractArchiveTextCommand(s, prompter, ctx, ArchiveText::kHistory);
  ASSERT_TRUE(history);
  EXPECT_THAT(ReadFileBytes(*history), HasSubstr("The Sim Names were:"));

  // Without the model, with an extra file and a description; the model added later in
  // developer mode.
  ctx.archive.clear();
  scratch.Write("demo work/notes.cmf", "! how the closures were made\n");
  scratch.Write("demo work/" + ChangeFileExt(ds1, ".ds0"), "Simulation Description\n");
  const std::string lean = scratch / "lean.zip";
  prompter.rules = {{"review or update the Simulation Description", kIgnore},
                    {"add some extra files", kYes}};
  prompter.file_list_answers.push_back(std::vector<std::string>{WorkFile("notes.cmf")});
  prompter.file_answers.push_back({lean});
  ASSERT_EQ(SaveIngredientsCommand(s, prompter, ctx, false), lean);
  EXPECT_EQ(prompter.Count("Caution. This does not save the QG-Program EXE or the Auxiliary "
                           "files."),
            1);
  EXPECT_EQ(prompter.Count("Extra files added to zip archive"), 1);
  EXPECT_THAT(EntryNames(lean),
              UnorderedElementsAre("cmfbits.zip", "data.zip", "tabetc.zip", "extra.zip", "app.ds1",
                                   "app.ds2", "app.ds0", "ziphist.txt"));
  ctx.archive = lean;
  ASSERT_TRUE(ListArchivePartCommand(s, prompter, ctx, ArchivePart::kExtra));
  EXPECT_THAT(prompter.text_windows.back().text, HasSubstr("NOTES.CMF    "));
  auto description = ExtractArchiveTextCommand(s, prompter, ctx, ArchiveText::kDescription);
  ASSERT_TRUE(description);
  EXPECT_EQ(ReadFileBytes(*description), "Simulation Description\n");
  ASSERT_TRUE(AddToArchiveCommand(s, prompter, ctx, true));
  EXPECT_THAT(EntryNames(lean), Contains("model.zip"));

  ctx.archive.clear();
  prompter.file_answers.push_back({scratch / "keep.zip"});
  ASSERT_TRUE(ZipDirectoryCommand(s, prompter, ctx, true));
  EXPECT_EQ(prompter.Last().text,
            "All files in Keep Dir\r\nput into Zip file\r\n" + scratch / "keep.zip");
  EXPECT_THAT(EntryNames(scratch / "keep.zip"), Contains("yearloom.ini"));
}

// The demo model as a modeller may be given it: the program, its auxiliary, information
// and dynamic files, but no TAB file beside them.
std::string CopyModelWithoutTab(const std::string& dir) {
  EXPECT_TRUE(ForceDirectories(dir));
  for (const char* ext : {"", ".axs", ".axt", ".min", ".din"}) {
    const std::string from = JoinPath(BinDir(), std::string("demomodel") + ext);
    EXPECT_TRUE(CopyKeepingStamp(from, JoinPath(dir, FileNameOf(from)), true));
  }
  return JoinPath(dir, "demomodel");
}

TEST_F(ArchiveCommandsTest, ATabFileOnlyInTheAuxiliaryFilesIsExtractedBeforeTheSave) {
  auto c = StartController(prompter);
  AppController& app = c->app;
  app.session().settings.options.FewerMessages = false;
  SessionSettings& st = app.session().settings;
  const std::string model = CopyModelWithoutTab(scratch / "model only");
  SetModelFile(st.model, model, std::nullopt);
  st.min_din.MinPath = model + ".min";
  st.min_din.DinPath = model + ".din";
  WindowCommands commands(app, prompter, {});
  prompter.rules = {{"review or update the Simulation Description", kIgnore},
                    {"add some extra files", kNo}};

  // The first time, the extraction starts and the command ends before asking for a name.
  const std::string command = "Zip > Save Ingredients as ZIP archive";
  ASSERT_TRUE(commands.Run(command));
  EXPECT_TRUE(prompter.file_requests.empty());
  EXPECT_EQ(app.session().background.kind, jobs::BackgroundKind::kExtractTabFile);
  EXPECT_THAT(prompter.Texts(),
              Contains("The TAB file is not beside the model, so it will first be extracted "
                       "from\r\n" +
                       model + ".axt\r\nWhen that has finished, please give this command again."));
  PollUntilBackgroundEnds(app, c->runner, std::chrono::minutes(1));
  ASSERT_FALSE(app.background().Busy());
  const std::string extracted = JoinPath(st.paths.temp_dir, "demomodel.tab");
  EXPECT_EQ(prompter.Last().text, "Quillo file seems to be\r\n" + extracted +
                                      "\r\nGive the command again to put it into the ZIP archive.");

  // Given again, it saves at once with the extracted files under the model's names for
  // them (an STI file is extracted as "tabcond.sti").
  st.model.StiFileName = "demomodel.sti";
  WriteFileBytes(JoinPath(st.paths.temp_dir, "tabcond.sti"), "condense\n");
  const std::string zip = scratch / "archives/extracted.zip";
  prompter.file_answers.push_back({zip});
  ASSERT_TRUE(commands.Run(command));
  EXPECT_EQ(prompter.Last().text, "ZIP archive " + zip + " created.");
  EXPECT_FALSE(app.background().Busy());
  EXPECT_EQ(prompter.Count("Warning. TAB file not found"), 0);
  EXPECT_THAT(InnerNames(zip, "tabetc.zip", scratch / "look"),
              UnorderedElementsAre("demomodel.tab", "demomodel.sti", "xxfltime.xxx"));
  ASSERT_TRUE(archive::ExtractZip(scratch / "look/tabetc.zip", scratch / "look/tabetc", {}).ok());
  EXPECT_EQ(ReadFileBytes(scratch / "look/tabetc/demomodel.tab"),
            ReadFileBytes(JoinPath(BinDir(), "demomodel.tab")));
  EXPECT_EQ(ReadFileBytes(scratch / "look/tabetc/demomodel.sti"), "condense\n");
}

class ArchiveCommandLineTest : public DemoWorkTest {};

TEST_F(ArchiveCommandLineTest, ATabFileOnlyInTheAuxiliaryFilesIsExtractedAndSaved) {
  const std::string model = CopyModelWithoutTab(scratch / "model only");
  std::string details = ReadFileBytes(WorkFile(ds1));
  const std::string from = JoinPath(BinDir(), "demomodel");
  for (std::size_t at = details.find(from); at != std::string::npos;
       at = details.find(from, at + model.size())) {
    details.replace(at, from.size(), model);
  }
  WriteFileBytes(WorkFile(ds1), details);
  const std::string zip = scratch / "cli.zip";
  YearloomRun save = Yearloom({"archive", "save-ingredients", zip, ds1});
  ASSERT_TRUE(save.Succeeded()) << save.output;
  EXPECT_THAT(
      save.output,
      AllOf(HasSubstr("Quillo file seems to be"), HasSubstr("It goes into the ZIP archive."),
            HasSubstr("ZIP archive " + zip + " created."), Not(HasSubstr("TAB file not found"))));
  EXPECT_THAT(InnerNames(zip, "tabetc.zip", scratch / "look"),
              UnorderedElementsAre("demomodel.tab", "xxfltime.xxx"));
}

TEST_F(ArchiveCommandLineTest, SavesListsAndRestoresAndRefusesWithExitTwo) {
  YearloomRun help = Yearloom({"archive", "--help"});
  EXPECT_TRUE(help.Succeeded());
  EXPECT_THAT(help.output, HasSubstr("save-ingredients"));

  const std::string zip = scratch / "cli.zip";
  YearloomRun save = Yearloom({"archive", "save-ingredients", zip, ds1});
  ASSERT_TRUE(save.Succeeded()) << save.output;
  EXPECT_THAT(save.output, HasSubstr("ZIP archive " + zip + " created."));

  YearloomRun list = Yearloom({"archive", "list", zip});
  ASSERT_TRUE(list.Succeeded()) << list.output;
  EXPECT_THAT(list.output, AllOf(HasSubstr("MODEL.ZIP    "), HasSubstr("APP.DS1    ")));

  const std::string into = scratch / "cli restore";
  YearloomRun restore = Yearloom({"archive", "restore", zip, into});
  ASSERT_TRUE(restore.Succeeded()) << restore.output;
  EXPECT_THAT(restore.output, HasSubstr("Sim Details: " + into + "/" + ds1));
  EXPECT_TRUE(FileExists(into + "/data/params.har"));

  // A directory that is not empty is not restored into.
  YearloomRun again = Yearloom({"archive", "restore", zip, into});
  EXPECT_TRUE(again.ran);
  EXPECT_EQ(again.exit.code, 2);
  EXPECT_THAT(again.output, HasSubstr("This directory is not empty."));

  // An archive that would write outside its directory writes nothing at all.
  const std::string hostile = scratch / "hostile.zip";
  ASSERT_TRUE(archive::CreateZip(hostile, {{WorkFile("base.cls"), "../escaped.cls"}}).ok());
  YearloomRun refused = Yearloom({"archive", "restore", hostile, scratch / "target"});
  EXPECT_EQ(refused.exit.code, 2);
  EXPECT_THAT(refused.output, HasSubstr("The entry \"../escaped.cls\" leads out of the folder"));
  EXPECT_FALSE(PathExists(scratch / "escaped.cls"));
  EXPECT_THAT(ListDirectory(scratch / "target").value_or(std::vector<DirEntry>{}), IsEmpty());
}

}  // namespace
}  // namespace yl::testing
