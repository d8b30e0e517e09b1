#pragma once
// Running the family tools as processes on fixture files, and building small solution
// and environment files without the code under test.

#include <map>
#include <string>
#include <vector>

#include "harfile/har_file.h"
#include "platform/process.h"

namespace yl::testing {

std::string ToolPath(const std::string& program);

struct ToolResult {
  bool ran = false;
  ProcessExit exit;
  bool has_report = false;
  std::map<std::string, std::string> report;  // [Result] keys
  std::string log;
  std::string Key(const std::string& k) const;
  bool Ok() const { return has_report && Key("Status") == "ok"; }
};

// Writes the stored-input text to `sti` and runs `program -sti STI -lon %sti` in dir,
// waiting at most a minute. The report read is the STI's name with ".rpt".
ToolResult RunTool(const std::string& program, const std::string& dir, const std::string& sti,
                   const std::string& sti_text, const std::vector<std::string>& env = {});

// A variable of a fixture file.
struct FixtureVar {
  std::string name;
  std::string label;
  std::string set;                    // empty: scalar
  std::vector<std::string> elements;  // of the set
  std::vector<double> values;         // cumulative results
  std::vector<int> exogenous;         // per component; empty: all endogenous
  char type = 'p';
};

FixtureVar Var(std::string name, std::string label, std::string set,
               std::vector<std::string> elements, std::vector<double> values,
               std::vector<int> exogenous = {}, char type = 'p');

// A solution file laid out as the model program writes it (VCNM, VCLB, VCSN, STNM,
// Snnn, Cnnn, EXOG, EXCM, VCTP, YEAR, MODL); with environment = true an ".en4" file
// instead (no results, plus EXVR).
void WriteFixtureHar(const std::string& path, const std::vector<FixtureVar>& vars, int year,
                     bool environment = false);

HarFile ReadHarOrFail(const std::string& path);
std::vector<double> HeaderValues(const HarFile& f, const std::string& header);

}  // namespace yl::testing
