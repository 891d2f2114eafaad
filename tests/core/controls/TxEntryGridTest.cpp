// Entry grid row model: row texts, values, units, row operations and their
// messages, and the current-row state the editing side reads.
#include <gtest/gtest.h>

#include <cmath>

#include "controls/TxEntryGrid.h"
#include "duct/DuctSheetRows.h"

using namespace oravent;

namespace {

struct Sheet {
    explicit Sheet(int Cols = 3) : Table(Cols, 4), Grid(Table, &Msgs) {}
    TMemCellTable Table;
    TRowMessageList Msgs;
    TEntryGridModel Grid;
    std::string Cell(int C, int R) const { return Table.Cell(C, R); }
    double Number(int R) const { return std::get<double>(Grid.GetValue(1, R)); }
    std::string Text(int R) const { return std::get<std::string>(Grid.GetValue(1, R)); }
};

const std::vector<std::string>& MainRows = DuctSheetRowTexts();
const std::vector<std::string>& RoughRows = RoughnessRowTexts();

// ---------------------------------------------------------------------------
// Row-definition texts

struct SplitCase {
    const char* Name;
    const char* Text;
    std::vector<std::string> Fields;
};

class SplitFieldsCase : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitFieldsCase, Splits) {
    EXPECT_EQ(TEntryGridModel::SplitFields(GetParam().Text, ';'), GetParam().Fields);
}

INSTANTIATE_TEST_SUITE_P(
    TxEntryGrid, SplitFieldsCase,
    ::testing::Values(SplitCase{"Plain", "a; b ;c", {"a", "b", "c"}},
                      SplitCase{"TrailingDelimiterGivesNoEmptyField", "A; %0.2f;", {"A", "%0.2f"}},
                      SplitCase{"AdjacentDelimitersGiveEmptyField", "A;;B", {"A", "", "B"}},
                      SplitCase{"ControlCharactersTrimmed", "\tA\r;\n B \x01", {"A", "B"}},
                      SplitCase{"Empty", "", {}}, SplitCase{"NoDelimiter", " only ", {"only"}},
                      SplitCase{"Utf8Kept", "T; %0.1f; °C", {"T", "%0.1f", "°C"}}),
    [](const auto& I) { return std::string(I.param.Name); });

enum class Kind { Text, Num, Pair, Enum, Bool };

Kind KindOf(const TField* F) {
    if (AsDelimNumField(F)) return Kind::Pair;
    if (AsNumField(F)) return Kind::Num;
    if (AsEnumField(F)) return Kind::Enum;
    if (AsBoolField(F)) return Kind::Bool;
    return Kind::Text;
}

struct RowCase {
    const char* Name;
    const char* Line;
    Kind ExpectKind;
    int EditorKind;
    const char* Value;   // initial value cell
    const char* Message; // "" when none
};

class ParseRowCase : public ::testing::TestWithParam<RowCase> {};

