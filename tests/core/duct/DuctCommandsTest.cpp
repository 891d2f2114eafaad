// The duct window's commands through a fake view: what the window shows at
// start and after Open, the roughness table, the known rows and the history.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/TxIniFiles.h"
#include "core/common/TestFiles.h"
#include "duct/DuctCommands.h"
#include "duct/DuctFriction.h"
#include "psychro/AirStateText.h"
#include "units/NumberText.h"

namespace oravent {
namespace {

// A grid of row values in base units and three status panels.
class TFakeView : public TDuctView {
public:
    TFieldValue Values[DuctRowCount + 1];
    int Units[DuctRowCount + 1] = {};
    std::string Panels[3] = {"Solved", "LastFlow", "LastSize"};
    std::vector<std::string> Errors;
    std::vector<int> Known;
    int ResultsChanges = 0;

    TFieldValue RowValue(int Row) const override { return Values[Row]; }
    void ShowRowValue(int Row, const TFieldValue& Value) override { Values[Row] = Value; }
    void SetRowUnits(int Row, TUnitsType, int, int Shown) override { Units[Row] = Shown; }
    int RowUnits(int Row) const override { return Units[Row]; }
    void ShowStatus(int Panel, std::string_view Text) override { Panels[Panel] = Text; }
    void ShowError(std::string_view Message) override { Errors.emplace_back(Message); }
    void ResultsChanged() override { ++ResultsChanges; }
    void ShowKnownRows(const std::vector<int>& Rows) override { Known = Rows; }

