#include "duct/DuctFiles.h"

#include <cmath>
#include <limits>

#include "psychro/AirStateText.h"
#include "units/NumberText.h"

namespace oravent {

namespace {

constexpr std::string_view Sec = DuctSettingsSection;
constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

bool Usable(const TDuctValueKey& K, double V) {
    if (!std::isfinite(V)) return false;
    return K.Lo == 0 ? V > 0 && V <= K.Hi : V >= K.Lo && V <= K.Hi;
}

// A stored number, or NaN when it is missing, of another kind (a settings
// store raises then) or not a number.
double ReadNumber(const TCustomIniFile& Store, std::string_view Key) {
    try {
        return Store.ReadReal(Sec, Key, NoValue);
    } catch (const std::exception&) {
        return NoValue;
    }
}

int ReadInteger(const TCustomIniFile& Store, std::string_view Key, int Default, int Lo, int Hi) {
    try {
        const int V = Store.ReadInt(Sec, Key, Default);
        return V >= Lo && V <= Hi ? V : Default;
    } catch (const std::exception&) {
        return Default;
    }
}

std::string ReadString(const TCustomIniFile& Store, std::string_view Key,
                       std::string_view Default) {
    try {
        return Store.ReadText(Sec, Key, Default);
    } catch (const std::exception&) {
        return std::string(Default);
    }
}

// The "db/wb" text the files keep: "%0.1f" per number, or more digits for
// air that the rounded text would carry past what the engine takes
// (saturated air just below the boiling point rounds onto it), so that a
// saved file always opens again.
std::string StoredTemperatureText(const TAirStateRec& Air, double Barometer) {
    for (const char* Fmt : {"%0.1f", "%0.2f", "%0.3f", "%0.17g"}) {
        const std::string Text = AirStateToStr(Air, Fmt);
        TAirStateRec Check;
        try {
            StrToAirState(Text, Check, Barometer, 0.5);
            return Text;
        } catch (const std::exception&) {
            ResetReferenceState();
        }
    }
    return AirStateToStr(Air, "%0.1f");
}

} // namespace

// ---- Calculation file ---------------------------------------------------------------

std::vector<std::string> ReadCalculation(const TCustomIniFile& File, DuctSheet& Sheet) {
    std::vector<std::string> Replaced;
    DuctSheet S = Sheet;
    for (const TDuctValueKey& K : DuctValueKeys) {
        const double V = ReadNumber(File, K.Key);
        if (Usable(K, V)) {
            S.*K.Field = V;
        } else {
            S.*K.Field = K.Default;
            const std::string Text = ReadString(File, K.Key, "");
            if (!Text.empty()) Replaced.push_back(std::string(K.Key) + "=" + Text);
        }
    }
    S.kIndex = ReadInteger(File, "kIndex", -1, 0, RoughnessCount - 1);
    if (S.kIndex < 0) {
        S.kIndex = CalculationRoughnessDefault;
        const std::string Text = ReadString(File, "kIndex", "");
        if (!Text.empty()) Replaced.push_back("kIndex=" + Text);
    }
    const std::string Temperature = ReadString(File, "Temperature", CalculationTemperatureDefault);
    try {
        StrToAirState(Temperature, S.DuctAir, S.Barometer, 0.5);
    } catch (const EPsychroError&) {
        ResetReferenceState();
        throw;
    }
    S.UpdateRoughness();
    Sheet = S;
    return Replaced;
}

void WriteCalculation(TCustomIniFile& File, const DuctSheet& Sheet) {
    File.WriteText(Sec, "Barometer", FormatNumber("%0.3f", Sheet.Barometer));
    File.WriteText(Sec, "Temperature", StoredTemperatureText(Sheet.DuctAir, Sheet.Barometer));
    File.WriteInt(Sec, "kIndex", Sheet.kIndex);
    for (const TDuctValueKey& K : DuctValueKeys) {
        if (K.Key != "Barometer") File.WriteText(Sec, K.Key, FormatNumber("%0.3f", Sheet.*K.Field));
    }
}

// ---- Window settings ------------------------------------------------------------------

TDuctViewSettings::TDuctViewSettings() {
    for (const TDuctRowDef& D : DuctRows)
        Units[static_cast<int>(D.Row)] = D.Metric;
}

std::string UnitsKey(TDuctRow Row) {
    return "Units" + std::to_string(static_cast<int>(Row));
}

void LoadDuctSettings(const TCustomIniFile& Store, DuctSheet& Sheet, TDuctViewSettings& View) {
    for (int K = 0; K < RoughnessCount; ++K) {
        const double V = ReadNumber(Store, RoughnessKeys[K]);
        if (std::isfinite(V)) Sheet.RoughnessTable[K] = V;
    }
    const TDuctValueKey& Baro = DuctValueKeys[0];
    const double P = ReadNumber(Store, Baro.Key);
    Sheet.Barometer = Usable(Baro, P) ? P : Baro.Default;
    // The stored text, then the default text, then the reset air: a start
    // never fails on a temperature.
    for (const std::string& Text : {ReadString(Store, "Temperature", SettingsTemperatureDefault),
                                    std::string(SettingsTemperatureDefault)}) {
        TAirStateRec Air = Sheet.DuctAir;
        try {
            StrToAirState(Text, Air, Sheet.Barometer, 0.5);
            Sheet.DuctAir = Air;
            break;
        } catch (const std::exception&) {
            ResetReferenceState();
        }
    }
    Sheet.kIndex = ReadInteger(Store, "kIndex", SettingsRoughnessDefault, 0, RoughnessCount - 1);
    for (const TDuctValueKey& K : DuctValueKeys) {
        if (K.Field == Baro.Field) continue;
        const double V = ReadNumber(Store, K.Key);
        Sheet.*K.Field = Usable(K, V) ? V : K.Default;
    }
    Sheet.LastFlow0 = static_cast<std::uint8_t>(ReadInteger(Store, "LastFlow0", fqPressure, 0, 3));
    Sheet.LastFlow1 = static_cast<std::uint8_t>(ReadInteger(Store, "LastFlow1", fqFlow, 0, 3));
    Sheet.LastSize0 = static_cast<std::uint8_t>(ReadInteger(Store, "LastSize0", sqDiam, 0, 2));
    Sheet.LastSize1 = static_cast<std::uint8_t>(ReadInteger(Store, "LastSize1", sqHeight, 0, 2));
    for (int C = 0; C < GridColumnCount; ++C) {
        View.ColWidths[C] = ReadInteger(Store, "GridCol" + std::to_string(C), View.ColWidths[C],
                                        MinColumnWidth, MaxColumnWidth);
    }
    for (const TDuctRowDef& D : DuctRows) {
        if (!HasUnits(D)) continue;
        int& U = View.Units[static_cast<int>(D.Row)];
        U = ReadInteger(Store, UnitsKey(D.Row), U, 0, UnitsCount(D.UnitsType) - 1);
    }
    Sheet.UpdateRoughness();
    Sheet.FrictionFactor = 0.015;
}

void SaveDuctSettings(TCustomIniFile& Store, const DuctSheet& Sheet,
                      const TDuctViewSettings& View) {
    for (int K = 0; K < RoughnessCount; ++K)
        Store.WriteReal(Sec, RoughnessKeys[K], Sheet.RoughnessTable[K]);
    Store.WriteReal(Sec, "Barometer", Sheet.Barometer);
    Store.WriteText(Sec, "Temperature", StoredTemperatureText(Sheet.DuctAir, Sheet.Barometer));
    Store.WriteInt(Sec, "kIndex", Sheet.kIndex);
    for (const TDuctValueKey& K : DuctValueKeys) {
        if (K.Field != &TDuctSheetValues::Barometer) Store.WriteReal(Sec, K.Key, Sheet.*K.Field);
    }
    Store.WriteInt(Sec, "LastFlow0", Sheet.LastFlow0);
    Store.WriteInt(Sec, "LastFlow1", Sheet.LastFlow1);
    Store.WriteInt(Sec, "LastSize0", Sheet.LastSize0);
    Store.WriteInt(Sec, "LastSize1", Sheet.LastSize1);
    for (int C = 0; C < GridColumnCount; ++C)
        Store.WriteInt(Sec, "GridCol" + std::to_string(C), View.ColWidths[C]);
    for (const TDuctRowDef& D : DuctRows) {
        if (HasUnits(D)) Store.WriteInt(Sec, UnitsKey(D.Row), View.Units[static_cast<int>(D.Row)]);
    }
}

} // namespace oravent
