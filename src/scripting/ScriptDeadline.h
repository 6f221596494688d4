#pragma once
// The moment by which a script run must have finished, read against the platform clock. Every
// call into an application carries it, so a bridge can stop waiting for an application that
// does not answer.

#include <algorithm>

#include "platform/Clock.h"

namespace vantlo {

class ScriptDeadline {
  public:
    ScriptDeadline(const Clock& clock, double at) : clock_(&clock), at_(at) {}

    double at() const { return at_; }
    const Clock& clock() const { return *clock_; }
    bool hasPassed() const { return clock_->now() >= at_; }
    // Seconds left, never negative.
    double remainingSeconds() const { return std::max(0.0, at_ - clock_->now()); }

  private:
    const Clock* clock_;
    double at_;
};

}  // namespace vantlo
