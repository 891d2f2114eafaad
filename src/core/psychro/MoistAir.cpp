// The perfect-gas moist-air formulation of the ASHRAE Handbook Fundamentals
// (2017, SI, chapter 1): Hyland–Wexler saturation pressures, humidity ratio,
// enthalpy, specific volume and the psychrometric wet-bulb relation; dry-air
// viscosity from Sutherland's law, vapour viscosity from the IAPWS 2008
// dilute-gas term, mixed with Wilke's rule; the standard atmosphere.
#include "psychro/MoistAir.h"

#include <algorithm>
#include <cmath>

namespace oravent::psy {

namespace {

// Hyland–Wexler, ln(p/Pa) as a function of T/K.
constexpr double C1 = -5.6745359e3, C2 = 6.3925247, C3 = -9.6778430e-3, C4 = 6.2215701e-7,
                 C5 = 2.0747825e-9, C6 = -9.4840240e-13, C7 = 4.1635019;
constexpr double C8 = -5.8002206e3, C9 = 1.3914993, C10 = -4.8640239e-2, C11 = 4.1764768e-5,
                 C12 = -1.4452093e-8, C13 = 6.5459673;

double LnPwsIce(double T) {
    return C1 / T + C2 + T * (C3 + T * (C4 + T * (C5 + T * C6))) + C7 * std::log(T);
}
double DLnPwsIce(double T) {
    return -C1 / (T * T) + C3 + T * (2.0 * C4 + T * (3.0 * C5 + T * 4.0 * C6)) + C7 / T;
}
double LnPwsWater(double T) {
    return C8 / T + C9 + T * (C10 + T * (C11 + T * C12)) + C13 * std::log(T);
}
double DLnPwsWater(double T) {
    return -C8 / (T * T) + C10 + T * (2.0 * C11 + T * 3.0 * C12) + C13 / T;
}

// Solves ln pws(T) = lnp on one branch by Newton steps kept inside the
// bracket [tlo, thi] (°C); a step that leaves the bracket is replaced by
// bisection. The curve is smooth and monotonic, so a few steps suffice.
double InvertBranch(double lnp, double guess, double tlo, double thi, bool ice) {
    double lo = tlo + kKelvin, hi = thi + kKelvin;
    double T = std::clamp(guess + kKelvin, lo, hi);
    for (int i = 0; i < 60; ++i) {
        const double g = (ice ? LnPwsIce(T) : LnPwsWater(T)) - lnp;
        if (g == 0.0) break;
        if (g > 0.0)
            hi = T;
        else
            lo = T;
        const double dg = ice ? DLnPwsIce(T) : DLnPwsWater(T);
        double next = T - g / dg;
        if (next == T) break; // converged to the last bit
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        const double step = std::fabs(next - T);
        T = next;
        if (step < 1e-11 || hi - lo < 1e-11) break;
    }
    return T - kKelvin;
}

} // namespace

double SatPressureIce(double t) {
    return std::exp(LnPwsIce(t + kKelvin)) * 1e-3;
}
double SatPressureWater(double t) {
    return std::exp(LnPwsWater(t + kKelvin)) * 1e-3;
}
double SatPressure(double t) {
    return t < kTriple ? SatPressureIce(t) : SatPressureWater(t);
}

double SatTemperature(double pv) {
    static const double lnIceLow = LnPwsIce(kTLow + kKelvin);
    static const double lnIceTop = LnPwsIce(kTriple + kKelvin);
    static const double lnWaterLow = LnPwsWater(kTriple + kKelvin);
    if (!(pv > 0.0)) return kTLow;
    const double lnp = std::log(pv * 1e3);
    if (lnp <= lnIceLow) return kTLow;
    if (lnp < lnIceTop) {
        // Frost point; the regression of the handbook gives the first guess.
        const double a = std::log(pv);
        const double guess = 6.09 + a * (12.608 + a * 0.4959);
        return InvertBranch(lnp, guess, kTLow, kTriple, true);
    }
    if (lnp < lnWaterLow) return kTriple; // the curves meet within this gap
    const double a = std::log(pv);
    const double guess =
        6.54 + a * (14.526 + a * (0.7389 + a * 0.09486)) + 0.4569 * std::exp(0.1984 * a);
    return InvertBranch(lnp, guess, kTriple, kTMax + 50.0, false);
}

double HumRatioFromVap(double P, double pv) {
    return kMolarRatio * pv / (P - pv);
}
double VapFromHumRatio(double P, double W) {
    return P * W / (kMolarRatio + W);
}
double SatHumRatio(double P, double t) {
    return HumRatioFromVap(P, SatPressure(t));
}

double Enthalpy(double t, double W) {
    return 1.006 * t + W * (2501.0 + 1.86 * t);
}

double SpecificVolume(double P, double t, double W) {
    return kRda * (t + kKelvin) * (1.0 + 1.607858 * W) / P;
}
double Density(double P, double t, double W) {
    return (1.0 + W) / SpecificVolume(P, t, W);
}

// Per kilogram of moist air, the same basis as Density: density × specific
// heat × temperature difference × volume flow is then the sensible heat flow
// of the moist air stream without a further humidity correction.
double SpecificHeat(double W) {
    return (1.006 + 1.86 * W) / (1.0 + W);
}

double DryAirViscosity(double t) {
    const double T = t + kKelvin;
    return 1.458e-6 * T * std::sqrt(T) / (T + 110.4);
}

double VapourViscosity(double t) {
    // IAPWS 2008 viscosity of ordinary water, dilute-gas term mu0.
    const double tb = (t + kKelvin) / 647.096;
    const double denom = 1.67752 + (2.20462 + (0.6366564 - 0.241605 / tb) / tb) / tb;
    return 1e-6 * 100.0 * std::sqrt(tb) / denom;
}

double MoistAirViscosity(double t, double xv) {
    const double ma = DryAirViscosity(t);
    if (!(xv > 0.0)) return ma;
    const double mv = VapourViscosity(t);
    // Wilke's mixing rule for two gases; molar masses 18.015268 and
    // 18.015268 / 0.621945 = 28.966 g/mol.
    static const double kVA4 = std::pow(kMolarRatio, 0.25);                 // (Mv/Ma)^1/4
    static const double kAV4 = 1.0 / kVA4;                                  // (Ma/Mv)^1/4
    static const double kDenA = std::sqrt(8.0 * (1.0 + 1.0 / kMolarRatio)); // 8(1+Ma/Mv)
    static const double kDenV = std::sqrt(8.0 * (1.0 + kMolarRatio));       // 8(1+Mv/Ma)
    const double ratio = std::sqrt(ma / mv);
    const double rav = 1.0 + ratio * kVA4;
    const double rva = 1.0 + kAV4 / ratio;
    const double phiAV = rav * rav / kDenA;
    const double phiVA = rva * rva / kDenV;
    const double xa = 1.0 - xv;
    return xa * ma / (xa + xv * phiAV) + xv * mv / (xv + xa * phiVA);
}

double HumRatioFromWetBulbOn(double P, double t, double b, bool ice) {
    const double wsb = SatHumRatio(P, b);
    if (ice) return ((2830.0 - 0.24 * b) * wsb - 1.006 * (t - b)) / (2830.0 + 1.86 * t - 2.1 * b);
    return ((2501.0 - 2.326 * b) * wsb - 1.006 * (t - b)) / (2501.0 + 1.86 * t - 4.186 * b);
}

double HumRatioFromWetBulb(double P, double t, double b) {
    return HumRatioFromWetBulbOn(P, t, b, b < 0.0);
}

double BoilingPoint(double P) {
    return SatTemperature(P);
}

double WetBulbFromHumRatio(double P, double t, double W) {
    constexpr double tol = 1e-10;
    double hi = t;
    if (SatPressure(t) >= P) hi = BoilingPoint(P) - 1e-7;
    if (hi >= 0.0) {
        const double w0 = HumRatioFromWetBulbOn(P, t, 0.0, false);
        if (W >= w0) {
            auto f = [&](double b) { return HumRatioFromWetBulbOn(P, t, b, false) - W; };
            const double fhi = f(hi);
            if (fhi <= 0.0) return hi;
            return BrentRoot(f, 0.0, hi, w0 - W, fhi, tol);
        }
    }
    const double top = std::min(hi, 0.0);
    auto f = [&](double b) { return HumRatioFromWetBulbOn(P, t, b, true) - W; };
    const double ftop = f(top);
    if (ftop <= 0.0) return top;
    // The wet bulb of the driest air lies a little below the dry bulb when
    // cold; try a close bracket first, then the full one.
    double lo = std::max(kTLow, std::min(top, t) - 5.0);
    double flo = f(lo);
    if (flo > 0.0) {
        lo = kTLow;
        flo = f(lo);
        if (flo >= 0.0) return lo;
    }
    return BrentRoot(f, lo, top, flo, ftop, tol);
}

double StdAtmPressure(double z) {
    return 101.325 * std::pow(1.0 - 2.25577e-5 * z, 5.2559);
}
double StdAtmAltitude(double p) {
    return (1.0 - std::pow(p / 101.325, 1.0 / 5.2559)) / 2.25577e-5;
}

} // namespace oravent::psy
