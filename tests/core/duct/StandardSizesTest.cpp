// Standard sizes: the candidates and choices for solved sheets, checked
// against the sheet itself and against a search over every series size; the
// series texts and the stored settings.
#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "common/TxIniFiles.h"
#include "core/common/TestFiles.h"
#include "duct/DuctCommands.h"
#include "duct/StandardSizeTable.h"
#include "duct/StandardSizes.h"

namespace oravent {
namespace {

// The worked example: the reset sheet (5 m³/s at 1 Pa/m) in air of
// 1.2 kg/m³ and 18.2 µPa·s, solved.
DuctSheet WorkedExample() {
    DuctSheet S;
    S.ResetToDefaults();
    S.SetAirOverride(1.2, 18.2e-6);
    S.UpdateIntermediates();
    S.SolveRectangle();
    EXPECT_TRUE(S.Iterate());
    return S;
}

bool Near(double A, double B, double Rel) {
    return std::fabs(A - B) <= Rel * std::fabs(B);
}

TEST(StandardSizes, WorkedExampleProposesTheNextRoundSizeWithTheSheetsNumbers) {
    const DuctSheet S = WorkedExample();
    ASSERT_NEAR(S.Diameter * 1000, 819.96, 0.005);
    const TSizeCandidates C = StandardSizeCandidates(S, {}, TSeriesSystem::Metric);
    ASSERT_GE(C.RoundChoice, 1);
    const TSizeCandidate& Pick = C.Round[C.RoundChoice];
    EXPECT_NEAR(Pick.Diameter, 0.9, 1e-12);
    EXPECT_TRUE(Pick.Chosen && Pick.Fits);
    EXPECT_FALSE(C.Round[C.RoundChoice - 1].Fits); // 800 mm: above 1 Pa/m
    EXPECT_GT(C.Round[C.RoundChoice - 1].PRate, 1.0);
    EXPECT_TRUE(C.Message.empty()) << C.Message;

    // The sheet with the flow and this diameter entered, as typed.
    DuctSheet Typed = S;
    Typed.EnterVolume(S.Volume);
    Typed.EnterDiameter(Pick.Diameter);
    ASSERT_TRUE(Typed.Iterate());
    EXPECT_TRUE(Near(Pick.PRate, Typed.PRate, 1e-9));
    EXPECT_TRUE(Near(Pick.Velocity, Typed.Velocity, 1e-9));
    EXPECT_TRUE(Near(Pick.VelocityPressure,
                     0.5 * Typed.DuctAir.Density * Typed.Velocity * Typed.Velocity, 1e-12));
    EXPECT_EQ(Typed.Volume, S.Volume);

    // A rectangle: its pressure rate is the sheet's at its equivalent
    // diameter, its velocity the flow over its own area.
    ASSERT_GE(C.RectangularChoice, 0);
    const TSizeCandidate& R = C.Rectangular[C.RectangularChoice];
    DuctSheet Rect = S;
    Rect.EnterVolume(S.Volume);
    Rect.EnterHeight(R.Height);
    Rect.EnterWidth(R.Width);
    ASSERT_TRUE(Rect.Iterate());
    EXPECT_TRUE(Near(R.PRate, Rect.PRate, 1e-9));
    EXPECT_TRUE(Near(R.Diameter, Rect.Diameter, 1e-15));
    EXPECT_TRUE(Near(R.Velocity, S.Volume / (R.Height * R.Width), 1e-15));
    EXPECT_LT(R.Velocity, Rect.Velocity); // a rectangle is larger than its equivalent circle
}

// Every fitting size of the series and every rectangle within the limits,
// evaluated one by one: the choice is the smallest of them.
void ExpectSmallestFits(const DuctSheet& S, const TStandardSizeSettings& Set, TSeriesSystem Sys,
                        const TSizeCandidates& C) {
    const auto Fits = [&](const TSizeCandidate& X) {
        return X.Solved && X.PRate <= S.PRate * (1 + 1e-6) &&
               (Set.VelocityLimit <= 0 || X.Velocity <= Set.VelocityLimit * (1 + 1e-6));
    };
    const auto Usable = [&](double M) { return M >= 0.05 - 1e-12 && M <= 2.4 + 1e-12; };
    std::optional<TSizeCandidate> Round, Rect;
    for (double X : Set.Series.Of(Sys, TSizeShape::Round)) {
        if (!Usable(SeriesMetres(X, Sys))) continue;
        const TSizeCandidate E = EvaluateRound(S, SeriesMetres(X, Sys));
        if (Fits(E)) {
            Round = E;
            break;
        }
    }
    const auto& Sides = Set.Series.Of(Sys, TSizeShape::Rectangular);
    std::vector<double> Heights;
    if (Set.FixedHeight > 0)
        Heights = {Set.FixedHeight};
    else
        for (double H : Sides)
            Heights.push_back(SeriesMetres(H, Sys));
    for (double H : Heights) {
        for (double X : Sides) {
            const double W = SeriesMetres(X, Sys);
            if (!Usable(W) || !Usable(H) || (Set.FixedHeight <= 0 && W < H)) continue;
            if (std::max(H, W) / std::min(H, W) > Set.AspectLimit * (1 + 1e-12)) continue;
            const TSizeCandidate E = EvaluateRectangle(S, H, W);
            if (!Fits(E)) continue;
            if (!Rect || E.Area() < Rect->Area() ||
                (E.Area() == Rect->Area() && E.Aspect < Rect->Aspect))
                Rect = E;
            break; // wider ones of this height are larger
        }
    }
    ASSERT_EQ(Round.has_value(), C.RoundChoice >= 0);
    if (Round) {
        EXPECT_TRUE(C.Round[C.RoundChoice].SameSize(*Round));
    }
    ASSERT_EQ(Rect.has_value(), C.RectangularChoice >= 0);
    if (Rect) {
        EXPECT_NEAR(C.Rectangular[C.RectangularChoice].Area(), Rect->Area(), 1e-15);
    }

    // The batch choice is the lists' choice.
    const TSizeChoice Fast = StandardSizeChoice(S, Set, Sys);
    ASSERT_EQ(Fast.Round.has_value(), Round.has_value());
    if (Round) {
        EXPECT_TRUE(Fast.Round->SameSize(C.Round[C.RoundChoice]));
    }
    ASSERT_EQ(Fast.Rectangular.has_value(), Rect.has_value());
    if (Rect) {
        EXPECT_TRUE(Fast.Rectangular->SameSize(C.Rectangular[C.RectangularChoice]));
    }
}

TEST(StandardSizes, ChoicesAreTheSmallestFittingSizesAndRespectTheLimits) {
    std::mt19937_64 Rng(7);
    std::uniform_real_distribution<double> Vol(0.05, 25), Rate(0.3, 4), Ratio(1, 6);
    for (int N = 0; N < 40; ++N) {
        DuctSheet S = WorkedExample();
        S.EnterPRate(Rate(Rng));
        S.EnterVolume(Vol(Rng));
        ASSERT_TRUE(S.Iterate());
        TStandardSizeSettings Set;
        Set.AspectLimit = N % 3 == 0 ? 4.0 : Ratio(Rng);
        if (N % 4 == 1) Set.VelocityLimit = 4 + N % 7;
        const TSeriesSystem Sys = N % 2 ? TSeriesSystem::Imperial : TSeriesSystem::Metric;
        const double U = SeriesUnitMetres(Sys);
        if (N % 5 == 2) Set.FixedHeight = SeriesMetres(Sys == TSeriesSystem::Metric ? 300 : 12, Sys);
        const TSizeCandidates C = StandardSizeCandidates(S, Set, Sys);
        SCOPED_TRACE("sheet " + std::to_string(N));
        ExpectSmallestFits(S, Set, Sys, C);
        for (const TSizeCandidate& R : C.Rectangular) {
            EXPECT_LE(R.Aspect, Set.AspectLimit * (1 + 1e-12));
            if (Set.FixedHeight > 0) {
                EXPECT_EQ(R.Height, Set.FixedHeight);
            } else {
                EXPECT_GE(R.Width, R.Height);
                EXPECT_TRUE(R.Fits); // one fitting width per height
            }
        }
        for (const auto* List : {&C.Round, &C.Rectangular}) {
            for (const TSizeCandidate& X : *List) {
                for (double M : {X.Diameter, X.Height, X.Width}) {
                    if (X.Shape == TSizeShape::Rectangular && M == X.Diameter) continue;
                    if (M == 0) continue;
                    // Series sizes: whole inches in the imperial series, whole mm in the metric.
                    EXPECT_NEAR(M / U, std::round(M / U), 1e-9) << M;
                    EXPECT_LE(M, 2.4 + 1e-12);
                }
            }
        }
    }
}

TEST(StandardSizes, VelocityLimitAndUnsolvedSheets) {
    const DuctSheet S = WorkedExample();
    TStandardSizeSettings Set;
    Set.VelocityLimit = 6.0;
    const TSizeChoice C = StandardSizeChoice(S, Set, TSeriesSystem::Metric);
    ASSERT_TRUE(C.Round && C.Rectangular);
    EXPECT_NEAR(C.Round->Diameter, 1.12, 1e-12); // 1000 mm would give 6.4 m/s
    EXPECT_LE(C.Rectangular->Velocity, 6.0);
    EXPECT_LT(C.Rectangular->PRate, 1.0);

    // A flow no series size can carry within the rate: no choice, the largest sizes listed.
    DuctSheet Big = S;
    Big.EnterVolume(60);
    ASSERT_TRUE(Big.Iterate());
    const TSizeCandidates L = StandardSizeCandidates(Big, {}, TSeriesSystem::Imperial);
    EXPECT_EQ(L.RoundChoice, -1);
    ASSERT_FALSE(L.Round.empty());
    EXPECT_NEAR(L.Round.back().Diameter, 60 * 0.0254, 1e-12);
    EXPECT_NE(L.Message.find("No round size"), std::string::npos);

    DuctSheet Unsolved = S;
    Unsolved.Solved = false;
    const TSizeCandidates U = StandardSizeCandidates(Unsolved, {}, TSeriesSystem::Metric);
    EXPECT_TRUE(U.Round.empty() && U.Rectangular.empty());
    EXPECT_NE(U.Message.find("not solved"), std::string::npos);
}

TEST(StandardSizes, TypedSeriesAreReadOrRefusedWithTheirReason) {
    EXPECT_EQ(ParseSizeSeries(" 63, 80;100\t125.5\n", TSeriesSystem::Metric, TSizeShape::Round),
              (std::vector<double>{63, 80, 100, 125.5}));
    struct {
        const char* Text;
        const char* Says;
    } const Bad[] = {
        {"", "The imperial rectangular series is empty: type its sizes in in"},
        {" ,; ", "is empty"},
        {"4 6 abc", "holds 'abc', which is not a size in in"},
        {"4 0 6", "holds 0: sizes must be greater than 0"},
        {"4 -6", "sizes must be greater than 0"},
        {"4 8 6", "must rise from the smallest size: 6 comes after 8"},
        {"4 6 6", "holds 6 twice"},
        {"4 1e9", "too large"},
        {"4 nan", "not a size"},
    };
    for (const auto& B : Bad) {
        try {
            ParseSizeSeries(B.Text, TSeriesSystem::Imperial, TSizeShape::Rectangular);
            ADD_FAILURE() << "accepted '" << B.Text << "'";
        } catch (const ESizeSeriesError& E) {
            EXPECT_NE(std::string(E.what()).find(B.Says), std::string::npos) << E.what();
        }
    }
    std::string Long;
    for (int I = 1; I <= 501; ++I)
        Long += std::to_string(I) + " ";
    EXPECT_THROW(ParseSizeSeries(Long, TSeriesSystem::Metric, TSizeShape::Round), ESizeSeriesError);
}

TEST(StandardSizes, TheWindowsFieldsReadBackAndRefuseBadLimits) {
    TStandardSizeSettings Set;
    Set.Series.MetricRound = {100, 112.5, 125};
    Set.FixedHeight = 12 * 0.0254;
    Set.VelocityLimit = 1200 / 196.8503937007874; // 1200 fpm
    Set.AspectLimit = 3;
    const TSizeTableUnits Imp = SizeTableUnits(TUnitSystem::Imperial);
    const TStandardSizeTexts T = StandardSizeTexts(Set, Imp);
    EXPECT_EQ(T.Series[0], "100 112.5 125");
    EXPECT_EQ(T.FixedHeight, "12");
    EXPECT_EQ(T.VelocityLimit, "1200");
    const TStandardSizeSettings Back = ReadStandardSizeTexts(T, Imp);
    EXPECT_EQ(Back.Series, Set.Series);
    EXPECT_NEAR(Back.FixedHeight, Set.FixedHeight, 1e-15);
    EXPECT_NEAR(Back.VelocityLimit, Set.VelocityLimit, 1e-12);

    // A size of the other system's series shows with the unit's decimals.
    TSizeCandidate Metric;
    Metric.Shape = TSizeShape::Rectangular;
    Metric.Height = 0.65;
    Metric.Width = 0.8;
    EXPECT_EQ(SizeText(Metric, Imp), "25.6 \u00d7 31.5 in");
    Metric.Height = SeriesMetres(14, TSeriesSystem::Imperial);
    EXPECT_EQ(SizeText(Metric, Imp), "14 \u00d7 31.5 in");

    const TSizeTableUnits Met = SizeTableUnits(TUnitSystem::Metric);
    // A limit typed with many digits keeps them.
    Set.VelocityLimit = 0.2022222222222222;
    EXPECT_EQ(ReadStandardSizeTexts(StandardSizeTexts(Set, Met), Met).VelocityLimit,
              Set.VelocityLimit);
    struct {
        std::string TStandardSizeTexts::*Field;
        const char* Text;
        const char* Says;
    } const Bad[] = {
        {&TStandardSizeTexts::AspectLimit, "0.5", "aspect ratio limit must be a number from 1"},
        {&TStandardSizeTexts::AspectLimit, "", "aspect ratio limit"},
        {&TStandardSizeTexts::FixedHeight, "20", "fixed height must be a size from 50 to 2400 mm"},
        {&TStandardSizeTexts::FixedHeight, "tall", "fixed height"},
        {&TStandardSizeTexts::VelocityLimit, "0",
         "velocity limit must be a number from 0.001 to 100 m/s"},
    };
    for (const auto& B : Bad) {
        TStandardSizeTexts E = StandardSizeTexts({}, Met);
        E.*B.Field = B.Text;
        try {
            ReadStandardSizeTexts(E, Met);
            ADD_FAILURE() << "accepted '" << B.Text << "'";
        } catch (const ESizeSeriesError& X) {
            EXPECT_NE(std::string(X.what()).find(B.Says), std::string::npos) << X.what();
        }
    }
}

TEST(StandardSizes, EditedSettingsSurviveARestartAndBadStoredValuesAreIgnored) {
    const test::TTempDir Dir;
    const std::string File = Dir / "settings.ini";
    TStandardSizeSettings Set;
    Set.Series.ImperialRound = {4, 5, 6.5, 8};
    Set.AspectLimit = 2.5;
    Set.FixedHeight = 0.35;
    {
        TIniFile Store(File);
        SaveStandardSizeSettings(Store, Set);
    }
    TStandardSizeSettings Read;
    LoadStandardSizeSettings(TIniFile(File), Read);
    EXPECT_EQ(Read, Set);

    TMemIniFile Broken("");
    Broken.WriteText(StandardSizesSection, "MetricRound", "100 90");
    Broken.WriteText(StandardSizesSection, "AspectLimit", "0.2");
    Broken.WriteText(StandardSizesSection, "VelocityLimit", "fast");
    TStandardSizeSettings Kept = Set;
    LoadStandardSizeSettings(Broken, Kept);
    EXPECT_EQ(Kept, Set);
}

} // namespace
} // namespace oravent
