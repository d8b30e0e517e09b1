// The settings files hold the minimum subinterval length of automatic accuracy, their only
// real number: it must read and write with "." whatever the locale.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "settings/options_file.h"
#include "settings/sim_details.h"
#include "sim/sim_defaults.h"
#include "sim/sim_naming.h"
#include "support/comma_locale.h"

namespace yl {
namespace {

constexpr OptionGroups kSimulationGroup{false, false, true};

SolMethodSetting AutoAccuracy(float min_length) {
  SolMethodSetting m;
  m.Method = GraggDefaultSolMethod();
  m.Method.AutoAccuracy = true;
  m.Accuracy.MinSubintervalLength = min_length;
  m.Accuracy.Percent = 90;
  return m;
}

class SettingsUnderCommaLocale : public testing::CommaLocaleTest {
 protected:
  void SetUp() override {
    testing::CommaLocaleTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    work = scratch.MakeDir("work");
    ctx.keep_dir = scratch.MakeDir("keep");
    sim = CreateSimRecord();
    SetDefaultSimulation(*sim, work);
    s.paths.program_dir = work;
    s.paths.default_temp_dir = scratch.MakeDir("tmp/SVTEMP/YRLMtemp");
    s.paths.temp_dir = s.paths.default_temp_dir;
    s.methods.Normal = AutoAccuracy(0.00025f);
    s.methods.Alternative = AutoAccuracy(1.5e-7f);
    sim->AltMethodInUse = true;
    sim->AltMethodYears[2] = true;
  }
  // Loads into a fresh session whose methods differ from the written ones.
  SolMethodState Reloaded(const std::function<bool(SessionSettings&, TSimRecord&)>& load) {
    SessionSettings r = s;
    r.methods = SolMethodState{};
    auto fresh = CreateSimRecord();
    SetDefaultSimulation(*fresh, work);
    EXPECT_TRUE(load(r, *fresh));
    return r.methods;
  }
  std::unique_ptr<TSimRecord> sim;
  SessionSettings s;
  SimDetailsContext ctx;
  Notices notices;
  std::string work;
};

TEST_F(SettingsUnderCommaLocale, SimDetailsKeepPointDecimals) {
  const std::string ds1 = work + "/loc-BS1B-BR1R-PL1P.ds1";
  ASSERT_TRUE(WriteDynamicSimInfo(ds1, false, 0, s, *sim, ctx, notices));
  const std::string text = testing::ReadFileBytes(ds1);
  EXPECT_NE(text.find("Auto Acc Min Int=0.00025\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Auto Acc Min Int=1.5e-07\n"), std::string::npos) << text;
  SolMethodState back = Reloaded([&](SessionSettings& r, TSimRecord& fresh) {
    return LoadSimDetails(ds1, LoadChoice{LoadPart::kSimDetails, {}}, r, fresh, ctx, notices)
        .has_value();
  });
  EXPECT_EQ(back, s.methods);
}

TEST_F(SettingsUnderCommaLocale, OptionsFileKeepsPointDecimals) {
  const std::string ini = ctx.keep_dir + "/" + kOptionsFileName;
  for (OptionsForm form : {OptionsForm::kUpdate, OptionsForm::kSequential}) {
    ASSERT_TRUE(WriteIniOptions(ini, form, s, *sim, notices));
    const std::string text = testing::ReadFileBytes(ini);
    EXPECT_NE(text.find("Auto Acc Min Int=0.00025"), std::string::npos) << text;
    SolMethodState back = Reloaded([&](SessionSettings& r, TSimRecord& fresh) {
      ReadOptionsFile(ini, kSimulationGroup, r, fresh, notices);
      return true;
    });
    EXPECT_EQ(back, s.methods) << static_cast<int>(form);
    ASSERT_TRUE(DeleteFileIfExists(ini));
  }
}

// A file written by hand or by an older program under the C locale reads the same, and a
// comma-decimal value (what a locale-dependent writer would have left) is refused rather
// than read as 0 or as a different number.
TEST_F(SettingsUnderCommaLocale, ReadsPointDecimalsAndRefusesCommas) {
  const std::string ini = ctx.keep_dir + "/" + kOptionsFileName;
  testing::WriteFileBytes(ini,
                          "[Solution Method]\nMethod=3\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\n"
                          "Automatic accuracy=1\nAuto Acc Min Int=2.5E-4\n");
  ReadOptionsFile(ini, kSimulationGroup, s, *sim, notices);
  EXPECT_FLOAT_EQ(s.methods.Normal.Accuracy.MinSubintervalLength, 2.5e-4f);
  testing::WriteFileBytes(ini,
                          "[Solution Method]\nMethod=3\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\n"
                          "Automatic accuracy=1\nAuto Acc Min Int=0,0025\n");
  ReadOptionsFile(ini, kSimulationGroup, s, *sim, notices);
  EXPECT_FLOAT_EQ(s.methods.Normal.Accuracy.MinSubintervalLength, 0.001f);  // the default
}

}  // namespace
}  // namespace yl
