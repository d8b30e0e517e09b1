#include "cmf/readcmf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

std::vector<TCmfDeclaration> DeclarationsOf(const std::string& text) {
  return CollectCmfDeclarations(ParseCmfText(text));
}

using K = CmfDeclKind;

struct DeclCase {
  const char* text;
  std::vector<TCmfDeclaration> expected;
};

TEST(ReadCmf, DeclarationsTable) {
  for (const auto& c : std::vector<DeclCase>{
           {"file base = base.har ;", {{"base", "base.har", K::kFile, ""}}},
           {"xfile basedata ;", {{"basedata", "", K::kXfile, "old"}}},
           {"xfile (new) f ; file f = out.har ;", {{"f", "out.har", K::kBoth, "new"}}},
           {"xfile f ; FILE F = in.har ;", {{"f", "in.har", K::kBoth, "old"}}},
           {"file f = in.har ; xfile (new,old) f ;", {{"f", "in.har", K::kBoth, "old"}}},
           {"file f = in.har ; xfile ( old , new ) f ;", {{"f", "in.har", K::kBoth, "new"}}},
           {"xfile (new) g \"my g.har\" ;", {{"g", "my g.har", K::kBoth, "new"}}},
           {"xfile g unquoted.har ;", {{"g", "", K::kXfile, "old"}}},
           {"file f = a.har ; file f = b.har ;", {{"f", "a.har", K::kFile, ""}}},
           {"file f a.har ;", {}},  // no "=": not used
           {"file f = ;", {}},
           {"xfile (new f ; file f = x.har ; file h = y.har ;", {}},  // stops at the open list
           {"xfile \"\" ;", {{"\"\"", "", K::kXfile, "old"}}},
       }) {
    EXPECT_EQ(DeclarationsOf(c.text), c.expected) << c.text;
  }
}

TEST(ReadCmf, DeclarationsStopAtTwoHundred) {
  std::string text;
  for (int i = 0; i < 250; ++i) text += "file f" + std::to_string(i) + " = x.har ;\n";
  auto table = DeclarationsOf(text);
  ASSERT_EQ(table.size(), 200u);
  EXPECT_EQ(table.back().LogicalName, "f199");
}

TEST(ReadCmf, ReaderOpensFilesAndLines) {
  ScratchDir dir;
  TOpenCMFFile reader;
  auto missing = reader.Open(dir / "none.cls");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "Cannot open file " + dir / "none.cls" + "[TxtOpen]");
  EXPECT_FALSE(reader.IsOpen());

  std::string path = dir.Write("c.cls", "xfile f ;\r\nfile f = in.har ;\r\nexo x ;\r\n");
  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(reader.declarations().size(), 1u);
  ASSERT_TRUE(reader.NextStatement());
  EXPECT_EQ(reader.stream().first_word(), "xfile");
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_TRUE(reader.statements().empty());

  reader.OpenLines({"shock x = 1 ;"});
  ASSERT_TRUE(reader.NextStatement());
  EXPECT_EQ(reader.stream().first_word(), "shock");
}

TEST(ReadCmf, ReferencesOfStatementsAndDeclarations) {
  TOpenCMFFile reader;
  reader.OpenLines({
      "xfile (new) out ; file out = new.har ;",
      "xfile old1 ; file old1 = \"old one.har\" ;",
      "shock x = file shk.har header \"XX\" ;",
      "sho y = select from FILE s2.har ;",
      "use environment file base ;",
      "take lu file x ;",
      "modify closure from file \"m m\" ;",
      "ashock z = file ;",
      "exogenous file nothing ;",
      "final_level q = file a.har file b.har ;",
  });
  std::vector<CmfReference> expected{
      {"file", "old one.har"}, {"shock", "shk.har"}, {"shock", "s2.har"},      {"use", "base.en4"},
      {"take", "x.lu4"},       {"modify", "m m"},    {"final_level", "a.har"},
  };
  EXPECT_EQ(CmfReferences(reader), expected);
}

