#include "psychro/TxAirStateDlg.h"

#include <algorithm>
#include <exception>

#include "common/AppFolders.h"
#include "psychro/AirStateText.h"

namespace oravent {

namespace {

// A stored integer, or Default when it is absent or of another kind.
int ReadInt(const TCustomIniFile& Store, std::string_view Section, const std::string& Ident,
            int Default) {
    try {
        return Store.ReadInt(Section, Ident, Default);
    } catch (const std::exception&) {
        return Default;
    }
}

// A stored window position moved back onto the screen: -98..-1 to 0, and
// one too close to the far edge to Extent - 200. Below -98 means not set.
int OnScreen(int Pos, int Extent) {
    if (Pos >= -98 && Pos <= -1) return 0;
    if (Pos > Extent - 100) return Extent - 200;
    return Pos;
}

std::string ColWidthsKey(int C) {
    return "ColWidths" + std::to_string(C);
}
std::string RowKey(std::size_t Row) {
    return "Row" + std::to_string(Row);
}

TAirStateRec StateOf(std::string_view Text, double P) {
    TAirStateRec Rec;
    StrToAirState(Text, Rec, P, 0.5);
    return Rec;
}

} // namespace

TScreenPoint KeepWindowOnScreen(TScreenPoint At, TScreenSize Size, const TScreenRect& Area) {
    const TFormState S = KeepWholeOnScreen({At.X, At.Y, Size.Width, Size.Height}, Area);
    return {S.Left, S.Top};
}

// ---- TAirConDlg -----------------------------------------------------------------

TAirConDlg::TAirConDlg(std::string Name, std::unique_ptr<TAirconItem> Item)
    : FName(std::move(Name)), FItem(std::move(Item)) {}

TAirConWindowState TAirConDlg::WindowState(const TAirconItem& Shown) const {
    TAirConWindowState S;
    S.Left = Shown.FormLeft;
    S.Top = Shown.FormTop;
    S.Width = FormWidth;
    S.Height = FormHeight;
    for (int C = 0; C < AirConColumnCount; ++C)
        S.ColWidths[C] = ColWidths[C];
    return S;
}

void TAirConDlg::TakeWindowState(TAirconItem& Shown, const TAirConWindowState& State,
                                 const std::vector<std::int32_t>& GridRowUnits) {
    Shown.FormLeft = State.Left;
    Shown.FormTop = State.Top;
    RowUnits = GridRowUnits;
    FormWidth = State.Width;
    FormHeight = State.Height;
    for (int C = 0; C < AirConColumnCount; ++C)
        ColWidths[C] = State.ColWidths[C];
}

void TAirConDlg::LoadSettings(const TCustomIniFile& Store, TScreenSize Screen) {
    const std::string_view Sec = FName;
    FItem->FormLeft = OnScreen(ReadInt(Store, Sec, "FormLeft", kFormPosNotSet), Screen.Width);
    FItem->FormTop = OnScreen(ReadInt(Store, Sec, "FormTop", kFormPosNotSet), Screen.Height);
    FormWidth = ReadInt(Store, Sec, "FormWidth", FormWidth);
    FormHeight = ReadInt(Store, Sec, "FormHeight", FormHeight);
    for (int C = 0; C < AirConColumnCount; ++C)
        ColWidths[C] = ReadInt(Store, Sec, ColWidthsKey(C), ColWidths[C]);
    for (std::size_t R = 1; R < RowUnits.size(); ++R)
        RowUnits[R] = ReadInt(Store, Sec, RowKey(R), RowUnits[R]);
    if (RowUnits.size() > 2 && RowUnits[2] > 4) RowUnits[2] = 0;
}

void TAirConDlg::SaveSettings(TCustomIniFile& Store) const {
    const std::string_view Sec = FName;
    Store.WriteInt(Sec, "FormLeft", FItem->FormLeft);
    Store.WriteInt(Sec, "FormTop", FItem->FormTop);
    Store.WriteInt(Sec, "FormWidth", FormWidth);
    Store.WriteInt(Sec, "FormHeight", FormHeight);
    for (int C = 0; C < AirConColumnCount; ++C)
        Store.WriteInt(Sec, ColWidthsKey(C), ColWidths[C]);
    for (std::size_t R = 1; R < RowUnits.size(); ++R)
        Store.WriteInt(Sec, RowKey(R), RowUnits[R]);
}

TAirconItem& TAirConDlg::ChooseItem(TAirconItem* Item, int Left, int Top, TScreenPoint Mouse) {
    TAirconItem& Shown = Item ? *Item : *FItem;
    if (Item) {
        if (Left < -98 && Item->FormLeft < -98) Left = FItem->FormLeft;
        if (Top < -98 && Item->FormTop < -98) Top = FItem->FormTop;
    }
    if (Left >= -98) Shown.FormLeft = Left;
    if (Top >= -98) Shown.FormTop = Top;
    if (Shown.FormLeft < -98) Shown.FormLeft = Mouse.X;
    if (Shown.FormTop < -98) Shown.FormTop = Mouse.Y;
    return Shown;
}

// ---- TAirStateDlg ---------------------------------------------------------------

TAirStateDlg::TAirStateDlg(std::string Name)
    : TAirConDlg(std::move(Name),
                 std::make_unique<TPsyPoint>(this, "Node", 1, "Air",
                                             StateOf(AirStateDlgTemperature, 101.325))),
      FTemperatureText(AirStateDlgTemperature) {
    Caption = AirStateDlgCaption;
    SetItemName("Moist Air");
    RowUnits.assign(13, 0);
    RowUnits[6] = 1; // g/kg
    RowUnits[7] = 1; // %
    FormWidth = 216;
    FormHeight = 295;
    ColWidths[0] = 85;
    ColWidths[1] = 70;
    ColWidths[2] = 52;
}

void TAirStateDlg::SetPressure(double P) {
    Point().State = StateOf(FTemperatureText, P);
}

std::string TAirStateDlg::Temperature() const {
    return AirStateToStr(Point().State, "%0.1f");
}

void TAirStateDlg::SetTemperature(std::string_view Text) {
    const double P = Point().State.Pressure;
    try {
        Point().State = StateOf(Text, P);
        FTemperatureText = std::string(Text);
    } catch (const std::exception&) {
        ResetReferenceState();
        FTemperatureText = std::string(AirStateDlgFallbackTemperature);
        Point().State = StateOf(FTemperatureText, P);
    }
}

int TAirStateDlg::Execute(TPsyPoint* Item, int Left, int Top, TScreenPoint Mouse,
                          const std::function<int(TPsyPoint& Shown)>& ShowWindow) {
    TPsyPoint& Shown = static_cast<TPsyPoint&>(ChooseItem(Item, Left, Top, Mouse));
    return ShowWindow ? ShowWindow(Shown) : mrCancel;
}

} // namespace oravent
