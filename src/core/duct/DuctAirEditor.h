// The duct window's side of the air state dialog: how the main window sets
// up its "AirStateDlg" component, and the property editor of the Average
// Temperature row that opens the air state window with the row's "db/wb"
// text and hands the dialog's text back to the grid.
#pragma once

#include <functional>

#include "controls/TxFields.h"
#include "duct/DuctSheet.h"
#include "psychro/TxAirStateDlg.h"

namespace oravent {

inline constexpr std::string_view DuctAirStateDlgName = "AirStateDlg";
inline constexpr std::string_view DuctAirCaption = "Duct Average";

// The main window's component, in this order: Caption "Duct Average",
// ItemName "Moist Air", EditItemName off, no stored position, modal, the
// stored settings of section "AirStateDlg" (Screen: for their range
// corrections), Pressure 101.325, Temperature "13.0/12.0", EditPressure off.
void SetupDuctAirStateDlg(TAirStateDlg& Dlg, const TCustomIniFile& Store, TScreenSize Screen);

// The temperature row's property editor. Value holds the row's "db/wb"
// text. The dialog takes the sheet's barometer, the text and the name
// "In Duct" (pressure and name not editable); Execute runs the window
// (usually Dlg.Execute(nullptr, -99, -99, mouse, show)) and returns its
// result. Value becomes the dialog's Temperature text whatever the result.
// On OK the text must give an air state at the barometer (StrToDryWetBulb
// and SetState); when it does not, the EPsychroError (or EConvertError)
// propagates and the grid must store nothing. Returns the result: on OK the
// grid stores Value and commits row 2, and the sheet makes its air from
// that text; the sheet itself is not changed here, so the commit's undo
// step holds the air from before.
int EditDuctTemperature(TAirStateDlg& Dlg, const DuctSheet& Sheet, TFieldValue& Value,
                        const std::function<int(TAirStateDlg&)>& Execute);

} // namespace oravent
