// The Zip menu's items: each runs its command from app/commands/archive_commands.h.

#include <chrono>

#include "app/commands/archive_commands.h"
#include "app/window/window_commands.h"
#include "settings/recent_files.h"

namespace yl {

void WindowCommands::RegisterZip() {
  using archive::ArchiveKinds;
  using archive::ArchiveRuns;
  auto context = [this] {
    ArchiveCommandContext ctx;
    ctx.now100ns = FileTimeOf(std::chrono::system_clock::now());
    ctx.ask_results = hooks_.ask_results_to_save;
    ctx.extract_quillo_file = [this](QuilloFile what, const ModelState& model) {
      prompter_.Information(
          std::string(what == QuilloFile::kTab ? "The TAB file" : "The Quillo STI file") +
          " is not beside the model, so it will first be extracted from\r\n" +
          AuxTableFileOf(model) + "\r\nWhen that has finished, please give this command again.");
      app_.background().StartQuilloExtraction(
          what, model, nullptr, "Give the command again to put it into the ZIP archive.");
      if (hooks_.refresh) hooks_.refresh();
      return false;
    };
    return ctx;
  };
  const std::string zip = "Zip > ";
  Add(zip + "Help about Zip menu", [this] { ShowHelp(kHelpZipMenu); });
  Add(zip + "Save Ingredients as ZIP archive",
      [this, context] { SaveIngredientsCommand(app_.session(), prompter_, context(), true); });
  Add(zip + "Save Ingredients, Except Model Files, as ZIP archive",
      [this, context] { SaveIngredientsCommand(app_.session(), prompter_, context(), false); });
  const std::pair<const char*, ArchiveKinds> kinds[] = {
      {"Save just Closure/Shocks files as Closure/Shocks ZIP", ArchiveKinds::kBoth},
      {"Save Just Closure Files as Closure/Shocks Zip", ArchiveKinds::kClosures},
      {"Save Just Shocks Files as Closure/Shocks Zip", ArchiveKinds::kShocks}};
  const std::pair<const char*, ArchiveRuns> runs[] = {{"All (Base and Policy)", ArchiveRuns::kAll},
                                                      {"Base only", ArchiveRuns::kBase},
                                                      {"Policy only", ArchiveRuns::kPolicy}};
  for (const auto& [kind_item, kind] : kinds) {
    for (const auto& [run_item, run] : runs) {
      Add(zip + kind_item + " > " + run_item, [this, context, kind, run] {
        SaveClosureShocksCommand(app_.session(), prompter_, context(), run, kind);
      });
    }
  }
  auto restore = [this, context](archive::RestoreKind kind) {
    return [this, context, kind] {
      if (auto r = RestoreIngredientsCommand(app_.session(), prompter_, context(), kind);
          r && r->loaded && !r->ds1.empty()) {
        AddRecentFile(r->ds1);
      }
    };
  };
  Add(zip + "Restore Ingredients from ZIP archive", restore(archive::RestoreKind::kIngredients));
  Add(zip + "Restore Closure/Shocks files from ZIP archive",
      restore(archive::RestoreKind::kClosureShocks));
  Add(zip + "Restore Closure/Shocks files from Closure/Shocks ZIP",
      restore(archive::RestoreKind::kClosureShocksArchive));
  const std::pair<const char*, ArchivePart> parts[] = {
      {"List Closure/Shocks files in ZIP archive", ArchivePart::kCmf},
      {"List First Year Data Files in ZIP archive", ArchivePart::kFirstYear},
      {"List Model files in ZIP archive", ArchivePart::kModel},
      {"List TabEtc files in ZIP archive", ArchivePart::kTabEtc},
      {"List Extra files in ZIP archive", ArchivePart::kExtra}};
  for (const auto& [item, part] : parts) {
    Add(zip + item, [this, context, part] {
      ListArchivePartCommand(app_.session(), prompter_, context(), part);
    });
  }
  auto view = [this, context](ArchiveText which) {
    return [this, context, which] {
      if (auto path = ExtractArchiveTextCommand(app_.session(), prompter_, context(), which)) {
        if (auto opened = OpenInEditor(*path); !opened) prompter_.Error(opened.error());
      }
    };
  };
  Add(zip + "View ZIP archive History", view(ArchiveText::kHistory));
  Add(zip + "View Simulation Description in ZIP archive", view(ArchiveText::kDescription));
  Add(zip + "View History of Results Zip file", view(ArchiveText::kResultsHistory));
  Add(zip + "Zip up All Results",
      [this, context] { ZipResultsCommand(app_.session(), prompter_, context(), true); });
  Add(zip + "Zip up Selected Results",
      [this, context] { ZipResultsCommand(app_.session(), prompter_, context(), false); });
  Add(zip + "Restore files from Results Zip",
      [this, context] { RestoreResultsCommand(app_.session(), prompter_, context()); });
  Add(zip + "List files in ZIP file",
      [this, context] { ListZipCommand(app_.session(), prompter_, context()); });
  Add(zip + "Add First Year Data files to ZIP archive",
      [this, context] { AddToArchiveCommand(app_.session(), prompter_, context(), false); });
  Add(zip + "Add Model files to ZIP archive",
      [this, context] { AddToArchiveCommand(app_.session(), prompter_, context(), true); });
  Add(zip + "Zip all files in Temp Directory",
      [this, context] { ZipDirectoryCommand(app_.session(), prompter_, context(), false); });
  Add(zip + "Zip all files in Keep Directory",
      [this, context] { ZipDirectoryCommand(app_.session(), prompter_, context(), true); });
}

}  // namespace yl
