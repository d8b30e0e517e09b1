#include "app/commands/archive_commands.h"

#include <algorithm>

#include "app/commands/run_checks_commands.h"
#include "app/controller.h"
#include "app/tasks.h"
#include "archive/file_times.h"
#include "core/number_text.h"
#include "core/text_util.h"
#include "platform/dir_list.h"
#include "platform/dir_tree.h"
#include "platform/disk_space.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "records/file_stamp.h"
#include "settings/options_file.h"
#include "settings/recent_files.h"
#include "settings/sim_details.h"
#include "settings/sim_store.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

using archive::ArchiveKinds;
using archive::ArchiveRuns;
using archive::ExtractKind;
using archive::FileSet;
using archive::OverwriteAnswer;
using archive::ZipEntry;
using archive::ZipItem;
using archive::ZipOutcome;
using archive::ZipResult;

namespace {

constexpr char kZipFilter[] = "ZIP Files (*.ZIP)|*.zip|All Files|*.*";
constexpr std::uint64_t kLowDiskSpace = 3000000;

std::string Name() { return kDisplayName; }

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return text;
}

// The wait window: its two lines, how much is done, and its Cancel button.
class Wait {
 public:
  explicit Wait(Prompter& p) : p_(p) {}
  ~Wait() { Hide(); }
  Wait(const Wait&) = delete;
  Wait& operator=(const Wait&) = delete;
  void Stage(const std::string& text) {
    text_ = "Please Wait - " + Name() + " at work\r\n" + text;
    percent_ = -1;
    shown_ = true;
    p_.ShowProgress(text_);
  }
  void Hide() {
    if (shown_) p_.HideProgress();
    shown_ = false;
  }
  // Called often by the library: the window is repainted when the whole percent changes.
  archive::ZipProgress Progress() {
    archive::ZipProgress z;
    z.progress = [this](double fraction) {
      const int percent = static_cast<int>(fraction * 100);
      if (!shown_ || percent == percent_) return;
      percent_ = percent;
      p_.ShowProgress(text_ + "\r\n" + std::to_string(percent) + "% done");
    };
    z.cancelled = [this] { return p_.ProgressCancelled(); };
    return z;
  }

 private:
  Prompter& p_;
  std::string text_;
  int percent_ = -1;
  bool shown_ = false;
};

// A file name for writing an archive: preset, or asked until it ends in ".zip".
std::optional<std::string> ChooseArchiveToWrite(Prompter& p, const ArchiveCommandContext& ctx,
                                                const std::string& title, const std::string& folder,
                                                const std::string& default_name, int help) {
  if (!ctx.archive.empty()) {
    if (!EndsWithNoCase(ctx.archive, ".zip")) {
      p.Error(
          "Sorry. The Zip Archive name must end with the suffix \".ZIP\".\r\nPlease specify the "
          "file again.");
      return std::nullopt;
    }
    return ctx.archive;
  }
  ForceDirectories(folder);
  for (;;) {
    auto files =
        p.ChooseFiles(FileRequest{title, kZipFilter, folder, default_name, true, false, help});
    if (files.empty() || files.front().empty()) return std::nullopt;
    const std::string path = ResolveAgainst(folder, files.front());
    if (EndsWithNoCase(path, ".zip")) return path;
    p.Information(
        "Sorry. The Zip Archive name must end with the suffix \".ZIP\".\r\nPlease specify the "
        "file again.");
  }
}

std::optional<std::string> ChooseArchiveToRead(Prompter& p, const ArchiveCommandContext& ctx,
                                               const std::string& title,
                                               const std::string& folder) {
  if (!ctx.archive.empty()) return ctx.archive;
  auto files = p.ChooseFiles(FileRequest{title, kZipFilter, folder, "", false, false, 0});
  if (files.empty() || files.front().empty()) return std::nullopt;
  return ResolveAgainst(folder, files.front());
}

std::string ArchiveFolderOf(const Session& s) {
  return archive::ArchiveFolder(s.settings.paths.keep_dir);
}

// The free-space warning; false when the user stops.
bool EnoughDiskSpace(Prompter& p, const std::string& archive) {
  auto space = FreeDiskSpace(DirOfFile(archive));
  if (!space || space->free_bytes >= kLowDiskSpace) return true;
  const double mib = static_cast<double>(space->free_bytes) / (1024.0 * 1024.0);
  return p.Confirm("Currently you seem to have only about " +
                       FormatReal(mib, RealFormat::Fixed(3)) +
                       " MBytes of disk space free.\r\nIt may be safer to free up more disk space "
                       "before continuing.\r\nDo you wish to continue despite this?",
                   kYes | kNo) == kYes;
}

// A scratch folder of the temporary directory, emptied when the command ends.
struct Scratch {
  std::string dir;
  ~Scratch() {
    if (!dir.empty()) (void)RemoveTree(dir);
  }
};

std::optional<std::string> MakeScratch(Prompter& p, const Session& s, const std::string& name) {
  const std::string& temp = s.settings.paths.temp_dir;
  if (temp.empty() || !DirectoryExists(temp)) {
    p.Error("Cannot locate the temporary directory.");
    return std::nullopt;
  }
  const std::string dir = JoinPath(temp, name);
  (void)RemoveTree(dir);
  if (!ForceDirectories(dir)) {
    p.Error("Cannot create directory " + dir);
    return std::nullopt;
  }
  return dir;
}

// The closure/shock files, asking about missing ones; nullopt when the user stops.
std::optional<std::vector<std::string>> CmfBitsWithQuestions(Prompter& p, const FileSet& set) {
  bool warn = true;
  for (const std::string& missing : set.missing) {
    if (!warn) break;
    if (p.Confirm("File " + missing +
                      " does not exist.\r\nThis file should be in the CMFBITS zip file.\r\nStop "
                      "making the Zip archive?\r\n[If you say \"No\", you will not be warned about "
                      "any other missing files.]",
                  kYes | kNo) == kYes) {
      return std::nullopt;
    }
    warn = false;
  }
  if (!set.missing.empty() &&
      p.Confirm("Warning. The Zip archive will not be complete.\r\nYou will not be able to "
                "reproduce results from it.\r\nYou will not be warned about any other missing "
                "files.\r\nContinue despite this?",
                kYes | kNo) != kYes) {
    return std::nullopt;
  }
  return set.files;
}

