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
    double SpecificHeat = 0; // kJ/(kg moist air·K), (1.006 + 1.86 W) / (1 + W)
    double Reserved1 = 0;    // specific volume, m³/kg dry air
    double Reserved2 = 0;    // mole fraction of water vapour (VapPressure / Pressure)
    double Viscosity = 0;    // Pa·s (dynamic)
    double Reserved3 = 0;    // kinematic viscosity, m²/s (Viscosity / Density)
};
static_assert(sizeof(TAirStateRec) == 120, "TAirStateRec is 15 packed doubles");

// Values of PsyStatus after a call.
enum : std::int32_t {
    psOk = 0,          // the last call succeeded
    psNotANumber = 1,  // an input was NaN or infinite
    psOutOfRange = 2,  // an input lies outside the engine's range
    psNoState = 3,     // the inputs describe no physical state
    psUnknownCode = 4, // unknown pair code or kind
};

// Raised by the engine when a state does not exist or cannot be computed.
class EPsychroError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Ranges: pressure 10 to 1000 kPa, dry bulb -100 to 200 °C (above the
// boiling point only as unsaturated air), altitude -5000 to 40000 m. Every
// failing call raises EPsychroError with a short message and leaves PsyStatus
// non-zero; no call returns a NaN or infinite value. The output record of a
// failing call is left unchanged.
//
// Fills every field from pressure, dry bulb and (Kind 0) wet bulb. Other
// kinds take the third value as the property that AirState pairs with the
// dry bulb under the same code: 1 enthalpy, 2 humidity ratio, 3 relative
// humidity, 4 dew point, 5 vapour pressure, 7 density.
void SetState(TAirStateRec& Rec, double P, double DB, double WB, std::int32_t Kind);
// Wet bulb in °C; Kind 3: X is a relative humidity fraction (other kinds as
// for SetState).
double WetBulb(double P, double DB, double X, std::int32_t Kind);
// Completes the state from In.Pressure and the two fields named by Code
// (the pair codes of TAirCombin: 0-5, 7-19, 25, 26, 28-32); the other fields
// of In are not read. Pairs that need a search use bracketed root finding.
// The wet bulb follows the psychrometric relation on water for wet bulbs at
// or above 0 °C and on ice below; where both give a root for the same
// humidity (a band of up to a few tenths of a kelvin just below 0 °C) the
// water root is reported, so a wet bulb typed in that band is kept in the
// record but not found again from the other properties. Wet bulb + enthalpy
// (code 8) is degenerate for a wet bulb just above 0 °C, where the enthalpy
// barely changes along the wet-bulb line: the result has the given wet bulb
// and enthalpy but its dry bulb is poorly determined. Dry air has no dew
// point; it is reported as -150 °C.
void AirState(TAirStateRec& Out, const TAirStateRec& In, std::int32_t Code);
// 0 when the last calculation succeeded.
std::int32_t PsyStatus();
// Clears what a failed call left behind.
void ResetReferenceState();
// Standard atmosphere: metres to kPa and kPa to metres.
double AtmPressure(double Altitude);
double Altitude(double Pressure);

} // namespace oravent
