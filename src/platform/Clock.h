#pragma once
// Stands in for the system's wall clock.

namespace vantlo {

class Clock {
  public:
    virtual ~Clock() = default;
    // Wall-clock time in seconds since 1970. Never fails.
    virtual double now() const = 0;
};

}  // namespace vantlo
