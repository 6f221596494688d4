#pragma once
// Stands in for the desktop's notification service (the bubbles a desktop shows at a corner of
// the screen, with buttons). Showing one never waits for the service; a desktop where no
// service answers shows nothing, and the implementation says so in the log.

#include <functional>
#include <string>
#include <vector>

namespace vantlo {

struct DesktopNotice {
    struct Action {
        std::string key;    // handed back when the user picks it
        std::string label;  // the button's text
    };
    std::string title;
    std::string body;
    std::vector<Action> actions;
};

class DesktopNotifications {
  public:
    // Called on the main thread with the key of the action the user picked.
    using ActionHandler = std::function<void(const std::string& key)>;

    virtual ~DesktopNotifications() = default;

    // Hands `notice` to the service and returns at once. `onAction` runs at most once, when the
    // user picks one of the notice's actions; never when the notice is dismissed, expires or no
    // service takes it.
    virtual void show(const DesktopNotice& notice, ActionHandler onAction) = 0;
};

}  // namespace vantlo
