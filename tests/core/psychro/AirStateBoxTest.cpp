// The air state window's presenter through a fake window: the rows, the
// pair and its highlight, failed edits and how leaving the window rolls them
// back, .psx files, the clipboard texts and the write-back on closing.
#include <cmath>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/common/TestFiles.h"
#include "core/psychro/AirStateFakeView.h"
#include "psychro/AirStateFile.h"
#include "psychro/AirStateText.h"
#include "units/NumberText.h"

namespace oravent {
namespace {

using test::TAirStateWindow;

TAirStateRec StateOf(std::string_view Text, double P = 101.325) {
    TAirStateRec S;
    StrToAirState(Text, S, P, 0.5);
    return S;
}

bool SameBytes(const TAirStateRec& A, const TAirStateRec& B) {
    return std::memcmp(&A, &B, sizeof A) == 0;
}

// Every row text builds a numeric row with the table's limits, the rows
// follow the letters of the pair logic and the record's fields in order,
// and the units show as the window is created.
TEST(AirStateBox, RowsFollowTheLettersAndTheRecord) {
    TAirStateWindow W(StateOf("20/15"));
    EXPECT_TRUE(W.View.RowMessages.Messages.empty());
    EXPECT_EQ(W.View.Table.RowCount(), 13);
    EXPECT_EQ(W.View.Table.Cell(0, 0) + W.View.Table.Cell(1, 0) + W.View.Table.Cell(2, 0),
              "PropertyValueUnits");
    for (const TAirStateRowDef& D : AirStateRows) {
        SCOPED_TRACE(D.Text);
        EXPECT_EQ(TAirCombin::Letters[static_cast<std::size_t>(D.Row - 2)], D.Letter);
        TAirStateRec R;
        EXPECT_EQ(reinterpret_cast<char*>(&(R.*D.Field)) - reinterpret_cast<char*>(&R),
                  static_cast<std::ptrdiff_t>(sizeof(double)) * (D.Row - 2));
        const auto* N = dynamic_cast<const TNumField*>(W.View.Grid.Field(D.Row));
        ASSERT_NE(N, nullptr);
        EXPECT_EQ(N->UnitsType, D.UnitsType);
        EXPECT_EQ(W.View.Table.Cell(2, D.Row), UnitsCaption(D.UnitsType, D.Unit));
        EXPECT_EQ(W.View.RowEnabled(D.Row), D.Row != AirStateLastRow);
    }
    EXPECT_EQ(W.View.Table.Cell(2, 6), "g/kg");
    EXPECT_EQ(W.View.Table.Cell(2, 7), "%");
    EXPECT_DOUBLE_EQ(W.View.Grid.GetRangeLo(6), 0.0000001 * 1000); // shown in g/kg
    EXPECT_DOUBLE_EQ(W.View.Grid.GetRangeHi(5), 3867.599);
    EXPECT_EQ(W.View.StatusText, "Ready...");
    EXPECT_TRUE(W.View.OpenEnabled);
    EXPECT_TRUE(W.View.Messages.empty()) << W.View.Messages.front(); // no DataCount<>LineCount
    EXPECT_EQ(W.View.Known, (std::vector<int>{3, 4})); // dry and wet bulb until an edit
    EXPECT_EQ(W.View.Cell(3), "20.0");
    EXPECT_EQ(W.View.Cell(4), "15.0");
    EXPECT_EQ(W.View.Cell(1), "Moist Air");
}

// The edge cases of the window: a relative humidity after a 20/15 state
// uses the pair dry bulb + relative humidity, then an enthalpy switches to
// enthalpy + relative humidity; a pressure keeps the pair.
TEST(AirStateBox, PairFollowsTheLastTwoUsableEntries) {
    TAirStateWindow W(StateOf("20/15"));
    W.View.Type(7, "50.0");
    EXPECT_EQ(W.Box.Combin.Code, 3);
    EXPECT_EQ(W.View.Known, (std::vector<int>{3, 7}));
    EXPECT_EQ(W.View.StatusText, "Ready...");
    TAirStateRec Expected;
    SetState(Expected, 101.325, 20, 0.5, 3);
    EXPECT_NEAR(W.Point.State.WetBulb, Expected.WetBulb, 1e-6);
    EXPECT_EQ(W.View.Cell(4), FormatNumber("%0.1f", Expected.WetBulb));
    EXPECT_NE(W.View.Cell(4), "15.0");
    EXPECT_EQ(W.View.Cell(3), "20.0");
    EXPECT_EQ(W.View.Cell(7), "50.0");
    EXPECT_TRUE(SameBytes(W.Box.SavedState, W.Point.State));

    W.View.Type(5, "60.0");
    EXPECT_EQ(W.Box.Combin.Code, 16);
    EXPECT_EQ(W.View.Known, (std::vector<int>{5, 7}));
    EXPECT_NEAR(W.Point.State.Enthalpy, 60, 1e-6);
    EXPECT_NEAR(W.Point.State.RelHumidity, 0.5, 1e-6);
    EXPECT_GT(W.Point.State.DryBulb, 20.5);

    const double Density = W.Point.State.Density;
    W.View.Type(2, "90");
    EXPECT_EQ(W.Box.Combin.Code, 16);
    EXPECT_EQ(W.View.Known, (std::vector<int>{5, 7}));
    EXPECT_NEAR(W.Point.State.Pressure, 90, 1e-9);
    EXPECT_NEAR(W.Point.State.Enthalpy, 60, 1e-6);
    EXPECT_LT(W.Point.State.Density, Density * 0.95);
}

// A wet bulb above the dry bulb: an error in the status bar, the values on
// screen; every way out of the window returns to the last valid state.
TEST(AirStateBox, FailedEditIsRolledBackWhenTheUserLeaves) {
    enum class TLeave { Accept, Deactivate, Cancel, Close };
    for (const TLeave Leave : {TLeave::Accept, TLeave::Deactivate, TLeave::Cancel, TLeave::Close}) {
        SCOPED_TRACE(static_cast<int>(Leave));
        TAirStateWindow W(StateOf("20/15"));
        const TAirStateRec Good = W.Point.State;
        int Edits = 0;
        W.Box.OnEditAirconItem = [&](TAirconItem& I) {
            EXPECT_EQ(&I, &W.Point);
            ++Edits;
        };
        W.View.PendingRow = 4; // typed, not yet committed
        W.View.PendingText = "25.0";
        switch (Leave) {
        case TLeave::Accept:
            EXPECT_EQ(W.Box.Accept(), mrCancel);
            EXPECT_EQ(W.View.Closed, mrCancel);
            break;
        case TLeave::Deactivate:
            W.Box.Deactivate();
            break;
        case TLeave::Cancel:
            W.View.CommitEdit();
            EXPECT_EQ(W.Box.Cancel(), mrCancel);
            break;
        case TLeave::Close:
            W.View.CommitEdit();
            EXPECT_NE(W.View.StatusText, "Ready...");
            EXPECT_EQ(W.View.Cell(4), "25.0"); // the invalid entry stays until leaving
            W.Box.Closing();
            break;
        }
        EXPECT_TRUE(SameBytes(W.Point.State, Good));
        EXPECT_EQ(W.View.Cell(4), "15.0");
        EXPECT_EQ(W.View.StatusText, "Ready...");
        EXPECT_EQ(Edits, 1); // the restore only; the failed edit reported nothing
    }
}

TEST(AirStateBox, ErrorStatusNamesTheFailure) {
    TAirStateWindow W(StateOf("20/15"));
    W.View.Type(4, "25.0");
    const std::string S = W.View.StatusText;
    EXPECT_TRUE(S == "Wet Bulb > Dry Bulb °C..." || S == "Invalid air state") << S;
    // A cell that is no number cannot be solved either.
    TAirStateWindow V(StateOf("20/15"));
    V.View.Table.SetCell(1, 3, "abc");
    V.Box.SetData(3);
    EXPECT_EQ(V.View.StatusText, "Invalid air state");
    EXPECT_EQ(V.Box.Accept(), mrCancel);
    EXPECT_EQ(V.View.Cell(3), "20.0");
}

TEST(AirStateBox, AcceptCommitsAValidEdit) {
    TAirStateWindow W(StateOf("20/15"));
    W.View.PendingRow = 3;
    W.View.PendingText = "24.0";
    EXPECT_EQ(W.Box.Accept(), mrOk);
    EXPECT_EQ(W.View.Closed, mrOk);
    EXPECT_NEAR(W.Point.State.DryBulb, 24, 1e-9);
    EXPECT_NEAR(W.Point.State.WetBulb, 15, 1e-9);
}

TEST(AirStateBox, NameRowRenamesWithoutSolving) {
    TAirStateWindow W(StateOf("20/15"));
    W.View.Type(4, "25.0"); // an error status stays
    const std::string Status = W.View.StatusText;
    std::string Named;
    W.Box.OnEditAirconItem = [&](TAirconItem& I) { Named = I.ItemText; };
    W.View.Type(1, "Supply air");
    EXPECT_EQ(W.Point.ItemText, "Supply air");
    EXPECT_EQ(Named, "Supply air");
    EXPECT_EQ(W.View.StatusText, Status);
}

TEST(AirStateBox, SaveRefusedWhileTheStatusShowsAnError) {
    test::TTempDir Dir;
    TAirStateWindow W(StateOf("20/15"));
    W.View.Type(4, "25.0");
    EXPECT_FALSE(W.Box.SaveAllowed());
    EXPECT_EQ(W.View.StatusText, "Can\"t save invalid data...");
    EXPECT_FALSE(W.Box.SaveToFile(Dir / "a.psx"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "a.psx"));
    W.Box.Deactivate(); // the status is an error: restored
    EXPECT_TRUE(W.Box.SaveToFile(Dir / "a.psx"));
    EXPECT_EQ(std::filesystem::file_size(Dir / "a.psx"), 120u);
    EXPECT_EQ(W.Box.FileName, Dir / "a.psx");
    EXPECT_FALSE(W.Box.SaveToFile(Dir / "no/such/folder/b.psx"));
    EXPECT_EQ(W.View.Messages.back(), "Unable to write to " + (Dir / "no/such/folder/b.psx"));
}

TEST(AirStateBox, FileRoundTripGivesExactlyTheState) {
    test::TTempDir Dir;
    TAirStateWindow A(StateOf("31.7/22.3", 97.5));
    A.View.Type(7, "40.0");
    ASSERT_TRUE(A.Box.SaveToFile(Dir / "a.psx"));
    TAirStateWindow B(StateOf("13/12"));
    int Edits = 0;
    B.Box.OnEditAirconItem = [&](TAirconItem&) { ++Edits; };
    const TAirStateRec Saved = B.Box.SavedState;
    EXPECT_TRUE(B.Box.LoadFromFile(Dir / "a.psx"));
    EXPECT_TRUE(SameBytes(B.Point.State, A.Point.State));
    EXPECT_EQ(B.View.Cell(7), "40.0");
    EXPECT_EQ(B.View.Cell(2), A.View.Cell(2));
    EXPECT_EQ(Edits, 1);
    EXPECT_TRUE(SameBytes(B.Box.SavedState, Saved)); // loading does not change it

    // A short file: the message, nothing else changes.
    test::PutFile(Dir / "short.psx", std::string(100, '\0'));
    EXPECT_FALSE(B.Box.LoadFromFile(Dir / "short.psx"));
    EXPECT_EQ(B.View.Messages.back(), "Error reading file " + (Dir / "short.psx"));
    EXPECT_TRUE(SameBytes(B.Point.State, A.Point.State));
    EXPECT_EQ(Edits, 1);
    EXPECT_EQ(B.View.StatusText, "Ready...");
}

// A stored state that is not plausible is shown under its message and
// rolled back like a failed edit; it never becomes the state to return to.
TEST(AirStateBox, ImplausibleFileIsRolledBack) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const double Inf = std::numeric_limits<double>::infinity();
    struct TCase {
        const char* Name;
        double TAirStateRec::*Field;
        double Value;
        const char* Status;
    };
    const TCase Cases[] = {
        {"DryBulbNaN", &TAirStateRec::DryBulb, NaN, "Dry bulb too low..."},
        {"WetAboveDry", &TAirStateRec::WetBulb, 30, "Wet Bulb > Dry Bulb °C..."},
        {"HumidityAbove1", &TAirStateRec::RelHumidity, 1.5, "High Relative Humidity..."},
        {"EnthalpyNaN", &TAirStateRec::Enthalpy, NaN, "Bad data..."},
        {"PressureInfinite", &TAirStateRec::Pressure, Inf, "Bad data..."},
        {"SpecificHeatInfinite", &TAirStateRec::SpecificHeat, -Inf, "Bad data..."},
    };
    test::TTempDir Dir;
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TAirStateRec Bad = StateOf("20/15");
        Bad.*C.Field = C.Value;
        WriteAirStateFile(Dir / "bad.psx", Bad);
        TAirStateWindow W(StateOf("13/12"));
        const TAirStateRec Good = W.Point.State;
        int Edits = 0;
        W.Box.OnEditAirconItem = [&](TAirconItem&) { ++Edits; };
        EXPECT_FALSE(W.Box.LoadFromFile(Dir / "bad.psx"));
        EXPECT_EQ(W.View.StatusText, C.Status);
        EXPECT_EQ(Edits, 0);
        W.Box.Activate(); // back from the file dialog
        EXPECT_EQ(W.View.StatusText, C.Status);
        EXPECT_EQ(W.Box.Accept(), mrCancel);
        EXPECT_TRUE(SameBytes(W.Point.State, Good));
    }
}

