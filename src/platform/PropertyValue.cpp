#include "platform/PropertyValue.h"

#include <cmath>

namespace vantlo {

std::optional<std::string> PropertyValue::asString() const {
    if (auto* s = std::get_if<std::string>(&storage_))
        return *s;
    return std::nullopt;
}

std::optional<bool> PropertyValue::asBool() const {
    if (auto* b = std::get_if<bool>(&storage_))
        return *b;
    if (auto* i = std::get_if<std::int64_t>(&storage_)) {
        if (*i == 0 || *i == 1)
            return *i == 1;
    }
    if (auto* d = std::get_if<double>(&storage_)) {
        if (*d == 0.0 || *d == 1.0)
            return *d == 1.0;
    }
    return std::nullopt;
}

std::optional<std::int64_t> PropertyValue::asInteger() const {
    if (auto* i = std::get_if<std::int64_t>(&storage_))
        return *i;
    if (auto* d = std::get_if<double>(&storage_)) {
        if (std::isfinite(*d) && std::floor(*d) == *d && std::fabs(*d) < 9.0e18)
            return static_cast<std::int64_t>(*d);
    }
    return std::nullopt;
}

std::optional<double> PropertyValue::asReal() const {
    if (auto* d = std::get_if<double>(&storage_))
        return *d;
    if (auto* i = std::get_if<std::int64_t>(&storage_))
        return static_cast<double>(*i);
    return std::nullopt;
}

std::optional<Date> PropertyValue::asDate() const {
    if (auto* d = std::get_if<Date>(&storage_))
        return *d;
    return std::nullopt;
}

std::optional<Data> PropertyValue::asData() const {
    if (auto* d = std::get_if<Data>(&storage_))
        return *d;
    return std::nullopt;
}

const PropertyArray* PropertyValue::asArray() const {
    return std::get_if<PropertyArray>(&storage_);
}

const PropertyDictionary* PropertyValue::asDictionary() const {
    return std::get_if<PropertyDictionary>(&storage_);
}

std::optional<std::vector<std::string>> PropertyValue::asStringArray() const {
    auto* array = asArray();
    if (!array)
        return std::nullopt;
    std::vector<std::string> strings;
    strings.reserve(array->size());
    for (const auto& element : *array) {
        auto s = element.asString();
        if (!s)
            return std::nullopt;
        strings.push_back(std::move(*s));
    }
    return strings;
}

}  // namespace vantlo
