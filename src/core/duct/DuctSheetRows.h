// The row-definition texts of the duct window's sheet and of the roughness
// dialog's sheet. One copy, used by the windows that show them and by the
// tests and demo that build the same sheets.
#pragma once

#include <string>

#include "units/TxConv.h"
#include <vector>

namespace oravent {

// Row 0 is the header; rows 1..9 are barometer, temperature, roughness,
// pressure rate, volume flow, velocity, diameter, height and width.
inline const std::vector<std::string>& DuctSheetRowTexts() {
    static const std::vector<std::string> Rows = {
        "Property; Value; Units",
        "Barometer; %0.3f; kPa; PE; 70; 120",
        "Average Temperature;  %0.1f/%0.1f; °C; PE; -60; 90",
        "Duct Roughness; enum; ; Smooth; Medium Smooth; Average; Medium Rough; Rough",
        "Pressure Rate; %0.3f; Pa/m; NPE; 0.01; 100",
        "Volume Flow; %0.3f; m³/s; NPE; 0.01; 576",
        "Round Duct Velocity; %0.1f; m/s; NPE; 0.001; 100",
        "Equivalent Diameter; %0.4g; mm; NPE; 50; 2400",
        "Clear Height; %0.4g; mm; NPE; 50; 2400",
        "Clear Width; %0.4g; mm; NPE; 50; 2400",
    };
    return Rows;
}

// Units of the duct sheet's numeric rows: kind and the unit the row holds
// its value in (the three length rows hold millimetres). The roughness row
// has no units.
struct TDuctRowUnits {
    int Row;
    TUnitsType Type;
    int Base;
};
inline constexpr TDuctRowUnits DuctSheetRowUnits[] = {
    {1, utPressure, 0}, {2, utTemperature, 0}, {4, utPressureRateGas, 0}, {5, utAirFlowPrim, 0},
    {6, utVelocity, 0}, {7, utLengthPrim, 2},  {8, utLengthPrim, 2},      {9, utLengthPrim, 2},
};

// The roughness dialog: header and the five categories in millimetres;
// limits 0 and 0 mean no range check.
inline const std::vector<std::string>& RoughnessRowTexts() {
    static const std::vector<std::string> Rows = {
        "Category; mm",
        "Smooth; %0.4f; ; ; 0; 0",
        "Medium Smooth; %0.4f; ; ; 0; 0",
        "Average; %0.4f; ; ; 0; 0",
        "Medium Rough; %0.4f; ; ; 0; 0",
        "Rough; %0.4f; ; ; 0; 0",
    };
    return Rows;
}

} // namespace oravent
