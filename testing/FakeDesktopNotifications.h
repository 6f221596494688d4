#pragma once
// The desktop's notification service in memory: keeps every notice shown, and `pick(index, key)`
// stands for the user clicking one of its actions.

#include <vector>

#include "platform/DesktopNotifications.h"

namespace vantlo {

class FakeDesktopNotifications : public DesktopNotifications {
  public:
    void show(const DesktopNotice& notice, ActionHandler onAction) override {
        shown_.push_back({notice, std::move(onAction)});
    }

    std::vector<DesktopNotice> notices() const {
        std::vector<DesktopNotice> result;
        for (const auto& entry : shown_)
            result.push_back(entry.notice);
        return result;
    }
    // False when there is no such notice or it offers no action `key`.
    bool pick(std::size_t index, const std::string& key) {
        if (index >= shown_.size())
            return false;
        auto& entry = shown_[index];
        for (const auto& action : entry.notice.actions) {
            if (action.key == key && entry.onAction) {
                entry.onAction(key);
                return true;
            }
        }
        return false;
    }

  private:
    struct Entry {
        DesktopNotice notice;
        ActionHandler onAction;
    };
    std::vector<Entry> shown_;
};

}  // namespace vantlo
