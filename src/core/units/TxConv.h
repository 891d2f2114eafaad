// Units catalogue: for each kind of physical quantity (TUnitsType) an ordered,
// constant list of units with caption, factor from the index-0 unit, offset
// (temperature only) and default format string; plus the conversions between
// a stored and a shown unit. Captions are UTF-8 here; files that need
// Windows-1252 convert at their own boundary.
#pragma once

#include <cstdint>
#include <string>

namespace oravent {

enum TUnitsType : std::uint8_t {
    utNone,
    utAirFlowPrim,
    utAirFlowSec,
    utAirFlowSmall,
    utAirFlowRate,
    utAirPressDrop,
    utAltitude,
    utAngularSpeed,
    utArea,
    utCondensateRate,
    utConductance,
    utConductivity,
    utDensity,
    utDiameter,
    utDutyPrim,
    utDutySec,
    utDutyRate,
    utEnergy,
    utEnergyPerVol,
    utEnthalpy,
    utFinDensity,
    utHeatOfRespir,
    utHeatTransCoeff,
    utHumidity,
    utLengthBig,
    utLengthMeasure,
    utLengthPrim,
    utLengthSec,
    utLengthSmall,
    utMass,
    utMassSmall,
    utMassFlow,
    utMassFlowGas,
    utMassFlux,
    utMetRate,
    utPeopleDensity,
    utPower,
    utPressure,
    utPressureBar,
    utPressureSteam,
    utPressureRateGas,
    utPressureRateLiquid,
    utProportion,
    utRate,
    utSpecificHeat,
    utSpecificVol,
    utTemperature,
    utTemperatureChange,
    utThermalCapacity,
    utThermalResist,
    utTime,
    utVelocity,
    utViscosity,
    utVolume,
    utVolumeFluid,
    utWaterFlow,
    utWaterPressDrop,
};

inline constexpr int UnitsTypeCount = 57;

struct TUnitEntry {
    const char* Caption;   // UTF-8
    double Factor;         // units of this kind in one index-0 unit
    double Offset;         // temperature only; 0 elsewhere
    const char* FormatStr; // default format for a value in this unit
};

// Number of units of the kind; 0 for utNone or a value outside the enumeration.
int UnitsCount(TUnitsType Type);
// Caption of unit Index (index clamped into the list); empty for utNone.
std::string UnitsCaption(TUnitsType Type, int Index);
// Default format of unit Index (index clamped); "%0.1f" for utNone.
std::string UnitsFormatStr(TUnitsType Type, int Index);
// The entry itself (index clamped); nullptr for utNone.
const TUnitEntry* UnitsEntry(TUnitsType Type, int Index);
// Caption and format of the shown unit, and the factor and offset that turn a
// value stored in unit BaseIndex into one shown in unit ShownIndex. For
// utNone, Factor and Offset keep what the caller holds.
void GetUnitsConversion(TUnitsType Type, int ShownIndex, int BaseIndex, std::string& FormatStr,
                        double& Offset, double& Factor, std::string& Caption);
// Index forced into 0 .. UnitsCount-1; unchanged for utNone.
int ClampUnitsIndex(TUnitsType Type, int Index);

inline double ConvertToUnits(double Value, double Factor, double Offset) {
    return Value * Factor + Offset;
}
inline double ConvertFromUnits(double Value, double Factor, double Offset) {
    return (Value - Offset) / Factor;
}

} // namespace oravent
