#include "platform/paths.h"

#include <gtest/gtest.h>

namespace yl {
namespace {

struct JoinCase {
  const char* dir;
  const char* name;
  const char* joined;
};

TEST(Paths, JoinUsesExactlyOneSeparator) {
  for (const auto& c :
       {JoinCase{"/a/b", "c.txt", "/a/b/c.txt"}, JoinCase{"/a/b/", "c", "/a/b/c"},
        JoinCase{"/a/b//", "/c", "/a/b/c"}, JoinCase{"/", "c", "/c"}, JoinCase{"", "c", "c"}}) {
    EXPECT_EQ(JoinPath(c.dir, c.name), c.joined) << c.dir << " + " << c.name;
  }
}

TEST(Paths, PartsOfAPath) {
  EXPECT_EQ(DirOfFile("/w/sim/base.cmf"), "/w/sim");
  EXPECT_EQ(DirOfFile("/base.cmf"), "/");
  EXPECT_EQ(DirOfFile("base.cmf"), "");
  EXPECT_EQ(FileNameOf("/w/sim/base.cmf"), "base.cmf");
  EXPECT_EQ(RemoveTrailingSep("/w/sim/"), "/w/sim");
  EXPECT_EQ(RemoveTrailingSep("/"), "/");
  EXPECT_EQ(FileExtOf("/w/a.b/base"), "");
  EXPECT_EQ(FileExtOf("/w/base.Top"), ".Top");
  EXPECT_EQ(ChangeFileExt("/w/base.cmf", ".rpt"), "/w/base.rpt");
  EXPECT_EQ(ChangeFileExt("/w/model", ".min"), "/w/model.min");
}

TEST(Paths, ResolveAgainstADirectory) {
  EXPECT_EQ(ResolveAgainst("/w/sim", "/abs/x.har"), "/abs/x.har");
  EXPECT_EQ(ResolveAgainst("/w/sim", "x.har"), "/w/sim/x.har");
  EXPECT_EQ(ResolveAgainst("/w/sim", "../data/x.har"), "/w/data/x.har");
  EXPECT_EQ(ResolveAgainst("/w/sim", "./x.har"), "/w/sim/x.har");
}

TEST(Paths, QuotingForCommandFilesAndShells) {
  EXPECT_EQ(Unquote("\"a b\""), "a b");
  EXPECT_EQ(Unquote("\""), "\"");
  EXPECT_EQ(ShellQuote("/w/it's $HOME \"x\""), "'/w/it'\\''s $HOME \"x\"'");
}

}  // namespace
}  // namespace yl
