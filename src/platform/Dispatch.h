#pragma once
// Stands in for the system's dispatch queues: one main queue (the user-interface thread), global
// background queues by quality of service, serial queues and delayed, cancellable work items.
//
// Ordering guarantees every implementation keeps (the contract tests check them on both):
// - main-queue tasks run one at a time, in submission order;
// - delayed tasks run once their delay has passed, ordered by due time, then by submission;
// - a serial queue runs its tasks one at a time, in submission order;
// - a cancelled work item never runs; cancelling after it ran does nothing.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace vantlo {

using Task = std::function<void()>;

enum class QualityOfService { userInitiated, utility };

// A unit of deferred work that can be cancelled before it runs. Shared between the scheduler and
// whoever may cancel it; cancelling is safe from any thread.
class WorkItem {
  public:
    explicit WorkItem(Task task) : task_(std::move(task)) {}
    void cancel() { cancelled_ = true; }
    bool isCancelled() const { return cancelled_; }
    // Runs the task unless cancelled. Called by the queue that owns the item.
    void perform() {
        if (!cancelled_ && task_)
            task_();
    }

  private:
    Task task_;
    std::atomic<bool> cancelled_ = false;
};

using WorkItemRef = std::shared_ptr<WorkItem>;

class SerialQueue {
  public:
    virtual ~SerialQueue() = default;
    virtual void async(Task task) = 0;
};

class Dispatch {
  public:
    virtual ~Dispatch() = default;

    // Runs the task on the main queue, after what is already queued there.
    virtual void async(Task task) = 0;
    // Runs the item on the main queue once `seconds` have passed (at once when zero or negative).
    virtual void asyncAfter(double seconds, WorkItemRef item) = 0;
    // Runs the task on a background thread of the given quality of service.
    virtual void global(QualityOfService qos, Task task) = 0;
    virtual std::shared_ptr<SerialQueue> makeSerialQueue(const std::string& label,
                                                         QualityOfService qos) = 0;
    // True on the thread that runs the main queue.
    virtual bool isMainThread() const = 0;

    // Convenience: schedules a task after a delay and hands back the item to cancel it.
    WorkItemRef asyncAfter(double seconds, Task task) {
        auto item = std::make_shared<WorkItem>(std::move(task));
        asyncAfter(seconds, item);
        return item;
    }
};

}  // namespace vantlo
