#pragma once
// The few platform services the settings readers use, in memory and on virtual time: user
// defaults, notifications, a clock and dispatch queues. Installed once per fuzz process; each
// input starts from empty defaults.

#include <memory>

#include "platform/Platform.h"
#include "testing/FakeClock.h"
#include "testing/FakeDispatch.h"
#include "testing/MemoryDefaults.h"

namespace vantlo {

class FuzzPlatform {
  public:
    FuzzPlatform() {
        auto services = std::make_shared<Platform>();
        services->clock = clock;
        services->dispatch = dispatch;
        services->defaults = defaults;
        services->notifications = std::make_shared<NotificationCenter>(*dispatch);
        services->facts.defaultIgnoredBundleIDs = {"org.example.Ignored"};
        platform_ = services;
        installPlatform(std::move(services));
    }

    // Fresh defaults and queues for the next input.
    void reset() {
        defaults = std::make_shared<MemoryDefaults>();
        dispatch = std::make_shared<FakeDispatch>(clock);
        clock->set(FakeClock::kStart);
        platform_->defaults = defaults;
        platform_->dispatch = dispatch;
        platform_->notifications = std::make_shared<NotificationCenter>(*dispatch);
    }

    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<FakeDispatch> dispatch = std::make_shared<FakeDispatch>(clock);
    std::shared_ptr<MemoryDefaults> defaults = std::make_shared<MemoryDefaults>();

  private:
    std::shared_ptr<Platform> platform_;
};

}  // namespace vantlo
