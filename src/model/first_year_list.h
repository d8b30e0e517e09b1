#pragma once
// The first-year data list of the Model/Data page: one line per input logical file,
// "File {name} = {file} ; ! {description}", with "??" for a file not known yet.

#include <optional>
#include <string>
#include <vector>

#include "core/status.h"
#include "model/model_state.h"
#include "sim/sim_record.h"

namespace yl {

struct FirstYearLine {
  std::string prefix;  // the part up to and including "="
  std::string name;    // the logical name
  std::string file;    // unquoted; "??" when unknown, "" when the line holds none
};

// nullopt for a line that is not "file {name} = ...".
std::optional<FirstYearLine> ParseFirstYearLine(const std::string& line);
// Whether the line is the one for logical file `name` (case and blanks ignored).
bool FirstYearLineIsFor(const std::string& line, const std::string& name);
// A file name resolved against the working directory.
std::string FirstYearFilePath(const std::string& file, const std::string& working_dir);

// One line per input MIN entry (special files aside), keeping the file of the matching
// saved line when that file still exists, else "??".
std::vector<std::string> BuildFirstYearList(const TSimRecord& rec,
                                            const std::vector<std::string>& saved,
                                            const std::string& working_dir);

// The line with another file ("??" for none), keeping its logical name and description.
std::string WithFirstYearFile(const std::string& line, const std::string& file);
// The description after "!", trimmed; "" when the line has none.
std::string FirstYearLineDescription(const std::string& line);
// The lines of a loaded ".mdf" list applied to the current one: a logical file that the
// loaded list names with an existing file takes it; the others keep their files.
std::vector<std::string> ApplyMdfLines(const std::vector<std::string>& current,
                                       const std::vector<std::string>& loaded,
                                       const std::string& working_dir);

enum class FirstYearFileState { kPresent, kUnnamed, kGone };
struct FirstYearFileCheck {
  FirstYearFileState state = FirstYearFileState::kPresent;
  std::string file;          // the file that has gone
  std::string logical_name;  // its logical name as messages show it
};
// A line that names no logical file counts as present. A line whose file has gone
// becomes "{prefix} ?? ;".
FirstYearFileCheck CheckFirstYearLine(std::string& line, const std::string& working_dir);
// Checks every line; false when some line has no file, gone ones included.
bool FirstYearFilesComplete(std::vector<std::string>& lines, const std::string& working_dir);

// The name proposed when saving: "{model}.MDF", or "*.MDF" when the model directory
// already holds that file.
std::string ProposedMdfName(const ModelState& model);
Status WriteMdfFile(const std::string& path, const std::vector<std::string>& lines);
// The lines of a ".mdf" file, blank lines dropped.
Result<std::vector<std::string>> ReadMdfFile(const std::string& path);
std::vector<std::string> MdfLines(std::vector<std::string> lines);

}  // namespace yl
