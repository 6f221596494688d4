#include "platform/linux/X11PanelInput.h"

#include <QGuiApplication>

#include <chrono>
#include <cmath>
#include <string>
#include <utility>

#include "platform/linux/XcbReply.h"

namespace vantlo {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);
constexpr int kGrabAttempts = 30;
// A hot-key press older than this did not summon the panel now starting.
constexpr auto kSummonPressMaxAge = std::chrono::seconds(2);
// Five beats fit in the watchdog's bound, so a busy but answering main thread never trips it.
constexpr double kHeartbeatInterval = 0.05;

double monotonicSeconds() {
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Core pointer buttons: the wheel turns arrive as presses of buttons 4 (up) and 5 (down).
constexpr std::uint8_t kPrimaryButton = 1;
constexpr std::uint8_t kSecondaryButton = 3;
constexpr std::uint8_t kWheelUp = 4;
constexpr std::uint8_t kWheelDown = 5;

std::string refusalText(std::uint8_t status) {
    switch (status) {
        case XCB_GRAB_STATUS_ALREADY_GRABBED:
            return "another program holds the keyboard";
        case XCB_GRAB_STATUS_FROZEN:
            return "another program's grab froze the keyboard";
        case XCB_GRAB_STATUS_NOT_VIEWABLE:
            return "the grab window is not viewable";
        case XCB_GRAB_STATUS_INVALID_TIME:
            return "the X server refused the grab's time";
        default:
            return "the X server did not answer the keyboard grab";
    }
}

}  // namespace

std::shared_ptr<X11PanelInput> X11PanelInput::create(std::shared_ptr<XcbConnection> connection,
                                                     std::shared_ptr<X11HotKeys> hotKeys,
                                                     std::shared_ptr<Dispatch> dispatch,
                                                     std::shared_ptr<Log> log) {
    std::shared_ptr<X11PanelInput> input(new X11PanelInput(
        std::move(connection), std::move(hotKeys), std::move(dispatch), std::move(log)));
    if (input->connection_) {
        input->keymap_ = X11Keymap::load(*input->connection_);
        input->xkbFirstEvent_ = X11Keymap::watchChanges(*input->connection_);
        std::weak_ptr<X11PanelInput> weak = input;
        input->listener_ = input->connection_->addListener([weak](const xcb_generic_event_t& e) {
            if (auto self = weak.lock())
                self->onEvent(e);
        });
    }
    return input;
}

X11PanelInput::X11PanelInput(std::shared_ptr<XcbConnection> connection,
                             std::shared_ptr<X11HotKeys> hotKeys,
                             std::shared_ptr<Dispatch> dispatch, std::shared_ptr<Log> log)
    : connection_(std::move(connection)),
      hotKeys_(std::move(hotKeys)),
      dispatch_(std::move(dispatch)),
      log_(std::move(log)) {}

X11PanelInput::~X11PanelInput() {
    stop();
    listener_.reset();
}

