// Stored-input files are read by the family tools, whatever locale the main program runs
// under; writing them under a comma-decimal locale gives the same bytes as under "C".

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <map>

#include "jobs/ss_sti.h"
#include "sim/sim_defaults.h"
#include "sim/sim_table.h"
#include "support/comma_locale.h"

namespace yl::jobs {
namespace {

class JobsUnderCommaLocale : public testing::CommaLocaleTest {
 protected:
  // Every stored-input and sequence file of a Policy's spreadsheet job, by name.
  std::map<std::string, std::string> WriteAll() {
    const std::string work = scratch.MakeDir("work"), temp = scratch.MakeDir("temp");
    auto sim = CreateSimRecord();
    SetDefaultSimulation(*sim, work);
    sim->FirstYear = 2001;
    sim->NumYears = 3;
    RecomputeYears(*sim);
    SsContext c;
    c.sim = sim.get();
    c.policy_start = 2;
    c.temp_dir = temp;
    c.mapping_file = work + "/results.map";
    c.options.ArithmeticNotFatal = c.options.AccumulateSubtotals = c.options.MakeYonYDiffSS = true;
    EXPECT_TRUE(WriteSolSTI(c, 2, 3));
    EXPECT_TRUE(WriteSolPolSTI(c, 3));
    EXPECT_TRUE(WriteYearFilesSTI(c, JobKind::kCsv, 3, 1, 3, 2, 3));
    AssemblyRanges both{true, {2, 3}, true, {2, 3}};
    EXPECT_TRUE(WriteAssemblySTIs(c, JobKind::kTallyr, 3, both, true, both));
    EXPECT_TRUE(WriteAssemblySTIs(c, JobKind::kCumSol, 3, both, true, both));
    EXPECT_TRUE(WriteSequenceFiles(c, 3, 2, 3));
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(scratch.path())) {
      if (e.is_regular_file()) files[e.path().string()] = testing::ReadFileBytes(e.path());
    }
    std::filesystem::remove_all(work);
    std::filesystem::remove_all(temp);
    return files;
  }
};

TEST_F(JobsUnderCommaLocale, StoredInputFilesAreTheSameAsUnderTheCLocale) {
  const std::string comma = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  const auto plain = WriteAll();
  std::setlocale(LC_ALL, comma.c_str());
  const auto under_comma = WriteAll();
  EXPECT_GE(plain.size(), 10u);
  EXPECT_EQ(under_comma, plain);
}

}  // namespace
}  // namespace yl::jobs
