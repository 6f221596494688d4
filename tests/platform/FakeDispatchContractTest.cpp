#include "support/DispatchContract.h"
#include "testing/FakePlatform.h"

namespace vantlo::testing {
namespace {

// Drives the fake queues on virtual time, in small steps, so delayed work falls due in order.
class FakeDispatchDriver {
  public:
    Dispatch& dispatch() { return *fake_.dispatch; }
    double now() { return fake_.clock->now(); }
    bool runUntil(const std::function<bool()>& done, double seconds) {
        double end = now() + seconds;
        fake_.dispatch->runUntilIdle();
        while (!done() && now() < end)
            fake_.dispatch->advance(0.001);
        return done();
    }

  private:
    FakePlatform fake_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, DispatchContract, FakeDispatchDriver);

}  // namespace
}  // namespace vantlo::testing
