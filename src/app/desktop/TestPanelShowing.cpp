#include "app/desktop/TestPanelShowing.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "core/SearchViewModel.h"
#include "core/VantloTestFixtures.h"
#include "input/KeyCodes.h"
#include "onboarding/OnboardingManager.h"
#include "platform/Platform.h"
#include "platform/linux/QtDispatch.h"
#include "platform/linux/X11PanelWindowHints.h"
#include "platform/posix/JsonFileDefaults.h"
#include "platform/posix/StandardErrorLog.h"
#include "platform/posix/SystemClock.h"
#include "settings/Localization.h"
#include "ui/switcher/QtEventMonitors.h"
#include "ui/switcher/QtPanelPresenter.h"
#include "ui/switcher/SearchView.h"
#include "ui/switcher/SwitcherPanel.h"

namespace vantlo {
namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

void printLine(const std::string& line) {
    std::cout << line << std::endl;  // flushed: tests read it while the program runs
}

// The displays as Qt sees them (global logical coordinates, y down).
class QtScreens : public Screens {
  public:
    std::vector<Screen> screens() override {
        std::vector<Screen> result;
        const auto all = QGuiApplication::screens();
        QScreen* primary = QGuiApplication::primaryScreen();
        for (QScreen* screen : all) {
            Screen s = convert(screen);
            if (screen == primary)
                result.insert(result.begin(), s);
            else
                result.push_back(s);
        }
        return result;
    }
    std::optional<Screen> mainScreen() override {
        QScreen* primary = QGuiApplication::primaryScreen();
        if (!primary)
            return std::nullopt;
        return convert(primary);
    }
    Point pointerLocation() override {
        const QPoint p = QCursor::pos();
        return {static_cast<double>(p.x()), static_cast<double>(p.y())};
    }

