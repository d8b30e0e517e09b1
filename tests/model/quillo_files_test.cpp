// Where the TAB and STI files come from: beside the model, an extracted copy that is still
// up to date, or an extraction still to run (and not run again once it found nothing).

#include "model/quillo_files.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>

#include "platform/file_time.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using State = QuilloFileLookup::State;

constexpr std::uint64_t kAuxTime = 133500000000000000ULL;
constexpr std::uint64_t kOlder = kAuxTime - 10000000;  // a second before
constexpr std::uint64_t kNewer = kAuxTime + 10000000;

struct Case {
  const char* name;
  QuilloFile what;
  bool sti_used;
  bool beside;                         // the file lies beside the model
  std::optional<std::uint64_t> copy;   // an extracted copy's time
  std::optional<std::uint64_t> tried;  // a stored-input file's time, naming these files
  bool aux = true;                     // the auxiliary table file exists
  State expected;
  const char* path;  // "" none, "beside" or "copy"
};

const Case kCases[] = {
    {"TAB beside the model", QuilloFile::kTab, false, true, kNewer, std::nullopt, true,
     State::kFound, "beside"},
    {"TAB copy as new as the aux file", QuilloFile::kTab, false, false, kAuxTime, std::nullopt,
     true, State::kFound, "copy"},
    {"TAB copy older than the aux file", QuilloFile::kTab, false, false, kOlder, std::nullopt, true,
     State::kMustExtract, ""},
    {"TAB nowhere", QuilloFile::kTab, false, false, std::nullopt, std::nullopt, true,
     State::kMustExtract, ""},
    {"TAB extraction tried since the aux file", QuilloFile::kTab, false, false, std::nullopt,
     kNewer, true, State::kMissing, ""},
    {"TAB extraction tried before the aux file changed", QuilloFile::kTab, false, false,
     std::nullopt, kOlder, true, State::kMustExtract, ""},
    {"TAB without an aux file", QuilloFile::kTab, false, false, std::nullopt, std::nullopt, false,
     State::kMissing, ""},
    {"STI not used", QuilloFile::kSti, false, false, kNewer, std::nullopt, true, State::kNotUsed,
     ""},
    {"STI beside the model", QuilloFile::kSti, true, true, std::nullopt, std::nullopt, true,
     State::kFound, "beside"},
    {"STI copy", QuilloFile::kSti, true, false, kNewer, std::nullopt, true, State::kFound, "copy"},
    {"STI nowhere", QuilloFile::kSti, true, false, std::nullopt, std::nullopt, true,
     State::kMustExtract, ""},
};

class QuilloFilesTest : public ::testing::TestWithParam<Case> {};

TEST_P(QuilloFilesTest, LooksBesideTheModelThenAtAnUpToDateCopy) {
  const Case& c = GetParam();
  testing::ScratchDir scratch;
  ModelState m;
  SetModelFile(m, scratch.Write("model/demo", "program"), std::nullopt);
  m.TabFileName = "demo.tab";
  m.StiFileName = c.sti_used ? "cond.sti" : "";
  const std::string temp = scratch.MakeDir("temp");
  const std::string own = c.what == QuilloFile::kTab ? "demo.tab" : "cond.sti";
  const std::string beside = JoinPath(m.ModelDir, own);
  const std::string copy = JoinPath(temp, ExtractedQuilloName(c.what, m));
  if (c.beside) scratch.Write("model/" + own, "text");
  if (c.aux) {
    ASSERT_TRUE(SetFileTime100ns(scratch.Write("model/demo.axt", "aux"), kAuxTime));
  }
  if (c.copy) {
    ASSERT_TRUE(SetFileTime100ns(scratch.Write("temp/" + FileNameOf(copy), "x"), *c.copy));
  }
  if (c.tried) {
    const std::string sti = JoinPath(temp, ExtractionStiName(c.what));
    ASSERT_TRUE(WriteTextLines(sti, {"bat", " ", "t", AuxTableFileOf(m), copy}));
    ASSERT_TRUE(SetFileTime100ns(sti, *c.tried));
  }
  const QuilloFileLookup got = LocateQuilloFile(m, c.what, temp);
  EXPECT_EQ(got.state, c.expected);
  const std::string path = c.path;
  EXPECT_EQ(got.path, path == "beside" ? beside : path == "copy" ? copy : "");
  if (c.expected != State::kNotUsed) {
    EXPECT_EQ(got.name, own);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, QuilloFilesTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           std::string n;
                           for (const char* p = info.param.name; *p; ++p) {
                             if (std::isalnum(static_cast<unsigned char>(*p))) n += *p;
                           }
                           return n;
                         });

TEST(QuilloFilesNamingTest, CopiesAndRecordsHaveFixedNames) {
  ModelState m;
  EXPECT_EQ(ExtractedQuilloName(QuilloFile::kTab, m), "tab1.tab");
  m.TabFileName = "orani.tab";
  EXPECT_EQ(ExtractedQuilloName(QuilloFile::kTab, m), "orani.tab");
  EXPECT_EQ(ExtractedQuilloName(QuilloFile::kSti, m), "tabcond.sti");
  EXPECT_EQ(ExtractionStiName(QuilloFile::kTab), "exttab.sti");
  EXPECT_EQ(ExtractionStiName(QuilloFile::kSti), "extsti.sti");
}

}  // namespace
}  // namespace yl
