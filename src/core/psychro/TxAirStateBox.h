// The air state window without the window: its twelve rows (one table: row
// text, units, property letter, export code, record field), and every
// command's order of effects as TAirStateBox, the presenter of one
// psychrometric point. The user types any property; the two entered most
// recently that form a usable pair (TAirCombin) define the state, the engine
// completes it, and an implausible result stays on screen under its message
// until the user leaves the window, which restores the last valid state.
// Also .psx load and save, the clipboard texts (db/wb pair, CSV table, XML
// document) and the write-back into the dialog component on closing.
//
// The Qt window (on the technical frame) implements TAirStateView over its
// entry grid, status bar, tool bar and the clipboard, and forwards to the
// presenter:
//   creation                  -> SetupTools (then the frame's Align)
//   TAirStateDlg::Execute     -> Configure (EditPressure, row states, name
//                                row, placement, row units, back link)
//   window activated          -> Activate
//   grid OnDoSetData(1, Row)  -> SetData(Row)
//   window deactivated        -> Deactivate
//   Accept / Cancel           -> Accept / Cancel (they close the window
//                                through CloseWindow with the result)
//   any other close           -> Closing (a second call does nothing)
//   Open (file chosen)        -> LoadFromFile(path)
//   Save                      -> SaveAllowed, then file dialog, then
//                                SaveToFile(path)
//   Copy / Paste / View       -> CopyDbWb / PasteDbWb / CopyTable
//   context menu Copy to XML  -> CopyToXml
//   cell drawing              -> the rows last given to ShowKnownRows
// The window keeps the hooks, hints, file dialogs (InitialDir, filter
// AirStateFileFilter, extension "psx") and opens AirStateHelpFile itself.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/TxFields.h"
#include "psychro/TxAirStateDlg.h"
#include "psychro/TxAirconItems.h"

