#pragma once
// "Which Results to Save": nine check boxes in three groups, for zipping selected results.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace yl {

enum ResultsToSaveItem : int {
  kSaveSolutionFiles,
  kSaveSlcFiles,
  kSaveUpdatedData,
  kSaveOtherOutputs,
  kSaveYonyCumSpreadsheets,
  kSavePolicyDeviations,
  kSaveCommandFiles,
  kSaveSolSliFiles,
  kSaveSeqFiles,
  kNumResultsToSave
};

// The nine answers by ResultsToSaveItem.
using ResultsToSave = std::array<bool, kNumResultsToSave>;

inline constexpr char kResultsToSaveCaption[] = "Which Results to Save";

struct ResultsToSaveGroup {
  std::string caption;
  std::vector<ResultsToSaveItem> items;
};

ResultsToSave DefaultResultsToSave();
// The groups from the top, each with its items in order.
const std::vector<ResultsToSaveGroup>& ResultsToSaveGroups();
const char* ResultsToSaveText(ResultsToSaveItem item);

// Shows the dialog opened with `initial`; nullopt on Cancel.
using AskResultsToSave =
    std::function<std::optional<ResultsToSave>(const ResultsToSave& initial, int help_topic)>;

}  // namespace yl
