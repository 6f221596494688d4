#include "scripting/RuntimeValue.h"

namespace vantlo {
namespace {

std::optional<double> numberOf(const RuntimeValue& value) {
    if (auto* i = value.get<std::int64_t>())
        return static_cast<double>(*i);
    if (auto* d = value.get<double>())
        return *d;
    return std::nullopt;
}

}  // namespace

bool RuntimeValue::scriptEquals(const RuntimeValue& other) const {
    if (auto* a = get<std::int64_t>()) {
        if (auto* b = other.get<std::int64_t>())
            return *a == *b;
    }
    auto a = numberOf(*this);
    auto b = numberOf(other);
    if (a && b)
        return *a == *b;
    if (auto* left = get<List>()) {
        auto* right = other.get<List>();
        if (!right || left->size() != right->size())
            return false;
        for (std::size_t i = 0; i < left->size(); ++i) {
            if (!(*left)[i].scriptEquals((*right)[i]))
                return false;
        }
        return true;
    }
    return storage_ == other.storage_;
}

std::size_t RuntimeValue::weight() const {
    std::size_t total = 1;
    if (auto* text = get<std::string>())
        total += text->size() / 64;
    if (auto* list = get<List>()) {
        for (const auto& item : *list)
            total += item.weight();
    }
    return total;
}

const char* RuntimeValue::className() const {
    static constexpr const char* names[] = {"missing value", "boolean", "integer",  "real",
                                            "text",          "list",    "reference"};
    return names[storage_.index()];
}

ScriptValue RuntimeValue::toScriptValue() const {
    return std::visit(
        [](const auto& v) -> ScriptValue {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, Missing> || std::is_same_v<T, ObjectSpecifier>) {
                return ScriptValue();
            } else if constexpr (std::is_same_v<T, List>) {
                ScriptValue::List items;
                items.reserve(v.size());
                for (const auto& item : v)
                    items.push_back(item.toScriptValue());
                return ScriptValue(std::move(items));
            } else {
                return ScriptValue(v);
            }
        },
        storage_);
}

}  // namespace vantlo
