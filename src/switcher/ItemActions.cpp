#include "switcher/ItemActions.h"

#include "browser/BrowserTabEnumerator.h"
#include "discovery/AXWindowInspector.h"
#include "discovery/AppActivator.h"
#include "discovery/WindowEnumerator.h"
#include "platform/AXNames.h"
#include "platform/Platform.h"

namespace vantlo::ItemActions {
namespace {}  // namespace

CloseCapability closeCapability(const SwitchItem& item) {
    switch (item.kind()) {
        case SwitchItem::Kind::window:
            return AXWindowInspector::closeButton(item.window()->axWindow)
                       ? CloseCapability::closeWindow()
                       : CloseCapability::none();
        case SwitchItem::Kind::tab:
            return CloseCapability::closeTab();
        case SwitchItem::Kind::tabGroup:
        case SwitchItem::Kind::windowGroup:
        case SwitchItem::Kind::app:
            return AppActivator::shared().closeCapability(item.bundleID().value_or(""));
    }
    return CloseCapability::none();
}

void activate(const SwitchItem& item) {
    if (auto* window = item.window()) {
        WindowEnumerator::activate(*window);
    } else if (auto* tab = item.tab()) {
        BrowserTabEnumerator::activate(*tab);
    } else if (auto* group = item.tabGroup()) {
        BrowserTabEnumerator::activate(group->activeTab());
    } else if (auto* windows = item.windowGroup()) {
        // A stale file-manager window would raise nothing; opening one is always right.
        if (platform().facts.isFileManager(windows->appBundleID)) {
            AppActivator::ensureFinderWindow();
        } else {
            WindowEnumerator::activate(windows->windows.front());
        }
    } else if (auto* app = item.app()) {
        AppActivator::activate(*app);
    }
}

void close(const SwitchItem& item) {
    if (auto* window = item.window()) {
        if (auto button = AXWindowInspector::closeButton(window->axWindow)) {
            platform().accessibility->performAction(button, AX::pressAction);
        }
    } else if (auto* tab = item.tab()) {
        BrowserTabEnumerator::closeTab(*tab);
    } else if (auto bundleID = item.bundleID()) {
        AppActivator::shared().quit(*bundleID);
    }
}

}  // namespace vantlo::ItemActions
