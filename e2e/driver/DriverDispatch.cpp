#include "DriverDispatch.h"

#include <chrono>

namespace vantlo::driver {
namespace {

class InlineSerialQueue : public SerialQueue {
  public:
    void async(Task task) override {
        std::lock_guard lock(mutex_);
        task();
    }

  private:
    std::mutex mutex_;
};

}  // namespace

DriverDispatch::DriverDispatch() : main_([this] { run(); }) {}

DriverDispatch::~DriverDispatch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    main_.join();
}

void DriverDispatch::async(Task task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    changed_.notify_all();
}

void DriverDispatch::asyncAfter(double seconds, WorkItemRef item) {
    std::thread([this, seconds, item] {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        async([item] { item->perform(); });
    }).detach();
}

void DriverDispatch::global(QualityOfService, Task task) {
    std::thread(std::move(task)).detach();
}

std::shared_ptr<SerialQueue> DriverDispatch::makeSerialQueue(const std::string&, QualityOfService) {
    return std::make_shared<InlineSerialQueue>();
}

bool DriverDispatch::isMainThread() const {
    return std::this_thread::get_id() == main_.get_id();
}

void DriverDispatch::run() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty())
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

}  // namespace vantlo::driver