namespace oravent {

class TCellTable;

// ---- Rows ------------------------------------------------------------------------

// Grid rows: 0 header, 1 name, 2..12 the eleven properties (record fields 1
// to 11 in order).
inline constexpr int AirStateNameRow = 1;
inline constexpr int AirStateFirstRow = 2, AirStateLastRow = 12;
inline constexpr int AirStateDataCount = 12; // rows 1..12

struct TAirStateRowDef {
    int Row;
    std::string_view Text;  // row-definition text: caption, format part, limits in base units
    TUnitsType UnitsType;   // base unit 0, factor 1, offset 0
    TFormatType FormatType; //
    int Unit;               // shown unit when the window is created
    char Letter;            // property letter of TAirCombin::Letters
    std::string_view Code;  // code of the XML export
    double TAirStateRec::*Field;
};

inline constexpr std::string_view AirStateHeaderText = "Property;Value;Units";
inline constexpr std::string_view AirStateNameText = "Name;%S";

inline constexpr std::array<TAirStateRowDef, 11> AirStateRows = {{
    {2, "Pressure;%0.3f; kPa;;60;130", utPressureBar, ft_AutoOverride, 0, 'p', "pa",
     &TAirStateRec::Pressure},
    {3, "Dry Bulb;%0.1f; °C;;-60;150", utTemperature, ft_Fixed, 0, 't', "db",
     &TAirStateRec::DryBulb},
    {4, "Wet Bulb;%0.1f; °C;;-60;150", utTemperature, ft_Fixed, 0, 'b', "wb",
     &TAirStateRec::WetBulb},
    {5, "Enthalpy;%0.1f; kJ/kg;;-60.35;3867.599", utEnthalpy, ft_Fixed, 0, 'h', "ha",
     &TAirStateRec::Enthalpy},
    {6, "Abs Humidity;%0.1f; g/kg;;0.0000001;1.42031", utHumidity, ft_AutoOverride, 1, 'w', "wa",
     &TAirStateRec::AbsHumidity},
    {7, "Rel Humidity;%0.1f; %;;0;1", utProportion, ft_Fixed, 1, 'f', "rh",
     &TAirStateRec::RelHumidity},
    {8, "Dew Point;%0.1f; °C;;-60;150", utTemperature, ft_Fixed, 0, 'd', "td",
     &TAirStateRec::DewPoint},
    {9, "Vap Pressure;%0.1f; kPa;;0.00108;70.182", utPressure, ft_AutoOverride, 0, 'v', "pv",
     &TAirStateRec::VapPressure},
    {10, "Sat Pressure;%0.1f; kPa;;0.00108;70.182", utPressure, ft_AutoOverride, 0, 's', "ps",
     &TAirStateRec::SatPressure},
    {11, "Density;%0.1f; kg/m³;;0.5;2", utDensity, ft_Fixed, 0, 'r', "ro", &TAirStateRec::Density},
    // Its limits 0 and 0 (no limit test) are inside its format part.
    {12, "Specific Heat;%0.1f; kJ/kg·K;;0;0", utSpecificHeat, ft_Fixed, 0, 'c', "cp",
     &TAirStateRec::SpecificHeat},
}};
inline constexpr int PressureSigDigs = 6;

// The row's entry (rows 2..12); nullptr for another number.
const TAirStateRowDef* AirStateRowDef(int Row);
// The row of a property letter, or -1.
int AirStateRowOfLetter(char Letter);
// The row's caption, the first field of its text: "Dry Bulb".
constexpr std::string_view AirStateRowCaption(const TAirStateRowDef& D) {
    return D.Text.substr(0, D.Text.find(';'));
}
// Header, name row and the eleven property rows, in grid order.
std::vector<std::string> AirStateRowTexts();

// ---- Texts ---------------------------------------------------------------------

inline constexpr std::string_view ReadyStatus = "Ready...";
inline constexpr std::string_view CantSaveStatus = "Can\"t save invalid data...";
inline constexpr std::string_view AirStateHelpFile = "airstatedlg.htm";
inline constexpr std::string_view AirStateStyleSheet = "airstate.xsl";
// Hints of the tool buttons the window changes.
inline constexpr std::string_view OpenHint = "Load air state";
inline constexpr std::string_view SaveHint = "Save air state";
inline constexpr std::string_view CopyHint = "Copy db/wb to clipboard";
inline constexpr std::string_view ViewHint = "Copy table to clipboard";
inline constexpr std::string_view AlignHint = "Realign";

// "%0.3f/%0.3f" of the dry bulb and wet bulb: "13.000/12.000".
std::string DbWbText(const TAirStateRec& State);
// Every row of the table as a comma-separated line of its three cells, ended
// by CR LF. A cell holding a blank, a control character, a comma or a double
// quote is enclosed in double quotes, inner double quotes doubled.
std::string TableCsvText(const TCellTable& Cells);
// The air state XML document (root airstate, stylesheet "airstate.xsl"):
// the name cell as the properties' name and one item per row 2..12 with its
// code, caption, units cell and value cell, lines ended by CR LF. "&", "<",
// ">" and '"' are written as entities in every text and attribute value.
std::string AirStateXmlText(const TCellTable& Cells);
// Text with "&", "<", ">" and '"' written as XML entities.
std::string XmlEscape(std::string_view Text);

// ---- The window as the presenter sees it -----------------------------------------

class TAirStateView {
public:
    virtual ~TAirStateView() = default;

    // -- Grid (the entry grid's row operations; rows as above)
    // The frame's SetGridLines: loads the row texts (header first); DataCount
    // becomes their number less one.
    virtual void SetGridLines(const std::vector<std::string>& Lines) = 0;
    // The frame's SetGridData: Values[i - 1] into row i (see TechFrame.h).
    virtual void SetGridData(const std::vector<TFieldValue>& Values) = 0;
    // The grid's SetUnits(Row, Type, Base, Shown, Format, 1, 0).
    virtual void SetRowUnits(int Row, TUnitsType Type, int Base, int Shown, TFormatType Format) = 0;
    virtual void SetRowSigDigs(int Row, int Digits) = 0;
    // The grid's HasUnits, GetUnitsValue and SetUnitsValue.
    virtual bool RowHasUnits(int Row) const = 0;
    virtual int RowUnits(int Row) const = 0;
    virtual void SetRowUnitsValue(int Row, int Index) = 0;
    // The grid's GetValue(1, Row): a number in base units, or the text for
    // the name row and for a cell that is not a number.
    virtual TFieldValue RowValue(int Row) const = 0;
    virtual void SetRowEnabled(int Row, bool Enabled) = 0;
    virtual bool RowEnabled(int Row) const = 0;
    // The cell texts as shown (row count included), for the copy commands.
    virtual const TCellTable& Cells() const = 0;
    // Ends an edit in progress in the grid; a committed value arrives
    // through SetData like any other.
    virtual void CommitEdit() = 0;
    // The value cells of these rows (the current pair, enabled rows only)
    // are drawn in the hot-light colour; the others normally.
    virtual void ShowKnownRows(const std::vector<int>& Rows) = 0;

