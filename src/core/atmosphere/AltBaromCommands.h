// The pressure calculator without its window (TAltBaromForm's logic): the
// pressure and altitude pair kept consistent through the engine's standard
// atmosphere, the two edits' definitions, the leave rules and their status
// texts, Accept and Cancel, the settings of the common key's "Barometer"
// section, and Search for Location through the picker.
//
// The window implements TAltBaromView over its two formatted edits, status
// bar, message box and the picker window, and forwards:
//   creation                  Create(common store)
//   before showing (the host) Start(the host's barometer, kPa)
//   each showing              Activate()
//   an edit left after the user changed it (Tab, Enter, Down, Up, a click
//   elsewhere, or committed by Accept)   EditLeft(edit)
//   Accept / Cancel           Accept() / Cancel()
//   closing, every time       Close(common store)
//   the search button         SearchLocation()
// After the window closes the host reads Pressure() and uses it when
// ModalResult() is mrOk.
#pragma once

#include <string>
#include <string_view>

#include "atmosphere/SelectLocationCommands.h"
#include "common/TxIniFiles.h"
#include "units/NumberText.h"
#include "units/TxConv.h"

namespace oravent {

enum class TAltBaromEdit { Pressure = 0, Altitude = 1 };

// One edit of the calculator: how it shows its value and where it keeps its
// settings. Values are in the base unit (kPa, m).
struct TAltBaromEditDef {
    TAltBaromEdit Edit;
    std::string_view Name;    // component name: "edPa"
    std::string_view Caption; // its label: "Pressure"
    std::string_view FormatStr;
    TFormatType FormatType;
    int SigDigs;
    TUnitsType UnitsType;
    int UnitsBase;
    double RangeLo, RangeHi;
    std::string_view UnitsKey; // stored shown unit: "Pressure units"
    std::string_view ValueKey; // stored value: "Pressure"
    double Default;            // stored value's default
    std::string_view Modified; // status after the user changed it
};
inline constexpr TAltBaromEditDef AltBaromEdits[2] = {
    {TAltBaromEdit::Pressure, "edPa", "Pressure", "%0.3f", ft_Fixed, 5, utPressureBar, 0, 70, 120,
     "Pressure units", "Pressure", 101.325, "Pressure modified by user"},
    {TAltBaromEdit::Altitude, "edAlt", "Altitude", "%0.1f", ft_Fixed, 5, utAltitude, 0, -1401.35,
     3063.8, "Altitude units", "Altitude", 0.0, "Altitude modified by user"},
};
inline const TAltBaromEditDef& AltBaromEditDef(TAltBaromEdit Edit) {
    return AltBaromEdits[static_cast<int>(Edit)];
}

// The window's own texts.
inline constexpr std::string_view AltBaromTitle = "Barometer";
inline constexpr std::string_view AltBaromAccept = "&Accept";
inline constexpr std::string_view AltBaromAcceptHint = "Return pressure to calling program";
inline constexpr std::string_view AltBaromCancel = "&Cancel";
inline constexpr std::string_view AltBaromSearchHint = "Search for Location";
inline constexpr std::string_view AltBaromReady = "Ready...";

// The settings kept in section "Barometer" of the common key.
inline constexpr std::string_view BarometerSection = "Barometer";
inline constexpr std::string_view BarometerLastLocationKey = "LastLocation";
struct TBarometerSettings {
    int Units[2] = {0, 0};             // shown unit of edPa, edAlt
    double Values[2] = {101.325, 0.0}; // pressure kPa, altitude m
    std::string LastLocation;
};
// Missing values, values of another kind, numbers that are not finite and
// unit indices outside the kind's list take their defaults.
TBarometerSettings ReadBarometerSettings(const TCustomIniFile& Common);
// "Pressure units", "Altitude units" (integers), "LastLocation" (text),
// "Pressure", "Altitude" (floating point), saved together.
void WriteBarometerSettings(TCustomIniFile& Common, const TBarometerSettings& Settings);

// Status after a place was picked: "Denver: 31.9/15.7 °C"; "Denver: no
// design weather" when either cooling temperature is missing; a place
// without an altitude says so, as the altitude stays as it was.
std::string PickedPlaceStatus(const TLocationRec& Place);

class TAltBaromView {
public:
    virtual ~TAltBaromView() = default;
    // The edit's shown unit (UnitsValue): set / read back.
    virtual void SetEditUnits(TAltBaromEdit Edit, int Shown) = 0;
    virtual int EditUnits(TAltBaromEdit Edit) const = 0;
    // The edit's value in its base unit (GetValue); NaN when the text
    // cannot be read as a number.
    virtual double EditValue(TAltBaromEdit Edit) const = 0;
    virtual void ShowEditValue(TAltBaromEdit Edit, double Value) = 0;
    virtual void ShowStatus(std::string_view Text) = 0;
    // A message the user must acknowledge (an engine error).
    virtual void ShowError(std::string_view Message) = 0;
    // Confirms the focused formatted edit, if one has the focus, as leaving
    // it does: a changed text runs EditLeft.
    virtual void CommitFocusedEdit() = 0;
    // The picker window (created on the first activation); null before.
    virtual TLocationPickerDialog* LocationPicker() = 0;
};

class TAltBaromCommands {
public:
    static constexpr int mrNone = 0, mrOk = 1, mrCancel = 2;

    explicit TAltBaromCommands(TAltBaromView& View);

    // Creation: the stored units, then the stored pressure and altitude
    // shown; the status empty.
    void Create(const TCustomIniFile& Common);
    // The host's barometer before showing: SetPressure, no result yet.
    void Start(double HostPressure);
    // Activation: status "Ready...".
    void Activate();

    // Pressure becomes P and Altitude the standard atmosphere's altitude of
    // P; both edits show the pair. When the engine refuses, nothing changes,
    // the edits show the pair held before, the message is shown and the
    // result is false.
    bool SetPressure(double P);
    // Altitude becomes Z and Pressure its standard-atmosphere pressure.
    bool SetAltitude(double Z);

    // The user changed the edit and left it: its value through SetPressure
    // or SetAltitude, and "Pressure modified by user" or "Altitude modified
    // by user".
    void EditLeft(TAltBaromEdit Edit);
    // Commits the focused edit, then the pair becomes the edits' values (an
    // unreadable edit keeps the value held); result OK.
    void Accept();
    // Result Cancel; nothing is recomputed.
    void Cancel();
    int ModalResult() const { return FModalResult; }
    // Every close: every setting written from the edits as they are now.
    void Close(TCustomIniFile& Common);

    // Search for Location: the picker opened with LastLocation; after OK,
    // LastLocation becomes its selection text and the altitude the place's
    // altitude (kept when the place has none), with PickedPlaceStatus.
    void SearchLocation();

    double Pressure() const { return FPressure; }
    double Altitude() const { return FAltitude; }
    const std::string& LastLocation() const { return FLastLocation; }

private:
    bool SetPair(double Given, double (*Other)(double), bool GivenIsPressure);
    void ShowPair();
    // The edit's value, or Held when its text cannot be read.
    double EditValueOr(TAltBaromEdit Edit, double Held) const;

    TAltBaromView& FView;
    double FPressure = 101.325;
    double FAltitude = 0.0;
    std::string FLastLocation;
    int FModalResult = mrNone;
};

} // namespace oravent
