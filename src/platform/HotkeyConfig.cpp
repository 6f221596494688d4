#include "platform/HotkeyConfig.h"

#include <limits>
#include <nlohmann/json.hpp>

#include "platform/KeyCodeNames.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {

constexpr const char* keyCodeMember = "keyCode";
constexpr const char* modifiersMember = "carbonModifiers";

std::optional<std::uint32_t> unsigned32Member(const nlohmann::json& object, const char* name) {
    auto it = object.find(name);
    if (it == object.end() || !it->is_number_unsigned())
        return std::nullopt;
    auto value = it->get<std::uint64_t>();
    if (value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::string HotkeyConfig::displayString() const {
    return displayString(shownKeyLabelStyle());
}

std::string HotkeyConfig::displayString(KeyLabelStyle style) const {
    const std::string modifiers = KeyCodeNames::modifierNames(carbonModifiers, style);
    const std::string key = KeyCodeNames::name(keyCode, style);
    if (style == KeyLabelStyle::words && !modifiers.empty())
        return modifiers + "+" + key;
    return modifiers + key;
}

KeyLabelStyle shownKeyLabelStyle() {
    return hasPlatform() ? platform().facts.keyLabelStyle : KeyLabelStyle::glyphs;
}

bool HotkeyConfig::matchesEvent(std::uint32_t eventKeyCode, std::uint64_t eventFlags) const {
    if (eventKeyCode != keyCode)
        return false;
    auto eventModifiers = carbonFlags(eventFlags & ModifierFlags::relevantMask);
    if (eventModifiers == CarbonModifiers::none && !KeyCode::isPlainBindableKey(eventKeyCode))
        return false;
    return eventModifiers == carbonModifiers;
}

nlohmann::json HotkeyConfig::toJson() const {
    return nlohmann::json{{keyCodeMember, keyCode}, {modifiersMember, carbonModifiers}};
}

std::optional<HotkeyConfig> HotkeyConfig::fromJson(const nlohmann::json& json) {
    if (!json.is_object())
        return std::nullopt;
    auto code = unsigned32Member(json, keyCodeMember);
    auto modifiers = unsigned32Member(json, modifiersMember);
    if (!code || !modifiers)
        return std::nullopt;
    return HotkeyConfig{*code, *modifiers};
}

std::string HotkeyConfig::encode() const {
    return toJson().dump();
}

std::optional<HotkeyConfig> HotkeyConfig::decode(std::string_view text) {
    auto json = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (json.is_discarded())
        return std::nullopt;
    return fromJson(json);
}

}  // namespace vantlo
