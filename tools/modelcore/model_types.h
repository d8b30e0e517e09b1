#pragma once
// Plain in-memory records shared by the model, the solver and (later) the file layer,
// which maps them one to one onto Header Array headers and solution files.

#include <string>
#include <vector>

namespace yl::model {

struct SetInfo {
  std::string name;  // up to 12 characters
  std::vector<std::string> elements;
};

// One header of a data file: a coefficient over zero or more sets, values in
// column-major order (first set varies fastest).
struct DataArray {
  std::string header;       // 4 characters
  std::string coefficient;  // up to 12 characters
  std::string description;
  std::vector<std::string> sets;  // empty: a scalar
  std::vector<double> values;
};

struct DataFile {
  std::string logical_name;
  std::vector<DataArray> arrays;
};

// Finds a header (exact, case-insensitive) or returns nullptr.
const DataArray* FindArray(const DataFile& file, const std::string& header);

// A variable of the model: a scalar (empty set) or one component per set element.
struct VariableInfo {
  std::string name;  // up to 12 characters
  std::string set;   // empty for a scalar
  std::vector<std::string> elements;
  std::string description;
  int first = 0;  // flat index of its first component
  int Size() const { return set.empty() ? 1 : static_cast<int>(elements.size()); }
};

// Human name of component `index` of variable `v`: "y(AGR)" or "w".
std::string ComponentName(const VariableInfo& v, int index);

// The variable and offset owning flat component `flat`.
struct ComponentRef {
  const VariableInfo* variable = nullptr;
  int offset = 0;
};
ComponentRef FindComponent(const std::vector<VariableInfo>& vars, int flat);

// Results of one variable after a solve; levels are in start-of-period units.
struct VariableResult {
  std::string name;
  std::string set;
  std::vector<std::string> elements;
  std::vector<double> percent_change;
  std::vector<double> pre_level;
  std::vector<double> post_level;
  std::vector<bool> exogenous;
};

}  // namespace yl::model
