#pragma once
// A clipboard in memory; every text put on it is also recorded (FakeEffects::clipboard).

#include <memory>

#include "platform/Pasteboard.h"
#include "testing/FakeEffects.h"

namespace vantlo {

class FakePasteboard : public Pasteboard {
  public:
    explicit FakePasteboard(std::shared_ptr<FakeEffects> effects) : effects_(std::move(effects)) {}

    bool setString(const std::string& text) override {
        std::lock_guard lock(effects_->mutex);
        if (!available_)
            return false;
        contents_ = text;
        effects_->clipboard.push_back(text);
        effects_->note("clipboard " + text);
        return true;
    }
    std::optional<std::string> string() override {
        std::lock_guard lock(effects_->mutex);
        return contents_;
    }
    // An unavailable clipboard refuses writes.
    void setAvailable(bool available) {
        std::lock_guard lock(effects_->mutex);
        available_ = available;
    }

  private:
    std::shared_ptr<FakeEffects> effects_;
    std::optional<std::string> contents_;
    bool available_ = true;
};

}  // namespace vantlo
