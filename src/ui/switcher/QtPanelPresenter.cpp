#include "ui/switcher/QtPanelPresenter.h"

#include <QPointer>
#include <QTimer>
#include <cmath>
#include <utility>

#include "platform/Platform.h"
#include "settings/PanelSettings.h"
#include "switcher/PanelPointer.h"
#include "switcher/layout/FooterHints.h"
#include "switcher/layout/GuideCard.h"
#include "switcher/layout/PanelPlacement.h"
#include "switcher/layout/SwitcherViewState.h"
#include "ui/switcher/QtEventMonitors.h"
#include "ui/switcher/SearchView.h"
#include "ui/switcher/SwitcherPanel.h"

namespace vantlo {

PanelAppearance PanelAppearance::fromSettings() {
    PanelAppearance look;
    look.hugsLeftEdge = PanelSettings::edge() == PanelEdge::left;
    look.windowWidth = PanelWidths::windowWidth(PanelSettings::width());
    look.fontScale = PanelFontSizes::scale(PanelSettings::fontSize());
    look.onPointerScreen = PanelSettings::display() == PanelDisplay::pointer;
    return look;
}

QtPanelPresenter::QtPanelPresenter(std::shared_ptr<QtEventMonitors> monitors,
                                   PanelServices services)
    : monitors_(std::move(monitors)), services_(std::move(services)) {
    // The first summon after start should not wait for a panel either.
    QTimer::singleShot(0, this, [this] { prepareSpare(); });
}

QtPanelPresenter::~QtPanelPresenter() {
    modelObserver_.reset();
    delete panel_;
    delete spare_;
}

PanelAppearance QtPanelPresenter::appearance() const {
    return services_.appearance ? services_.appearance() : PanelAppearance{};
}

SwitcherPanel* QtPanelPresenter::takePanel(const PanelAppearance& look) {
    SwitcherPanel* spare = std::exchange(spare_, nullptr);
    if (spare && spare->hugsLeftEdge() == look.hugsLeftEdge && spareFontScale_ == look.fontScale)
        return spare;
    delete spare;
    return new SwitcherPanel(look.hugsLeftEdge, look.fontScale, services_.images);
}

void QtPanelPresenter::prepareSpare() {
    if (spare_ || panel_)
        return;
    const PanelAppearance look = appearance();
    spare_ = new SwitcherPanel(look.hugsLeftEdge, look.fontScale, services_.images);
    spareFontScale_ = look.fontScale;
    spare_->winId();
}

bool QtPanelPresenter::showPanel(std::shared_ptr<SearchViewModel> model, int itemCount,
                                 std::function<void()> onSlideInFinished) {
    const PanelAppearance look = appearance();
    std::optional<Screen> screen;
    if (hasPlatform() && platform().screens) {
        auto& screens = *platform().screens;
        screen = PanelPlacement::chooseScreen(screens.screens(), screens.pointerLocation(),
                                              look.onPointerScreen, screens.mainScreen());
    }
    if (!screen)
        return false;
    const PanelFrame frame = PanelPlacement::frame(screen->visibleFrame, look.windowWidth,
                                                   look.fontScale, itemCount, look.hugsLeftEdge);
    if (panel_)
        retire(panel_);
    model_ = std::move(model);
    modelObserver_ = model_->addWillChangeObserver([this](SearchViewModel::Field) {
        // The model announces changes before making them: read it on the next turn.
        scheduleRefresh();
    });
    panel_ = takePanel(look);
    if (monitors_) {
        monitors_->setPanel(panel_);
        panel_->setKeyHandler(
            [monitors = monitors_](QKeyEvent* event) { return monitors->deliverKey(*event); });
    }
    SearchView* view = panel_->view();
    view->setFooterBindings(
        FooterHints::bindings(services_.bindings ? services_.bindings() : ShortcutTable{}));
    view->setAccessibilityTrusted(hasPlatform() && platform().accessibility &&
                                  platform().accessibility->isProcessTrusted());
    wireActions();
    if (services_.guide)
        stageSubscription_ = services_.guide->observe([this](OnboardingStage) { refreshGuide(); });
    panel_->setPanelSize(QSize(static_cast<int>(std::lround(frame.target.width)),
                               static_cast<int>(std::lround(frame.target.height))));
    refreshNow();
    panel_->slideIn(frame, std::move(onSlideInFinished));
    return true;
}

void QtPanelPresenter::wireActions() {
    SearchView::Actions actions;
    std::weak_ptr<SearchViewModel> weak = model_;
    auto withModel = [weak](auto f) {
        return [weak, f](auto... args) {
            if (auto model = weak.lock())
                f(*model, args...);
        };
    };
    actions.click = withModel([guide = std::weak_ptr<OnboardingManager>(services_.guide)](
                                  SearchViewModel& model, const PanelHit& hit) {
        auto manager = guide.lock();
        PanelPointer::click(model, hit, manager.get());
    });
    actions.hover = withModel(
        [](SearchViewModel& model, const PanelHit& hit) { PanelPointer::hover(model, hit); });
    actions.setQuery =
        withModel([](SearchViewModel& model, const std::string& query) { model.setQuery(query); });
    actions.pointerMoved =
        withModel([](SearchViewModel& model) { model.setKeyboardClaimed(false); });
    actions.isClosable = [source = services_.closeCapability](const SwitchItem& item) {
        return source && source(item).isActionable();
    };
    panel_->view()->setActions(std::move(actions));
}

void QtPanelPresenter::scheduleRefresh() {
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending_)
            refreshNow();
    });
}

