// Robustness: random edit sequences with hostile values must never crash,
// never hang (each Iterate ends within its pass cap) and never report a
// solved sheet after an arithmetic failure. Random edits within the rows'
// ranges must never report a solved sheet whose rectangle misses the diameter.
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "duct/DuctFriction.h"
#include "duct/DuctSheet.h"
#include "psychro/Hygrocalc.h"

namespace oravent {
namespace {

double HostileValue(std::mt19937_64& rng) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    static const double special[] = {0.0,      -0.0,   -1.0,
                                     -0.5,     1e-300, -1e-300,
                                     4.9e-324, 1e-12,  1e300,
                                     -1e300,   1e154,  1.7e308,
                                     inf,      -inf,   std::numeric_limits<double>::quiet_NaN(),
                                     1.0,      0.5,    2300.0 / 83950.0};
    std::uniform_int_distribution<int> pick(0, 3);
    if (pick(rng) == 0) {
        std::uniform_int_distribution<std::size_t> idx(0, std::size(special) - 1);
        return special[idx(rng)];
    }
    // A plausible magnitude with a random sign now and then.
    std::uniform_real_distribution<double> expo(-4.0, 3.0);
    double v = std::pow(10.0, expo(rng));
    if (pick(rng) == 0) v = -v;
    return v;
}

// The quantities every solved pass computes. (A side entered as NaN may stay
// in the sheet after its failed edit while later passes solve the flow from
// pressure rate and diameter alone.)
bool AllFinite(const DuctSheet& s) {
    const double v[] = {s.PRate, s.Volume,   s.Velocity,       s.Diameter,
                        s.Area,  s.Reynolds, s.FrictionFactor, s.PRateFactor};
    for (double x : v) {
        if (!std::isfinite(x)) return false;
    }
    return true;
}

TEST(DuctSheetRobust, RandomEditSequencesNeverCrashOrReportFalseSuccess) {
    std::mt19937_64 rng(20261209);
    DuctSheet base;
    base.ResetToDefaults();
    base.DuctAir.Density = 1.2;
    base.DuctAir.Viscosity = 18.2e-6;
    base.UpdateIntermediates();
    base.SolveRectangle();
    ASSERT_TRUE(base.Iterate());

    std::uniform_int_distribution<int> opDist(0, 12);
    std::uniform_int_distribution<int> lenDist(1, 4);
    constexpr int Sequences = 100000;
    int failures = 0, solved = 0, capped = 0;
    for (int seq = 0; seq < Sequences; ++seq) {
        DuctSheet s = (seq % 8 == 0) ? DuctSheet(base) : base;
        if (seq % 3 == 0) s = DuctSheet(s); // exercise copies (root rebinding)
        const int len = lenDist(rng);
        for (int e = 0; e < len; ++e) {
            const double v = HostileValue(rng);
            const int op = opDist(rng);
            switch (op) {
            case 0:
                s.EnterPRate(v);
                break;
            case 1:
                s.EnterVolume(v);
                break;
            case 2:
                s.EnterVelocity(v);
                break;
            case 3:
                s.EnterDiameter(v);
                break;
            case 4:
                s.EnterHeight(v);
                break;
            case 5:
                s.EnterWidth(v);
                break;
            case 6:
                s.SetRoughnessIndex(static_cast<int>(rng() % 7) - 1);
                break;
            case 7: {
                double table[RoughnessCount];
                for (double& t : table)
                    t = (rng() % 2) ? HostileValue(rng) : 0.00015;
                s.SetRoughnessTable(table);
                break;
            }
            case 8: {
                TAirStateRec air = s.DuctAir;
                air.Density = (rng() % 2) ? HostileValue(rng) : 1.2;
                air.Viscosity = (rng() % 2) ? HostileValue(rng) * 1e-5 : 18.2e-6;
                s.SetAirState(air);
                break;
            }
            case 9:
                s.SolveRectangle();
                break;
            case 10:
                s.UpdateIntermediates();
                break;
            case 11:
                try {
                    s.SetBarometer(v);
                } catch (const EPsychroError&) {
                    // the engine refuses the pressure; the sheet keeps its air
                }
                ResetReferenceState();
                break;
            default:
                break; // Iterate only
            }
            const bool editFailed = s.EditFailed();
            const bool result = s.Iterate();
            ASSERT_EQ(result, s.Solved);
            ASSERT_GE(s.Passes, 0);
            ASSERT_LE(s.Passes, 21);
            if (editFailed) {
                ASSERT_TRUE(s.Failed()) << "sequence " << seq;
            }
            if (s.Failed()) {
                ASSERT_FALSE(s.Solved) << "sequence " << seq;
                ++failures;
            }
            if (s.Solved) {
                ASSERT_TRUE(AllFinite(s)) << "sequence " << seq << " op " << op << " v " << v;
                ++solved;
            }
            if (s.Passes == 21) ++capped;
            ASSERT_GE(s.kIndex, 0);
            ASSERT_LT(s.kIndex, RoughnessCount);
        }
    }
    // The hostile values must really reach both outcomes.
    EXPECT_GT(failures, Sequences / 20);
    EXPECT_GT(solved, Sequences / 20);
    RecordProperty("failures", failures);
    RecordProperty("capped", capped);
}

// A value in [Lo, Hi], uniform in its logarithm half of the time so that
// ranges over several decades reach their low end too.
double RowValue(std::mt19937_64& rng, double Lo, double Hi) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double u = unit(rng);
    if (rng() % 2) return Lo + u * (Hi - Lo);
    return Lo * std::pow(Hi / Lo, u);
}

