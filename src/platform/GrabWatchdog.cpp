#include "platform/GrabWatchdog.h"

#include <algorithm>

namespace vantlo {

void GrabWatchdog::grabTaken(double now) {
    watching_ = true;
    lastBeat_ = now;
}

void GrabWatchdog::heartbeat(double now) {
    if (watching_)
        lastBeat_ = std::max(lastBeat_, now);
}

void GrabWatchdog::grabGivenBack() {
    watching_ = false;
}

bool GrabWatchdog::shouldGiveBack(double now) {
    if (!watching_ || silence(now) <= bound_)
        return false;
    watching_ = false;
    return true;
}

double GrabWatchdog::silence(double now) const {
    return watching_ ? std::max(0.0, now - lastBeat_) : 0.0;
}

}  // namespace vantlo
