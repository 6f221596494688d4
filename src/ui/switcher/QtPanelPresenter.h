#pragma once
// Puts the switcher panel on screen for the panel controller: picks the screen and frame from the
// panel settings, builds the panel around the search view model, keeps the view in step with the
// model, the guide stage and the key bindings, and slides the panel in and out.

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "model/CloseCapability.h"
#include "onboarding/OnboardingManager.h"
#include "switcher/PanelPresenter.h"
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

class QtPanelPresenter : public QObject, public PanelPresenter {
  public:
    using AppearanceSource = std::function<PanelAppearance()>;
    using CloseCapabilitySource = std::function<CloseCapability(const SwitchItem&)>;

    QtPanelPresenter(std::shared_ptr<QtEventMonitors> monitors, AppearanceSource appearance,
                     CloseCapabilitySource closeCapability);
    ~QtPanelPresenter() override;

    bool showPanel(std::shared_ptr<SearchViewModel> model, int itemCount,
                   std::function<void()> onSlideInFinished) override;
    void slideOut() override;
    std::optional<Rect> panelFrame() const override;
    bool hasMarkedText() const override;

    // The panel on screen, if any (tests, screenshots).
    SwitcherPanel* panel() const { return panel_; }
    // Brings the view up to date with the model at once instead of on the next turn.
    void refreshNow();

  private:
    void wireActions();
    void scheduleRefresh();
    void refreshGuide();
    void retire(SwitcherPanel* panel);
    // A new panel for this look: the spare one made while the switcher was idle when it fits.
    SwitcherPanel* takePanel(const PanelAppearance& look);
    // Makes the next showing's panel ahead, native window included, so a summon does not wait
    // for it.
    void prepareSpare();

    std::shared_ptr<QtEventMonitors> monitors_;
    AppearanceSource appearance_;
    CloseCapabilitySource closeCapability_;
    std::shared_ptr<SearchViewModel> model_;
    SearchViewModel::ObserverToken modelToken_ = 0;
    OnboardingManager::Subscription stageSubscription_;
    SwitcherPanel* panel_ = nullptr;
    SwitcherPanel* spare_ = nullptr;
    double spareFontScale_ = 1.0;
    bool refreshPending_ = false;
};

}  // namespace vantlo