TEST(AirStateBox, CopyAndPasteTheDryAndWetBulb) {
    TAirStateWindow W(StateOf("13/12"));
    W.Box.CopyDbWb();
    EXPECT_EQ(W.View.Clipboard, "13.000/12.000");

    W.View.Type(7, "40.0"); // pair dry bulb + relative humidity
    W.View.Type(2, "95");
    W.View.Clipboard = "22/16";
    int Edits = 0;
    W.Box.OnEditAirconItem = [&](TAirconItem&) { ++Edits; };
    W.Box.PasteDbWb();
    EXPECT_EQ(Edits, 1);
    EXPECT_TRUE(SameBytes(W.Point.State, StateOf("22/16", 95)));
    EXPECT_EQ(W.Box.Combin.Code, 0);
    EXPECT_EQ(W.Box.Combin.Order.substr(0, 2), "bt");
    EXPECT_EQ(W.View.Known, (std::vector<int>{3, 4}));
    EXPECT_EQ(W.View.Cell(3), "22.0");

    for (const char* Text : {"abc", "", "/15", "20/15/3"}) { // "20/" is the dry bulb alone
        SCOPED_TRACE(Text);
        const TAirStateRec Before = W.Point.State;
        const std::size_t Messages = W.View.Messages.size();
        W.View.Clipboard = Text;
        W.Box.PasteDbWb();
        EXPECT_EQ(W.View.Messages.size(), Messages + 1);
        EXPECT_TRUE(SameBytes(W.Point.State, Before));
    }
    EXPECT_EQ(Edits, 1);
}

