#include "psychro/TxAirStateBox.h"

#include <cmath>
#include <exception>
#include <limits>

#include "controls/TxEntryGrid.h"
#include "psychro/AirStateFile.h"
#include "psychro/AirStateText.h"
#include "units/NumberText.h"

namespace oravent {

// ---- Rows and texts -------------------------------------------------------------

const TAirStateRowDef* AirStateRowDef(int Row) {
    if (Row < AirStateFirstRow || Row > AirStateLastRow) return nullptr;
    return &AirStateRows[static_cast<std::size_t>(Row - AirStateFirstRow)];
}

int AirStateRowOfLetter(char Letter) {
    for (const TAirStateRowDef& D : AirStateRows)
        if (D.Letter == Letter) return D.Row;
    return -1;
}

std::vector<std::string> AirStateRowTexts() {
    std::vector<std::string> Texts{std::string(AirStateHeaderText), std::string(AirStateNameText)};
    for (const TAirStateRowDef& D : AirStateRows)
        Texts.emplace_back(D.Text);
    return Texts;
}

std::string DbWbText(const TAirStateRec& State) {
    return FormatPair("%0.3f/%0.3f", State.DryBulb, State.WetBulb);
}

namespace {

constexpr std::string_view CrLf = "\r\n";

std::string CsvCell(const std::string& Cell) {
    bool Quote = false;
    for (const char C : Cell)
        if (static_cast<unsigned char>(C) <= ' ' || C == ',' || C == '"' || C == 0x7F) Quote = true;
    if (!Quote) return Cell;
    std::string Out = "\"";
    for (const char C : Cell) {
        if (C == '"') Out += '"';
        Out += C;
    }
    return Out + "\"";
}

std::string Quoted(std::string_view Text) {
    return "\"" + XmlEscape(Text) + "\"";
}

} // namespace

std::string TableCsvText(const TCellTable& Cells) {
    std::string Text;
    for (int R = 0; R < Cells.RowCount(); ++R) {
        for (int C = 0; C < 3; ++C) {
            if (C > 0) Text += ',';
            Text += CsvCell(Cells.Cell(C, R));
        }
        Text += CrLf;
    }
    return Text;
}

std::string XmlEscape(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (const char C : Text) {
        switch (C) {
        case '&':
            Out += "&amp;";
            break;
        case '<':
            Out += "&lt;";
            break;
        case '>':
            Out += "&gt;";
            break;
        case '"':
            Out += "&quot;";
            break;
        default:
            Out += C;
        }
    }
    return Out;
}

// The declaration says version 1.0: XML readers (libxml2, and with it the
// browsers that apply the stylesheet) refuse any other version number.
std::string AirStateXmlText(const TCellTable& Cells) {
    std::string Xml;
    const auto Line = [&](const std::string& Text) {
        Xml += Text;
        Xml += CrLf;
    };
    Line("<?xml version=\"1.0\" ?>");
    Line("<?xml-stylesheet type=\"text/xsl\" href=\"" + std::string(AirStateStyleSheet) + "\"?>");
    Line("<airstate>");
    Line("  <properties name=" + Quoted(Cells.Cell(1, AirStateNameRow)) + ">");
    for (const TAirStateRowDef& D : AirStateRows) {
        Line("    <item code=" + Quoted(D.Code) + " caption=" + Quoted(AirStateRowCaption(D)) +
             " units=" + Quoted(Cells.Cell(2, D.Row)) + ">" + XmlEscape(Cells.Cell(1, D.Row)) +
             "</item>");
    }
    Line("  </properties>");
    Line("</airstate>");
    return Xml;
}

// ---- Presenter -----------------------------------------------------------------

TAirStateBox::TAirStateBox(TAirStateView& View, TPsyPoint& Item)
    : SavedState(Item.State), FView(View), FItem(Item) {}

void TAirStateBox::SetStatus(std::string_view Text) {
    FStatus = std::string(Text);
    FView.ShowStatus(FStatus);
}

void TAirStateBox::EditedItem() {
    if (OnEditAirconItem) OnEditAirconItem(FItem);
}

void TAirStateBox::SetupTools() {
    SetStatus(ReadyStatus);
    FView.SetGridLines(AirStateRowTexts());
    for (const TAirStateRowDef& D : AirStateRows)
        FView.SetRowUnits(D.Row, D.UnitsType, 0, D.Unit, D.FormatType);
    FView.SetRowSigDigs(2, PressureSigDigs);
    Combin = TAirCombin();
    Combin.Order = "tb";
    // A shown state is the one its dry and wet bulb give: that pair is the
    // known one from the start, and is drawn as such.
    Combin.FindCombination();
    FView.SetRowEnabled(AirStateLastRow, false);
}

void TAirStateBox::Configure(TAirStateDlg& Dlg) {
    EditPressure = Dlg.EditPressure;
    SetRowStates();
    FView.PlaceWindow(Dlg.WindowState(FItem), Dlg.Caption, Dlg.Modal);
    FView.SetRowEnabled(AirStateNameRow, Dlg.EditItemName);
    OnEditAirconItem = Dlg.OnEditAirconItem;
    for (std::size_t R = 1; R < Dlg.RowUnits.size(); ++R) {
        const int Row = static_cast<int>(R);
        if (FView.RowHasUnits(Row)) FView.SetRowUnitsValue(Row, Dlg.RowUnits[R]);
    }
    Dialog = &Dlg;
}

void TAirStateBox::SetRowStates() {
    FView.SetRowEnabled(2, EditPressure);
    for (int R = 3; R <= 10; ++R)
        FView.SetRowEnabled(R, true);
    FView.SetOpenEnabled(true);
    ShowKnownRows();
}

void TAirStateBox::ShowKnownRows() {
    std::vector<int> Shown;
    for (const int R : KnownRows())
        if (FView.RowEnabled(R)) Shown.push_back(R);
    FView.ShowKnownRows(Shown);
}

std::vector<int> TAirStateBox::KnownRows() const {
    std::vector<int> Rows;
    for (const TAirStateRowDef& D : AirStateRows)
        if (Combin.Known.count(D.Letter) != 0) Rows.push_back(D.Row);
    return Rows;
}

void TAirStateBox::ShowValues() {
    std::vector<TFieldValue> Values{FItem.ItemText};
    for (const TAirStateRowDef& D : AirStateRows)
        Values.emplace_back(FItem.State.*D.Field);
    FView.SetGridData(Values);
    ShowKnownRows();
}

void TAirStateBox::Activate() {
    ShowValues();
    if (CheckStoredAirState(FItem.State).empty()) {
        SavedState = FItem.State;
        SetStatus(ReadyStatus);
    }
}

// A cell that is not a number reads as NaN: the engine reads only the
// pressure and the pair, and refuses a NaN there.
void TAirStateBox::ReadValues() {
    for (const TAirStateRowDef& D : AirStateRows) {
        try {
            FItem.State.*D.Field = ValueAsNumber(FView.RowValue(D.Row));
        } catch (const EConvertError&) {
            FItem.State.*D.Field = std::numeric_limits<double>::quiet_NaN();
        }
    }
}

void TAirStateBox::SetData(int Row) {
    if (Row == AirStateNameRow) {
        FItem.ItemText = ValueAsText(FView.RowValue(Row));
        EditedItem();
        return;
    }
    if (AirStateRowDef(Row) == nullptr) return;
    if (Row > AirStateFirstRow) Combin.Touch(static_cast<std::uint8_t>(Row - AirStateFirstRow));
    ReadValues();
    SetStatus(ReadyStatus);
    try {
        SolveAirState(FItem, Combin.Code);
        EditedItem();
        SavedState = FItem.State;
    } catch (const std::exception& E) {
        ResetReferenceState();
        SetStatus(E.what());
    }
    ShowValues();
}

void TAirStateBox::RestoreLastGood() {
    FItem.State = SavedState;
    ShowValues();
    SetStatus(ReadyStatus);
    EditedItem();
}

void TAirStateBox::Deactivate() {
    FView.CommitEdit();
    if (!Valid()) RestoreLastGood();
}

int TAirStateBox::Accept() {
    FView.CommitEdit();
    const int Result = Valid() ? mrOk : mrCancel;
    CloseWith(Result);
    return Result;
}

int TAirStateBox::Cancel() {
    CloseWith(mrCancel);
    return mrCancel;
}

void TAirStateBox::CloseWith(int Result) {
    Closing();
    FView.CloseWindow(Result);
}

void TAirStateBox::Closing() {
    if (FClosed) return;
    FClosed = true;
    if (!Valid()) RestoreLastGood();
    const TAirConWindowState State = FView.WindowState();
    FItem.FormLeft = State.Left;
    FItem.FormTop = State.Top;
    if (Dialog == nullptr) return;
    std::vector<std::int32_t> Units(static_cast<std::size_t>(FView.Cells().RowCount()), 0);
    for (std::size_t R = 1; R < Units.size(); ++R)
        Units[R] = FView.RowUnits(static_cast<int>(R));
    Dialog->TakeWindowState(FItem, State, Units);
}

// ---- Files -----------------------------------------------------------------------

bool TAirStateBox::LoadFromFile(const std::string& Path) {
    FileName = Path;
    TAirStateRec Loaded;
    try {
        ReadAirStateFile(Path, Loaded);
    } catch (const EAirStateFileError& E) {
        FView.ShowMessage(E.what());
        return false;
    }
    FItem.State = Loaded;
    const std::string Message = CheckStoredAirState(Loaded);
    ShowValues();
    if (!Message.empty()) {
        SetStatus(Message);
        return false;
    }
    EditedItem();
    return true;
}

bool TAirStateBox::SaveAllowed() {
    if (Valid()) return true;
    SetStatus(CantSaveStatus);
    return false;
}

bool TAirStateBox::SaveToFile(const std::string& Path) {
    if (!SaveAllowed()) return false;
    FileName = Path;
    try {
        WriteAirStateFile(Path, FItem.State);
        return true;
    } catch (const EAirStateFileError& E) {
        FView.ShowMessage(E.what());
        return false;
    }
}

// ---- Clipboard -------------------------------------------------------------------

void TAirStateBox::CopyDbWb() {
    FView.SetClipboardText(DbWbText(FItem.State));
}

void TAirStateBox::PasteDbWb() {
    TAirStateRec Pasted = FItem.State;
    try {
        StrToAirState(FView.ClipboardText(), Pasted, FItem.State.Pressure, 0.5);
    } catch (const std::exception& E) {
        ResetReferenceState();
        FView.ShowMessage(E.what());
        return;
    }
    FItem.State = Pasted;
    Combin.Touch(1);
    Combin.Touch(2);
    ShowValues();
    EditedItem();
}

void TAirStateBox::CopyTable() {
    FView.SetClipboardText(TableCsvText(FView.Cells()));
}

void TAirStateBox::CopyToXml() {
    FView.SetClipboardText(AirStateXmlText(FView.Cells()));
}

} // namespace oravent
