#pragma once
// A count of outstanding background jobs; `notify` runs a task on the main queue once every job
// that entered has left. Works over any Dispatch implementation.

#include <mutex>
#include <vector>

#include "platform/Dispatch.h"

namespace vantlo {

class DispatchGroup {
  public:
    explicit DispatchGroup(Dispatch& dispatch) : dispatch_(dispatch) {}

    void enter();
    // Leaving more often than entering is ignored rather than driving the count negative.
    void leave();
    // Runs `task` on the main queue when the count is (or next becomes) zero.
    void notify(Task task);

  private:
    void flushIfIdleLocked(std::vector<Task>& ready);

    Dispatch& dispatch_;
    std::mutex mutex_;
    int count_ = 0;
    std::vector<Task> waiting_;
};

}  // namespace vantlo