std::string EnvironmentFilesSentence(const std::vector<std::string>& files) {
  std::vector<std::string> env;
  for (const std::string& f : files) {
    if (SameText(FileExtOf(f), ".en4")) env.push_back(FileNameOf(f));
  }
  if (env.empty()) return "";
  std::string names;
  for (std::size_t i = 0; i < env.size(); ++i) names += (i ? ", " : "") + env[i];
  return "The CMF/Shocks part of this archive holds the environment file(s) " + names +
         ".\r\nYou may like to add the Command files for creating them as well.";
}

// Writes the outer archive under a temporary name, checks it and only then gives it its
// name, so that a failed save never costs an archive that was already there.
bool WriteCheckedArchive(Prompter& p, Wait& wait, const std::string& archive,
                         const std::vector<ZipItem>& items, const std::string& temp_dir) {
  const std::string partial = archive + ".part";
  auto drop_partial = [&] {
    if (FileExists(partial)) {
      p.Information("Deleting partly complete Zip file\r\n" + archive +
                    "\r\nbecause of the above error(s).");
      DeleteFileIfExists(partial);
    }
  };
  wait.Stage("Adding Zip files to Zip archive\r\n[This may take a while]");
  ZipResult made = archive::CreateZip(partial, items, {}, wait.Progress());
  if (made.outcome == ZipOutcome::kCancelled) {
    p.Information("Creation of ZIP archive cancelled.");
    drop_partial();
    return false;
  }
  if (!made.ok()) {
    p.Error("There was an error creating the ZIP file.\r\nMore details:\r\n" + made.text);
    drop_partial();
    return false;
  }
  wait.Stage("Checking that can upzip the files from the Zip archive\r\n[This may take a while]");
  if (auto v = archive::VerifyArchive(partial, items, temp_dir); !v) {
    p.Error(
        "Created ZIP archive but there was an error unzipping the files from it.\r\nThis means "
        "that the ZIP archive is not reliable.\r\nYou should try to make it again - if it fails "
        "again, perhaps notify the suppliers of this code.\r\n" +
        v.error());
    drop_partial();
    return false;
  }
  if (auto s = RenamePath(partial, archive); !s) {
    p.Error("There was an error creating the ZIP file.\r\nMore details:\r\n" + s.error());
    drop_partial();
    return false;
  }
  return true;
}

constexpr char kCreateFailed[] =
    "There was an error creating the ZIP file.\r\n[See the previous message(s). Alternatively "
    "it is just possible\r\n that you need to free up more disk space before trying again.]";

// One inner archive in the scratch folder; false when it failed (the library's text and
// then failed_text are shown) or was cancelled (which is told).
bool AddInner(Prompter& p, Wait& wait, const std::string& scratch, const char* name,
              const std::vector<std::string>& files, bool with_times, std::vector<ZipItem>& items,
              const std::string& failed_text = kCreateFailed) {
  const std::string path = JoinPath(scratch, name);
  // A small archive is written before the library would look at the Cancel button.
  ZipResult r = p.ProgressCancelled()
                    ? ZipResult{ZipOutcome::kCancelled, ""}
                    : archive::WriteInnerZip(path, files, with_times, wait.Progress());
  if (r.outcome == ZipOutcome::kCancelled) {
    p.Information("Creation of ZIP archive cancelled.");
    return false;
  }
  if (!r.ok()) {
    p.Error(r.text);
    p.Error(failed_text);
    return false;
  }
  items.push_back({path, name});
  return true;
}

// The Sim Details entries and the history, in the scratch folder.
bool AddSimDetailsEntries(Prompter& p, const Session& session, const ArchiveCommandContext& ctx,
                          const std::string& scratch, std::vector<ZipItem>& items) {
  const SessionSettings& s = session.settings;
  const TSimRecord& sim = session.sim;
  Notices notices;
  const std::string ds1 = JoinPath(scratch, archive::kAppDs1);
  const std::string ds2 = JoinPath(scratch, archive::kAppDs2);
  if (auto w = WriteIniOptions(ds1, OptionsForm::kSequential, s, sim, notices); !w) {
    ShowAll(p, notices);
    return false;
  }
  if (auto w = WriteSimStore(ds2, sim); !w) {
    p.Error(w.error());
    return false;
  }
  items.push_back({ds1, archive::kAppDs1});
  items.push_back({ds2, archive::kAppDs2});
  const std::string details =
      !s.sim_details_file.empty()
          ? s.sim_details_file
          : DefaultSimDetailsFile(sim, s.model.ModelName, s.options.NoRerun);
  if (!details.empty()) {
    const std::string ds0 = SimDescriptionFile(details);
    if (FileExists(ds0)) {
      const std::string copy = JoinPath(scratch, archive::kAppDs0);
      if (auto c = CopyKeepingStamp(ds0, copy, true); !c) {
        p.Error(c.error());
        return false;
      }
      items.push_back({copy, archive::kAppDs0});
    }
  }
  // A working directory restored from an archive keeps that archive's history.
  const std::string earlier =
      ReadWholeFile(JoinPath(sim.SimDir, archive::kZipHistory)).value_or("");
  const std::string hist = JoinPath(scratch, archive::kZipHistory);
  if (auto w = WriteTextLines(
          hist, archive::ZipHistoryLines(earlier, ctx.now100ns, sim, s.options.NoRerun));
      !w) {
    p.Error(w.error());
    return false;
  }
  items.push_back({hist, archive::kZipHistory});
  return true;
}

bool ShortNamesOk(Prompter& p, const Session& session) {
  if (auto c = CheckShortNamesDataCMFBits(session.sim, session.settings.first_year_files); !c) {
    p.Error(c.error());
    return false;
  }
  return true;
}

