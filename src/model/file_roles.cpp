#include "model/file_roles.h"

#include "sim/sim_runs.h"

namespace yl {

std::vector<FileRolesRow> FileRolesRows(const TSimRecord& rec) {
  std::vector<FileRolesRow> rows;
  for (int i = 1; i <= rec.NumDinFiles; ++i) {
    const TDinFileEntry& d = rec.DinFiles[i];
    // A role code the DIN file should not hold shows blank rather than stopping the page.
    const bool known_role = d.Role >= kOutputOnly && d.Role <= kConstantInput;
    std::string lag = "Not lagged";
    if (d.LagOf >= 1 && d.LagOf <= rec.NumDinFiles) lag = rec.DinFiles[d.LagOf].Name;
    rows.push_back({d.Name, d.Key, d.Type, d.IsInput ? "In" : "Out",
                    d.IsInput ? (d.IsUpdated ? "Yes" : "No") : "N/A",
                    known_role ? RoleName(d.Role) : "", lag});
  }
  return rows;
}

}  // namespace yl
