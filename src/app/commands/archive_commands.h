#pragma once
// The commands of the Zip menu: ingredients, closure/shock and results archives, their
// restores, the listings and views of what an archive holds, and zipping a whole
// directory. Every question goes through the Prompter; the command line fills in the
// archive and the directory that a dialog would otherwise ask for.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/results_to_save.h"
#include "app/session.h"
#include "archive/ingredients.h"
#include "archive/results_archive.h"
#include "core/prompter.h"
#include "model/quillo_files.h"

namespace yl {

inline constexpr int kHelpSaveIngredients = 7129;
inline constexpr int kHelpClosureShocksZip = 7131;
inline constexpr int kHelpExtraFiles = 7092;
inline constexpr int kHelpZipArchives = 7135;

// A time in the units of the history lines and file stamps.
std::uint64_t FileTimeOf(std::chrono::system_clock::time_point t);

struct ArchiveCommandContext {
  std::uint64_t now100ns = 0;  // for the history lines
  std::string archive;         // the archive to write or read; "" asks
  std::string directory;       // the directory to restore into; "" asks
  bool unattended = false;     // no optional questions (the command line)
  archive::ExtractLimits limits;
  // The "Which Results to Save" dialog; unset: its check boxes as a plain list.
  AskResultsToSave ask_results;
  // Takes the TAB or STI file out of the model's auxiliary table file into the temporary
  // directory. True when that is over on return and the command may go on; false when it
  // runs in the background (the command is given again after it) or could not start.
  // Unset: files not at hand are only warned about.
  std::function<bool(QuilloFile what, const ModelState& model)> extract_quillo_file;
};

// "Save Ingredients as ZIP archive" (include_model) and "... Except Model Files ...".
// Returns the archive written.
std::optional<std::string> SaveIngredientsCommand(Session& session, Prompter& prompter,
                                                  const ArchiveCommandContext& ctx,
                                                  bool include_model);
// The nine "Save ... as Closure/Shocks Zip" items.
std::optional<std::string> SaveClosureShocksCommand(Session& session, Prompter& prompter,
                                                    const ArchiveCommandContext& ctx,
                                                    archive::ArchiveRuns runs,
                                                    archive::ArchiveKinds kinds);

struct RestoreSummary {
  std::string archive;
  std::string dir;
  std::string ds1;  // the Sim Details written into dir; "" for closure/shock restores
  std::vector<std::string> written;
  bool loaded = false;  // the user had them loaded
};
// "Restore Ingredients from ZIP archive" and the two closure/shock restores.
std::optional<RestoreSummary> RestoreIngredientsCommand(Session& session, Prompter& prompter,
                                                        const ArchiveCommandContext& ctx,
                                                        archive::RestoreKind kind);

// "Zip up All Results" (all) and "Zip up Selected Results".
std::optional<std::string> ZipResultsCommand(Session& session, Prompter& prompter,
                                             const ArchiveCommandContext& ctx, bool all);
// "Restore files from Results Zip".
std::optional<RestoreSummary> RestoreResultsCommand(Session& session, Prompter& prompter,
                                                    const ArchiveCommandContext& ctx);

// The parts of an ingredients archive the "List ..." items show.
enum class ArchivePart { kFirstYear, kModel, kTabEtc, kExtra, kCmf };
// Shows the entries of one inner archive and returns them.
std::optional<std::vector<archive::ZipEntry>> ListArchivePartCommand(
    Session& session, Prompter& prompter, const ArchiveCommandContext& ctx, ArchivePart part);
// "List files in ZIP file": any archive.
std::optional<std::vector<archive::ZipEntry>> ListZipCommand(Session& session, Prompter& prompter,
                                                             const ArchiveCommandContext& ctx);
// The listing as shown: one line per entry, size, date and name.
std::string ZipListingText(const std::vector<archive::ZipEntry>& entries);

enum class ArchiveText { kDescription, kHistory, kResultsHistory };
// Unpacks "app.ds0", "ziphist.txt" or "aahist" into the temporary directory and returns
// its path, for the editor.
std::optional<std::string> ExtractArchiveTextCommand(Session& session, Prompter& prompter,
                                                     const ArchiveCommandContext& ctx,
                                                     ArchiveText which);

// "Zip all files in Temp Directory" / "... Keep Directory".
std::optional<std::string> ZipDirectoryCommand(Session& session, Prompter& prompter,
                                               const ArchiveCommandContext& ctx, bool keep_dir);
// Developer mode: adds "data.zip" (or "model.zip") to an existing ingredients archive.
std::optional<std::string> AddToArchiveCommand(Session& session, Prompter& prompter,
                                               const ArchiveCommandContext& ctx, bool model_files);

}  // namespace yl
