#include "model/file_roles.h"

namespace yl {

std::string RoleName(int role) {
  switch (role) {
    case kOutputOnly:
      return "Output only";
    case kUpdatedInput:
      return "Updated input";
    case kLaggedInput:
      return "Lagged input";
    case kConstantInput:
      return "Constant input";
  }
  return "";
}

std::vector<FileRolesRow> FileRolesRows(const TSimRecord& rec) {
  std::vector<FileRolesRow> rows;
  for (int i = 1; i <= rec.NumDinFiles; ++i) {
    const TDinFileEntry& d = rec.DinFiles[i];
    std::string lag = "Not lagged";
    if (d.LagOf >= 1 && d.LagOf <= rec.NumDinFiles) lag = rec.DinFiles[d.LagOf].Name;
    rows.push_back({d.Name, d.Key, d.Type, d.IsInput ? "In" : "Out",
                    d.IsInput ? (d.IsUpdated ? "Yes" : "No") : "N/A", RoleName(d.Role), lag});
  }
  return rows;
}

}  // namespace yl
