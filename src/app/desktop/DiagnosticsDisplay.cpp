#include "app/desktop/DiagnosticsDisplay.h"

#include "platform/linux/X11Accessibility.h"
#include "platform/linux/X11WindowActions.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"
#include "platform/linux/XcbRequests.h"

namespace vantlo {

void addDiagnosticsDisplayServices(Platform& services) {
    auto connection = XcbConnection::open(nullptr, nullptr);
    if (!connection)
        return;
    auto windows = std::make_shared<X11WindowList>(connection);
    auto actions = std::make_shared<X11WindowActions>(std::make_shared<XcbRequests>(connection),
                                                      windows, services.dispatch);
    services.accessibility = std::make_shared<X11Accessibility>(connection, windows, actions);
}

}  // namespace vantlo
