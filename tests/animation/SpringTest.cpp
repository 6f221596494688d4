#include "switcher/animation/Spring.h"

#include <gtest/gtest.h>

#include <cmath>

#include "switcher/animation/Easing.h"

namespace vantlo {
namespace {

TEST(Spring, StartsWhereItIsAndEndsAtTheTarget) {
    Spring spring(0, {0.36, 0.8});
    spring.setTarget(100, 10.0);
    EXPECT_DOUBLE_EQ(spring.value(10.0), 0);
    EXPECT_DOUBLE_EQ(spring.velocity(10.0), 0);
    EXPECT_GT(spring.value(10.1), 0);
    EXPECT_NEAR(spring.value(12.0), 100, 1e-3);
    EXPECT_TRUE(spring.isSettled(12.0));
    EXPECT_FALSE(spring.isSettled(10.1));
}

TEST(Spring, UnderdampedSpringOvershootsOnce) {
    Spring spring(1.0, {0.16, 0.55});
    spring.setTarget(1.06, 0);
    double peak = 1.0;
    for (double t = 0; t < 1.0; t += 0.001)
        peak = std::max(peak, spring.value(t));
    EXPECT_GT(peak, 1.06);
    // Overshoot of a damped oscillator: exp(−ζπ/√(1−ζ²)) of the distance.
    const double zeta = 0.55;
    const double expected = 0.06 * std::exp(-zeta * M_PI / std::sqrt(1 - zeta * zeta));
    EXPECT_NEAR(peak - 1.06, expected, 1e-4);
}

TEST(Spring, CriticallyDampedSpringNeverPassesTheTarget) {
    Spring spring(0, {0.3, 1.0});
    spring.setTarget(50, 0);
    for (double t = 0; t < 2.0; t += 0.005)
        EXPECT_LE(spring.value(t), 50 + 1e-9) << "t " << t;
    EXPECT_TRUE(spring.isSettled(2.0));
}

TEST(Spring, RetargetingKeepsPositionAndVelocity) {
    Spring spring(0, {0.34, 0.78});
    spring.setTarget(100, 0);
    const double position = spring.value(0.05);
    const double speed = spring.velocity(0.05);
    spring.setTarget(-20, 0.05);
    EXPECT_NEAR(spring.value(0.05), position, 1e-9);
    EXPECT_NEAR(spring.velocity(0.05), speed, 1e-9);
    EXPECT_NEAR(spring.value(3.0), -20, 1e-3);
}

TEST(Spring, VelocityIsTheDerivativeOfPosition) {
    for (double damping : {0.55, 1.0, 1.4}) {
        Spring spring(3, {0.28, damping});
        spring.setTarget(-7, 0);
        for (double t : {0.01, 0.05, 0.12, 0.3}) {
            const double numeric = (spring.value(t + 1e-6) - spring.value(t - 1e-6)) / 2e-6;
            EXPECT_NEAR(spring.velocity(t), numeric, 1e-3) << "damping " << damping << " t " << t;
        }
    }
}

TEST(Spring, SnapStopsTheMotion) {
    Spring spring(0, {0.3, 0.8});
    spring.setTarget(10, 0);
    spring.snap(4);
    EXPECT_DOUBLE_EQ(spring.value(0.1), 4);
    EXPECT_TRUE(spring.isSettled(0.1));
}

TEST(Easing, CurvesRunFromZeroToOneAndKeepTheirCharacter) {
    for (auto curve :
         {EasingCurve::linear, EasingCurve::easeIn, EasingCurve::easeOut, EasingCurve::easeInOut}) {
        EXPECT_NEAR(Easing::progress(curve, 0), 0, 1e-6);
        EXPECT_NEAR(Easing::progress(curve, 1), 1, 1e-6);
        double previous = 0;
        for (double x = 0; x <= 1; x += 0.01) {
            const double p = Easing::progress(curve, x);
            EXPECT_GE(p, previous - 1e-9) << "x " << x;
            previous = p;
        }
    }
    // Ease-out is ahead of linear at mid-time, ease-in behind.
    EXPECT_GT(Easing::progress(EasingCurve::easeOut, 0.5), 0.6);
    EXPECT_LT(Easing::progress(EasingCurve::easeIn, 0.5), 0.4);
}

TEST(Easing, TransitionHoldsItsEndsOutsideItsTime) {
    Transition slide{42, 0, 1.0, 0.14, EasingCurve::easeOut};
    EXPECT_DOUBLE_EQ(slide.value(0.5), 42);
    EXPECT_DOUBLE_EQ(slide.value(1.15), 0);
    EXPECT_DOUBLE_EQ(slide.value(9), 0);
    EXPECT_TRUE(slide.isFinished(1.15));
    EXPECT_FALSE(slide.isFinished(1.1));
}

}  // namespace
}  // namespace vantlo
