#pragma once
// Puts the switcher panel on screen for the panel controller: picks the screen and frame from the
// panel settings, builds the panel around the search view model, keeps the view in step with the
// model, the guide stage and the key bindings, and slides the panel in and out. Everything it
// reads besides the model comes in through `PanelServices`.

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "input/ShortcutStore.h"
#include "model/CloseCapability.h"
#include "onboarding/OnboardingManager.h"
#include "switcher/PanelPresenter.h"
#include "switcher/RowImageSource.h"
#include "switcher/SearchViewModel.h"

namespace vantlo {

class QtEventMonitors;
class SwitcherPanel;

// The panel settings the presenter reads each time it shows the panel.
struct PanelAppearance {
    bool hugsLeftEdge = false;
    double windowWidth = 354;
    double fontScale = 1.0;
    bool onPointerScreen = true;

    // The stored panel settings, read afresh.
    static PanelAppearance fromSettings();
};

// What the presenter reads besides the model. The sources are asked at each showing, so a changed
// setting or binding shows the next time the panel comes up.
struct PanelServices {
    // The panel settings; the defaults when unset.
    std::function<PanelAppearance()> appearance;
    // Whether and how a row's item can be closed; nothing is closable when unset.
    std::function<CloseCapability(const SwitchItem&)> closeCapability;
    // The in-panel shortcuts the footer names; the defaults when unset.
    std::function<ShortcutTable()> bindings;
    // The first-run guide whose card shows on the panel; no card when null.
    std::shared_ptr<OnboardingManager> guide;
    // Page icons and window pictures for the rows; none when null.
    std::shared_ptr<RowImageSource> images;
};

class QtPanelPresenter : public QObject, public PanelPresenter {
  public:
    QtPanelPresenter(std::shared_ptr<QtEventMonitors> monitors, PanelServices services);
    ~QtPanelPresenter() override;

    bool showPanel(std::shared_ptr<SearchViewModel> model, int itemCount,
                   std::function<void()> onSlideInFinished) override;
    void slideOut() override;
    void hideAtOnce() override;
    std::optional<Rect> panelFrame() const override;
    bool hasMarkedText() const override;
    PanelHitMap hitMap() const override;
    void showPointerHover(const PanelHit& hit) override;
    void scrollList(double notches) override;

    // The panel on screen, if any (tests, screenshots).
    SwitcherPanel* panel() const { return panel_; }
    // Brings the view up to date with the model at once instead of on the next turn.
    void refreshNow();

  private:
    void wireActions();
    void scheduleRefresh();
    void refreshGuide();
    void retire(SwitcherPanel* panel, bool atOnce = false);
    // A new panel for this look: the spare one made while the switcher was idle when it fits.
    SwitcherPanel* takePanel(const PanelAppearance& look);
    // Makes the next showing's panel ahead, native window included, so a summon does not wait
    // for it.
    void prepareSpare();

    PanelAppearance appearance() const;

    std::shared_ptr<QtEventMonitors> monitors_;
    PanelServices services_;
    std::shared_ptr<SearchViewModel> model_;
    Subscription modelObserver_;
    Subscription stageSubscription_;
    SwitcherPanel* panel_ = nullptr;
    SwitcherPanel* spare_ = nullptr;
    double spareFontScale_ = 1.0;
    bool refreshPending_ = false;
};

}  // namespace vantlo
