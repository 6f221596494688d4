#pragma once
// The system's wall clock.

#include "platform/Clock.h"

namespace vantlo {

class SystemClock : public Clock {
  public:
    double now() const override;
};

}  // namespace vantlo