bool X11PanelInput::grab(xcb_window_t window) {
    auto* c = connection_->get();
    // Another client may hold the keyboard for a moment (a menu closing); try for a while.
    for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
        auto keyboard =
            own(xcb_grab_keyboard_reply(c,
                                        xcb_grab_keyboard(c, 0, window, XCB_CURRENT_TIME,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                        nullptr));
        if (keyboard && keyboard->status == XCB_GRAB_STATUS_SUCCESS)
            break;
        if (attempt + 1 == kGrabAttempts) {
            failure_ = refusalText(keyboard ? keyboard->status : 0xFF);
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    std::uint16_t mask = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_POINTER_MOTION;
    // The pointer grab may fail (another client holds it); the keyboard is what matters.
    own(xcb_grab_pointer_reply(
        c,
        xcb_grab_pointer(c, 0, window, mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE,
                         XCB_NONE, XCB_CURRENT_TIME),
        nullptr));
    return true;
}

std::shared_ptr<const X11Keymap> X11PanelInput::keymap() const {
    std::lock_guard lock(keymapMutex_);
    return keymap_;
}

void X11PanelInput::reloadKeymap() {
    std::shared_ptr<const X11Keymap> fresh = X11Keymap::load(*connection_);
    if (!fresh)
        return;
    std::lock_guard lock(keymapMutex_);
    keymap_ = std::move(fresh);
}

bool X11PanelInput::start(PanelInputEvents events, std::uint32_t panelWindow) {
    if (!connection_ || !keymap()) {
        failure_ = "no X display to take the keyboard from";
        return false;
    }
    failure_.clear();
    stop();
    // On the root: the panel is seldom mapped yet when a hot key starts it, and a grab for a
    // window that is not viewable fails. The events come to this connection either way.
    if (!grab(connection_->root()))
        return false;
    connection_->flush();
    // A quick Alt+Tab can let go of Alt before the grab: starting from the modifiers held at
    // the press, the first poll reports that release.
    std::uint64_t flags = currentFlags();
    if (hotKeys_) {
        if (auto pressed = hotKeys_->takeModifiersOfLatestPress(kSummonPressMaxAge))
            flags = *pressed;
    }
    std::lock_guard lock(mutex_);
    events_ = std::move(events);
    lastFlags_ = flags;
    running_ = true;
    panelWindow_ = panelWindow;
    std::uint64_t generation = ++generation_;
    if (dispatch_) {
        watchdog_.grabTaken(monotonicSeconds());
        beatLater(generation);
    }
    poller_ = std::thread([this, generation] { pollModifiers(generation); });
    return true;
}

void X11PanelInput::beatLater(std::uint64_t generation) {
    std::weak_ptr<X11PanelInput> weak = weak_from_this();
    dispatch_->asyncAfter(kHeartbeatInterval, [weak, generation] {
        auto self = weak.lock();
        if (!self)
            return;
        {
            std::lock_guard lock(self->mutex_);
            if (!self->running_ || self->generation_ != generation)
                return;
            self->watchdog_.heartbeat(monotonicSeconds());
        }
        self->beatLater(generation);
    });
}

void X11PanelInput::stop() {
    std::thread poller;
    {
        std::lock_guard lock(mutex_);
        if (!running_)
            return;
        running_ = false;
        events_ = {};
        watchdog_.grabGivenBack();
        poller = std::move(poller_);
    }
    stopping_.notify_all();
    // The keyboard goes back before waiting for the poller, which may be amid a round trip.
    auto* c = connection_->get();
    releaseToolkitGrab();
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    returnFocus();
    // One round trip: the server has given the keyboard back before the caller unmaps the panel,
    // whose exposures would otherwise queue ahead of other programs' grabs and keys.
    own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    // A report may lead straight to `stop` on the polling thread itself.
    if (poller.joinable() && poller.get_id() == std::this_thread::get_id())
        poller.detach();
    else if (poller.joinable())
        poller.join();
}

bool X11PanelInput::isViewable(xcb_window_t window) {
    auto* c = connection_->get();
    auto attributes =
        own(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool X11PanelInput::focusPanelWindow(std::uint32_t panelWindow) {
    {
        std::lock_guard lock(mutex_);
        if (!running_ || !connection_ || panelWindow == 0)
            return false;
    }
    // Focus given to a window that is not viewable fails, and the keys would reach the window
    // below: the keyboard stays held until the panel is on screen.
    if (!isViewable(panelWindow))
        return false;
    auto* c = connection_->get();
    auto focus = own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    xcb_window_t before = focus ? focus->focus : XCB_NONE;
    // None, PointerRoot and the root are no window to give the focus back to.
    if (before == XCB_NONE || before == XCB_INPUT_FOCUS_POINTER_ROOT ||
        before == connection_->root())
        before = 0;
    // Told when the focus leaves the panel: a window manager focuses a window that appears
    // while the user types, and without a grab the panel would hear no key again.
    std::uint32_t focusChanges = XCB_EVENT_MASK_FOCUS_CHANGE;
    xcb_change_window_attributes(c, panelWindow, XCB_CW_EVENT_MASK, &focusChanges);
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, panelWindow, XCB_CURRENT_TIME);
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    // The round trip makes sure the server let go before the toolkit asks for the keyboard.
    own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    bool toolkitHolds = grabForToolkit(panelWindow);
    std::lock_guard lock(mutex_);
    if (focusedPanel_ == 0)
        focusBefore_ = before;
    focusedPanel_ = panelWindow;
    toolkitHolds_ = toolkitHolds;
    return true;
}

// Between a window manager giving the focus to a new window and the panel taking it back, keys
// would reach that window: the toolkit's own connection holds the keyboard for the panel
// (keys for its windows arrive as usual, the input method's included; the rest at the panel).
bool X11PanelInput::grabForToolkit(xcb_window_t panelWindow) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* toolkit = x11 ? x11->connection() : nullptr;
    if (toolkit == nullptr)
        return false;
    auto grab =
        own(xcb_grab_keyboard_reply(toolkit,
                                    xcb_grab_keyboard(toolkit, 1, panelWindow, XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr));
    return grab && grab->status == XCB_GRAB_STATUS_SUCCESS;
}

void X11PanelInput::releaseToolkitGrab() {
    bool held = false;
    {
        std::lock_guard lock(mutex_);
        held = std::exchange(toolkitHolds_, false);
    }
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!held || x11 == nullptr || x11->connection() == nullptr)
        return;
    xcb_connection_t* toolkit = x11->connection();
    xcb_ungrab_keyboard(toolkit, XCB_CURRENT_TIME);
    // Given back before the caller goes on, as the panel input's own grab is.
    own(xcb_get_input_focus_reply(toolkit, xcb_get_input_focus(toolkit), nullptr));
}

void X11PanelInput::takeFocusBack(const xcb_focus_out_event_t& event) {
    // A grab's own focus changes (a hot key pressed) give the focus back by themselves, and a
    // child of the panel holding it is the panel still.
    if (event.mode == XCB_NOTIFY_MODE_GRAB || event.mode == XCB_NOTIFY_MODE_UNGRAB ||
        event.detail == XCB_NOTIFY_DETAIL_INFERIOR) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (!running_ || focusedPanel_ == 0 || focusedPanel_ != event.event)
            return;
    }
    auto* c = connection_->get();
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, event.event, XCB_CURRENT_TIME);
    connection_->flush();
}

