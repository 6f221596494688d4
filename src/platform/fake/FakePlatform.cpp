#include "platform/fake/FakePlatform.h"

namespace vantlo {

FakePlatform::FakePlatform(Facts facts)
    : clock(std::make_shared<FakeClock>()),
      dispatch(std::make_shared<FakeDispatch>(clock)),
      defaults(std::make_shared<MemoryDefaults>()),
      notifications(std::make_shared<NotificationCenter>(*dispatch)),
      log(std::make_shared<FakeLog>()),
      services_(std::make_shared<Platform>()) {
    services_->clock = clock;
    services_->dispatch = dispatch;
    services_->defaults = defaults;
    services_->notifications = notifications;
    services_->log = log;
    services_->facts = facts == Facts::macOS
                           ? PlatformFacts::macOS("/Users/tester")
                           : PlatformFacts::linux("/home/tester", "", {}, "org.gnome.Nautilus");
    installPlatform(services_);
}

FakePlatform::~FakePlatform() {
    installPlatform(nullptr);
}

}  // namespace vantlo