TEST_P(ParseRowCase, Builds) {
    const RowCase& C = GetParam();
    Sheet S;
    S.Grid.SetRows({"H; V; U", C.Line});
    const TField* F = S.Grid.Field(1);
    ASSERT_NE(F, nullptr);
    EXPECT_EQ(KindOf(F), C.ExpectKind);
    EXPECT_EQ(F->EditorKind, C.EditorKind);
    EXPECT_EQ(S.Cell(1, 1), C.Value);
    if (*C.Message) {
        ASSERT_EQ(S.Msgs.Messages.size(), 1u);
        EXPECT_EQ(S.Msgs.Messages[0], C.Message);
        EXPECT_EQ(S.Msgs.Kinds[0], TRowMessageKind::Error);
        EXPECT_EQ(F->FormatStr, "%S");
    } else {
        EXPECT_TRUE(S.Msgs.Messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    TxEntryGrid, ParseRowCase,
    ::testing::Values(
        RowCase{"NumericRow", "A; %0.3f; kPa; ; 1; 2", Kind::Num, 0, "0.000", ""},
        RowCase{"PairRow", "A; %0.1f/%0.1f; °C; ; -60; 90", Kind::Pair, 0, "0.0/0.0", ""},
        RowCase{"IntegerRow", "A; %d; ; ; 0; 100", Kind::Num, 0, "0", ""},
        RowCase{"GeneralRealRow", "A; %0.2g; ; ; 0; 1", Kind::Num, 0, "0", ""},
        RowCase{"MissingLimitsBecomesTextRow", "A; %0.1f; kPa", Kind::Text, 0, "0.0",
                "Error initialising A"},
        RowCase{"BadLimitBecomesTextRow", "B; %0.1f; kPa; PE; low; 9", Kind::Text, 1, "0.0",
                "Error initialising B"},
        RowCase{"BadStepBecomesTextRow", "C; %0.1f; ; Spin; 0; 9; fast", Kind::Text, 3, "0.0",
                "Error initialising C"},
        RowCase{"CommaLimitIsNotANumber", "D; %0.1f; ; ; 0,5; 9", Kind::Text, 0, "0.0",
                "Error initialising D"},
        RowCase{"TrailingDelimiterStepOne", "A; %0.2f; ; ; 0; 10;", Kind::Num, 0, "0.00", ""},
        RowCase{"SpinWithStep", "A; %0.2f; ; Spin; 0; 10; 0.5", Kind::Num, 3, "0.00", ""},
        RowCase{"PropEditorAnyCase", "A; %0.2f; ; pe; 0; 10", Kind::Num, 1, "0.00", ""},
        RowCase{"NpeGivesNothing", "A; %0.2f; ; NPE; 0; 10", Kind::Num, 0, "0.00", ""},
        RowCase{"SpinAnyCase", "A; %0.2f; ; SPIN; 0; 10", Kind::Num, 3, "0.00", ""},
        RowCase{"EnumFirstItem", "A; ENUM; ; X; Y", Kind::Enum, 2, "X", ""},
        RowCase{"EnumIgnoresFlag", "A; enum; ; PE", Kind::Enum, 2, "PE", ""},
        RowCase{"CheckRow", "A; Check; ; PE", Kind::Bool, 4, "", ""},
        RowCase{"TextRow", "A; %S; ; PE", Kind::Text, 1, "", ""},
        RowCase{"WordWithLetterDIsNumeric", "A; Speed; ; ; 0; 1", Kind::Num, 0, "Speed", ""},
        RowCase{"EmptyLine", "", Kind::Text, 0, "", ""}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(TxEntryGrid, ShortEnumRowGetsThreeEmptyItems) {
    Sheet S;
    S.Grid.SetRows({"H", "A; enum", "B; enum; ; X"});
    const TEnumField* A = AsEnumField(S.Grid.Field(1));
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(A->Items, (std::vector<std::string>{"", "", ""}));
    const TEnumField* B = AsEnumField(S.Grid.Field(2));
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Items, (std::vector<std::string>{"X"}));
}

TEST(TxEntryGrid, NumericRowFieldsAndLimits) {
    Sheet S;
    S.Grid.SetRows({"H", "A; %0.2f; u; Spin; -1.5; 10; 0.5", "B; %0.2f; ; ; 0; 10;"});
    const TNumField* A = AsNumField(S.Grid.Field(1));
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(A->RangeLo, -1.5);
    EXPECT_EQ(A->RangeHi, 10);
    EXPECT_EQ(A->SpinStep, 0.5);
    EXPECT_EQ(AsNumField(S.Grid.Field(2))->SpinStep, 1);
    EXPECT_EQ(S.Cell(0, 1), "A");
    EXPECT_EQ(S.Cell(2, 1), "u");
}

TEST(TxEntryGrid, MalformedRowDoesNotStopTheSheet) {
    Sheet S;
    S.Grid.SetRows({"H", "Bad; %0.1f; kPa", "Good; %0.3f; kPa; ; 0; 1"});
    EXPECT_EQ(S.Msgs.Messages, (std::vector<std::string>{"Error initialising Bad"}));
    EXPECT_EQ(KindOf(S.Grid.Field(2)), Kind::Num);
}

TEST(TxEntryGrid, EmptyLinesLeaveTwoRowsWithoutFields) {
    Sheet S;
    S.Grid.SetRows({"H; V; U", "A; %0.3f; kPa; ; 0; 1", "B; %S"});
    S.Grid.SetLines({});
    EXPECT_EQ(S.Table.RowCount(), 2);
    EXPECT_EQ(S.Grid.FieldCount(), 0);
    EXPECT_EQ(S.Cell(0, 1), ""); // no stale text of the old rows
    S.Grid.SetUnits(1, utPressure, 0, 0, ft_Fixed);
    S.Grid.SetSigDigs(1, 4);
    S.Grid.SetPropEditor(1, [](TFieldValue&) { return 1; });
    S.Grid.SetRowEnabled(1, false);
    EXPECT_TRUE(S.Grid.GetRowEnabled(1));
    EXPECT_EQ(S.Grid.GetRangeLo(1), 0);
    EXPECT_EQ(S.Grid.GetUnitsValue(1), 0);
    EXPECT_FALSE(S.Grid.HasUnits(1));
    S.Grid.SetValue(1, 1, std::string("t"));
    EXPECT_EQ(S.Text(1), "t");
    EXPECT_EQ(S.Msgs.Messages,
              (std::vector<std::string>{
                  "Error setting units, row 1", "Error setting significant digits, row 1",
                  "Error setting property editor, row 1", "Error setting enabled row 1",
                  "Error getting range lo, row 1", "Error getting units value, row 1"}));
}

TEST(TxEntryGrid, HeaderCellsWithoutPaddingAndCellsBeyondColCount) {
    Sheet S(2);
    S.Grid.SetRows({"Category; mm; extra", "Smooth; %0.4f; ; ; 0; 0"});
    EXPECT_EQ(S.Cell(0, 0), "Category");
    EXPECT_EQ(S.Cell(1, 0), "mm");
    EXPECT_EQ(S.Cell(0, 1), "Smooth");
    EXPECT_EQ(S.Cell(1, 1), "0.0000");
    Sheet W(4);
    W.Grid.SetRows({"H", "A; %S"});
    EXPECT_EQ(W.Cell(1, 0), ""); // header gets no empty fields, the cell is cleared
    EXPECT_EQ(W.Cell(3, 1), "");
}

TEST(TxEntryGrid, RebuildDropsRowSettingsAndNotifiesTheTable) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetUnits(1, utPressure, 0, 2, ft_Fixed);
    S.Grid.SetRowEnabled(4, false);
    const int Before = S.Table.Rebuilds;
    S.Grid.SetRows(MainRows);
    EXPECT_EQ(S.Table.Rebuilds, Before + 1);
    EXPECT_EQ(AsNumField(S.Grid.Field(1))->UnitsType, utNone);
    EXPECT_TRUE(S.Grid.GetRowEnabled(4));
    EXPECT_EQ(S.Grid.Lines(), MainRows);
}

TEST(TxEntryGrid, OtherDelimiter) {
    Sheet S;
    S.Grid.SetDelim('|');
    S.Grid.SetRows({"H|V|U", "A; b|%0.1f|kPa||0|5"});
    EXPECT_EQ(S.Cell(0, 1), "A; b");
    EXPECT_EQ(KindOf(S.Grid.Field(1)), Kind::Num);
}

// ---------------------------------------------------------------------------
// The windows' sheets

TEST(TxEntryGridWindows, MainWindowRows) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    EXPECT_TRUE(S.Msgs.Messages.empty());
    EXPECT_EQ(S.Table.RowCount(), 10);
    EXPECT_EQ(S.Cell(0, 0), "Property");
    EXPECT_EQ(S.Cell(1, 0), "Value");
    EXPECT_EQ(S.Cell(2, 0), "Units");
    struct Expect {
        Kind K;
        int Editor;
        const char* Caption;
        const char* Value;
        const char* Unit;
        double Lo, Hi;
    };
    const Expect Rows[] = {
        {Kind::Num, 1, "Barometer", "0.000", "kPa", 70, 120},
        {Kind::Pair, 1, "Average Temperature", "0.0/0.0", "°C", -60, 90},
        {Kind::Enum, 2, "Duct Roughness", "Smooth", "", 0, 0},
        {Kind::Num, 0, "Pressure Rate", "0.000", "Pa/m", 0.01, 100},
        {Kind::Num, 0, "Volume Flow", "0.000", "m³/s", 0.01, 576},
        {Kind::Num, 0, "Round Duct Velocity", "0.0", "m/s", 0.001, 100},
        {Kind::Num, 0, "Equivalent Diameter", "0", "mm", 50, 2400},
        {Kind::Num, 0, "Clear Height", "0", "mm", 50, 2400},
        {Kind::Num, 0, "Clear Width", "0", "mm", 50, 2400},
    };
    for (int R = 1; R <= 9; ++R) {
        SCOPED_TRACE(R);
        const Expect& E = Rows[R - 1];
        const TField* F = S.Grid.Field(R);
        EXPECT_EQ(KindOf(F), E.K);
        EXPECT_EQ(F->EditorKind, E.Editor);
        EXPECT_EQ(S.Cell(0, R), E.Caption);
        EXPECT_EQ(S.Cell(1, R), E.Value);
        EXPECT_EQ(S.Cell(2, R), E.Unit);
        EXPECT_DOUBLE_EQ(S.Grid.GetRangeLo(R), E.Lo);
        EXPECT_DOUBLE_EQ(S.Grid.GetRangeHi(R), E.Hi);
    }
    EXPECT_EQ(
        AsEnumField(S.Grid.Field(3))->Items,
        (std::vector<std::string>{"Smooth", "Medium Smooth", "Average", "Medium Rough", "Rough"}));
    EXPECT_EQ(S.Grid.Field(2)->FormatStr, "%0.1f/%0.1f");
}

void GiveMainUnits(TEntryGridModel& G, bool Imperial) {
    G.SetUnits(1, utPressure, 0, Imperial ? 2 : 0, ft_Fixed, 1, 0);
    G.SetUnits(2, utTemperature, 0, Imperial ? 1 : 0, ft_Fixed, 1, 0);
    G.SetUnits(4, utPressureRateGas, 0, Imperial ? 2 : 0, ft_Fixed, 1, 0);
    G.SetUnits(5, utAirFlowPrim, 0, Imperial ? 4 : 0, ft_Fixed, 1, 0);
    G.SetUnits(6, utVelocity, 0, Imperial ? 1 : 0, ft_Fixed, 1, 0);
    for (int R = 7; R <= 9; ++R)
        G.SetUnits(R, utLengthPrim, 2, Imperial ? 3 : 2, ft_Fixed, 1, 0);
}

TEST(TxEntryGridWindows, MainWindowMetricAndImperial) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    GiveMainUnits(S.Grid, false);
    S.Grid.SetValue(1, 1, 101.325);
    S.Grid.SetValue(1, 2, std::string("19.5/13.4"));
    S.Grid.SetValue(1, 3, 2LL);
    S.Grid.SetValue(1, 4, 1.0);
    S.Grid.SetValue(1, 5, 5.0);
    S.Grid.SetValue(1, 6, 7.0);
    S.Grid.SetValue(1, 7, 600.0);
    EXPECT_EQ(S.Cell(1, 7), "600.0");
    EXPECT_EQ(S.Cell(2, 7), "mm");
    EXPECT_EQ(S.Cell(1, 3), "Average");
    EXPECT_TRUE(S.Msgs.Messages.empty());

    GiveMainUnits(S.Grid, true);
    const char* Units[] = {"Psi", "°F", "", "iwg/100'", "cfm", "fpm", "inch", "inch", "inch"};
    for (int R = 1; R <= 9; ++R)
        EXPECT_EQ(S.Cell(2, R), Units[R - 1]) << R;
    EXPECT_EQ(S.Cell(1, 7), "23.62");
    EXPECT_EQ(S.Cell(1, 1), "14.6959");
    EXPECT_EQ(S.Cell(1, 2), "67.1/56.1");
    EXPECT_EQ(S.Cell(1, 5), "10594.40");
    // Base values are unchanged up to the rounding of the shown format.
    EXPECT_NEAR(S.Number(1), 101.325, 0.0001 / 0.145);
    EXPECT_NEAR(S.Number(7), 600.0, 0.005 / 0.03937);
    EXPECT_EQ(S.Text(2), "19.5/13.4");
    EXPECT_DOUBLE_EQ(S.Grid.GetRangeHi(7), 2400 * 0.03937007874015748);

    GiveMainUnits(S.Grid, false);
    EXPECT_EQ(S.Cell(1, 7), "599.9"); // 23.62 inch read back in mm
    EXPECT_EQ(S.Cell(1, 1), "101.325");
    EXPECT_EQ(S.Cell(1, 2), "19.5/13.4");
}

