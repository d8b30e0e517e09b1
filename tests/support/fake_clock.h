#pragma once
// A clock that stands still until the test moves it.

#include "core/clock.h"

namespace yl {

class FakeClock : public Clock {
 public:
  explicit FakeClock(TimePoint start = TimePoint{}) : now_(start) {}
  TimePoint Now() const override { return now_; }
  void Advance(std::chrono::milliseconds by) { now_ += by; }
  void Set(TimePoint t) { now_ = t; }

 private:
  TimePoint now_;
};

}  // namespace yl
