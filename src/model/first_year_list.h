#pragma once
// The first-year data list of the Model/Data page: one line per input logical file,
// "File {name} = {file} ; ! {description}", with "??" for a file not known yet.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"
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

// Lets the user choose the file of a line again; true when the line now names a file.
using ChooseFirstYearFile = std::function<bool(std::string& line)>;

// False when some line has no file. A line whose file has gone becomes
// "{prefix} ?? ;" and, unless quiet, the user is asked to choose the file again.
bool CheckFirstYearFiles(std::vector<std::string>& lines, const std::string& working_dir,
                         bool quiet, Prompter& prompter, const ChooseFirstYearFile& choose);

// The name proposed when saving: "{model}.MDF", or "*.MDF" when the model directory
// already holds that file.
std::string ProposedMdfName(const ModelState& model);
FileRequest SaveMdfRequest(const ModelState& model);
FileRequest LoadMdfRequest(const ModelState& model);

// "Save &As ...": refuses an incomplete list with "Please specify names for all files
// first."; otherwise asks for the file and writes the lines. False when nothing was saved.
bool SaveFirstYearListAs(std::vector<std::string>& lines, const ModelState& model,
                         const std::string& working_dir, Prompter& prompter);
Status WriteMdfFile(const std::string& path, const std::vector<std::string>& lines);
// The lines of a ".mdf" file, blank lines dropped.
Result<std::vector<std::string>> ReadMdfFile(const std::string& path);
std::vector<std::string> MdfLines(std::vector<std::string> lines);

}  // namespace yl
