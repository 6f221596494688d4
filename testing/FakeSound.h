#pragma once
// The alert sound, counted (FakeEffects::beeps).

#include <memory>

#include "platform/Sound.h"
#include "testing/FakeEffects.h"

namespace vantlo {

class FakeSound : public Sound {
  public:
    explicit FakeSound(std::shared_ptr<FakeEffects> effects) : effects_(std::move(effects)) {}

    void beep() override {
        std::lock_guard lock(effects_->mutex);
        ++effects_->beeps;
        effects_->note("beep");
    }
    int beepCount() const {
        std::lock_guard lock(effects_->mutex);
        return effects_->beeps;
    }

  private:
    std::shared_ptr<FakeEffects> effects_;
};

}  // namespace vantlo
