#include "cmf/sol_method_ini.h"

#include "core/number_text.h"
#include "core/text_util.h"

namespace yl {
namespace {

const char* const kKeyMethod = "Method";
const char* const kKeyNsol = "NSOL";
const char* const kKeySteps[3] = {"Steps1", "Steps2", "Steps3"};
const char* const kKeyNonAutoSubint = "Non Auto Acc Subint";
const char* const kKeyAuto = "Automatic accuracy";
const char* const kKeyPercent = "Auto Acc Percent";
const char* const kKeyAutoSubint = "Auto Acc Subint";
const char* const kKeyFigures = "Auto Acc Figures";
const char* const kKeyMinInt = "Auto Acc Min Int";
const char* const kKeyFailStop = "Auto Acc FailStop";
const char* const kKeyCriterion = "Auto Acc Criterion";

std::string Bool01(bool b) { return b ? "1" : "0"; }

}  // namespace

std::string FormatMinIntervalText(float value) { return FormatReal(value); }

float ParseMinIntervalText(const std::string& text) {
  std::optional<float> v = ParseRealFloat(Trim(text));
  return v && *v > 0 ? *v : 0.001f;
}

SolMethodSetting ReadSolMethodKeys(const IniFile& ini, const std::string& section) {
  SolMethodSetting s;
  TSolMethod& m = s.Method;
  m.Method = ini.ReadInt(section, kKeyMethod, 0);
  m.NumSolutions = ini.ReadInt(section, kKeyNsol, 0);
  for (int i = 0; i < 3; ++i) m.Steps[i] = ini.ReadInt(section, kKeySteps[i], 0);
  bool usable =
      m.Method >= kJohansen && m.Method <= kMidpoint && m.NumSolutions >= 1 && m.NumSolutions <= 3;
  for (int step : m.Steps) usable = usable && step > 0;
  if (!usable) {
    s.Method = GraggDefaultSolMethod();
    return s;
  }
  if (m.Method == kJohansen) m.NumSolutions = 1;
  m.Subintervals = ini.ReadInt(section, kKeyNonAutoSubint, 1);
  if (m.Subintervals <= 0) m.Subintervals = 1;
  // Automatic accuracy needs three solutions; a file claiming otherwise would make the
  // model program refuse the command file.
  m.AutoAccuracy = ini.ReadBool(section, kKeyAuto, false) && m.NumSolutions == 3;
  if (m.AutoAccuracy) {
    TAutoAccuracy& aa = s.Accuracy;
    aa.Percent = ini.ReadInt(section, kKeyPercent, 80);
    aa.Subintervals = ini.ReadInt(section, kKeyAutoSubint, 2);
    aa.Figures = ini.ReadInt(section, kKeyFigures, 4);
    aa.MinSubintervalLength = ParseMinIntervalText(ini.ReadString(section, kKeyMinInt, "0.001"));
    aa.StopOnFailure = ini.ReadBool(section, kKeyFailStop, true);
    int criterion = ini.ReadInt(section, kKeyCriterion, 0);
    aa.Criterion = static_cast<std::uint8_t>(criterion >= 0 && criterion <= 2 ? criterion : 0);
  }
  return s;
}

KeyValues SolMethodKeyValues(const SolMethodSetting& s) {
  const TSolMethod& m = s.Method;
  const TAutoAccuracy& aa = s.Accuracy;
  KeyValues kv;
  kv.emplace_back(kKeyMethod, std::to_string(m.Method));
  kv.emplace_back(kKeyNsol, std::to_string(m.NumSolutions));
  for (int i = 0; i < 3; ++i) kv.emplace_back(kKeySteps[i], std::to_string(m.Steps[i]));
  kv.emplace_back(kKeyNonAutoSubint, std::to_string(m.Subintervals));
  kv.emplace_back(kKeyAuto, Bool01(m.AutoAccuracy));
  kv.emplace_back(kKeyPercent, std::to_string(aa.Percent));
  kv.emplace_back(kKeyAutoSubint, std::to_string(aa.Subintervals));
  kv.emplace_back(kKeyFigures, std::to_string(aa.Figures));
  kv.emplace_back(kKeyMinInt, FormatMinIntervalText(aa.MinSubintervalLength));
  kv.emplace_back(kKeyFailStop, Bool01(aa.StopOnFailure));
  kv.emplace_back(kKeyCriterion, std::to_string(aa.Criterion));
  return kv;
}

std::vector<std::string> SolMethodSectionLines(const std::string& section,
                                               const SolMethodSetting& s) {
  std::vector<std::string> lines{" ", "[" + section + "]"};
  for (const auto& [key, value] : SolMethodKeyValues(s)) lines.push_back(key + "=" + value);
  return lines;
}

void WriteSolMethodKeys(IniFile& ini, const std::string& section, const SolMethodSetting& s) {
  for (const auto& [key, value] : SolMethodKeyValues(s)) ini.Set(section, key, value);
}

std::string AltMethodYearsText(const TSimRecord& rec) {
  std::string text(kMaxPeriods, 'u');
  for (int k = 1; k <= kMaxPeriods; ++k) {
    if (rec.AltMethodYears[k]) text[static_cast<std::size_t>(k - 1)] = 'a';
  }
  return text;
}

KeyValues AltMethodKeyValues(const TSimRecord& rec) {
  return {{kAltMethodInUseKey, Bool01(rec.AltMethodInUse)},
          {kAltMethodYearsKey, AltMethodYearsText(rec)}};
}

void ReadAltMethodKeys(const IniFile& ini, TSimRecord& rec) {
  rec.AltMethodInUse = ini.ReadBool(kAltSolMethodSection, kAltMethodInUseKey, false);
  std::string text = ini.ReadString(kAltSolMethodSection, kAltMethodYearsKey, "");
  for (int k = 1; k <= kMaxPeriods; ++k) {
    auto i = static_cast<std::size_t>(k - 1);
    rec.AltMethodYears[k] = i < text.size() && text[i] == 'a';
  }
}

void WriteAltMethodKeys(IniFile& ini, const TSimRecord& rec) {
  for (const auto& [key, value] : AltMethodKeyValues(rec)) {
    ini.Set(kAltSolMethodSection, key, value);
  }
}

std::vector<std::string> SolMethodStateLines(const SolMethodState& state, const TSimRecord& rec) {
  std::vector<std::string> lines = SolMethodSectionLines(kSolMethodSection, state.Normal);
  for (auto& l : SolMethodSectionLines(kAltSolMethodSection, state.Alternative)) {
    lines.push_back(std::move(l));
  }
  for (const auto& [key, value] : AltMethodKeyValues(rec)) lines.push_back(key + "=" + value);
  return lines;
}

void ReadSolMethodState(const IniFile& ini, SolMethodState& state, TSimRecord& rec) {
  state.Normal = ReadSolMethodKeys(ini, kSolMethodSection);
  state.Alternative = ReadSolMethodKeys(ini, kAltSolMethodSection);
  ReadAltMethodKeys(ini, rec);
}

void WriteSolMethodState(IniFile& ini, const SolMethodState& state, const TSimRecord& rec) {
  WriteSolMethodKeys(ini, kSolMethodSection, state.Normal);
  WriteSolMethodKeys(ini, kAltSolMethodSection, state.Alternative);
  WriteAltMethodKeys(ini, rec);
}

}  // namespace yl
