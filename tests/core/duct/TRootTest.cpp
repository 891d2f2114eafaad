// Secant root finder: status codes, carried-over step, failure handling.
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "duct/DuctMath.h"
#include "duct/TRoot.h"

namespace oravent {
namespace {

struct RootCase {
    std::string Name;
    TRootFunction Fn;
    double X0;
    double Step;
    int ExpectedStatus;
    double ExpectedResult;
    double ResultTolerance;
    int ExpectedIterations; // -1: not checked
};

class RootCases : public ::testing::TestWithParam<RootCase> {};

TEST_P(RootCases, EndsWithStatedStatusAndResult) {
    const RootCase& c = GetParam();
    int calls = 0;
    TRoot root([&](double x) {
        ++calls;
        return c.Fn(x);
    });
    root.SetStep(c.Step);
    const double oldStep = root.Step;
    const double r = root.Solve(c.X0);
    EXPECT_EQ(root.Status, c.ExpectedStatus);
    EXPECT_NEAR(r, c.ExpectedResult, c.ResultTolerance);
    if (c.ExpectedIterations >= 0) {
        EXPECT_EQ(root.Iterations, c.ExpectedIterations);
    }
    EXPECT_LE(calls, 52);
    if (c.ExpectedStatus == TRoot::rsStartOrFail && c.ExpectedIterations == 0 && calls == 1) {
        EXPECT_EQ(root.Step, oldStep); // no search was made
    }
}

// sqrt of a negative argument is NaN, which the search must take as a failure.
double FailNegative(double x) {
    return std::sqrt(x) - 0.2;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RootCases,
    ::testing::Values(RootCase{"SqrtTwoConverges", [](double x) { return x * x - 2; }, 1.0, 0.1,
                               TRoot::rsConverged, 1.414214, 1e-6, -1},
                      RootCase{"StartAlreadyZero", [](double x) { return x - 3.0000005; }, 3.0, 0.1,
                               TRoot::rsStartOrFail, 3.0, 0.0, 0},
                      RootCase{"ZeroStepIsFlat", [](double x) { return x * x - 2; }, 1.0, 0.0,
                               TRoot::rsFlat, 1.0, 0.0, 0},
                      RootCase{"StepBelowResolutionIsFlat", [](double x) { return x * x - 2; }, 1.0,
                               1e-300, TRoot::rsFlat, 1.0, 0.0, 0},
                      RootCase{"NoZeroInReachHitsCap", [](double x) { return x * x + 1; }, 3.0, 0.1,
                               TRoot::rsMaxIter, 0.0, 1e300, 50},
                      RootCase{"DomainFailureGivesZero", FailNegative, 0.3, 0.1,
                               TRoot::rsStartOrFail, 0.0, 0.0, -1},
                      RootCase{"RaisedFailureGivesZero",
                               [](double x) -> double {
                                   if (x > 1.05) throw EMathError("boom");
                                   return x - 2;
                               },
                               1.0, 0.1, TRoot::rsStartOrFail, 0.0, 0.0, -1},
                      RootCase{"NaNStartGivesZero", [](double x) { return x - 1; },
                               std::numeric_limits<double>::quiet_NaN(), 0.1, TRoot::rsStartOrFail,
                               0.0, 0.0, 0},
                      RootCase{"OverflowingFunctionGivesZero",
                               [](double x) { return std::exp(x * 1000); }, 1.0, 0.1,
                               TRoot::rsStartOrFail, 0.0, 0.0, 0}),
    [](const auto& info) { return info.param.Name; });

TEST(RootSearch, NoZeroInReachReturnsFirstPointOfLastStep) {
    // With status 8 the result is the first point, which the search kept.
    double lastA = 0;
    TRoot root([&](double x) { return x * x + 1; });
    const double r = root.Solve(3.0);
    ASSERT_EQ(root.Status, TRoot::rsMaxIter);
    ASSERT_EQ(root.Iterations, 50);
    lastA = root.LastValue; // LastValue is the value at the first point
    EXPECT_DOUBLE_EQ(lastA, r * r + 1);
}

TEST(RootSearch, StartAlreadyZeroMakesOneEvaluationAndKeepsStep) {
    int calls = 0;
    TRoot root([&](double x) {
        ++calls;
        return x - 3.0000005;
    });
    root.SetStep(0.25);
    EXPECT_EQ(root.Solve(3.0), 3.0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(root.Status, TRoot::rsStartOrFail);
    EXPECT_EQ(root.Iterations, 0);
    EXPECT_EQ(root.Step, 0.25);
    EXPECT_EQ(root.LastValue, 3.0 - 3.0000005);
}

TEST(RootSearch, StepCarriesOverToNextSearch) {
    std::vector<double> xs;
    TRoot root([&](double x) {
        xs.push_back(x);
        return x * x - 2;
    });
    root.Solve(1.0);
    ASSERT_EQ(root.Status, TRoot::rsConverged);
    const double carried = root.Step;
    EXPECT_LE(std::fabs(carried), 1e-6);
    // The second search starts its second point at the carried-over distance,
    // not at 0.1.
    xs.clear();
    root.Solve(1.0);
    ASSERT_GE(xs.size(), 2u);
    EXPECT_EQ(xs[0], 1.0);
    EXPECT_EQ(xs[1], 1.0 + carried);
    EXPECT_EQ(root.Status, TRoot::rsConverged);
}

TEST(RootSearch, NumericDerivativeStoresItsDifferenceInStep) {
    TRoot root([](double x) { return x * x * x; });
    ASSERT_TRUE(static_cast<bool>(root.Derivative));
    const double d = root.Derivative(2.0);
    EXPECT_NEAR(d, 12.0, 0.02);
    const double h = (2.0 + 2.0 * 3.44e-4) - 2.0;
    EXPECT_EQ(root.Step, h);
    EXPECT_EQ(root.LastValue, 8.0);
    EXPECT_EQ(root.NumericDerivative(0.0), (3.44e-4 * 3.44e-4 * 3.44e-4) / 3.44e-4);
    EXPECT_EQ(root.Step, 3.44e-4);
}

TEST(RootSearch, CopiedRootUsesItsOwnNumericDerivative) {
    TRoot a([](double x) { return 2 * x; });
    TRoot b(a);
    b.Derivative(5.0);
    EXPECT_EQ(a.Step, 0.1); // the copy's derivative changed the copy only
    EXPECT_NE(b.Step, 0.1);
}

TEST(RootSearch, DefaultLimits) {
    TRoot root([](double x) { return x; });
    EXPECT_EQ(root.MaxIterations, 50);
    EXPECT_EQ(root.Tolerance, 1e-6);
    EXPECT_EQ(root.Step, 0.1);
}

} // namespace
} // namespace oravent
