#include "app/desktop/TestPanelShowing.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
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

#include "app/desktop/PanelWindowSetup.h"
#include "onboarding/OnboardingManager.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/QtDispatch.h"
#include "switcher/SearchViewModel.h"
#include "switcher/ShowcaseDesktop.h"
#include "switcher/SwitcherPanelController.h"
#include "ui/switcher/QtEventMonitors.h"
#include "ui/switcher/QtPanelPresenter.h"
#include "ui/switcher/SearchView.h"
#include "ui/switcher/StandardPanelServices.h"
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

struct TestPlatform {
    std::shared_ptr<QtDispatch> dispatch;
    LinuxPlatform::Built built;
};

TestPlatform installTestPlatform() {
    TestPlatform result;
    result.dispatch = std::make_shared<QtDispatch>();
    LinuxPlatform::Options options;
    options.dispatch = result.dispatch;
    result.built = LinuxPlatform::create(options);
    installPlatform(result.built.platform);
    return result;
}

std::vector<SwitchItem> fixtureItems() {
    std::vector<SwitchItem> items = ShowcaseDesktop::defaultVisibleItems();
    if (auto count = environment("VANTLO_TEST_WINDOW_GROUP")) {
        const int windows = std::clamp(std::atoi(count->c_str()), 1, 500);
        for (auto& item : items) {
            if (item.windowGroup())
                item = ShowcaseDesktop::largeWindowGroup(windows);
        }
    }
    for (auto& item : ShowcaseDesktop::hiddenSearchOnlyItems())
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

// Screenshots of the guide card: "VANTLO_TEST_GUIDE" names the guide stage to show.
void showGuideStageFromEnvironment() {
    auto stageName = environment("VANTLO_TEST_GUIDE");
    if (!stageName)
        return;
    for (OnboardingStage stage : OnboardingStages::allCases()) {
        if (OnboardingStages::name(stage) == *stageName)
            OnboardingManager::shared().setStage(stage);
    }
}

}  // namespace

bool isTestPanelRequested() {
    return environment("VANTLO_TEST_PANEL").value_or("") == "1";
}

int runTestPanelShowing() {
    TestPlatform services = installTestPlatform();
    preparePanelWindows(PanelWindowKind::managed);

    // The test showing takes its keys and clicks from Qt's own events, not from input grabs.
    auto monitors = std::make_shared<QtEventMonitors>();
    auto presenter = std::make_shared<QtPanelPresenter>(monitors, standardPanelServices());
    auto controller = SwitcherPanelController::create(presenter, monitors);
    std::unique_ptr<ScreenshotTrigger> screenshots;
    if (auto path = environment("VANTLO_TEST_SCREENSHOT"))
        screenshots =
            std::make_unique<ScreenshotTrigger>(*path, [presenter] { return presenter->panel(); });
    QTimer::singleShot(300, [controller] {
        showGuideStageFromEnvironment();
        std::vector<SwitchItem> items = fixtureItems();
        int visible = 0;
        for (const SwitchItem& item : items)
            visible += item.tab() ? 0 : 1;
        controller->showTestPanel(
            std::move(items),
            ShowcaseDesktop::selectedIndex(environment("VANTLO_TEST_SELECTION"), visible));
    });
    const int status = QApplication::exec();
    controller->hide();
    services.dispatch->waitForBackgroundWork();
    return status;
}

}  // namespace vantlo
