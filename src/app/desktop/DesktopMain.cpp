#include "app/desktop/DesktopMain.h"

#include "app/desktop/TestPanelShowing.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>

namespace vantlo {

int runDesktop(int argc, char** argv) {
    // Vantlo drives X11 windows directly; under Wayland it would see none of them.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    application.setApplicationName("vantlo");
    application.setQuitOnLastWindowClosed(false);
    if (isTestPanelRequested())
        return runTestPanelShowing();
    std::fprintf(stderr, "vantlo: the desktop program is not assembled yet\n");
    return 1;
}

}  // namespace vantlo
