// Duct sheet: worked example and edge cases as named rows of case tables,
// with air of density 1.2 kg/m³ and viscosity 18.2 µPa·s set into the record.
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "duct/DuctFriction.h"
#include "duct/DuctMath.h"
#include "duct/DuctSheet.h"

namespace oravent {
namespace {

constexpr double TestDensity = 1.2;
constexpr double TestViscosity = 18.2e-6;

void UseTestAir(DuctSheet& s) {
    s.DuctAir.Density = TestDensity;
    s.DuctAir.Viscosity = TestViscosity;
}

// The reset sheet with the test air, before any calculation.
DuctSheet ResetSheet() {
    DuctSheet s;
    s.ResetToDefaults();
    UseTestAir(s);
    return s;
}

// The worked example: reset values, UpdateIntermediates, SolveRectangle, Iterate.
DuctSheet SolvedExample() {
    DuctSheet s = ResetSheet();
    s.UpdateIntermediates();
    s.SolveRectangle();
    s.Iterate();
    return s;
}

// RectangleError: EquivalentDiameter(Height, Width) / Diameter − 1.
enum class Field {
    Diameter,
    Height,
    Width,
    Velocity,
    Volume,
    PRate,
    Reynolds,
    Friction,
    RectangleError
};

double Get(const DuctSheet& s, Field f) {
    switch (f) {
    case Field::Diameter:
        return s.Diameter;
    case Field::Height:
        return s.Height;
    case Field::Width:
        return s.Width;
    case Field::Velocity:
        return s.Velocity;
    case Field::Volume:
        return s.Volume;
    case Field::PRate:
        return s.PRate;
    case Field::Reynolds:
        return s.Reynolds;
    case Field::Friction:
        return s.FrictionFactor;
    case Field::RectangleError:
        return EquivalentDiameter(s.Height, s.Width) / s.Diameter - 1.0;
    }
    return 0;
}

struct Expect {
    Field What;
    double Value;
    double Tol;
};

struct SheetCase {
    std::string Name;
    std::function<DuctSheet()> Start;
    std::function<void(DuctSheet&)> Edit; // followed by Iterate
    int Passes;
    bool Solved;
    bool Failed;
    std::vector<Expect> Values;
    std::string Flow; // "[Velocity, Pressure]"
    std::string Size;
};

std::string FlowText(const DuctSheet& s) {
    return "[" + std::string(FlowQuantityName(s.LastFlow0)) + ", " +
           std::string(FlowQuantityName(s.LastFlow1)) + "]";
}
std::string SizeText(const DuctSheet& s) {
    return "[" + std::string(SizeQuantityName(s.LastSize0)) + ", " +
           std::string(SizeQuantityName(s.LastSize1)) + "]";
}

class SheetCases : public ::testing::TestWithParam<SheetCase> {};

TEST_P(SheetCases, GivesStatedPassesAndValues) {
    const SheetCase& c = GetParam();
    DuctSheet s = c.Start();
    c.Edit(s);
    const bool solved = s.Iterate();
    EXPECT_EQ(solved, c.Solved);
    EXPECT_EQ(s.Solved, c.Solved);
    EXPECT_EQ(s.Failed(), c.Failed);
    if (c.Passes >= 0) {
        EXPECT_EQ(s.Passes, c.Passes);
    }
    for (const Expect& e : c.Values) {
        EXPECT_NEAR(Get(s, e.What), e.Value, e.Tol) << "field " << static_cast<int>(e.What);
    }
    if (!c.Flow.empty()) {
        EXPECT_EQ(FlowText(s), c.Flow);
    }
    if (!c.Size.empty()) {
        EXPECT_EQ(SizeText(s), c.Size);
    }
}

// Side of the square whose equivalent diameter is 500 mm: 500/(1.3/2^0.25).
const double SquareSide500 = 0.5 / (1.3 / std::pow(2.0, 0.25));

INSTANTIATE_TEST_SUITE_P(
    Table, SheetCases,
    ::testing::Values(SheetCase{"WorkedExample",
                                [] {
                                    DuctSheet s = ResetSheet();
                                    s.UpdateIntermediates();
                                    s.SolveRectangle();
                                    return s;
                                },
                                [](DuctSheet&) {},
                                2,
                                true,
                                false,
                                {{Field::Diameter, 0.8200, 0.00005},
                                 {Field::Height, 0.550, 0.0000005},
                                 {Field::Width, 1.05, 0.005},
                                 {Field::Velocity, 9.469, 0.0005},
                                 {Field::Reynolds, 5.12e5, 0.005e5},
                                 {Field::Friction, 0.01524, 0.000005},
                                 {Field::PRate, 1.0, 0.0}},
                                "[Pressure, Flow]",
                                "[Diam, Height]"},
                      SheetCase{"SamePressureRateAgainKeepsGroups",
                                SolvedExample,
                                [](DuctSheet& s) { s.EnterPRate(1.0); },
                                1,
                                true,
                                false,
                                {{Field::Diameter, 0.8200, 0.00005}},
                                "[Pressure, Flow]",
                                "[Diam, Height]"},
                      SheetCase{"Velocity10FromPressureAndFlow",
                                SolvedExample,
                                [](DuctSheet& s) { s.EnterVelocity(10.0); },
                                5,
                                true,
                                false,
                                {{Field::Diameter, 0.8942, 0.00005},
                                 {Field::Width, 1.27, 0.005},
                                 {Field::Volume, 6.280, 0.0005},
                                 {Field::Height, 0.55, 0.0}},
                                "[Velocity, Pressure]",
                                "[Diam, Height]"},
                      SheetCase{"Diameter600mm",
                                SolvedExample,
                                [](DuctSheet& s) {
                                    s.EnterDiameter(0.6);
                                    // The width is solved at once from diameter and height.
                                    EXPECT_NEAR(s.Width, 0.5477, 0.00005);
                                },
                                4,
                                true,
                                false,
                                {{Field::Volume, 2.196, 0.0005},
                                 {Field::Velocity, 7.765, 0.0005},
                                 {Field::Diameter, 0.6, 0.0},
                                 {Field::Width, 0.5477, 0.00005}},
                                "[Size, Pressure]",
                                "[Diam, Height]"},
                      SheetCase{"HeightThenWidthGivesDiameter",
                                SolvedExample,
                                [](DuctSheet& s) {
                                    s.EnterHeight(0.4);
                                    s.EnterWidth(0.8);
                                    EXPECT_NEAR(s.Diameter, EquivalentDiameter(0.4, 0.8), 1e-15);
                                },
                                -1,
                                true,
                                false,
                                {{Field::Height, 0.4, 0.0}, {Field::Width, 0.8, 0.0}},
                                "[Size, Pressure]",
                                "[Width, Height]"},
                      SheetCase{"ZeroPressureRateFails",
                                SolvedExample,
                                [](DuctSheet& s) { s.EnterPRate(0.0); },
                                1,
                                false,
                                true,
                                // values assigned before the failure stay
                                {{Field::Diameter, 0.8200, 0.00005}, {Field::PRate, 0.0, 0.0}},
                                "[Pressure, Flow]",
                                "[Diam, Height]"},
                      SheetCase{"EnteringVelocityRemembersPressure",
                                SolvedExample,
                                [](DuctSheet& s) {
                                    s.EnterPRate(1.0);
                                    s.EnterVelocity(9.469);
                                },
                                -1,
                                true,
                                false,
                                {{Field::Diameter, 0.8200, 0.0001}},
                                "[Velocity, Pressure]",
                                "[Diam, Height]"},
                      // Near Re 2300 the friction factor jumps between the laminar and the
                      // Colebrook value each pass: the pass cap ends the loop unsolved.
                      SheetCase{"LaminarLimitOscillationHitsPassCap",
                                SolvedExample,
                                [](DuctSheet& s) {
                                    s.EnterVolume(0.00274);
                                    s.EnterPRate(0.025);
                                },
                                21,
                                false,
                                false,
                                {},
                                "[Pressure, Flow]",
                                "[Diam, Height]"},
                      // The second velocity's width search starts from the carried-over
                      // step of the first and ends flat at its start value (the height):
                      // the width is searched again by bracketing.
                      SheetCase{"SecondVelocityFlatSearchStillGivesDiameter",
                                [] {
                                    DuctSheet s = ResetSheet();
                                    s.UpdateIntermediates();
                                    return s;
                                },
                                [](DuctSheet& s) {
                                    s.SetRoughnessIndex(0);
                                    s.Iterate();
                                    s.EnterVelocity(62.45);
                                    s.Iterate();
                                    s.EnterVelocity(49.76);
                                },
                                -1,
                                true,
                                false,
                                {{Field::Diameter, 10.999, 0.0005},
                                 {Field::Height, 0.55, 0.0},
                                 {Field::Width, 805.4, 0.05},
                                 {Field::RectangleError, 0.0, 1e-12}},
                                "[Velocity, Pressure]",
                                "[Diam, Height]"},
                      // Equal remembered numbers (possible only from stored settings): no
                      // pair is known, only the intermediates change and K settles.
                      SheetCase{"NoKnownPairOnlyIntermediates",
                                [] {
                                    DuctSheet s = ResetSheet();
                                    s.LastFlow0 = s.LastFlow1 = fqPressure;
                                    return s;
                                },
                                [](DuctSheet&) {},
                                2,
                                true,
                                false,
                                {{Field::Diameter, 0.835, 0.0},
                                 {Field::Volume, 5.0, 0.0},
                                 {Field::PRate, 1.0, 0.0},
                                 {Field::Width, 1.1, 0.0},
                                 {Field::Velocity, 5.0 / (0.835 * 0.835 * M_PI / 4), 1e-12}},
                                "[Pressure, Pressure]",
                                "[Diam, Height]"}),
    [](const auto& info) { return info.param.Name; });

// The rectangle: a width that already gives the diameter as a square makes the
// root finder report status 11 at once, and the fall-back start takes over.
struct RectangleCase {
    std::string Name;
    double Diameter;
    double Width;
    double ExpectedWidth;
    double ExpectedHeight;
    double Tol;
};

class RectangleCases : public ::testing::TestWithParam<RectangleCase> {};

TEST_P(RectangleCases, SolvesHeightFromWidth) {
    const RectangleCase& c = GetParam();
    DuctSheet s = ResetSheet();
    s.Diameter = c.Diameter;
    s.Width = c.Width;
    s.LastSize0 = sqWidth; // [Width, Diam]: height is not a known size
    s.LastSize1 = sqDiam;
    ASSERT_TRUE(s.SolveRectangle());
    EXPECT_NEAR(s.Width, c.ExpectedWidth, c.Tol);
    EXPECT_NEAR(s.Height, c.ExpectedHeight, c.Tol);
    EXPECT_NEAR(EquivalentDiameter(s.Height, s.Width), c.Diameter, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RectangleCases,
    ::testing::Values(
        RectangleCase{"SquareWidthFallsBackToDiameter", 0.5, SquareSide500, 0.5, 0.4192, 0.00005},
        RectangleCase{"WidthJustOffSquareSolvesNormally", 0.5, 0.45738, 0.45738, 0.45739, 0.000005},
        RectangleCase{"WideDuct", 0.82, 1.0, 1.0, 0.57351, 0.000005},
        // From 1.5 m the secant search leaves the positive sides (an
        // arithmetic failure): the kept width stays and the height that
        // gives the diameter with it is found by bracketing.
        RectangleCase{"SearchLeavingDomainKeepsTheWidth", 0.82, 1.5, 1.5, 0.413456, 0.000005}),
    [](const auto& info) { return info.param.Name; });

TEST(DuctSheetRectangle, SquareWidthIsWithinTheRootTolerance) {
    DuctSheet s = ResetSheet();
    s.Diameter = 0.5;
    s.FixedSide = SquareSide500;
    EXPECT_LE(std::fabs(s.SideResidual(SquareSide500)), 1e-6);
    EXPECT_NEAR(SquareSide500, 0.457387, 0.0000005);
}

// Friction factor from UpdateIntermediates over the flow regimes.
struct FrictionCase {
    std::string Name;
    double Volume;
    int RoughnessIndex;
    double RoughnessValue; // < 0: keep the table entry
    std::function<double(const DuctSheet&)> Expected;
    double Tol;
};

class FrictionCases : public ::testing::TestWithParam<FrictionCase> {};

TEST_P(FrictionCases, SelectsTheRegimeFormula) {
    const FrictionCase& c = GetParam();
    DuctSheet s = SolvedExample();
    if (c.RoughnessValue >= 0) {
        double table[RoughnessCount];
        for (int i = 0; i < RoughnessCount; ++i)
            table[i] = s.RoughnessTable[i];
        table[c.RoughnessIndex] = c.RoughnessValue;
        s.SetRoughnessTable(table);
    }
    s.SetRoughnessIndex(c.RoughnessIndex);
    s.Volume = c.Volume;
    const double f0 = s.FrictionFactor;
    ASSERT_TRUE(s.UpdateIntermediates());
    DuctSheet before = s;
    before.FrictionFactor = f0;
    EXPECT_NEAR(s.FrictionFactor, c.Expected(before), c.Tol) << "Re " << s.Reynolds;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrictionCases,
    ::testing::Values(
        FrictionCase{"LaminarBelowRe64", 1e-5, 2, -1, [](const DuctSheet&) { return 0.02; }, 0},
        FrictionCase{"LaminarBetween64And2300", 0.01, 2, -1,
                     [](const DuctSheet& s) { return 64.0 / s.Reynolds; }, 1e-15},
        FrictionCase{"ZeroRoughnessUsesSmoothPipe", 5.0, 0, 0.0,
                     [](const DuctSheet& s) { return SmoothFriction(s.Reynolds, 0.01524); }, 1e-7},
        FrictionCase{"VeryRoughIsFullyRough", 500.0, 4, 0.05,
                     [](const DuctSheet& s) { return RoughFriction(0.05 / s.Diameter); }, 1e-15},
        FrictionCase{"AverageIsColebrook", 5.0, 2, -1, [](const DuctSheet&) { return 0.01524; },
                     0.000005}),
    [](const auto& info) { return info.param.Name; });

} // namespace
} // namespace oravent

namespace oravent {
namespace {

TEST(DuctSheetCopy, CopySearchesItsOwnRectangle) {
    auto original = std::make_unique<DuctSheet>(SolvedExample());
    DuctSheet copy = *original;
    DuctSheet assigned;
    assigned = *original;
    original->Diameter = 5.0; // must not leak into the copies' searches
    original.reset();         // and the copies must not reach the freed sheet
    copy.EnterDiameter(0.6);
    assigned.EnterDiameter(0.6);
    EXPECT_NEAR(copy.Width, 0.5477, 0.00005);
    EXPECT_EQ(copy.Width, assigned.Width);
    EXPECT_NEAR(EquivalentDiameter(copy.Height, copy.Width), 0.6, 1e-6);
}

TEST(DuctSheetFailure, EditFailureMakesTheNextIterateFail) {
    DuctSheet s = SolvedExample();
    s.EnterHeight(0.4);
    s.EnterWidth(-0.8); // both sides known: no equivalent diameter of a negative side
    EXPECT_TRUE(s.EditFailed());
    EXPECT_FALSE(s.Iterate());
    EXPECT_TRUE(s.Failed());
    EXPECT_EQ(s.Passes, 0);
    EXPECT_EQ(s.Width, -0.8); // the entered value stays
    // A following valid edit clears the failure.
    s.EnterWidth(0.8);
    EXPECT_FALSE(s.EditFailed());
    EXPECT_TRUE(s.Iterate());
    EXPECT_FALSE(s.Failed());
}

TEST(DuctSheetRoughness, IndexOutsideTheTableIsRefusedOrClamped) {
    DuctSheet s = SolvedExample();
    s.SetRoughnessIndex(7);
    EXPECT_EQ(s.kIndex, 2);
    s.SetRoughnessIndex(-1);
    EXPECT_EQ(s.kIndex, 2);
    s.kIndex = 9; // as a stored setting could hold it
    s.UpdateRoughness();
    EXPECT_EQ(s.kIndex, 4);
    EXPECT_EQ(s.Roughness, 0.003);
}

TEST(DuctSheetReset, DefaultsAndGroups) {
    DuctSheet s;
    s.PRateFactor = 0.123;
    s.ResetToDefaults();
    EXPECT_EQ(s.Barometer, 101.325);
    EXPECT_EQ(s.DuctAir.DryBulb, 19.5);
    EXPECT_EQ(s.DuctAir.WetBulb, 13.37);
    EXPECT_GT(s.DuctAir.Density, 1.1); // filled by the engine
    EXPECT_EQ(s.kIndex, 2);
    EXPECT_EQ(s.Roughness, 0.00015);
    EXPECT_EQ(s.FrictionFactor, 0.015);
    EXPECT_NEAR(s.Velocity, 5.0 / (0.835 * 0.835 * M_PI / 4), 1e-12);
    EXPECT_EQ(s.PRateFactor, 0.123); // kept until the next pass
    EXPECT_EQ(FlowText(s), "[Pressure, Flow]");
    EXPECT_EQ(SizeText(s), "[Diam, Height]");
}

} // namespace
} // namespace oravent
