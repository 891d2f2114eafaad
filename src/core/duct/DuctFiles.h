// What the duct window keeps on disk: the calculation file ("Oravent.ini",
// section "Settings", nine keys in SI units) and the per-user settings of
// the window (section "Settings": roughness table, sheet values, remembered
// groups, column widths, unit choices). Keys and read defaults are one
// table each; both stores are any TCustomIniFile.
//
// Readers never fail on a stored value: a value that is missing, of another
// kind or unusable (not finite, not positive where a flow or size must be,
// an index out of range) takes its default. The calculation reader lists
// the keys it replaced so that a window or tool can say so.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/TxIniFiles.h"
#include "duct/DuctDocument.h"

namespace oravent {

inline constexpr std::string_view DuctSettingsSection = "Settings";
inline constexpr std::string_view CalculationFileName = "Oravent.ini";

// A sheet value kept under a key, in SI base units.
struct TDuctValueKey {
    std::string_view Key;
    double TDuctSheetValues::*Field;
    double Default;
    // Flows and sizes must be greater than 0; the barometer must lie within
    // the barometer row's limits.
    double Lo, Hi;
};
inline constexpr TDuctValueKey DuctValueKeys[] = {
    {"Barometer", &TDuctSheetValues::Barometer, 101.325, 70, 120},
    {"PRate", &TDuctSheetValues::PRate, 1.0, 0, 1e6},
    {"Volume", &TDuctSheetValues::Volume, 5.0, 0, 1e6},
    {"Velocity", &TDuctSheetValues::Velocity, 9.4, 0, 1e6},
    {"Diameter", &TDuctSheetValues::Diameter, 0.835, 0, 1e6},
    {"Height", &TDuctSheetValues::Height, 0.55, 0, 1e6},
    {"Width", &TDuctSheetValues::Width, 1.1, 0, 1e6},
};

// ---- Calculation file ---------------------------------------------------------

inline constexpr std::string_view CalculationTemperatureDefault = "19.5/13.37";
inline constexpr int CalculationRoughnessDefault = 3;

// Reads the nine keys over the sheet as the Open command does: the air from
// the "Temperature" text at the barometer just read, Roughness from kIndex;
// the remembered groups stay. Returns the keys whose stored text could not
// be used (their default was taken), e.g. "PRate=abc". Raises EConvertError
// or EPsychroError when the temperature text cannot be read or the engine
// refuses the air; the sheet is then unchanged.
std::vector<std::string> ReadCalculation(const TCustomIniFile& File, DuctSheet& Sheet);
// Writes the nine keys, every number (the two temperatures of the "db/wb"
// text too) as its shortest round-trip text, so that the file reopens to the
// same doubles; files written with fewer digits read as before.
// Raises EIniFileException when the file cannot be written.
void WriteCalculation(TCustomIniFile& File, const DuctSheet& Sheet);

// ---- Window settings ------------------------------------------------------------

// Roughness table keys, category 0..4.
inline constexpr std::string_view RoughnessKeys[RoughnessCount] = {
    "kSmooth", "kMedSmooth", "kAverage", "kMedRough", "kRough"};
inline constexpr std::string_view SettingsTemperatureDefault = "13/12";
inline constexpr int SettingsRoughnessDefault = 3;
inline constexpr int GridColumnCount = 3;
// Column widths of the designed window, pixels at the designed font.
inline constexpr int DesignedColumnWidths[GridColumnCount] = {113, 75, 65};

// What the window keeps besides the sheet. The window fills it with its
// current state before loading (those are the read defaults).
struct TDuctViewSettings {
    int ColWidths[GridColumnCount] = {DesignedColumnWidths[0], DesignedColumnWidths[1],
                                      DesignedColumnWidths[2]};
    // Shown unit index per grid row (index 0 and the roughness row unused).
    int Units[DuctRowCount + 1] = {};
    TDuctViewSettings();
};
// "Units1", "Units2", "Units4" ... "Units9".
std::string UnitsKey(TDuctRow Row);
// Widths outside this range are taken as not stored.
inline constexpr int MinColumnWidth = 8, MaxColumnWidth = 4000;

// Reads the settings over the sheet (which holds its reset values) and the
// view, then Roughness := RoughnessTable[kIndex] and FrictionFactor := 0.015.
void LoadDuctSettings(const TCustomIniFile& Store, DuctSheet& Sheet, TDuctViewSettings& View);
// Writes every key. Raises what the store raises on a refused write.
void SaveDuctSettings(TCustomIniFile& Store, const DuctSheet& Sheet, const TDuctViewSettings& View);

} // namespace oravent
