#pragma once
// Tells the user, once per start, that the activation hot key could not be registered: a
// desktop notification naming the key, with an action that opens the General preferences where
// another key can be recorded. Before the first-run guide was finished the guide explains it
// instead, so nothing is shown then.

#include <memory>
#include <string>

#include "platform/DesktopNotifications.h"
#include "platform/HotkeyConfig.h"

namespace vantlo {

class HotKeyTakenNotice {
  public:
    static constexpr const char* kOpenGeneralAction = "open-general";

    // `notifications` may be null (no notification service in this build): nothing is shown.
    explicit HotKeyTakenNotice(std::shared_ptr<DesktopNotifications> notifications)
        : notifications_(std::move(notifications)) {}

    // Called once at start with the outcome of registering `key`. Shows the notice when the key
    // was refused and the guide was finished before; true when it did. Later calls in the same
    // process show nothing.
    bool noteStartRegistration(bool registered, const HotkeyConfig& key);

  private:
    std::shared_ptr<DesktopNotifications> notifications_;
    bool shown_ = false;
};

}  // namespace vantlo
