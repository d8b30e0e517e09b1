#pragma once
// The entries of one directory, without recursion.

#include <optional>
#include <string>
#include <vector>

namespace yl {

struct DirEntry {
  std::string name;
  bool is_directory = false;  // a link to a directory does not count
};

// Every entry but "." and "..", in the order the system gives them; an entry that
// vanishes while it is looked at is left out. nullopt when dir cannot be read.
std::optional<std::vector<DirEntry>> ListDirectory(const std::string& dir);

}  // namespace yl
