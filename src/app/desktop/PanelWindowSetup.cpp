#include "app/desktop/PanelWindowSetup.h"

#include <QIcon>
#include <QLatin1String>
#include <QWidget>
#include <cstdint>

#include "platform/linux/X11PanelWindowHints.h"
#include "ui/switcher/SwitcherPanel.h"

namespace vantlo {

void preparePanelWindows(PanelWindowKind kind) {
    // A bare session (Xvfb, a plain window manager) leaves only hicolor, which has few icons.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    const bool grabbed = kind == PanelWindowKind::grabbed;
    SwitcherPanel::setBypassesWindowManager(grabbed);
    if (grabbed) {
        // No manager reads window states of such a window.
        SwitcherPanel::setNativeWindowHook(nullptr);
        return;
    }
    SwitcherPanel::setNativeWindowHook([](QWidget* panel) {
        X11PanelWindowHints::markSwitcherPanel(static_cast<std::uint32_t>(panel->winId()));
    });
}

}  // namespace vantlo