TEST(AirStateBox, TableAndXmlTexts) {
    TAirStateWindow W(StateOf("20/15"));
    W.View.Type(1, "Room \"A\" & <B>");
    W.Box.CopyTable();
    const std::string& Csv = W.View.Clipboard;
    EXPECT_EQ(Csv.substr(0, Csv.find("\r\n", Csv.find("\r\n") + 2) + 2),
              "Property,Value,Units\r\nName,\"Room \"\"A\"\" & <B>\",\r\n");
    EXPECT_NE(Csv.find("\r\n\"Dry Bulb\",20.0,°C\r\n"), std::string::npos);
    EXPECT_NE(Csv.find("\r\n\"Specific Heat\","), std::string::npos);
    EXPECT_EQ(Csv.substr(Csv.size() - 2), "\r\n");
    std::size_t Lines = 0;
    for (std::size_t P = Csv.find("\r\n"); P != std::string::npos; P = Csv.find("\r\n", P + 2))
        ++Lines;
    EXPECT_EQ(Lines, 13u);

    W.Box.CopyToXml();
    const std::string& Xml = W.View.Clipboard;
    EXPECT_EQ(Xml.substr(0, Xml.find("    <item")),
              "<?xml version=\"1.0\" ?>\r\n"
              "<?xml-stylesheet type=\"text/xsl\" href=\"airstate.xsl\"?>\r\n"
              "<airstate>\r\n"
              "  <properties name=\"Room &quot;A&quot; &amp; &lt;B&gt;\">\r\n");
    EXPECT_NE(Xml.find("    <item code=\"db\" caption=\"Dry Bulb\" units=\"°C\">20.0</item>\r\n"),
              std::string::npos);
    EXPECT_NE(Xml.find("    <item code=\"rh\" caption=\"Rel Humidity\" units=\"%\">"),
              std::string::npos);
    const std::string End = "</item>\r\n  </properties>\r\n</airstate>\r\n";
    EXPECT_EQ(Xml.substr(Xml.size() - End.size()), End);
}