  private:
    static Rect rect(const QRect& r) {
        return {static_cast<double>(r.x()), static_cast<double>(r.y()),
                static_cast<double>(r.width()), static_cast<double>(r.height())};
    }
    static Screen convert(QScreen* screen) {
        return Screen{rect(screen->geometry()), rect(screen->availableGeometry()),
                      screen->devicePixelRatio()};
    }
};

std::shared_ptr<QtDispatch> installTestPlatform() {
    auto dispatch = std::make_shared<QtDispatch>();
    auto services = std::make_shared<Platform>();
    services->dispatch = dispatch;
    services->clock = std::make_shared<SystemClock>();
    services->log = std::make_shared<StandardErrorLog>();
    services->defaults =
        std::make_shared<JsonFileDefaults>(JsonFileDefaults::defaultPath(), services->log);
    services->notifications = std::make_shared<NotificationCenter>(*dispatch);
    services->screens = std::make_shared<QtScreens>();
    installPlatform(services);
    return dispatch;
}

// The panel settings as the defaults hold them (the keys of the panel settings).
PanelAppearance appearanceFromDefaults() {
    PanelAppearance look;
    auto& defaults = *platform().defaults;
    look.hugsLeftEdge = defaults.string("Vantlo.PanelEdge").value_or("") == "left";
    const std::string width = defaults.string("Vantlo.PanelWidth").value_or("normal");
    look.windowWidth = width == "compact" ? 304 : width == "wide" ? 414 : 354;
    const std::string size = defaults.string("Vantlo.PanelFontSize").value_or("normal");
    look.fontScale = size == "small" ? 0.9 : size == "large" ? 1.16 : 1.0;
    look.onPointerScreen = defaults.string("Vantlo.PanelDisplay").value_or("") != "main";
    return look;
}

CloseCapability closeCapabilityOf(const SwitchItem& item) {
    switch (item.kind()) {
        case SwitchItem::Kind::window:
            return CloseCapability::closeWindow();
        case SwitchItem::Kind::tab:
            return CloseCapability::closeTab();
        case SwitchItem::Kind::app:
            return CloseCapability::quitApp();
        default:
            return CloseCapability::blocked(CloseCapability::kCloseTabsInstead);
    }
}

std::vector<SwitchItem> fixtureItems() {
    std::vector<SwitchItem> items = VantloTestFixtures::defaultVisibleItems();
    if (auto count = environment("VANTLO_TEST_WINDOW_GROUP")) {
        const int windows = std::clamp(std::atoi(count->c_str()), 1, 500);
        for (auto& item : items) {
            if (item.windowGroup())
                item = VantloTestFixtures::largeWindowGroup(windows);
        }
    }
    for (auto& item : VantloTestFixtures::hiddenSearchOnlyItems())
        items.push_back(std::move(item));
    return items;
}

// Writes a PNG of the panel on a desktop-like backdrop when SIGUSR1 arrives.
class ScreenshotTrigger : public QObject {
  public:
    ScreenshotTrigger(std::string path, std::function<SwitcherPanel*()> panel)
        : path_(std::move(path)), panel_(std::move(panel)) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pipe_) != 0)
            return;
        writeEnd() = pipe_[0];
        notifier_ = new QSocketNotifier(pipe_[1], QSocketNotifier::Read, this);
        QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            if (::read(pipe_[1], &byte, 1) == 1)
                save();
        });
        std::signal(SIGUSR1, [](int) {
            const char byte = 1;
            if (writeEnd() >= 0) [[maybe_unused]]
                auto written = ::write(writeEnd(), &byte, 1);
        });
    }

  private:
    static int& writeEnd() {
        static int fd = -1;
        return fd;
    }

    void save() {
        SwitcherPanel* panel = panel_();
        if (!panel || !panel->isVisible()) {
            printLine("Vantlo test panel screenshot failed: no panel on screen");
            return;
        }
        const int margin = 36;
        const qreal dpr = panel->devicePixelRatioF();
        const QSize size(panel->width() + 2 * margin, panel->height() + 2 * margin);
        QImage canvas((QSizeF(size) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
        canvas.setDevicePixelRatio(dpr);
        QPainter painter(&canvas);
        QLinearGradient backdrop(0, 0, size.width(), size.height());
        backdrop.setColorAt(0, QColor(58, 74, 104));
        backdrop.setColorAt(1, QColor(104, 82, 120));
        painter.fillRect(QRect(QPoint(0, 0), size), backdrop);
        painter.end();
        panel->view()->render(&canvas, QPoint(margin, margin), QRegion(), QWidget::DrawChildren);
        if (canvas.save(QString::fromStdString(path_), "PNG"))
            printLine("Vantlo test panel screenshot: " + path_);
        else
            printLine("Vantlo test panel screenshot failed: " + path_);
    }

    std::string path_;
    std::function<SwitcherPanel*()> panel_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

// The keys of the test showing: move, open search, open the selection, enter and leave groups,
// cancel. Interim until the panel controller's own test mode drives it.
class TestShowing {
  public:
    TestShowing(std::shared_ptr<QtEventMonitors> monitors, QtPanelPresenter& presenter)
        : monitors_(std::move(monitors)), presenter_(presenter) {}

    void show() {
        // Screenshots of the guide card: "VANTLO_TEST_GUIDE" names the guide stage to show.
        if (auto stageName = environment("VANTLO_TEST_GUIDE")) {
            for (OnboardingStage stage : OnboardingStages::allCases()) {
                if (OnboardingStages::name(stage) == *stageName)
                    OnboardingManager::shared().setStage(stage);
            }
        }
        auto model = SearchViewModel::create(fixtureItems(), true);
        model->setEngaged(true);
        const int visible = model->visibleCount();
        model->setSelectedIndex(
            VantloTestFixtures::selectedIndex(environment("VANTLO_TEST_SELECTION"), visible));
        model->setOnSelect([](const SwitchItem& item) {
            printLine("Vantlo test panel selected: " + item.title());
        });
        model->setOnClose(
            [](const SwitchItem& item) { printLine("Vantlo test panel close: " + item.title()); });
        model->setOnCancel([this] { hide(); });
        model_ = model;
        keyToken_ = monitors_->addKeyDownMonitor(
            [this](const KeyEvent& event) { return handleKey(event); });
        if (!presenter_.showPanel(model, std::max(visible, 1), nullptr))
            printLine("Vantlo test panel: no screen to show the panel on");
    }

  private:
    void hide() {
        monitors_->removeMonitor(keyToken_);
        model_.reset();
        presenter_.slideOut();
    }

    void move(int by) {
        const int count = model_->visibleCount();
        if (count < 1)
            return;
        model_->setKeyboardClaimed(true);
        model_->setSelectedIndex(((model_->selectedIndex() + by) % count + count) % count);
    }

    bool handleKey(const KeyEvent& event) {
        if (!model_ || presenter_.hasMarkedText())
            return false;
        const auto flags = event.modifierFlags & ModifierFlags::relevantMask;
        const bool plain =
            (flags & (ModifierFlags::shift | ModifierFlags::control | ModifierFlags::command)) == 0;
        switch (event.keyCode) {
            case KeyCode::upArrow:
                move(-1);
                return true;
            case KeyCode::downArrow:
                move(1);
                return true;
            case KeyCode::tab:
                move(flags & ModifierFlags::shift ? -1 : 1);
                return true;
            case KeyCode::leftArrow:
                if (model_->activeTabGroup())
                    model_->closeTabGroup();
                else if (model_->activeWindowGroup())
                    model_->closeWindowGroup();
                else
                    return false;
                return true;
            case KeyCode::rightArrow: {
                if (model_->isInDetailView())
                    return true;
                const auto& list = model_->filtered();
                const int index = model_->selectedIndex();
                if (index >= 0 && index < static_cast<int>(list.size())) {
                    if (list[index].tabGroup())
                        model_->openTabGroup(list[index], false);
                    else if (list[index].windowGroup())
                        model_->openWindowGroup(list[index], false);
                }
                return true;
            }
            case KeyCode::escape:
                if (!plain)
                    return false;
                model_->setEngaged(true);
                if (model_->onCancel())
                    model_->onCancel()();
                return true;
            case KeyCode::returnKey:
            case KeyCode::keypadEnter:
                if (!plain)
                    return false;
                model_->setEnterPulse(model_->enterPulse() + 1);
                if (model_->searchActive()) {
                    model_->commit();
                } else {
                    model_->setSearchActive(true);
                    model_->setEngaged(true);
                }
                return true;
            default:
                return false;
        }
    }

    std::shared_ptr<QtEventMonitors> monitors_;
    QtPanelPresenter& presenter_;
    std::shared_ptr<SearchViewModel> model_;
    EventMonitors::Token keyToken_ = 0;
};

}  // namespace

bool isTestPanelRequested() {
    return environment("VANTLO_TEST_PANEL").value_or("") == "1";
}

int runTestPanelShowing() {
    auto dispatch = installTestPlatform();
    if (!environment("VANTLO_RESOURCES"))
        Localization::setResourcesPath(
            (QCoreApplication::applicationDirPath() + "/../share/vantlo").toStdString());
    else
        Localization::setResourcesPath(*environment("VANTLO_RESOURCES"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    SwitcherPanel::setNativeWindowHook([](QWidget* panel) {
        X11PanelWindowHints::markSwitcherPanel(static_cast<std::uint32_t>(panel->winId()));
    });

    auto monitors = std::make_shared<QtEventMonitors>();
    QtPanelPresenter presenter(monitors, appearanceFromDefaults, closeCapabilityOf);
    TestShowing showing(monitors, presenter);
    std::unique_ptr<ScreenshotTrigger> screenshots;
    if (auto path = environment("VANTLO_TEST_SCREENSHOT"))
        screenshots =
            std::make_unique<ScreenshotTrigger>(*path, [&presenter] { return presenter.panel(); });
    QTimer::singleShot(300, [&showing] { showing.show(); });
    const int status = QApplication::exec();
    dispatch->waitForBackgroundWork();
    return status;
}

}  // namespace vantlo
