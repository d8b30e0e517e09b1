#include "app/dialogs/results_to_save.h"

namespace yl {

ResultsToSave DefaultResultsToSave() {
  ResultsToSave r{};
  for (int i = kSaveSolutionFiles; i <= kSavePolicyDeviations; ++i) r[i] = true;
  return r;
}

const std::vector<ResultsToSaveGroup>& ResultsToSaveGroups() {
  static const std::vector<ResultsToSaveGroup> groups = {
      {" Results for Individual Years ",
       {kSaveSolutionFiles, kSaveSlcFiles, kSaveUpdatedData, kSaveOtherOutputs}},
      {" Spreadsheets and Results RSL files Covering All Years ",
       {kSaveYonyCumSpreadsheets, kSavePolicyDeviations}},
      {" Other Outputs  ", {kSaveCommandFiles, kSaveSolSliFiles, kSaveSeqFiles}},
  };
  return groups;
}

const char* ResultsToSaveText(ResultsToSaveItem item) {
  switch (item) {
    case kSaveSolutionFiles:
      return "Solution Files ?";
    case kSaveSlcFiles:
      return "SLC Files (needed by Deepro) ?";
    case kSaveUpdatedData:
      return "Updated Data Files ?";
    case kSaveOtherOutputs:
      return "Other Output Data Files (produced via WRITE statements) ?";
    case kSaveYonyCumSpreadsheets:
      return "Year-on-Year and Cumulative Speadsheets and Cumulative Results RSL files ?";
    case kSavePolicyDeviations:
      return "Policy Deviation Spreadsheets and Cumulative Differences RSL file?";
    case kSaveCommandFiles:
      return "Command Files for Simulations ?";
    case kSaveSolSliFiles:
      return "SOL and SLI files (speed up Tabulon) ?";
    case kSaveSeqFiles:
      return "SEQ files (used by Tabulon for graphs) ?";
    case kNumResultsToSave:
      break;
  }
  return "";
}

}  // namespace yl