void X11PanelInput::returnFocus() {
    xcb_window_t panel = 0, before = 0;
    {
        std::lock_guard lock(mutex_);
        panel = std::exchange(focusedPanel_, 0);
        before = std::exchange(focusBefore_, 0);
    }
    if (panel == 0)
        return;
    auto* c = connection_->get();
    auto focus = own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    // Someone else moved the focus meanwhile (the window manager, a window chosen): leave it.
    if (!focus || focus->focus != panel)
        return;
    // A window minimised or closed meanwhile cannot take it: the focus then follows the
    // pointer, as with no window before.
    if (before != 0 && isViewable(before)) {
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, before, XCB_CURRENT_TIME);
    } else {
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT,
                            XCB_CURRENT_TIME);
    }
}

std::uint64_t X11PanelInput::currentFlags() {
    auto map = connection_ ? keymap() : nullptr;
    if (!map)
        return 0;
    auto* c = connection_->get();
    auto keys = own(xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr));
    return keys ? map->flagsForPressedKeys(keys->keys) : 0;
}

void X11PanelInput::checkModifiers() {
    std::uint64_t flags = currentFlags();
    std::function<void(std::uint64_t)> report;
    {
        std::lock_guard lock(mutex_);
        if (!running_ || flags == lastFlags_)
            return;
        lastFlags_ = flags;
        report = events_.onFlagsChanged;
    }
    if (report)
        report(flags);
}

