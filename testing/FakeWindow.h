#pragma once
// One window of a fake application, as its Accessibility element and the window server see it.
// Built by tests with designated initializers:
//
//   fake.addWindow(editor, {.title = "Save changes?", .subrole = AX::dialogSubrole});

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/AXNames.h"
#include "platform/Geometry.h"
#include "platform/RunningApplication.h"
#include "testing/FakeAXNode.h"

namespace vantlo {

struct FakeWindow {
    enum class CloseButton {
        enabled,         // a close button whose AXEnabled is true
        disabled,        // a close button whose AXEnabled is false
        missingEnabled,  // a close button without an AXEnabled attribute
        none,            // no AXCloseButton at all
    };

    // AXTitle; nothing reads as "no value".
    std::optional<std::string> title{};
    bool minimized = false;
    CloseButton closeButton = CloseButton::enabled;
    // AXSubrole: AXStandardWindow, AXDialog, AXSystemDialog, AXSheet, ...
    std::string subrole = AX::standardWindowSubrole;
    // The window shows a sheet (its AXSheet attribute has a value).
    bool hasSheet = false;
    // Pressing the close button does nothing (an unsaved-changes prompt, say).
    bool refusesClose = false;
    // Capture of its pixels fails (protected content).
    bool capturable = true;
    // The element-to-window-number call fails for this window.
    bool hidesNumber = false;
    Rect bounds{100, 100, 800, 600};
    // Attributes that answer "unsupported" whatever the fields above say.
    std::set<std::string, std::less<>> unsupportedAttributes{};
    // Values that replace what the fields above would answer (a title that is not a string, ...).
    std::map<std::string, AXValue, std::less<>> attributes{};
    // The window's AXChildren (browser tab strips and the like).
    std::vector<FakeAXNode::Ref> content{};

    // Filled by the fake desktop.
    std::uint32_t number = 0;
    Pid pid = 0;
    bool main = false;
    bool focused = false;
    bool closed = false;
};

}  // namespace vantlo