TEST(AirStateBox, ConfigureAndWriteBackThroughTheDialog) {
    TAirStateDlg Dlg;
    Dlg.EditPressure = false;
    Dlg.EditItemName = false;
    Dlg.Modal = true;
    Dlg.RowUnits[3] = 1;  // °F
    Dlg.RowUnits[12] = 1; // Btu/lb°F
    Dlg.SetFormLeft(40);
    Dlg.SetFormTop(50);
    test::TFakeAirStateView View;
    TAirStateBox Box(View, Dlg.Point());
    View.Box = &Box;
    Box.SetupTools();
    Box.Configure(Dlg);
    Box.Activate();
    EXPECT_FALSE(View.RowEnabled(1));
    EXPECT_FALSE(View.RowEnabled(2));
    EXPECT_FALSE(View.RowEnabled(12));
    EXPECT_TRUE(View.RowEnabled(3));
    EXPECT_EQ(View.Caption, "Moist Air State");
    EXPECT_TRUE(View.Modal);
    EXPECT_EQ(View.Placed.Left, 40);
    EXPECT_EQ(View.Placed.Width, 216);
    EXPECT_EQ(View.Placed.ColWidths[2], 52);
    EXPECT_EQ(View.Table.Cell(2, 3), "°F");
    EXPECT_EQ(View.Cell(3), "77.0"); // 25 °C

    View.Type(3, "86.0"); // 30 °C, pair dry bulb + wet bulb
    EXPECT_NEAR(Dlg.Point().State.DryBulb, 30, 1e-9);
    View.Grid.SetUnitsValue(7, 0); // the user picks a fraction for the humidity
    View.Current = {7, 8, 300, 320, {100, 80, 60}};
    EXPECT_EQ(Box.Accept(), mrOk);
    EXPECT_EQ(Dlg.FormLeft(), 7);
    EXPECT_EQ(Dlg.FormTop(), 8);
    EXPECT_EQ(Dlg.FormWidth, 300);
    EXPECT_EQ(Dlg.FormHeight, 320);
    EXPECT_EQ(Dlg.ColWidths[0], 100);
    EXPECT_EQ(Dlg.RowUnits, (std::vector<std::int32_t>{0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Dlg.Temperature(), "30.0/17.0");
    View.Current.Left = 500;
    Box.Closing(); // already closed: nothing more
    EXPECT_EQ(Dlg.FormLeft(), 7);
}

// Activation takes a plausible state as the one to return to, never an
// implausible one.
TEST(AirStateBox, ActivationKeepsOnlyAValidState) {
    TAirStateWindow W(StateOf("20/15"));
    const TAirStateRec Good = W.Point.State;
    W.View.Type(4, "25.0");
    W.Box.Activate();
    EXPECT_TRUE(SameBytes(W.Box.SavedState, Good));
    W.Box.RestoreLastGood();
    W.View.Type(3, "24.0");
    W.Box.Activate();
    EXPECT_NEAR(W.Box.SavedState.DryBulb, 24, 1e-9);
    EXPECT_EQ(W.View.StatusText, "Ready...");
}

} // namespace
} // namespace oravent
