// Moist-air formulation behind the engine calls: saturation curve, humidity
// ratio, psychrometric wet-bulb relation, dew point, volume, enthalpy,
// viscosity and the standard atmosphere, all in base units (kPa, °C, kg/kg).
// These are the raw formulas without range checks; Hygrocalc.cpp validates
// inputs and raises EPsychroError. Internal to the psychro library and its
// tests.
#pragma once

namespace oravent::psy {

constexpr double kMolarRatio = 0.621945; // M_water / M_dry air
constexpr double kRda = 0.287042;        // kJ/(kg·K), dry air gas constant
constexpr double kKelvin = 273.15;
constexpr double kTriple = 0.01; // °C: ice curve below, water curve from here

// Dry bulb range the engine accepts (the saturation formulation's range).
constexpr double kTMin = -100.0;
constexpr double kTMax = 200.0;
// Lower end of wet-bulb and dew-point searches; the ice curve is extended
// below -100 °C only for these (dew point of nearly dry air).
constexpr double kTLow = -150.0;
// Total pressure range the engine accepts, kPa.
constexpr double kPMin = 10.0;
constexpr double kPMax = 1000.0;
// Altitude range of the standard atmosphere calls, m.
constexpr double kZMin = -5000.0;
constexpr double kZMax = 40000.0;
// Largest humidity ratio accepted (essentially pure vapour), kg/kg.
constexpr double kWMax = 1000.0;

// Hyland–Wexler saturation pressure, kPa: over ice below 0.01 °C, over
// liquid water from 0.01 °C.
double SatPressureIce(double t);
double SatPressureWater(double t);
double SatPressure(double t);
// Exact inverse of SatPressure (dew point / frost point), °C. Pressures
// below the curve at kTLow give kTLow; pv must be below SatPressure(kTMax).
double SatTemperature(double pv);

double HumRatioFromVap(double P, double pv);
double VapFromHumRatio(double P, double W);
// Saturation humidity ratio; pws must be below P.
double SatHumRatio(double P, double t);
double Enthalpy(double t, double W);
double SpecificVolume(double P, double t, double W); // m³/kg dry air
double Density(double P, double t, double W);        // kg/m³ moist air
double SpecificHeat(double W);                       // kJ/(kg moist air·K)
double DryAirViscosity(double t);                    // Pa·s
double VapourViscosity(double t);                    // Pa·s
double MoistAirViscosity(double t, double xv);       // Pa·s, xv = vapour mole fraction

// Psychrometric relation: humidity ratio of air at dry bulb t with wet bulb
// b, on water for b >= 0 and on ice for b < 0. SatPressure(b) must be < P.
double HumRatioFromWetBulb(double P, double t, double b);
// Same relation on an explicit surface (ice true/false).
double HumRatioFromWetBulbOn(double P, double t, double b, bool ice);
// Inverse of the psychrometric relation, solved to < 1e-9 K. Where both the
// water and the ice branch have a root (a narrow band just below the
// 0 °C wet bulb), the water root is taken.
double WetBulbFromHumRatio(double P, double t, double W);
// Temperature at which SatPressure equals P (boiling point), °C.
double BoilingPoint(double P);

double StdAtmPressure(double z);
double StdAtmAltitude(double p);

// Bracketed root search (Brent): f(lo) and f(hi) must have opposite signs
// or be zero. At most 200 iterations; returns the best point found.
template <class F> double BrentRoot(F f, double lo, double hi, double flo, double fhi, double tol);

} // namespace oravent::psy

#include "psychro/BrentRoot.inl"
