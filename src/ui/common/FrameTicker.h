#pragma once
// Drives time-based animations (springs, transitions) at display rate: while running it calls
// its frame callback about 60 times a second with the current time in seconds, and stops by
// itself once the callback answers that nothing moves any more.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace vantlo {

class FrameTicker : public QObject {
  public:
    // `onFrame(now)` returns true while something still moves.
    explicit FrameTicker(std::function<bool(double now)> onFrame, QObject* parent = nullptr);

    // Seconds on a monotonic clock shared by every ticker.
    static double now();
    // Makes sure frames are being delivered.
    void start();
    bool isRunning() const { return timer_.isActive(); }

  private:
    void tick();

    std::function<bool(double)> onFrame_;
    QTimer timer_;
};

}  // namespace vantlo
