#include "switcher/animation/Easing.h"

#include <algorithm>
#include <cmath>

namespace vantlo {
namespace {

// A cubic Bézier timing curve from (0,0) to (1,1) with control points (x1,y1) and (x2,y2).
double bezier(double a, double b, double t) {
    // One coordinate of the curve: 3(1−t)²t·a + 3(1−t)t²·b + t³.
    const double u = 1 - t;
    return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
}

double bezierSlope(double a, double b, double t) {
    const double u = 1 - t;
    return 3 * u * u * a + 6 * u * t * (b - a) + 3 * t * t * (1 - b);
}

double solveCurve(double x1, double y1, double x2, double y2, double x) {
    // Newton steps on x(t) = x, falling back to bisection where the slope is flat.
    double t = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(x1, x2, t) - x;
        const double slope = bezierSlope(x1, x2, t);
        if (std::abs(error) < 1e-7)
            return bezier(y1, y2, t);
        if (std::abs(slope) < 1e-6)
            break;
        t = std::clamp(t - error / slope, 0.0, 1.0);
    }
    double low = 0, high = 1;
    t = x;
    for (int i = 0; i < 40; ++i) {
        const double current = bezier(x1, x2, t);
        if (std::abs(current - x) < 1e-7)
            break;
        (current < x ? low : high) = t;
        t = (low + high) / 2;
    }
    return bezier(y1, y2, t);
}

}  // namespace

double Easing::progress(EasingCurve curve, double fraction) {
    const double x = std::clamp(fraction, 0.0, 1.0);
    switch (curve) {
        case EasingCurve::linear:
            return x;
        case EasingCurve::easeIn:
            return solveCurve(0.42, 0, 1, 1, x);
        case EasingCurve::easeOut:
            return solveCurve(0, 0, 0.58, 1, x);
        case EasingCurve::easeInOut:
            return solveCurve(0.42, 0, 0.58, 1, x);
    }
    return x;
}

double Transition::value(double now) const {
    if (duration <= 0)
        return to;
    const double p = Easing::progress(curve, (now - startTime) / duration);
    return from + (to - from) * p;
}

}  // namespace vantlo
