#include "archive/ingredients.h"

#include <algorithm>
#include <set>

#include "archive/file_times.h"
#include "cmf/cmf_util_cells.h"
#include "cmf/readcmf.h"
#include "core/text_util.h"
#include "env/ini_file.h"
#include "model/first_year_list.h"
#include "model/model_state.h"
#include "model/quillo_files.h"
#include "platform/dir_tree.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "records/file_stamp.h"
#include "settings/sim_store.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl::archive {

namespace {

constexpr char kEnv[] = "Environment";
constexpr char kInputFiles[] = "Input Files";

// Adds a file once by name (names compare ignoring case, as they are stored without paths).
class Collector {
 public:
  void Add(const std::string& path) {
    if (path.empty()) return;
    if (!names_.insert(LowerCase(FileNameOf(path))).second) return;
    if (auto found = ResolvePathNoCase(path)) {
      set_.files.push_back(*found);
    } else {
      set_.missing.push_back(path);
    }
  }
  FileSet Take() { return std::move(set_); }

 private:
  std::set<std::string> names_;
  FileSet set_;
};

std::string RunsWord(ArchiveRuns runs) {
  return runs == ArchiveRuns::kAll ? "all" : runs == ArchiveRuns::kBase ? "base" : "pol";
}
std::string KindsSuffix(ArchiveKinds kinds) {
  return kinds == ArchiveKinds::kBoth ? "clsh" : kinds == ArchiveKinds::kClosures ? "cl" : "sh";
}

std::string Stem(const TSimRecord& sim, const std::string& model_name, bool no_rerun) {
  return model_name + "-" + RunSetName(sim, kPolicy, no_rerun);
}

bool IsZipName(const std::string& name) { return EndsWithNoCase(name, ".zip"); }

// A directory emptied and made afresh.
Status FreshDir(const std::string& dir) {
  if (auto s = RemoveTree(dir); !s) return s;
  if (!ForceDirectories(dir)) return Fail("Cannot create directory " + dir);
  return Ok();
}

}  // namespace

std::string ArchiveFolder(const std::string& keep_dir) { return JoinPath(keep_dir, "archive"); }
std::string ClosureShocksFolder(const std::string& keep_dir) {
  return JoinPath(ArchiveFolder(keep_dir), "clos-sh");
}

std::string DefaultIngredientsName(const TSimRecord& sim, const std::string& model_name,
                                   bool no_rerun) {
  return Stem(sim, model_name, no_rerun) + ".zip";
}

std::string DefaultClosureShocksName(const TSimRecord& sim, const std::string& model_name,
                                     bool no_rerun, ArchiveRuns runs, ArchiveKinds kinds) {
  return Stem(sim, model_name, no_rerun) + "-" + RunsWord(runs) + "-" + KindsSuffix(kinds) + ".zip";
}

std::string DefaultResultsName(const TSimRecord& sim, const std::string& model_name, bool no_rerun,
                               bool all_results) {
  return Stem(sim, model_name, no_rerun) + (all_results ? "-res1.zip" : "-someres1.zip");
}

FileSet ClosureShockFiles(const TSimRecord& sim, const SessionSettings& s, ArchiveRuns runs,
                          ArchiveKinds kinds) {
  const bool no_rerun = s.options.NoRerun;
  std::vector<int> columns;
  const bool base = runs != ArchiveRuns::kPolicy;
  const bool policy = runs != ArchiveRuns::kBase;
  const bool closures = kinds != ArchiveKinds::kShocks;
  const bool shocks = kinds != ArchiveKinds::kClosures;
  if (base && closures) columns.push_back(kBaseClosure);
  if (base && shocks) columns.push_back(kBaseShocks);
  if (policy && closures) columns.push_back(kPolicyClosure);
  if (policy && shocks) columns.push_back(kPolicyShocks);
  std::vector<int> run_list;
  if (base) run_list.push_back(kBase);
  if (policy && !no_rerun) run_list.push_back(kRerun);
  if (policy) run_list.push_back(kPolicy);

  Collector c;
  auto with_constituents = [&](const std::string& path) {
    c.Add(path);
    std::vector<std::string> names;
    if (!FileExists(path) || !AddCmfConstituents(DirOfFile(path), FileNameOf(path), names)) return;
    for (std::size_t i = 1; i < names.size(); ++i) c.Add(ResolveAgainst(sim.SimDir, names[i]));
  };
  for (int column : columns) {
    for (int row = kCommonRow; row <= sim.NumYears; ++row) {
      if (!CellNamesFile(sim.CMFCells(row, column))) continue;
      with_constituents(CellFilePath(sim, row, column));
    }
  }
  for (int r : run_list) {
    const std::string path = CellFilePath(sim, kCmfStartRow, CMFStartColumn(r));
    // A CMFSTART file is optional: only one that is there is an ingredient.
    if (!path.empty() && ResolvePathNoCase(path)) with_constituents(path);
  }
  // The mapping file decides which results the spreadsheets show.
  if (!s.options.ResultsMapFile.empty())
    c.Add(ResolveAgainst(sim.SimDir, s.options.ResultsMapFile));
  return c.Take();
}

