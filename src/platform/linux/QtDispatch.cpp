#include "platform/linux/QtDispatch.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <cmath>

namespace vantlo {
namespace {

class QtSerialQueue : public SerialQueue {
  public:
    QtSerialQueue(const std::string& label, QThread::Priority priority) {
        pool_.setMaxThreadCount(1);
        pool_.setThreadPriority(priority);
        pool_.setObjectName(QString::fromStdString(label));
    }
    ~QtSerialQueue() override { pool_.waitForDone(); }

    void async(Task task) override { pool_.start(std::move(task)); }

  private:
    QThreadPool pool_;
};

QThread::Priority priorityOf(QualityOfService qos) {
    return qos == QualityOfService::userInitiated ? QThread::NormalPriority : QThread::LowPriority;
}

}  // namespace

QtDispatch::QtDispatch() : mainContext_(new QObject) {
    mainContext_->moveToThread(QCoreApplication::instance()->thread());
    userInitiated_.setThreadPriority(priorityOf(QualityOfService::userInitiated));
    utility_.setThreadPriority(priorityOf(QualityOfService::utility));
    utility_.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
}

QtDispatch::~QtDispatch() {
    waitForBackgroundWork();
    mainContext_->deleteLater();
}

void QtDispatch::waitForBackgroundWork() {
    userInitiated_.waitForDone();
    utility_.waitForDone();
}

void QtDispatch::async(Task task) {
    // Queued invocations on one receiver run in posting order.
    QMetaObject::invokeMethod(mainContext_, std::move(task), Qt::QueuedConnection);
}

void QtDispatch::asyncAfter(double seconds, WorkItemRef item) {
    if (!item)
        return;
    const int milliseconds = seconds > 0 ? static_cast<int>(std::ceil(seconds * 1000)) : 0;
    // Timers belong to the thread that starts them: start this one on the main thread.
    QObject* context = mainContext_;
    QMetaObject::invokeMethod(
        context,
        [context, milliseconds, item] {
            QTimer::singleShot(milliseconds, Qt::PreciseTimer, context,
                               [item] { item->perform(); });
        },
        Qt::QueuedConnection);
}

void QtDispatch::global(QualityOfService qos, Task task) {
    (qos == QualityOfService::userInitiated ? userInitiated_ : utility_).start(std::move(task));
}

std::shared_ptr<SerialQueue> QtDispatch::makeSerialQueue(const std::string& label,
                                                         QualityOfService qos) {
    return std::make_shared<QtSerialQueue>(label, priorityOf(qos));
}

bool QtDispatch::isMainThread() const {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace vantlo