TEST(TxEntryGridWindows, RoughnessDialogRows) {
    Sheet S(2);
    S.Grid.SetRows(RoughRows);
    EXPECT_TRUE(S.Msgs.Messages.empty());
    EXPECT_EQ(S.Cell(0, 0), "Category");
    EXPECT_EQ(S.Cell(1, 0), "mm");
    const double Defaults[] = {0.03, 0.09, 0.15, 0.9, 3.0};
    const char* Shown[] = {"0.0300", "0.0900", "0.1500", "0.9000", "3.0000"};
    for (int R = 1; R <= 5; ++R) {
        SCOPED_TRACE(R);
        const TNumField* N = AsNumField(S.Grid.Field(R));
        ASSERT_NE(N, nullptr);
        EXPECT_EQ(AsDelimNumField(N), nullptr);
        EXPECT_EQ(N->RangeLo, 0);
        EXPECT_EQ(N->RangeHi, 0);
        EXPECT_EQ(N->EditorKind, 0);
        EXPECT_FALSE(S.Grid.HasUnits(R));
        EXPECT_EQ(S.Cell(1, R), "0.0000");
        S.Grid.SetValue(1, R, Defaults[R - 1]);
        EXPECT_EQ(S.Cell(1, R), Shown[R - 1]);
        EXPECT_DOUBLE_EQ(S.Number(R), Defaults[R - 1]);
    }
    S.Grid.SetValue(1, 3, 0.12345);
    EXPECT_EQ(S.Cell(1, 3), "0.1235");
    EXPECT_DOUBLE_EQ(S.Number(3), 0.1235);
    S.Grid.SetValue(1, 3, -0.5); // no range check: negatives are taken
    EXPECT_DOUBLE_EQ(S.Number(3), -0.5);
}

