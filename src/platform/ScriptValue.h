#pragma once
// The result of a script run, shaped like an Apple Event descriptor: a missing value, a boolean,
// an integer, a real, a text or a list of values. Lists are numbered from 1.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vantlo {

class ScriptValue {
  public:
    struct Missing {
        bool operator==(const Missing&) const = default;
    };
    using List = std::vector<ScriptValue>;
    using Storage = std::variant<Missing, bool, std::int64_t, double, std::string, List>;

    ScriptValue() = default;
    ScriptValue(bool v) : storage_(v) {}
    ScriptValue(int v) : storage_(std::int64_t{v}) {}
    ScriptValue(std::int64_t v) : storage_(v) {}
    ScriptValue(double v) : storage_(v) {}
    ScriptValue(const char* v) : storage_(std::string(v)) {}
    ScriptValue(std::string v) : storage_(std::move(v)) {}
    ScriptValue(List v) : storage_(std::move(v)) {}

    const Storage& storage() const { return storage_; }
    bool isMissing() const { return std::holds_alternative<Missing>(storage_); }
    bool isList() const { return std::holds_alternative<List>(storage_); }

    // Descriptor-style reads: the number of list items (0 for a non-list), item i counted from 1
    // (nothing when out of range), and the coercions a descriptor offers.
    std::size_t numberOfItems() const;
    const ScriptValue* item(std::size_t index1) const;
    std::optional<std::int32_t> int32Value() const;
    std::optional<bool> booleanValue() const;
    std::optional<std::string> stringValue() const;

    bool operator==(const ScriptValue& other) const { return storage_ == other.storage_; }

  private:
    Storage storage_;
};

}  // namespace vantlo
