// The air state dialog component without its window: TAirConDlg (caption,
// item, window position, size, column widths and per-row units, kept in the
// settings store under a section named after the component) and
// TAirStateDlg, which holds a psychrometric point that the host reads and
// writes as a pressure and a "db/wb" temperature text.
//
// Execute chooses the window position and hands the shown item to a callable
// that creates, configures (TAirStateBox::Configure), shows and destroys the
// window and returns its modal result; the window writes its state back
// through TakeWindowState when it closes. The host creates the component,
// sets its properties and calls LoadSettings where the stored settings are
// to be read (before Pressure and Temperature), and SaveSettings when it
// closes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/AppFolders.h"
#include "common/TxIniFiles.h"
#include "psychro/TxAirconItems.h"

namespace oravent {

inline constexpr std::string_view AirStateDlgCaption = "Moist Air State";
inline constexpr std::string_view AirStateDlgTemperature = "25/17";
// The text taken when a temperature text cannot be read.
inline constexpr std::string_view AirStateDlgFallbackTemperature = "24/17";
inline constexpr int AirConColumnCount = 3;

struct TScreenPoint {
    int X = 0, Y = 0;
};
struct TScreenSize {
    int Width = 0, Height = 0;
};

// Where the window stands and how it is laid out, in pixels.
struct TAirConWindowState {
    int Left = kFormPosNotSet, Top = kFormPosNotSet;
    int Width = 0, Height = 0;
    int ColWidths[AirConColumnCount] = {};
};

// Modal results.
inline constexpr int mrOk = 1, mrCancel = 2;

// Where a window of Size (frame included) asked to stand at At is shown so
// that all of it lies in Area (the screen's work area): pulled back from the
// right and bottom edges first, then from the left and top ones, so a window
// larger than the area keeps its top-left corner visible. Sizes are kept.
TScreenPoint KeepWindowOnScreen(TScreenPoint At, TScreenSize Size, const TScreenRect& Area);

class TAirConDlg {
public:
    // Name: the component name, also the settings section ("AirStateDlg").
    TAirConDlg(std::string Name, std::unique_ptr<TAirconItem> Item);
    virtual ~TAirConDlg() = default;
    TAirConDlg(const TAirConDlg&) = delete;
    TAirConDlg& operator=(const TAirConDlg&) = delete;

    const std::string& Name() const { return FName; }
    TAirconItem& Item() { return *FItem; }
    const TAirconItem& Item() const { return *FItem; }

    std::string Caption;
    bool EditItemName = true;
    bool Modal = false;
    // Called after the item's state or name was changed in the window.
    std::function<void(TAirconItem&)> OnEditAirconItem;

    // Units index per grid row; entry 0 (the header) is not used.
    std::vector<std::int32_t> RowUnits;
    std::int32_t FormWidth = 0, FormHeight = 0;
    std::int32_t ColWidths[AirConColumnCount] = {};

    const std::string& ItemName() const { return FItem->ItemText; }
    void SetItemName(std::string_view Name) { FItem->ItemText = std::string(Name); }
    std::int32_t FormLeft() const { return FItem->FormLeft; }
    std::int32_t FormTop() const { return FItem->FormTop; }
    void SetFormLeft(std::int32_t Left) { FItem->FormLeft = Left; }
    void SetFormTop(std::int32_t Top) { FItem->FormTop = Top; }

    // The window's placement as Execute gives it: the item's position,
    // FormWidth × FormHeight and ColWidths.
    TAirConWindowState WindowState(const TAirconItem& Shown) const;
    // The closing window's state: the item's position, the size and column
    // widths, and the units index of every grid row (RowUnits takes the
    // grid's row count).
    void TakeWindowState(TAirconItem& Shown, const TAirConWindowState& State,
                         const std::vector<std::int32_t>& GridRowUnits);

    // Reads the stored settings from section Name(): "FormLeft", "FormTop"
    // (absent: -99), "FormWidth", "FormHeight", "ColWidths0".."ColWidths2"
    // and "Row1".."Row<n>" (absent, or of another kind: the current value).
    // A left of -98..-1 becomes 0 and one beyond Screen.Width - 100 becomes
    // Screen.Width - 200; the top likewise with the height. A pressure-row
    // unit (RowUnits[2]) above 4 becomes 0.
    void LoadSettings(const TCustomIniFile& Store, TScreenSize Screen);
    // Writes every value above. Raises what the store raises.
    void SaveSettings(TCustomIniFile& Store) const;

protected:
    // Execute's first step: the item to show and its position. Item null:
    // the component's own. Left/Top below -98 mean none given; a position
    // still not set at the end is the mouse position.
    TAirconItem& ChooseItem(TAirconItem* Item, int Left, int Top, TScreenPoint Mouse);

private:
    std::string FName;
    std::unique_ptr<TAirconItem> FItem;
};

class TAirStateDlg : public TAirConDlg {
public:
    // Caption "Moist Air State", temperature text "25/17", a TPsyPoint
    // "Node"/1/"Air" at 25/17 and 101.325 kPa named "Moist Air", RowUnits
    // 13 entries with g/kg and % in rows 6 and 7, FormWidth 216, FormHeight
    // 295, ColWidths 85, 70, 52.
    explicit TAirStateDlg(std::string Name = "AirStateDlg");

    TPsyPoint& Point() { return static_cast<TPsyPoint&>(Item()); }
    const TPsyPoint& Point() const { return static_cast<const TPsyPoint&>(Item()); }

    bool EditPressure = true;

    // The point's pressure, kPa. Writing rebuilds the state from the
    // temperature text last written (StrToAirState at P, 50 %); a pressure
    // the engine refuses raises EPsychroError and changes nothing.
    double Pressure() const { return Point().State.Pressure; }
    void SetPressure(double P);
    // "%0.1f/%0.1f" of the state (after writing 30/35 it reads 30.0/30.0).
    std::string Temperature() const;
    // The state of the text at the current pressure; a text that cannot be
    // read or that the engine refuses is replaced by "24/17", silently (only
    // a pressure at which 24/17 fails too raises, EPsychroError).
    void SetTemperature(std::string_view Text);
    // The text last written, from which SetPressure rebuilds the state.
    const std::string& TemperatureText() const { return FTemperatureText; }

    // Shows a point in the air state window and returns the modal result.
    // Item null: the component's own point. Left, Top: a position, or -99
    // for none (the shown item's stored position, else the mouse position).
    // ShowWindow creates the window for the shown point, configures it from
    // this component, shows it modally, and returns its result.
    int Execute(TPsyPoint* Item, int Left, int Top, TScreenPoint Mouse,
                const std::function<int(TPsyPoint& Shown)>& ShowWindow);

private:
    std::string FTemperatureText;
};

} // namespace oravent
