#include "switcher/PanelPointer.h"

#include <optional>

#include "onboarding/OnboardingManager.h"

namespace vantlo::PanelPointer {
namespace {

using Part = PanelHit::Part;

// Selects the row and answers its item; nothing for an index the list no longer has.
std::optional<SwitchItem> selectRow(SearchViewModel& model, int index) {
    if (index < 0 || index >= model.visibleCount())
        return std::nullopt;
    model.setSelectedIndex(index);
    return model.selectedItem();
}

void leaveGroup(SearchViewModel& model) {
    if (model.activeTabGroup())
        model.closeTabGroup();
    else if (model.activeWindowGroup())
        model.closeWindowGroup();
}

}  // namespace

void click(SearchViewModel& model, const PanelHit& hit, OnboardingManager* guide) {
    switch (hit.part) {
        case Part::row:
            if (auto item = selectRow(model, hit.index); item && model.onSelect())
                model.onSelect()(*item);
            break;
        case Part::close:
            if (auto item = selectRow(model, hit.index); item && model.onClose())
                model.onClose()(*item);
            break;
        case Part::badge:
            if (auto item = selectRow(model, hit.index)) {
                if (item->tabGroup())
                    model.openTabGroup(*item, false);
                else if (item->windowGroup())
                    model.openWindowGroup(*item, false);
            }
            break;
        case Part::back:
            leaveGroup(model);
            break;
        case Part::pill:
            // The pointer's way of pressing Return on the pill.
            model.setSearchActive(true);
            model.setEngaged(true);
            break;
        case Part::guideNext:
            if (guide)
                guide->advance();
            break;
        case Part::guideSkip:
            if (guide)
                guide->complete();
            break;
        case Part::none:
            break;
    }
}

void hover(SearchViewModel& model, const PanelHit& hit) {
    if (hit.index < 0 || hit.index >= model.visibleCount() || model.keyboardClaimed())
        return;
    if (hit.index != model.selectedIndex())
        model.setSelectedIndex(hit.index);
}

}  // namespace vantlo::PanelPointer
