#include "platform/dir_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

TEST(ListDirectory, NamesEachEntryOnceAndTellsDirectoriesApart) {
  ScratchDir d;
  d.Write("plain.txt", "x");
  d.MakeDir("sub");
  std::filesystem::create_directory_symlink(d / "sub", d / "link-to-sub");
  auto entries = ListDirectory(d.path());
  ASSERT_TRUE(entries);
  std::map<std::string, bool> got;
  for (const DirEntry& e : *entries) got[e.name] = e.is_directory;
  // A link to a directory is not one: it is not entered or emptied as one.
  EXPECT_EQ(got, (std::map<std::string, bool>{
                     {"link-to-sub", false}, {"plain.txt", false}, {"sub", true}}));
  EXPECT_FALSE(ListDirectory(d / "missing"));
}

}  // namespace
}  // namespace yl
