#pragma once
// "Edit Dynamic Info File": shows or creates the model's DIN and opens it in the editor.
// The edited file takes effect the next time the model is loaded.

#include <functional>
#include <string>

#include "core/prompter.h"
#include "core/status.h"

namespace yl {

using OpenInEditor = std::function<Status(const std::string& path)>;

// Returns the DIN opened, or a failure (the user declined, or creating or opening failed);
// a creation or editor failure is shown as an error.
Result<std::string> EditDinFile(const std::string& model_path, Prompter& prompter,
                                const OpenInEditor& open_in_editor, int help_topic);

}  // namespace yl
