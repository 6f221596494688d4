#pragma once
// The running program's panel services: the stored panel settings and shortcuts, the shared
// first-run guide and the row pictures from the shared caches.

#include "ui/switcher/QtPanelPresenter.h"

namespace vantlo {

PanelServices appPanelServices();

}  // namespace vantlo