FileSet FirstYearDataFiles(const SessionSettings& s, const std::string& work_dir) {
  Collector c;
  for (const std::string& line : s.first_year_files) {
    auto parsed = ParseFirstYearLine(line);
    if (!parsed || parsed->file.empty() || parsed->file == "??") continue;
    c.Add(FirstYearFilePath(parsed->file, work_dir));
  }
  return c.Take();
}

FileSet ModelFiles(const SessionSettings& s) {
  Collector c;
  const std::string& model = s.model.ModelFile;
  if (model.empty()) return c.Take();
  c.Add(model);
  const bool kvs = IsKvsModel(model);
  for (const char* ext :
       kvs ? std::vector<const char*>{".kvt"} : std::vector<const char*>{".axs", ".axt"}) {
    c.Add(CompanionPath(model, ext));
  }
  // Without them the restored model cannot be loaded again.
  c.Add(s.min_din.MinPath);
  if (s.min_din.DinExists) c.Add(s.min_din.DinPath);
  return c.Take();
}

std::vector<NamedFile> TabEtcFiles(const SessionSettings& s, const std::string& temp_dir,
                                   Notices& warnings) {
  using State = QuilloFileLookup::State;
  const ModelState m = WithQuilloNames(s.model, s.min_din.MinPath);
  std::vector<NamedFile> files;
  const QuilloFileLookup tab = LocateQuilloFile(m, QuilloFile::kTab, temp_dir);
  // A model whose MIN names no TAB file and whose auxiliary files hold none has none to
  // miss.
  if (tab.state == State::kFound) {
    files.push_back({tab.path, tab.name});
  } else if (!m.TabFileName.empty()) {
    warnings.push_back(MakeMessage(
        MessageKind::kWarning,
        "Warning. TAB file not found so cannot include it in the TABETC part of the ZIP "
        "archive."));
  }
  const QuilloFileLookup sti = LocateQuilloFile(m, QuilloFile::kSti, temp_dir);
  if (sti.state == State::kFound) {
    files.push_back({sti.path, sti.name});
  } else if (sti.state != State::kNotUsed) {
    warnings.push_back(MakeMessage(
        MessageKind::kWarning,
        "Warning. A Quillo STI file was used but could not find this file,\r\nso cannot "
        "include it in the TABETC part of the ZIP archive."));
  }
  return files;
}

std::vector<std::string> SimNameLines(const TSimRecord& sim, bool no_rerun) {
  std::vector<std::string> lines;
  for (int r = kBase; r <= kPolicy; ++r) {
    if (r == kRerun && no_rerun) continue;
    lines.push_back("   " + RunWord(r) + ": " + sim.SimNames[r]);
  }
  return lines;
}

std::vector<std::string> ZipHistoryLines(const std::string& earlier, std::uint64_t now100ns,
                                         const TSimRecord& sim, bool no_rerun) {
  std::vector<std::string> lines = SplitLines(earlier);
  while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
  if (lines.empty()) lines.push_back("History of this ZIP Archive:");
  lines.push_back("This ZIP Archive was created on " + records::StampDateText(now100ns) +
                  " when the Working Directory was:");
  lines.push_back("   " + sim.SimDir);
  lines.push_back("The Sim Names were:");
  for (std::string& l : SimNameLines(sim, no_rerun)) lines.push_back(std::move(l));
  return lines;
}

ZipResult WriteInnerZip(const std::string& path, const std::vector<std::string>& files,
                        bool with_times, const ZipProgress& progress) {
  std::vector<ZipItem> items;
  for (const std::string& f : files) items.push_back({f, FileNameOf(f)});
  std::vector<ZipBytesItem> texts;
  if (with_times) texts.push_back({kFileTimesName, FileTimesText(files)});
  DeleteFileIfExists(path);
  return CreateZip(path, items, texts, progress);
}