std::string ProposedRestoreDir(const std::string& archive) {
  const std::string stem = ChangeFileExt(archive, "");
  for (int n = 1; n < 1000; ++n) {
    const std::string dir = stem + "-v" + std::to_string(n);
    if (!PathExists(dir)) return dir;
  }
  return JoinPath(DirOfFile(archive), "restorexx");
}

bool DirIsEmpty(const std::string& dir) {
  auto entries = ListDirectory(dir);
  return !entries || entries->empty();
}

// The restore directory: preset or asked; the program directory and the top level are
// refused, a non-empty one needs a yes. `what` is "" or "results ".
std::optional<std::string> ChooseRestoreDir(Prompter& p, const Session& session,
                                            const ArchiveCommandContext& ctx,
                                            const std::string& archive, const std::string& what) {
  const std::string& program_dir = session.settings.paths.program_dir;
  for (;;) {
    std::string dir;
    if (!ctx.directory.empty()) {
      dir = ctx.directory;
    } else {
      auto chosen = p.ChooseDirectory(
          DirectoryRequest{"Restore " + what + "to directory", "", ProposedRestoreDir(archive), 0});
      if (!chosen || chosen->empty()) return std::nullopt;
      dir = *chosen;
    }
    dir = RemoveTrailingSep(AbsolutePath(dir));
    std::string refusal;
    if (!program_dir.empty() && dir == RemoveTrailingSep(AbsolutePath(program_dir))) {
      refusal = "Please choose another directory.\r\nRestoring " + what +
                "to the same directory as this program is running in is not allowed.";
    } else if (dir == "/" || DirOfFile(dir) == "/" || DirOfFile(dir).empty()) {
      refusal = "Please choose another directory.\r\nRestoring " + what +
                "to a top-level directory is unwise and is not allowed.";
    }
    if (!refusal.empty()) {
      p.Error(refusal);
      if (!ctx.directory.empty()) return std::nullopt;
      continue;
    }
    if (DirectoryExists(dir) && !DirIsEmpty(dir) &&
        p.Confirm("This directory is not empty. Do you want to continue?", kYes | kNo) != kYes) {
      if (!ctx.directory.empty()) return std::nullopt;
      continue;
    }
    return dir;
  }
}

std::function<OverwriteAnswer(const std::string&)> OverwriteQuestion(Prompter& p,
                                                                     const Session& s) {
  if (s.settings.options.DeveloperMode) return {};
  return [&p](const std::string& file) {
    switch (p.Confirm("Overwrite " + file + "?", kYes | kNo | kCancel | kAll, kHelpZipArchives)) {
      case kYes:
        return OverwriteAnswer::kYes;
      case kAll:
        return OverwriteAnswer::kAll;
      case kCancel:
        return OverwriteAnswer::kCancel;
      default:
        return OverwriteAnswer::kNo;
    }
  };
}

// Says how an unpacking ended; true when it succeeded.
bool ReportUnzip(Prompter& p, ExtractKind kind, const std::string& text) {
  switch (kind) {
    case ExtractKind::kDone:
      return true;
    case ExtractKind::kCancelled:
      p.Information("Unzipping halted via Cancel button.");
      return false;
    case ExtractKind::kRefused:
    case ExtractKind::kFailed:
      p.Error(text + "\r\nRestoring unsuccessful.");
      return false;
  }
  return false;
}

std::string UnableToExtract(const std::string& archive, const std::string& reason) {
  return "Sorry, unable to extract files from " + archive + "\r\n" + reason +
         ".\r\nThis menu item can only be used to restore from a Zip Archive made by " + Name() +
         "\r\n(not from a zip file you have made outside " + Name() + ").\r\n[Maybe " + archive +
         " is not a valid ZIP Archive.]";
}

void DeleteRunRecords(const Session& s) {
  for (int r = kBase; r <= kPolicy; ++r) {
    DeleteFileIfExists(JoinPath(s.settings.paths.keep_dir, RunBookkeepingFileName(r)));
  }
}

// An ingredients archive holds the TAB and STI files: any not at hand are first taken out
// of the auxiliary table file. False when the command must stop for that.
bool QuilloFilesAtHand(const SessionSettings& s, const ArchiveCommandContext& ctx) {
  if (!ctx.extract_quillo_file) return true;
  const ModelState m = WithQuilloNames(s.model, s.min_din.MinPath);
  for (QuilloFile what : {QuilloFile::kTab, QuilloFile::kSti}) {
    if (LocateQuilloFile(m, what, s.paths.temp_dir).state ==
            QuilloFileLookup::State::kMustExtract &&
        !ctx.extract_quillo_file(what, m)) {
      return false;
    }
  }
  return true;
}