// ---------------------------------------------------------------------------
// Values

TEST(TxEntryGrid, ValueThroughFormat) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetValue(1, 1, 101.3254);
    EXPECT_EQ(S.Number(1), 101.325);
    S.Grid.SetValue(1, 1, std::string("abc"));
    EXPECT_EQ(S.Cell(1, 1), ""); // unconvertible: empty cell
    S.Table.SetCell(1, 1, "abc");
    EXPECT_EQ(S.Text(1), "abc"); // unreadable: the cell text
    S.Grid.SetValue(0, 1, 2.5);  // other columns take the value's text
    EXPECT_EQ(S.Cell(0, 1), "2.5");
    EXPECT_EQ(std::get<std::string>(S.Grid.GetValue(2, 1)), "kPa");
    EXPECT_TRUE(S.Msgs.Messages.empty());
}

TEST(TxEntryGrid, ValueRedrawsTheCell) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    const int Before = S.Table.Redraws;
    S.Grid.SetValue(1, 1, 100.0);
    EXPECT_GT(S.Table.Redraws, Before);
}

TEST(TxEntryGrid, RowsOutsideTheSheet) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    for (int R : {-1, 10, 1000}) {
        SCOPED_TRACE(R);
        EXPECT_EQ(std::get<std::string>(S.Grid.GetValue(1, R)), "");
        S.Grid.SetValue(1, R, 5.0); // writes nothing
        EXPECT_TRUE(S.Grid.GetRowEnabled(R));
        EXPECT_THROW(S.Grid.GetRangeLo(R), ERowIndexError);
        EXPECT_THROW(S.Grid.GetRangeHi(R), ERowIndexError);
        EXPECT_THROW(S.Grid.GetUnitsValue(R), ERowIndexError);
        EXPECT_THROW(S.Grid.SetUnitsValue(R, 1), ERowIndexError);
        EXPECT_THROW(S.Grid.HasUnits(R), ERowIndexError);
    }
    EXPECT_EQ(std::get<std::string>(S.Grid.GetValue(7, 1)), ""); // column outside
    S.Msgs.Messages.clear();
    S.Grid.SetUnits(10, utPressure, 0, 0, ft_Fixed);
    S.Grid.SetSigDigs(10, 3);
    S.Grid.SetPropEditor(10, nullptr);
    S.Grid.SetRowEnabled(10, false);
    S.Grid.SetRowEnabled(-2, false);
    EXPECT_EQ(S.Msgs.Messages, (std::vector<std::string>{"Error setting units, row 10",
                                                         "Error setting significant digits, row 10",
                                                         "Error setting property editor, row 10",
                                                         "Error setting enabled row 10",
                                                         "Error setting enabled row -2"}));
    EXPECT_EQ(S.Msgs.Kinds[0], TRowMessageKind::Plain);
}

// ---------------------------------------------------------------------------
// Units

TEST(TxEntryGrid, SetUnitsOnEnumRowReportsAndChangesNothing) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetValue(1, 3, 4LL);
    S.Grid.SetUnits(3, utPressure, 0, 1, ft_Fixed);
    EXPECT_EQ(S.Msgs.Messages, (std::vector<std::string>{"Error setting units, row 3"}));
    EXPECT_EQ(S.Cell(1, 3), "Rough");
    EXPECT_EQ(S.Cell(2, 3), "");
    S.Grid.SetSigDigs(3, 2);
    EXPECT_EQ(S.Msgs.Messages.back(), "Error setting significant digits, row 3");
}

TEST(TxEntryGrid, PressureRateSameBaseValueInEveryUnit) {
    for (int K = 0; K < UnitsCount(utPressureRateGas); ++K) {
        SCOPED_TRACE(K);
        Sheet S;
        S.Grid.SetRows(MainRows);
        S.Grid.SetValue(1, 4, 0.85);
        S.Grid.SetUnits(4, utPressureRateGas, 0, K, ft_Fixed, 1, 0);
        EXPECT_EQ(S.Cell(2, 4), UnitsCaption(utPressureRateGas, K));
        EXPECT_EQ(S.Grid.GetUnitsValue(4), K);
        EXPECT_TRUE(S.Grid.HasUnits(4));
        // Within half a unit of the shown format's last decimal.
        const double Factor = UnitsEntry(utPressureRateGas, K)->Factor;
        const int Dec = FormatStrDecimals(UnitsFormatStr(utPressureRateGas, K));
        EXPECT_NEAR(S.Number(4), 0.85, 0.5 * std::pow(10.0, -Dec) / Factor + 1e-12);
    }
}

