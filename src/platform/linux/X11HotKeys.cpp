#include "platform/linux/X11HotKeys.h"

#include <utility>

// xkb.h names a member "explicit", a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include "platform/ModifierFlags.h"
#include "platform/linux/XcbReply.h"

namespace vantlo {
namespace {

// Longer than any usual auto-repeat delay (X defaults to 660 ms, then 40 ms between repeats).
constexpr xcb_timestamp_t kRepeatGapMs = 1500;

std::string modifierNames(std::uint32_t carbon) {
    std::string names;
    if (carbon & CarbonModifiers::control)
        names += "Ctrl+";
    if (carbon & CarbonModifiers::option)
        names += "Alt+";
    if (carbon & CarbonModifiers::shift)
        names += "Shift+";
    if (carbon & CarbonModifiers::command)
        names += "Super+";
    return names;
}

}  // namespace

std::shared_ptr<X11HotKeys> X11HotKeys::create(std::shared_ptr<XcbConnection> connection) {
    std::shared_ptr<X11HotKeys> hotKeys(new X11HotKeys(std::move(connection)));
    hotKeys->start();
    return hotKeys;
}

X11HotKeys::X11HotKeys(std::shared_ptr<XcbConnection> connection)
    : connection_(std::move(connection)) {}

X11HotKeys::~X11HotKeys() {
    if (!connection_)
        return;
    listener_.reset();
    for (const auto& [id, grab] : grabs_)
        ungrabAll(grab);
    connection_->flush();
}

void X11HotKeys::start() {
    if (!connection_)
        return;
    keymap_ = X11Keymap::load(*connection_);
    auto* c = connection_->get();
    // Detectable auto-repeat: a held key repeats as presses without releases, so a repeat can be
    // told from a new press.
    auto xkb = own(xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, 1, 0), nullptr));
    if (xkb && xkb->supported) {
        own(xcb_xkb_per_client_flags_reply(
            c,
            xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0),
            nullptr));
    }
    std::weak_ptr<X11HotKeys> weak = weak_from_this();
    listener_ = connection_->addListener([weak](const xcb_generic_event_t& event) {
        if (auto self = weak.lock())
            self->onEvent(event);
    });
}

void X11HotKeys::setPressHandler(PressHandler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

std::vector<std::uint16_t> X11HotKeys::lockVariants() const {
    std::vector<std::uint16_t> variants{0};
    for (std::uint16_t lock : keymap_->lockMasks()) {
        std::size_t count = variants.size();
        for (std::size_t i = 0; i < count; ++i)
            variants.push_back(variants[i] | lock);
    }
    return variants;
}

bool X11HotKeys::grabAll(const Grab& grab, std::uint32_t keyCode, std::uint32_t carbonModifiers) {
    auto* c = connection_->get();
    std::vector<xcb_void_cookie_t> cookies;
    auto variants = lockVariants();
    for (std::uint16_t locks : variants) {
        cookies.push_back(xcb_grab_key_checked(c, 1, connection_->root(), grab.modifiers | locks,
                                               grab.keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
    }
    bool conflict = false;
    for (auto cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            conflict = conflict || error->error_code == XCB_ACCESS;
            std::free(error);
        }
    }
    if (!conflict)
        return true;
    ungrabAll(grab);
    bool first = false;
    {
        std::lock_guard lock(mutex_);
        first = reportedConflicts_.insert({keyCode, carbonModifiers}).second;
    }
    if (first && connection_->log()) {
        connection_->log()->write("[Vantlo] The hot key " + modifierNames(carbonModifiers) +
                                  keymap_->keyName(keyCode) +
                                  " is taken by another program; it cannot be registered");
    }
    return false;
}

void X11HotKeys::ungrabAll(const Grab& grab) {
    for (std::uint16_t locks : lockVariants())
        xcb_ungrab_key(connection_->get(), grab.keycode, connection_->root(),
                       grab.modifiers | locks);
}

bool X11HotKeys::registerHotKey(std::uint32_t id, std::uint32_t keyCode,
                                std::uint32_t carbonModifiers) {
    if (!connection_ || !keymap_)
        return false;
    auto keycode = keymap_->keycodeFor(keyCode);
    auto modifiers = keymap_->modifiersForCarbon(carbonModifiers);
    if (!keycode || !modifiers)
        return false;
    unregisterHotKey(id);
    Grab grab{*keycode, *modifiers};
    if (!grabAll(grab, keyCode, carbonModifiers)) {
        connection_->flush();
        return false;
    }
    connection_->flush();
    std::lock_guard lock(mutex_);
    grabs_[id] = grab;
    return true;
}

void X11HotKeys::unregisterHotKey(std::uint32_t id) {
    if (!connection_)
        return;
    std::optional<Grab> grab;
    {
        std::lock_guard lock(mutex_);
        auto it = grabs_.find(id);
        if (it == grabs_.end())
            return;
        grab = it->second;
        grabs_.erase(it);
        // Another registration of the same key keeps the server's grab.
        for (const auto& [other, g] : grabs_) {
            if (g.keycode == grab->keycode && g.modifiers == grab->modifiers)
                return;
        }
    }
    ungrabAll(*grab);
    connection_->flush();
}

bool X11HotKeys::matches(xcb_keycode_t keycode, std::uint16_t state) {
    if (!keymap_)
        return false;
    std::uint16_t relevant = state & keymap_->relevantMask();
    std::lock_guard lock(mutex_);
    for (const auto& [id, grab] : grabs_) {
        if (grab.keycode == keycode && grab.modifiers == relevant)
            return true;
    }
    return false;
}

std::optional<std::uint64_t> X11HotKeys::takeModifiersOfLatestPress(
    std::chrono::milliseconds maxAge) {
    std::lock_guard lock(mutex_);
    auto press = std::exchange(latestPress_, std::nullopt);
    if (!press || std::chrono::steady_clock::now() - press->at > maxAge)
        return std::nullopt;
    return press->flags;
}

void X11HotKeys::onEvent(const xcb_generic_event_t& event) {
    std::uint8_t type = event.response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return;
    const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
    std::vector<std::uint32_t> fired;
    PressHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (type == XCB_KEY_RELEASE) {
            held_.erase(key.detail);
            return;
        }
        // A second press without a release in between is the key repeating, unless the key
        // was quiet for longer than any repeat interval (its release went elsewhere).
        auto held = held_.find(key.detail);
        bool repeat = held != held_.end() && key.time - held->second < kRepeatGapMs;
        held_[key.detail] = key.time;
        if (repeat)
            return;
        std::uint16_t relevant = key.state & (keymap_ ? keymap_->relevantMask() : 0);
        for (const auto& [id, grab] : grabs_) {
            if (grab.keycode == key.detail && grab.modifiers == relevant)
                fired.push_back(id);
        }
        if (!fired.empty() && keymap_)
            latestPress_ =
                Press{keymap_->flagsForState(key.state), std::chrono::steady_clock::now()};
        handler = handler_;
    }
    if (handler) {
        for (std::uint32_t id : fired)
            handler(id);
    }
}

}  // namespace vantlo
