#pragma once
// An Accessibility element of the X11 backend: an application (a process), one of its managed
// windows, or that window's close button. Window elements made by a listing carry the facts read
// with it for a moment, so reading a listing's titles costs no further requests.

#include <xcb/xcb.h>

#include <chrono>
#include <optional>

#include "platform/Accessibility.h"
#include "platform/linux/X11WindowList.h"

namespace vantlo {

class X11Element : public AXElement {
  public:
    enum class Kind { application, window, closeButton };

    X11Element(Kind kind, Pid pid, xcb_window_t window = XCB_NONE,
               std::optional<X11Window> facts = std::nullopt)
        : kind(kind),
          pid(pid),
          window(window),
          facts(std::move(facts)),
          readAt(std::chrono::steady_clock::now()) {}

    const Kind kind;
    const Pid pid;
    const xcb_window_t window;
    const std::optional<X11Window> facts;
    const std::chrono::steady_clock::time_point readAt;
};

}  // namespace vantlo
