#include "app/dialogs/file_list.h"

#include "platform/paths.h"

namespace yl {

FileListEditor::FileListEditor(const FileListRequest& request)
    : add_(request.add), files_(request.files) {
  if (add_.title.empty()) add_.title = kChooseSeveralFilesTitle;
  if (add_.filter.empty()) add_.filter = kCmfOrAnyFilter;
  add_.multiple = true;
  add_.save = false;
}

FileRequest FileListEditor::AddRequest() const { return add_; }

void FileListEditor::Add(const std::vector<std::string>& chosen) {
  for (const std::string& f : chosen) files_.push_back(f);
  if (!chosen.empty()) add_.start_dir = DirOfFile(chosen.back());
}

std::optional<std::string> FileListEditor::Delete(int selected) {
  if (selected < 0 || selected >= static_cast<int>(files_.size())) return kDeleteWhichItem;
  files_.erase(files_.begin() + selected);
  return std::nullopt;
}

}  // namespace yl
