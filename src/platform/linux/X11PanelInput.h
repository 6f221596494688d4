#pragma once
// The panel's input on X11: while the panel shows, the keyboard and the pointer are grabbed and
// key presses, modifier changes, clicks and pointer moves are reported. Modifier releases come
// from KeyRelease events and, as a safety net against lost releases, from a 10 ms XQueryKeymap
// poll. Keys that are registered hot keys are left to the hot-key handler. Wheel turns, which X
// reports as presses of buttons 4 and 5, are reported as scrolling, not as clicks.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/PanelInput.h"
#include "platform/linux/X11HotKeys.h"
#include "platform/linux/X11Keymap.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

// The key code reported for a key that has no macOS key code (its characters still count).
inline constexpr std::uint16_t kUnknownKeyCode = 0xFFFF;

class X11PanelInput : public PanelInput, public std::enable_shared_from_this<X11PanelInput> {
  public:
    static std::shared_ptr<X11PanelInput> create(std::shared_ptr<XcbConnection> connection,
                                                 std::shared_ptr<X11HotKeys> hotKeys);
    ~X11PanelInput() override;

    bool start(PanelInputEvents events, std::uint32_t panelWindow) override;
    void stop() override;
    std::uint64_t currentFlags() override;
    std::string failureReason() const override;

  private:
    X11PanelInput(std::shared_ptr<XcbConnection> connection, std::shared_ptr<X11HotKeys> hotKeys);
    bool grab(xcb_window_t window);
    void onEvent(const xcb_generic_event_t& event);
    void reportButton(const xcb_button_press_event_t& button, const PanelInputEvents& events);
    void pollModifiers(std::uint64_t generation);
    // Reads the held modifiers and reports them when they changed.
    void checkModifiers();

    std::shared_ptr<XcbConnection> connection_;
    std::shared_ptr<X11HotKeys> hotKeys_;
    std::unique_ptr<X11Keymap> keymap_;
    // Why the last start failed (main thread only).
    std::string failure_;
    Subscription listener_;

    std::mutex mutex_;
    std::condition_variable stopping_;
    bool running_ = false;
    PanelInputEvents events_;
    std::uint64_t lastFlags_ = 0;
    std::uint64_t generation_ = 0;
    std::thread poller_;
};

}  // namespace vantlo
