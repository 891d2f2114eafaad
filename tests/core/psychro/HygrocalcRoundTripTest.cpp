// Round trip of every pair code: a known state, its two properties of the
// code handed back to AirState, must give the state again. Also the refusals
// where a pair has no state.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "psychro/Hygrocalc.h"
#include "psychro/MoistAir.h"

namespace oravent {
namespace {

const int kCodes[] = {0,  1,  2,  3,  4,  5,  7,  8,  9,  10, 11, 12, 13,
                      14, 15, 16, 17, 18, 19, 25, 26, 28, 29, 30, 31, 32};

class PairRoundTrip : public ::testing::TestWithParam<int> {};

// Where a code cannot give the state back (see IsDegenerate), it still must
// return a valid state with the two given properties.
bool IsDegenerate(int code, const TAirStateRec& s) {
    // Wet bulb + enthalpy: on the water branch the enthalpy varies along a
    // wet-bulb line only by 4.186·b·(Ws*-W), which vanishes at b = 0.
    if (code == 8 && s.WetBulb >= 0.0 && s.WetBulb < 0.05) return true;
    return false;
}

TEST_P(PairRoundTrip, GivesTheStateBack) {
    const int code = GetParam();
    int n = 0, skipped = 0;
    for (double P : {60.0, 84.0, 101.325, 130.0})
        for (double t = -60.0; t <= 90.0; t += 5.0)
            for (double f : {0.0, 0.01, 0.2, 0.5, 0.8, 1.0}) {
                if (f * psy::SatPressure(t) >= 0.98 * P) continue;
                TAirStateRec s;
                SetState(s, P, t, f, 3);
                if (f == 0.0 && (code == 25 || code == 4 || code == 11 || code == 17 ||
                                 code == 28 || code == 29 || code == 31)) {
                    // Dry air: no dew point (reported as the bottom of the
                    // range) and no dry bulb from W with 0 %.
                    ++skipped;
                    continue;
                }
                SCOPED_TRACE("code " + std::to_string(code) + " P=" + std::to_string(P) +
                             " t=" + std::to_string(t) + " f=" + std::to_string(f));
                TAirStateRec out;
                AirState(out, s, code);
                EXPECT_EQ(PsyStatus(), 0);
                if (IsDegenerate(code, s)) {
                    EXPECT_NEAR(out.WetBulb, s.WetBulb, 1e-9);
                    EXPECT_NEAR(out.Enthalpy, s.Enthalpy, 1e-6);
                    ++skipped;
                    continue;
                }
                EXPECT_NEAR(out.DryBulb, s.DryBulb, 0.005);
                EXPECT_NEAR(out.WetBulb, s.WetBulb, 0.005);
                EXPECT_NEAR(out.AbsHumidity, s.AbsHumidity, 1e-6);
                EXPECT_NEAR(out.RelHumidity, s.RelHumidity, 1e-5);
                EXPECT_NEAR(out.Pressure, P, 0.0);
                ++n;
            }
    EXPECT_GT(n, 400) << skipped;
}

INSTANTIATE_TEST_SUITE_P(AllCodes, PairRoundTrip, ::testing::ValuesIn(kCodes),
                         [](const auto& info) { return "Code" + std::to_string(info.param); });

TEST(PairRoundTrip, UnusableCodesAreRefused) {
    TAirStateRec in, out;
    in.Pressure = 101.325;
    in.DryBulb = 20;
    in.WetBulb = 15;
    for (int code : {6, 20, 21, 22, 23, 24, 27, 33, -1, 255}) {
        EXPECT_THROW(AirState(out, in, code), EPsychroError) << code;
        EXPECT_EQ(PsyStatus(), psUnknownCode);
        ResetReferenceState();
        EXPECT_EQ(PsyStatus(), 0);
    }
}

// Pairs with no physical state: an error, a non-zero status, the output
// record untouched.
struct TNoStateRow {
    const char* Name;
    int Code;
    double TAirStateRec::*A;
    double ValA;
    double TAirStateRec::*B;
    double ValB;
    double P = 101.325;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const TNoStateRow kNoStateRows[] = {
    {"RelHumidityAbove1", 3, &TAirStateRec::DryBulb, 20, &TAirStateRec::RelHumidity, 1.02},
    {"RelHumidityNegative", 3, &TAirStateRec::DryBulb, 20, &TAirStateRec::RelHumidity, -0.1},
    {"WetBulbAboveDryBulb", 0, &TAirStateRec::DryBulb, 20, &TAirStateRec::WetBulb, 25},
    {"WetBulbFarBelowDryBulb", 0, &TAirStateRec::DryBulb, 20, &TAirStateRec::WetBulb, -20},
    {"HumRatioAboveSaturation", 2, &TAirStateRec::DryBulb, 20, &TAirStateRec::AbsHumidity, 0.02},
    {"HumRatioNegative", 2, &TAirStateRec::DryBulb, 20, &TAirStateRec::AbsHumidity, -0.001},
    {"VapPressureAboveTotal", 29, &TAirStateRec::RelHumidity, 0.5, &TAirStateRec::VapPressure, 120},
    {"VapPressureAboveSaturation", 5, &TAirStateRec::DryBulb, 20, &TAirStateRec::VapPressure, 3.0},
    {"SaturatedAboveBoiling", 30, &TAirStateRec::RelHumidity, 1.0, &TAirStateRec::SatPressure, 150},
    {"SatPressureBeyondRange", 13, &TAirStateRec::WetBulb, 10, &TAirStateRec::SatPressure, 5000},
    {"DewPointAboveDryBulb", 4, &TAirStateRec::DryBulb, 20, &TAirStateRec::DewPoint, 21},
    {"DewPointAboveWetBulb", 11, &TAirStateRec::WetBulb, 15, &TAirStateRec::DewPoint, 16},
    {"DewPointAboveSatPressure", 31, &TAirStateRec::DewPoint, 30, &TAirStateRec::SatPressure, 2.0},
    {"VapAboveSatPressure", 32, &TAirStateRec::VapPressure, 3, &TAirStateRec::SatPressure, 2.0},
    {"EnthalpyBelowDryAir", 1, &TAirStateRec::DryBulb, 20, &TAirStateRec::Enthalpy, 10},
    {"EnthalpyAboveSaturation", 1, &TAirStateRec::DryBulb, 20, &TAirStateRec::Enthalpy, 80},
    {"EnthalpyTooLowForRH", 16, &TAirStateRec::Enthalpy, -200, &TAirStateRec::RelHumidity, 0.5},
    {"DensityAboveDryAir", 7, &TAirStateRec::DryBulb, 20, &TAirStateRec::Density, 1.3},
    {"DensityBelowSaturated", 7, &TAirStateRec::DryBulb, 20, &TAirStateRec::Density, 1.1},
    {"DensityOffWetBulbLine", 14, &TAirStateRec::WetBulb, 15, &TAirStateRec::Density, 2.0},
    {"RelHumidityZeroWithMoisture", 25, &TAirStateRec::AbsHumidity, 0.01,
     &TAirStateRec::RelHumidity, 0},
    {"DryAirAtZeroRH", 25, &TAirStateRec::AbsHumidity, 0, &TAirStateRec::RelHumidity, 0},
    {"WetBulbAboveBoiling", 9, &TAirStateRec::WetBulb, 101, &TAirStateRec::AbsHumidity, 0.01},
    {"DryBulbNaN", 3, &TAirStateRec::DryBulb, kNaN, &TAirStateRec::RelHumidity, 0.5},
    {"RelHumidityNaN", 3, &TAirStateRec::DryBulb, 20, &TAirStateRec::RelHumidity, kNaN},
    {"WetBulbInfinite", 0, &TAirStateRec::DryBulb, 20, &TAirStateRec::WetBulb, kInf},
    {"EnthalpyMinusInfinite", 15, &TAirStateRec::Enthalpy, -kInf, &TAirStateRec::AbsHumidity, 0.01},
    {"DryBulbTooHigh", 3, &TAirStateRec::DryBulb, 250, &TAirStateRec::RelHumidity, 0.1},
    {"NegativePressure", 0, &TAirStateRec::DryBulb, 20, &TAirStateRec::WetBulb, 15, -101.325},
    {"NaNPressure", 0, &TAirStateRec::DryBulb, 20, &TAirStateRec::WetBulb, 15, kNaN},
};

class NoState : public ::testing::TestWithParam<TNoStateRow> {};

TEST_P(NoState, RaisesAndKeepsOutput) {
    const auto& r = GetParam();
    TAirStateRec in;
    in.Pressure = r.P;
    in.*r.A = r.ValA;
    in.*r.B = r.ValB;
    TAirStateRec out;
    out.DryBulb = 12345;
    try {
        AirState(out, in, r.Code);
        FAIL() << "no error; dry bulb " << out.DryBulb;
    } catch (const EPsychroError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
    EXPECT_NE(PsyStatus(), 0);
    EXPECT_EQ(out.DryBulb, 12345);
    ResetReferenceState();
    EXPECT_EQ(PsyStatus(), 0);
    // The engine is usable after the reset.
    TAirStateRec ok;
    SetState(ok, 101.325, 20, 15, 0);
    EXPECT_EQ(PsyStatus(), 0);
}

INSTANTIATE_TEST_SUITE_P(Pairs, NoState, ::testing::ValuesIn(kNoStateRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(NoState, MessagesNameTheProblem) {
    TAirStateRec in, out;
    in.Pressure = 101.325;
    in.DryBulb = 20;
    in.RelHumidity = 1.5;
    try {
        AirState(out, in, 3);
        FAIL();
    } catch (const EPsychroError& e) {
        EXPECT_STREQ(e.what(), "Relative humidity above 100 %");
    }
    in.WetBulb = 25;
    try {
        AirState(out, in, 0);
        FAIL();
    } catch (const EPsychroError& e) {
        EXPECT_STREQ(e.what(), "Wet bulb above dry bulb");
    }
    EXPECT_THROW(AtmPressure(kNaN), EPsychroError);
    EXPECT_THROW(AtmPressure(50000), EPsychroError);
    EXPECT_THROW(Altitude(-1), EPsychroError);
    EXPECT_THROW(Altitude(0), EPsychroError);
    EXPECT_NE(PsyStatus(), 0);
    EXPECT_NO_THROW(Altitude(101.325));
    EXPECT_EQ(PsyStatus(), 0);
}

// The wet bulb just below 0 °C: where the ice and the water relation both
// have a root the water one is reported; a wet bulb given on the ice side
// in that band keeps the ice relation in the state.
TEST(PairRoundTrip, WetBulbNearFreezing) {
    for (double b = -0.3; b <= 0.3; b += 0.01) {
        TAirStateRec s;
        SetState(s, 101.325, 2.0, b, 0);
        EXPECT_NEAR(s.WetBulb, b, 1e-12);
        const double back = WetBulb(101.325, 2.0, s.AbsHumidity, 2);
        TAirStateRec again;
        SetState(again, 101.325, 2.0, back, 0);
        EXPECT_NEAR(again.AbsHumidity, s.AbsHumidity, 1e-9) << b;
    }
}

} // namespace
} // namespace oravent
