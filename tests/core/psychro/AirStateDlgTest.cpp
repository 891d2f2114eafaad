// The air state dialog component without its window: defaults, the
// pressure and temperature rules, Execute's choice of position, the stored
// settings with their range corrections; and the .psx record layout.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/TxIniFiles.h"
#include "core/common/TestFiles.h"
#include "psychro/AirStateFile.h"
#include "psychro/AirStateText.h"
#include "psychro/TxAirStateDlg.h"

namespace oravent {
namespace {

TAirStateRec StateOf(std::string_view Text, double P) {
    TAirStateRec S;
    StrToAirState(Text, S, P, 0.5);
    return S;
}

TEST(AirStateDlg, Defaults) {
    TAirStateDlg D;
    EXPECT_EQ(D.Name(), "AirStateDlg");
    EXPECT_EQ(D.Caption, "Moist Air State");
    EXPECT_EQ(D.TemperatureText(), "25/17");
    EXPECT_EQ(D.Point().Name(), "Node1");
    EXPECT_EQ(D.ItemName(), "Moist Air");
    EXPECT_TRUE(D.EditItemName);
    EXPECT_TRUE(D.EditPressure);
    EXPECT_FALSE(D.Modal);
    EXPECT_EQ(D.FormLeft(), -99);
    EXPECT_EQ(D.RowUnits, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(D.FormWidth, 216);
    EXPECT_EQ(D.FormHeight, 295);
    EXPECT_EQ(D.ColWidths[0] * 10000 + D.ColWidths[1] * 100 + D.ColWidths[2], 857052);
    EXPECT_EQ(D.Pressure(), 101.325);
    EXPECT_EQ(D.Temperature(), "25.0/17.0");
}

TEST(AirStateDlg, PressureRebuildsFromTheTextLastWritten) {
    struct TCase {
        const char* Text;
        double P;
        const char* Reads;  // Temperature afterwards
        const char* Source; // the state is this text's at P
    };
    const TCase Cases[] = {
        {"20", 90, "20.0/", "20"}, // 50 % relative humidity at 90 kPa
        {"30/35", 101.325, "30.0/30.0", "30/30"},
        {"abc", 95, "24.0/17.0", "24/17"}, // replaced silently
        {"20/", 95, "20.0/", "20"},        // the dry bulb alone, as "20"
        {"/15", 95, "24.0/17.0", "24/17"},
        {"13.0/12.0", 80, "13.0/12.0", "13/12"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        TAirStateDlg D;
        D.SetTemperature(C.Text);
        D.SetPressure(C.P);
        EXPECT_EQ(D.Pressure(), C.P);
        EXPECT_EQ(D.Temperature().substr(0, std::strlen(C.Reads)), C.Reads);
        const TAirStateRec S = StateOf(C.Source, C.P);
        EXPECT_EQ(std::memcmp(&D.Point().State, &S, sizeof S), 0);
    }
    TAirStateDlg D;
    D.SetTemperature("20");
    D.SetPressure(90);
    // A text written at a pressure stays at that pressure.
    D.SetTemperature("abc");
    EXPECT_EQ(D.Pressure(), 90);
    EXPECT_EQ(D.Temperature(), "24.0/17.0");
    // A pressure the engine refuses changes nothing.
    const TAirStateRec Before = D.Point().State;
    EXPECT_THROW(D.SetPressure(-5), EPsychroError);
    EXPECT_EQ(std::memcmp(&D.Point().State, &Before, sizeof Before), 0);
}

// Execute's first step: which item is shown and where.
TEST(AirStateDlg, ExecuteChoosesThePosition) {
    struct TCase {
        const char* Name;
        bool OwnItem;
        int Left, Top;         // passed to Execute
        int ItemLeft, ItemTop; // the given item's stored position
        int OwnLeft, OwnTop;   // the component's own item's position
        int WantLeft, WantTop; // the shown item's position
    };
    const TCase Cases[] = {
        {"NothingStoredOpensAtTheMouse", true, -99, -99, 0, 0, -99, -99, 500, 400},
        {"OwnStoredPosition", true, -99, -99, 0, 0, 10, 20, 10, 20},
        {"GivenPositionWins", true, 30, -98, 0, 0, 10, 20, 30, -98},
        {"ItemsOwnPosition", false, -99, -99, 60, 70, 10, 20, 60, 70},
        {"ItemWithoutPositionTakesTheOwn", false, -99, -99, -99, 70, 10, 20, 10, 70},
        {"NeitherHasOne", false, -99, -120, -99, -99, -99, -99, 500, 400},
        {"GivenOverItem", false, 5, 6, 60, 70, 10, 20, 5, 6},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TAirStateDlg D;
        D.SetFormLeft(C.OwnLeft);
        D.SetFormTop(C.OwnTop);
        TPsyPoint Other(nullptr, "Node", 2, "Other", D.Point().State);
        Other.FormLeft = C.ItemLeft;
        Other.FormTop = C.ItemTop;
        TPsyPoint* Shown = nullptr;
        const int Result =
            D.Execute(C.OwnItem ? nullptr : &Other, C.Left, C.Top, {500, 400}, [&](TPsyPoint& P) {
                Shown = &P;
                return mrOk;
            });
        EXPECT_EQ(Result, mrOk);
        ASSERT_EQ(Shown, C.OwnItem ? &D.Point() : &Other);
        EXPECT_EQ(Shown->FormLeft, C.WantLeft);
        EXPECT_EQ(Shown->FormTop, C.WantTop);
    }
}

// Stored settings under the component's name, with the range corrections
// of a position and of the pressure row's unit.
TEST(AirStateDlg, StoredSettingsAreCorrectedOntoTheScreen) {
    struct TCase {
        const char* Stored; // lines of section AirStateDlg
        int Left, Top, Row2;
    };
    const TCase Cases[] = {
        {"", -99, -99, 0},
        {"FormLeft=-50\nFormTop=-1", 0, 0, 0},
        {"FormLeft=-98\nFormTop=-99", 0, -99, 0},
        {"FormLeft=5000\nFormTop=1200", 1720, 880, 0},
        {"FormLeft=1820\nFormTop=980", 1820, 980, 0},
        {"FormLeft=1821\nFormTop=981", 1720, 880, 0},
        {"FormLeft=abc\nRow2=5", -99, -99, 0},
        {"Row2=4", -99, -99, 4},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Stored);
        TMemIniFile Store("");
        Store.SetFileText(std::string("[AirStateDlg]\n") + C.Stored + "\n");
        TAirStateDlg D;
        D.LoadSettings(Store, {1920, 1080});
        EXPECT_EQ(D.FormLeft(), C.Left);
        EXPECT_EQ(D.FormTop(), C.Top);
        EXPECT_EQ(D.RowUnits[2], C.Row2);
        EXPECT_EQ(D.RowUnits[6], 1); // absent: as it was
        EXPECT_EQ(D.FormWidth, 216);
    }
}

TEST(AirStateDlg, SettingsRoundTripUnderTheComponentName) {
    TMemIniFile Store("");
    TAirStateDlg A("OtherDlg");
    A.SetFormLeft(12);
    A.SetFormTop(34);
    A.FormWidth = 250;
    A.FormHeight = 310;
    A.ColWidths[1] = 77;
    A.RowUnits[3] = 2;
    A.RowUnits[12] = 1;
    A.SaveSettings(Store);
    EXPECT_EQ(Store.ReadInt("OtherDlg", "Row12", -1), 1);
    EXPECT_EQ(Store.ReadInt("OtherDlg", "ColWidths1", -1), 77);
    TAirStateDlg B("OtherDlg");
    B.LoadSettings(Store, {1920, 1080});
    EXPECT_EQ(B.FormLeft(), 12);
    EXPECT_EQ(B.FormTop(), 34);
    EXPECT_EQ(B.FormWidth, 250);
    EXPECT_EQ(B.FormHeight, 310);
    EXPECT_EQ(B.ColWidths[1], 77);
    EXPECT_EQ(B.RowUnits, A.RowUnits);
    TAirStateDlg C; // another component's section: nothing of A's
    C.LoadSettings(Store, {1920, 1080});
    EXPECT_EQ(C.FormWidth, 216);
}

// ---- .psx records -----------------------------------------------------------------

TEST(AirStateFile, RecordIsFifteenLittleEndianDoubles) {
    TAirStateRec S = StateOf("20/15", 101.325);
    S.Reserved3 = -0.0;
    const std::string Bytes = AirStateToBytes(S);
    ASSERT_EQ(Bytes.size(), 120u);
    // 101.325 = 0x405954CCCCCCCCCD, lowest byte first.
    EXPECT_EQ(Bytes.substr(0, 8), std::string("\xCD\xCC\xCC\xCC\xCC\x54\x59\x40", 8));
    EXPECT_EQ(Bytes.substr(112), std::string("\0\0\0\0\0\0\0\x80", 8));
    TAirStateRec Back;
    EXPECT_TRUE(AirStateFromBytes(Bytes + "trailing bytes are not read", Back));
    EXPECT_EQ(std::memcmp(&Back, &S, sizeof S), 0);
    const TAirStateRec Kept = Back;
    EXPECT_FALSE(AirStateFromBytes(Bytes.substr(0, 119), Back));
    EXPECT_EQ(std::memcmp(&Back, &Kept, sizeof S), 0);
}

TEST(AirStateFile, UnreadableFilesNameTheFile) {
    test::TTempDir Dir;
    test::PutFile(Dir / "short.psx", std::string(100, 'x'));
    test::PutFile(Dir / "empty.psx", "");
    std::filesystem::create_directory(Dir / "folder.psx");
    for (const std::string& Name :
         {Dir / "short.psx", Dir / "empty.psx", Dir / "folder.psx", Dir / "missing.psx"}) {
        SCOPED_TRACE(Name);
        TAirStateRec S;
        S.DryBulb = 7;
        try {
            ReadAirStateFile(Name, S);
            ADD_FAILURE() << "read";
        } catch (const EAirStateFileError& E) {
            EXPECT_EQ(std::string(E.what()), "Error reading file " + Name);
        }
        EXPECT_EQ(S.DryBulb, 7);
    }
}

TEST(AirStateFile, StoredStateChecks) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    TAirStateRec S = StateOf("20/15", 101.325);
    EXPECT_EQ(CheckStoredAirState(S), "");
    // An engine failure before says nothing about a stored state.
    TAirStateRec Scratch;
    EXPECT_THROW(AirState(Scratch, TAirStateRec{}, 0), EPsychroError);
    EXPECT_EQ(CheckStoredAirState(S), "");
    // Reserved fields are the engine's and not shown.
    S.Reserved1 = S.Reserved2 = S.Viscosity = S.Reserved3 = NaN;
    EXPECT_EQ(CheckStoredAirState(S), "");
    S.Density = NaN;
    EXPECT_EQ(CheckStoredAirState(S), "Bad data...");
}

// A window shown where it was asked, or pulled back onto the work area.
TEST(AirStateDlg, WindowIsKeptOnTheScreen) {
    struct TCase {
        const char* Name;
        TScreenPoint At;
        TScreenSize Size;
        TScreenPoint Shown;
    };
    const TScreenRect Area{0, 30, 1920, 1050}; // a panel across the top
    const TCase Cases[] = {
        {"inside", {300, 200}, {216, 295}, {300, 200}},
        {"past the right edge", {1800, 200}, {216, 295}, {1704, 200}},
        {"past the bottom edge", {300, 1000}, {216, 295}, {300, 785}},
        {"past both edges", {1919, 1079}, {216, 295}, {1704, 785}},
        {"above the work area", {300, 0}, {216, 295}, {300, 30}},
        {"left of the screen", {-50, 200}, {216, 295}, {0, 200}},
        {"wider than the screen", {500, 200}, {2500, 295}, {0, 200}},
        {"taller than the work area", {500, 200}, {216, 1200}, {500, 30}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TScreenPoint P = KeepWindowOnScreen(C.At, C.Size, Area);
        EXPECT_EQ(P.X, C.Shown.X);
        EXPECT_EQ(P.Y, C.Shown.Y);
    }
    // A second screen to the left (negative coordinates) is a work area too.
    const TScreenPoint P = KeepWindowOnScreen({-1900, 10}, {216, 295}, {-1920, 0, 1920, 1080});
    EXPECT_EQ(P.X, -1900);
    EXPECT_EQ(P.Y, 10);
}

} // namespace
} // namespace oravent
