#pragma once
// A scratch copy of the demo model of tests/data/model, and MIN lines with their fixed
// columns. Header-only: only *_test.cpp files are compiled into the test program.

#include <dirent.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "support/scratch_dir.h"

namespace yl::testing {

inline constexpr char kDemoStamp[] = "Thu Jan  4 10:11:12 2024";

// Copies every file of tests/data/model/{name} into dir.
inline void CopyModelFixture(const std::string& name, const std::string& dir) {
  std::string src = JoinPath(YL_TEST_DATA_DIR, "model/" + name);
  DIR* d = ::opendir(src.c_str());
  ASSERT_NE(d, nullptr) << src;
  while (dirent* e = ::readdir(d)) {
    std::string path = JoinPath(src, e->d_name);
    if (FileExists(path)) {
      ASSERT_TRUE(CopyIntoDirReplacing(path, dir)) << path;
    }
  }
  ::closedir(d);
}

inline std::string MinEntry(const std::string& name, const std::string& usage, char updated,
                            const std::string& type, const std::string& fixed = "") {
  std::string s = name;
  s.resize(20, ' ');
  s += "  " + usage;
  s.resize(29, ' ');
  s += updated;
  s += "  " + type;
  if (!fixed.empty()) {
    s.resize(37, ' ');
    s += fixed;
  }
  return s;
}

inline std::string JoinLines(const std::vector<std::string>& lines) {
  std::string t;
  for (const auto& l : lines) t += l + "\n";
  return t;
}

}  // namespace yl::testing
