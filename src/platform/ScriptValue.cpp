#include "platform/ScriptValue.h"

#include <cmath>
#include <limits>

namespace vantlo {

std::size_t ScriptValue::numberOfItems() const {
    if (auto* list = std::get_if<List>(&storage_))
        return list->size();
    return 0;
}

const ScriptValue* ScriptValue::item(std::size_t index1) const {
    auto* list = std::get_if<List>(&storage_);
    if (!list || index1 < 1 || index1 > list->size())
        return nullptr;
    return &(*list)[index1 - 1];
}

std::optional<std::int32_t> ScriptValue::int32Value() const {
    constexpr auto lo = std::numeric_limits<std::int32_t>::min();
    constexpr auto hi = std::numeric_limits<std::int32_t>::max();
    if (auto* i = std::get_if<std::int64_t>(&storage_)) {
        if (*i >= lo && *i <= hi)
            return static_cast<std::int32_t>(*i);
        return std::nullopt;
    }
    if (auto* d = std::get_if<double>(&storage_)) {
        if (std::isfinite(*d) && *d >= lo && *d <= hi)
            return static_cast<std::int32_t>(*d);
        return std::nullopt;
    }
    if (auto* b = std::get_if<bool>(&storage_))
        return *b ? 1 : 0;
    return std::nullopt;
}

std::optional<bool> ScriptValue::booleanValue() const {
    if (auto* b = std::get_if<bool>(&storage_))
        return *b;
    if (auto* i = std::get_if<std::int64_t>(&storage_))
        return *i != 0;
    return std::nullopt;
}

std::optional<std::string> ScriptValue::stringValue() const {
    if (auto* s = std::get_if<std::string>(&storage_))
        return *s;
    if (auto* i = std::get_if<std::int64_t>(&storage_))
        return std::to_string(*i);
    return std::nullopt;
}

}  // namespace vantlo
