#pragma once
// A panel that is never drawn: it remembers what it was asked to show, stands at a fixed frame
// with the pointer targets the test lays out, and lets the test end the slide-in when it likes.

#include <memory>

#include "switcher/PanelPresenter.h"

namespace vantlo {

class FakePanelPresenter : public PanelPresenter {
  public:
    bool showPanel(std::shared_ptr<SearchViewModel> model, int itemCount,
                   std::function<void()> onSlideInFinished) override {
        if (!hasScreen)
            return false;
        ++shows;
        shownModel = std::move(model);
        shownItemCount = itemCount;
        pendingSlideIn_ = std::move(onSlideInFinished);
        showing = true;
        return true;
    }
    void slideOut() override {
        if (!showing)
            return;
        ++slideOuts;
        showing = false;
        pendingSlideIn_ = nullptr;
    }
    void hideAtOnce() override {
        if (!showing)
            return;
        ++instantHides;
        showing = false;
        pendingSlideIn_ = nullptr;
    }
    std::optional<Rect> panelFrame() const override {
        if (!showing)
            return std::nullopt;
        return frame;
    }
    bool hasMarkedText() const override { return markedText; }
    PanelHitMap hitMap() const override { return showing ? targets : PanelHitMap{}; }
    void showPointerHover(const PanelHit& hit) override { hover = hit; }
    void scrollList(double notches) override { scrolledNotches += notches; }

    // Ends the slide-in animation of the panel on screen.
    void finishSlideIn() {
        if (auto done = std::move(pendingSlideIn_))
            done();
    }

    bool hasScreen = true;
    bool showing = false;
    bool markedText = false;
    int shows = 0;
    int slideOuts = 0;
    int instantHides = 0;
    int shownItemCount = 0;
    std::shared_ptr<SearchViewModel> shownModel;
    Rect frame{926, 180, 354, 620};
    // What lies where on the panel, panel coordinates; the hover look and the wheel turns it got.
    PanelHitMap targets;
    PanelHit hover;
    double scrolledNotches = 0;

  private:
    std::function<void()> pendingSlideIn_;
};

}  // namespace vantlo
