// The duct document: everything the duct window and the command-line tool
// share about the nine rows of the duct sheet. One table of rows (quantity,
// definition text, units, Metric and Imperial unit choice, sheet operation,
// description), the step that applies a typed value to the sheet, the values
// each row shows, the status texts and the two unit sets. The calculation
// file and the stored settings are in DuctFiles.h.
//
// Row values cross in the row's base unit: kPa, the "db/wb" text in °C, the
// roughness index, Pa/m, m³/s, m/s and millimetres for the three length rows
// (the sheet itself holds metres).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/TxFields.h"
#include "duct/DuctSheet.h"
#include "units/TxConv.h"

namespace oravent {

// The data rows of the duct window, numbered as the grid numbers them.
enum class TDuctRow : int {
    Barometer = 1,
    Temperature,
    Roughness,
    PRate,
    Volume,
    Velocity,
    Diameter,
    Height,
    Width
};
inline constexpr int DuctRowCount = 9;

// The sheet operation a committed row edit calls.
enum class TDuctOp {
    SetBarometer,
    SetAirState,
    SetRoughnessIndex,
    EnterPRate,
    EnterVolume,
    EnterVelocity,
    EnterDiameter,
    EnterHeight,
    EnterWidth
};

enum class TUnitSystem { Metric, Imperial };

struct TDuctRowDef {
    TDuctRow Row;
    std::string_view Quantity;    // short name for the command line and files: "prate"
    std::string_view Text;        // row-definition text of the entry grid
    TUnitsType UnitsType;         // utNone for the roughness row
    int UnitsBase;                // unit the row's value is held in
    int Metric;                   // shown unit of the Metric set
    int Imperial;                 // shown unit of the Imperial set
    TDuctOp Op;                   // sheet operation of a committed edit
    std::string_view Description; // what the row holds, for the status bar
    double Lo, Hi;                // limits in the base unit, as in Text
};

inline constexpr std::string_view DuctHeaderText = "Property; Value; Units";

inline constexpr std::array<TDuctRowDef, DuctRowCount> DuctRows = {{
    {TDuctRow::Barometer, "barometer", "Barometer; %0.3f; kPa; PE; 70; 120", utPressure, 0, 0, 2,
     TDuctOp::SetBarometer, "Barometric pressure", 70, 120},
    {TDuctRow::Temperature, "temperature", "Average Temperature;  %0.1f/%0.1f; °C; PE; -60; 90",
     utTemperature, 0, 0, 1, TDuctOp::SetAirState, "Average temperature of air in duct", -60, 90},
    {TDuctRow::Roughness, "roughness",
     "Duct Roughness; enum; ; Smooth; Medium Smooth; Average; Medium Rough; Rough", utNone, 0, 0, 0,
     TDuctOp::SetRoughnessIndex, "Duct surface roughness", 0, RoughnessCount - 1},
    {TDuctRow::PRate, "prate", "Pressure Rate; %0.3f; Pa/m; NPE; 0.01; 100", utPressureRateGas, 0,
     0, 2, TDuctOp::EnterPRate, "Pressure drop rate, typically 0.6-1.1 Pa/m for a/c", 0.01, 100},
    {TDuctRow::Volume, "volume", "Volume Flow; %0.3f; m³/s; NPE; 0.01; 576", utAirFlowPrim, 0, 0, 4,
     TDuctOp::EnterVolume, "Air volume flowrate", 0.01, 576},
    {TDuctRow::Velocity, "velocity", "Round Duct Velocity; %0.1f; m/s; NPE; 0.001; 100", utVelocity,
     0, 0, 1, TDuctOp::EnterVelocity, "Air velocity based on round duct cross-sectional area",
     0.001, 100},
    {TDuctRow::Diameter, "diameter", "Equivalent Diameter; %0.4g; mm; NPE; 50; 2400", utLengthPrim,
     2, 2, 3, TDuctOp::EnterDiameter, "Equivalent round diameter", 50, 2400},
    {TDuctRow::Height, "height", "Clear Height; %0.4g; mm; NPE; 50; 2400", utLengthPrim, 2, 2, 3,
     TDuctOp::EnterHeight, "Clear airflow height", 50, 2400},
    {TDuctRow::Width, "width", "Clear Width; %0.4g; mm; NPE; 50; 2400", utLengthPrim, 2, 2, 3,
     TDuctOp::EnterWidth, "Clear airflow width", 50, 2400},
}};

// The row's entry (rows 1..9); nullptr for another number.
const TDuctRowDef* DuctRowDef(int Row);
constexpr const TDuctRowDef& DuctRowDef(TDuctRow Row) {
    return DuctRows[static_cast<int>(Row) - 1];
}
// The row of a quantity name, compared without regard to letter case.
std::optional<TDuctRow> DuctRowByQuantity(std::string_view Quantity);
// Header and the nine definition texts, in grid order.
inline std::vector<std::string> DuctRowTexts() {
    std::vector<std::string> Texts{std::string(DuctHeaderText)};
    for (const TDuctRowDef& D : DuctRows)
        Texts.emplace_back(D.Text);
    return Texts;
}
// The row's caption, the first field of its definition text: "Clear Height".
constexpr std::string_view DuctRowCaption(const TDuctRowDef& D) {
    return D.Text.substr(0, D.Text.find(';'));
}
constexpr bool HasUnits(const TDuctRowDef& D) {
    return D.UnitsType != utNone;
}
// Shown unit of the row in a unit set.
constexpr int UnitChoice(const TDuctRowDef& D, TUnitSystem System) {
    return System == TUnitSystem::Metric ? D.Metric : D.Imperial;
}

// What applying a value did besides the sheet operation.
struct TDuctEditOutcome {
    // The temperature text was moved to the air state's limits (dry bulb
    // -60..99 °C, wet bulb from that of 1 % humidity up to the dry bulb).
    bool TemperatureMoved = false;
};

// Calls the row's sheet operation with a value in the row's base unit (the
// "db/wb" text for the temperature, the index for the roughness, millimetres
// for lengths), without iterating. Raises EConvertError for a value the row
// cannot read and EPsychroError when the engine refuses the air; the sheet
// is then unchanged.
TDuctEditOutcome ApplyDuctValue(DuctSheet& Sheet, TDuctRow Row, const TFieldValue& Value);

// The committed edit of the duct window: ApplyDuctValue, then Iterate.
// Failed() of the sheet tells an arithmetic failure of the iteration.
TDuctEditOutcome CommitDuctEdit(DuctSheet& Sheet, TDuctRow Row, const TFieldValue& Value);

// Start and Open: solves the sheet as Solve does after an activation
// (UpdateIntermediates, SolveRectangle, Iterate)
// so that the values shown are its solution. Values that already were the
// solution (each within 1e-5 of the solved one, the iteration's own
// accuracy) are kept exactly, so stored
// values show as stored; when the solve fails every value stays as it was
// and Solved is false. Returns Solved.
bool SettleDuctSheet(DuctSheet& Sheet);

// True when the values the rows show (and the remembered groups, the
// roughness table and the solved state) are the same in both sheets, each
// number to within 1e-5 of itself (the iteration's accuracy).
bool SameDuctValues(const TDuctSheetValues& A, const TDuctSheetValues& B);

// The rows holding what the engineer entered, as opposed to what was
// solved: the two flow quantities of the flow group (Size is the diameter)
// and the sides of the size group; the size group's diameter only when the
// flow group holds Size, since otherwise it was solved from the flow. In
// grid order.
std::vector<TDuctRow> KnownDuctRows(const TDuctSheetValues& Sheet);

// The value the row shows for the sheet, in the row's base unit.
TFieldValue DuctRowValue(const DuctSheet& Sheet, TDuctRow Row);

// Status bar texts: "Solved..." / "Not Solved"; "[Pressure, Flow]"; "[Diam, Height]".
std::string_view SolvedText(bool Solved);
std::string FlowGroupText(const DuctSheet& Sheet);
std::string SizeGroupText(const DuctSheet& Sheet);
// Texts of the status panels before the first iteration.
inline constexpr std::string_view InitialStatusTexts[3] = {"Solved", "LastFlow", "LastSize"};

// The conversion between a row's base unit and a shown unit.
struct TRowConversion {
    double Factor = 1, Offset = 0;
    std::string Caption, FormatStr;
    double Shown(double Base) const { return ConvertToUnits(Base, Factor, Offset); }
    double Base(double Shown) const { return ConvertFromUnits(Shown, Factor, Offset); }
};
TRowConversion DuctRowConversion(const TDuctRowDef& D, int ShownIndex);

} // namespace oravent
