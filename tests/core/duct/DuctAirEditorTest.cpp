// The duct window's side of the air state dialog: its set-up and the
// temperature row's property editor.
#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "common/TxIniFiles.h"
#include "duct/DuctAirEditor.h"
#include "psychro/AirStateText.h"

namespace oravent {
namespace {

TEST(DuctAirEditor, SetupLoadsTheStoredSettingsBeforeTheAir) {
    TMemIniFile Store("");
    Store.SetFileText("[AirStateDlg]\nFormLeft=-50\nFormTop=300\nRow3=1\nRow2=5\n");
    TAirStateDlg D;
    SetupDuctAirStateDlg(D, Store, {1920, 1080});
    EXPECT_EQ(D.Caption, "Duct Average");
    EXPECT_EQ(D.ItemName(), "Moist Air");
    EXPECT_FALSE(D.EditItemName);
    EXPECT_FALSE(D.EditPressure);
    EXPECT_TRUE(D.Modal);
    EXPECT_EQ(D.FormLeft(), 0);
    EXPECT_EQ(D.FormTop(), 300);
    EXPECT_EQ(D.RowUnits[3], 1);
    EXPECT_EQ(D.RowUnits[2], 0);
    EXPECT_EQ(D.Pressure(), 101.325);
    EXPECT_EQ(D.Temperature(), "13.0/12.0");
    TAirStateDlg Fresh;
    SetupDuctAirStateDlg(Fresh, TMemIniFile(""), {1920, 1080});
    EXPECT_EQ(Fresh.FormLeft(), -99); // opens at the mouse
}

// The window is simulated by the callable: it sees the dialog as the editor
// set it up, and leaves a state (Shown) behind with its result.
TEST(DuctAirEditor, HandsTheDialogsTextBackWhateverTheResult) {
    struct TCase {
        const char* Row;   // the row's text
        const char* Shown; // the state the window leaves, "" for none
        int Result;
        const char* Back;
    };
    const TCase Cases[] = {
        {"20.0/15.0", "22/16", mrOk, "22.0/16.0"},
        {"20.0/15.0", "22/16", mrCancel, "22.0/16.0"},
        {"20.0/15.0", "", mrOk, "20.0/15.0"},
        {"abc", "", mrCancel, "24.0/17.0"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Row);
        DuctSheet Sheet;
        Sheet.Barometer = 95;
        StrToAirState("13/12", Sheet.DuctAir, 95, 0.5);
        const DuctSheet Before = Sheet;
        TAirStateDlg D;
        D.EditPressure = D.EditItemName = true;
        TFieldValue Value = std::string(C.Row);
        int Calls = 0;
        const int Result = EditDuctTemperature(D, Sheet, Value, [&](TAirStateDlg& Dlg) {
            ++Calls;
            EXPECT_EQ(&Dlg, &D);
            EXPECT_FALSE(Dlg.EditPressure);
            EXPECT_FALSE(Dlg.EditItemName);
            EXPECT_EQ(Dlg.ItemName(), "In Duct");
            EXPECT_EQ(Dlg.Pressure(), 95);
            if (*C.Shown) StrToAirState(C.Shown, Dlg.Point().State, 95, 0.5);
            return C.Result;
        });
        EXPECT_EQ(Calls, 1);
        EXPECT_EQ(Result, C.Result);
        EXPECT_EQ(std::get<std::string>(Value), C.Back);
        EXPECT_EQ(std::memcmp(&Sheet.DuctAir, &Before.DuctAir, sizeof Sheet.DuctAir), 0);
    }
}

TEST(DuctAirEditor, AcceptedTextWithoutAnAirStateRaises) {
    DuctSheet Sheet;
    TAirStateDlg D;
    TFieldValue Value = std::string("20/15");
    const auto Window = [](TAirStateDlg& Dlg) {
        Dlg.Point().State.DryBulb = std::nan("");
        return mrOk;
    };
    EXPECT_ANY_THROW(EditDuctTemperature(D, Sheet, Value, Window));
}

} // namespace
} // namespace oravent
