#pragma once
// The panel services of the running program, and of the benchmarks that time it: the stored
// panel settings and shortcuts, the shared first-run guide and the row pictures from the shared
// caches.

#include "ui/switcher/QtPanelPresenter.h"

namespace vantlo {

PanelServices standardPanelServices();

}  // namespace vantlo
