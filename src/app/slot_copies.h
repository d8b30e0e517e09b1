#pragma once
// The copies that let a solve run in the directory of the second or third slot: the model's
// auxiliary files, the data a year reads, the closure and shock files and what they name.

#include <array>
#include <string>
#include <vector>

#include "app/job_context.h"
#include "core/status.h"

namespace yl {

enum class SlotCopy { kModel, kDataInputs, kUpdatedInputs, kCmfBits, kCmfStart, kAll };

// The files one kind of copy takes for (run, year), as full paths.
std::vector<std::string> SlotCopySources(const JobContext& c, SlotCopy what, int run, int year);

// Copies them into dir, keeping their time stamps. With check_existence a missing file
// ends the copy with "[CopySimFilesToDir]: File {name} does not exist. [k={n}]";
// without it missing files are passed over.
Status CopySimFilesToDir(const JobContext& c, SlotCopy what, int run, int year,
                         bool check_existence, const std::string& dir);

// The slot ranges that PrepareSlotDirectories needs beyond the context.
struct SlotPlan {
  int first_slot = 1;
  int last_slot = 1;
  std::array<int, 4> sim_first{};  // by run; a run without simulations has first > last
  std::array<int, 4> sim_last{};
  bool developer_mode = false;
};

// Empties the directories of slots 2..last (never the program directory or a short name),
// creates them and fills them with what their solves read.
Status PrepareSlotDirectories(const JobContext& c, const SlotPlan& plan);

}  // namespace yl