    double Number(TDuctRow Row) const { return ValueAsNumber(Values[static_cast<int>(Row)]); }
    void Type(TDuctCommands& C, TDuctRow Row, TFieldValue V) {
        Values[static_cast<int>(Row)] = std::move(V);
        C.CommitEdit(static_cast<int>(Row));
    }
};

// The first start: the stored defaults are not their own solution (5 m³/s
// in 835 mm is not 9.4 m/s); the window shows the solved sheet.
TEST(DuctCommands, StartShowsTheSolvedSheetWithItsRealPanels) {
    TFakeView V;
    TDuctCommands C(V);
    C.LoadSettings(TMemIniFile(""));
    C.ApplyUnits();
    C.Start();
    EXPECT_EQ(V.Panels[0] + V.Panels[1] + V.Panels[2], "Solved...[Pressure, Flow][Diam, Height]");
    EXPECT_NEAR(V.Number(TDuctRow::Diameter), 872.8, 0.05);
    const double Area = std::acos(-1.0) / 4 * std::pow(C.Sheet.Diameter, 2);
    EXPECT_NEAR(V.Number(TDuctRow::Velocity), 5.0 / Area, 1e-9);
    EXPECT_EQ(V.Number(TDuctRow::Volume), 5.0);
    EXPECT_EQ(V.Known, (std::vector<int>{4, 5, 8})); // rate, flow, height; diameter solved
    EXPECT_TRUE(V.Errors.empty());
    EXPECT_FALSE(C.CanUndo());
}

TEST(DuctCommands, SettleKeepsAStoredSolutionExactlyAndAFailureAsItWas) {
    DuctSheet S;
    S.ResetToDefaults();
    ASSERT_TRUE(SettleDuctSheet(S));
    // A stored solution, a few ulps away from what a new solve would give.
    DuctSheet Stored = S;
    Stored.Width = std::nextafter(S.Width, 2.0);
    Stored.Solved = false;
    ASSERT_TRUE(SettleDuctSheet(Stored));
    EXPECT_EQ(Stored.Width, std::nextafter(S.Width, 2.0));
    EXPECT_TRUE(Stored.Solved);

    DuctSheet Bad = S;
    const double Negative[RoughnessCount] = {0.00003, 0.00009, -0.00015, 0.0009, 0.003};
    Bad.SetRoughnessTable(Negative);
    Bad.Diameter = 0.5;
    EXPECT_FALSE(SettleDuctSheet(Bad));
    EXPECT_FALSE(Bad.Solved);
    EXPECT_EQ(Bad.Diameter, 0.5);
}

TEST(DuctCommands, OpenSolvesTheStoredValuesAndSaysWhenItCannot) {
    test::TTempDir Dir;
    TFakeView V;
    TDuctCommands C(V);
    C.Start();
    test::PutFile(Dir / "a.ini", "[Settings]\nVolume=2\nDiameter=0.5\nVelocity=1\n");
    C.OpenCalculation(TMemIniFile(Dir / "a.ini"));
    EXPECT_EQ(V.Panels[0], "Solved...");
    EXPECT_NEAR(C.Sheet.Velocity, 2 / (std::acos(-1.0) / 4 * C.Sheet.Diameter * C.Sheet.Diameter),
                1e-12);
    EXPECT_EQ(V.ResultsChanges, 1);

    C.Sheet.RoughnessTable[1] = -1; // a table no friction factor can come from
    test::PutFile(Dir / "b.ini", "[Settings]\nkIndex=1\nDiameter=0.4\n");
    C.OpenCalculation(TMemIniFile(Dir / "b.ini"));
    EXPECT_EQ(V.Panels[0], "Not Solved");
    EXPECT_EQ(V.Errors, std::vector<std::string>{std::string(NoSolutionMessage)});
    EXPECT_EQ(V.Number(TDuctRow::Diameter), 400.0); // shown as stored
}

TEST(DuctCommands, AcceptedRoughnessTableSolvesAgain) {
    TFakeView V;
    TDuctCommands C(V);
    C.Start();
    const double Diameter = C.Sheet.Diameter;
    const int Changes = V.ResultsChanges;
    double Table[RoughnessCount];
    std::copy(std::begin(C.Sheet.RoughnessTable), std::end(C.Sheet.RoughnessTable), Table);
    C.SetRoughnessTable(Table); // the same table: nothing
    EXPECT_EQ(V.ResultsChanges, Changes);
    EXPECT_FALSE(C.CanUndo());
    Table[C.Sheet.kIndex] *= 4;
    C.SetRoughnessTable(Table);
    EXPECT_GT(C.Sheet.Diameter, Diameter); // rougher duct, same rate: larger
    EXPECT_EQ(V.Number(TDuctRow::Diameter), C.Sheet.Diameter * 1000);
    EXPECT_EQ(V.ResultsChanges, Changes + 1);
    C.Undo();
    EXPECT_EQ(C.Sheet.Diameter, Diameter);
    EXPECT_EQ(C.Sheet.RoughnessTable[C.Sheet.kIndex], Table[C.Sheet.kIndex] / 4);
}

TEST(DuctCommands, UndoAndRedoWalkTheCommandsThatChangedSomething) {
    TFakeView V;
    TDuctCommands C(V);
    C.Start();
    const DuctSheet Start = C.Sheet;
    V.Type(C, TDuctRow::Volume, 2.5);
    const DuctSheet AfterFlow = C.Sheet;
    C.Solve(); // already solved: no step
    C.SetUnitSystem(TUnitSystem::Imperial);
    V.Type(C, TDuctRow::Width, 400.0);
    V.Type(C, TDuctRow::PRate, std::string("abc")); // refused: no step
    ASSERT_EQ(V.Errors.size(), 1u);
    const DuctSheet AfterWidth = C.Sheet;
    EXPECT_EQ(V.Known, (std::vector<int>{4, 5, 9}));

    C.Undo(); // the width
    EXPECT_TRUE(SameDuctValues(C.Sheet, AfterFlow));
    EXPECT_EQ(V.Units[5], 4) << "units stay imperial until their own step";
    EXPECT_EQ(V.Known, (std::vector<int>{4, 5, 8}));
    C.Undo(); // Imperial
    EXPECT_EQ(V.Units[5], 0);
    C.Undo(); // the flow
    EXPECT_TRUE(SameDuctValues(C.Sheet, Start));
    EXPECT_EQ(V.Number(TDuctRow::Volume), 5.0);
    EXPECT_FALSE(C.CanUndo());
    C.Undo(); // nothing left: nothing happens
    EXPECT_TRUE(SameDuctValues(C.Sheet, Start));

    C.Redo();
    C.Redo();
    C.Redo();
    EXPECT_FALSE(C.CanRedo());
    EXPECT_TRUE(SameDuctValues(C.Sheet, AfterWidth));
    EXPECT_EQ(V.Units[5], 4);

    // A new command after an undo drops the steps that were undone.
    C.Undo();
    C.ResetToDefaults();
    EXPECT_FALSE(C.CanRedo());
    C.Undo();
    EXPECT_TRUE(SameDuctValues(C.Sheet, AfterFlow));
}

// A standard size goes in as typed and keeps the flow even when the flow
// was not among the last two quantities typed; the report names it while
// the sheet holds it.
TEST(DuctCommands, StandardSizeEntersAsTypedAndKeepsTheFlow) {
    TFakeView V;
    TDuctCommands C(V);
    C.Start();
    V.Type(C, TDuctRow::Velocity, 7.0);
    V.Type(C, TDuctRow::PRate, 0.8); // flow group: pressure and velocity
    const double Flow = C.Sheet.Volume;
    const TSizeCandidates L =
        StandardSizeCandidates(C.Sheet, C.SizeSettings, TSeriesSystem::Metric);
    ASSERT_GE(L.RectangularChoice, 0);
    const TSizeCandidate Rect = L.Rectangular[L.RectangularChoice];
    const int Steps = V.ResultsChanges;
    C.EnterStandardSize(Rect);
    EXPECT_EQ(V.Panels[0], "Solved...");
    EXPECT_EQ(C.Sheet.Volume, Flow);
    EXPECT_DOUBLE_EQ(V.Number(TDuctRow::Height), Rect.Height * 1000);
    EXPECT_DOUBLE_EQ(V.Number(TDuctRow::Width), Rect.Width * 1000);
    EXPECT_NEAR(C.Sheet.PRate, Rect.PRate, 1e-5 * Rect.PRate);
    EXPECT_GT(V.ResultsChanges, Steps);
    auto Selected = C.SelectedSize();
    ASSERT_TRUE(Selected);
    // The list stays the one for the rate the engineer sized at.
    EXPECT_NEAR(C.SizingSheet().PRate, 0.8, 1e-12);
    EXPECT_TRUE(StandardSizeCandidates(C.SizingSheet(), C.SizeSettings, TSeriesSystem::Metric)
                    .Rectangular[L.RectangularChoice]
                    .Chosen);
    EXPECT_NEAR(Selected->Velocity, Flow / (Rect.Height * Rect.Width), 1e-12);

    const auto Lines = SelectedSizeLines(*Selected, C.SizeUnits());
    ASSERT_EQ(Lines.size(), 6u);
    EXPECT_EQ(Lines[0], "Rectangular Duct\t" + FormatNumber("%0.0f", Rect.Height * 1000) +
                            " \u00d7 " + FormatNumber("%0.0f", Rect.Width * 1000) + "\tmm");

    V.Type(C, TDuctRow::Volume, Flow * 0.9); // the size stays: so does the selection
    ASSERT_TRUE(C.SelectedSize());
    EXPECT_LT(C.SelectedSize()->PRate, Rect.PRate);
    C.Undo();
    C.Undo(); // back before the standard size: nothing selected
    EXPECT_FALSE(C.SelectedSize());
    C.Redo();
    EXPECT_TRUE(C.SelectedSize());

    // A size the rows do not take changes nothing.
    TSizeCandidate Huge;
    Huge.Diameter = 3.0;
    const DuctSheet Before = C.Sheet;
    C.EnterStandardSize(Huge);
    ASSERT_FALSE(V.Errors.empty());
    EXPECT_EQ(V.Errors.back(), "Equivalent Diameter must lie between 50 and 2400 mm.");
    EXPECT_TRUE(SameDuctValues(C.Sheet, Before));
}

// The standard sizes' series and limits are kept with the window's settings.
TEST(DuctCommands, EditedSizeSeriesSurviveARestart) {
    const test::TTempDir Dir;
    const std::string File = Dir / "settings.ini";
    TFakeView V;
    {
        TDuctCommands C(V);
        C.SizeSettings.Series.MetricRect = {200, 300, 450};
        C.SizeSettings.VelocityLimit = 7.5;
        TIniFile Store(File);
        C.SaveSettings(Store);
    }
    TDuctCommands Again(V);
    Again.LoadSettings(TIniFile(File));
    EXPECT_EQ(Again.SizeSettings.Series.MetricRect, (std::vector<double>{200, 300, 450}));
    EXPECT_EQ(Again.SizeSettings.VelocityLimit, 7.5);
    EXPECT_EQ(Again.SizeSettings.Series.MetricRound, DefaultSizeSeries().MetricRound);
}

// A kept side stays as typed when the search for the other side fails
// part-way: 800 mm stays 800 mm (it came back as 305.9 mm).
TEST(DuctCommands, KeptWidthSurvivesAFailedSideSearch) {
    TFakeView V;
    TDuctCommands C(V);
    C.Start();
    V.Type(C, TDuctRow::Volume, 2.5);
    V.Type(C, TDuctRow::Height, 400.0);
    V.Type(C, TDuctRow::Width, 800.0);
    V.Type(C, TDuctRow::Velocity, 6.0);
    V.Type(C, TDuctRow::PRate, 1.2);
    EXPECT_EQ(V.Panels[0] + V.Panels[2], "Solved...[Diam, Width]");
    EXPECT_EQ(C.Sheet.Width, 0.8);
    EXPECT_NEAR(EquivalentDiameter(C.Sheet.Height, C.Sheet.Width), C.Sheet.Diameter,
                1e-9 * C.Sheet.Diameter);
}

TEST(DuctCommands, HistoryKeepsItsNewestSteps) {
    TFakeView V;
    TDuctCommands C(V);
    C.Start();
    const std::size_t Steps = TDuctCommands::HistoryLimit + 5;
    for (std::size_t I = 0; I < Steps; ++I)
        V.Type(C, TDuctRow::Volume, 1.0 + static_cast<double>(I) / 100);
    std::size_t Undone = 0;
    while (C.CanUndo()) {
        C.Undo();
        ++Undone;
    }
    EXPECT_EQ(Undone, TDuctCommands::HistoryLimit);
    EXPECT_DOUBLE_EQ(C.Sheet.Volume, 1.04); // the five oldest steps were dropped
}

// The highlighted rows follow the groups: a diameter is kept only when the
// flow was solved from it.
TEST(DuctCommands, KnownRowsFollowTheRememberedGroups) {
    struct TCase {
        std::uint8_t F0, F1, S0, S1;
        std::vector<TDuctRow> Rows;
    };
    using R = TDuctRow;
    const TCase Cases[] = {
        {fqPressure, fqFlow, sqDiam, sqHeight, {R::PRate, R::Volume, R::Height}},
        {fqSize, fqPressure, sqDiam, sqHeight, {R::PRate, R::Diameter, R::Height}},
        {fqVelocity, fqFlow, sqWidth, sqDiam, {R::Volume, R::Velocity, R::Width}},
        {fqSize, fqFlow, sqHeight, sqWidth, {R::Volume, R::Diameter, R::Height, R::Width}},
    };
    for (const TCase& T : Cases) {
        TDuctSheetValues S;
        S.LastFlow0 = T.F0;
        S.LastFlow1 = T.F1;
        S.LastSize0 = T.S0;
        S.LastSize1 = T.S1;
        EXPECT_EQ(KnownDuctRows(S), T.Rows) << int(T.F0) << int(T.F1) << int(T.S0) << int(T.S1);
    }
}

} // namespace
} // namespace oravent