TEST(TxEntryGrid, SetUnitsBadIndexFallsBackToIndexZero) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetValue(1, 5, 5.0);
    S.Grid.SetUnits(5, utAirFlowPrim, 0, 9, ft_Fixed);
    EXPECT_TRUE(S.Msgs.Messages.empty()); // first failure is silent
    EXPECT_EQ(S.Grid.GetUnitsValue(5), 0);
    EXPECT_EQ(S.Cell(2, 5), "m³/s");
    EXPECT_EQ(S.Cell(1, 5), "5.000");
}

TEST(TxEntryGrid, SetUnitsSecondFailureReportsAndKeepsTheRow) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetUnits(5, utAirFlowPrim, 0, 3, ft_Fixed);
    S.Grid.SetValue(1, 5, 5.0);
    S.Grid.SetUnits(5, utAirFlowPrim, 7, 1, ft_Fixed); // base index outside the list
    EXPECT_EQ(S.Msgs.Messages, (std::vector<std::string>{"Error setting units, row 5"}));
    const TNumField* N = AsNumField(S.Grid.Field(5));
    EXPECT_EQ(N->UnitsBase, 0);
    EXPECT_EQ(N->UnitsValue, 3);
    EXPECT_EQ(S.Cell(1, 5), "5000");
    EXPECT_DOUBLE_EQ(S.Number(5), 5.0);
    // A private conversion without a units type must have a usable factor.
    S.Grid.SetUnits(5, utNone, 0, 0, ft_Fixed, 0.0, 0.0);
    EXPECT_EQ(S.Msgs.Messages.back(), "Error setting units, row 5");
    EXPECT_DOUBLE_EQ(S.Number(5), 5.0);
}

TEST(TxEntryGrid, SetUnitsWithoutTypeUsesGivenFactor) {
    Sheet S;
    S.Grid.SetRows({"H; V; U", "A; %0.1f; ; ; 0.05; 2.4"});
    S.Grid.SetValue(1, 1, 0.5);
    S.Grid.SetUnits(1, utNone, 0, 0, ft_Fixed, 1000, 0);
    EXPECT_EQ(S.Cell(1, 1), "500.0"); // format kept, value re-shown
    EXPECT_DOUBLE_EQ(S.Grid.GetRangeLo(1), 50);
    EXPECT_DOUBLE_EQ(S.Grid.GetRangeHi(1), 2400);
    EXPECT_FALSE(S.Grid.HasUnits(1));
    EXPECT_DOUBLE_EQ(S.Number(1), 0.5);
}

TEST(TxEntryGrid, ManualFormatSurvivesUnitsChange) {
    Sheet S;
    S.Grid.SetRows({"H; V; U", "A; %0.3f; ; ; 0; 0"});
    S.Grid.SetUnits(1, utLengthPrim, 0, 2, ft_Manual);
    S.Grid.SetValue(1, 1, 0.5);
    EXPECT_EQ(S.Cell(1, 1), "500.000");
    S.Grid.SetUnits(1, utLengthPrim, 0, 2, ft_Fixed);
    EXPECT_EQ(S.Cell(1, 1), "500.0");
}

TEST(TxEntryGrid, SetUnitsValue) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    GiveMainUnits(S.Grid, false);
    S.Grid.SetValue(1, 6, 10.0);
    S.Grid.SetUnitsValue(6, 1);
    EXPECT_EQ(S.Cell(1, 6), "1968.5");
    EXPECT_EQ(S.Cell(2, 6), "fpm");
    S.Grid.SetUnitsValue(6, 5); // outside the list: back to index 0
    EXPECT_EQ(S.Grid.GetUnitsValue(6), 0);
    EXPECT_EQ(S.Cell(1, 6), "10.00");
    S.Grid.SetUnitsValue(3, 1); // not numeric: ignored
    EXPECT_TRUE(S.Msgs.Messages.empty());
}

// The name and unit a cue gives for a row: what the sheet shows, also when a
// two-column sheet carries the unit in the caption.
TEST(TxEntryGrid, RowCaptionAndUnitCaptionAsShown) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetUnits(5, utAirFlowPrim, 0, 1, ft_Fixed);
    EXPECT_EQ(S.Grid.RowCaption(5), "Volume Flow");
    EXPECT_EQ(S.Grid.RowUnitCaption(5), UnitsCaption(utAirFlowPrim, 1));
    EXPECT_EQ(S.Grid.RowUnitCaption(2), "°C");
    EXPECT_EQ(S.Grid.RowCaption(99), "");
    EXPECT_EQ(S.Grid.RowUnitCaption(-1), "");
    Sheet T(2);
    T.Grid.SetRows({"Category; Value", "Length, mm; %0.1f; ; ; 0; 0", "Width; %0.1f; ; ; 0; 0"});
    T.Grid.SetUnits(1, utLengthPrim, 2, 3, ft_Fixed);
    EXPECT_EQ(T.Grid.RowCaption(1), "Length");
    EXPECT_EQ(T.Grid.RowUnitCaption(1), UnitsCaption(utLengthPrim, 3));
    EXPECT_EQ(T.Grid.RowCaption(2), "Width");
    EXPECT_EQ(T.Grid.RowUnitCaption(2), "");
}

TEST(TxEntryGrid, TwoColumnCaptionRule) {
    Sheet S(2);
    S.Grid.SetRows({"Category; Value", "Length, mm; %0.1f; ; ; 0; 0", "Width; %0.1f; ; ; 0; 0"});
    S.Grid.SetUnits(1, utLengthPrim, 2, 3, ft_Fixed);
    S.Grid.SetUnits(2, utLengthPrim, 2, 3, ft_Fixed);
    EXPECT_EQ(S.Cell(0, 1), "Length,inch");
    EXPECT_EQ(S.Cell(0, 2), "Width");
    S.Grid.SetUnits(1, utLengthPrim, 2, 2, ft_Fixed);
    EXPECT_EQ(S.Cell(0, 1), "Length,mm");
    EXPECT_TRUE(S.Msgs.Messages.empty());
}

