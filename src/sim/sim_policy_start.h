#pragma once
// The first period that the Rerun and the Policy actually simulate; their earlier periods
// are the Base's. The settings it needs live on other pages, so they come in as values.

#include <optional>

#include "core/message.h"
#include "sim/sim_record.h"

namespace yl {

struct PolicyStartSettings {
  bool ModelSelected = true;            // a model program is selected
  bool DoRationalExpectations = false;  // "Do Rational Expectations ?" is ticked
  int YearsBeforeFirstShock = 0;        // "Policy run starts {n} years before first Policy shock"
};

struct PolicyStart {
  int Period = 1;
  bool Refused = false;  // no policy shocks: nothing for the Rerun or the Policy to do
  // Set when the "years before" field had to be reset (to the first policy period - 1).
  std::optional<int> NewYearsBeforeFirstShock;
  // What the user is told about a refusal or a reset; callers that check quietly skip it.
  std::optional<Message> Notice;
};

PolicyStart PolicyStartSim(const TSimRecord& sim, int run, const PolicyStartSettings& settings);

}  // namespace yl
