#pragma once
// The change-directory dialog's texts and where its tree starts. There are no drives
// here: the tree is rooted at "/".

#include <string>

namespace yl {

inline constexpr char kChangeDirectoryCaption[] = "Change working directory";
inline constexpr char kChangeDirectoryDefaultLabel[] = "If you click Ok, this directory";
// The fixed labels, top to bottom, before the caller's label and "will be set to:".
inline constexpr const char* kChangeDirectoryHints[] = {"Double click", "desired directory", "on"};
inline constexpr char kChangeDirectoryWillBeSet[] = "will be set to:";

// The directory selected when the dialog opens: the one asked for when it exists, else
// the home folder.
std::string DirectoryToSelect(const std::string& requested, const std::string& home);

}  // namespace yl
