// The reports of the demo, written by "yearloom report" after real runs, against the
// golden files in tests/data/reports. Paths of this test's directories and the dates of
// completion vary from run to run, so they are masked before the comparison; everything
// else must match line for line.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <string_view>

#include "demo_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "settings/sim_details.h"
#include "sim/sim_table.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

// A date as the reports write it, "05-Mar-2007 at 14:02:33": 9 a digit, A upper, a lower.
constexpr char kDateShape[] = "99-Aaa-9999 at 99:99:99";

bool IsDateAt(const std::string& text, std::size_t at) {
  const std::string_view shape(kDateShape);
  if (at + shape.size() > text.size()) return false;
  for (std::size_t k = 0; k < shape.size(); ++k) {
    const auto c = static_cast<unsigned char>(text[at + k]);
    const bool fits = shape[k] == '9'   ? std::isdigit(c) != 0
                      : shape[k] == 'A' ? std::isupper(c) != 0
                      : shape[k] == 'a' ? std::islower(c) != 0
                                        : c == static_cast<unsigned char>(shape[k]);
    if (!fits) return false;
  }
  return true;
}

using ::testing::HasSubstr;

const std::string kGolden = std::string(YL_TEST_DATA_DIR) + "/reports/";

class ReportsDemoTest : public DemoWorkTest {
 protected:
  // The report's text with this run's directories and dates masked.
  std::string Masked(const std::string& path) const {
    std::string text = ReadFileBytes(path);
    auto replace = [&](const std::string& from, const std::string& to) {
      for (std::size_t at = text.find(from); at != std::string::npos;
           at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
      }
    };
    replace(work, "{work}");
    replace(RemoveTrailingSep(BinDir()), "{bin}");
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
      if (IsDateAt(text, i)) {
        out += "{date}";
        i += std::string_view(kDateShape).size();
      } else {
        out += text[i++];
      }
    }
    return out;
  }
  // Writes the report as a script would and checks where it went.
  void Report(const std::vector<std::string>& args, const std::string& expected_path) {
    std::vector<std::string> all{"report"};
    all.insert(all.end(), args.begin(), args.end());
    YearloomRun r = Yearloom(all);
    ASSERT_TRUE(r.Succeeded()) << r.output;
    EXPECT_EQ(r.output, expected_path + "\n");
  }
  void ExpectGolden(const std::string& path, const std::string& golden) const {
    const std::string text = Masked(path);
    if (const char* update = std::getenv("YL_UPDATE_GOLDEN"); update && *update == '1') {
      WriteFileBytes(kGolden + golden, text);
    }
    EXPECT_EQ(text, ReadFileBytes(kGolden + golden)) << golden;
  }
};

TEST_F(ReportsDemoTest, EveryReportOfTheDemoMatchesItsGoldenFile) {
  WriteOptions(1);
  // Everything, then the Base's 2024 again alone: the when-run report must say what that
  // left out of sequence.
  YearloomRun all = Yearloom({"all", "all", ds1});
  ASSERT_TRUE(all.Succeeded()) << all.output;
  YearloomRun again = Yearloom({"base", "2024-2024", ds1});
  ASSERT_TRUE(again.Succeeded()) << again.output;

  const std::string stem = WorkFile(ChangeFileExt(ds1, ""));
  Report({"details", ds1}, stem + ".dr0");
  ExpectGolden(stem + ".dr0", "demo.dr0");
  Report({"ingredients", ds1}, stem + ".dr1");
  ExpectGolden(stem + ".dr1", "demo.dr1");
  Report({"when-run", ds1, "-o", "when.dr2"}, WorkFile("when.dr2"));
  ExpectGolden(WorkFile("when.dr2"), "demo.dr2");

  // A second setup: two more periods, a Base shock file in 2023 and no policy shock in
  // 2027.
  ScriptedPrompter prompter;
  Session other = LoadSession(prompter);
  TSimRecord& o = other.sim;
  o.NumYears = 12;
  o.CMFCells(3, kBaseShocks) = "bshock23";
  o.CMFCells(7, kPolicyShocks) = "";
  ResetRowsAboveNumYears(o);
  RecomputeYears(o);
  NormaliseCells(o);
  Notices notices;
  ASSERT_TRUE(WriteDynamicSimInfo(WorkFile("other.ds1"), false, 0, other.settings, o,
                                  {keep, true, false}, notices));
  Report({"compare", "other.ds1", ds1, "-o", "cmp.DRC"}, WorkFile("cmp.DRC"));
  ExpectGolden(WorkFile("cmp.DRC"), "demo.DRC");
}

TEST_F(ReportsDemoTest, TheCommandLineExplainsItselfAndFailsWithTheReason) {
  WriteFileBytes(WorkFile("garbled.ds1"), "[Environment]\n");
  WriteFileBytes(WorkFile("garbled.ds2"), "not a sim store\n");
  WriteFileBytes(WorkFile("alone.ds1"), "[Environment]\n");
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{"report", "--help"}, 0, "when-run"},
      {{"report", "compare", "--help"}, 0, "OTHER"},
      {{"report"}, 2, "A subcommand is required"},
      {{"report", "compare", ds1}, 2, "yearloom: There is no last session"},
      {{"report", "details", "missing.ds1"},
       2,
       "yearloom: DS1 file: " + WorkFile("missing.ds1") + " does not exist\n"},
      {{"report", "details", ds1, "-o", "no such dir/r.dr0"},
       2,
       "yearloom: Cannot create file " + WorkFile("no such dir/r.dr0") +
           "[TxtCreate][WriteReportSimDetails]\n"},
      {{"report", "compare", "alone.ds1", ds1},
       2,
       "yearloom: Associated file " + WorkFile("alone.ds2") +
           " does not exist.[CompareTwoSimDetails]\n"},
      {{"report", "compare", "garbled.ds1", ds1}, 2, "[CompareTwoSimDetails]\n"},
      {{"report", "compare", "other.txt", ds1},
       2,
       "yearloom: Sim Details file name must end with \".ds1\": " + WorkFile("other.txt")},
  };
  for (const Case& c : cases) {
    YearloomRun r = Yearloom(c.args);
    ASSERT_TRUE(r.ran) << c.args.back();
    EXPECT_EQ(r.exit.code, c.exit) << c.args.back() << "\n" << r.output;
    EXPECT_THAT(r.output, HasSubstr(c.says)) << c.args.back();
  }
  // Nothing but the reports asked for was written.
  EXPECT_FALSE(FileExists(WorkFile(ChangeFileExt(ds1, ".DRC"))));
}

}  // namespace
}  // namespace yl::testing
