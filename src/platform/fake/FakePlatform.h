#pragma once
// The whole fake desktop in one place: builds every fake service, installs them as the platform
// and hands tests typed access to each fake for scenario set-up and assertions.
//
//   FakePlatform fake;                 // installs itself; macOS facts unless told otherwise
//   fake.dispatch->advance(2.8);       // virtual time

#include <memory>

#include "platform/Platform.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeDispatch.h"
#include "platform/fake/FakeLog.h"
#include "platform/fake/MemoryDefaults.h"

namespace vantlo {

class FakePlatform {
  public:
    enum class Facts { macOS, linux };

    explicit FakePlatform(Facts facts = Facts::macOS);
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    std::shared_ptr<FakeClock> clock;
    std::shared_ptr<FakeDispatch> dispatch;
    std::shared_ptr<MemoryDefaults> defaults;
    std::shared_ptr<NotificationCenter> notifications;
    std::shared_ptr<FakeLog> log;

    Platform& services() { return *services_; }

  private:
    std::shared_ptr<Platform> services_;
};

}  // namespace vantlo
