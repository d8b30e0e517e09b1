#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmf/cmf_tokens.h"

namespace yl {
namespace {

struct CommentCase {
  const char* line;
  const char* cleaned;
};

TEST(CmfTokens, CommentsAndHashSpansAreRemoved) {
  for (const auto& c : {
           CommentCase{"exogenous x ! the rest", "exogenous x "},
           CommentCase{"exo !! endo ! comment", "exo  endo "}, CommentCase{"a!!b", "ab"},
           CommentCase{"a!!!b", "a!b"},  // the character after the pair never starts one
           CommentCase{"a!!!!b", "a!"}, CommentCase{"a !!", "a "}, CommentCase{"!", ""},
           CommentCase{"shock #note# x ;", "shock  x ;"}, CommentCase{"a #1# b #2# c", "a  b  c"},
           CommentCase{"a # stray", "a "}, CommentCase{"a ! #b# c", "a "},
           CommentCase{"a #!# b", "a "},  // the "!" goes first, then the "#" has no partner
       }) {
    EXPECT_EQ(RemoveCmfComments(c.line), c.cleaned) << c.line;
  }
}

struct WordsCase {
  const char* line;
  std::vector<std::string> words;
};

TEST(CmfTokens, WordsOfALine) {
  for (const auto& c : {
           WordsCase{"exogenous  x\ty", {"exogenous", "x", "y"}},
           WordsCase{"file base=base.har;", {"file", "base", "=", "base.har", ";"}},
           WordsCase{"xfile(new,old) f", {"xfile", "(", "new,old", ")", "f"}},
           WordsCase{"file x = \"my data.har\" ;", {"file", "x", "=", "\"my data.har\"", ";"}},
           WordsCase{"file x = \"no end here", {"file", "x", "=", "\"no end here"}},
           WordsCase{"a\"b c", {"a\"b", "c"}},
           WordsCase{"\"a\"b", {"\"a\"", "b"}},
           WordsCase{"   ", {}},
           WordsCase{"==;;", {"=", "=", ";", ";"}},
       }) {
    EXPECT_EQ(CmfWordsOfLine(c.line), c.words) << c.line;
  }
}

TEST(CmfTokens, WordPositionsAreReported) {
  std::string line = "  shock x";
  std::size_t pos = 0, start = 0;
  std::string w;
  ASSERT_TRUE(NextCmfWord(line, pos, w, start));
  EXPECT_EQ(w, "shock");
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(pos, 7u);
  ASSERT_TRUE(NextCmfWord(line, pos, w, start));
  EXPECT_EQ(w, "x");
  EXPECT_FALSE(NextCmfWord(line, pos, w, start));
}

struct KeywordCase {
  const char* word;
  const char* keyword;
};

TEST(CmfTokens, KeywordsFollowTheirFirstLetters) {
  for (const auto& c : {
           KeywordCase{"Shock", "shock"},
           KeywordCase{"sho", "shock"},
           KeywordCase{"ashock", "ashock"},
           KeywordCase{"FILE", "file"},
           KeywordCase{"tshock", "tshock"},
           KeywordCase{"use", "use"},
           KeywordCase{"modify", "modify"},
           KeywordCase{"mod", "mod"},
           KeywordCase{"environment", "environment"},
           KeywordCase{"LU", "lu"},
           KeywordCase{"exo", "exogenous"},
           KeywordCase{"endo", "endogenous"},
           KeywordCase{"rest", "rest"},
           KeywordCase{"take", "take"},
           KeywordCase{"final_level", "final_level"},
           KeywordCase{"change", "change"},
           KeywordCase{"percent_change", "percent_change"},
           KeywordCase{"Swap", "swap"},
           KeywordCase{"xfile", "xfile"},
           KeywordCase{"SAVE", "save"},
       }) {
    EXPECT_EQ(NormaliseKeyword(c.word), c.keyword) << c.word;
  }
  EXPECT_EQ(NormaliseKeyword(std::string(60, 'Q')), std::string(40, 'q'));
}

TEST(CmfTokens, CleaningBlanksControlCharacters) {
  EXPECT_EQ(CleanCmfText("a\tb\x1a "), "a b");
  EXPECT_EQ(CleanCmfText("\x1a\x1a"), "");
  EXPECT_EQ(CleanCmfText("caf\xc3\xa9"), "caf");
}

std::vector<std::string> Texts(const CmfStatement& s) {
  std::vector<std::string> r;
  for (const auto& w : s.words) r.push_back(w.text);
  return r;
}

TEST(CmfTokens, StatementsSpanLinesAndKeepLineNumbers) {
  auto st = ParseCmfText(
      "! heading\n"
      "exogenous x\n"
      "   y ; endogenous z ;\r\n"
      "shock v = file \"my shocks.har\"\n"
      "  header \"AB\" ;\n"
      "swap a = b");
  ASSERT_EQ(st.size(), 4u);
  EXPECT_EQ(Texts(st[0]), (std::vector<std::string>{"exogenous", "x", "y"}));
  EXPECT_EQ(st[0].line(), 2);
  EXPECT_EQ(st[0].words[2].line, 3);
  EXPECT_EQ(st[0].words[2].column, 4);
  EXPECT_TRUE(st[0].terminated);
  EXPECT_EQ(Texts(st[1]), (std::vector<std::string>{"endogenous", "z"}));
  EXPECT_EQ(st[1].words[0].column, 8);
  EXPECT_EQ(Texts(st[2]), (std::vector<std::string>{"shock", "v", "=", "file", "\"my shocks.har\"",
                                                    "header", "\"AB\""}));
  EXPECT_EQ(Texts(st[3]), (std::vector<std::string>{"swap", "a", "=", "b"}));
  EXPECT_FALSE(st[3].terminated);
}

TEST(CmfTokens, FirstWordSkipsControlCharacterWords) {
  auto st = ParseCmfText("\x1a exogenous x ;\n\x1a");
  ASSERT_EQ(st.size(), 1u);
  EXPECT_EQ(st[0].keyword_word(), "exogenous");
}

TEST(CmfTokens, EmptyStatementIsTheWordSemicolon) {
  auto st = ParseCmfText("exo a ; ; endo b ;");
  ASSERT_EQ(st.size(), 3u);
  EXPECT_EQ(Texts(st[1]), std::vector<std::string>{";"});
  EXPECT_EQ(Texts(st[2]), (std::vector<std::string>{"endo", "b"}));
}

TEST(CmfTokens, EmptyTextsHaveNoStatements) {
  EXPECT_TRUE(ParseCmfText("").empty());
  EXPECT_TRUE(ParseCmfText("! only comments\n#x#\n  \n").empty());
}

TEST(CmfTokens, StreamFollowsTheReaderState) {
  CmfTokenStream s({"exo a ;", "!! endo b"});
  EXPECT_EQ(s.word(), ";");
  ASSERT_TRUE(s.NextStatement());
  EXPECT_EQ(s.first_word(), "exo");
  EXPECT_EQ(s.previous_word(), "");
  ASSERT_TRUE(s.NextWord());
  EXPECT_EQ(s.word(), "a");
  EXPECT_EQ(s.previous_word(), "exo");
  ASSERT_TRUE(s.NextStatement());
  EXPECT_EQ(s.first_word(), "endo");
  EXPECT_EQ(s.lines_read(), 2);
  EXPECT_EQ(s.line(), " endo b");
  EXPECT_EQ(s.raw_line(), "!! endo b");
  EXPECT_EQ(s.word_start(), 2);
  EXPECT_FALSE(s.NextStatement());
  s.Rewind();
  ASSERT_TRUE(s.NextStatement());
  EXPECT_EQ(s.first_word(), "exo");
}

TEST(CmfTokens, TenThousandStatementsAndALongLine) {
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "exogenous v" + std::to_string(i) + " ;\n";
  text += std::string(200000, 'x') + " " + std::string(100000, '!') + "\n";
  auto st = ParseCmfText(text);
  ASSERT_EQ(st.size(), 10001u);
  EXPECT_EQ(st[9999].words[1].text, "v9999");
  ASSERT_EQ(st[10000].words.size(), 2u);
  EXPECT_EQ(st[10000].words[0].text.size(), 200000u);
  EXPECT_EQ(st[10000].words[1].text, std::string(33333, '!'));  // each pair removed
}

}  // namespace
}  // namespace yl
