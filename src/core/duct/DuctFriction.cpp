#include "duct/DuctFriction.h"

#include <cmath>

#include "duct/DuctMath.h"

namespace oravent {

namespace {

constexpr int MaxFrictionSteps = 21;
constexpr double FrictionTolerance = 1e-6;
// 2/ln 10 to nine decimals: the derivative term of the Colebrook function.
constexpr double ColebrookSlopeTerm = 0.868588963;

thread_local int GLastSteps = 0;

} // namespace

using namespace ductmath;

int LastFrictionSteps() {
    return GLastSteps;
}

double ReynoldsNumber(double Density, double Velocity, double Diameter, double Viscosity) {
    return Div(Finite(Finite(Density * Velocity) * Diameter), Viscosity);
}

double RoughFriction(double R) {
    const double d = 1.14 - 2.0 * Log10(R);
    return Div(1.0, d * d);
}

double LaminarFriction(double Re) {
    const double f = Div(64.0, Re);
    return f > 1.0 ? 0.02 : f;
}

double SmoothFriction(double Re, double F0) {
    double c = (F0 == 0.0) ? 7.0 : Div(1.0, Sqrt(F0));
    double cNew = c;
    int steps = 0;
    for (;;) {
        cNew = 2.0 * Log10(Div(Re, c)) - 0.8;
        ++steps;
        GLastSteps = steps;
        if (std::fabs(cNew - c) <= FrictionTolerance || steps >= MaxFrictionSteps) break;
        c = cNew;
    }
    return Div(1.0, cNew * cNew);
}

double ColebrookFriction(double Re, double R, double F0) {
    double x = Div(1.0, Sqrt(F0));
    const double g = R / 3.7;
    const double a = Div(2.51, Re);
    double m = Div(x * a + g, Finite(g + a * (x + ColebrookSlopeTerm)));
    double F = x + 2.0 * Log10(x * a + g);
    int steps = 0;
    for (;;) {
        const double s = Finite(-m * F);
        x = Finite(x + s);
        const double fNew = x + 2.0 * Log10(x * a + g);
        double v = Finite(s * m * (fNew - F));
        if (std::fabs(v) < 1e-12) v = (v >= 0.0) ? 1e-12 : -1e-12;
        m = Finite(m - Div(m * (v - s * s), v));
        F = fNew;
        ++steps;
        GLastSteps = steps;
        if (std::fabs(fNew) <= FrictionTolerance || steps >= MaxFrictionSteps) break;
    }
    return Div(1.0, x * x);
}

double DarcyFriction(double Re, double D, double Eps, double F0) {
    Finite(Re);
    if (Re >= 2300.0) {
        if (Eps == 0.0) return SmoothFriction(Re, F0);
        const double r = Div(Eps, D);
        if (F0 == 0.0) F0 = RoughFriction(r);
        if (Sqrt(F0) * Re * r > 200.0) return RoughFriction(r);
        return ColebrookFriction(Re, r, F0);
    }
    if (Re > 0.0) return LaminarFriction(Re);
    return (F0 >= 0.0 && F0 <= 1.0) ? F0 : 0.02;
}

double EquivalentDiameter(double H, double W) {
    // (H·W)^0.625 = √p·p^(1/8) and (H+W)^0.25 = √√s: square roots are several
    // times faster than pow here, and this runs for every root-search step.
    const double p = Finite(H * W);
    const double s = Finite(H + W);
    if (!(p > 0.0) || !(s > 0.0)) Fail("fractional power of a non-positive number");
    const double rp = std::sqrt(p);
    const double p625 = rp * std::sqrt(std::sqrt(rp));
    return Div(1.3 * p625, std::sqrt(std::sqrt(s)));
}

double RectangleSide(double D, double Other, double Guess) {
    if (!(D > 0.0) || !std::isfinite(D) || !(Other > 0.0) || !std::isfinite(Other))
        Fail("no rectangle has this diameter");
    // EquivalentDiameter(x, Other) rises monotonically from 0 to infinity with
    // x, so halving and doubling bracket the side; EquivalentDiameter raises
    // once x underflows to 0 or overflows, which ends both loops.
    double lo = (Guess > 0.0 && std::isfinite(Guess)) ? Guess : D;
    double hi = lo;
    while (EquivalentDiameter(hi, Other) < D) {
        lo = hi;
        hi = Finite(hi * 2.0);
    }
    while (EquivalentDiameter(lo, Other) > D) {
        hi = lo;
        lo *= 0.5;
    }
    // EquivalentDiameter(lo) <= D <= EquivalentDiameter(hi), hi <= 2·lo.
    for (;;) {
        const double mid = lo + (hi - lo) * 0.5;
        if (mid <= lo || mid >= hi) break;
        const double d = EquivalentDiameter(mid, Other);
        if (d == D) return mid;
        (d < D ? lo : hi) = mid;
    }
    const double errLo = D - EquivalentDiameter(lo, Other);
    const double errHi = EquivalentDiameter(hi, Other) - D;
    return errLo <= errHi ? lo : hi;
}

} // namespace oravent
