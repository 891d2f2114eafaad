// Friction functions: each regime satisfies its own equation, the step caps
// hold, and arithmetic failures raise instead of returning NaN.
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "duct/DuctFriction.h"
#include "duct/DuctMath.h"

namespace oravent {
namespace {

TEST(DuctFriction, SmoothFrictionSolvesItsEquation) {
    for (double re : {2300.0, 1e4, 5.12e5, 1e7, 1e9}) {
        for (double f0 : {0.0, 0.015, 0.5}) {
            const double f = SmoothFriction(re, f0);
            const int steps = LastFrictionSteps();
            EXPECT_GE(steps, 1);
            EXPECT_LE(steps, 21);
            // 1/√f = 2·log10(Re·√f) − 0.8 to the substitution tolerance
            EXPECT_NEAR(1 / std::sqrt(f), 2 * std::log10(re * std::sqrt(f)) - 0.8, 2e-6)
                << "Re " << re << " f0 " << f0;
        }
    }
}

TEST(DuctFriction, ColebrookSolvesItsEquation) {
    for (double re : {2300.0, 1e4, 5.12e5, 1e7}) {
        for (double r : {1e-6, 1.8e-4, 1e-3, 0.01}) {
            const double f = ColebrookFriction(re, r, 0.015);
            const int steps = LastFrictionSteps();
            EXPECT_GE(steps, 1);
            EXPECT_LE(steps, 21);
            const double x = 1 / std::sqrt(f);
            EXPECT_NEAR(x + 2 * std::log10(r / 3.7 + 2.51 * x / re), 0.0, 1e-6)
                << "Re " << re << " r " << r;
        }
    }
}

TEST(DuctFriction, WorkedExampleFactor) {
    // Re 5.12e5 in a 820 mm duct of 0.15 mm roughness.
    const double f = DarcyFriction(511911.689, 0.81996428, 0.00015, 0.015);
    EXPECT_NEAR(f, 0.01524, 0.000005);
}

struct RegimeCase {
    std::string Name;
    double Re, D, Eps, F0;
    std::function<double()> Expected;
};

class DarcyRegimes : public ::testing::TestWithParam<RegimeCase> {};

TEST_P(DarcyRegimes, FirstMatchingCase) {
    const RegimeCase& c = GetParam();
    EXPECT_DOUBLE_EQ(DarcyFriction(c.Re, c.D, c.Eps, c.F0), c.Expected());
}

INSTANTIATE_TEST_SUITE_P(
    Table, DarcyRegimes,
    ::testing::Values(
        RegimeCase{"SmoothPipeWhenRoughnessZero", 1e5, 0.5, 0.0, 0.02,
                   [] { return SmoothFriction(1e5, 0.02); }},
        RegimeCase{"FullyRough", 1e8, 0.1, 0.003, 0.02, [] { return RoughFriction(0.03); }},
        RegimeCase{"ZeroStartTakesRoughValue", 1e5, 0.5, 0.00015, 0.0,
                   [] { return ColebrookFriction(1e5, 0.0003, RoughFriction(0.0003)); }},
        RegimeCase{"ColebrookBetween", 1e5, 0.5, 0.00015, 0.02,
                   [] { return ColebrookFriction(1e5, 0.0003, 0.02); }},
        RegimeCase{"LaminarAt1000", 1000, 0.5, 0.00015, 0.02, [] { return 0.064; }},
        RegimeCase{"LaminarJustBelowLimit", 2299.9, 0.5, 0.00015, 0.02, [] { return 64 / 2299.9; }},
        RegimeCase{"BelowRe64Gives002", 63.9, 0.5, 0.00015, 0.5, [] { return 0.02; }},
        RegimeCase{"Re64Exactly", 64, 0.5, 0.00015, 0.5, [] { return 1.0; }},
        RegimeCase{"ZeroReKeepsValidStart", 0.0, 0.5, 0.00015, 0.3, [] { return 0.3; }},
        RegimeCase{"NegativeReWithBadStart", -5.0, 0.5, 0.00015, 1.5, [] { return 0.02; }}),
    [](const auto& info) { return info.param.Name; });

struct FailCase {
    std::string Name;
    std::function<double()> Call;
};

class FrictionFailures : public ::testing::TestWithParam<FailCase> {};

TEST_P(FrictionFailures, RaiseMathError) {
    EXPECT_THROW(GetParam().Call(), EMathError);
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Table, FrictionFailures,
    ::testing::Values(
        FailCase{"ZeroViscosity", [] { return ReynoldsNumber(1.2, 5, 0.5, 0); }},
        FailCase{"OverflowingReynolds", [] { return ReynoldsNumber(1e300, 1e300, 1, 1); }},
        FailCase{"NaNReynolds", [] { return DarcyFriction(NaN, 0.5, 0.00015, 0.02); }},
        FailCase{"ZeroDiameterRoughness", [] { return DarcyFriction(1e5, 0.0, 0.00015, 0.02); }},
        FailCase{"NegativeRoughnessFromZeroStart",
                 [] { return DarcyFriction(1e5, -0.5, 0.00015, 0.0); }},
        FailCase{"NegativeStartFactor", [] { return ColebrookFriction(1e5, 1e-4, -0.01); }},
        FailCase{"RoughOfZero", [] { return RoughFriction(0.0); }},
        FailCase{"SideZero", [] { return EquivalentDiameter(0.0, 1.0); }},
        FailCase{"SidesNegative", [] { return EquivalentDiameter(-1.0, -1.0); }},
        FailCase{"SideNaN", [] { return EquivalentDiameter(NaN, 1.0); }},
        FailCase{"SidesOverflow", [] { return EquivalentDiameter(1e300, 1e300); }},
        FailCase{"SideOfZeroDiameter", [] { return RectangleSide(0.0, 0.5); }},
        FailCase{"SideOfNaNDiameter", [] { return RectangleSide(NaN, 0.5); }},
        FailCase{"SideBesideNegativeSide", [] { return RectangleSide(0.5, -0.5); }},
        FailCase{"SideBeyondDoubleRange", [] { return RectangleSide(1e300, 1.0); }}),
    [](const auto& info) { return info.param.Name; });

TEST(DuctFriction, EquivalentDiameterOfSquare) {
    // 1.3·a^1.25/(2a)^0.25 = a·1.3/2^0.25
    for (double a : {0.05, 0.5, 2.4}) {
        EXPECT_NEAR(EquivalentDiameter(a, a), a * 1.3 / std::pow(2.0, 0.25), 1e-15);
    }
    EXPECT_NEAR(EquivalentDiameter(0.55, 1.05),
                1.3 * std::pow(0.55 * 1.05, 0.625) / std::pow(1.6, 0.25), 1e-15);
}

TEST(DuctFriction, RectangleSideInvertsEquivalentDiameter) {
    // Diameters from far below to far above the rows' range, with start values
    // on either side of the answer and none.
    for (double d : {1e-9, 0.05, 0.835, 10.999, 2e4}) {
        for (double other : {0.05, 0.55, 2.4}) {
            for (double guess : {0.0, d, 1e-6, 1e6}) {
                const double x = RectangleSide(d, other, guess);
                EXPECT_NEAR(EquivalentDiameter(x, other) / d, 1.0, 1e-14)
                    << d << " beside " << other << " from " << guess;
            }
        }
    }
}

} // namespace
} // namespace oravent
