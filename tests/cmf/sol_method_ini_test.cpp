#include "cmf/sol_method_ini.h"

#include <gtest/gtest.h>

namespace yl {
namespace {

SolMethodSetting Read(const std::string& body) {
  return ReadSolMethodKeys(IniFile::Parse("[Solution Method]\n" + body), kSolMethodSection);
}

TEST(SolMethodIni, UnusableMethodsGiveTheGraggDefault) {
  const char* cases[] = {
      "",                                                   // nothing at all
      "Method=0\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\n",   // no method
      "Method=3\nNSOL=0\nSteps1=2\nSteps2=4\nSteps3=6\n",   // no count
      "Method=3\nNSOL=3\nSteps1=2\nSteps2=0\n",             // a step of 0
      "Method=9\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\n",   // unknown method
      "Method=2\nNSOL=4\nSteps1=2\nSteps2=4\nSteps3=6\n",   // four solutions
      "Method=2\nNSOL=3\nSteps1=x\nSteps2=4\nSteps3=6\n",   // not a number
      "Method=2\nNSOL=3\nSteps1=-3\nSteps2=4\nSteps3=6\n",  // negative step
  };
  for (const char* body : cases) {
    SolMethodSetting s = Read(std::string(body) + "Automatic accuracy=1\nAuto Acc Figures=6\n");
    EXPECT_EQ(s.Method, GraggDefaultSolMethod()) << body;
    EXPECT_EQ(s.Accuracy, TAutoAccuracy{}) << body;
  }
}

TEST(SolMethodIni, ReadsAValidMethod) {
  SolMethodSetting s = Read(
      "Method=2\nNSOL=2\nSteps1=3\nSteps2=5\nSteps3=7\nNon Auto Acc Subint=-4\n"
      "Automatic accuracy=0\nAuto Acc Figures=6\n");
  EXPECT_EQ(s.Method.Method, kEuler);
  EXPECT_EQ(s.Method.NumSolutions, 2);
  EXPECT_EQ(s.Method.Steps, (std::array<int, 3>{3, 5, 7}));
  EXPECT_EQ(s.Method.Subintervals, 1);  // values <= 0 become 1
  EXPECT_FALSE(s.Method.AutoAccuracy);
  EXPECT_EQ(s.Accuracy, TAutoAccuracy{});  // read only with automatic accuracy
}

TEST(SolMethodIni, ReadsAutomaticAccuracy) {
  SolMethodSetting s = Read(
      "Method=3\nNSOL=3\nSteps1=2\nSteps2=4\nSteps3=6\nAutomatic accuracy=1\n"
      "Auto Acc Percent=90\nAuto Acc Subint=5\nAuto Acc Figures=3\nAuto Acc Min Int=1E-5\n"
      "Auto Acc FailStop=0\nAuto Acc Criterion=7\n");
  EXPECT_TRUE(s.Method.AutoAccuracy);
  EXPECT_EQ(s.Accuracy.Percent, 90);
  EXPECT_EQ(s.Accuracy.Subintervals, 5);
  EXPECT_EQ(s.Accuracy.Figures, 3);
  EXPECT_FLOAT_EQ(s.Accuracy.MinSubintervalLength, 1e-5f);
  EXPECT_FALSE(s.Accuracy.StopOnFailure);
  EXPECT_EQ(s.Accuracy.Criterion, kCriterionData);  // out of range
}

TEST(SolMethodIni, AutomaticAccuracyNeedsThreeSolutions) {
  SolMethodSetting s =
      Read("Method=2\nNSOL=2\nSteps1=3\nSteps2=5\nSteps3=7\nAutomatic accuracy=1\n");
  EXPECT_FALSE(s.Method.AutoAccuracy);
}

TEST(SolMethodIni, JohansenHasOneSolution) {
  SolMethodSetting s = Read("Method=1\nNSOL=3\nSteps1=1\nSteps2=1\nSteps3=1\n");
  EXPECT_EQ(s.Method.Method, kJohansen);
  EXPECT_EQ(s.Method.NumSolutions, 1);
}

TEST(SolMethodIni, MinIntervalText) {
  EXPECT_EQ(FormatMinIntervalText(0.001f), "0.001");
  for (float v : {0.001f, 1e-9f, 0.1f, 3.3e-7f}) {
    EXPECT_EQ(ParseMinIntervalText(FormatMinIntervalText(v)), v);
  }
  for (const char* bad : {"", "abc", "0.001x", "-1", "0", "inf", "nan"}) {
    EXPECT_EQ(ParseMinIntervalText(bad), 0.001f) << bad;
  }
  EXPECT_EQ(ParseMinIntervalText(" 1E-4 "), 1e-4f);
}

TEST(SolMethodIni, SequentialLines) {
  SolMethodSetting s{GraggDefaultSolMethod(), {}};
  s.Method.AutoAccuracy = true;
  s.Accuracy.StopOnFailure = false;
  EXPECT_EQ(SolMethodSectionLines(kSolMethodSection, s),
            (std::vector<std::string>{
                " ", "[Solution Method]", "Method=3", "NSOL=3", "Steps1=2", "Steps2=4", "Steps3=6",
                "Non Auto Acc Subint=1", "Automatic accuracy=1", "Auto Acc Percent=80",
                "Auto Acc Subint=2", "Auto Acc Figures=4", "Auto Acc Min Int=0.001",
                "Auto Acc FailStop=0", "Auto Acc Criterion=0"}));
}

TEST(SolMethodIni, StateRoundTripsThroughBothForms) {
  SolMethodState state;
  state.Normal = {GraggDefaultSolMethod(), {}};
  state.Normal.Method.Subintervals = 3;
  state.Alternative.Method = {kEuler, 3, {3, 4, 5}, 1, true};
  state.Alternative.Accuracy = {95, 4, 6, 1e-7f, false, kCriterionSolution};
  TSimRecord rec;
  rec.AltMethodInUse = true;
  rec.AltMethodYears[2] = true;
  rec.AltMethodYears[999] = true;

  std::string text;
  for (const auto& l : SolMethodStateLines(state, rec)) text += l + "\n";
  IniFile updated = IniFile::Parse("[Options]\nPlayMusic=1\n");
  WriteSolMethodState(updated, state, rec);

  for (const IniFile& ini : {IniFile::Parse(text), updated}) {
    SolMethodState back;
    TSimRecord rec_back;
    ReadSolMethodState(ini, back, rec_back);
    EXPECT_EQ(back, state);
    EXPECT_TRUE(rec_back.AltMethodInUse);
    EXPECT_EQ(rec_back.AltMethodYears, rec.AltMethodYears);
  }
  EXPECT_EQ(updated.ReadString("Options", "PlayMusic", ""), "1");
}

TEST(SolMethodIni, YearsString) {
  TSimRecord rec;
  rec.AltMethodYears[1] = true;
  rec.AltMethodYears[3] = true;
  std::string text = AltMethodYearsText(rec);
  ASSERT_EQ(text.size(), 999u);
  EXPECT_EQ(text.substr(0, 4), "auau");
  // A shorter string leaves the remaining periods on the normal method.
  IniFile ini = IniFile::Parse(
      "[Alternative Solution Method]\nAlternative SLMethod In Use=1\n"
      "Use Alternatives in Years=uaXa\n");
  TSimRecord r;
  r.AltMethodYears.Fill(true);
  ReadAltMethodKeys(ini, r);
  EXPECT_TRUE(r.AltMethodInUse);
  EXPECT_FALSE(r.AltMethodYears[1]);
  EXPECT_TRUE(r.AltMethodYears[2]);
  EXPECT_FALSE(r.AltMethodYears[3]);
  EXPECT_TRUE(r.AltMethodYears[4]);
  EXPECT_FALSE(r.AltMethodYears[5]);
  EXPECT_FALSE(r.AltMethodYears[999]);
}

}  // namespace
}  // namespace yl
