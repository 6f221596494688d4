#pragma once
// Key presses as a user's keyboard makes them, through the XTEST extension (what xdotool sends):
// the server treats them like real hardware events, so passive grabs such as a hot key fire.

#include <xcb/xcb.h>

#include <cstdint>
#include <map>

namespace vantlo::probe {

namespace Keysym {
constexpr std::uint32_t altLeft = 0xffe9;
constexpr std::uint32_t tab = 0xff09;
constexpr std::uint32_t escape = 0xff1b;
}  // namespace Keysym

class XTestKeyboard {
  public:
    // Reads the keyboard mapping once; `usable()` is false without XTEST.
    explicit XTestKeyboard(xcb_connection_t* connection);

    bool usable() const { return usable_; }
    // Sends the press or release of the key producing `keysym` and flushes; false when no key
    // produces it.
    bool press(std::uint32_t keysym);
    bool release(std::uint32_t keysym);
    bool tap(std::uint32_t keysym) { return press(keysym) && release(keysym); }

  private:
    bool send(std::uint8_t type, std::uint32_t keysym);

    xcb_connection_t* connection_;
    bool usable_ = false;
    std::map<std::uint32_t, xcb_keycode_t> keycodes_;
};

}  // namespace vantlo::probe
