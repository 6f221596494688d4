#include "platform/linux/QtDispatch.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace vantlo {

// The background thread pools, shared with the serial queues so that a queue outliving the
// dispatcher still has somewhere to run.
class QtDispatch::Workers {
  public:
    Workers() {
        int cores = std::max(2, QThread::idealThreadCount());
        userInitiated_.setMaxThreadCount(cores);
        utility_.setMaxThreadCount(std::max(2, cores / 2));
        utility_.setThreadPriority(QThread::LowPriority);
    }

    void run(QualityOfService qos, Task task) {
        pool(qos).start(std::function<void()>(std::move(task)));
    }

    void waitForDone() {
        userInitiated_.waitForDone();
        utility_.waitForDone();
    }

  private:
    QThreadPool& pool(QualityOfService qos) {
        return qos == QualityOfService::utility ? utility_ : userInitiated_;
    }

    QThreadPool userInitiated_;
    QThreadPool utility_;
};

namespace {

// Runs its tasks one at a time in submission order: at most one pool job drains it at a time,
// and each job runs one task before handing the queue back to the pool, so a long queue does
// not hold a thread while other work waits.
class PooledSerialQueue : public SerialQueue,
                          public std::enable_shared_from_this<PooledSerialQueue> {
  public:
    PooledSerialQueue(std::shared_ptr<QtDispatch::Workers> workers, QualityOfService qos)
        : workers_(std::move(workers)), qos_(qos) {}

    void async(Task task) override {
        {
            std::lock_guard lock(mutex_);
            pending_.push_back(std::move(task));
            if (scheduled_)
                return;
            scheduled_ = true;
        }
        scheduleNext();
    }

  private:
    void scheduleNext() {
        workers_->run(qos_, [self = shared_from_this()] { self->runOne(); });
    }

    void runOne() {
        Task task;
        {
            std::lock_guard lock(mutex_);
            task = std::move(pending_.front());
            pending_.pop_front();
        }
        task();
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                scheduled_ = false;
                return;
            }
        }
        scheduleNext();
    }

    std::shared_ptr<QtDispatch::Workers> workers_;
    QualityOfService qos_;
    std::mutex mutex_;
    std::deque<Task> pending_;
    bool scheduled_ = false;
};

std::chrono::steady_clock::duration delayOf(double seconds) {
    if (!(seconds > 0))
        return {};
    // About thirty years: longer delays are "never" in practice and must not overflow.
    seconds = std::min(seconds, 1.0e9);
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
}

}  // namespace

QtDispatch::QtDispatch()
    : mainThread_(QCoreApplication::instance()->thread()),
      context_(new QObject),
      timer_(new QTimer(context_)),
      workers_(std::make_shared<Workers>()) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, context_, [this] { runDueItems(); });
    context_->moveToThread(mainThread_);
}

QtDispatch::~QtDispatch() {
    waitForBackgroundWork();
    // Deleting the context discards the main-queue events still posted to it.
    if (QThread::currentThread() == context_->thread())
        delete context_;
    else
        context_->deleteLater();
}

void QtDispatch::waitForBackgroundWork() {
    workers_->waitForDone();
}

void QtDispatch::async(Task task) {
    QMetaObject::invokeMethod(context_, std::move(task), Qt::QueuedConnection);
}

void QtDispatch::asyncAfter(double seconds, WorkItemRef item) {
    auto due = std::chrono::steady_clock::now() + delayOf(seconds);
    bool earliest = false;
    {
        std::lock_guard lock(mutex_);
        auto [it, inserted] = delayed_.emplace(std::make_tuple(due, sequence_++), std::move(item));
        earliest = it == delayed_.begin();
    }
    if (!earliest)
        return;
    if (isMainThread())
        rearmTimer();
    else
        QMetaObject::invokeMethod(
            context_, [this] { rearmTimer(); }, Qt::QueuedConnection);
}

void QtDispatch::global(QualityOfService qos, Task task) {
    workers_->run(qos, std::move(task));
}

std::shared_ptr<SerialQueue> QtDispatch::makeSerialQueue(const std::string&, QualityOfService qos) {
    return std::make_shared<PooledSerialQueue>(workers_, qos);
}

bool QtDispatch::isMainThread() const {
    return QThread::currentThread() == mainThread_;
}

void QtDispatch::rearmTimer() {
    std::chrono::steady_clock::duration wait;
    {
        std::lock_guard lock(mutex_);
        if (delayed_.empty()) {
            timer_->stop();
            return;
        }
        wait = std::get<0>(delayed_.begin()->first) - std::chrono::steady_clock::now();
    }
    // Whole milliseconds, rounded up: a timer may fire late but never early.
    auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    milliseconds = std::clamp<std::int64_t>(milliseconds, 0, std::numeric_limits<int>::max());
    timer_->start(static_cast<int>(milliseconds));
}

void QtDispatch::runDueItems() {
    auto now = std::chrono::steady_clock::now();
    std::uint64_t submittedBefore = 0;
    {
        std::lock_guard lock(mutex_);
        submittedBefore = sequence_;
    }
    // Items scheduled while this batch runs wait for the next turn of the event loop, so a task
    // that keeps rescheduling itself cannot starve the main queue.
    for (;;) {
        WorkItemRef item;
        {
            std::lock_guard lock(mutex_);
            auto it = delayed_.begin();
            if (it == delayed_.end() || std::get<0>(it->first) > now)
                break;
            if (std::get<1>(it->first) >= submittedBefore)
                break;
            item = std::move(it->second);
            delayed_.erase(it);
        }
        item->perform();
    }
    rearmTimer();
}

}  // namespace vantlo
