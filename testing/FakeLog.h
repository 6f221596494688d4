#pragma once
// The system log, kept as lines (FakeEffects::logLines).

#include <memory>
#include <vector>

#include "platform/Log.h"
#include "testing/FakeEffects.h"

namespace vantlo {

class FakeLog : public Log {
  public:
    // A log of its own, for tests that need nothing else of the fake desktop.
    FakeLog() : effects_(std::make_shared<FakeEffects>()) {}
    explicit FakeLog(std::shared_ptr<FakeEffects> effects) : effects_(std::move(effects)) {}

    void write(const std::string& line) override {
        std::lock_guard lock(effects_->mutex);
        effects_->logLines.push_back(line);
        effects_->note("log " + line);
    }
    std::vector<std::string> lines() const {
        std::lock_guard lock(effects_->mutex);
        return effects_->logLines;
    }

  private:
    std::shared_ptr<FakeEffects> effects_;
};

}  // namespace vantlo
