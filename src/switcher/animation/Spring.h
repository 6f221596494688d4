#pragma once
// A value that follows its target like a damped spring. The motion is the closed-form solution of
// the spring equation, evaluated at whatever time the caller passes, so a view samples it once per
// frame and a test samples it at exact virtual times. Retargeting mid-flight keeps the current
// position and velocity, so the motion never jumps.

namespace vantlo {

struct SpringParameters {
    // Seconds for one period of the undamped oscillation: the spring's stiffness.
    double response = 0.3;
    // 1 settles without overshoot, below 1 overshoots and rings, above 1 creeps.
    double dampingFraction = 0.8;
};

class Spring {
  public:
    explicit Spring(double value = 0, SpringParameters parameters = {});

    // Starts moving toward `target` from wherever the spring is at `now`.
    void setTarget(double target, double now);
    // Same, with new parameters for this motion.
    void animateTo(double target, SpringParameters parameters, double now);
    // Jumps to `value` and stays there.
    void snap(double value);

    double target() const { return target_; }
    double value(double now) const;
    double velocity(double now) const;
    // True once the remaining motion is below `tolerance` (in the value's units) for good.
    bool isSettled(double now, double tolerance = 1e-3) const;

  private:
    double omega() const;
    // Displacement from the target and its derivative, `t` seconds after the motion started.
    void displacement(double t, double& x, double& v) const;

    SpringParameters parameters_;
    double target_ = 0;
    double startTime_ = 0;
    double startOffset_ = 0;  // value − target at the start
    double startVelocity_ = 0;
};

}  // namespace vantlo
