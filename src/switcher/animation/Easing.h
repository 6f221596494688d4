#pragma once
// Timing curves for fixed-length transitions (the panel's slide in and out): the standard
// ease-in and ease-out cubic Bézier curves, mapping elapsed fraction to progress.

namespace vantlo {

enum class EasingCurve { linear, easeIn, easeOut, easeInOut };

namespace Easing {

// Progress 0 … 1 for an elapsed fraction 0 … 1 (clamped).
double progress(EasingCurve curve, double fraction);

}  // namespace Easing

// A transition of fixed duration between two numbers, sampled at any time.
struct Transition {
    double from = 0;
    double to = 0;
    double startTime = 0;
    double duration = 0;
    EasingCurve curve = EasingCurve::linear;

    double value(double now) const;
    bool isFinished(double now) const { return now >= startTime + duration; }
};

}  // namespace vantlo