void QtPanelPresenter::refreshNow() {
    refreshPending_ = false;
    if (!panel_ || !model_)
        return;
    panel_->view()->setState(SwitcherViewState::from(*model_));
    refreshGuide();
}

void QtPanelPresenter::refreshGuide() {
    if (!panel_ || !model_)
        return;
    const OnboardingStage stage =
        services_.guide ? services_.guide->stage() : OnboardingStage::idle;
    if (!GuideCard::isShown(stage)) {
        panel_->view()->setGuideCard(std::nullopt);
        return;
    }
    panel_->view()->setGuideCard(
        GuideCard::content(stage, model_->visibleCount() != 0, model_->isInDetailView()));
}

void QtPanelPresenter::slideOut() {
    if (!panel_)
        return;
    modelObserver_.reset();
    model_.reset();
    stageSubscription_.reset();
    retire(panel_);
    panel_ = nullptr;
}

void QtPanelPresenter::hideAtOnce() {
    if (!panel_)
        return;
    modelObserver_.reset();
    model_.reset();
    stageSubscription_.reset();
    retire(panel_, true);
    panel_ = nullptr;
}

void QtPanelPresenter::retire(SwitcherPanel* panel, bool atOnce) {
    if (monitors_)
        monitors_->setPanel(nullptr);
    panel->setKeyHandler(nullptr);
    auto hidden = [panel, presenter = QPointer<QtPanelPresenter>(this)] {
        panel->deleteLater();
        // Off the summon path: the panel has gone and the switcher is idle.
        if (presenter)
            presenter->prepareSpare();
    };
    if (atOnce) {
        panel->hideAtOnce();
        // After what the caller does next (the activation): the next panel is made later.
        QTimer::singleShot(0, panel, hidden);
    } else {
        panel->slideOut(hidden);
    }
}

std::optional<Rect> QtPanelPresenter::panelFrame() const {
    if (!panel_)
        return std::nullopt;
    return panel_->currentFrame();
}

bool QtPanelPresenter::hasMarkedText() const {
    return panel_ && panel_->view()->hasMarkedText();
}

PanelHitMap QtPanelPresenter::hitMap() const {
    return panel_ ? panel_->view()->hitMap() : PanelHitMap{};
}

void QtPanelPresenter::showPointerHover(const PanelHit& hit) {
    if (panel_)
        panel_->view()->showHover(hit);
}

void QtPanelPresenter::scrollList(double notches) {
    if (panel_)
        panel_->view()->scrollByNotches(notches);
}

}  // namespace vantlo
