#include "platform/name_quoting.h"

#include <gtest/gtest.h>

#include "support/hostile_names.h"

namespace yl {
namespace {

using testing::HostileNames;

TEST(NameQuoting, RefusesWhatNoQuotingKeeps) {
  for (const auto& h : HostileNames()) {
    EXPECT_EQ(UnwritableNamePart("/work/" + h.name + "/x.har"),
              h.part == "a trailing blank" ? "" : h.part)
        << h.label;
    EXPECT_EQ(UnwritableNamePart(h.name), h.part) << h.label;
    EXPECT_EQ(UnquotableNamePart(h.name), h.bare_part) << h.label;
  }
  // Readers trim lines and values, so a name cannot begin with blanks either.
  EXPECT_EQ(UnwritableNamePart(" /a"), "a leading blank");
  EXPECT_EQ(UnwritableNamePart("\t/a"), "a leading blank");
  EXPECT_EQ(UnwritableNamePart("/a\t"), "a trailing blank");
  EXPECT_EQ(UnwritableNamePart(""), "");
  EXPECT_EQ(UnwritableNamePart("/plain/name.har"), "");
}

TEST(NameQuoting, QuotesWhatWouldSplitAWord) {
  for (const auto& h : HostileNames()) {
    if (!h.Writable()) continue;
    const bool splits = h.name.find_first_of(" \t=;()") != std::string::npos;
    EXPECT_EQ(QuoteIfNeeded(h.name), splits ? "\"" + h.name + "\"" : h.name) << h.label;
  }
  // Already quoted names are not quoted twice.
  EXPECT_EQ(QuoteIfNeeded("\"/w/a b\""), "\"/w/a b\"");
}

TEST(NameQuoting, VisibleNames) {
  EXPECT_EQ(VisibleName("a\nb\tc\rd"), "a\\nb\\tc\\rd");
  EXPECT_EQ(VisibleName(std::string("a\x01") + "b"), "a\\x01b");
  EXPECT_EQ(VisibleName("a b"), "a b");
}

}  // namespace
}  // namespace yl
