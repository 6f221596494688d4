#include "app/desktop/AppGuideServices.h"

#include <cstdlib>

#include "app/desktop/StatusBarController.h"
#include "input/HotkeyStore.h"
#include "platform/Platform.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {
namespace {

std::string currentDesktopVariable() {
    const char* value = std::getenv("XDG_CURRENT_DESKTOP");
    return value ? value : "";
}

}  // namespace

AppDelegate::DesktopTarget desktopTargetOf(std::shared_ptr<XcbConnection> connection) {
    return [connection] {
        DesktopKeyRelease::Target target;
        const std::string manager = connection ? connection->windowManagerName() : "";
        target.desktop = DesktopKinds::detect(currentDesktopVariable(), manager);
        if (target.desktop == DesktopKind::openbox && connection)
            target.openboxConfigFile = connection->rootText("_OB_CONFIG_FILE").value_or("");
        return target;
    };
}

GuideServices appGuideServices(AppDelegate& delegate, AppDelegate::DesktopTarget desktopTarget) {
    auto target = [desktopTarget] {
        return desktopTarget ? desktopTarget() : DesktopKeyRelease::Target{};
    };
    GuideServices services;
    services.checks.waylandSession = [] {
        return GuidePermissionCheck::isWaylandSessionFromEnvironment();
    };
    services.checks.windowManager = [] { return platform().accessibility->isProcessTrusted(); };
    services.checks.ensureHotKey = [&delegate] { return delegate.ensureHotKeyRegistered(); };
    services.facts = [target] {
        GuideFacts facts;
        facts.style = shownKeyLabelStyle();
        facts.hotkey = HotkeyStore::current();
        const DesktopKind desktop = target().desktop;
        facts.desktopName = DesktopKinds::displayName(desktop, currentDesktopVariable());
        facts.canFreeKey = DesktopKeyRelease::canFree(desktop, facts.hotkey);
        return facts;
    };
    services.openPreferences = [] {
        platform().notifications->post(StatusBarController::kOpenPreferencesNotification,
                                       std::string("general"));
    };
    services.freeDesktopKey = [target](DesktopKeyRelease::Done done) {
        DesktopKeyRelease::freeAltTab(target(), std::move(done));
    };
    return services;
}

}  // namespace vantlo