TEST(TxEntryGrid, NegativeUnitsColumnWritesNoCaption) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetUnitsColumn(-1);
    S.Grid.SetUnits(1, utPressure, 0, 1, ft_Fixed);
    EXPECT_EQ(S.Cell(2, 1), "kPa");
    EXPECT_EQ(S.Grid.UnitsColumn(), -1);
}

TEST(TxEntryGrid, SigDigsApplyFromNextSetValue) {
    Sheet S;
    S.Grid.SetRows({"H; V; U", "A; %0.3f; ; ; 0; 1", "B; %0.3f; ; ; 0; 1"});
    S.Grid.SetUnits(2, utNone, 0, 0, ft_Auto, 1, 0);
    S.Grid.SetValue(1, 2, 0.05);
    EXPECT_EQ(S.Cell(1, 2), "0.0500");
    S.Grid.SetSigDigs(2, 6);
    EXPECT_EQ(S.Cell(1, 2), "0.0500");
    S.Grid.SetValue(1, 2, 1234.5678);
    EXPECT_EQ(S.Cell(1, 2), "1234.57");
    S.Grid.SetUnits(1, utNone, 0, 0, ft_AutoOverride, 1, 0);
    S.Grid.SetValue(1, 1, 0.05);
    EXPECT_EQ(S.Cell(1, 1), "0.0500");
    S.Grid.SetValue(1, 1, 0.1);
    EXPECT_EQ(S.Cell(1, 1), "0.100");
}

// Every unit of the kinds the windows show: a value written and read back
// stays within the rounding of the unit's format, and writing what was read
// leaves the cell unchanged.
struct KindCase {
    TUnitsType Type;
    double Base;
};

class UnitsRoundTrip : public ::testing::TestWithParam<KindCase> {};