Status VerifyArchive(const std::string& archive, const std::vector<ZipItem>& added,
                     const std::string& temp_dir) {
  const std::string extract = JoinPath(temp_dir, "Extract");
  const std::string extract2 = JoinPath(temp_dir, "Extract2");
  struct Emptied {
    std::vector<std::string> dirs;
    ~Emptied() {
      for (const std::string& d : dirs) (void)RemoveTree(d);
    }
  } emptied{{extract, extract2}};
  if (auto s = FreshDir(extract); !s) return s;
  ExtractResult outer = ExtractZip(archive, extract);
  if (!outer.ok()) return Fail(outer.text);
  for (const ZipItem& item : added) {
    const std::string got = JoinPath(extract, item.stored_name);
    if (!FilesEqual(got, item.source)) {
      return Fail("The file " + item.stored_name + " unzipped from " + archive +
                  " differs from the one added.");
    }
    if (!IsZipName(item.stored_name)) continue;
    if (auto s = FreshDir(extract2); !s) return s;
    ExtractResult inner = ExtractZip(got, extract2);
    if (!inner.ok()) return Fail(inner.text);
  }
  return Ok();
}

bool HasEntry(const std::vector<ZipEntry>& entries, const std::string& name) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const ZipEntry& e) { return SameText(e.name, name); });
}

std::string MissingIngredient(const std::vector<ZipEntry>& entries, bool closure_shocks_only) {
  const std::vector<std::string> all = {kAppDs1, kAppDs2, kModelZip, kDataZip, kCmfBitsZip};
  const std::vector<std::string> cmf = {kAppDs1, kAppDs2, kCmfBitsZip};
  for (const std::string& name : closure_shocks_only ? cmf : all) {
    if (!HasEntry(entries, name))
      return "File " + UpperCase(name) + " is not present in this zip file";
  }
  return "";
}

std::string RelocatedSimDetails(const std::string& ds1_text, const std::string& dir) {
  IniFile ini = IniFile::Parse(ds1_text);
  const std::string model_dir = JoinPath(dir, "model");
  auto move = [&](const std::string& key, const std::string& to) {
    const std::string value = Trim(ini.ReadString(kEnv, key, ""));
    if (value.empty()) return;
    ini.Set(kEnv, key, JoinPath(to, FileNameOf(value)));
  };
  move("Model", model_dir);
  move("Model Info File", model_dir);
  move("Dynamic Info File", model_dir);
  move("Quillo File", JoinPath(dir, "tabetc"));
  move("Results Map File", dir);
  if (ini.HasKey(kEnv, "Sim Directory")) ini.Set(kEnv, "Sim Directory", dir);
  const std::string data_dir = JoinPath(dir, "data");
  for (const std::string& key : ini.Keys(kInputFiles)) {
    const std::string line = ini.ReadString(kInputFiles, key, "");
    auto parsed = ParseFirstYearLine(line);
    if (!parsed || parsed->file.empty() || parsed->file == "??") continue;
    ini.Set(kInputFiles, key,
            WithFirstYearFile(line, JoinPath(data_dir, FileNameOf(parsed->file))));
  }
  return ini.Text();
}

namespace {

struct InnerPlace {
  const char* entry;
  const char* folder;  // "" for dir itself
  const char* stage;
};

constexpr InnerPlace kPlaces[] = {
    {kModelZip, "model", "Unzipping Model files\r\n[This may take a while]"},
    {kDataZip, "data", "Unzipping First Year Data"},
    {kTabEtcZip, "tabetc", "Unzipping Tab and/or Quillo STI files"},
    {kExtraZip, "extra", "Unzipping Extra files"},
    {kCmfBitsZip, "", "Unzipping CMF/Shocks"},
};

RestoreOutcome Stopped(ExtractKind kind, std::string text) {
  RestoreOutcome o;
  o.kind = kind;
  o.text = std::move(text);
  return o;
}

}  // namespace

