#pragma once
// The Model/Data page: choosing the model, and keeping its first-year data list
// complete, saved and loaded.

#include <functional>
#include <string>
#include <vector>

#include "core/prompter.h"
#include "model/model_state.h"

namespace yl {

// The open-file request of "Change &Model". Linux model programs often have no
// extension, so an all-files choice follows the specified filter.
FileRequest SelectModelRequest(const ModelState& model, const std::string& default_dir,
                               bool interpreter_found);

// Lets the user choose the file of a line again; true when the line now names a file.
using ChooseFirstYearFile = std::function<bool(std::string& line)>;

// False when some line has no file. A line whose file has gone becomes "{prefix} ?? ;"
// and the user is asked to choose the file again.
bool CheckFirstYearFiles(std::vector<std::string>& lines, const std::string& working_dir,
                         Prompter& prompter, const ChooseFirstYearFile& choose);

FileRequest SaveMdfRequest(const ModelState& model);
FileRequest LoadMdfRequest(const ModelState& model);

// "Save &As ...": refuses an incomplete list with "Please specify names for all files
// first."; otherwise asks for the file and writes the lines. False when nothing was saved.
bool SaveFirstYearListAs(std::vector<std::string>& lines, const ModelState& model,
                         const std::string& working_dir, Prompter& prompter);

}  // namespace yl
