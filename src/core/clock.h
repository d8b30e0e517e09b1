#pragma once
// "Now" for completion stamps and elapsed times; tests inject one that stands still
// (tests/support/fake_clock.h).

#include <chrono>

namespace yl {

using TimePoint = std::chrono::system_clock::time_point;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimePoint Now() const = 0;
};

class SystemClock : public Clock {
 public:
  TimePoint Now() const override { return std::chrono::system_clock::now(); }
};

}  // namespace yl