RestoreOutcome RestoreArchive(const RestoreRequest& r) {
  auto stage = [&](const std::string& text) {
    if (r.stage) r.stage(text);
  };
  const std::string unzip_dir = JoinPath(r.temp_dir, "unzipped");
  struct Emptied {
    std::string dir;
    ~Emptied() { (void)RemoveTree(dir); }
  } emptied{unzip_dir};
  if (auto s = FreshDir(unzip_dir); !s) return Stopped(ExtractKind::kFailed, s.error());

  stage("Unzipping Zip files in Temporary Dir\r\n[This may take a while]");
  ExtractOptions outer_options;
  outer_options.limits = r.limits;
  outer_options.progress = r.progress;
  outer_options.only = {kAppDs1, kAppDs2, kAppDs0, kZipHistory, kCmfBitsZip};
  if (r.kind == RestoreKind::kIngredients) {
    for (const char* e : {kModelZip, kDataZip, kTabEtcZip, kExtraZip})
      outer_options.only.push_back(e);
  }
  ExtractResult outer = ExtractZip(r.archive, unzip_dir, outer_options);
  if (!outer.ok()) return Stopped(outer.kind, outer.text);

  RestoreOutcome out;
  auto in_unzip = [&](const std::string& name) -> std::optional<std::string> {
    return FindFileNoCase(unzip_dir, name);
  };
  // The Sim Details are read before anything is placed: an archive whose "app.ds2" is
  // bad restores nothing.
  const auto ds1 = in_unzip(kAppDs1);
  const auto ds2 = in_unzip(kAppDs2);
  if (!ds1 || !ds2) return Stopped(ExtractKind::kFailed, "Restoring unsuccessful.");
  auto ds1_text = ReadWholeFile(*ds1);
  if (!ds1_text) return Stopped(ExtractKind::kFailed, ds1_text.error());
  auto stored = ReadSimStore(*ds2, r.dir);
  if (!stored) return Stopped(ExtractKind::kFailed, stored.error());
  if (auto h = in_unzip(kZipHistory)) out.history = ReadWholeFile(*h).value_or("");

  // Every inner archive is unpacked into one staging folder inside the target, and only
  // then is the whole set moved into place.
  if (!ForceDirectories(r.dir)) {
    return Stopped(ExtractKind::kFailed, "Cannot create directory " + r.dir);
  }
  auto staging = MakeStagingDirectory(r.dir, ".yl-restore-");
  if (!staging) return Stopped(ExtractKind::kFailed, staging.error());
  struct StagingGone {
    std::string dir;
    ~StagingGone() { (void)RemoveTree(dir); }
  } staging_gone{*staging};
  std::vector<PlacedFile> files;
  std::vector<std::string> dirs;
  for (const InnerPlace& place : kPlaces) {
    if (r.kind != RestoreKind::kIngredients && !SameText(place.entry, kCmfBitsZip)) continue;
    const auto path = in_unzip(place.entry);
    if (!path) continue;
    stage(place.stage);
    const std::string folder = place.folder;
    const std::string to = folder.empty() ? JoinPath(*staging, "top") : JoinPath(*staging, folder);
    ExtractOptions options;
    options.skip = {kFileTimesName};
    options.limits = r.limits;
    options.progress = r.progress;
    ExtractResult got = ExtractZip(*path, to, options);
    if (!got.ok()) return Stopped(got.kind, got.text);
    // Renaming into place keeps the times given here.
    auto times = ReadZipEntry(*path, kFileTimesName);
    if (times && *times) RestoreFileTimes(**times, got.written, out.notices);
    if (!folder.empty()) dirs.push_back(folder);
    for (const std::string& f : got.written) {
      std::string rel = f.substr(to.size() + 1);
      files.push_back({f, folder.empty() ? rel : folder + "/" + rel});
    }
  }
  out.sim = **stored;
  out.sim.SimDir = r.dir;
  // The Sim Details that name the restored files go into place with them, under the
  // simulation's own Sim Details name.
  if (r.kind == RestoreKind::kIngredients) {
    const IniFile ini = IniFile::Parse(*ds1_text);
    const std::string model_name = Trim(ini.ReadString(kEnv, "Model Name", ""));
    const bool no_rerun = LowerCase(ini.ReadString(kEnv, "Rerun FC with Dev", "yes")) == "no";
    const std::string target =
        DefaultSimDetailsFile(out.sim, model_name.empty() ? "app" : model_name, no_rerun);
    const std::string details = JoinPath(*staging, "details");
    if (!ForceDirectories(details)) {
      return Stopped(ExtractKind::kFailed, "Cannot create directory " + details);
    }
    const std::string staged = JoinPath(details, FileNameOf(target));
    if (auto w = WriteFileAtomically(staged, RelocatedSimDetails(*ds1_text, r.dir)); !w) {
      return Stopped(ExtractKind::kFailed, w.error());
    }
    files.push_back({staged, FileNameOf(target)});
    std::vector<std::pair<std::string, std::string>> companions = {{*ds2, SimStoreFile(target)}};
    if (auto ds0 = in_unzip(kAppDs0)) companions.emplace_back(*ds0, SimDescriptionFile(target));
    for (const auto& [from, to] : companions) {
      const std::string copy = JoinPath(details, FileNameOf(to));
      if (auto c = CopyKeepingStamp(from, copy, true); !c) {
        return Stopped(ExtractKind::kFailed, c.error());
      }
      files.push_back({copy, FileNameOf(to)});
    }
    out.ds1 = target;
  }

  ExtractResult placed = PlaceFiles(r.dir, files, dirs, r.ask_overwrite, *staging);
  if (!placed.ok()) return Stopped(placed.kind, placed.text);
  out.written = placed.written;
  // A time reset that failed names the staged file; the user knows it by its place.
  for (Message& m : out.notices) {
    for (const PlacedFile& f : files) {
      const std::size_t at = m.text.find(f.staged);
      if (at != std::string::npos) m.text.replace(at, f.staged.size(), JoinPath(r.dir, f.rel));
    }
  }
  return out;
}

}  // namespace yl::archive
