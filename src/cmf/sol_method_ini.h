#pragma once
// The solution-method keys of options and Sim Details files. Reading always validates;
// writing gives the ordered key/value pairs so that both the in-place options updater and
// the sequential writers produce the same keys in the same order.

#include <string>
#include <utility>
#include <vector>

#include "cmf/sol_method.h"
#include "env/ini_file.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr char kSolMethodSection[] = "Solution Method";
inline constexpr char kAltSolMethodSection[] = "Alternative Solution Method";
inline constexpr char kAltMethodInUseKey[] = "Alternative SLMethod In Use";
inline constexpr char kAltMethodYearsKey[] = "Use Alternatives in Years";

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// Reads one method section. A missing or unusable method ("Method" or "NSOL" 0 or out of
// range, any step 0 or less) gives the Gragg default record with default accuracy.
SolMethodSetting ReadSolMethodKeys(const IniFile& ini, const std::string& section);
// The method's keys in file order, booleans as "1"/"0".
KeyValues SolMethodKeyValues(const SolMethodSetting& s);
// The sequential form: a line holding one blank, "[section]", then "Key=value" lines.
std::vector<std::string> SolMethodSectionLines(const std::string& section,
                                               const SolMethodSetting& s);
// The in-place form: sets every key of the section.
void WriteSolMethodKeys(IniFile& ini, const std::string& section, const SolMethodSetting& s);

// "Alternative SLMethod In Use" and "Use Alternatives in Years" (999 characters, "a" for
// a period that uses the alternative method, else "u").
std::string AltMethodYearsText(const TSimRecord& rec);
KeyValues AltMethodKeyValues(const TSimRecord& rec);
// Reads both keys from the alternative-method section into the record; a shorter string
// leaves the remaining periods on the normal method.
void ReadAltMethodKeys(const IniFile& ini, TSimRecord& rec);
void WriteAltMethodKeys(IniFile& ini, const TSimRecord& rec);

// Both method sections followed by the two alternative-method keys, as "Key=value" lines.
std::vector<std::string> SolMethodStateLines(const SolMethodState& state, const TSimRecord& rec);
void ReadSolMethodState(const IniFile& ini, SolMethodState& state, TSimRecord& rec);
void WriteSolMethodState(IniFile& ini, const SolMethodState& state, const TSimRecord& rec);

// The text of "Auto Acc Min Int": the shortest text that reads back as the same float.
std::string FormatMinIntervalText(float value);
// A real as text; text that is not a finite positive real gives 0.001.
float ParseMinIntervalText(const std::string& text);

}  // namespace yl