std::optional<std::string> SaveArchive(Session& session, Prompter& p,
                                       const ArchiveCommandContext& ctx, bool closure_shocks,
                                       bool include_model, ArchiveRuns runs, ArchiveKinds kinds) {
  const SessionSettings& s = session.settings;
  const TSimRecord& sim = session.sim;
  if (!ShortNamesOk(p, session)) return std::nullopt;
  if (!ctx.unattended && !closure_shocks &&
      p.Confirm("Do you want to review or update the Simulation Description file\r\n before "
                "saving this Zip file?\r\nIf so, click on the Cancel button, then edit the file "
                "via the\r\n \"Edit Sim Description\" button on the Sim Overview page, save that "
                "Description\r\n and then return here to save the Zip file.\r\nOtherwise click on "
                "the Ignore button to proceed with making the Zip file.",
                kCancel | kIgnore, kHelpSaveIngredients) != kIgnore) {
    p.Information("Cancelling so you can edit or review the Simulation Description.");
    return std::nullopt;
  }
  if (!closure_shocks && !QuilloFilesAtHand(s, ctx)) return std::nullopt;
  const bool no_rerun = s.options.NoRerun;
  const std::string folder =
      closure_shocks ? archive::ClosureShocksFolder(s.paths.keep_dir) : ArchiveFolderOf(session);
  const std::string dflt =
      closure_shocks
          ? archive::DefaultClosureShocksName(sim, s.model.ModelName, no_rerun, runs, kinds)
          : archive::DefaultIngredientsName(sim, s.model.ModelName, no_rerun);
  if (closure_shocks) {
    p.Information(
        "Caution. This does not save the Model or Data files.\r\nHence you will not be able to "
        "regenerate results from this\r\n zip file if the Model or Data files change.",
        kHelpClosureShocksZip);
  } else if (!include_model) {
    p.Information(
        "Caution. This does not save the QG-Program EXE or the Auxiliary files.\r\nHence you "
        "cannot guarnatee being able to regenerate results from this zip.\r\nSource-code Solvara "
        "will be required to regenerate the EXE and Auxiliary files.");
  }
  auto archive = ChooseArchiveToWrite(
      p, ctx,
      closure_shocks ? "Save Closure/Shocks ZIP archive" : "Save Ingredients as ZIP archive",
      folder, dflt, kHelpZipArchives);
  if (!archive) return std::nullopt;
  if (!ForceDirectories(DirOfFile(*archive))) {
    p.Error("Cannot create directory " + DirOfFile(*archive));
    return std::nullopt;
  }
  if (!EnoughDiskSpace(p, *archive)) return std::nullopt;
  auto scratch_dir = MakeScratch(p, session, "zipwork");
  if (!scratch_dir) return std::nullopt;
  Scratch scratch{*scratch_dir};
  Wait wait{p};
  std::vector<ZipItem> items;

  wait.Stage("Adding CMF/Shocks files to Zip file");
  auto cmf = CmfBitsWithQuestions(p, archive::ClosureShockFiles(sim, s, runs, kinds));
  if (!cmf) {
    p.Information("Creation of ZIP archive cancelled.");
    return std::nullopt;
  }
  if (!AddInner(p, wait, scratch.dir, archive::kCmfBitsZip, *cmf, false, items,
                "There was an error creating the CMFBits ZIP file.[AddCMFBitsToZip]")) {
    return std::nullopt;
  }
  if (!closure_shocks) {
    std::string question =
        "Do you want to add some extra files to this ZIP archive?\r\n[For example, you might like "
        "to add Command files for creating different closures\r\n  or you might like to add "
        "some preliminary data files.]\r\n";
    if (std::string env = EnvironmentFilesSentence(*cmf); !env.empty()) question += env;
    if (!ctx.unattended && p.Confirm(question, kYes | kNo, kHelpExtraFiles) == kYes) {
      FileListRequest request;
      request.caption =
          "Click on the Add button to select files (one or more) to add to Zip archive";
      request.add =
          FileRequest{"Choose one or more Files (Hold down Control to select multiple files)",
                      "CMF Files (*.cmf)|*.cmf|All Files (*.*)|*.*",
                      sim.SimDir,
                      "",
                      false,
                      true,
                      0};
      auto extra = p.EditFileList(request);
      if (extra && !extra->empty()) {
        std::vector<ZipItem> extra_items;
        if (AddInner(p, wait, scratch.dir, archive::kExtraZip, *extra, true, extra_items,
                     "There was an error zipping the extra files - they will not be added.")) {
          items.insert(items.end(), extra_items.begin(), extra_items.end());
          p.Information("Extra files added to zip archive");
        }
      }
    }
    wait.Stage("Adding First Year Input files to Zip file");
    FileSet data = archive::FirstYearDataFiles(s, sim.SimDir);
    if (!data.missing.empty()) {
      p.Error("File " + data.missing.front() +
              " does not exist.\r\nThe first-year data files "
              "must all be present to make this Zip archive.");
      return std::nullopt;
    }
    if (!AddInner(p, wait, scratch.dir, archive::kDataZip, data.files, true, items))
      return std::nullopt;
    if (include_model) {
      wait.Stage("Adding Model files to Zip file\r\n[This may take a while]");
      FileSet model = archive::ModelFiles(s);
      if (model.files.empty() || !model.missing.empty()) {
        p.Error("File " + (model.missing.empty() ? s.model.ModelFile : model.missing.front()) +
                " does not exist.\r\nThe model files must all be present to make this Zip "
                "archive.");
        return std::nullopt;
      }
      if (!AddInner(p, wait, scratch.dir, archive::kModelZip, model.files, true, items)) {
        return std::nullopt;
      }
    }
    Notices warnings;
    std::vector<std::string> tab;
    for (const archive::NamedFile& f : archive::TabEtcFiles(s, s.paths.temp_dir, warnings)) {
      if (SameText(FileNameOf(f.path), f.name)) {
        tab.push_back(f.path);
        continue;
      }
      // An extracted copy under its own name: stored under the model's.
      const std::string renamed = JoinPath(JoinPath(scratch.dir, "tabetc"), f.name);
      if (!ForceDirectories(DirOfFile(renamed))) return std::nullopt;
      if (Status c = CopyKeepingStamp(f.path, renamed, true); !c) {
        p.Error("Cannot copy " + f.path + "\r\n" + c.error());
        return std::nullopt;
      }
      tab.push_back(renamed);
    }
    ShowAll(p, warnings);
    if (!tab.empty() && !AddInner(p, wait, scratch.dir, archive::kTabEtcZip, tab, true, items)) {
      return std::nullopt;
    }
  }
  if (p.ProgressCancelled()) {
    p.Information("Creation of ZIP archive cancelled.");
    return std::nullopt;
  }
  if (!AddSimDetailsEntries(p, session, ctx, scratch.dir, items)) return std::nullopt;
  const std::string verify_dir = JoinPath(scratch.dir, "check");
  if (!ForceDirectories(verify_dir)) return std::nullopt;
  if (!WriteCheckedArchive(p, wait, *archive, items, verify_dir)) return std::nullopt;
  wait.Hide();
  p.Information("ZIP archive " + *archive + " created.");
  return *archive;
}

}  // namespace

