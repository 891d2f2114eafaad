// The units catalogue as constant tables: one array of TUnitEntry per unit
// list, and one row per TUnitsType pointing at its list. Kinds that share a
// list point at the same array, so they cannot drift apart.
#include "units/TxConv.h"

#include <array>

namespace oravent {

namespace {

// Exact definitions used to derive the factors that are computed here
// rather than written out.
constexpr double kPound = 0.45359237;         // kg per lb (avoirdupois)
constexpr double kFoot = 0.3048;              // m per ft
constexpr double kSquareFoot = kFoot * kFoot; // m² per ft² (0.09290304)
// J per Btu as the catalogue's written Btu factors use it (3412.141156488376
// Btu/hr per kW is 3600000 / 1055.056), so derived units agree with them.
constexpr double kBtu = 1055.056;

constexpr TUnitEntry AirFlow[] = {
    {"m³/s", 1, 0, "%0.3f"},
    {"m³/min", 60, 0, "%0.2f"},
    {"m³/hr", 3600, 0, "%0.0f"},
    {"l/s", 1000, 0, "%0.0f"},
    {"cfm", 2118.8800032893155, 0, "%0.2f"},
};

constexpr TUnitEntry AirFlowSmall[] = {
    {"l/s", 1, 0, "%0.1f"},
    {"m³/min", 0.06, 0, "%0.2f"},
    {"cfm", 2.1188800032893154, 0, "%0.3f"},
};

constexpr TUnitEntry AirFlowRate[] = {
    {"m³/s/m²", 1, 0, "%0.3f"},
    {"m³/min/m²", 60, 0, "%0.2f"},
    {"m³/hr/m²", 3600, 0, "%0.0f"},
    {"l/s/m²", 1000, 0, "%0.0f"},
    {"cfm/ft²", 196.8503937007874, 0, "%0.2f"},
};

constexpr TUnitEntry Pressure[] = {
    {"kPa", 1, 0, "%0.3f"},
    {"Pa", 1000, 0, "%0.0f"},
    {"Psi", 0.1450376807894691, 0, "%0.4f"},
    {"Bar", 0.01, 0, "%0.5f"},
    {"Atm", 0.00986923, 0, "%0.5f"},
    {"InchWg", 4.014630759755623, 0, "%0.4f"},
    {"InchHg", 0.295, 0, "%0.4f"},
    {"mHead", 0.10197162129779283, 0, "%0.4f"},
};

constexpr TUnitEntry Altitude[] = {
    {"m", 1, 0, "%0.1f"},
    {"ft", 3.2808398950131235, 0, "%0.1f"},
};

constexpr TUnitEntry AngularSpeed[] = {
    {"rpm", 1, 0, "%0.0f"},
    {"Rad/s", 0.10471975511965978, 0, "%0.3f"},
    {"Rev/s", 0.016666666666666666, 0, "%0.0f"},
};

constexpr TUnitEntry Area[] = {
    {"m²", 1, 0, "%0.1f"},
    {"cm²", 10000, 0, "%0.1f"},
    {"mm²", 1000000, 0, "%0.0f"},
    {"inch²", 1550.0031000062, 0, "%0.2f"},
    {"ft²", 10.763910416709722, 0, "%0.1f"},
};

// "lb/hr" per g/s: 1 g/s = 3.6 kg/hr = 3.6 / 0.45359237 lb/hr (7.93664...).
constexpr TUnitEntry CondensateRate[] = {
    {"g/s", 1, 0, "%0.1f"},
    {"kg/s", 0.001, 0, "%0.4f"},
    {"kg/min", 0.06, 0, "%0.3f"},
    {"lb/hr", 3.6 / kPound, 0, "%0.3f"},
};

constexpr TUnitEntry Conductance[] = {
    {"kW/°C", 1, 0, "%0.3f"},
    {"W/°C", 1000, 0, "%0.0f"},
    {"MBH/°F", 1.8956339758268757, 0, "%0.3f"},
    {"Btu/h°F", 1895.6339758268755, 0, "%0.0f"},
};

constexpr TUnitEntry Conductivity[] = {
    {"kW/m·K", 1, 0, "%0.6g"},
    {"W/m·K", 1000, 0, "%0.6g"},
    {"mW/m·K", 1000000, 0, "%0.6g"},
    {"Btu/hr·ft°F", 577.7, 0, "%0.6g"},
};

constexpr TUnitEntry Density[] = {
    {"kg/m³", 1, 0, "%0.5g"},
    {"mg/L", 1000, 0, "%0.1g"},
    {"lb/ft³", 0.06242796057614461, 0, "%0.4g"},
};

constexpr TUnitEntry Diameter[] = {
    {"m", 1, 0, "%0.3f"},
    {"mm", 1000, 0, "%0.0f"},
    {"inch", 39.37007874015748, 0, "%0.2f"},
    {"1/8\"", 314.96062992125985, 0, "%0.0f"},
    {"ft", 3.2808398950131235, 0, "%0.3f"},
};

constexpr TUnitEntry Duty[] = {
    {"kW", 1, 0, "%0.3f"},
    {"W", 1000, 0, "%0.0f"},
    {"Btu/hr", 3412.141156488376, 0, "%0.0f"},
    {"MBh", 3.412141156488376, 0, "%0.3f"},
    {"kcal/hr", 859.184, 0, "%0.1f"},
};

// "MBh/ft²" per W/m²: 1 W/m² = 3600 J/hr per m² = (3600 / 1055.056) Btu/hr
// per m², times 0.09290304 m² per ft², is 0.316998... Btu/hr·ft²; one MBh is
// 1000 Btu/hr, so 3.16998...E-4 MBh/ft².
constexpr TUnitEntry DutyRate[] = {
    {"W/m²", 1, 0, "%0.1f"},
    {"kW/m²", 0.001, 0, "%0.3f"},
    {"Btu/hr·ft²", 0.31699828634688587, 0, "%0.1f"},
    {"MBh/ft²", 3600.0 / kBtu* kSquareFoot / 1000.0, 0, "%0.3f"},
    {"kcal/hr·ft²", 0.07982080551936, 0, "%0.1f"},
};

constexpr TUnitEntry Energy[] = {
    {"kJ", 1, 0, "%0.3f"},
    {"J", 1000, 0, "%0.0f"},
    {"kW-hr", 0.0002777777777777778, 0, "%0.5g"},
    {"W-hr", 0.2777777777777778, 0, "%0.5g"},
    {"Btu", 0.9478169879134378, 0, "%0.5g"},
};

constexpr TUnitEntry EnergyPerVol[] = {
    {"kW/cms", 1, 0, "%0.3f"},
    {"kJ/m³", 1, 0, "%0.3f"},
    {"Btu/ft³", 0.026839188244036336, 0, "%0.3f"},
};

constexpr TUnitEntry Enthalpy[] = {
    {"kJ/kg", 1, 0, "%0.1f"},
    {"Btu/lb", 0.4299226139294927, 0, "%0.1f"},
};

constexpr TUnitEntry FinDensity[] = {
    {"fpi", 1, 0, "%0.4f"},
    {"fin/mm", 0.03937007874015748, 0, "%0.5f"},
    {"fins/m", 39.37007874015748, 0, "%0.3f"},
    {"fins/ft", 12, 0, "%0.3f"},
};

constexpr TUnitEntry HeatOfRespir[] = {
    {"kJ/kg/day", 1, 0, "%0.2f"},
    {"mW/kg", 11.574074074074074, 0, "%0.4f"},
    {"Btu/lb/day", 0.4299226139294927, 0, "%0.2f"},
};

constexpr TUnitEntry HeatTransCoeff[] = {
    {"W/m²°C", 1, 0, "%0.5g"},
    {"Btu/hr·ft²°F", 0.17611835153222966, 0, "%0.5g"},
};

constexpr TUnitEntry Humidity[] = {
    {"kg/kg", 1, 0, "%0.4f"},
    {"g/kg", 1000, 0, "%0.2f"},
    {"gr/lb", 7000, 0, "%0.1f"},
};

constexpr TUnitEntry LengthBig[] = {
    {"m", 1, 0, "%0.2f"},
    {"ft", 3.2808398950131235, 0, "%0.1f"},
};

constexpr TUnitEntry Length[] = {
    {"m", 1, 0, "%0.3f"},
    {"cm", 100, 0, "%0.2f"},
    {"mm", 1000, 0, "%0.1f"},
    {"inch", 39.37007874015748, 0, "%0.2f"},
    {"ft", 3.2808398950131235, 0, "%0.3f"},
};

constexpr TUnitEntry LengthSmall[] = {
    {"mm", 1, 0, "%0.4f"},
    {"um", 1000, 0, "%0.1f"},
    {"Thou\"", 39.37007874015748, 0, "%0.3f"},
};

constexpr TUnitEntry Mass[] = {
    {"kg", 1, 0, "%0.0f"},
    {"ton SI", 0.001, 0, "%0.3f"},
    {"lb", 2.2046226218487757, 0, "%0.1f"},
};

constexpr TUnitEntry MassSmall[] = {
    {"g", 1, 0, "%0.1f"},
    {"oz", 0.035273961949580414, 0, "%0.3f"},
};

constexpr TUnitEntry MassFlow[] = {
    {"kg/s", 1, 0, "%0.4f"},
    {"g/s", 1000, 0, "%0.1f"},
    {"kg/hr", 3600, 0, "%0.2f"},
    {"lb/s", 2.2046226218487757, 0, "%0.5f"},
    {"lb/min", 132.27735731092656, 0, "%0.3f"},
    {"lb/hr", 7936.6414386555925, 0, "%0.1f"},
};

constexpr TUnitEntry MassFlux[] = {
    {"kg/m²s", 1, 0, "%0.3f"},
    {"g/m²s", 1000, 0, "%0.0f"},
    {"kg/m²hr", 3600, 0, "%0.1f"},
    {"lb/ft²s", 0.20481614362252168, 0, "%0.4f"},
    {"lb/ft²min", 12.288968617351301, 0, "%0.2f"},
    {"lb/ft²hr", 737.3381170410781, 0, "%0.0f"},
};

constexpr TUnitEntry MetRate[] = {
    {"W/P", 1, 0, "%0.1f"},
    {"Btu/hr/P", 3.412141156488376, 0, "%0.0f"},
};

constexpr TUnitEntry PeopleDensity[] = {
    {"m²/P", 1, 0, "%0.1f"},
    {"ft²/P", 10.763910416709722, 0, "%0.2f"},
};

constexpr TUnitEntry Power[] = {
    {"kW", 1, 0, "%0.3f"},
    {"W", 1000, 0, "%0.0f"},
    {"HP", 1.341021858656296, 0, "%0.2f"},
};

constexpr TUnitEntry PressureBar[] = {
    {"kPa", 1, 0, "%0.3f"},        {"Psi", 0.1450376807894691, 0, "%0.4f"},
    {"Bar", 0.01, 0, "%0.5f"},     {"Atm", 0.00986923, 0, "%0.5f"},
    {"InchHg", 0.295, 0, "%0.4f"}, {"mHead", 0.10197162129779283, 0, "%0.4f"},
};

constexpr TUnitEntry PressureRate[] = {
    {"Pa/m", 1, 0, "%0.2f"},
    {"kPa/m", 0.001, 0, "%0.5f"},
    {"iwg/100'", 0.12236594555735139, 0, "%0.4f"},
    {"Psi/ft", 4.4207485104630184E-5, 0, "%0.6f"},
};

constexpr TUnitEntry Proportion[] = {
    {"", 1, 0, "%0.3f"},
    {"%", 100, 0, "%0.1f"},
    {"ratio", 1, 0, "%0.3f"},
};

constexpr TUnitEntry Rate[] = {
    {"/sec", 1, 0, "%0.4f"},
    {"/min", 60, 0, "%0.2f"},
    {"/hr", 3600, 0, "%0.0f"},
};

constexpr TUnitEntry SpecificHeat[] = {
    {"kJ/kg·K", 1, 0, "%0.4g"},
    {"Btu/lb°F", 0.23883448770002388, 0, "%0.4g"},
};

constexpr TUnitEntry SpecificVol[] = {
    {"m³/kg", 1, 0, "%0.3f"},
    {"ft³/lb", 16.018463373960138, 0, "%0.3f"},
};

// The offsets are read for utTemperature only; utTemperatureChange shares
// this list and uses the factors alone.
constexpr TUnitEntry Temperature[] = {
    {"°C", 1, 0, "%0.1f"},
    {"°F", 1.8, 32, "%0.1f"},
    {"K", 1, 273.15, "%0.2f"},
};

// "Btu/ft²°F" per W-hr/m²°C: 1 W-hr = 3600 J = 3600 / 1055.056 Btu; per m² to
// per ft² multiplies by 0.09290304; per °C to per °F divides by 1.8.
// Result 0.1761101590... (the written W/m²°C -> Btu/hr·ft²°F factor,
// 0.17611835..., is the same ratio rounded elsewhere; it differs by 5E-5).
constexpr TUnitEntry ThermalCapacity[] = {
    {"W-hr/m²°C", 1, 0, "%0.1f"},
    {"Btu/ft²°F", 3600.0 / kBtu* kSquareFoot / 1.8, 0, "%0.1f"},
};

constexpr TUnitEntry ThermalResist[] = {
    {"m²°C/W", 1, 0, "%0.4f"},
    {"ft²·hr·°F/Btu", 5.678264134306047, 0, "%0.3f"},
};

constexpr TUnitEntry Time[] = {
    {"sec", 1, 0, "%0.0f"},
    {"min", 0.016666666666666666, 0, "%0.2f"},
    {"hr", 0.0002777777777777778, 0, "%0.4f"},
};

constexpr TUnitEntry Velocity[] = {
    {"m/s", 1, 0, "%0.2f"},
    {"fpm", 196.8503937007874, 0, "%0.1f"},
};

// "lbm/ft·s" per kg/m·s: 1 kg/(m·s) = (1 / 0.45359237) lb per (1 / 0.3048) ft
// per s = 0.3048 / 0.45359237 = 0.67196897... lbm/ft·s.
constexpr TUnitEntry Viscosity[] = {
    {"kg/m·s", 1, 0, "%0.6g"},
    {"N·s/m²", 1, 0, "%0.6g"},
    {"µPa·s", 1000000, 0, "%0.6g"},
    {"cP", 1000, 0, "%0.6g"},
    {"lbm/ft·s", kFoot / kPound, 0, "%0.6g"},
    {"lbf·s/ft²", 0.020885, 0, "%0.6g"},
    {"lbf·hr/ft²", 5.8014E-6, 0, "%0.6g"},
};

constexpr TUnitEntry Volume[] = {
    {"m³", 1, 0, "%0.4f"},      {"litre", 1000, 0, "%0.2f"},  {"cc", 1000000, 0, "%0.0f"},
    {"ft³", 35.32, 0, "%0.4f"}, {"inch³", 61023, 0, "%0.1f"},
};

constexpr TUnitEntry VolumeFluid[] = {
    {"kl", 1, 0, "%0.3f"},
    {"litre", 1000, 0, "%0.5g"},
    {"IP Gal", 220, 0, "%0.5g"},
    {"US Gal", 264.1720523581484, 0, "%0.5g"},
};

constexpr TUnitEntry WaterFlow[] = {
    {"l/s", 1, 0, "%0.3f"},       {"l/min", 60, 0, "%0.2f"},
    {"dm³/hr", 3600, 0, "%0.2f"}, {"m³/hr", 3.6, 0, "%0.2f"},
    {"m³/s", 0.001, 0, "%0.4f"},  {"usgpm", 15.850323141488905, 0, "%0.1f"},
};

struct TUnitList {
    const TUnitEntry* Units;
    int Count;
};

template <std::size_t N> constexpr TUnitList List(const TUnitEntry (&Units)[N]) {
    return {Units, static_cast<int>(N)};
}

// One row per TUnitsType, in the order of the enumeration.
constexpr std::array<TUnitList, UnitsTypeCount> Catalogue = {{
    {nullptr, 0},          // utNone
    List(AirFlow),         // utAirFlowPrim
    List(AirFlow),         // utAirFlowSec
    List(AirFlowSmall),    // utAirFlowSmall
    List(AirFlowRate),     // utAirFlowRate
    List(Pressure),        // utAirPressDrop
    List(Altitude),        // utAltitude
    List(AngularSpeed),    // utAngularSpeed
    List(Area),            // utArea
    List(CondensateRate),  // utCondensateRate
    List(Conductance),     // utConductance
    List(Conductivity),    // utConductivity
    List(Density),         // utDensity
    List(Diameter),        // utDiameter
    List(Duty),            // utDutyPrim
    List(Duty),            // utDutySec
    List(DutyRate),        // utDutyRate
    List(Energy),          // utEnergy
    List(EnergyPerVol),    // utEnergyPerVol
    List(Enthalpy),        // utEnthalpy
    List(FinDensity),      // utFinDensity
    List(HeatOfRespir),    // utHeatOfRespir
    List(HeatTransCoeff),  // utHeatTransCoeff
    List(Humidity),        // utHumidity
    List(LengthBig),       // utLengthBig
    List(Length),          // utLengthMeasure
    List(Length),          // utLengthPrim
    List(Length),          // utLengthSec
    List(LengthSmall),     // utLengthSmall
    List(Mass),            // utMass
    List(MassSmall),       // utMassSmall
    List(MassFlow),        // utMassFlow
    List(MassFlow),        // utMassFlowGas
    List(MassFlux),        // utMassFlux
    List(MetRate),         // utMetRate
    List(PeopleDensity),   // utPeopleDensity
    List(Power),           // utPower
    List(Pressure),        // utPressure
    List(PressureBar),     // utPressureBar
    List(Pressure),        // utPressureSteam
    List(PressureRate),    // utPressureRateGas
    List(PressureRate),    // utPressureRateLiquid
    List(Proportion),      // utProportion
    List(Rate),            // utRate
    List(SpecificHeat),    // utSpecificHeat
    List(SpecificVol),     // utSpecificVol
    List(Temperature),     // utTemperature
    List(Temperature),     // utTemperatureChange
    List(ThermalCapacity), // utThermalCapacity
    List(ThermalResist),   // utThermalResist
    List(Time),            // utTime
    List(Velocity),        // utVelocity
    List(Viscosity),       // utViscosity
    List(Volume),          // utVolume
    List(VolumeFluid),     // utVolumeFluid
    List(WaterFlow),       // utWaterFlow
    List(Pressure),        // utWaterPressDrop
}};

static_assert(Catalogue.size() == utWaterPressDrop + 1, "one row per unit kind");

// The list of a kind; an empty list for utNone and for a value outside the
// enumeration (a corrupted byte must not index past the table).
constexpr TUnitList ListOf(TUnitsType Type) {
    const auto Ordinal = static_cast<unsigned>(Type);
    return Ordinal < Catalogue.size() ? Catalogue[Ordinal] : TUnitList{nullptr, 0};
}

// Index forced into the list; the list must not be empty.
constexpr int ClampInto(const TUnitList& L, int Index) {
    return Index < 0 ? 0 : (Index >= L.Count ? L.Count - 1 : Index);
}

} // namespace

int UnitsCount(TUnitsType Type) {
    return ListOf(Type).Count;
}

const TUnitEntry* UnitsEntry(TUnitsType Type, int Index) {
    const TUnitList L = ListOf(Type);
    if (L.Count == 0) return nullptr;
    return &L.Units[ClampInto(L, Index)];
}

std::string UnitsCaption(TUnitsType Type, int Index) {
    const TUnitEntry* E = UnitsEntry(Type, Index);
    return E ? std::string(E->Caption) : std::string();
}

std::string UnitsFormatStr(TUnitsType Type, int Index) {
    const TUnitEntry* E = UnitsEntry(Type, Index);
    return E ? std::string(E->FormatStr) : std::string("%0.1f");
}

void GetUnitsConversion(TUnitsType Type, int ShownIndex, int BaseIndex, std::string& FormatStr,
                        double& Offset, double& Factor, std::string& Caption) {
    Caption = UnitsCaption(Type, ShownIndex);
    FormatStr = UnitsFormatStr(Type, ShownIndex);
    const TUnitEntry* Shown = UnitsEntry(Type, ShownIndex);
    const TUnitEntry* Base = UnitsEntry(Type, BaseIndex);
    if (Shown == nullptr || Base == nullptr)
        return; // no unit kind: the caller's factor and offset stay
    // base = u·Fb + Ob and shown = u·Fs + Os for a value u in the index-0
    // unit, so shown = base·Fs/Fb + (Os − Ob·Fs/Fb).
    Factor = Shown->Factor / Base->Factor;
    Offset = 0;
    if (Type == utTemperature) Offset = Shown->Offset - Base->Offset * Factor;
}

int ClampUnitsIndex(TUnitsType Type, int Index) {
    const TUnitList L = ListOf(Type);
    if (L.Count == 0) return Index;
    return ClampInto(L, Index);
}

} // namespace oravent
