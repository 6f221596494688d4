#include "app/desktop/DesktopMain.h"

#include "app/desktop/TestPanelShowing.h"

#include <xcb/xcb.h>
#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/BrowserCommand.h"
#include "app/HotKeyTakenNotice.h"
#include "app/RecencyHistoryFile.h"
#include "app/SingleInstance.h"
#include "app/desktop/AppDelegate.h"
#include "app/desktop/AppGuideServices.h"
#include "app/desktop/CommandChannel.h"
#include "app/desktop/PanelWindowSetup.h"
#include "app/desktop/TestStall.h"
#include "browser/BrowserTabCache.h"
#include "input/HotkeyStore.h"
#include "platform/linux/BrowserBridgeServer.h"
#include "platform/linux/FreedesktopNotifications.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/QtDispatch.h"
#include "platform/posix/ControlSocket.h"
#include "switcher/PanelInputMonitors.h"
#include "ui/switcher/QtEventMonitors.h"
#include "ui/switcher/QtPanelPresenter.h"
#include "ui/switcher/StandardPanelServices.h"
#include "ui/switcher/SwitcherPanel.h"

// Xlib's own header defines macros (None, Bool, Status…) that clash with Qt's; only this one
// call is needed.
extern "C" {
struct _XDisplay;
using XIOErrorHandler = int (*)(_XDisplay*);
XIOErrorHandler XSetIOErrorHandler(XIOErrorHandler handler);
}

namespace vantlo {
namespace {

// Posted by `vantlo quit`, and by a newcomer that takes this copy's place.
constexpr const char* kQuitNotification = "Vantlo.quit";

bool x11DisplayAnswers() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

// When the X server goes away, Xlib and Qt end the program with exit(), which runs the static
// destructors while background readers may still be using what they destroy. Nothing is left to
// show or raise, and settings are always replaced whole on disk: end at once instead.
[[noreturn]] void endForLostDisplay() {
    std::fputs("[Vantlo] The X server went away: quitting\n", stderr);
    std::_Exit(1);
}

int onXlibConnectionLost(_XDisplay*) {
    endForLostDisplay();
}

QtMessageHandler gQtMessages = nullptr;

void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("The X11 connection broke")))
        endForLostDisplay();
    if (gQtMessages)
        gQtMessages(type, context, message);
}

// What the preferences show per browser: the same states as `vantlo browser status`, with the
// connected extensions taken from this copy's own bridge.
BrowserAccessModel::Reader browserAccessReader(const std::shared_ptr<BrowserBridgeServer>& bridge) {
    if (!bridge)
        return {};
    return [weak = std::weak_ptr(bridge)] {
        std::vector<BrowserCommand::Connected> connected;
        if (auto server = weak.lock()) {
            for (const auto& browser : server->connected())
                connected.push_back({browser.applicationName, static_cast<int>(browser.pid)});
        }
        return BrowserCommand::statuses(BrowserCommand::Environment::current(), connected);
    };
}

}  // namespace

int runDesktop(int argc, char** argv) {
    // Qt would abort without a display; say what is missing instead.
    if (!x11DisplayAnswers()) {
        const char* display = std::getenv("DISPLAY");
        std::cerr << "vantlo: cannot open the X11 display \"" << (display ? display : "")
                  << "\". Vantlo runs in an X11 session; the README shows a demonstration under "
                     "Xvfb.\n";
        return 1;
    }
    // Vantlo drives X11 windows directly; under Wayland it would see none of them.
    qputenv("QT_QPA_PLATFORM", "xcb");
    XSetIOErrorHandler(onXlibConnectionLost);
    gQtMessages = qInstallMessageHandler(onQtMessage);
    QApplication application(argc, argv);
    application.setApplicationName("vantlo");
    application.setQuitOnLastWindowClosed(false);
    if (isTestPanelRequested())
        return runTestPanelShowing();

    auto dispatch = std::make_shared<QtDispatch>();
    LinuxPlatform::Options options;
    options.dispatch = dispatch;
    options.defaultsSeparateFile = recencyHistoryFile();
    auto built = LinuxPlatform::create(options);
    installPlatform(built.platform);

    // One copy per user and display; this object holds the lock until the process ends.
    SingleInstance singleInstance;
    if (singleInstance.enforceSingleInstance())
        return 0;
    if (built.browserBridge) {
        // A browser whose extension just connected lists its tabs at once, not only once it is
        // activated or the periodic refresh comes round; one that went away leaves at once.
        built.browserBridge->setBrowsersChangedHandler([dispatch] {
            dispatch->async([] { BrowserTabCache::shared().refreshAsync(std::nullopt); });
        });
        built.browserBridge->start();
    }

    preparePanelWindows(PanelWindowKind::grabbed);
    // The panel holds the keyboard through the window system, so Alt's release is never missed.
    auto qtMonitors = std::make_shared<QtEventMonitors>();
    auto presenter = std::make_shared<QtPanelPresenter>(qtMonitors, standardPanelServices());
    std::shared_ptr<EventMonitors> monitors = qtMonitors;
    // Keys the panel's bindings leave become search text; the controller exists once launched.
    auto textTarget = std::make_shared<std::weak_ptr<SwitcherPanelController>>();
    if (built.panelInput) {
        PanelInputMonitors::Panel panel;
        panel.windowNumber = [presenter]() -> std::uint32_t {
            auto* widget = presenter->panel();
            return widget ? static_cast<std::uint32_t>(widget->winId()) : 0;
        };
        panel.frame = [presenter] { return presenter->panelFrame(); };
        panel.passKey = [textTarget](const KeyEvent& event) {
            if (auto controller = textTarget->lock())
                controller->typeText(event);
        };
        // The grab keeps the pointer from the panel's widgets; the controller acts for them.
        panel.passPointer = [textTarget](const PanelPointerEvent& event) {
            if (auto controller = textTarget->lock())
                controller->pointerEvent(event);
        };
        auto inputMonitors = PanelInputMonitors::create(built.panelInput, panel);
        // Once the panel has the keyboard focus for typing, Qt hands it the keys (after the
        // input method): the same bindings run on them.
        qtMonitors->routeKeysTo(
            [weak = std::weak_ptr<PanelInputMonitors>(inputMonitors)](const KeyEvent& event) {
                auto target = weak.lock();
                return target && target->deliverPanelKey(event);
            });
        monitors = inputMonitors;
    }

    AppDelegate delegate(presenter, monitors, desktopTargetOf(built.connection),
                         browserAccessReader(built.browserBridge));
    delegate.applicationDidFinishLaunching();
    // Lives as long as the process, so a click on the notice's button still arrives.
    auto desktopNotifications = std::make_shared<FreedesktopNotifications>(platform().log);
    HotKeyTakenNotice takenNotice(desktopNotifications);
    takenNotice.noteStartRegistration(delegate.isHotKeyRegistered(), HotkeyStore::current());
    *textTarget = delegate.panelControllerHandle();
    // `vantlo preferences` and the other commands reach this copy here.
    CommandChannel commands(*platform().notifications);
    commands.listen(ControlSocket::defaultPath());
    Subscription quitObserver = platform().notifications->addObserver(
        kQuitNotification, [](const Notification&) { QApplication::quit(); },
        NotificationCenter::Delivery::mainQueue);
    Subscription testStall = observeTestStall(*platform().notifications);
    return application.exec();
}

}  // namespace vantlo
