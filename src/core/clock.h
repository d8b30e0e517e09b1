#pragma once
// "Now" for completion stamps and elapsed times; tests inject a FakeClock.

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
