#pragma once
// A typed property value as stored in the user defaults and in application information
// dictionaries: boolean, integer, real, string, data, date, array or dictionary.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vantlo {

class PropertyValue;
using PropertyArray = std::vector<PropertyValue>;
using PropertyDictionary = std::map<std::string, PropertyValue>;

// Raw bytes; never confused with a string.
struct Data {
    std::vector<std::uint8_t> bytes;
    bool operator==(const Data&) const = default;
};

// A point in time as seconds since 1970; stored with its own type, not as a number.
struct Date {
    double secondsSince1970 = 0;
    bool operator==(const Date&) const = default;
};

class PropertyValue {
  public:
    using Storage = std::variant<bool, std::int64_t, double, std::string, Data, Date, PropertyArray,
                                 PropertyDictionary>;

    PropertyValue() : storage_(false) {}
    PropertyValue(bool v) : storage_(v) {}
    PropertyValue(int v) : storage_(std::int64_t{v}) {}
    PropertyValue(std::int64_t v) : storage_(v) {}
    PropertyValue(double v) : storage_(v) {}
    PropertyValue(const char* v) : storage_(std::string(v)) {}
    PropertyValue(std::string v) : storage_(std::move(v)) {}
    PropertyValue(Data v) : storage_(std::move(v)) {}
    PropertyValue(Date v) : storage_(v) {}
    PropertyValue(PropertyArray v) : storage_(std::move(v)) {}
    PropertyValue(PropertyDictionary v) : storage_(std::move(v)) {}

    const Storage& storage() const { return storage_; }

    bool isBool() const { return std::holds_alternative<bool>(storage_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(storage_); }
    bool isReal() const { return std::holds_alternative<double>(storage_); }
    bool isNumber() const { return isInteger() || isReal(); }
    bool isString() const { return std::holds_alternative<std::string>(storage_); }
    bool isData() const { return std::holds_alternative<Data>(storage_); }
    bool isDate() const { return std::holds_alternative<Date>(storage_); }
    bool isArray() const { return std::holds_alternative<PropertyArray>(storage_); }
    bool isDictionary() const { return std::holds_alternative<PropertyDictionary>(storage_); }

    // Typed reads. Each yields nothing when the value has another type, except where noted.
    std::optional<std::string> asString() const;
    // A boolean, or a number that is exactly 0 or 1. Strings are never booleans.
    std::optional<bool> asBool() const;
    // An integer, or a real with no fractional part.
    std::optional<std::int64_t> asInteger() const;
    // An integer or a real.
    std::optional<double> asReal() const;
    std::optional<Date> asDate() const;
    std::optional<Data> asData() const;
    const PropertyArray* asArray() const;
    const PropertyDictionary* asDictionary() const;
    // An array whose every element is a string; nothing when any element is not.
    std::optional<std::vector<std::string>> asStringArray() const;

    bool operator==(const PropertyValue& other) const { return storage_ == other.storage_; }

  private:
    Storage storage_;
};

}  // namespace vantlo
