#pragma once
// The dispatch queues on the Qt event loop: the main queue is the Qt main thread's event queue,
// delayed work uses precise main-thread timers, and the global and serial queues run on Qt
// thread pools (one pool per quality of service; a serial queue is a pool of one thread, which
// keeps submission order).

#include <QObject>
#include <QThreadPool>
#include <memory>

#include "platform/Dispatch.h"

namespace vantlo {

class QtDispatch : public Dispatch {
  public:
    // Create on the main thread after the application object exists.
    QtDispatch();
    ~QtDispatch() override;

    void async(Task task) override;
    void asyncAfter(double seconds, WorkItemRef item) override;
    void global(QualityOfService qos, Task task) override;
    std::shared_ptr<SerialQueue> makeSerialQueue(const std::string& label,
                                                 QualityOfService qos) override;
    bool isMainThread() const override;

    // Waits for the background pools to finish what they run (at exit).
    void waitForBackgroundWork();

    using Dispatch::asyncAfter;

  private:
    QObject* mainContext_;
    QThreadPool userInitiated_;
    QThreadPool utility_;
};

}  // namespace vantlo
