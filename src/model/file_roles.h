#pragma once
// The read-only file-roles table of the "Other files" page, as data.

#include <array>
#include <string>
#include <vector>

#include "sim/sim_record.h"

namespace yl {

inline constexpr std::array<const char*, 7> kFileRolesColumns = {
    "Logical Name", "Key", "Type", "InOut", "Upd", "Role", "Lag of"};

using FileRolesRow = std::array<std::string, 7>;

// One row per DinFiles entry.
std::vector<FileRolesRow> FileRolesRows(const TSimRecord& rec);

}  // namespace yl