std::uint64_t FileTimeOf(std::chrono::system_clock::time_point t) {
  const auto ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
  return UnixNanosTo100ns(ns / 1000000000, ns % 1000000000);
}

std::optional<std::string> SaveIngredientsCommand(Session& session, Prompter& prompter,
                                                  const ArchiveCommandContext& ctx,
                                                  bool include_model) {
  return SaveArchive(session, prompter, ctx, false, include_model, ArchiveRuns::kAll,
                     ArchiveKinds::kBoth);
}

std::optional<std::string> SaveClosureShocksCommand(Session& session, Prompter& prompter,
                                                    const ArchiveCommandContext& ctx,
                                                    ArchiveRuns runs, ArchiveKinds kinds) {
  return SaveArchive(session, prompter, ctx, true, false, runs, kinds);
}

std::optional<RestoreSummary> RestoreIngredientsCommand(Session& session, Prompter& p,
                                                        const ArchiveCommandContext& ctx,
                                                        archive::RestoreKind kind) {
  const bool ingredients = kind == archive::RestoreKind::kIngredients;
  auto archive = ChooseArchiveToRead(p, ctx, "ZIP File to Restore From ", ArchiveFolderOf(session));
  if (!archive) return std::nullopt;
  auto entries = archive::ListZip(*archive);
  if (!entries) {
    p.Error("Cannot list files contained in the zip file\r\n" + entries.error());
    return std::nullopt;
  }
  if (auto history = archive::ReadZipEntry(*archive, archive::kZipHistory); history && *history) {
    p.Information(Lines(SplitLines(**history)));
  }
  if (std::string missing = archive::MissingIngredient(*entries, !ingredients); !missing.empty()) {
    p.Error(UnableToExtract(*archive, missing));
    return std::nullopt;
  }
  if (ctx.directory.empty()) {
    p.Information(
        "Please specify the directory to restore the files to.\r\n\r\n*** Be careful not to "
        "overwrite existing files.***\r\n\r\nWe suggest you make a new directory or use an empty "
        "directory.");
  }
  auto dir = ChooseRestoreDir(p, session, ctx, *archive, "");
  if (!dir) return std::nullopt;
  const std::string layout =
      ingredients
          ? "Please note that:\r\n1. CMFBits files will be put into\r\n   " + *dir +
                "\r\n2. Model, Data and TabEtc,Extra (if present) files will be\r\n   put into "
                "subdirectories with these names.\r\n[Click on the \"Cancel\" button if you do not "
                "want to continue.]"
          : "Please note that:\r\nClosure/Shocks files will be put into \r\n  " + *dir +
                "\r\n[Click on the \"Cancel\" button if you do not want to continue.]";
  if (p.Confirm(layout, kOk | kCancel) != kOk) return std::nullopt;

  Wait wait{p};
  archive::RestoreRequest request;
  request.archive = *archive;
  request.dir = *dir;
  request.kind = kind;
  request.ask_overwrite = OverwriteQuestion(p, session);
  request.stage = [&wait](const std::string& text) { wait.Stage(text); };
  request.progress = wait.Progress();
  request.limits = ctx.limits;
  auto scratch_dir = MakeScratch(p, session, "restore");
  if (!scratch_dir) return std::nullopt;
  Scratch scratch{*scratch_dir};
  request.temp_dir = scratch.dir;
  const archive::RestoreOutcome outcome = archive::RestoreArchive(request);
  wait.Hide();
  ShowAll(p, outcome.notices);
  if (!ReportUnzip(p, outcome.kind, outcome.text)) return std::nullopt;
  if (ingredients && !outcome.history.empty()) {
    (void)WriteFileAtomically(JoinPath(*dir, archive::kZipHistory), outcome.history);
  }

  RestoreSummary summary{*archive, *dir, outcome.ds1, outcome.written, false};
  const bool no_rerun = session.settings.options.NoRerun;
  std::string done = ingredients
                         ? "Restoring from the ZIP archive into directory\r\n   " + *dir +
                               "\r\nhas been completed."
                         : "Restoring Closures, Shocks and constituents from the ZIP archive into "
                           "directory\r\n   " +
                               *dir + "\r\nhas been completed.";
  done += "\r\nThe restored application has Sim Names:\r\n" +
          Lines(archive::SimNameLines(outcome.sim, no_rerun)) + "\r\n";
  done += ingredients
              ? "Do you want to load these Simulation Details into " + Name() + " now?"
              : "Do you want to load the Closure/Shocks part of these Simulation Details into " +
                    Name() + " now?";
  done +=
      "\r\n[If so, the directory into which you have restored these files\r\n will become the "
      "Working Directory.]";
  if (p.Confirm(done, kYes | kNo, kHelpZipArchives) != kYes) return summary;

  Notices notices;
  SimDetailsContext sd{session.settings.paths.keep_dir, ctx.unattended};
  DeleteRunRecords(session);
  if (ingredients) {
    LoadChoice all;
    all.part = LoadPart::kAll;
    const Status loaded =
        LoadSimDetails(outcome.ds1, all, session.settings, session.sim, sd, notices);
    ShowAll(p, notices);
    if (!loaded) return summary;
    AddRecentFile(session.settings.recent_files, outcome.ds1);
    p.Information("The restored Simulation Details have been loaded.");
  } else {
    session.sim.SimDir = *dir;
    session.settings.paths.work_dir = *dir;
    std::array<bool, 5> columns{false, true, true, true, true};
    LoadColumns(session.sim, outcome.sim, columns, no_rerun, notices);
    ShowAll(p, notices);
    p.Information("The Closure/Shocks part of the restored Simulation Details have been loaded.");
  }
  summary.loaded = true;
  p.Information("The Working Directory is now\r\n    " + session.sim.SimDir);
  return summary;
}

