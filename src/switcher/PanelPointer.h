#pragma once
// What the pointer does to one showing's model: a click on a row makes it the selection and
// opens it, a click on its close button makes it the selection and closes it, a click on a
// group's count badge makes the row the selection and opens the group in place, the back chip
// leaves the group, the pill opens the search, and the guide card's buttons move the guide on.
// Hovering a row selects it, unless the keyboard has moved the selection since the pointer last
// moved. The same whether the panel's widgets or the input grab delivered the event.

#include "switcher/SearchViewModel.h"
#include "switcher/layout/PanelHit.h"

namespace vantlo {

class OnboardingManager;

namespace PanelPointer {

// `guide` (may be null) is the first-run guide the card's buttons move on.
void click(SearchViewModel& model, const PanelHit& hit, OnboardingManager* guide);
void hover(SearchViewModel& model, const PanelHit& hit);

}  // namespace PanelPointer
}  // namespace vantlo
