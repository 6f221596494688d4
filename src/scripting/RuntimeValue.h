#pragma once
// A value while a script runs: what ScriptValue holds, plus references to application objects
// ("tab id 7 of window 1"), which only live inside a run and inside application dictionaries.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/ScriptValue.h"
#include "scripting/ObjectSpecifier.h"

namespace vantlo {

class RuntimeValue {
  public:
    using Missing = ScriptValue::Missing;
    using List = std::vector<RuntimeValue>;
    using Storage =
        std::variant<Missing, bool, std::int64_t, double, std::string, List, ObjectSpecifier>;

    RuntimeValue() = default;
    RuntimeValue(bool v) : storage_(v) {}
    RuntimeValue(int v) : storage_(std::int64_t{v}) {}
    RuntimeValue(std::int64_t v) : storage_(v) {}
    RuntimeValue(double v) : storage_(v) {}
    RuntimeValue(const char* v) : storage_(std::string(v)) {}
    RuntimeValue(std::string v) : storage_(std::move(v)) {}
    RuntimeValue(List v) : storage_(std::move(v)) {}
    RuntimeValue(ObjectSpecifier v) : storage_(std::move(v)) {}

    const Storage& storage() const { return storage_; }
    Storage& storage() { return storage_; }
    template <class T>
    const T* get() const {
        return std::get_if<T>(&storage_);
    }
    template <class T>
    T* get() {
        return std::get_if<T>(&storage_);
    }
    bool isMissing() const { return get<Missing>() != nullptr; }

    // Equality as scripts see it: integers and reals compare by number, texts exactly, lists
    // item by item, references by path.
    bool scriptEquals(const RuntimeValue& other) const;
    // What copying this value costs: one per value it holds (itself included), plus one per 64
    // bytes of text.
    std::size_t weight() const;
    // The class name scripts would report ("integer", "text", "list", "reference", ...).
    const char* className() const;
    // The result handed back to the caller of a script. References have no outside form and
    // become missing values.
    ScriptValue toScriptValue() const;

    bool operator==(const RuntimeValue& other) const { return storage_ == other.storage_; }

  private:
    Storage storage_;
};

}  // namespace vantlo
