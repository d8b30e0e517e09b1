#pragma once
// The file list dialog ("&Add", "&Delete", "&Finished", "&Cancel") without its window:
// the extra files of an archive are gathered with it.

#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"

namespace yl {

inline constexpr char kChooseSeveralFilesTitle[] =
    "Choose one or more Files (Hold down Control to select multiple files)";
inline constexpr char kCmfOrAnyFilter[] = "CMF Files (*.cmf)|*.cmf|All Files (*.*)|*.*";
inline constexpr char kDeleteWhichItem[] = "You must first click on the item you wish to delete.";

class FileListEditor {
 public:
  // request.add.start_dir is the folder "&Add" opens first.
  explicit FileListEditor(const FileListRequest& request);

  // The chooser of "&Add": several files, from the folder of the last file added.
  FileRequest AddRequest() const;
  void Add(const std::vector<std::string>& chosen);
  // "&Delete" of line `selected` (-1: none): what to tell when nothing is selected.
  std::optional<std::string> Delete(int selected);

  const std::vector<std::string>& files() const { return files_; }

 private:
  FileRequest add_;
  std::vector<std::string> files_;
};

}  // namespace yl
