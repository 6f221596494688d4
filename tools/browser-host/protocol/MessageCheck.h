#pragma once
// The checks a message passes before the host relays it: well-formed JSON of bounded nesting,
// an object of a known kind with fields of the right types. What fails is refused with a reason
// fit for a log line; nothing here throws.

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace vantlo::bridge {

struct CheckedMessage {
    std::optional<nlohmann::json> value;  // the message when it passed
    std::string error;                    // why it was refused otherwise

    bool ok() const { return value.has_value(); }
};

namespace MessageCheck {

// Deep enough for a tab list (reply, result, windows, window, tabs, tab); far below what could
// exhaust the stack of anything that walks the value.
inline constexpr int kMaxNesting = 16;

// From the extension: {"type":"hello"}, {"type":"reply","id":N,"ok":bool,...} or
// {"type":"event","event":"changed"|"focus",...}.
CheckedMessage browserMessage(std::string_view payload);
// From Vantlo: {"id":N,"command":"list"|"activate"|"focusWindow"|"close"} with the integer
// "tabId" or "windowId" the command needs. The checked value holds only the known fields.
CheckedMessage vantloRequest(std::string_view payload);

}  // namespace MessageCheck
}  // namespace vantlo::bridge
