#pragma once
// The driver's queues: the main queue is one worker thread, global work gets a thread per task.
// Enough for a short-lived test tool; the program itself runs its main queue on the Qt loop.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/Dispatch.h"

namespace vantlo::driver {

class DriverDispatch : public Dispatch {
  public:
    DriverDispatch();
    ~DriverDispatch() override;

    void async(Task task) override;
    void asyncAfter(double seconds, WorkItemRef item) override;
    void global(QualityOfService qos, Task task) override;
    std::shared_ptr<SerialQueue> makeSerialQueue(const std::string& label,
                                                 QualityOfService qos) override;
    bool isMainThread() const override;

  private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
    std::thread main_;
};

}  // namespace vantlo::driver
