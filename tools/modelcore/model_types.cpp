#include "modelcore/model_types.h"

#include "core/internal_error.h"
#include "core/text_util.h"

namespace yl::model {

const DataArray* FindArray(const DataFile& file, const std::string& header) {
  for (const DataArray& a : file.arrays)
    if (a.header == header) return &a;
  for (const DataArray& a : file.arrays)
    if (SameText(a.header, header)) return &a;
  return nullptr;
}

std::string ComponentName(const VariableInfo& v, int index) {
  if (v.set.empty()) return v.name;
  CheckIndex(index, 0, v.Size() - 1, "variable component");
  return v.name + "(" + v.elements[static_cast<std::size_t>(index)] + ")";
}

ComponentRef FindComponent(const std::vector<VariableInfo>& vars, int flat) {
  for (const VariableInfo& v : vars)
    if (flat >= v.first && flat < v.first + v.Size()) return {&v, flat - v.first};
  throw InternalError("variable component " + std::to_string(flat) + " out of range");
}

}  // namespace yl::model
