#pragma once
// While the panel holds the keyboard through the window system, Qt sees no key presses: the ones
// the switcher's bindings leave are typed into the panel's search field from here.

#include "platform/PanelEvents.h"

namespace vantlo {

class QtPanelPresenter;

void typeIntoSearchField(QtPanelPresenter& presenter, const KeyEvent& event);

}  // namespace vantlo
