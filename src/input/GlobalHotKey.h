#pragma once
// A key combination that triggers a callback system-wide, whichever application is in front.
// The registration lasts as long as the instance. Presses reach the callback on the main queue.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/HotkeyConfig.h"

namespace vantlo {

class HotKeys;

class GlobalHotKey {
  public:
    using Handler = std::function<void()>;

    // Registers the combination with the platform's hot-key service. Ids are 1, 2, 3, ... in
    // construction order. A combination the system refuses simply never fires.
    GlobalHotKey(std::uint32_t keyCode, std::uint32_t carbonModifiers, Handler handler);
    GlobalHotKey(const HotkeyConfig& config, Handler handler)
        : GlobalHotKey(config.keyCode, config.carbonModifiers, std::move(handler)) {}
    // Unregisters; a press of this combination still waiting to be delivered is dropped.
    ~GlobalHotKey();

    GlobalHotKey(const GlobalHotKey&) = delete;
    GlobalHotKey& operator=(const GlobalHotKey&) = delete;

    std::uint32_t id() const { return id_; }
    // Whether the platform accepted the registration.
    bool isRegistered() const { return registered_; }

    // Forgets every callback, restarts ids at 1 and reinstalls the press handler on next use
    // (tests, after installing a new platform).
    static void resetShared();

  private:
    static void installSharedHandlerIfNeeded(const std::shared_ptr<HotKeys>& hotKeys);

    std::uint32_t id_ = 0;
    bool registered_ = false;
    // The service this key was registered with, so it is unregistered there.
    std::shared_ptr<HotKeys> hotKeys_;
};

}  // namespace vantlo
