#pragma once
// The accuracy summaries that the model program writes into a solve's log when it
// extrapolates from three solutions: one per subinterval and optionally one for the
// overall results, each for the variables and, when the model updates data, the data.

#include <array>
#include <string>

#include "accuracy/log_lines.h"
#include "accuracy/places_summary.h"
#include "core/status.h"

namespace yl {

inline constexpr int kMaxAccSlots = 300;

enum AccKind : int { kAccVariables = 0, kAccData = 1 };
inline constexpr int kNumAccKinds = 2;

struct AccSlot {
  std::array<bool, kNumAccKinds> present{};
  std::array<PlacesSummary, kNumAccKinds> of{};  // by AccKind
  bool operator==(const AccSlot&) const = default;
};

struct AccSummary {
  std::array<AccSlot, kMaxAccSlots + 1> slots{};  // [1..kMaxAccSlots]; [0] unused
  int used = 0;                                   // slots 1..used were read
  bool overall_found = false;
  int overall_slot = 0;
  bool overall_has_data = false;
  // By AccKind: the slot with the smallest 10 x A, the overall slot aside, the first on
  // ties; 1 when there is none.
  std::array<int, kNumAccKinds> worst{1, 1};

  AccSlot& Slot(int i);
  const AccSlot& Slot(int i) const;
};

struct AccReadOptions {
  int updated_files = 0;  // U: which data marker follows a block, if any
  int first_slot = 1;
  bool overall_only = false;  // skip the subinterval blocks
  bool expect_one = false;    // exactly one block is an error otherwise
};

// Reads every summary block of the log at `path` into `summary` from slot first_slot
// (1..kMaxAccSlots) on; slots before it and after the last one read are left as they
// were. Errors end in "[GetAccSummary2]".
Status GetAccSummary2(const std::string& path, int updated_files, AccSummary& summary,
                      int first_slot, bool overall_only, bool expect_one);
// A fresh summary of the whole log from slot 1.
Status GetAccSummary(const std::string& path, int updated_files, AccSummary& summary);

// The reading itself on lines from anywhere; `path` names the log in messages.
Status ReadAccSummary(LogLines& log, const std::string& path, const AccReadOptions& options,
                      AccSummary& summary);

// Sets summary.worst from slots 1..summary.used.
void FindWorstSlots(AccSummary& summary);

}  // namespace yl
