#pragma once
// One key combination: a physical key code plus a Carbon modifier mask. The activation hot key
// and every in-panel shortcut are this value.

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"

namespace vantlo {

struct HotkeyConfig {
    std::uint32_t keyCode = 0;
    std::uint32_t carbonModifiers = 0;

    // Option+Tab, the activation hot key until the user picks another.
    static constexpr HotkeyConfig defaultActivation() {
        return {KeyCode::tab, CarbonModifiers::option};
    }

    bool operator==(const HotkeyConfig&) const = default;

    // Modifier glyphs in the fixed order ⌃⌥⇧⌘, then the key name: "⌥⇥", "⌃⌥⌘W", "↩".
    std::string displayString() const;

    // Whether a key event triggers this binding: same key, and the event's shift, control,
    // option and command converted to Carbon bits equal the mask exactly. An event without any
    // of those modifiers only takes part for arrows, Return, Tab and Escape.
    bool matchesEvent(std::uint32_t eventKeyCode, std::uint64_t eventFlags) const;

    // The persisted form: {"keyCode": n, "carbonModifiers": m}.
    nlohmann::json toJson() const;
    // Both members must be present and be unsigned 32-bit integers; anything else is nothing.
    static std::optional<HotkeyConfig> fromJson(const nlohmann::json& json);

    std::string encode() const;
    // Malformed JSON decodes to nothing.
    static std::optional<HotkeyConfig> decode(std::string_view text);
};

}  // namespace vantlo
