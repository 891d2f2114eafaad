#include "atmosphere/AltBaromCommands.h"

#include <cmath>

#include "common/TxRegistry.h"
#include "psychro/Hygrocalc.h"

namespace oravent {

namespace {

template <class TRead, class T> T ReadOr(TRead&& Read, T Default) {
    try {
        return Read();
    } catch (const ERegistryException&) {
        return Default;
    }
}

} // namespace

TBarometerSettings ReadBarometerSettings(const TCustomIniFile& Common) {
    TBarometerSettings S;
    for (const TAltBaromEditDef& D : AltBaromEdits) {
        const int I = static_cast<int>(D.Edit);
        const int Units =
            ReadOr([&] { return Common.ReadInt(BarometerSection, D.UnitsKey, 0); }, 0);
        S.Units[I] = Units >= 0 && Units < UnitsCount(D.UnitsType) ? Units : 0;
        const double V = ReadOr(
            [&] { return Common.ReadReal(BarometerSection, D.ValueKey, D.Default); }, D.Default);
        S.Values[I] = std::isfinite(V) ? V : D.Default;
    }
    S.LastLocation =
        ReadOr([&] { return Common.ReadText(BarometerSection, BarometerLastLocationKey, ""); },
               std::string());
    return S;
}

void WriteBarometerSettings(TCustomIniFile& Common, const TBarometerSettings& Settings) {
    auto* Registry = dynamic_cast<TRegistryIniFile*>(&Common);
    if (Registry) Registry->BeginUpdate();
    try {
        for (const TAltBaromEditDef& D : AltBaromEdits)
            Common.WriteInt(BarometerSection, D.UnitsKey, Settings.Units[static_cast<int>(D.Edit)]);
        Common.WriteText(BarometerSection, BarometerLastLocationKey,
                         SettingText(Settings.LastLocation));
        for (const TAltBaromEditDef& D : AltBaromEdits)
            Common.WriteReal(BarometerSection, D.ValueKey,
                             Settings.Values[static_cast<int>(D.Edit)]);
    } catch (...) {
        if (Registry) Registry->EndUpdate();
        throw;
    }
    if (Registry) Registry->EndUpdate();
}

std::string PickedPlaceStatus(const TLocationRec& Place) {
    if (!std::isfinite(Place.Altitude))
        return FormatText("%s: no altitude given, the altitude is unchanged", {Place.Name});
    if (!std::isfinite(Place.CoolingDryBulb) || !std::isfinite(Place.CoolingWetBulb))
        return FormatText("%s: no design weather", {Place.Name});
    return FormatText("%s: %0.1f/%0.1f °C", {Place.Name, LocationNumber(Place.CoolingDryBulb),
                                             LocationNumber(Place.CoolingWetBulb)});
}

TAltBaromCommands::TAltBaromCommands(TAltBaromView& View) : FView(View) {}

void TAltBaromCommands::Create(const TCustomIniFile& Common) {
    const TBarometerSettings S = ReadBarometerSettings(Common);
    for (const TAltBaromEditDef& D : AltBaromEdits)
        FView.SetEditUnits(D.Edit, S.Units[static_cast<int>(D.Edit)]);
    FPressure = S.Values[0];
    FAltitude = S.Values[1];
    FLastLocation = S.LastLocation;
    ShowPair();
    FView.ShowStatus("");
}

void TAltBaromCommands::Start(double HostPressure) {
    FModalResult = mrNone;
    SetPressure(HostPressure);
}

void TAltBaromCommands::Activate() {
    FView.ShowStatus(AltBaromReady);
}

void TAltBaromCommands::ShowPair() {
    FView.ShowEditValue(TAltBaromEdit::Pressure, FPressure);
    FView.ShowEditValue(TAltBaromEdit::Altitude, FAltitude);
}

// Pressure and altitude together from one of them through the engine; a
// refusal keeps both, shows them again and says why.
bool TAltBaromCommands::SetPair(double Given, double (*Other)(double), bool GivenIsPressure) {
    try {
        const double V = Other(Given);
        FPressure = GivenIsPressure ? Given : V;
        FAltitude = GivenIsPressure ? V : Given;
    } catch (const EPsychroError& E) {
        ResetReferenceState();
        ShowPair();
        FView.ShowError(E.what());
        return false;
    }
    ShowPair();
    return true;
}

bool TAltBaromCommands::SetPressure(double P) {
    return SetPair(P, &oravent::Altitude, true);
}

bool TAltBaromCommands::SetAltitude(double Z) {
    return SetPair(Z, &AtmPressure, false);
}

void TAltBaromCommands::EditLeft(TAltBaromEdit Edit) {
    const double V = FView.EditValue(Edit);
    const bool Done = Edit == TAltBaromEdit::Pressure ? SetPressure(V) : SetAltitude(V);
    if (Done) FView.ShowStatus(AltBaromEditDef(Edit).Modified);
}

double TAltBaromCommands::EditValueOr(TAltBaromEdit Edit, double Held) const {
    const double V = FView.EditValue(Edit);
    return std::isfinite(V) ? V : Held;
}

void TAltBaromCommands::Accept() {
    FView.CommitFocusedEdit();
    FPressure = EditValueOr(TAltBaromEdit::Pressure, FPressure);
    FAltitude = EditValueOr(TAltBaromEdit::Altitude, FAltitude);
    FModalResult = mrOk;
}

void TAltBaromCommands::Cancel() {
    FModalResult = mrCancel;
}

void TAltBaromCommands::Close(TCustomIniFile& Common) {
    TBarometerSettings S;
    for (const TAltBaromEditDef& D : AltBaromEdits)
        S.Units[static_cast<int>(D.Edit)] = FView.EditUnits(D.Edit);
    S.Values[0] = EditValueOr(TAltBaromEdit::Pressure, FPressure);
    S.Values[1] = EditValueOr(TAltBaromEdit::Altitude, FAltitude);
    S.LastLocation = FLastLocation;
    WriteBarometerSettings(Common, S);
}

void TAltBaromCommands::SearchLocation() {
    TLocationPickerDialog* Picker = FView.LocationPicker();
    if (!Picker || !Picker->Execute(FLastLocation)) return;
    FLastLocation = Picker->SelectionText();
    const TLocationRec Place = Picker->Record();
    const double Z = LocationNumber(Place.Altitude);
    if (std::isfinite(Z) && !SetAltitude(Z)) return;
    FView.ShowStatus(PickedPlaceStatus(Place));
}

} // namespace oravent