TEST(DuctSheetRobust, SolvedRectangleAlwaysHasTheDiameter) {
    std::mt19937_64 rng(20261214);
    DuctSheet base;
    base.ResetToDefaults();
    base.UpdateIntermediates();
    base.SolveRectangle();
    ASSERT_TRUE(base.Iterate());

    std::uniform_int_distribution<int> opDist(0, 8);
    std::uniform_int_distribution<int> lenDist(1, 4);
    constexpr int Sequences = 100000;
    int solved = 0;
    for (int seq = 0; seq < Sequences; ++seq) {
        DuctSheet s = base;
        const int len = lenDist(rng);
        for (int e = 0; e < len; ++e) {
            const int op = opDist(rng);
            // Lengths are typed in millimetres (50..2400).
            const double mm = RowValue(rng, 50.0, 2400.0) / 1000.0;
            try {
                switch (op) {
                case 0:
                    s.SetBarometer(RowValue(rng, 70.0, 120.0));
                    break;
                case 1: {
                    std::uniform_real_distribution<double> db(-60.0, 90.0), depression(0.0, 1.0);
                    const double dryBulb = db(rng);
                    const double wetBulb = dryBulb - depression(rng) * (dryBulb + 60.0) * 0.5;
                    TAirStateRec air{};
                    SetState(air, s.Barometer, dryBulb, wetBulb, 0);
                    s.SetAirState(air);
                    break;
                }
                case 2:
                    s.SetRoughnessIndex(static_cast<int>(rng() % RoughnessCount));
                    break;
                case 3:
                    s.EnterPRate(RowValue(rng, 0.01, 100.0));
                    break;
                case 4:
                    s.EnterVolume(RowValue(rng, 0.01, 576.0));
                    break;
                case 5:
                    s.EnterVelocity(RowValue(rng, 0.001, 100.0));
                    break;
                case 6:
                    s.EnterDiameter(mm);
                    break;
                case 7:
                    s.EnterHeight(mm);
                    break;
                default:
                    s.EnterWidth(mm);
                    break;
                }
            } catch (const EPsychroError&) {
                ResetReferenceState(); // no such air: the sheet keeps its own
            }
            if (!s.Iterate()) continue;
            ++solved;
            ASSERT_GT(s.Height, 0.0) << "sequence " << seq;
            ASSERT_GT(s.Width, 0.0) << "sequence " << seq;
            ASSERT_NEAR(EquivalentDiameter(s.Height, s.Width) / s.Diameter, 1.0, 1e-6)
                << "sequence " << seq << " op " << op << " D " << s.Diameter << " H " << s.Height
                << " W " << s.Width;
        }
    }
    EXPECT_GT(solved, Sequences); // most edits solve (about 2.5 edits a sequence)
}

} // namespace
} // namespace oravent
