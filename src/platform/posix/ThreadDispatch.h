#pragma once
// Dispatch queues for a process without an event loop (the commands that need no display): the
// main queue is one worker thread, each serial queue another, and the global queues one worker
// per quality of service. Global work therefore runs one task at a time per quality of service,
// which suits short-lived commands; the desktop program runs its queues on the Qt event loop.

#include <memory>

#include "platform/Dispatch.h"
#include "platform/posix/WorkerThread.h"

namespace vantlo {

class ThreadDispatch : public Dispatch {
  public:
    ThreadDispatch();
    // Drops the tasks that have not run yet and joins the workers.
    ~ThreadDispatch() override;

    void async(Task task) override;
    void asyncAfter(double seconds, WorkItemRef item) override;
    void global(QualityOfService qos, Task task) override;
    std::shared_ptr<SerialQueue> makeSerialQueue(const std::string& label,
                                                 QualityOfService qos) override;
    bool isMainThread() const override;

    using Dispatch::asyncAfter;

  private:
    std::unique_ptr<WorkerThread> main_;
    std::unique_ptr<WorkerThread> userInitiated_;
    std::unique_ptr<WorkerThread> utility_;
};

}  // namespace vantlo