TEST_P(UnitsRoundTrip, EveryUnit) {
    const KindCase& C = GetParam();
    for (int K = 0; K < UnitsCount(C.Type); ++K) {
        SCOPED_TRACE(UnitsCaption(C.Type, K));
        Sheet S;
        S.Grid.SetRows({"H; V; U", "A; %0.3f; ; ; 0; 0"});
        S.Grid.SetUnits(1, C.Type, 0, K, ft_Fixed);
        S.Grid.SetValue(1, 1, C.Base);
        const std::string Shown = S.Cell(1, 1);
        ASSERT_FALSE(Shown.empty());
        const double Back = S.Number(1);
        const TUnitEntry* U = UnitsEntry(C.Type, K);
        const std::string Fmt = U->FormatStr;
        double Tol;
        if (IsGeneralFormat(Fmt)) {
            const int P = FormatStrDecimals(Fmt);
            Tol = std::fabs(C.Base) * 0.5 * std::pow(10.0, 1 - P);
        } else {
            Tol = 0.5 * std::pow(10.0, -FormatStrDecimals(Fmt)) / U->Factor;
        }
        EXPECT_NEAR(Back, C.Base, Tol * (1 + 1e-9) + 1e-12);
        S.Grid.SetValue(1, 1, Back);
        EXPECT_EQ(S.Cell(1, 1), Shown);
        EXPECT_TRUE(S.Msgs.Messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    TxEntryGrid, UnitsRoundTrip,
    ::testing::Values(KindCase{utAirFlowPrim, 5.123}, KindCase{utAirPressDrop, 0.25},
                      KindCase{utPressure, 101.325}, KindCase{utAltitude, 1234.56},
                      KindCase{utDensity, 1.2041}, KindCase{utEnthalpy, 55.37},
                      KindCase{utHumidity, 0.0087}, KindCase{utLengthPrim, 0.6},
                      KindCase{utPressureBar, 95.46}, KindCase{utPressureRateGas, 0.85},
                      KindCase{utProportion, 0.55}, KindCase{utSpecificHeat, 1.006},
                      KindCase{utTemperature, 21.7}, KindCase{utTemperature, -40.0},
                      KindCase{utVelocity, 7.3}));

TEST(TxEntryGrid, PairRowRoundTripInEveryTemperatureUnit) {
    for (int K = 0; K < 3; ++K) {
        SCOPED_TRACE(K);
        Sheet S;
        S.Grid.SetRows(MainRows);
        S.Grid.SetUnits(2, utTemperature, 0, K, ft_Fixed);
        S.Grid.SetValue(1, 2, std::string("19.5/13.4"));
        const std::string Shown = S.Cell(1, 2);
        double A = 0, B = 0;
        ASSERT_TRUE(ParseNumberPair(S.Text(2), A, B));
        EXPECT_NEAR(A, 19.5, 0.06);
        EXPECT_NEAR(B, 13.4, 0.06);
        S.Grid.SetValue(1, 2, S.Text(2));
        EXPECT_EQ(S.Cell(1, 2), Shown);
    }
}

TEST(TxEntryGrid, OtherKindsRoundTrip) {
    Sheet S;
    S.Grid.SetRows({"H; V; U", "E; enum; ; a; b; c", "C; check", "T; %S", "I; %d; ; ; 0; 100"});
    for (long long I = 0; I < 3; ++I) {
        S.Grid.SetValue(1, 1, I);
        EXPECT_EQ(std::get<long long>(S.Grid.GetValue(1, 1)), I);
    }
    for (bool B : {true, false}) {
        S.Grid.SetValue(1, 2, B);
        EXPECT_EQ(std::get<bool>(S.Grid.GetValue(1, 2)), B);
    }
    S.Grid.SetValue(1, 3, std::string("free text; with ° and /"));
    EXPECT_EQ(S.Text(3), "free text; with ° and /");
    S.Grid.SetValue(1, 4, 2.6);
    EXPECT_EQ(S.Cell(1, 4), "3");
    EXPECT_EQ(std::get<long long>(S.Grid.GetValue(1, 4)), 3);
}

// ---------------------------------------------------------------------------
// Row settings and the current-row state

TEST(TxEntryGrid, EnabledRows) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    const int Before = S.Table.Repaints;
    S.Grid.SetRowEnabled(4, false);
    EXPECT_FALSE(S.Grid.GetRowEnabled(4));
    EXPECT_GT(S.Table.Repaints, Before);
    EXPECT_FALSE(S.Grid.CanEditCell(1, 4));
    EXPECT_TRUE(S.Grid.CanEditCell(1, 5));
    EXPECT_FALSE(S.Grid.CanEditCell(1, 3)); // enumeration
    EXPECT_FALSE(S.Grid.CanEditCell(0, 5));
    EXPECT_FALSE(S.Grid.CanEditCell(2, 5));
    EXPECT_FALSE(S.Grid.CanEditCell(1, 0));
}

TEST(TxEntryGrid, AidsForRow) {
    Sheet S;
    S.Grid.SetRows({"H; V; U", "A; %0.1f; ; PE; 0; 1", "B; %0.1f; ; Spin; 0; 1", "C; enum; ; x",
                    "D; check", "E; %S"});
    EXPECT_TRUE(S.Grid.AidsForRow(1).PropEditor);
    EXPECT_FALSE(S.Grid.AidsForRow(1).Spin);
    EXPECT_TRUE(S.Grid.AidsForRow(2).Spin);
    EXPECT_TRUE(S.Grid.AidsForRow(3).PullDown);
    EXPECT_FALSE(S.Grid.AidsForRow(3).PropEditor);
    EXPECT_TRUE(S.Grid.AidsForRow(4).CheckBox);
    const TRowAids None = S.Grid.AidsForRow(5);
    EXPECT_FALSE(None.PropEditor || None.Spin || None.PullDown || None.CheckBox);
    S.Grid.SetPropEditor(3, [](TFieldValue&) { return 1; });
    EXPECT_TRUE(S.Grid.AidsForRow(3).PropEditor && S.Grid.AidsForRow(3).PullDown);
    S.Grid.SetRowEnabled(2, false);
    EXPECT_FALSE(S.Grid.AidsForRow(2).Spin); // disabled rows offer no aid
    EXPECT_FALSE(S.Grid.AidsForRow(9).PullDown);
}

TEST(TxEntryGrid, CurrentRowState) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    GiveMainUnits(S.Grid, false);
    S.Grid.SelectCell(1, 7);
    EXPECT_EQ(S.Grid.CurrentRow(), 7);
    EXPECT_EQ(S.Grid.CurrentNumField(), S.Grid.Field(7));
    EXPECT_EQ(S.Grid.CurrentFormatStr(), "%0.1f");
    EXPECT_EQ(S.Grid.CurrentFormatType(), ft_Fixed);
    EXPECT_DOUBLE_EQ(S.Grid.CurrentRangeLo(), 50);
    EXPECT_DOUBLE_EQ(S.Grid.CurrentRangeHi(), 2400);
    // A units change of the current row moves its limits and format.
    S.Grid.SetUnits(7, utLengthPrim, 2, 3, ft_Fixed);
    EXPECT_EQ(S.Grid.CurrentFormatStr(), "%0.2f");
    EXPECT_NEAR(S.Grid.CurrentRangeHi(), 94.488, 0.001);
    // ... while a units change of another row leaves them alone.
    S.Grid.SetUnits(1, utPressure, 0, 1, ft_Fixed);
    EXPECT_NEAR(S.Grid.CurrentRangeHi(), 94.488, 0.001);

    S.Grid.SelectCell(1, 3);
    EXPECT_EQ(S.Grid.CurrentEnumField(), S.Grid.Field(3));
    EXPECT_EQ(S.Grid.CurrentNumField(), nullptr);
    EXPECT_EQ(S.Grid.CurrentFormatStr(), "");
    EXPECT_EQ(S.Grid.CurrentRangeHi(), 0);
    S.Grid.SelectCell(2, 1); // units column: nothing changes
    EXPECT_EQ(S.Grid.CurrentRow(), 3);
    S.Grid.SetRowEnabled(5, false);
    S.Grid.SelectCell(1, 5);
    EXPECT_EQ(S.Grid.CurrentField(), S.Grid.Field(5));
    EXPECT_EQ(S.Grid.CurrentNumField(), nullptr);
    EXPECT_EQ(S.Grid.CurrentRangeHi(), 0);
    S.Grid.SetRows(MainRows); // rebuilding forgets the current field
    EXPECT_EQ(S.Grid.CurrentField(), nullptr);
    EXPECT_EQ(S.Grid.CurrentFormatStr(), "%S");
}

struct SpinCase {
    const char* Name;
    double Start;
    bool Up;
    double Lo, Hi, Step;
    double Expect;
    bool Changed;
};

class SpinRow : public ::testing::TestWithParam<SpinCase> {};

TEST_P(SpinRow, Steps) {
    const SpinCase& C = GetParam();
    Sheet S;
    S.Grid.SetLines({"H; V; U", "A; %0.2f; ; Spin; " + ValueAsText(C.Lo) + "; " +
                                    ValueAsText(C.Hi) + "; " + ValueAsText(C.Step)});
    S.Grid.SetValue(1, 1, C.Start);
    S.Grid.SelectCell(1, 1);
    EXPECT_EQ(S.Grid.Spin(C.Up), C.Changed);
    EXPECT_DOUBLE_EQ(S.Number(1), C.Expect);
}

