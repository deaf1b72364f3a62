#ifndef KVO_BASE_CLOCK_H_
#define KVO_BASE_CLOCK_H_

#include <chrono>

namespace kvo {

// Where the program reads the time: the monotonic clock, or a fake in tests.
// Implementations must be safe to call from several threads.
class Clock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  virtual ~Clock() = default;
  virtual TimePoint Now() const = 0;
};

class SteadyClock final : public Clock {
 public:
  TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

// A moment after which work stops. A default Deadline never passes.
class Deadline {
 public:
  Deadline() = default;
  // `seconds` after now on `clock`, which must outlive the deadline; 0 or
  // less never passes.
  Deadline(const Clock& clock, int seconds)
      : clock_(seconds > 0 ? &clock : nullptr),
        end_(seconds > 0 ? clock.Now() + std::chrono::seconds(seconds)
                         : Clock::TimePoint()) {}

  bool Passed() const { return clock_ != nullptr && clock_->Now() >= end_; }

 private:
  const Clock* clock_ = nullptr;
  Clock::TimePoint end_;
};

}  // namespace kvo

#endif  // KVO_BASE_CLOCK_H_
