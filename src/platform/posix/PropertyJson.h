#pragma once
// Typed property values as JSON, without losing their type: booleans, integers, reals and strings
// are natural JSON; data and dates, which JSON has no type for, are one-key tagged objects
// ({"$data": base64}, {"$date": seconds since 1970}), and so are reals JSON cannot spell
// ({"$real": "nan" | "inf" | "-inf"}). A dictionary that would itself look like a tag (exactly
// one key, starting with "$") is wrapped as {"$dict": {...}}, so every value reads back as
// exactly what was written.

#include <nlohmann/json.hpp>

#include "platform/PropertyValue.h"

namespace vantlo::PropertyJson {

nlohmann::json encode(const PropertyValue& value);

// Any JSON reads as some value: null reads as nothing, a tag with a malformed payload as the
// plain dictionary it spells.
std::optional<PropertyValue> decode(const nlohmann::json& json);

std::string base64Encode(const std::vector<std::uint8_t>& bytes);
// Nothing when `text` is not canonical-alphabet base64 (padding optional, no whitespace).
std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text);

}  // namespace vantlo::PropertyJson
