#include "platform/posix/PropertyJson.h"

#include <array>
#include <cmath>
#include <limits>

namespace vantlo::PropertyJson {
namespace {

constexpr const char* kDataTag = "$data";
constexpr const char* kDateTag = "$date";
constexpr const char* kRealTag = "$real";
constexpr const char* kDictTag = "$dict";

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Digit(char c) {
    auto at = kAlphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

bool looksLikeTag(const PropertyDictionary& dictionary) {
    return dictionary.size() == 1 && dictionary.begin()->first.starts_with('$');
}

nlohmann::json encodeReal(double real) {
    if (std::isfinite(real))
        return real;
    if (std::isnan(real))
        return {{kRealTag, "nan"}};
    return {{kRealTag, real > 0 ? "inf" : "-inf"}};
}

nlohmann::json encodeDictionary(const PropertyDictionary& dictionary) {
    auto object = nlohmann::json::object();
    for (const auto& [key, value] : dictionary)
        object[key] = encode(value);
    if (looksLikeTag(dictionary))
        return {{kDictTag, std::move(object)}};
    return object;
}

std::optional<PropertyValue> decodeReal(const nlohmann::json& payload) {
    if (!payload.is_string())
        return std::nullopt;
    auto text = payload.get<std::string>();
    if (text == "nan")
        return PropertyValue(std::numeric_limits<double>::quiet_NaN());
    if (text == "inf")
        return PropertyValue(std::numeric_limits<double>::infinity());
    if (text == "-inf")
        return PropertyValue(-std::numeric_limits<double>::infinity());
    return std::nullopt;
}

PropertyDictionary decodeMembers(const nlohmann::json& object) {
    PropertyDictionary dictionary;
    for (const auto& [key, member] : object.items()) {
        if (auto value = decode(member))
            dictionary.emplace(key, std::move(*value));
    }
    return dictionary;
}

// The value a one-key tagged object stands for, or nothing when it is not a well-formed tag.
std::optional<PropertyValue> decodeTag(const std::string& tag, const nlohmann::json& payload) {
    if (tag == kDataTag && payload.is_string()) {
        if (auto bytes = base64Decode(payload.get_ref<const std::string&>()))
            return PropertyValue(Data{std::move(*bytes)});
        return std::nullopt;
    }
    if (tag == kDateTag && payload.is_number())
        return PropertyValue(Date{payload.get<double>()});
    if (tag == kRealTag)
        return decodeReal(payload);
    if (tag == kDictTag && payload.is_object())
        return PropertyValue(decodeMembers(payload));
    return std::nullopt;
}

PropertyValue decodeUnsigned(std::uint64_t number) {
    if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return PropertyValue(static_cast<std::int64_t>(number));
    return PropertyValue(static_cast<double>(number));
}

}  // namespace

nlohmann::json encode(const PropertyValue& value) {
    return std::visit(
        [](const auto& v) -> nlohmann::json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::int64_t> ||
                          std::is_same_v<T, std::string>) {
                return v;
            } else if constexpr (std::is_same_v<T, double>) {
                return encodeReal(v);
            } else if constexpr (std::is_same_v<T, Data>) {
                return {{kDataTag, base64Encode(v.bytes)}};
            } else if constexpr (std::is_same_v<T, Date>) {
                return {{kDateTag, v.secondsSince1970}};
            } else if constexpr (std::is_same_v<T, PropertyArray>) {
                auto array = nlohmann::json::array();
                for (const auto& element : v)
                    array.push_back(encode(element));
                return array;
            } else {
                return encodeDictionary(v);
            }
        },
        value.storage());
}

std::optional<PropertyValue> decode(const nlohmann::json& json) {
    switch (json.type()) {
        case nlohmann::json::value_t::boolean:
            return PropertyValue(json.get<bool>());
        case nlohmann::json::value_t::number_integer:
            return PropertyValue(json.get<std::int64_t>());
        case nlohmann::json::value_t::number_unsigned:
            return decodeUnsigned(json.get<std::uint64_t>());
        case nlohmann::json::value_t::number_float:
            return PropertyValue(json.get<double>());
        case nlohmann::json::value_t::string:
            return PropertyValue(json.get<std::string>());
        case nlohmann::json::value_t::array: {
            PropertyArray array;
            for (const auto& element : json) {
                if (auto value = decode(element))
                    array.push_back(std::move(*value));
            }
            return PropertyValue(std::move(array));
        }
        case nlohmann::json::value_t::object: {
            if (json.size() == 1) {
                auto it = json.begin();
                if (auto tagged = decodeTag(it.key(), it.value()))
                    return tagged;
            }
            return PropertyValue(decodeMembers(json));
        }
        default:
            return std::nullopt;
    }
}

std::string base64Encode(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t chunk = std::uint32_t{bytes[i]} << 16;
        if (i + 1 < bytes.size())
            chunk |= std::uint32_t{bytes[i + 1]} << 8;
        if (i + 2 < bytes.size())
            chunk |= bytes[i + 2];
        text += kAlphabet[(chunk >> 18) & 63];
        text += kAlphabet[(chunk >> 12) & 63];
        text += i + 1 < bytes.size() ? kAlphabet[(chunk >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kAlphabet[chunk & 63] : '=';
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text) {
    while (!text.empty() && text.back() == '=' && text.size() % 4 != 1)
        text.remove_suffix(1);
    if (text.size() % 4 == 1)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 3 / 4);
    std::uint32_t buffer = 0;
    int bits = 0;
    for (char c : text) {
        int digit = base64Digit(c);
        if (digit < 0)
            return std::nullopt;
        buffer = (buffer << 6) | static_cast<std::uint32_t>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<std::uint8_t>((buffer >> bits) & 0xFF));
        }
    }
    return bytes;
}

}  // namespace vantlo::PropertyJson
