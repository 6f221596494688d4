#include "switcher/animation/Spring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantlo {

Spring::Spring(double value, SpringParameters parameters)
    : parameters_(parameters), target_(value) {}

double Spring::omega() const {
    return 2 * std::numbers::pi / std::max(parameters_.response, 1e-3);
}

void Spring::setTarget(double target, double now) {
    const double current = value(now);
    const double speed = velocity(now);
    target_ = target;
    startTime_ = now;
    startOffset_ = current - target;
    startVelocity_ = speed;
}

void Spring::animateTo(double target, SpringParameters parameters, double now) {
    const double current = value(now);
    const double speed = velocity(now);
    parameters_ = parameters;
    target_ = target;
    startTime_ = now;
    startOffset_ = current - target;
    startVelocity_ = speed;
}

void Spring::snap(double value) {
    target_ = value;
    startOffset_ = 0;
    startVelocity_ = 0;
}

void Spring::displacement(double t, double& x, double& v) const {
    const double w0 = omega();
    const double zeta = std::max(parameters_.dampingFraction, 0.0);
    const double a = startOffset_;
    const double v0 = startVelocity_;
    if (t <= 0) {
        x = a;
        v = v0;
        return;
    }
    if (zeta < 1) {
        const double wd = w0 * std::sqrt(1 - zeta * zeta);
        const double b = (v0 + zeta * w0 * a) / wd;
        const double decay = std::exp(-zeta * w0 * t);
        const double c = std::cos(wd * t);
        const double s = std::sin(wd * t);
        x = decay * (a * c + b * s);
        v = decay * ((b * wd - zeta * w0 * a) * c - (a * wd + zeta * w0 * b) * s);
    } else if (zeta == 1) {
        const double b = v0 + w0 * a;
        const double decay = std::exp(-w0 * t);
        x = decay * (a + b * t);
        v = decay * (b - w0 * (a + b * t));
    } else {
        const double root = w0 * std::sqrt(zeta * zeta - 1);
        const double r1 = -zeta * w0 + root;
        const double r2 = -zeta * w0 - root;
        const double c2 = (r1 * a - v0) / (r1 - r2);
        const double c1 = a - c2;
        x = c1 * std::exp(r1 * t) + c2 * std::exp(r2 * t);
        v = c1 * r1 * std::exp(r1 * t) + c2 * r2 * std::exp(r2 * t);
    }
}

double Spring::value(double now) const {
    double x = 0, v = 0;
    displacement(now - startTime_, x, v);
    return target_ + x;
}

double Spring::velocity(double now) const {
    double x = 0, v = 0;
    displacement(now - startTime_, x, v);
    return v;
}

bool Spring::isSettled(double now, double tolerance) const {
    if (startOffset_ == 0 && startVelocity_ == 0)
        return true;
    const double t = now - startTime_;
    if (t <= 0)
        return false;
    // The decaying envelope of the motion bounds every later displacement.
    const double w0 = omega();
    const double zeta = std::max(parameters_.dampingFraction, 0.0);
    const double a = startOffset_;
    const double v0 = startVelocity_;
    double envelope = 0;
    if (zeta < 1) {
        const double wd = w0 * std::sqrt(1 - zeta * zeta);
        const double b = (v0 + zeta * w0 * a) / wd;
        envelope = std::exp(-zeta * w0 * t) * std::hypot(a, b);
    } else if (zeta == 1) {
        const double b = std::abs(v0 + w0 * a);
        // This bound still grows until its peak; only past it does it bound what follows.
        if (b > 0 && t < (b - w0 * std::abs(a)) / (w0 * b))
            return false;
        envelope = std::exp(-w0 * t) * (std::abs(a) + b * t);
    } else {
        const double root = w0 * std::sqrt(zeta * zeta - 1);
        const double r1 = -zeta * w0 + root;
        const double r2 = -zeta * w0 - root;
        const double c2 = (r1 * a - v0) / (r1 - r2);
        envelope = std::abs(a - c2) * std::exp(r1 * t) + std::abs(c2) * std::exp(r2 * t);
    }
    return envelope < tolerance;
}

}  // namespace vantlo
