// The demo model's companion files, as the main program reads them.

#include <gtest/gtest.h>

#include "core/prompter.h"
#include "model/min_file.h"
#include "model/time_stamp.h"
#include "platform/paths.h"
#include "prog_support.h"

namespace yl::testing {
namespace {

TEST(DemoFilesTest, MinBelongsWithItsAuxiliaryTable) {
  for (auto [min, table] :
       {std::pair{"demomodel.min", "demomodel.axt"}, std::pair{"demokv.min", "demokv.kvt"}}) {
    SCOPED_TRACE(min);
    auto contents = ReadMinContents(BinPath(min), BinDir());
    ASSERT_TRUE(contents.has_value()) << contents.error();
    EXPECT_FALSE(MinEntriesRefusal(*contents).has_value());
    ASSERT_GE(contents->entries.size(), 4u);
    EXPECT_EQ(contents->entries[0].fields.name, "BASEDATA");
    EXPECT_TRUE(contents->entries[0].fields.is_input());
    EXPECT_TRUE(contents->entries[0].fields.updated);
    EXPECT_EQ(contents->entries[3].fields.usage, "out");
    EXPECT_EQ(contents->entries[3].fields.type, "har");
    ASSERT_TRUE(contents->release.has_value());
    auto same = MinAxtCompatible(BinPath(min), BinPath(table));
    ASSERT_TRUE(same.has_value()) << same.error();
    EXPECT_TRUE(*same);
  }
  // The table file carries the TAB file's text for the extraction tool.
  HarFile axt = ReadHarOrFail(BinPath("demomodel.axt"));
  EXPECT_EQ(Strings(axt, "TABN").front(), "demomodel.tab");
  EXPECT_GT(Strings(axt, "TABF").size(), 50u);
}

}  // namespace
}  // namespace yl::testing
