#include "testing/FakeDispatch.h"

namespace vantlo {

// Keeps its own queue and hands the dispatcher one task at a time, so tasks never overlap.
class FakeDispatch::FakeSerialQueue : public SerialQueue,
                                      public std::enable_shared_from_this<FakeSerialQueue> {
  public:
    explicit FakeSerialQueue(FakeDispatch& owner) : owner_(owner) {}

    void async(Task task) override {
        pending_.push_back(std::move(task));
        if (!scheduled_)
            scheduleNext();
    }

  private:
    void scheduleNext() {
        if (pending_.empty()) {
            scheduled_ = false;
            return;
        }
        scheduled_ = true;
        Task task = std::move(pending_.front());
        pending_.pop_front();
        auto self = shared_from_this();
        owner_.background_.push_back([self, task = std::move(task)] {
            task();
            self->scheduleNext();
        });
    }

    FakeDispatch& owner_;
    std::deque<Task> pending_;
    bool scheduled_ = false;
};

FakeDispatch::FakeDispatch(std::shared_ptr<FakeClock> clock) : clock_(std::move(clock)) {}

void FakeDispatch::async(Task task) {
    main_.push_back(std::move(task));
}

void FakeDispatch::asyncAfter(double seconds, WorkItemRef item) {
    double due = clock_->now() + (seconds > 0 ? seconds : 0);
    delayed_.emplace(std::make_tuple(due, sequence_++), std::move(item));
}

void FakeDispatch::global(QualityOfService, Task task) {
    background_.push_back(std::move(task));
}

std::shared_ptr<SerialQueue> FakeDispatch::makeSerialQueue(const std::string&, QualityOfService) {
    return std::make_shared<FakeSerialQueue>(*this);
}

std::size_t FakeDispatch::pendingBackgroundTasks() const {
    return background_.size();
}

void FakeDispatch::promoteDueDelayed() {
    while (!delayed_.empty()) {
        auto it = delayed_.begin();
        if (std::get<0>(it->first) > clock_->now())
            break;
        WorkItemRef item = it->second;
        delayed_.erase(it);
        main_.push_back([item] { item->perform(); });
    }
}

bool FakeDispatch::runOneMain() {
    promoteDueDelayed();
    if (main_.empty())
        return false;
    Task task = std::move(main_.front());
    main_.pop_front();
    task();
    return true;
}

bool FakeDispatch::runOneBackground() {
    if (background_.empty())
        return false;
    Task task = std::move(background_.front());
    background_.pop_front();
    bool wasBackground = inBackground_;
    inBackground_ = true;
    task();
    inBackground_ = wasBackground;
    return true;
}

int FakeDispatch::runMainQueue() {
    int count = 0;
    while (runOneMain())
        ++count;
    return count;
}

int FakeDispatch::runBackground() {
    int count = 0;
    while (runOneBackground())
        ++count;
    return count;
}

int FakeDispatch::runUntilIdle() {
    int count = 0;
    for (;;) {
        int ran = runMainQueue();
        ran += runBackground();
        if (ran == 0)
            break;
        count += ran;
    }
    return count;
}

void FakeDispatch::advance(double seconds) {
    double target = clock_->now() + seconds;
    runUntilIdle();
    while (!delayed_.empty()) {
        double due = std::get<0>(delayed_.begin()->first);
        if (due > target)
            break;
        if (due > clock_->now())
            clock_->set(due);
        runUntilIdle();
    }
    clock_->set(target);
    runUntilIdle();
}

}  // namespace vantlo
