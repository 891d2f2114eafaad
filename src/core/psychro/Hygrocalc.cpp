// The engine calls: input checks, the pair solutions of AirState and the
// completion of a state from pressure, dry bulb and humidity ratio.
//
// Reserved fields of a state record:
//   Reserved1  specific volume, m³ per kg of dry air
//   Reserved2  mole fraction of water vapour, VapPressure / Pressure
//   Reserved3  kinematic viscosity, m²/s (Viscosity / Density)
#include "psychro/Hygrocalc.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "psychro/MoistAir.h"

namespace oravent {

using namespace psy;

namespace {

thread_local std::int32_t g_status = 0;

[[noreturn]] void Fail(std::int32_t status, const std::string& message) {
    g_status = status;
    throw EPsychroError(message);
}

// Relative tolerance for values that sit on a limit only through rounding
// (a saturated state handed back in, a relative humidity of 1.0000000001).
constexpr double kEdge = 1e-9;

void CheckNumber(double x, const char* what) {
    if (std::isnan(x)) Fail(psNotANumber, std::string(what) + " is not a number");
    if (!std::isfinite(x)) Fail(psNotANumber, std::string(what) + " is infinite");
}

void CheckPressure(double P) {
    CheckNumber(P, "Pressure");
    if (P < kPMin || P > kPMax) Fail(psOutOfRange, "Pressure out of range (10 to 1000 kPa)");
}

void CheckDryBulb(double t) {
    if (!(t >= kTMin && t <= kTMax))
        Fail(psOutOfRange, "Dry bulb out of range (-100 to 200 \u00b0C)");
}

// A humidity ratio on its own: a number, not negative (a rounding error
// below zero is zero) and at most kWMax.
double CheckHumRatioValue(double W) {
    CheckNumber(W, "Humidity ratio");
    if (W < 0.0) {
        if (W < -1e-12) Fail(psNoState, "Humidity ratio below zero");
        W = 0.0;
    }
    if (W > kWMax) Fail(psNoState, "Humidity ratio above 1000 kg/kg");
    return W;
}

// Humidity ratio of a state at (P, t): as CheckHumRatioValue, and not beyond
// saturation, so the vapour pressure stays below the total pressure. A value
// over saturation by rounding only is pulled back onto it.
double CheckHumRatio(double P, double t, double W) {
    W = CheckHumRatioValue(W);
    const double pws = SatPressure(t);
    if (pws < P) {
        const double ws = HumRatioFromVap(P, pws);
        if (W > ws) {
            if (W > ws * (1.0 + kEdge) + 1e-15) Fail(psNoState, "Humidity ratio above saturation");
            W = ws;
        }
    }
    return W;
}

double CheckRelHumidity(double f) {
    CheckNumber(f, "Relative humidity");
    if (f < 0.0) {
        if (f < -kEdge) Fail(psNoState, "Relative humidity below 0 %");
        f = 0.0;
    }
    if (f > 1.0) {
        if (f > 1.0 + kEdge) Fail(psNoState, "Relative humidity above 100 %");
        f = 1.0;
    }
    return f;
}

// Vapour pressure: not negative and below the total pressure.
double CheckVapPressure(double P, double pv) {
    CheckNumber(pv, "Vapour pressure");
    if (pv < 0.0) {
        if (pv < -1e-12) Fail(psNoState, "Vapour pressure below zero");
        pv = 0.0;
    }
    if (pv >= P || HumRatioFromVap(P, pv) > kWMax)
        Fail(psNoState, "Vapour pressure not below the total pressure");
    return pv;
}

// Dry bulb of a saturation pressure. It may lie above the boiling point at
// the total pressure (superheated, unsaturated air); the other property of
// the pair must then keep the vapour pressure below the total pressure.
double DryBulbFromSatPressure(double s) {
    CheckNumber(s, "Saturation pressure");
    static const double sMin = SatPressure(kTMin);
    static const double sMax = SatPressure(kTMax);
    if (!(s >= sMin * (1.0 - kEdge) && s <= sMax * (1.0 + kEdge)))
        Fail(psOutOfRange, "Saturation pressure out of range (dry bulb -100 to 200 \u00b0C)");
    return std::clamp(SatTemperature(s), kTMin, kTMax);
}

// Vapour pressure of a dew point.
double VapFromDewPoint(double P, double d) {
    CheckNumber(d, "Dew point");
    if (!(d >= kTLow && d <= kTMax)) Fail(psOutOfRange, "Dew point out of range");
    const double pv = SatPressure(d);
    if (pv >= P) Fail(psNoState, "Dew point at or above the boiling point");
    return pv;
}

// Humidity ratio of the moisture property named by its letter: the humidity
// ratio W itself ('w'), the dew point d ('d') or the vapour pressure v ('v').
double HumRatioOfMoisture(char Which, double P, double W, double d, double v) {
    if (Which == 'w') return CheckHumRatioValue(W);
    if (Which == 'd') return HumRatioFromVap(P, VapFromDewPoint(P, d));
    return HumRatioFromVap(P, CheckVapPressure(P, v));
}

// A wet bulb must lie below the boiling point at P.
void CheckWetBulb(double P, double b) {
    CheckNumber(b, "Wet bulb");
    if (!(b >= kTLow && b <= kTMax)) Fail(psOutOfRange, "Wet bulb out of range");
    if (SatPressure(b) >= P) Fail(psNoState, "Wet bulb at or above the boiling point");
}

// Humidity ratio of dry bulb t and wet bulb b, both checked.
double HumRatioOfPair(double P, double t, double& b) {
    if (b > t) {
        // A saturated state handed back in may carry a wet bulb a rounding
        // error above its dry bulb.
        if (b > t + 1e-9) Fail(psNoState, "Wet bulb above dry bulb");
        b = t;
    }
    double W = HumRatioFromWetBulb(P, t, b);
    if (W < 0.0) {
        if (W < -1e-12) Fail(psNoState, "Wet bulb too low for the dry bulb");
        W = 0.0;
    }
    return W;
}

// Dry bulb of a wet bulb and a humidity ratio: the psychrometric relation
// solved for t, which it contains linearly.
double DryBulbFromWetBulbAndW(double P, double b, double W) {
    const double wsb = SatHumRatio(P, b);
    if (W > wsb) {
        if (W > wsb * (1.0 + kEdge) + 1e-15)
            Fail(psNoState, "Humidity ratio above saturation at the wet bulb");
        W = wsb;
    }
    double t;
    if (b >= 0.0)
        t = ((2501.0 - 2.326 * b) * wsb + 1.006 * b - W * (2501.0 - 4.186 * b)) /
            (1.006 + 1.86 * W);
    else
        t = ((2830.0 - 0.24 * b) * wsb + 1.006 * b - W * (2830.0 - 2.1 * b)) / (1.006 + 1.86 * W);
    return std::max(t, b);
}

// Highest dry bulb that a wet bulb reaches (the air is then dry), capped at
// the top of the range.
double DryBulbOfDryAir(double P, double b) {
    const double wsb = SatHumRatio(P, b);
    const double t =
        b >= 0.0 ? b + (2501.0 - 2.326 * b) * wsb / 1.006 : b + (2830.0 - 0.24 * b) * wsb / 1.006;
    return std::min(t, kTMax);
}

// Dry bulb on the wet-bulb line b where g(t) = 0; g must be monotonic on
// [b, dry-air end]. Fails when the line does not reach the wanted value.
// A value within gtol of the wanted one at an end of the line counts as met
// there (a saturated or dry state handed back in).
template <class G>
double SearchOnWetBulbLine(double P, double b, G g, double gtol, const char* what) {
    const double lo = std::max(b, kTMin);
    const double hi = DryBulbOfDryAir(P, b);
    if (hi < lo) Fail(psOutOfRange, "Wet bulb out of range");
    const double glo = g(lo), ghi = g(hi);
    if ((glo > 0.0 && ghi > 0.0) || (glo < 0.0 && ghi < 0.0)) {
        if (std::fabs(glo) <= gtol) return lo;
        if (std::fabs(ghi) <= gtol) return hi;
        Fail(psNoState, std::string("No air state with this wet bulb and ") + what);
    }
    return BrentRoot(g, lo, hi, glo, ghi, 1e-11);
}

// Fills Rec from the checked state (P, t, W); the wet bulb is solved unless
// known.
void Complete(TAirStateRec& Rec, double P, double t, double W, const double* wb) {
    CheckDryBulb(t);
    W = CheckHumRatio(P, t, W);
    TAirStateRec r;
    r.Pressure = P;
    r.DryBulb = t;
    r.AbsHumidity = W;
    r.VapPressure = VapFromHumRatio(P, W);
    r.SatPressure = SatPressure(t);
    r.RelHumidity = std::min(r.VapPressure / r.SatPressure, 1.0);
    r.WetBulb = wb ? *wb : WetBulbFromHumRatio(P, t, W);
    r.WetBulb = std::min(r.WetBulb, t);
    r.DewPoint = std::min(SatTemperature(r.VapPressure), t);
    r.Enthalpy = Enthalpy(t, W);
    const double v = SpecificVolume(P, t, W);
    r.Density = (1.0 + W) / v;
    r.SpecificHeat = SpecificHeat(W);
    r.Viscosity = MoistAirViscosity(t, r.VapPressure / P);
    r.Reserved1 = v;
    r.Reserved2 = r.VapPressure / P;
    r.Reserved3 = r.Viscosity / r.Density;
    const double* f = &r.Pressure;
    for (int i = 0; i < 15; ++i)
        if (!std::isfinite(f[i])) Fail(psNoState, "No air state for these values");
    Rec = r;
}

void CompleteTW(TAirStateRec& Rec, double P, double t, double W) {
    Complete(Rec, P, t, W, nullptr);
}

// Fills Rec from dry bulb t on the wet-bulb line b, keeping b as given.
void CompleteOnWetBulbLine(TAirStateRec& Rec, double P, double t, double b) {
    Complete(Rec, P, t, HumRatioOfPair(P, t, b), &b);
}

// Dry bulb of a known humidity ratio and relative humidity.
double DryBulbFromWAndRH(double P, double W, double f) {
    const double pv = VapFromHumRatio(P, W);
    if (f == 0.0) {
        if (W == 0.0) Fail(psNoState, "Dry air at 0 % relative humidity has no single dry bulb");
        Fail(psNoState, "Relative humidity 0 % with moist air");
    }
    const double pws = pv / f;
    if (pws > SatPressure(kTMax)) Fail(psOutOfRange, "Dry bulb out of range (-100 to 200 \u00b0C)");
    if (pws < SatPressure(kTMin)) Fail(psOutOfRange, "Dry bulb out of range (-100 to 200 \u00b0C)");
    return std::clamp(SatTemperature(pws), kTMin, kTMax);
}

// Dry bulb and relative humidity with a wet bulb given: the state on the
// wet-bulb line.
void SolveFromDryBulbAndX(TAirStateRec& Out, double P, double t, double X, std::int32_t code) {
    CheckNumber(t, "Dry bulb");
    CheckNumber(X, code == 0   ? "Wet bulb"
                   : code == 1 ? "Enthalpy"
                   : code == 2 ? "Humidity ratio"
                   : code == 3 ? "Relative humidity"
                   : code == 4 ? "Dew point"
                   : code == 5 ? "Vapour pressure"
                               : "Density");
    CheckDryBulb(t);
    switch (code) {
    case 0: {
        CheckWetBulb(P, X);
        const double W = HumRatioOfPair(P, t, X); // may pull X onto t
        Complete(Out, P, t, W, &X);
        return;
    }
    case 1: {
        const double W = (X - 1.006 * t) / (2501.0 + 1.86 * t);
        if (W < -1e-12) Fail(psNoState, "Enthalpy too low for the dry bulb");
        if (SatPressure(t) < P && W > SatHumRatio(P, t) * (1.0 + kEdge) + 1e-15)
            Fail(psNoState, "Enthalpy too high for the dry bulb");
        CompleteTW(Out, P, t, W);
        return;
    }
    case 2:
        CompleteTW(Out, P, t, X);
        return;
    case 3: {
        const double f = CheckRelHumidity(X);
        const double pv = CheckVapPressure(P, f * SatPressure(t));
        CompleteTW(Out, P, t, HumRatioFromVap(P, pv));
        return;
    }
    case 4: {
        const double pv = VapFromDewPoint(P, X);
        if (X > t) Fail(psNoState, "Dew point above dry bulb");
        CompleteTW(Out, P, t, HumRatioFromVap(P, pv));
        return;
    }
    case 5: {
        const double pv = CheckVapPressure(P, X);
        if (pv > SatPressure(t) * (1.0 + kEdge))
            Fail(psNoState, "Vapour pressure above saturation");
        CompleteTW(Out, P, t, HumRatioFromVap(P, pv));
        return;
    }
    case 7: {
        if (!(X > 0.0)) Fail(psNoState, "Density must be above zero");
        const double rrt = X * kRda * (t + kKelvin);
        const double den = 1.607858 * rrt - P;
        if (!(den > 0.0)) Fail(psNoState, "Density too low for the dry bulb");
        const double W = (P - rrt) / den;
        if (W < -1e-12) Fail(psNoState, "Density above that of dry air at the dry bulb");
        if (SatPressure(t) < P && W > SatHumRatio(P, t) * (1.0 + kEdge) + 1e-15)
            Fail(psNoState, "Density below that of saturated air at the dry bulb");
        CompleteTW(Out, P, t, W);
        return;
    }
    default:
        Fail(psUnknownCode, "Unknown property kind " + std::to_string(code));
    }
}

} // namespace

void SetState(TAirStateRec& Rec, double P, double DB, double WB, std::int32_t Kind) {
    g_status = psOk;
    CheckPressure(P);
    SolveFromDryBulbAndX(Rec, P, DB, WB, Kind);
}

double WetBulb(double P, double DB, double X, std::int32_t Kind) {
    g_status = psOk;
    CheckPressure(P);
    TAirStateRec r;
    SolveFromDryBulbAndX(r, P, DB, X, Kind);
    return r.WetBulb;
}

void AirState(TAirStateRec& Out, const TAirStateRec& In, std::int32_t Code) {
    g_status = psOk;
    const double P = In.Pressure;
    CheckPressure(P);
    double b = In.WetBulb;
    const double t = In.DryBulb, h = In.Enthalpy, W = In.AbsHumidity, f = In.RelHumidity,
                 d = In.DewPoint, v = In.VapPressure, s = In.SatPressure, r = In.Density;
    switch (Code) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 7: {
        const double x[] = {b, h, W, f, d, v, 0.0, r};
        SolveFromDryBulbAndX(Out, P, t, x[Code], Code);
        return;
    }
    case 8: { // wet bulb + enthalpy
        CheckWetBulb(P, b);
        CheckNumber(h, "Enthalpy");
        const double tt = SearchOnWetBulbLine(
            P, b, [&](double x) { return Enthalpy(x, HumRatioFromWetBulb(P, x, b)) - h; },
            1e-9 * (std::fabs(h) + 1.0), "enthalpy");
        CompleteOnWetBulbLine(Out, P, tt, b);
        return;
    }
    case 9:
    case 11:
    case 12: { // wet bulb + humidity ratio / dew point / vapour pressure
        CheckWetBulb(P, b);
        if (Code == 11 && d > b) {
            CheckNumber(d, "Dew point");
            Fail(psNoState, "Dew point above wet bulb");
        }
        const double WW = HumRatioOfMoisture(Code == 9 ? 'w' : Code == 11 ? 'd' : 'v', P, W, d, v);
        const double tt = DryBulbFromWetBulbAndW(P, b, WW);
        CheckDryBulb(tt);
        // The given moisture is kept as it is: recomputing it from the wet
        // bulb at tt would lose the digits of a very dry state (dew points
        // far below -100 °C) to cancellation.
        Complete(Out, P, tt, WW, &b);
        return;
    }
    case 10: { // wet bulb + relative humidity
        CheckWetBulb(P, b);
        const double ff = CheckRelHumidity(f);
        const double tt = SearchOnWetBulbLine(
            P, b,
            [&](double x) {
                const double WW = std::max(HumRatioFromWetBulb(P, x, b), 0.0);
                return VapFromHumRatio(P, WW) / SatPressure(x) - ff;
            },
            1e-9, "relative humidity");
        CompleteOnWetBulbLine(Out, P, tt, b);
        return;
    }
    case 13: { // wet bulb + saturation pressure
        const double tt = DryBulbFromSatPressure(s);
        SolveFromDryBulbAndX(Out, P, tt, b, 0);
        return;
    }
    case 14: { // wet bulb + density
        CheckWetBulb(P, b);
        CheckNumber(r, "Density");
        const double tt = SearchOnWetBulbLine(
            P, b,
            [&](double x) {
                return Density(P, x, std::max(HumRatioFromWetBulb(P, x, b), 0.0)) - r;
            },
            1e-9 * std::fabs(r), "density");
        CompleteOnWetBulbLine(Out, P, tt, b);
        return;
    }
    case 15:
    case 17:
    case 18: { // enthalpy + humidity ratio / dew point / vapour pressure
        CheckNumber(h, "Enthalpy");
        const double WW = HumRatioOfMoisture(Code == 15 ? 'w' : Code == 17 ? 'd' : 'v', P, W, d, v);
        const double tt = (h - 2501.0 * WW) / (1.006 + 1.86 * WW);
        CheckDryBulb(tt);
        CompleteTW(Out, P, tt, WW);
        return;
    }
    case 16: { // enthalpy + relative humidity
        CheckNumber(h, "Enthalpy");
        const double ff = CheckRelHumidity(f);
        const double hi = std::min(h / 1.006, kTMax); // the air is dry at h / 1.006
        const double lo = kTMin;
        if (hi < lo) Fail(psNoState, "Enthalpy too low");
        auto g = [&](double x) {
            const double WW = std::max((h - 1.006 * x) / (2501.0 + 1.86 * x), 0.0);
            return VapFromHumRatio(P, WW) / SatPressure(x) - ff;
        };
        const double glo = g(lo), ghi = g(hi);
        if (glo < 0.0) Fail(psNoState, "Enthalpy too low for the relative humidity");
        if (ghi > 0.0) Fail(psNoState, "Enthalpy too high for the relative humidity");
        const double tt = BrentRoot(g, lo, hi, glo, ghi, 1e-11);
        CompleteTW(Out, P, tt, std::max((h - 1.006 * tt) / (2501.0 + 1.86 * tt), 0.0));
        return;
    }
    case 19: { // enthalpy + saturation pressure
        const double tt = DryBulbFromSatPressure(s);
        SolveFromDryBulbAndX(Out, P, tt, h, 1);
        return;
    }
    case 25:
    case 28:
    case 29: { // relative humidity + humidity ratio / dew point / vapour pressure
        const double ff = CheckRelHumidity(f);
        const double WW = HumRatioOfMoisture(Code == 25 ? 'w' : Code == 28 ? 'd' : 'v', P, W, d, v);
        if (VapFromHumRatio(P, WW) >= P)
            Fail(psNoState, "Vapour pressure not below the total pressure");
        const double tt = DryBulbFromWAndRH(P, WW, ff);
        CompleteTW(Out, P, tt, WW);
        return;
    }
    case 26:
    case 30:
    case 31:
    case 32: { // saturation pressure + humidity ratio / rel. humidity / dew point / vapour pressure
        const double tt = DryBulbFromSatPressure(s);
        const double ps = SatPressure(tt);
        double pv;
        if (Code == 26) {
            pv = VapFromHumRatio(P, CheckHumRatioValue(W));
        } else if (Code == 30) {
            pv = CheckRelHumidity(f) * ps;
        } else if (Code == 31) {
            pv = VapFromDewPoint(P, d);
        } else {
            pv = CheckVapPressure(P, v);
        }
        if (pv > ps * (1.0 + kEdge)) Fail(psNoState, "Vapour pressure above saturation");
        pv = CheckVapPressure(P, std::min(pv, ps));
        CompleteTW(Out, P, tt, HumRatioFromVap(P, pv));
        return;
    }
    default:
        Fail(psUnknownCode, "Unknown property pair code " + std::to_string(Code));
    }
}

std::int32_t PsyStatus() {
    return g_status;
}

void ResetReferenceState() {
    g_status = psOk;
}

double AtmPressure(double Altitude) {
    g_status = psOk;
    CheckNumber(Altitude, "Altitude");
    if (!(Altitude >= kZMin && Altitude <= kZMax))
        Fail(psOutOfRange, "Altitude out of range (-5000 to 40000 m)");
    return StdAtmPressure(Altitude);
}

double Altitude(double Pressure) {
    g_status = psOk;
    CheckNumber(Pressure, "Pressure");
    static const double pLow = StdAtmPressure(kZMax), pHigh = StdAtmPressure(kZMin);
    if (!(Pressure >= pLow && Pressure <= pHigh))
        Fail(psOutOfRange, "Pressure out of range for the standard atmosphere");
    return StdAtmAltitude(Pressure);
}

} // namespace oravent
