#include "app/desktop/PanelWindowSetup.h"

#include <QIcon>
#include <QLatin1String>
#include <QWidget>
#include <cstdint>

#include "platform/linux/X11PanelWindowHints.h"
#include "ui/switcher/SwitcherPanel.h"

namespace vantlo {

void preparePanelWindows() {
    // A bare session (Xvfb, a plain window manager) leaves only hicolor, which has few icons.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    SwitcherPanel::setNativeWindowHook([](QWidget* panel) {
        X11PanelWindowHints::markSwitcherPanel(static_cast<std::uint32_t>(panel->winId()));
    });
}

}  // namespace vantlo
