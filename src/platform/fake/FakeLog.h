#pragma once
// A log that keeps its lines in memory, for assertions.

#include <mutex>
#include <string>
#include <vector>

#include "platform/Log.h"

namespace vantlo {

class FakeLog : public Log {
  public:
    void write(const std::string& line) override {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
    }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace vantlo
