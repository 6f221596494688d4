#include "platform/DispatchGroup.h"

namespace vantlo {

void DispatchGroup::enter() {
    std::lock_guard lock(mutex_);
    ++count_;
}

void DispatchGroup::leave() {
    std::vector<Task> ready;
    {
        std::lock_guard lock(mutex_);
        if (count_ > 0)
            --count_;
        flushIfIdleLocked(ready);
    }
    for (auto& task : ready)
        dispatch_.async(std::move(task));
}

void DispatchGroup::notify(Task task) {
    std::vector<Task> ready;
    {
        std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(task));
        flushIfIdleLocked(ready);
    }
    for (auto& t : ready)
        dispatch_.async(std::move(t));
}

void DispatchGroup::flushIfIdleLocked(std::vector<Task>& ready) {
    if (count_ == 0)
        ready.swap(waiting_);
}

}  // namespace vantlo
