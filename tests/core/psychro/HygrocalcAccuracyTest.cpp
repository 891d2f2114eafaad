// Accuracy of the moist-air engine against published table values and against
// a reference evaluation written here: long double arithmetic and plain
// bisection (no shared solver code with the engine).
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "psychro/Hygrocalc.h"
#include "psychro/MoistAir.h"

namespace oravent {
namespace {

using LD = long double;

// Hyland–Wexler saturation pressure, kPa (ASHRAE Fundamentals 2017, ch. 1,
// eqs. 5 and 6), ice below 0.01 °C.
LD RefPws(LD t) {
    const LD T = t + 273.15L;
    LD ln;
    if (t < 0.01L)
        ln = -5.6745359e3L / T + 6.3925247L - 9.6778430e-3L * T + 6.2215701e-7L * T * T +
             2.0747825e-9L * T * T * T - 9.4840240e-13L * T * T * T * T + 4.1635019L * std::log(T);
    else
        ln = -5.8002206e3L / T + 1.3914993L - 4.8640239e-2L * T + 4.1764768e-5L * T * T -
             1.4452093e-8L * T * T * T + 6.5459673L * std::log(T);
    return std::exp(ln) / 1000.0L;
}

LD RefW(LD P, LD pv) {
    return 0.621945L * pv / (P - pv);
}

// ASHRAE psychrometric relation (eqs. 33 and 35), surface by sign of b.
LD RefWFromWetBulb(LD P, LD t, LD b, bool ice) {
    const LD ws = RefW(P, RefPws(b));
    if (ice)
        return ((2830.0L - 0.24L * b) * ws - 1.006L * (t - b)) / (2830.0L + 1.86L * t - 2.1L * b);
    return ((2501.0L - 2.326L * b) * ws - 1.006L * (t - b)) / (2501.0L + 1.86L * t - 4.186L * b);
}

template <class F> LD Bisect(F f, LD lo, LD hi) {
    LD flo = f(lo);
    for (int i = 0; i < 200 && hi - lo > 1e-13L; ++i) {
        const LD mid = 0.5L * (lo + hi);
        const LD fm = f(mid);
        if ((fm > 0) == (flo > 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return 0.5L * (lo + hi);
}

// Wet bulb: the water surface when a root at or above 0 °C exists,
// otherwise ice.
LD RefWetBulb(LD P, LD t, LD W) {
    if (t >= 0 && RefWFromWetBulb(P, t, 0, false) <= W)
        return Bisect([&](LD b) { return RefWFromWetBulb(P, t, b, false) - W; }, 0, t);
    return Bisect([&](LD b) { return RefWFromWetBulb(P, t, b, true) - W; }, -150,
                  std::min(t, LD(0)));
}

LD RefDewPoint(LD pv) {
    return Bisect([&](LD d) { return std::log(RefPws(d)) - std::log(pv); }, -150, 200);
}

// Saturation pressures: IAPWS values of the triple point and of 100 °C, and
// the ice sublimation values of the handbook (Fundamentals 2017 ch. 1
// Table 3), to the digits printed there; the Hyland–Wexler curve reproduces
// them within 0.05 %.
struct TSatRow {
    const char* Name;
    double T, Pws;
};
const TSatRow kSatRows[] = {
    {"Minus60_Ice", -60.0, 0.00108}, {"Minus40_Ice", -40.0, 0.01285},
    {"Minus20_Ice", -20.0, 0.10326}, {"TriplePoint", 0.01, 0.611657},
    {"Plus20", 20.0, 2.3392},        {"Plus50", 50.0, 12.352},
    {"Plus100", 100.0, 101.418},
};

TEST(HygrocalcAccuracy, SaturationPressureMatchesPublishedTable) {
    for (const auto& r : kSatRows) {
        SCOPED_TRACE(r.Name);
        TAirStateRec s;
        // A saturated state at that dry bulb carries the saturation pressure.
        if (r.T < 99.0) {
            SetState(s, 101.325, r.T, r.T, 0);
            EXPECT_NEAR(s.SatPressure, r.Pws, 5e-4 * r.Pws + 5e-6);
            EXPECT_NEAR(s.RelHumidity, 1.0, 1e-9);
        }
        EXPECT_NEAR(psy::SatPressure(r.T), r.Pws, 5e-4 * r.Pws + 5e-6);
    }
}

// Standard atmosphere, Fundamentals 2017 ch. 1 Table 1 (kPa, 3 decimals).
struct TAtmRow {
    double Z, P;
};
const TAtmRow kAtmRows[] = {{-500, 107.478}, {0, 101.325},   {500, 95.461},  {1000, 89.875},
                            {1500, 84.556},  {2000, 79.495}, {3000, 70.108}, {4000, 61.640},
                            {5000, 54.020},  {6000, 47.181}, {8000, 35.600}, {10000, 26.436}};

TEST(HygrocalcAccuracy, StandardAtmosphereWithinOnePascalOfTable) {
    for (const auto& r : kAtmRows) {
        SCOPED_TRACE(std::to_string(r.Z));
        EXPECT_NEAR(AtmPressure(r.Z), r.P, 0.001);
        EXPECT_NEAR(Altitude(r.P), r.Z, 0.2); // 1 Pa is about 0.1 m near sea level
        EXPECT_EQ(PsyStatus(), 0);
    }
}

TEST(HygrocalcAccuracy, AltitudeIsExactInverseOfPressure) {
    for (double z = -1401.35; z <= 3063.8; z += 97.3)
        EXPECT_NEAR(Altitude(AtmPressure(z)), z, 1e-6);
    for (double p = 70.0; p <= 120.0; p += 1.7)
        EXPECT_NEAR(AtmPressure(Altitude(p)), p, 1e-9);
}

// The full state over dry bulb -60..90 °C, pressure 60..130 kPa and relative
// humidity 1..100 % against the reference evaluation.
TEST(HygrocalcAccuracy, StateMatchesReferenceOverWholeRange) {
    int checked = 0;
    for (double P : {60.0, 80.0, 101.325, 115.0, 130.0})
        for (double t = -60.0; t <= 90.0; t += 7.5)
            for (double f : {0.01, 0.1, 0.35, 0.7, 0.95, 1.0}) {
                const LD pv = f * RefPws(t);
                if (pv >= 0.999L * P) continue; // above the boiling point: no such state
                SCOPED_TRACE("P=" + std::to_string(P) + " t=" + std::to_string(t) +
                             " f=" + std::to_string(f));
                TAirStateRec in;
                in.Pressure = P;
                in.DryBulb = t;
                in.RelHumidity = f;
                TAirStateRec s;
                AirState(s, in, 3);
                const LD W = RefW(P, pv);
                const LD wb = RefWetBulb(P, t, W);
                const LD dp = RefDewPoint(pv);
                const LD h = 1.006L * t + W * (2501.0L + 1.86L * t);
                const LD v = 0.287042L * (t + 273.15L) * (1.0L + 1.607858L * W) / P;
                EXPECT_NEAR(s.AbsHumidity, double(W), 1e-5 * double(W) + 1e-12);
                EXPECT_NEAR(s.WetBulb, double(wb), 0.002);
                EXPECT_NEAR(s.DewPoint, double(dp), 0.002);
                EXPECT_NEAR(s.Enthalpy, double(h), 0.01);
                EXPECT_NEAR(s.Density, double((1.0L + W) / v), 1e-5 * double((1.0L + W) / v));
                EXPECT_NEAR(s.Reserved1, double(v), 1e-9);
                EXPECT_NEAR(s.VapPressure, double(pv), 1e-9 * double(P));
                EXPECT_NEAR(s.SpecificHeat, double((1.006L + 1.86L * W) / (1.0L + W)), 1e-12);
                // The wet bulb the state reports gives its humidity ratio back.
                TAirStateRec back;
                SetState(back, P, t, s.WetBulb, 0);
                EXPECT_NEAR(back.AbsHumidity, s.AbsHumidity, 1e-9);
                ++checked;
            }
    EXPECT_GT(checked, 600);
}

TEST(HygrocalcAccuracy, WetBulbOfRelativeHumiditySolvedTightly) {
    for (double P : {70.0, 101.325, 120.0})
        for (double t = -60.0; t <= 90.0; t += 3.0)
            for (double f : {0.01, 0.5}) {
                if (f * RefPws(t) >= 0.99L * P) continue;
                const double wb = WetBulb(P, t, f, 3);
                const LD ref = RefWetBulb(P, t, RefW(P, f * RefPws(t)));
                EXPECT_NEAR(wb, double(ref), 1e-6) << "P=" << P << " t=" << t << " f=" << f;
            }
}

// Hand-checked points of a psychrometric chart at 101.325 kPa.
TEST(HygrocalcAccuracy, ChartPointsAtSeaLevel) {
    TAirStateRec s;
    SetState(s, 101.325, 20.0, WetBulb(101.325, 20.0, 0.5, 3), 0);
    EXPECT_NEAR(s.AbsHumidity, 0.00726, 5e-5);
    EXPECT_NEAR(s.WetBulb, 13.8, 0.05);
    EXPECT_NEAR(s.DewPoint, 9.3, 0.05);
    EXPECT_NEAR(s.Enthalpy, 38.6, 0.1);
    EXPECT_NEAR(s.Density, 1.199, 0.002);
}

// States computed separately in a short script (double precision, bisection)
// straight from the handbook's chapter 1 equations: Hyland–Wexler saturation,
// humidity ratio, enthalpy, specific volume and the wet-bulb relation
// (eqs. 33 and 35). A constant changed in both the engine and the reference
// above still shows here.
TEST(HygrocalcAccuracy, IndependentlyComputedStates) {
    struct Row {
        double P, T, Rh, W, Wb, Dp, H, Rho;
    };
    const Row rows[] = {
        {101.325, 20, 0.5, 0.007261737207462574, 13.783554470050007, 9.272392291089915,
         38.55174137998151, 1.198897966668441},
        {101.325, -10, 0.5, 0.0007986818012880479, -11.637923366294302, -17.58137174502825,
         -8.07735229648255, 1.340778899155811},
        {80, 35, 0.3, 0.013408709864271114, 20.600378257954816, 14.843604726407847,
         69.6180903827061, 0.8972292383544803},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.T));
        TAirStateRec s;
        SetState(s, r.P, r.T, r.Rh, 3);
        EXPECT_NEAR(s.AbsHumidity, r.W, 1e-9 * r.W);
        EXPECT_NEAR(s.WetBulb, r.Wb, 1e-6);
        EXPECT_NEAR(s.DewPoint, r.Dp, 1e-6);
        EXPECT_NEAR(s.Enthalpy, r.H, 1e-6);
        EXPECT_NEAR(s.Density, r.Rho, 1e-9);
    }
}

// Viscosity: dry air against Incropera, Fundamentals of Heat and Mass
// Transfer, Table A.4 (1 atm); water vapour against the check values of the
// IAPWS 2008 viscosity release (433.15 K and 873.15 K at 1 kg/m³, where the
// density term is below 1 %).
TEST(HygrocalcAccuracy, ViscosityWithinOnePercentOfPublishedValues) {
    struct Row {
        double TK, Mu;
    };
    for (const Row r :
         {Row{250, 159.6e-7}, Row{300, 184.6e-7}, Row{350, 208.2e-7}, Row{400, 230.1e-7}})
        EXPECT_NEAR(psy::DryAirViscosity(r.TK - 273.15), r.Mu, 0.01 * r.Mu) << r.TK;
    for (const Row r : {Row{433.15, 14.538324e-6}, Row{873.15, 32.619287e-6}})
        EXPECT_NEAR(psy::VapourViscosity(r.TK - 273.15), r.Mu, 0.01 * r.Mu) << r.TK;

    // Dry air through the engine is Sutherland's law itself.
    TAirStateRec dry;
    SetState(dry, 101.325, 26.85, 0.0, 2); // Kind 2: the third value is W
    EXPECT_NEAR(dry.Viscosity, 184.6e-7, 0.01 * 184.6e-7);

    // Humid air: Wilke's rule evaluated here for saturated air at 40 °C.
    TAirStateRec sat;
    SetState(sat, 101.325, 40.0, 40.0, 0);
    const LD T = 313.15L;
    const LD ma = 1.458e-6L * T * std::sqrt(T) / (T + 110.4L);
    const LD tb = T / 647.096L;
    const LD mv = 1e-4L * std::sqrt(tb) /
                  (1.67752L + 2.20462L / tb + 0.6366564L / (tb * tb) - 0.241605L / (tb * tb * tb));
    const LD Ma = 28.966L, Mv = 18.015268L; // 18.015268 / 28.966 = 0.621945
    const LD xv = sat.VapPressure / 101.325L, xa = 1 - xv;
    auto phi = [](LD mi, LD mj, LD Mi, LD Mj) {
        const LD k = 1 + std::sqrt(mi / mj) * std::pow(Mj / Mi, 0.25L);
        return k * k / std::sqrt(8 * (1 + Mi / Mj));
    };
    const LD mix =
        xa * ma / (xa + xv * phi(ma, mv, Ma, Mv)) + xv * mv / (xv + xa * phi(mv, ma, Mv, Ma));
    EXPECT_NEAR(sat.Viscosity, double(mix), 2e-4 * double(mix));
    // Vapour lowers the viscosity of air in this range.
    EXPECT_LT(sat.Viscosity, psy::DryAirViscosity(40.0));
    EXPECT_NEAR(sat.Reserved3, sat.Viscosity / sat.Density, 1e-15);
    EXPECT_NEAR(sat.Reserved2, sat.VapPressure / sat.Pressure, 1e-15);
}

// Above the boiling point at the total pressure only unsaturated air exists;
// the state must stay finite and consistent.
TEST(HygrocalcAccuracy, DryBulbAboveBoilingPoint) {
    TAirStateRec s;
    const double wb = WetBulb(101.325, 120.0, 0.5, 3);
    SetState(s, 101.325, 120.0, wb, 0);
    EXPECT_NEAR(s.RelHumidity, 0.5, 1e-9);
    EXPECT_LT(s.WetBulb, psy::BoilingPoint(101.325));
    EXPECT_LT(s.VapPressure, 101.325);
    EXPECT_GT(s.SatPressure, 101.325);
    EXPECT_THROW(WetBulb(101.325, 150.0, 0.5, 3), EPsychroError); // pv would exceed P
    EXPECT_NE(PsyStatus(), 0);
}

} // namespace
} // namespace oravent