std::optional<std::string> ZipResultsCommand(Session& session, Prompter& p,
                                             const ArchiveCommandContext& ctx, bool all) {
  const SessionSettings& s = session.settings;
  const TSimRecord& sim = session.sim;
  const bool no_rerun = s.options.NoRerun;
  archive::ResultsChoice choice = archive::AllResults();
  static_assert(static_cast<int>(kNumResultsToSave) == archive::kResultKinds);
  if (!all && ctx.ask_results) {
    auto chosen = ctx.ask_results(DefaultResultsToSave(), kHelpZipArchives);
    if (!chosen) return std::nullopt;
    for (std::size_t k = 0; k < choice.kinds.size(); ++k) choice.kinds[k] = (*chosen)[k];
  } else if (!all) {
    CheckListRequest kinds;
    kinds.caption = "Which Results to Save";
    kinds.items.assign(archive::ResultKindCaptions().begin(), archive::ResultKindCaptions().end());
    const auto defaults = archive::DefaultResultKinds();
    kinds.checked.assign(defaults.begin(), defaults.end());
    kinds.help_topic = kHelpZipArchives;
    auto ticked = p.CheckItems(kinds);
    if (!ticked) return std::nullopt;
    for (std::size_t k = 0; k < choice.kinds.size() && k < ticked->size(); ++k) {
      choice.kinds[k] = (*ticked)[k];
    }
  }
  if (!all) {
    CheckListRequest runs;
    runs.caption = "Which Results to Save";
    runs.label = "Results of which runs?";
    std::vector<int> run_numbers;
    for (int r = kBase; r <= kPolicy; ++r) {
      if (r == kRerun && no_rerun) continue;
      runs.items.push_back(RunWord(r));
      runs.checked.push_back(true);
      run_numbers.push_back(r);
    }
    auto chosen = p.CheckItems(runs);
    if (!chosen) return std::nullopt;
    for (std::size_t i = 0; i < run_numbers.size() && i < chosen->size(); ++i) {
      choice.runs[static_cast<std::size_t>(run_numbers[i])] = (*chosen)[i];
    }
    // The years of the individual results: the span from the first chosen to the last.
    ChoiceRequest years;
    years.caption = "Which Results to Save";
    years.label = "Results for which years?";
    years.multiple = true;
    years.help_topic = kHelpZipArchives;
    for (int k = 1; k <= sim.NumYears; ++k) {
      years.options.push_back(std::to_string(sim.Years[k]));
      years.initial.push_back(k - 1);
    }
    auto picked = p.Choose(years);
    if (!picked) return std::nullopt;
    if (picked->empty()) {
      p.Information("Are no results to save");
      return std::nullopt;
    }
    choice.first_period = *std::min_element(picked->begin(), picked->end()) + 1;
    choice.last_period = *std::max_element(picked->begin(), picked->end()) + 1;
  }
  const int policy_start = QuietPolicyStart(sim, s);
  FileSet files = archive::ResultsFiles(sim, s, policy_start, choice);
  if (files.files.empty() && files.missing.empty()) {
    p.Information("Are no results to save");
    return std::nullopt;
  }
  auto archive = ChooseArchiveToWrite(
      p, ctx, "Save Results Zip file", ArchiveFolderOf(session),
      archive::DefaultResultsName(sim, s.model.ModelName, no_rerun, all), kHelpZipArchives);
  if (!archive) return std::nullopt;
  if (!ForceDirectories(DirOfFile(*archive)) || !EnoughDiskSpace(p, *archive)) return std::nullopt;
  auto scratch_dir = MakeScratch(p, session, "hist");
  if (!scratch_dir) return std::nullopt;
  Scratch scratch{*scratch_dir};
  const std::string hist = archive::ResultsHistoryPath(scratch.dir);
  if (auto w = WriteTextLines(
          hist, archive::ResultsHistoryLines(ctx.now100ns, sim, no_rerun, policy_start, choice,
                                             files.missing.size()));
      !w) {
    p.Error(w.error());
    p.Error("Results Zip File not made because of the problem(s) reported earlier.");
    return std::nullopt;
  }
  std::vector<ZipItem> items;
  std::vector<std::string> stamped = files.files;
  for (const std::string& f : files.files) items.push_back({f, FileNameOf(f)});
  for (const std::string& f : archive::RunRecordCopies(sim, s)) {
    items.push_back({f, FileNameOf(f)});
    stamped.push_back(f);
  }
  items.push_back({hist, FileNameOf(hist)});
  Wait wait{p};
  wait.Stage("Adding Results files to Zip file\r\n[This may take a while]");
  const std::string partial = *archive + ".part";
  ZipResult made = archive::CreateZip(partial, items,
                                      {{archive::kFileTimesName, archive::FileTimesText(stamped)}},
                                      wait.Progress());
  wait.Hide();
  if (!made.ok()) {
    DeleteFileIfExists(partial);
    if (made.outcome == ZipOutcome::kCancelled) {
      p.Information("Creation of ZIP archive cancelled.");
    } else {
      p.Error(made.text);
      p.Error("Results Zip File not made because of the problem(s) reported earlier.");
    }
    return std::nullopt;
  }
  if (!files.missing.empty()) {
    std::string text = std::to_string(files.missing.size()) +
                       " files which you have selected to add to the Results Zip file are "
                       "missing.\r\n These files should all be in the Working Directory: " +
                       sim.SimDir + "\r\n";
    const std::size_t shown = std::min<std::size_t>(files.missing.size(), 10);
    text += shown < files.missing.size() ? "Some of these files are:" : "The missing files are:";
    for (std::size_t i = 0; i < shown; ++i) text += "\r\n   " + FileNameOf(files.missing[i]);
    text += "\r\nDo you want to keep the Results Zip file despite this?";
    if (p.Confirm(text, kYes | kNo) != kYes) {
      DeleteFileIfExists(partial);
      p.Information("Results Zip File not made because of the problem(s) reported earlier.");
      return std::nullopt;
    }
  }
  if (auto r = RenamePath(partial, *archive); !r) {
    DeleteFileIfExists(partial);
    p.Error(r.error());
    p.Error("Results Zip File not made because of the problem(s) reported earlier.");
    return std::nullopt;
  }
  p.Information("Created Results Zip file\r\n  " + *archive +
                "\r\nFile AAHIST in the ZIP describes files included.");
  return *archive;
}

