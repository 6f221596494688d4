#include "switcher/layout/SwitcherMetrics.h"

#include <algorithm>

namespace vantlo {

double SwitcherMetrics::highlightWidth(double availableWidth) const {
    return std::min(0.86 * availableWidth, 344.0);
}

}  // namespace vantlo
