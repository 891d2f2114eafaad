// The moist-air engine: a perfect-gas psychrometric formulation (ASHRAE
// Handbook Fundamentals, SI) behind the engine's seven calls. State records
// are complete moist-air states in base units. The engine keeps one status
// word (PsyStatus) from its last call; ResetReferenceState clears it.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace oravent {

struct TAirStateRec {
    double Pressure = 0;     // kPa (barometric)
    double DryBulb = 0;      // °C
    double WetBulb = 0;      // °C
    double Enthalpy = 0;     // kJ/kg dry air
    double AbsHumidity = 0;  // kg/kg dry air (humidity ratio)
    double RelHumidity = 0;  // fraction, 1 = saturated
    double DewPoint = 0;     // °C
    double VapPressure = 0;  // kPa
    double SatPressure = 0;  // kPa
    double Density = 0;      // kg/m³ of moist air
    double SpecificHeat = 0; // kJ/(kg·K)
    double Reserved1 = 0;    // engine-defined, see Hygrocalc.cpp
    double Reserved2 = 0;    // engine-defined
    double Viscosity = 0;    // Pa·s (dynamic)
    double Reserved3 = 0;    // engine-defined
};
static_assert(sizeof(TAirStateRec) == 120, "TAirStateRec is 15 packed doubles");

// Raised by the engine when a state does not exist or cannot be computed.
class EPsychroError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills every field from pressure, dry bulb and (Kind 0) wet bulb.
void SetState(TAirStateRec& Rec, double P, double DB, double WB, std::int32_t Kind);
// Wet bulb in °C; Kind 3: X is a relative humidity fraction.
double WetBulb(double P, double DB, double X, std::int32_t Kind);
// Completes the state from In.Pressure and the two fields named by Code.
void AirState(TAirStateRec& Out, const TAirStateRec& In, std::int32_t Code);
// 0 when the last calculation succeeded.
std::int32_t PsyStatus();
// Clears what a failed call left behind.
void ResetReferenceState();
// Standard atmosphere: metres to kPa and kPa to metres.
double AtmPressure(double Altitude);
double Altitude(double Pressure);

} // namespace oravent
