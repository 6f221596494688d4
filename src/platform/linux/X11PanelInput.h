#pragma once
// The panel's input on X11: while the panel shows, the keyboard and the pointer are grabbed and
// key presses, modifier changes, clicks and pointer moves are reported. Modifier releases come
// from KeyRelease events and, as a safety net against lost releases, from a 10 ms XQueryKeymap
// poll. Keys that are registered hot keys are left to the hot-key handler. Wheel turns, which X
// reports as presses of buttons 4 and 5, are reported as scrolling, not as clicks. Handed to the
// panel window for typing, the keyboard grab ends and the X input focus moves to the panel (an
// override-redirect window may take it) and stays there while the input lasts (a window that
// appears meanwhile does not keep it); the focus goes back to the window that had it when the
// input stops. A change of keyboard layout while the panel shows loads the new map, so keys keep
// their positions and typed text follows the layout.
//
// The polling thread is also the grab's watchdog: the main queue beats every 50 ms while the
// grab is held, and when it has not for 250 ms (the main thread hangs) the keyboard and pointer
// are given back and the panel window is unmapped from here, on the connection that holds the
// grab, with one log line. The receiver hears `onGrabLost`.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/Dispatch.h"
#include "platform/GrabWatchdog.h"
#include "platform/Log.h"
#include "platform/PanelInput.h"
#include "platform/linux/X11HotKeys.h"
#include "platform/linux/X11Keymap.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

// The key code reported for a key that has no macOS key code (its characters still count).
inline constexpr std::uint16_t kUnknownKeyCode = 0xFFFF;

class X11PanelInput : public PanelInput, public std::enable_shared_from_this<X11PanelInput> {
  public:
    // Without `dispatch` there is no watchdog (nothing beats).
    static std::shared_ptr<X11PanelInput> create(std::shared_ptr<XcbConnection> connection,
                                                 std::shared_ptr<X11HotKeys> hotKeys,
                                                 std::shared_ptr<Dispatch> dispatch = nullptr,
                                                 std::shared_ptr<Log> log = nullptr);
    ~X11PanelInput() override;

    bool start(PanelInputEvents events, std::uint32_t panelWindow) override;
    void stop() override;
    std::uint64_t currentFlags() override;
    std::string failureReason() const override;
    bool focusPanelWindow(std::uint32_t panelWindow) override;

  private:
    X11PanelInput(std::shared_ptr<XcbConnection> connection, std::shared_ptr<X11HotKeys> hotKeys,
                  std::shared_ptr<Dispatch> dispatch, std::shared_ptr<Log> log);
    bool grab(xcb_window_t window);
    // Schedules the main queue's next beat for the grab of `generation`.
    void beatLater(std::uint64_t generation);
    // Gives the input back and hides the panel for a main thread silent for `silence` seconds.
    void giveBackForSilentMainThread(std::uint64_t generation, double silence);
    void onEvent(const xcb_generic_event_t& event);
    void reportButton(const xcb_button_press_event_t& button, const PanelInputEvents& events);
    void pollModifiers(std::uint64_t generation);
    // Reads the held modifiers and reports them when they changed.
    void checkModifiers();
    std::shared_ptr<const X11Keymap> keymap() const;
    void reloadKeymap();
    bool isViewable(xcb_window_t window);
    // The focus back to the window that had it before the panel, unless it moved on since.
    void returnFocus();
    // While the user types, the focus stays on the panel.
    void takeFocusBack(const xcb_focus_out_event_t& event);
    bool grabForToolkit(xcb_window_t panelWindow);
    void releaseToolkitGrab();

    std::shared_ptr<XcbConnection> connection_;
    std::shared_ptr<X11HotKeys> hotKeys_;
    std::shared_ptr<Dispatch> dispatch_;
    std::shared_ptr<Log> log_;
    mutable std::mutex keymapMutex_;
    std::shared_ptr<const X11Keymap> keymap_;
    std::uint8_t xkbFirstEvent_ = 0;
    // Why the last start failed (main thread only).
    std::string failure_;
    Subscription listener_;

    std::mutex mutex_;
    std::condition_variable stopping_;
    bool running_ = false;
    PanelInputEvents events_;
    std::uint64_t lastFlags_ = 0;
    std::uint64_t generation_ = 0;
    std::uint32_t panelWindow_ = 0;
    GrabWatchdog watchdog_;
    // The panel window holding the focus, and the window that had it before (0: none).
    xcb_window_t focusedPanel_ = 0;
    xcb_window_t focusBefore_ = 0;
    // Whether the toolkit's connection holds the keyboard for the panel.
    bool toolkitHolds_ = false;
    std::thread poller_;
};

}  // namespace vantlo
