#include "platform/Defaults.h"

namespace vantlo {

std::optional<std::string> Defaults::string(const std::string& key) const {
    auto value = object(key);
    return value ? value->asString() : std::nullopt;
}

std::optional<bool> Defaults::boolean(const std::string& key) const {
    auto value = object(key);
    return value ? value->asBool() : std::nullopt;
}

std::optional<std::int64_t> Defaults::integer(const std::string& key) const {
    auto value = object(key);
    return value ? value->asInteger() : std::nullopt;
}

std::optional<double> Defaults::real(const std::string& key) const {
    auto value = object(key);
    return value ? value->asReal() : std::nullopt;
}

std::optional<Data> Defaults::data(const std::string& key) const {
    auto value = object(key);
    return value ? value->asData() : std::nullopt;
}

std::optional<std::vector<std::string>> Defaults::stringArray(const std::string& key) const {
    auto value = object(key);
    return value ? value->asStringArray() : std::nullopt;
}

std::optional<PropertyDictionary> Defaults::dictionary(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->asDictionary())
        return std::nullopt;
    return *value->asDictionary();
}

}  // namespace vantlo
