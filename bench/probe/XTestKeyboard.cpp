#include "XTestKeyboard.h"

#include <xcb/xtest.h>

#include <cstdlib>

namespace vantlo::probe {

XTestKeyboard::XTestKeyboard(xcb_connection_t* connection) : connection_(connection) {
    if (!connection_)
        return;
    auto* extension = xcb_get_extension_data(connection_, &xcb_test_id);
    if (!extension || !extension->present)
        return;
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* mapping = xcb_get_keyboard_mapping_reply(
        connection_,
        xcb_get_keyboard_mapping(connection_, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr);
    if (!mapping)
        return;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping);
    const int perCode = mapping->keysyms_per_keycode;
    for (int code = 0; code < count; ++code) {
        for (int column = 0; column < perCode; ++column) {
            const xcb_keysym_t sym = syms[code * perCode + column];
            // The first key found for a symbol wins, as a user reaches for the plain key.
            if (sym != 0 && !keycodes_.count(sym))
                keycodes_[sym] = static_cast<xcb_keycode_t>(setup->min_keycode + code);
        }
    }
    std::free(mapping);
    usable_ = true;
}

bool XTestKeyboard::send(std::uint8_t type, std::uint32_t keysym) {
    auto found = keycodes_.find(keysym);
    if (!usable_ || found == keycodes_.end())
        return false;
    xcb_test_fake_input(connection_, type, found->second, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
    return true;
}

bool XTestKeyboard::press(std::uint32_t keysym) {
    return send(XCB_KEY_PRESS, keysym);
}

bool XTestKeyboard::release(std::uint32_t keysym) {
    return send(XCB_KEY_RELEASE, keysym);
}

}  // namespace vantlo::probe