INSTANTIATE_TEST_SUITE_P(
    TxEntryGrid, SpinRow,
    ::testing::Values(SpinCase{"UpFromHalf", 2.5, true, -10, 10, 1, 3, true},
                      SpinCase{"DownFromHalf", 2.5, false, -10, 10, 1, 2, true},
                      SpinCase{"UpFromNegativeHalf", -2.5, true, -10, 10, 1, -2, true},
                      SpinCase{"DownFromNegativeHalf", -2.5, false, -10, 10, 1, -3, true},
                      SpinCase{"UpFromWhole", 2, true, -10, 10, 1, 3, true},
                      SpinCase{"DownFromWhole", 2, false, -10, 10, 1, 1, true},
                      SpinCase{"UpClampsToHigh", 119.5, true, 70, 120, 1, 120, true},
                      SpinCase{"UpAtHighDoesNothing", 120, true, 70, 120, 1, 120, false},
                      SpinCase{"DownAtLowDoesNothing", 70, false, 70, 120, 1, 70, false},
                      SpinCase{"HalfSteps", 1.2, true, 0, 10, 0.5, 1.5, true},
                      SpinCase{"NoLimitsNoClamp", 5, true, 0, 0, 1, 6, true},
                      // 0.3 / 0.1 and 0.7 / 0.1 fall just short of whole numbers.
                      SpinCase{"TenthStepUpFromMultiple", 0.3, true, 0, 10, 0.1, 0.4, true},
                      SpinCase{"TenthStepDownFromMultiple", 0.3, false, 0, 10, 0.1, 0.2, true},
                      SpinCase{"TenthStepUpFromSeven", 0.7, true, 0, 10, 0.1, 0.8, true},
                      SpinCase{"TenthStepUpBetween", 0.35, true, 0, 10, 0.1, 0.4, true},
                      SpinCase{"NegativeTenthStepDown", -0.3, false, -10, 10, 0.1, -0.4, true}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(TxEntryGrid, SpinNeedsANumberField) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SelectCell(1, 3);
    EXPECT_FALSE(S.Grid.Spin(true));
    S.Grid.SelectCell(1, 2); // pair row: value is a text
    EXPECT_FALSE(S.Grid.Spin(true));
}

TEST(TxEntryGrid, EnumStepsWrap) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetValue(1, 3, 4LL);
    EXPECT_TRUE(S.Grid.StepEnum(3, true));
    EXPECT_EQ(S.Cell(1, 3), "Smooth");
    EXPECT_TRUE(S.Grid.StepEnum(3, false));
    EXPECT_EQ(S.Cell(1, 3), "Rough");
    S.Table.SetCell(1, 3, "unknown");
    EXPECT_TRUE(S.Grid.StepEnum(3, true));
    EXPECT_EQ(S.Cell(1, 3), "Smooth");
    S.Table.SetCell(1, 3, "unknown");
    EXPECT_TRUE(S.Grid.StepEnum(3, false));
    EXPECT_EQ(S.Cell(1, 3), "Rough");
    EXPECT_FALSE(S.Grid.StepEnum(1, true)); // not an enumeration
    S.Grid.SetRowEnabled(3, false);
    EXPECT_FALSE(S.Grid.StepEnum(3, true));
}

TEST(TxEntryGrid, PropertyEditor) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    S.Grid.SetValue(1, 1, 101.325);
    EXPECT_EQ(S.Grid.RunPropEditor(1), 0); // "PE" flag but no handler yet
    S.Grid.SetPropEditor(1, [](TFieldValue& V) {
        V = ValueAsNumber(V) - 1.0;
        return 2;
    });
    EXPECT_EQ(S.Grid.RunPropEditor(1), 2);
    EXPECT_EQ(S.Cell(1, 1), "101.325"); // cancelled
    S.Grid.SetPropEditor(1, [](TFieldValue& V) {
        V = ValueAsNumber(V) - 1.0;
        return 1;
    });
    EXPECT_EQ(S.Grid.RunPropEditor(1), 1);
    EXPECT_EQ(S.Cell(1, 1), "100.325");
    // Any row can get one; it makes the row a property-editor row.
    S.Grid.SetPropEditor(4, [](TFieldValue&) { return 1; });
    EXPECT_EQ(S.Grid.Field(4)->EditorKind, ekPropEditor);
}

TEST(TxEntryGrid, UnitsPicker) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    GiveMainUnits(S.Grid, false);
    S.Grid.SetValue(1, 6, 10.0);
    EXPECT_FALSE(S.Grid.RunUnitsPicker(6, 0, 0)); // none installed
    int Calls = 0;
    S.Grid.SetUnitsPicker([&](TEntryGridModel& G, int Row, int, int, TField* F) {
        ++Calls;
        if (TNumField* N = AsNumField(F)) {
            N->UnitsValue = 1;
            G.ApplyUnits(Row, *N);
        }
    });
    ASSERT_TRUE(S.Grid.HasUnitsPicker());
    EXPECT_TRUE(S.Grid.RunUnitsPicker(6, 10, 20));
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(S.Cell(1, 6), "1968.5");
    EXPECT_EQ(S.Grid.CurrentFormatStr(), "%0.1f");
    S.Grid.ReshowValue(6);
    EXPECT_EQ(S.Cell(1, 6), "1968.5");
    EXPECT_FALSE(S.Grid.RunUnitsPicker(0, 0, 0)); // header row
    EXPECT_FALSE(S.Grid.RunUnitsPicker(99, 0, 0));
}

TEST(TxEntryGrid, ApplyUnitsRaisesAndChangesNothing) {
    Sheet S;
    S.Grid.SetRows(MainRows);
    GiveMainUnits(S.Grid, false);
    S.Grid.SetValue(1, 1, 101.325);
    TNumField* N = AsNumField(S.Grid.Field(1));
    N->UnitsValue = 42;
    EXPECT_THROW(S.Grid.ApplyUnits(1, *N), EUnitsError);
    EXPECT_EQ(S.Cell(1, 1), "101.325");
    EXPECT_EQ(N->FormatStr, "%0.3f");
}

} // namespace
