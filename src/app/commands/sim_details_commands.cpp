#include "app/commands/sim_details_commands.h"

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "settings/sim_store.h"
#include "sim/sim_naming.h"

namespace yl {

namespace {

constexpr char kDs1Filter[] = "Sim Details files (*.DS1)|*.DS1";
constexpr char kDs1OpenFilter[] = "Sim Details files (*.DS1)|*.ds1";

bool HasDs1Ext(const std::string& path) { return SameText(FileExtOf(path), ".ds1"); }

void SayDs1Rule(Prompter& prompter) {
  prompter.Information("Sim Details file name must end with \".ds1\".\r\nPlease choose it again.",
                       kHelpSimDetailsName);
}

}  // namespace

std::optional<std::string> ChooseSimDetailsFile(const std::string& title,
                                                const std::string& start_dir,
                                                const std::string& missing_tail,
                                                Prompter& prompter) {
  for (;;) {
    auto files = prompter.ChooseFiles(
        FileRequest{title, kDs1OpenFilter, start_dir, "", false, false, kHelpSimDetailsName});
    if (files.empty() || files.front().empty()) return std::nullopt;
    const std::string& path = files.front();
    if (!HasDs1Ext(path)) {
      SayDs1Rule(prompter);
      continue;
    }
    std::string ds2 = SimStoreFile(path);
    if (!FileExists(ds2)) {
      prompter.Error("Associated file " + ds2 + " does not exist.\r\n" + missing_tail);
      return std::nullopt;
    }
    return path;
  }
}

std::optional<std::string> SaveSimDetails(const SessionSettings& s, const TSimRecord& sim,
                                          const SimDetailsContext& ctx, Prompter& prompter) {
  const bool no_rerun = s.options.NoRerun;
  std::string dflt = DefaultSimDetailsFile(sim, s.model.ModelName, no_rerun);
  std::string path;
  if (ctx.unattended && !dflt.empty()) {
    path = dflt;
  } else {
    for (;;) {
      auto files = prompter.ChooseFiles(FileRequest{"Save Sim Details", kDs1Filter, sim.SimDir,
                                                    dflt.empty() ? "*" : FileNameOf(dflt), true,
                                                    false, kHelpSimDetailsName});
      if (files.empty() || files.front().empty()) return std::nullopt;
      path = ResolveAgainst(sim.SimDir, files.front());
      if (!HasDs1Ext(path)) {
        SayDs1Rule(prompter);
        continue;
      }
      if (FileExists(path) && !ctx.unattended &&
          prompter.Confirm("Overwrite existing Sim Details in file\r\n" + path, kYes | kNo) !=
              kYes) {
        continue;
      }
      break;
    }
  }
  Notices notices;
  const bool written = static_cast<bool>(WriteDynamicSimInfo(path, true, 0, s, sim, ctx, notices));
  ShowAll(prompter, notices);
  if (!written) return std::nullopt;
  return path;
}

std::optional<std::string> ChooseSimDetailsToLoad(const std::string& start_dir,
                                                  Prompter& prompter) {
  return ChooseSimDetailsFile("Sim Details Files", start_dir, "No action taken.", prompter);
}

Result<std::string> PrepareSimDescription(const std::string& ds1_path, const TSimRecord& sim,
                                          bool no_rerun, std::chrono::system_clock::time_point now,
                                          Prompter& prompter) {
  std::string ds0 = SimDescriptionFile(ds1_path);
  if (FileExists(ds0)) {
    prompter.Information(
        "The current Simulation Description for these Simulation Details\r\n is in the "
        "file\r\n   " +
        ds0 + "\r\nPlease edit this file and then save the changes.");
    return ds0;
  }
  auto w = WriteTextLines(ds0, SimDescriptionLines(sim, no_rerun, now));
  if (!w) return Fail(w.error());
  prompter.Information(
      "At present there is no Simulation Description for these Simulation Details.\r\nPlease "
      "edit the file\r\n   " +
      ds0 + "\r\n and then save the changes.");
  return ds0;
}

}  // namespace yl
