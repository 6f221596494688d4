#pragma once
// Stands in for the user defaults: one per-user store of typed values under string keys.
//
// Contract: reads never fail (a missing key is nothing); writes are visible to the next read at
// once and are persisted by the implementation without the caller waiting; a store that cannot
// be read or written behaves as empty and keeps going. Safe to use from any thread.

#include <optional>
#include <string>
#include <vector>

#include "platform/PropertyValue.h"

namespace vantlo {

class Defaults {
  public:
    virtual ~Defaults() = default;

    virtual std::optional<PropertyValue> object(const std::string& key) const = 0;
    virtual void set(const std::string& key, PropertyValue value) = 0;
    virtual void remove(const std::string& key) = 0;

    // Typed reads with the store's typing rules (see PropertyValue): a wrong type reads as absent.
    std::optional<std::string> string(const std::string& key) const;
    // A boolean, or a number 0 or 1; a string is never a boolean.
    std::optional<bool> boolean(const std::string& key) const;
    std::optional<std::int64_t> integer(const std::string& key) const;
    std::optional<double> real(const std::string& key) const;
    std::optional<Data> data(const std::string& key) const;
    // An array whose every element is a string.
    std::optional<std::vector<std::string>> stringArray(const std::string& key) const;
    std::optional<PropertyDictionary> dictionary(const std::string& key) const;
};

}  // namespace vantlo