std::optional<RestoreSummary> RestoreResultsCommand(Session& session, Prompter& p,
                                                    const ArchiveCommandContext& ctx) {
  auto archive =
      ChooseArchiveToRead(p, ctx, "Results Zip File to Unzip From ", ArchiveFolderOf(session));
  if (!archive) return std::nullopt;
  auto entries = archive::ListZip(*archive);
  if (!entries) {
    p.Error("Cannot list files contained in the zip file\r\n" + entries.error());
    return std::nullopt;
  }
  if (ctx.directory.empty()) {
    p.Information(
        "Please specify the directory to restore the results files to.\r\n\r\n*** Be careful "
        "not to overwrite existing files.***");
  }
  auto dir = ChooseRestoreDir(p, session, ctx, *archive, "results ");
  if (!dir) return std::nullopt;
  std::vector<std::string> records;
  for (const ZipEntry& e : *entries) {
    if (archive::IsRunRecordCopy(e.name)) records.push_back(e.name);
  }
  archive::RecordTreatment treatment = archive::RecordTreatment::kIgnore;
  if (records.empty()) {
    p.Information("There is no record of times and dates of runs in this Results Zip file.");
  } else {
    const Button b = p.Confirm(
        "This Results Zip file holds the record of times and dates of runs.\r\nIgnore: do not "
        "unzip the record.\r\nOK: unzip it unchanged.\r\nYes: unzip it with its file names "
        "changed for the directory\r\n   " +
            *dir + "\r\n",
        kIgnore | kOk | kYes, kHelpZipArchives);
    treatment = b == kYes  ? archive::RecordTreatment::kRewrite
                : b == kOk ? archive::RecordTreatment::kUnchanged
                           : archive::RecordTreatment::kIgnore;
  }
  archive::ExtractOptions options;
  options.skip = {archive::kFileTimesName};
  if (treatment == archive::RecordTreatment::kIgnore) {
    options.skip.insert(options.skip.end(), records.begin(), records.end());
  }
  options.ask_overwrite = OverwriteQuestion(p, session);
  options.limits = ctx.limits;
  Wait wait{p};
  options.progress = wait.Progress();
  wait.Stage("Unzipping Results files\r\n[This may take a while]");
  const archive::ExtractResult got = archive::ExtractZip(*archive, *dir, options);
  wait.Hide();
  if (!ReportUnzip(p, got.kind, got.text)) return std::nullopt;
  Notices notices;
  if (auto times = archive::ReadZipEntry(*archive, archive::kFileTimesName); times && *times) {
    archive::RestoreFileTimes(**times, got.written, notices);
  }
  if (treatment == archive::RecordTreatment::kRewrite) {
    for (const std::string& f : got.written) {
      if (!archive::IsRunRecordCopy(f)) continue;
      auto text = ReadWholeFile(f);
      if (!text) continue;
      if (auto w = WriteFileAtomically(f, archive::RelocatedRunRecord(*text, *dir)); !w) {
        notices.push_back(ErrorMessage(w.error()));
      }
    }
  }
  ShowAll(p, notices);
  p.Information("Restoring from the Results Zip file into directory\r\n   " + *dir +
                "\r\nhas been completed.");
  return RestoreSummary{*archive, *dir, "", got.written, false};
}

std::string ZipListingText(const std::vector<ZipEntry>& entries) {
  std::string text;
  for (const ZipEntry& e : entries) {
    if (SameText(e.name, archive::kFileTimesName)) continue;
    if (!text.empty()) text += "\r\n";
    text += UpperCase(e.name) + "    " + (e.time100ns ? records::StampDateText(e.time100ns) : "") +
            " Size " + std::to_string(e.size);
  }
  return text;
}

std::optional<std::vector<ZipEntry>> ListArchivePartCommand(Session& session, Prompter& p,
                                                            const ArchiveCommandContext& ctx,
                                                            ArchivePart part) {
  struct PartInfo {
    const char* shown;
    const char* entry;
  };
  static const PartInfo kParts[] = {{"First Year Data", archive::kDataZip},
                                    {"Model", archive::kModelZip},
                                    {"TabEtc", archive::kTabEtcZip},
                                    {"Extra", archive::kExtraZip},
                                    {"CMF/Shocks", archive::kCmfBitsZip}};
  const PartInfo& info = kParts[static_cast<int>(part)];
  const std::string title =
      part == ArchivePart::kCmf
          ? "Select ZIP Archive containing CMF/Shocks file "
          : std::string("Select ZIP Archive containing ") + info.shown + " files ";
  auto archive = ChooseArchiveToRead(p, ctx, title, ArchiveFolderOf(session));
  if (!archive) return std::nullopt;
  auto scratch_dir = MakeScratch(p, session, "listzip");
  if (!scratch_dir) return std::nullopt;
  Scratch scratch{*scratch_dir};
  auto entries = archive::ListZip(*archive);
  if (!entries) {
    p.Error("Unable to list file because on error while unzipping.\r\n" + entries.error());
    return std::nullopt;
  }
  if (!archive::HasEntry(*entries, info.entry)) {
    p.Information("Sorry. There is no file " + std::string(info.entry) + " in the ZIP archive.");
    return std::nullopt;
  }
  archive::ExtractOptions only;
  only.only = {info.entry};
  only.limits = ctx.limits;
  archive::ExtractResult got = archive::ExtractZip(*archive, scratch.dir, only);
  std::optional<std::vector<ZipEntry>> inner;
  if (got.ok() && !got.written.empty()) {
    if (auto listed = archive::ListZip(got.written.front())) inner = *listed;
  }
  if (!inner) {
    p.Error("Unable to list file because on error while unzipping.");
    return std::nullopt;
  }
  p.ShowTextWindow(
      {std::string(info.shown) + " files in Zip Archive", ZipListingText(*inner), 0, false});
  return inner;
}

