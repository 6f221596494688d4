#pragma once
// In-memory defaults for the driver, so a test run never touches the user's settings file.

#include <map>
#include <mutex>

#include "platform/Defaults.h"

namespace vantlo::driver {

class DriverDefaults : public Defaults {
  public:
    std::optional<PropertyValue> object(const std::string& key) const override {
        std::lock_guard lock(mutex_);
        auto it = values_.find(key);
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }
    void set(const std::string& key, PropertyValue value) override {
        std::lock_guard lock(mutex_);
        values_[key] = std::move(value);
    }
    void remove(const std::string& key) override {
        std::lock_guard lock(mutex_);
        values_.erase(key);
    }

  private:
    mutable std::mutex mutex_;
    std::map<std::string, PropertyValue> values_;
};

}  // namespace vantlo::driver