    // -- Window
    virtual void ShowStatus(std::string_view Text) = 0;
    // A message the user must acknowledge.
    virtual void ShowMessage(std::string_view Text) = 0;
    virtual void SetClipboardText(const std::string& Text) = 0;
    virtual std::string ClipboardText() const = 0;
    virtual void SetOpenEnabled(bool Enabled) = 0;
    // Title, modal flag, position, size and column widths; the Cancel
    // button is shown.
    virtual void PlaceWindow(const TAirConWindowState& State, std::string_view Caption,
                             bool Modal) = 0;
    // Position (left, top), size and column widths as they are now.
    virtual TAirConWindowState WindowState() const = 0;
    // Closes the window with this modal result (1 OK, 2 Cancel).
    virtual void CloseWindow(int ModalResult) = 0;
};

// ---- The presenter -----------------------------------------------------------------

class TAirStateBox {
public:
    // Item: the point shown; it outlives the presenter.
    TAirStateBox(TAirStateView& View, TPsyPoint& Item);

    TPsyPoint& Item() { return FItem; }
    const TPsyPoint& Item() const { return FItem; }
    const std::string& Status() const { return FStatus; }
    bool Valid() const { return FStatus == ReadyStatus; }

    std::string FileName;
    std::string InitialDir; // the file dialogs start here
    bool EditPressure = true;
    TAirCombin Combin;
    TAirStateRec SavedState; // the last valid state
    TAirStateDlg* Dialog = nullptr;
    std::function<void(TAirconItem&)> OnEditAirconItem;

    // Creation: the rows and their units (pressure with 6 significant
    // digits), the pair reset to dry bulb then wet bulb, the specific heat
    // row disabled, the status "Ready...".
    void SetupTools();
    // Execute's window set-up from the dialog component: EditPressure and the
    // row states, the name row enabled by EditItemName, title, modal flag,
    // position and size, each row with units in its stored unit, the events
    // and the back link.
    void Configure(TAirStateDlg& Dlg);
    // Pressure row by EditPressure, rows 3..10 enabled, Open enabled; the
    // density row keeps its state.
    void SetRowStates();
    // The name and the eleven fields into the grid; the pair's rows stand out.
    void ShowValues();
    // The rows of the letters of Combin.Known, in order.
    std::vector<int> KnownRows() const;

    // The window became active: the state shown and taken as the last valid
    // one, status "Ready...", when it is plausible (a state that is not is
    // left to be rolled back, never kept as the one to return to).
    void Activate();
    // A value committed in the grid: the name, or a property that becomes
    // the most recent of the pair (the pressure keeps the pair), then the
    // state solved again; an error leaves its message in the status bar.
    void SetData(int Row);
    // The last valid state shown again, status "Ready...".
    void RestoreLastGood();
    // Commits a pending edit; an error status restores the last valid state.
    void Deactivate();
    // Commit, result OK, or Cancel when the status shows an error; closes.
    int Accept();
    // Result Cancel; closes. Valid edits stay in the item.
    int Cancel();
    // An error status restores the last valid state; then the window's
    // position, row units, size and column widths go back to the dialog
    // component. Runs once.
    void Closing();

    // Open: the first record of the file into the point. A file that cannot
    // be read shows "Error reading file <name>" and changes nothing; a
    // stored state that fails CheckStoredAirState is shown under its message
    // and rolled back as a failed edit is. Returns true when a valid state
    // was loaded.
    bool LoadFromFile(const std::string& Path);
    // Save, before the file dialog: false with the status "Can"t save invalid
    // data..." while the status shows an error.
    bool SaveAllowed();
    // Writes the point's state as one 120-byte record (after SaveAllowed);
    // a refused write shows its message. Nothing is written while the status
    // shows an error. Returns true when the file was written.
    bool SaveToFile(const std::string& Path);

    void CopyDbWb();
    // The clipboard's "db/wb" text at the current pressure (50 % without a
    // wet bulb) becomes the state and dry bulb + wet bulb the pair; a text
    // that is no temperature text shows its error and changes nothing.
    void PasteDbWb();
    void CopyTable();
    void CopyToXml();

private:
    void SetStatus(std::string_view Text);
    void ShowKnownRows();
    void ReadValues();
    void EditedItem();
    void CloseWith(int Result);

    TAirStateView& FView;
    TPsyPoint& FItem;
    std::string FStatus{ReadyStatus};
    bool FClosed = false;
};

} // namespace oravent
