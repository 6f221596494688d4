#pragma once
// Decides when the panel's keyboard and pointer grab must be given back because the main thread
// stopped answering: while a grab is held the main thread beats, and a grab whose last beat is
// older than the bound is given back, once. A grab that outlives a hung main thread would leave
// the whole desktop without a keyboard.
//
// Times are seconds on a monotonic clock, handed in by the owner (so tests run it on virtual
// time). Not thread-safe: the owner, which beats from one thread and checks from another, locks.

namespace vantlo {

class GrabWatchdog {
  public:
    static constexpr double kDefaultBound = 0.25;

    explicit GrabWatchdog(double bound = kDefaultBound) : bound_(bound) {}

    // A grab was taken at `now`; taking it counts as a beat.
    void grabTaken(double now);
    // The main thread answered at `now`. Ignored while no grab is held, and after the grab was
    // given back by the watchdog: a late beat does not take the keyboard again.
    void heartbeat(double now);
    // The grab was given back by its owner; nothing more to watch.
    void grabGivenBack();

    // True exactly once per grab: when the grab is held and the main thread has not answered
    // for longer than the bound. From then on the grab counts as given back.
    bool shouldGiveBack(double now);

    bool isWatching() const { return watching_; }
    // How long the main thread has been silent at `now` (0 when not watching).
    double silence(double now) const;
    double bound() const { return bound_; }

  private:
    double bound_;
    bool watching_ = false;
    double lastBeat_ = 0;
};

}  // namespace vantlo
