#pragma once
// A wall clock that only moves when a test moves it.

#include <atomic>

#include "platform/Clock.h"

namespace vantlo {

class FakeClock : public Clock {
  public:
    // 2027-01-15 08:00:00 UTC: a fixed, realistic start so stored dates look plausible.
    static constexpr double kStart = 1'800'000'000.0;

    double now() const override { return now_.load(); }
    void set(double secondsSince1970) { now_.store(secondsSince1970); }
    void advance(double seconds) { now_.store(now_.load() + seconds); }

  private:
    std::atomic<double> now_{kStart};
};

}  // namespace vantlo
