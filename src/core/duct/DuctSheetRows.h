// The row-definition texts of the duct window's sheet and of the roughness
// dialog's sheet. One copy, used by the windows that show them and by the
// tests and demo that build the same sheets.
#pragma once

#include <string>

#include <array>
#include <vector>

#include "duct/DuctDocument.h"

namespace oravent {

// Row 0 is the header; rows 1..9 are barometer, temperature, roughness,
// pressure rate, volume flow, velocity, diameter, height and width, as the
// duct document's row table holds them.
inline const std::vector<std::string>& DuctSheetRowTexts() {
    static const std::vector<std::string> Rows = DuctRowTexts();
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
inline constexpr auto DuctSheetRowUnits = [] {
    std::array<TDuctRowUnits, DuctRowCount - 1> Units{};
    std::size_t N = 0;
    for (const TDuctRowDef& D : DuctRows) {
        if (HasUnits(D)) Units[N++] = {static_cast<int>(D.Row), D.UnitsType, D.UnitsBase};
    }
    return Units;
}();

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
