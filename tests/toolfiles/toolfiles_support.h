#pragma once
// Running the family tools as processes on fixture files, and building small solution
// and environment files without the code under test.

#include <string>
#include <vector>

#include "harfile/har_file.h"
#include "support/program_run.h"
#include "toolfiles/solution_data.h"

namespace yl::testing {

// Writes the stored-input text to `sti` and runs `program -sti STI -lon %sti` in dir,
// waiting at most a minute. The report read is the STI's name with ".rpt".
ProgramRun RunTool(const std::string& program, const std::string& dir, const std::string& sti,
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

// A variable as the tools hold it; exogenous flags per component.
toolfiles::ResultVariable Variable(std::string name, std::string label, std::string set,
                                   std::vector<std::string> elements, std::vector<bool> exogenous,
                                   char type = 'p');

}  // namespace yl::testing
