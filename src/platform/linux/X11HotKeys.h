#pragma once
// System-wide hot keys on X11: XGrabKey on the root window for the key with its modifiers and
// each combination of the lock modifiers (CapsLock, NumLock, ScrollLock), so the key works
// whichever locks are on. A combination another program holds is refused and logged once by
// name. Presses (not auto-repeats, not releases) reach the handler on the event thread.

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "platform/HotKeys.h"
#include "platform/linux/X11Keymap.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

class X11HotKeys : public HotKeys, public std::enable_shared_from_this<X11HotKeys> {
  public:
    static std::shared_ptr<X11HotKeys> create(std::shared_ptr<XcbConnection> connection);
    ~X11HotKeys() override;

    void setPressHandler(PressHandler handler) override;
    bool registerHotKey(std::uint32_t id, std::uint32_t keyCode,
                        std::uint32_t carbonModifiers) override;
    void unregisterHotKey(std::uint32_t id) override;

    // Whether a key event is one of the registered hot keys (the panel's input leaves those to
    // the hot-key handler).
    bool matches(xcb_keycode_t keycode, std::uint16_t state);
    const X11Keymap* keymap() const { return keymap_.get(); }
    // The modifier flags held at the latest hot-key press within `maxAge`, handed out once. The
    // panel a press summons starts from them, so a modifier released before the panel could
    // listen still counts as a release.
    std::optional<std::uint64_t> takeModifiersOfLatestPress(std::chrono::milliseconds maxAge);

  private:
    struct Grab {
        xcb_keycode_t keycode;
        std::uint16_t modifiers;
    };

    explicit X11HotKeys(std::shared_ptr<XcbConnection> connection);
    void start();
    void onEvent(const xcb_generic_event_t& event);
    // Grabs every lock variant; on a conflict releases what it took and answers false.
    bool grabAll(const Grab& grab, std::uint32_t keyCode, std::uint32_t carbonModifiers);
    void ungrabAll(const Grab& grab);
    std::vector<std::uint16_t> lockVariants() const;

    std::shared_ptr<XcbConnection> connection_;
    std::unique_ptr<X11Keymap> keymap_;
    Subscription listener_;
    std::mutex mutex_;
    PressHandler handler_;
    std::map<std::uint32_t, Grab> grabs_;
    // Keys pressed and not yet released, with the server time they were last seen.
    std::map<xcb_keycode_t, xcb_timestamp_t> held_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> reportedConflicts_;
    struct Press {
        std::uint64_t flags;
        std::chrono::steady_clock::time_point at;
    };
    std::optional<Press> latestPress_;
};

}  // namespace vantlo