std::optional<std::vector<ZipEntry>> ListZipCommand(Session& session, Prompter& p,
                                                    const ArchiveCommandContext& ctx) {
  auto archive = ChooseArchiveToRead(p, ctx, "Select ZIP file ", ArchiveFolderOf(session));
  if (!archive) return std::nullopt;
  auto entries = archive::ListZip(*archive);
  if (!entries) {
    p.Error("Cannot list files contained in the zip file\r\n" + entries.error());
    return std::nullopt;
  }
  p.ShowTextWindow(
      {"Files in Zip file " + FileNameOf(*archive), ZipListingText(*entries), 0, false});
  return *entries;
}

std::optional<std::string> ExtractArchiveTextCommand(Session& session, Prompter& p,
                                                     const ArchiveCommandContext& ctx,
                                                     ArchiveText which) {
  const char* entry = which == ArchiveText::kDescription ? archive::kAppDs0
                      : which == ArchiveText::kHistory   ? archive::kZipHistory
                                                         : archive::kResultsHistory;
  const char* absent = which == ArchiveText::kDescription
                           ? "Sorry, there is no Simulation Description saved in this ZIP archive."
                       : which == ArchiveText::kHistory
                           ? "Sorry, there is no History saved in this ZIP archive."
                           : "Sorry, there is no History saved in this Results Zip "
                             "archive.";
  auto archive = ChooseArchiveToRead(
      p, ctx,
      which == ArchiveText::kResultsHistory ? "Select Results Zip file " : "Select ZIP Archive ",
      ArchiveFolderOf(session));
  if (!archive) return std::nullopt;
  auto entries = archive::ListZip(*archive);
  if (!entries) {
    p.Error("Unable to list file because on error while unzipping.\r\n" + entries.error());
    return std::nullopt;
  }
  if (!archive::HasEntry(*entries, entry)) {
    p.Information(absent);
    return std::nullopt;
  }
  auto dir = MakeScratch(p, session, "zipview");
  if (!dir) return std::nullopt;
  archive::ExtractOptions only;
  only.only = {entry};
  only.limits = ctx.limits;
  archive::ExtractResult got = archive::ExtractZip(*archive, *dir, only);
  if (!got.ok() || got.written.empty()) {
    p.Error("Unable to list file because on error while unzipping.");
    return std::nullopt;
  }
  return got.written.front();
}

std::optional<std::string> ZipDirectoryCommand(Session& session, Prompter& p,
                                               const ArchiveCommandContext& ctx, bool keep_dir) {
  const SessionPaths& paths = session.settings.paths;
  const std::string dir = keep_dir ? paths.keep_dir : paths.temp_dir;
  if (dir.empty() || !DirectoryExists(dir)) {
    p.Error(keep_dir ? "Cannot locate the keep directory."
                     : "Cannot locate the temporary directory.");
    return std::nullopt;
  }
  auto archive = ChooseArchiveToWrite(
      p, ctx, keep_dir ? "Zip all files in Keep Directory" : "Zip all files in Temp Directory",
      ArchiveFolderOf(session), keep_dir ? "keepdir.zip" : "tempdir.zip", kHelpZipArchives);
  if (!archive) return std::nullopt;
  std::vector<ZipItem> items;
  for (const DirEntry& e : ListDirectory(dir).value_or(std::vector<DirEntry>{})) {
    const std::string path = JoinPath(dir, e.name);
    if (e.is_directory || IsSymlink(path) || path == *archive) continue;
    items.push_back({path, e.name});
  }
  std::sort(items.begin(), items.end(),
            [](const ZipItem& a, const ZipItem& b) { return a.stored_name < b.stored_name; });
  const std::string partial = *archive + ".part";
  Wait wait{p};
  wait.Stage("Adding files to Zip file");
  ZipResult made = archive::CreateZip(partial, items, {}, wait.Progress());
  wait.Hide();
  if (made.ok()) {
    if (auto r = RenamePath(partial, *archive); !r) made = {ZipOutcome::kFailed, r.error()};
  }
  if (!made.ok()) {
    DeleteFileIfExists(partial);
    if (made.outcome == ZipOutcome::kCancelled) {
      p.Information("Creation of ZIP archive cancelled.");
    } else {
      p.Error("There was an error creating the ZIP file.\r\nMore details:\r\n" + made.text);
    }
    return std::nullopt;
  }
  p.Information(std::string("All files in ") + (keep_dir ? "Keep" : "Temp") +
                " Dir\r\nput into Zip file\r\n" + *archive);
  return *archive;
}

std::optional<std::string> AddToArchiveCommand(Session& session, Prompter& p,
                                               const ArchiveCommandContext& ctx, bool model_files) {
  auto archive = ChooseArchiveToRead(p, ctx, "ZIP archive to add to ", ArchiveFolderOf(session));
  if (!archive) return std::nullopt;
  const SessionSettings& s = session.settings;
  FileSet files =
      model_files ? archive::ModelFiles(s) : archive::FirstYearDataFiles(s, session.sim.SimDir);
  if (!files.missing.empty() || files.files.empty()) {
    p.Error("File " + (files.missing.empty() ? std::string("(none)") : files.missing.front()) +
            " does not exist.");
    return std::nullopt;
  }
  auto scratch_dir = MakeScratch(p, session, "zipadd");
  if (!scratch_dir) return std::nullopt;
  Scratch scratch{*scratch_dir};
  std::vector<ZipItem> items;
  const char* name = model_files ? archive::kModelZip : archive::kDataZip;
  Wait wait{p};
  if (!AddInner(p, wait, scratch.dir, name, files.files, true, items)) return std::nullopt;
  ZipResult added = archive::AddToZip(*archive, items);
  if (!added.ok()) {
    p.Error("There was an error creating the ZIP file.\r\nMore details:\r\n" + added.text);
    return std::nullopt;
  }
  p.Information(std::string(model_files ? "Model" : "First Year Data") +
                " files added to ZIP archive\r\n" + *archive);
  return *archive;
}

}  // namespace yl
