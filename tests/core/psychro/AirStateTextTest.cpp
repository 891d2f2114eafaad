// Temperature text to state and back, the recovery of StrToDryWetBulb and the
// plausibility checks with their messages.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "psychro/AirStateText.h"
#include "units/NumberText.h"

namespace oravent {
namespace {

constexpr double kP = 101.325;

TEST(AirStateText, DryBulbAloneTakesDefaultHumidity) {
    TAirStateRec s;
    EXPECT_FALSE(StrToAirState("20", s, kP, 0.5));
    EXPECT_DOUBLE_EQ(s.DryBulb, 20);
    EXPECT_NEAR(s.RelHumidity, 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(s.Pressure, kP);
    EXPECT_EQ(CheckAirState(s), "");
}

// A slash with nothing after it is the dry bulb alone: the same state as
// without the slash, never a wet bulb nobody typed.
TEST(AirStateText, EmptyWetBulbReadsAsTheDryBulbAlone) {
    for (const char* Text : {"20/", "20/ ", " 20 /"}) {
        TAirStateRec Alone, Slash;
        StrToAirState("20", Alone, kP, 0.5);
        EXPECT_FALSE(StrToAirState(Text, Slash, kP, 0.5)) << Text;
        EXPECT_DOUBLE_EQ(Slash.DryBulb, Alone.DryBulb) << Text;
        EXPECT_DOUBLE_EQ(Slash.WetBulb, Alone.WetBulb) << Text;
        double db = 0, wb = 0, db1 = 0, wb1 = 0;
        StrToDryWetBulb("20", db1, wb1, kP);
        StrToDryWetBulb(Text, db, wb, kP);
        EXPECT_DOUBLE_EQ(db, 20) << Text;
        EXPECT_DOUBLE_EQ(wb, wb1) << Text;
    }
}

TEST(AirStateText, WetBulbAboveDryBulbGivesSaturatedAir) {
    TAirStateRec s;
    EXPECT_TRUE(StrToAirState("20/25", s, kP, 0.5));
    EXPECT_DOUBLE_EQ(s.DryBulb, 20);
    EXPECT_DOUBLE_EQ(s.WetBulb, 20);
    EXPECT_NEAR(s.RelHumidity, 1.0, 1e-9);
}

TEST(AirStateText, LowWetBulbRaisedToOnePercentFloor) {
    TAirStateRec s;
    EXPECT_TRUE(StrToAirState("20/-20", s, kP, 0.5));
    EXPECT_DOUBLE_EQ(s.WetBulb, WetBulb(kP, 20, 0.01, 3));
    EXPECT_NEAR(s.RelHumidity, 0.01, 1e-9);
}

TEST(AirStateText, ExplicitPairKept) {
    TAirStateRec s;
    EXPECT_FALSE(StrToAirState(" 13.0/12.0", s, kP, 0.5));
    EXPECT_DOUBLE_EQ(s.DryBulb, 13);
    EXPECT_DOUBLE_EQ(s.WetBulb, 12);
    EXPECT_EQ(AirStateToStr(s, "%0.1f"), "13.0/12.0");
}

TEST(AirStateText, ColdTextClampedToMinus60) {
    TAirStateRec s;
    EXPECT_TRUE(StrToAirState("-75/-80", s, kP, 0.5));
    EXPECT_DOUBLE_EQ(s.DryBulb, -60);
    EXPECT_GE(s.WetBulb, WetBulb(kP, -60, 0.01, 3));
    EXPECT_LE(s.WetBulb, -60);
    double db = 0, wb = 0;
    StrToDryWetBulb("-75", db, wb, kP);
    EXPECT_DOUBLE_EQ(db, -60);
}

TEST(AirStateText, HotTextClampedDifferentlyByEachReader) {
    TAirStateRec s;
    StrToAirState("120", s, kP, 0.5);
    EXPECT_DOUBLE_EQ(s.DryBulb, 99);
    double db = 0, wb = 0;
    StrToDryWetBulb("120", db, wb, kP);
    EXPECT_DOUBLE_EQ(db, 120);
    EXPECT_DOUBLE_EQ(wb, WetBulb(kP, 120, 0.5, 3));
    StrToDryWetBulb("400", db, wb, 300.0); // clamped to 150 °C; 50 % exists at 300 kPa
    EXPECT_DOUBLE_EQ(db, 150);
}

TEST(AirStateText, DryWetBulbRecoversFromImplausiblePair) {
    double db = 0, wb = 0;
    StrToDryWetBulb("30/35", db, wb, kP);
    EXPECT_DOUBLE_EQ(db, 30);
    EXPECT_DOUBLE_EQ(wb, WetBulb(kP, 30, 0.5, 3));
    EXPECT_EQ(PsyStatus(), 0);
    // A plausible pair is kept as typed, the wet bulb not clamped.
    StrToDryWetBulb("30/20", db, wb, kP);
    EXPECT_DOUBLE_EQ(wb, 20);
    // A wet bulb above the dry bulb by less than the check's 0.1 K is still
    // refused by the engine, so the 50 % wet bulb is taken.
    StrToDryWetBulb("-59.95/-59.9", db, wb, kP);
    EXPECT_DOUBLE_EQ(wb, WetBulb(kP, -59.95, 0.5, 3));
}

TEST(AirStateText, DryWetBulbRaisesWhenSubstituteFails) {
    // At 150 °C and 101.325 kPa half the saturation pressure exceeds the
    // total pressure: neither the pair nor the 50 % wet bulb exists.
    double db = 1, wb = 2;
    try {
        StrToDryWetBulb("150/60", db, wb, kP);
        FAIL();
    } catch (const EPsychroError& e) {
        EXPECT_STREQ(e.what(), "Dry bulb too high...");
    }
    EXPECT_DOUBLE_EQ(db, 1);
    EXPECT_DOUBLE_EQ(wb, 2);
    ResetReferenceState();
}

TEST(AirStateText, DryWetBulbRaisesWithEngineTextWhenPairNotComputed) {
    // A wet bulb above the boiling point: the engine refuses the pair itself,
    // so no state was checked; the error names why the pair was refused
    // rather than a check message about a record never computed.
    double db = 1, wb = 2;
    std::string trialMessage;
    try {
        TAirStateRec t;
        SetState(t, kP, 150, 140, 0);
    } catch (const EPsychroError& e) {
        trialMessage = e.what();
    }
    ASSERT_FALSE(trialMessage.empty());
    ResetReferenceState();
    try {
        StrToDryWetBulb("150/140", db, wb, kP);
        FAIL();
    } catch (const EPsychroError& e) {
        EXPECT_EQ(e.what(), trialMessage);
    }
    EXPECT_DOUBLE_EQ(db, 1);
    EXPECT_DOUBLE_EQ(wb, 2);
    ResetReferenceState();
}

struct TBadText {
    const char* Name;
    const char* Text;
};
const TBadText kBadTexts[] = {
    {"EmptyDryBulb", "/15"}, {"TwoSlashes", "20/15/3"}, {"Letters", "abc"},
    {"Empty", ""},           {"Unit", "20C"},           {"Comma", "20,5"},
    {"OnlySlash", "/"},      {"BlankDryBulb", " /15"},
};

class AirStateTextBad : public ::testing::TestWithParam<TBadText> {};

TEST_P(AirStateTextBad, RaisesConversionError) {
    TAirStateRec s;
    s.DryBulb = 7;
    EXPECT_THROW(StrToAirState(GetParam().Text, s, kP, 0.5), EConvertError);
    EXPECT_DOUBLE_EQ(s.DryBulb, 7);
    double db = 3, wb = 4;
    EXPECT_THROW(StrToDryWetBulb(GetParam().Text, db, wb, kP), EConvertError);
    EXPECT_DOUBLE_EQ(db, 3);
}

INSTANTIATE_TEST_SUITE_P(Texts, AirStateTextBad, ::testing::ValuesIn(kBadTexts),
                         [](const auto& info) { return std::string(info.param.Name); });

// CheckAirState: the first failed condition, in table order.
struct TCheckRow {
    const char* Name;
    double DryBulb, WetBulb, RelHumidity, AbsHumidity;
    const char* Message;
};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const TCheckRow kCheckRows[] = {
    {"Plausible", 20, 15, 0.5, 0.008, ""},
    {"DryBulbTooHigh", 99.5, 120, 2, -1, "Dry bulb too high..."},
    {"WetBulbTooHigh", 99, 99.5, 0.5, 0.01, "Wet bulb too high..."},
    {"DryBulbTooLow", -61, -70, 0.5, 0.0, "Dry bulb too low..."},
    {"DryBulbNaN", kNaN, 10, 0.5, 0.0, "Dry bulb too low..."},
    {"WetBulbTooLow", -59, -61, 0.5, 0.0, "Wet bulb too low..."},
    {"WetBulbAboveDryBulb", 20, 20.2, 0.5, 0.0, "Wet Bulb > Dry Bulb \u00b0C..."},
    {"WetBulbWithinTolerance", 20, 20.05, 0.5, 0.0, ""},
    {"LowRelHumidity", 20, 10, -0.02, 0.0, "Low Relative Humidity..."},
    {"RelHumidityJustBelowZero", 20, 10, -0.005, 0.0, ""},
    {"RelHumidity1005Passes", 20, 20, 1.005, 0.0147, ""},
    {"RelHumidity102Fails", 20, 20, 1.02, 0.0147, "High Relative Humidity..."},
    {"RelHumidityNaN", 20, 15, kNaN, 0.0, "High Relative Humidity..."},
    {"NegativeHumRatio", 20, 10, 0.0, -0.0001, "Absolute Humidity < 0 g/kg..."},
    // Every limit itself is plausible.
    {"LimitsInclusiveHigh", 99, 99, 1.01, -0.00001, ""},
    {"LimitsInclusiveLow", -60, -60, -0.01, 0.0, ""},
    // Several conditions at once: the earlier one in the table wins.
    {"WetBulbHighBeforeDryBulbLow", -70, 120, 0.5, 0.0, "Wet bulb too high..."},
    {"WetBulbAboveDryBeforeHumidity", 20, 30, 2.0, -1, "Wet Bulb > Dry Bulb \u00b0C..."},
    {"LowRelHumidityBeforeAbsHumidity", 20, 10, -0.5, -1, "Low Relative Humidity..."},
    {"HighRelHumidityBeforeAbsHumidity", 20, 10, 1.5, -1, "High Relative Humidity..."},
};

class AirStateCheck : public ::testing::TestWithParam<TCheckRow> {};

TEST_P(AirStateCheck, FirstFailedConditionReported) {
    const auto& r = GetParam();
    ResetReferenceState();
    TAirStateRec s;
    s.DryBulb = r.DryBulb;
    s.WetBulb = r.WetBulb;
    s.RelHumidity = r.RelHumidity;
    s.AbsHumidity = r.AbsHumidity;
    EXPECT_EQ(CheckAirState(s), r.Message);
}

INSTANTIATE_TEST_SUITE_P(Rows, AirStateCheck, ::testing::ValuesIn(kCheckRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(AirStateCheck, BadDataAfterFailedEngineCall) {
    TAirStateRec s, bad;
    SetState(s, kP, 20, 15, 0);
    EXPECT_THROW(SetState(bad, kP, 20, 25, 0), EPsychroError);
    EXPECT_EQ(CheckAirState(s), "Bad data...");
    // The status is the last condition: a failed check of its own comes first.
    TAirStateRec dryNegative = s;
    dryNegative.AbsHumidity = -0.001;
    EXPECT_EQ(CheckAirState(dryNegative), "Absolute Humidity < 0 g/kg...");
    ResetReferenceState();
    EXPECT_EQ(CheckAirState(s), "");
}

TEST(AirStateText, ToStrUsesFixedPointWhateverTheLocale) {
    TAirStateRec s;
    s.DryBulb = -5.25;
    s.WetBulb = -7.75;
    EXPECT_EQ(AirStateToStr(s, "%0.1f"), "-5.3/-7.8"); // half away from zero
    EXPECT_EQ(AirStateToStr(s, "%0.2f"), "-5.25/-7.75");
    // The text reads back to the same state.
    TAirStateRec a, b;
    StrToAirState("24/17", a, kP, 0.5);
    StrToAirState(AirStateToStr(a, "%0.1f"), b, kP, 0.5);
    EXPECT_DOUBLE_EQ(a.DryBulb, b.DryBulb);
    EXPECT_DOUBLE_EQ(a.WetBulb, b.WetBulb);
}

} // namespace
} // namespace oravent
