#pragma once
// User defaults held in memory, for tests and tools.

#include <map>
#include <mutex>

#include "platform/Defaults.h"

namespace vantlo {

class MemoryDefaults : public Defaults {
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
        ++writes_;
    }
    void remove(const std::string& key) override {
        std::lock_guard lock(mutex_);
        values_.erase(key);
        ++writes_;
    }
    // How many writes happened, for tests of debounced saving.
    int writeCount() const {
        std::lock_guard lock(mutex_);
        return writes_;
    }

  private:
    mutable std::mutex mutex_;
    std::map<std::string, PropertyValue> values_;
    int writes_ = 0;
};

}  // namespace vantlo
