#pragma once
// "&Main Quillo file" and "Quillo STI (&Condensation) file" of the View menu: the model's
// TAB file (or the STI file its compiler ran with) shown in the editor, taken out of the
// model's auxiliary table file by Flatix when it is not beside the model.

#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"
#include "core/status.h"
#include "model/model_state.h"
#include "model/quillo_files.h"

namespace yl {

inline constexpr char kFlatixStartError[] = "Error starting Flatix job !";
inline constexpr char kFlatixGuardRefused[] = "Cannot start TAB or TABSTI job";
inline constexpr char kFlatixLaunchError[] = "Could not launch windows Flatix job !";

struct QuilloExtraction {
  QuilloFile what = QuilloFile::kTab;
  std::string target;  // in the temporary directory
  std::string sti;     // "ext{tab|sti}.sti" in the temporary directory
  std::vector<std::string> argv;
  std::string directory;
};

// Deletes an old target and writes the stored-input file; the error is the text to show
// after kFlatixStartError.
Result<QuilloExtraction> PrepareQuilloExtraction(QuilloFile what, const ModelState& model,
                                                 const std::string& temp_dir,
                                                 const std::string& flatix);

// What the wait window says while it runs.
std::string QuilloExtractionWaitText(QuilloFile what);

// After the job: says what was found and, with `then`, what comes of it; the file, or
// nullopt.
inline constexpr char kWillShowExtracted[] = "Will show this.";
std::optional<std::string> JudgeQuilloExtraction(const QuilloExtraction& job, Prompter& prompter,
                                                 const std::string& then = kWillShowExtracted);

}  // namespace yl
