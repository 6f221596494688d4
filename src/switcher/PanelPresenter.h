#pragma once
// Stands in for the switcher panel on screen: the controller asks it to show a panel hosting the
// view of a model, to slide it out, where it is and what lies where on it.

#include <functional>
#include <memory>
#include <optional>

#include "platform/Geometry.h"
#include "switcher/layout/PanelHitMap.h"

namespace vantlo {

class SearchViewModel;

class PanelPresenter {
  public:
    virtual ~PanelPresenter() = default;

    // Places a new panel (screen, frame and edge from the panel settings and `itemCount`), makes it
    // take the keyboard and slides it in. `onSlideInFinished` runs on the main thread when the
    // slide-in ends, unless `slideOut` came first. Answers false when there is no screen to show
    // it on.
    virtual bool showPanel(std::shared_ptr<SearchViewModel> model, int itemCount,
                           std::function<void()> onSlideInFinished) = 0;
    // Slides the current panel out and hides it; does nothing when none shows.
    virtual void slideOut() = 0;
    // Takes the current panel off the screen at once, without sliding (an item was chosen: the
    // chosen window should be seen at once); does nothing when none shows.
    virtual void hideAtOnce() = 0;
    // The frame of the panel on screen, global coordinates; nothing when none shows.
    virtual std::optional<Rect> panelFrame() const = 0;
    // Whether the search field holds an input-method composition in progress.
    virtual bool hasMarkedText() const = 0;

    // For pointer events the panel's widgets do not receive themselves (its input is grabbed):
    // where its pointer targets are now, in panel coordinates (empty when none shows); the hover
    // look of the part under the pointer (`none` ends it); and a wheel turn over the list, in
    // notches, positive toward the list's end.
    virtual PanelHitMap hitMap() const = 0;
    virtual void showPointerHover(const PanelHit& hit) = 0;
    virtual void scrollList(double notches) = 0;
};

}  // namespace vantlo