struct DirCase {
  const char* name;
  bool other;
};

TEST(ReadCmf, NamesOutsideTheDirectory) {
  for (const auto& c :
       {DirCase{"x.har", false}, DirCase{"my file.har", false}, DirCase{"$HOME.har", false},
        DirCase{"../x.har", true}, DirCase{"/etc/passwd", true}, DirCase{"sub/x.har", true},
        DirCase{"a\\b.har", true}, DirCase{".hidden", true}, DirCase{"c:x.har", true}}) {
    EXPECT_EQ(NamesOtherDirectory(c.name), c.other) << c.name;
  }
}

std::string DifferentDir(const std::string& cmf, const std::string& kw, const std::string& name) {
  return "The Command file\r\n   " + cmf + "\r\n includes a \"" + kw +
         "\" statement which refers to file\r\n   " + name +
         "\r\nFiles referred to in this Command file must not be in a different directory.";
}

std::string Missing(const std::string& cmf, const std::string& kw, const std::string& path) {
  return "The Command file\r\n   " + cmf + "\r\n includes a \"" + kw +
         "\" statement which refers to file\r\n   " + path + "\r\nThis latter file does not exist.";
}

TEST(ReadCmf, ReferenceCheckMessages) {
  ScratchDir dir;
  dir.Write("Shk.HAR", "");
  dir.Write("base.en4", "");
  dir.Write("my data.har", "");
  std::string cmf = dir.Write("p1.psh",
                              "shock a = file shk.har ;\n"            // found, case ignored
                              "shock b = file ../outside.har ;\n"     // different directory
                              "use environment file base ;\n"         // base.en4 exists
                              "xfile f ; file f = gone.har ;\n"       // old and missing
                              "xfile (new) g ; file g = new.har ;\n"  // new: not checked
                              "tshock c = file \"my data.har\" ;\n"   // quoted, exists
                              "shock d = file /etc/passwd ;\n"
                              "take lu file nolu ;\n");
  std::vector<Message> messages = CheckCmfReferences(cmf);
  std::vector<std::string> expected{
      Missing(cmf, "file", dir / "gone.har"), DifferentDir(cmf, "shock", "../outside.har"),
      DifferentDir(cmf, "shock", "/etc/passwd"), Missing(cmf, "take", dir / "nolu.lu4")};
  std::vector<std::string> texts;
  for (const auto& m : messages) {
    texts.push_back(m.text);
    EXPECT_EQ(m.kind, MessageKind::kError);
    EXPECT_EQ(m.buttons, kOk);
  }
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(CmfReferenceProblems(cmf), expected);
}

TEST(ReadCmf, ReferenceCheckPassesWhenAllExistOrTheFileIsMissing) {
  ScratchDir dir;
  dir.Write("a.har", "");
  std::string cmf = dir.Write("ok.cls", "exogenous x ;\nshock y = file a.har ;\n");
  EXPECT_TRUE(CheckCmfReferences(cmf).empty());
  EXPECT_TRUE(CheckCmfReferences(dir / "missing.cls").empty());
}

TEST(ReadCmf, ConstituentList) {
  ScratchDir dir;
  dir.Write("START.CMF", "xfile d ; file d = \"my d.har\" ;\nuse environment file e ;\n");
  std::vector<std::string> list{"earlier"};
  ASSERT_TRUE(AddCmfConstituents(dir.path(), "", list));
  EXPECT_EQ(list, std::vector<std::string>{"earlier"});
  ASSERT_TRUE(AddCmfConstituents(dir.path(), "start.cmf", list));
  EXPECT_EQ(list, (std::vector<std::string>{"earlier", "start.cmf", "my d.har", "e.en4"}));
  auto missing = AddCmfConstituents(dir.path(), "none.cmf", list);
  EXPECT_FALSE(missing);
  EXPECT_EQ(list.back(), "none.cmf");
}

}  // namespace
}  // namespace yl
