#include "platform/posix/ThreadDispatch.h"

namespace vantlo {
namespace {

class WorkerSerialQueue : public SerialQueue {
  public:
    void async(Task task) override { worker_.post(std::move(task)); }

  private:
    WorkerThread worker_;
};

}  // namespace

ThreadDispatch::ThreadDispatch()
    : main_(std::make_unique<WorkerThread>()),
      userInitiated_(std::make_unique<WorkerThread>()),
      utility_(std::make_unique<WorkerThread>()) {}

// Background workers stop first, so none of their tasks posts to a main queue that is gone.
ThreadDispatch::~ThreadDispatch() {
    userInitiated_.reset();
    utility_.reset();
    main_.reset();
}

void ThreadDispatch::async(Task task) {
    main_->post(std::move(task));
}

void ThreadDispatch::asyncAfter(double seconds, WorkItemRef item) {
    main_->post([item] { item->perform(); }, seconds);
}

void ThreadDispatch::global(QualityOfService qos, Task task) {
    auto& worker = qos == QualityOfService::userInitiated ? userInitiated_ : utility_;
    worker->post(std::move(task));
}

std::shared_ptr<SerialQueue> ThreadDispatch::makeSerialQueue(const std::string&, QualityOfService) {
    return std::make_shared<WorkerSerialQueue>();
}

bool ThreadDispatch::isMainThread() const {
    return main_->isCurrent();
}

}  // namespace vantlo
