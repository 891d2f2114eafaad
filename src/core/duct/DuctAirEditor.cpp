#include "duct/DuctAirEditor.h"

#include "psychro/AirStateText.h"

namespace oravent {

void SetupDuctAirStateDlg(TAirStateDlg& Dlg, const TCustomIniFile& Store, TScreenSize Screen) {
    Dlg.Caption = DuctAirCaption;
    Dlg.SetItemName("Moist Air");
    Dlg.EditItemName = false;
    Dlg.SetFormLeft(kFormPosNotSet);
    Dlg.SetFormTop(kFormPosNotSet);
    Dlg.Modal = true;
    Dlg.LoadSettings(Store, Screen);
    Dlg.SetPressure(101.325);
    Dlg.SetTemperature("13.0/12.0");
    Dlg.EditPressure = false;
}

int EditDuctTemperature(TAirStateDlg& Dlg, const DuctSheet& Sheet, TFieldValue& Value,
                        const std::function<int(TAirStateDlg&)>& Execute) {
    Dlg.EditPressure = false;
    Dlg.EditItemName = false;
    Dlg.SetPressure(Sheet.Barometer);
    Dlg.SetTemperature(ValueAsText(Value));
    Dlg.SetItemName("In Duct");
    const int Result = Execute ? Execute(Dlg) : mrCancel;
    Value = Dlg.Temperature();
    if (Result == mrOk) {
        double DryBulb = 0, WetBulb = 0;
        StrToDryWetBulb(std::get<std::string>(Value), DryBulb, WetBulb, Sheet.Barometer);
        TAirStateRec Air;
        SetState(Air, Sheet.Barometer, DryBulb, WetBulb, 0);
    }
    return Result;
}

} // namespace oravent
