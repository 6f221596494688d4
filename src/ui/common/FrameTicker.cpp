#include "ui/common/FrameTicker.h"

namespace vantlo {

FrameTicker::FrameTicker(std::function<bool(double now)> onFrame, QObject* parent)
    : QObject(parent), onFrame_(std::move(onFrame)) {
    timer_.setInterval(16);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

double FrameTicker::now() {
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

void FrameTicker::start() {
    if (!timer_.isActive())
        timer_.start();
}

void FrameTicker::tick() {
    if (!onFrame_ || !onFrame_(now()))
        timer_.stop();
}

}  // namespace vantlo
