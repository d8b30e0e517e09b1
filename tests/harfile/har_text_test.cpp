#include "harfile/har_text.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>

#include "platform/paths.h"
#include "support/comma_locale.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

const char* kText =
    "# first-year data\n"
    "variant fujitsu\n"
    "\n"
    "header BAS1\n"
    "description Basic flows\n"
    "coefficient V1BAS\n"
    "set COM agr man\n"
    "set REG size 3\n"
    "element SRC dom 1\n"
    "values\n"
    "  1 2.5\n"
    "  -3 4e2   2*0\n"
    "end\n"
    "header NAME\n"
    "type 1c\n"
    "strings 20\n"
    "  indented string\n"
    "second\n"
    "end\n"
    "header MATX\n"
    "type 2I\n"
    "dims 2 2\n"
    "values\n"
    "1 2 3 4\n"
    "end\n"
    "header ZERO\n"
    "dims 4 5\n";

TEST(ParseHarText, BuildsEveryKindOfHeader) {
  auto f = ParseHarText(kText);
  ASSERT_TRUE(f) << f.error();
  EXPECT_TRUE(f->fujitsu);
  ASSERT_EQ(f->headers.size(), 4u);
  const HarHeader* b = f->Find("BAS1");
  EXPECT_EQ(b->description, "Basic flows");
  EXPECT_EQ(b->sets.coeff_name, "V1BAS");
  EXPECT_EQ(b->NDim, 3);
  EXPECT_EQ(b->sizes, (std::array<std::int32_t, 7>{2, 3, 1, 1, 1, 1, 1}));
  EXPECT_EQ(b->sets.RDelst[0], 'k');
  EXPECT_EQ(b->sets.RDelst[1], 'u');
  EXPECT_EQ(b->sets.RDelst[2], 'e');
  EXPECT_EQ(b->sets.eltnam[2], "dom");
  EXPECT_EQ(std::vector<float>(b->values.values().begin(), b->values.values().end()),
            (std::vector<float>{1, 2.5, -3, 400, 0, 0}));
  const HarHeader* n = f->Find("NAME");
  EXPECT_EQ(n->type, "1C");
  EXPECT_EQ(n->string_length, 20);
  EXPECT_EQ(n->strings, (std::vector<std::string>{"  indented string", "second"}));
  EXPECT_EQ(f->Find("MATX")->ints, (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(f->Find("ZERO")->element_count, 20);
  EXPECT_EQ(f->Find("ZERO")->values[19], 0.0f);
}

// A line of control blanks only (found by fuzzing: it read a word that was not there)
// counts as blank, wherever it stands.
TEST(ParseHarText, LinesOfControlBlanksAreBlank) {
  for (const char* blank : {"\v", "\f", " \v\f ", "\v\t"}) {
    std::string text = std::string(blank) + "\nheader A\n" + blank + "\ndims 2\nvalues\n" + blank +
                       "\n1 2\n" + blank + "\nend\n" + blank + "\n";
    auto f = ParseHarText(text);
    ASSERT_TRUE(f) << f.error();
    ASSERT_EQ(f->headers.size(), 1u);
    EXPECT_EQ(f->Find("A")->values[1], 2.0f);
  }
}

TEST(ParseHarText, ErrorsNameTheLine) {
  struct Case {
    std::string text;
    std::string error;
  };
  std::vector<Case> cases = {
      {"description x\n", "line 1: \"description\" outside a header"},
      {"header TOOLONG\n", "line 1: header takes a name of up to 4 characters"},
      {"header A\nfrobnicate\n", "line 2: unknown keyword \"frobnicate\""},
      {"header A\ndims 2\nvalues\n1 x\nend\n", "line 4: not a number: x"},
      {"header A\ndims 2\nvalues\n1 2 3\nend\n", "line 1: header A: 3 values given, 2 expected"},
      {"header A\ndims 2\nvalues\n1\n", "line 4: missing \"end\""},
      {"header A\ntype 3X\n", "line 1: header A: unknown type 3X (RE, 1C or 2I)"},
      {"header A\ndims 2\nheader a\ndims 3\n", "Header \"A\" appears twice, at positions 1 and 2"},
      {"header A-B\ndims 2\n",
       "Header no 1, \"A-B\" is illegal: \r\nHeader must only contain letters A-Z or digits 0-9"},
      {"header A\ndims 20000 20000\n",
       "line 1: header A: Array size (20000*20000) too large: max is 268435455 elements "
       "[CreateUnLabelledRE]"},
      {"header A\nset S a b\ndims 2\n",
       "line 1: header A: give either set lines or dims, not both"},
      {"header A\ntype 1C\nstrings 3\nabcd\nend\n",
       "line 1: header A: string longer than 3 characters: abcd"},
      {"header A\ntype 2I\ndims 2 2\nvalues\n1.5 2 3 4\nend\n",
       "line 1: header A: 2I values must be integers"},
  };
  for (const Case& c : cases) {
    auto f = ParseHarText(c.text);
    ASSERT_FALSE(f) << c.text;
    EXPECT_EQ(f.error(), c.error) << c.text;
  }
}

using HarTextUnderCommaLocale = testing::CommaLocaleTest;

TEST_F(HarTextUnderCommaLocale, ReadsPointDecimalsAndRefusesCommas) {
  auto f = ParseHarText(kText);
  ASSERT_TRUE(f) << f.error();
  const HarHeader* b = f->Find("BAS1");
  EXPECT_EQ(std::vector<float>(b->values.values().begin(), b->values.values().end()),
            (std::vector<float>{1, 2.5, -3, 400, 0, 0}));
  auto comma = ParseHarText("header A\ndims 2\nvalues\n1 3,5\nend\n");
  ASSERT_FALSE(comma);
  EXPECT_EQ(comma.error(), "line 4: not a number: 3,5");
}

// --- The command-line tool ---------------------------------------------------------------

struct ToolRun {
  int status = -1;
  std::string out;
};

ToolRun Tool(const std::string& args) {
  std::string cmd = ShellQuote(std::string(YL_BIN_DIR) + "/yearloom-har") + " " + args + " 2>&1";
  ToolRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

class HarTool : public testing::IsolatedEnvTest {};

TEST_F(HarTool, BuildsListsAndPrints) {
  std::string txt = scratch.Write("in put.txt", kText);
  std::string har = scratch / "out $file.har";
  ToolRun b = Tool("build " + ShellQuote(txt) + " " + ShellQuote(har));
  ASSERT_EQ(b.status, 0) << b.out;
  ToolRun l = Tool("list " + ShellQuote(har));
  ASSERT_EQ(l.status, 0) << l.out;
  EXPECT_NE(l.out.find("BAS1  RE  FULL  2*3*1         Basic flows\n"), std::string::npos) << l.out;
  EXPECT_NE(l.out.find("NAME  1C  FULL  2*20"), std::string::npos) << l.out;
  EXPECT_NE(l.out.find("MATX  2I  FULL  2*2"), std::string::npos) << l.out;
  EXPECT_EQ(l.out.substr(0, 4), "XXCD");
  ToolRun v = Tool("values " + ShellQuote(har) + " bas1");
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out, "1\n2.5\n-3\n400\n0\n0\n");
  EXPECT_EQ(Tool("values " + ShellQuote(har) + " NAME").out, "  indented string\nsecond\n");
  EXPECT_EQ(Tool("values " + ShellQuote(har) + " MATX").out, "1\n2\n3\n4\n");
}

TEST_F(HarTool, RealsPrintWithEnoughDigitsToRoundTrip) {
  std::string txt = scratch.Write("r.txt", "header R\ndims 2\nvalues\n0.1 3.14159274\nend\n");
  std::string har = scratch / "r.har";
  ASSERT_EQ(Tool("build " + ShellQuote(txt) + " " + ShellQuote(har)).status, 0);
  EXPECT_EQ(Tool("values " + ShellQuote(har) + " R").out, "0.100000001\n3.14159274\n");
}

TEST_F(HarTool, ErrorsGoToStderrWithStatusOne) {
  std::string bad = scratch.Write("bad.txt", "header A\nfrobnicate\n");
  ToolRun r = Tool("build " + ShellQuote(bad) + " " + ShellQuote(scratch / "x.har"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("line 2: unknown keyword"), std::string::npos) << r.out;
  ToolRun m = Tool("list " + ShellQuote(scratch / "missing.har"));
  EXPECT_EQ(m.status, 1);
  EXPECT_NE(m.out.find("No such file:"), std::string::npos);
  EXPECT_EQ(Tool("frob").status, 1);
  ToolRun h = Tool("--help");
  EXPECT_EQ(h.status, 0);
  EXPECT_NE(h.out.find("yearloom-har list FILE"), std::string::npos);
  std::string txt = scratch.Write("ok.txt", "header A\ndims 1\n");
  std::string har = scratch / "ok.har";
  ASSERT_EQ(Tool("build " + ShellQuote(txt) + " " + ShellQuote(har)).status, 0);
  ToolRun none = Tool("values " + ShellQuote(har) + " ZZZ");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.out.find("no header ZZZ"), std::string::npos);
}

}  // namespace
}  // namespace yl
