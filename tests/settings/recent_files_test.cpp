#include "settings/recent_files.h"

#include <gtest/gtest.h>

#include <set>

namespace yl {
namespace {

std::vector<std::string> Numbered(int n) {
  std::vector<std::string> list;
  for (int i = 1; i <= n; ++i) list.push_back("/w/sim" + std::to_string(i) + ".ds1");
  return list;
}

TEST(RecentFiles, AddingMovesAnEntryToTheTopIgnoringCase) {
  std::vector<std::string> list = {"/w/a.ds1", "/w/B.ds1", "/w/c.ds1"};
  AddRecentFile(list, "/w/b.DS1");
  EXPECT_EQ(list, (std::vector<std::string>{"/w/b.DS1", "/w/a.ds1", "/w/c.ds1"}));
  AddRecentFile(list, "/w/d.ds1");
  EXPECT_EQ(list.front(), "/w/d.ds1");
  EXPECT_EQ(list.size(), 4u);
}

TEST(RecentFiles, FifteenIsTheLimitAndTheOldestDropsOff) {
  std::vector<std::string> list = Numbered(15);
  AddRecentFile(list, "/w/new.ds1");
  ASSERT_EQ(list.size(), 15u);
  EXPECT_EQ(list.front(), "/w/new.ds1");
  EXPECT_EQ(list.back(), "/w/sim14.ds1");
}

TEST(RecentFiles, ReadingTakesExistingFilesOnceAndWritingNumbersWithoutGaps) {
  IniFile ini = IniFile::Parse(
      "[MRUFiles]\nMRU1=/w/a.ds1\nMRU2=/w/gone.ds1\nMRU3=/w/A.DS1\nMRU4=/w/c.ds1\nMRU16=/w/"
      "x.ds1\n");
  const std::set<std::string> existing = {"/w/a.ds1", "/w/A.DS1", "/w/c.ds1", "/w/x.ds1"};
  auto exists = [&](const std::string& p) { return existing.contains(p); };
  const std::vector<std::string> list = ReadRecentFiles(ini, exists);
  EXPECT_EQ(list, (std::vector<std::string>{"/w/a.ds1", "/w/c.ds1"}));

  IniFile out;
  WriteRecentFiles(out, {"/w/gone.ds1", "/w/c.ds1", "/w/a.ds1"}, exists);
  EXPECT_EQ(out.Keys(kRecentFilesSection), (std::vector<std::string>{"MRU1", "MRU2"}));
  EXPECT_EQ(out.ReadString(kRecentFilesSection, "MRU1", ""), "/w/c.ds1");
  EXPECT_EQ(out.ReadString(kRecentFilesSection, "MRU2", ""), "/w/a.ds1");
}

}  // namespace
}  // namespace yl
