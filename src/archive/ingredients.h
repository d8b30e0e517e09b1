#pragma once
// Ingredients archives: what goes into each inner archive, the history text, writing and
// verifying the outer archive, and restoring it into a fresh directory with the Sim
// Details rewritten for the new place. The questions around these steps belong to the
// commands; these return messages and never ask.

#include <chrono>
#include <string>
#include <vector>

#include "archive/zip_file.h"
#include "core/message.h"
#include "core/status.h"
#include "model/model_state.h"
#include "settings/options.h"
#include "sim/sim_record.h"

namespace yl::archive {

inline constexpr char kAppDs1[] = "app.ds1";
inline constexpr char kAppDs2[] = "app.ds2";
inline constexpr char kAppDs0[] = "app.ds0";
inline constexpr char kZipHistory[] = "ziphist.txt";
inline constexpr char kCmfBitsZip[] = "cmfbits.zip";
inline constexpr char kDataZip[] = "data.zip";
inline constexpr char kModelZip[] = "model.zip";
inline constexpr char kTabEtcZip[] = "tabetc.zip";
inline constexpr char kExtraZip[] = "extra.zip";

// Which runs and which kinds of file a closure/shocks archive holds.
enum class ArchiveRuns { kAll, kBase, kPolicy };
enum class ArchiveKinds { kBoth, kClosures, kShocks };

// The archive folder in the keep directory, and its "clos-sh" folder.
std::string ArchiveFolder(const std::string& keep_dir);
std::string ClosureShocksFolder(const std::string& keep_dir);
// "{model}-{run-set names}.zip".
std::string DefaultIngredientsName(const TSimRecord& sim, const std::string& model_name,
                                   bool no_rerun);
// "{model}-{names}-{all|base|pol}-{clsh|cl|sh}.zip".
std::string DefaultClosureShocksName(const TSimRecord& sim, const std::string& model_name,
                                     bool no_rerun, ArchiveRuns runs, ArchiveKinds kinds);
// "{model}-{names}-res1.zip", or "-someres1.zip" for selected results.
std::string DefaultResultsName(const TSimRecord& sim, const std::string& model_name, bool no_rerun,
                               bool all_results);

// The files of one inner archive; missing ones are named but not included.
struct FileSet {
  std::vector<std::string> files;    // full paths, each file name once
  std::vector<std::string> missing;  // full paths
};

// Closure and shock files of every year of the chosen runs (Common row included), the
// files they name and the CMFSTART files; the results mapping file goes with them.
FileSet ClosureShockFiles(const TSimRecord& sim, const SessionSettings& s, ArchiveRuns runs,
                          ArchiveKinds kinds);
// The first-year data files of the Model/Data page.
FileSet FirstYearDataFiles(const SessionSettings& s, const std::string& work_dir);
// The model program (or the interpreter's statement file) and the companion files beside
// it: auxiliary files, Model Information and Dynamic Information files.
FileSet ModelFiles(const SessionSettings& s);
// A file for an inner archive and the name it is stored under.
struct NamedFile {
  std::string path;
  std::string name;
};
// The TAB file, and the STI file when one was used: beside the model, or as copies
// extracted into temp_dir, stored under the names the model knows them by; warnings for
// the missing ones.
std::vector<NamedFile> TabEtcFiles(const SessionSettings& s, const std::string& temp_dir,
                                   Notices& warnings);

// The lines of "ziphist.txt": an earlier history first, then this archive's.
std::vector<std::string> ZipHistoryLines(const std::string& earlier, std::uint64_t now100ns,
                                         const TSimRecord& sim, bool no_rerun);
// "   Base: BS1" and so on, one line per run in use.
std::vector<std::string> SimNameLines(const TSimRecord& sim, bool no_rerun);

// An inner archive of files stored without paths; with_times adds "xxfltime.xxx".
ZipResult WriteInnerZip(const std::string& path, const std::vector<std::string>& files,
                        bool with_times, const ZipProgress& progress = {});

// Unpacks the archive into temp_dir's "Extract" folder: each entry must equal, byte for
// byte, the file it was made from, and each inner archive must unpack whole into
// "Extract2". Both folders are emptied afterwards.
Status VerifyArchive(const std::string& archive, const std::vector<ZipItem>& added,
                     const std::string& temp_dir);

// Why an archive cannot be restored as ingredients ("" when it can): the first of the
// required entries that is absent, "File APP.DS1 is not present in this zip file".
std::string MissingIngredient(const std::vector<ZipEntry>& entries, bool closure_shocks_only);
bool HasEntry(const std::vector<ZipEntry>& entries, const std::string& name);

enum class RestoreKind { kIngredients, kClosureShocks, kClosureShocksArchive };

struct RestoreRequest {
  std::string archive;
  std::string dir;       // the target
  std::string temp_dir;  // receives the outer entries first
  RestoreKind kind = RestoreKind::kIngredients;
  std::function<OverwriteAnswer(const std::string& path)> ask_overwrite;
  std::function<void(const std::string& text)> stage;  // the wait window's text
  ZipProgress progress;
  ExtractLimits limits;
};
struct RestoreOutcome {
  ExtractKind kind = ExtractKind::kDone;
  std::string text;
  std::vector<std::string> written;
  std::string ds1;      // the Sim Details written into dir ("" for closure/shock restores)
  TSimRecord sim;       // as the archive's "app.ds2" holds it, in dir
  std::string history;  // the archive's "ziphist.txt", "" when none
  Notices notices;      // time stamps that could not be reset, and the like
  bool ok() const { return kind == ExtractKind::kDone; }
};
// Unpacks the inner archives into their places ("model", "data", "tabetc", "extra" and
// dir itself), gives files their recorded times and, for ingredients, writes the Sim
// Details into dir with every file name rewritten for the new place.
RestoreOutcome RestoreArchive(const RestoreRequest& request);

// The "app.ds1" text with its file names moved into dir: the model and its information
// files to dir/model, the TAB file to dir/tabetc, first-year data to dir/data, the
// working directory to dir and the mapping file beside it.
std::string RelocatedSimDetails(const std::string& ds1_text, const std::string& dir);

}  // namespace yl::archive