void X11PanelInput::pollModifiers(std::uint64_t generation) {
    std::unique_lock lock(mutex_);
    // A poller left behind by a stop on its own thread ends as soon as it wakes.
    auto current = [&] { return running_ && generation_ == generation; };
    while (current()) {
        stopping_.wait_for(lock, kPollInterval, [&] { return !current(); });
        if (!current())
            return;
        const double now = monotonicSeconds();
        const double silence = watchdog_.silence(now);
        const bool giveBack = watchdog_.shouldGiveBack(now);
        lock.unlock();
        if (giveBack)
            giveBackForSilentMainThread(generation, silence);
        else
            checkModifiers();
        lock.lock();
    }
}

void X11PanelInput::giveBackForSilentMainThread(std::uint64_t generation, double silence) {
    std::function<void()> lost;
    {
        // Under the lock: a `stop` and a new `start` cannot slip in between, so only the grab
        // the watchdog judged is given back.
        std::lock_guard lock(mutex_);
        if (!running_ || generation_ != generation)
            return;
        // Nothing more is reported: what the user types now is meant for other programs.
        lost = std::move(events_.onGrabLost);
        events_ = {};
        // This connection holds the grabs (the hot key's passive one included), so it can end
        // them while the main thread is stuck; the panel bypasses the window manager, so
        // unmapping it takes it off the screen at once.
        auto* c = connection_->get();
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
        if (panelWindow_ != 0)
            xcb_unmap_window(c, panelWindow_);
        connection_->flush();
    }
    if (log_) {
        log_->write("[Vantlo] The program did not answer for " +
                    std::to_string(std::lround(silence * 1000)) +
                    " ms while the switcher held the keyboard: gave the keyboard and pointer "
                    "back and hid the switcher");
    }
    if (lost)
        lost();
}

void X11PanelInput::onEvent(const xcb_generic_event_t& event) {
    // Whether or not the panel shows: the next showing needs the layout of then.
    if (X11Keymap::isChangeEvent(event, xkbFirstEvent_)) {
        reloadKeymap();
        return;
    }
    std::uint8_t type = event.response_type & 0x7f;
    PanelInputEvents events;
    {
        std::lock_guard lock(mutex_);
        if (!running_)
            return;
        events = events_;
    }
    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
        const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
        auto map = keymap();
        if (map->isModifierKey(key.detail)) {
            checkModifiers();
            return;
        }
        if (type == XCB_KEY_RELEASE || (hotKeys_ && hotKeys_->matches(key.detail, key.state)))
            return;
        if (events.onKeyDown) {
            auto code = map->macKeyCodeFor(key.detail).value_or(kUnknownKeyCode);
            events.onKeyDown(code, map->flagsForState(key.state),
                             map->characters(key.detail, key.state));
        }
    } else if (type == XCB_FOCUS_OUT) {
        takeFocusBack(reinterpret_cast<const xcb_focus_out_event_t&>(event));
    } else if (type == XCB_BUTTON_PRESS) {
        reportButton(reinterpret_cast<const xcb_button_press_event_t&>(event), events);
    } else if (type == XCB_MOTION_NOTIFY) {
        const auto& motion = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
        if (events.onMouseMoved)
            events.onMouseMoved(Point{double(motion.root_x), double(motion.root_y)});
    }
}

void X11PanelInput::reportButton(const xcb_button_press_event_t& button,
                                 const PanelInputEvents& events) {
    const Point at{double(button.root_x), double(button.root_y)};
    switch (button.detail) {
        case kPrimaryButton:
        case kSecondaryButton:
            if (events.onMouseDown)
                events.onMouseDown(at, button.detail == kPrimaryButton ? MouseButton::primary
                                                                       : MouseButton::secondary);
            break;
        case kWheelUp:
        case kWheelDown:
            if (events.onScroll)
                events.onScroll(at, button.detail == kWheelDown ? 1.0 : -1.0);
            break;
        default:
            break;  // the middle button and sideways wheel turns mean nothing to the panel
    }
}

std::string X11PanelInput::failureReason() const {
    return failure_;
}

}  // namespace vantlo
