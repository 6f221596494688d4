#pragma once
// System-wide hot keys in memory: registrations are kept, `press(id)` fires the handler as the
// system would, and `refuse(keyCode, modifiers)` makes a combination taken by another program.

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "platform/HotKeys.h"

namespace vantlo {

class FakeHotKeys : public HotKeys {
  public:
    struct Combination {
        std::uint32_t keyCode = 0;
        std::uint32_t carbonModifiers = 0;
        bool operator==(const Combination&) const = default;
    };

    void setPressHandler(PressHandler handler) override {
        std::lock_guard lock(mutex_);
        handler_ = std::move(handler);
    }
    bool registerHotKey(std::uint32_t id, std::uint32_t keyCode,
                        std::uint32_t carbonModifiers) override {
        std::lock_guard lock(mutex_);
        if (refused_.count({keyCode, carbonModifiers}))
            return false;
        registered_[id] = {keyCode, carbonModifiers};
        return true;
    }
    void unregisterHotKey(std::uint32_t id) override {
        std::lock_guard lock(mutex_);
        registered_.erase(id);
    }

    // Fires the handler for a registered id; false when the id is not registered.
    bool press(std::uint32_t id) {
        PressHandler handler;
        {
            std::lock_guard lock(mutex_);
            if (!registered_.count(id) || !handler_)
                return false;
            handler = handler_;
        }
        handler(id);
        return true;
    }
    // Fires the handler for `id` whether or not it is still registered: a press the system had
    // queued before the key was unregistered.
    void deliverQueuedPress(std::uint32_t id) {
        PressHandler handler;
        {
            std::lock_guard lock(mutex_);
            handler = handler_;
        }
        if (handler)
            handler(id);
    }
    void refuse(std::uint32_t keyCode, std::uint32_t carbonModifiers) {
        std::lock_guard lock(mutex_);
        refused_.insert({keyCode, carbonModifiers});
    }
    // The other program let go of the combination: the next registration succeeds.
    void free(std::uint32_t keyCode, std::uint32_t carbonModifiers) {
        std::lock_guard lock(mutex_);
        refused_.erase({keyCode, carbonModifiers});
    }
    std::map<std::uint32_t, Combination> registered() {
        std::lock_guard lock(mutex_);
        return registered_;
    }

  private:
    std::mutex mutex_;
    PressHandler handler_;
    std::map<std::uint32_t, Combination> registered_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> refused_;
};

}  // namespace vantlo
