#pragma once
// The dispatch queues on the Qt event loop: the main queue is the loop of the application's main
// thread, delayed work runs from one precise timer there, and the global and serial queues run on
// thread pools, one per quality of service.
//
// Delayed work is kept in one list ordered by due time (on the monotonic clock), then by
// submission, and a single timer is armed for the earliest; so items run in exactly that order
// and never before their delay has passed.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "platform/Dispatch.h"

class QObject;
class QThread;
class QTimer;

namespace vantlo {

class QtDispatch : public Dispatch {
  public:
    // Needs the QCoreApplication (or QApplication) to exist; its thread is the main thread.
    QtDispatch();
    // Destroy on the main thread. Waits for background work that is running or queued;
    // main-queue and delayed work not yet run is dropped. Serial queues that outlive the
    // dispatcher keep running their tasks.
    ~QtDispatch() override;
    QtDispatch(const QtDispatch&) = delete;
    QtDispatch& operator=(const QtDispatch&) = delete;

    void async(Task task) override;
    void asyncAfter(double seconds, WorkItemRef item) override;
    using Dispatch::asyncAfter;
    void global(QualityOfService qos, Task task) override;
    std::shared_ptr<SerialQueue> makeSerialQueue(const std::string& label,
                                                 QualityOfService qos) override;
    bool isMainThread() const override;

    // Waits for the background work that is running or queued (at exit).
    void waitForBackgroundWork();

    class Workers;

  private:
    using SteadyTime = std::chrono::steady_clock::time_point;

    void rearmTimer();
    void runDueItems();

    QThread* mainThread_ = nullptr;
    QObject* context_ = nullptr;  // lives on the main thread; main-queue work is posted to it
    QTimer* timer_ = nullptr;
    std::shared_ptr<Workers> workers_;

    std::mutex mutex_;
    std::map<std::tuple<SteadyTime, std::uint64_t>, WorkItemRef> delayed_;
    std::uint64_t sequence_ = 0;
};

}  // namespace vantlo
