#pragma once
// One key combination: a physical key code plus a Carbon modifier mask. The activation hot key
// and every in-panel shortcut are this value.

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "platform/KeyCodes.h"
#include "platform/KeyLabelStyle.h"
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

    // The binding as the user reads it on this platform (the installed facts' key label style;
    // glyphs before a platform is installed). Every text that shows a key goes through here.
    std::string displayString() const;
    // Glyphs: the modifier glyphs in the fixed order ⌃⌥⇧⌘, then the key name: "⌥⇥", "⌃⌥⌘W",
    // "↩". Words: the modifier names in the same order and the key name, joined by "+":
    // "Alt+Tab", "Ctrl+Alt+Super+W", "Return".
    std::string displayString(KeyLabelStyle style) const;

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

// The key label style of the installed platform's facts; glyphs when none is installed.
KeyLabelStyle shownKeyLabelStyle();

}  // namespace vantlo
