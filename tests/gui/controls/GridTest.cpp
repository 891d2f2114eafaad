// Grid control driven by key and mouse events: the in-place editor's
// commit and its events, navigation, column formats, sizing, the
// AlwaysShowCell highlight and the refused requests.
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <climits>

#include <gtest/gtest.h>

#include "GuiTestUtil.h"
#include "controls/TxGrids.h"

using namespace oravent::gui;
using oravent::gui::test::BeepCounter;

namespace {

struct GridWindow {
    QWidget Window;
    TxStringGrid* Grid;
    QLineEdit* Other;
    QStringList Log; // events in order
    GridWindow() {
        auto* L = new QVBoxLayout(&Window);
        Grid = new TxStringGrid(&Window);
        Other = new QLineEdit(&Window);
        L->addWidget(Grid);
        L->addWidget(Other);
        Window.resize(420, 260);
        QObject::connect(Grid, &TxCustomGrid::OnDoSetData, Grid, [this](int C, int R) {
            Log << QStringLiteral("DoSetData(%1,%2)").arg(C).arg(R);
        });
        QObject::connect(Grid, &TxCustomGrid::OnSelectCell, Grid, [this](int C, int R, bool&) {
            Log << QStringLiteral("SelectCell(%1,%2)").arg(C).arg(R);
        });
        for (int R = 0; R < Grid->RowCount(); ++R)
            for (int C = 0; C < Grid->ColCount(); ++C)
                Grid->SetCells(C, R, QStringLiteral("c%1r%2").arg(C).arg(R));
    }
    bool Show() {
        if (!test::ShowActive(Window)) return false;
        Grid->setFocus();
        QApplication::processEvents();
        Log.clear();
        return Grid->hasFocus();
    }
    void Click(int C, int R, Qt::KeyboardModifiers M = {}) {
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, M, Grid->CellRect(C, R).center());
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers M = {}) {
        QWidget* Target = QApplication::focusWidget() ? QApplication::focusWidget() : Grid;
        QTest::keyClick(Target, K, M);
    }
    // Each key goes to the widget that has the focus at that moment.
    void Type(const QString& S) {
        for (QChar Ch : S)
            QTest::keyClicks(QApplication::focusWidget(), QString(Ch));
    }
};

TEST(Grid, EnterWithTheEditorOpenCommitsOnceThenSelectsTheSameCell) {
    GridWindow W;
    ASSERT_TRUE(W.Show());
    W.Key(Qt::Key_Return); // opens the editor, fires nothing
    ASSERT_TRUE(W.Grid->EditorVisible());
    EXPECT_TRUE(W.Grid->InplaceEditor()->hasFocus());
    EXPECT_TRUE(W.Log.isEmpty());
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Log, (QStringList{"DoSetData(1,1)", "SelectCell(1,1)"}));
    EXPECT_FALSE(W.Grid->EditorVisible());
    EXPECT_TRUE(W.Grid->hasFocus());
    EXPECT_EQ(W.Grid->Cells(1, 1), QStringLiteral("c1r1"));
}

TEST(Grid, TypingOpensTheEditorWithTheCharacterAndEnterStoresIt) {
    GridWindow W;
    QSignalSpy SetTexts(W.Grid, &TxCustomGrid::OnSetEditText);
    ASSERT_TRUE(W.Show());
    W.Key(Qt::Key_Down);
    W.Type(QStringLiteral("hello"));
    ASSERT_TRUE(W.Grid->EditorVisible());
    EXPECT_EQ(W.Grid->InplaceEditor()->text(), QStringLiteral("hello"));
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Grid->Cells(1, 2), QStringLiteral("hello"));
    ASSERT_EQ(SetTexts.count(), 1);
    EXPECT_EQ(SetTexts[0], (QVariantList{1, 2, QStringLiteral("hello")}));
    EXPECT_EQ(W.Log, (QStringList{"SelectCell(1,2)", "DoSetData(1,2)", "SelectCell(1,2)"}));
}

TEST(Grid, EscapeRevertsAndClosesTheEditorWithoutCommitting) {
    GridWindow W;
    QSignalSpy SetTexts(W.Grid, &TxCustomGrid::OnSetEditText);
    ASSERT_TRUE(W.Show());
    W.Key(Qt::Key_Down);
    W.Type(QStringLiteral("hello"));
    ASSERT_TRUE(W.Grid->EditorVisible());
    W.Key(Qt::Key_Escape);
    EXPECT_FALSE(W.Grid->EditorVisible());
    EXPECT_FALSE(W.Grid->EditorMode());
    EXPECT_EQ(W.Grid->InplaceEditor()->text(), QStringLiteral("c1r2"));
    EXPECT_TRUE(W.Grid->hasFocus());
    // Moving on or leaving the grid stores nothing afterwards.
    W.Key(Qt::Key_Down);
    W.Other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(W.Grid->Cells(1, 2), QStringLiteral("c1r2"));
    EXPECT_EQ(SetTexts.count(), 0);
    EXPECT_EQ(W.Log, (QStringList{"SelectCell(1,2)", "SelectCell(1,3)"}));
    // F2 and Escape without typing: closed, nothing committed either.
    W.Grid->setFocus();
    W.Key(Qt::Key_F2);
    ASSERT_TRUE(W.Grid->EditorVisible());
    W.Key(Qt::Key_Escape);
    EXPECT_FALSE(W.Grid->EditorVisible());
    EXPECT_TRUE(W.Log.filter(QStringLiteral("DoSetData")).isEmpty());
}

// Escape cancels the cell being edited; with no cell being edited it is the
// window's (a dialog's Cancel).
TEST(Grid, EscapeWithoutAnEditorReachesTheDialog) {
    QDialog Dialog;
    auto* L = new QVBoxLayout(&Dialog);
    auto* Grid = new TxStringGrid(&Dialog);
    L->addWidget(Grid);
    ASSERT_TRUE(test::ShowActive(Dialog));
    Grid->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(Grid, QStringLiteral("x"));
    ASSERT_TRUE(Grid->EditorVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(Grid->EditorVisible());
    EXPECT_TRUE(Dialog.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Dialog.result(), QDialog::Rejected);
}

TEST(Grid, ClickOnTheCurrentCellOpensTheEditorAndAnotherCellCommitsFirst) {
    GridWindow W;
    ASSERT_TRUE(W.Show());
    W.Click(2, 2);
    EXPECT_EQ(W.Log, QStringList{"SelectCell(2,2)"});
    EXPECT_FALSE(W.Grid->EditorVisible());
    W.Click(2, 2);
    ASSERT_TRUE(W.Grid->EditorVisible());
    EXPECT_EQ(W.Grid->EditorCol(), 2);
    W.Type(QStringLiteral("x"));
    W.Log.clear();
    W.Click(3, 3);
    EXPECT_EQ(W.Grid->Cells(2, 2), QStringLiteral("x"));
    EXPECT_EQ(W.Log.first(), QStringLiteral("DoSetData(2,2)"));
    EXPECT_TRUE(W.Log.contains(QStringLiteral("SelectCell(3,3)")));
    EXPECT_EQ(W.Log.count(QStringLiteral("DoSetData(2,2)")), 1);
}

TEST(Grid, LeavingTheGridCommitsTheEditorOnce) {
    GridWindow W;
    ASSERT_TRUE(W.Show());
    W.Key(Qt::Key_F2);
    ASSERT_TRUE(W.Grid->EditorVisible());
    EXPECT_EQ(W.Grid->InplaceEditor()->cursorPosition(), 4); // caret at the end
    W.Type(QStringLiteral("Z"));
    W.Other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(W.Log, QStringList{"DoSetData(1,1)"});
    EXPECT_EQ(W.Grid->Cells(1, 1), QStringLiteral("c1r1Z"));
    EXPECT_FALSE(W.Grid->EditorVisible());
    EXPECT_FALSE(W.Grid->EditorMode());
}

TEST(Grid, ColumnFormatFiltersAndFormatsTheEditor) {
    GridWindow W;
    W.Grid->SetColFormatStr(2, QStringLiteral("%0.2f"));
    W.Grid->SetCells(2, 1, QStringLiteral("0.00"));
    ASSERT_TRUE(W.Show());
    BeepCounter Beeps;
    W.Key(Qt::Key_Right);
    W.Type(QStringLiteral("3.14159x"));
    EXPECT_EQ(Beeps.Count(), 1);
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Grid->Cells(2, 1), QStringLiteral("3.14"));
    // The default "%S" column takes any text unchanged.
    W.Key(Qt::Key_Left);
    W.Type(QStringLiteral("a b/c.e"));
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Grid->Cells(1, 1), QStringLiteral("a b/c.e"));
    EXPECT_EQ(Beeps.Count(), 1);
}

TEST(Grid, DefaultColumnFormatIsCutToTwelveCharactersForEveryColumn) {
    TxStringGrid G;
    G.SetColFormatStr(3, QStringLiteral("%d"));
    G.SetDefaultColFormatStr(QStringLiteral("%0.3f plus some more"));
    for (int C = 0; C < G.ColCount(); ++C)
        EXPECT_EQ(G.ColFormatStr(C), QStringLiteral("%0.3f plus s"));
    G.SetColFormatStr(1, QStringLiteral("12345678901234"));
    EXPECT_EQ(G.ColFormatStr(1), QStringLiteral("123456789012"));
    EXPECT_EQ(G.ColFormatStrList().size(), 5);
}

TEST(Grid, RowListFillsOnlyTheColumnsThatExistAndRefusesInsertAndDelete) {
    TxStringGrid G;
    G.SetColCount(3);
    G.Rows(1).Assign({"a", "b", "c", "d", "e"});
    EXPECT_EQ(G.Rows(1).ToList(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(G.Cols(1).Get(1), QStringLiteral("b"));
    try {
        G.Rows(1).Insert(0, QStringLiteral("x"));
        ADD_FAILURE();
    } catch (const EGridError& E) {
        EXPECT_STREQ(E.what(), "Cannot insert or delete rows from grid");
    }
    EXPECT_THROW(G.Cols(0).Delete(0), EGridError);
}

TEST(Grid, WidthChangesFireOnColWidthsChanged) {
    GridWindow W;
    QSignalSpy Changes(W.Grid, &TxCustomGrid::OnColWidthsChanged);
    W.Grid->SetColWidths(1, 30);
    EXPECT_EQ(W.Grid->ColWidthsList().at(1), QStringLiteral("30"));
    W.Grid->SetDefaultColWidth(50);
    EXPECT_EQ(Changes.count(), 2);
    EXPECT_TRUE(W.Grid->ColWidthsList().isEmpty()); // per-column widths discarded
    EXPECT_EQ(W.Grid->ColWidths(3), 50);
    // Dragging the header line of column 1 with column sizing on.
    W.Grid->SetOptions(W.Grid->Options() | xgoColSizing);
    ASSERT_TRUE(W.Show());
    const QRect R = W.Grid->CellRect(1, 0);
    const QPoint Line(R.right() + 1, R.center().y());
    QTest::mousePress(W.Grid->viewport(), Qt::LeftButton, {}, Line);
    QTest::mouseMove(W.Grid->viewport(), Line + QPoint(25, 0));
    QTest::mouseRelease(W.Grid->viewport(), Qt::LeftButton, {}, Line + QPoint(25, 0));
    EXPECT_EQ(W.Grid->ColWidths(1), 75);
    EXPECT_EQ(Changes.count(), 3);
}

struct NavCase {
    const char* Name;
    std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> Keys;
    int Col, Row;
    bool Tabs;
};

class GridNavigation : public ::testing::TestWithParam<NavCase> {};

TEST_P(GridNavigation, KeysMoveTheCurrentCell) {
    const NavCase& C = GetParam();
    GridWindow W;
    if (C.Tabs) W.Grid->SetOptions(W.Grid->Options() | xgoTabs);
    ASSERT_TRUE(W.Show());
    for (const auto& [K, M] : C.Keys)
        W.Key(K, M);
    EXPECT_EQ(W.Grid->Col(), C.Col);
    EXPECT_EQ(W.Grid->Row(), C.Row);
}

const NavCase NavCases[] = {
    {"ArrowsMoveByOne",
     {{Qt::Key_Down, {}}, {Qt::Key_Right, {}}, {Qt::Key_Right, {}}},
     3,
     2,
     false},
    {"FixedCellsAreNeverCurrent", {{Qt::Key_Up, {}}, {Qt::Key_Left, {}}}, 1, 1, false},
    {"HomeAndEndGoToFirstAndLastColumn", {{Qt::Key_Down, {}}, {Qt::Key_End, {}}}, 4, 2, false},
    {"CtrlEndGoesToTheLastCell", {{Qt::Key_End, Qt::ControlModifier}}, 4, 4, false},
    {"CtrlHomeGoesToTheFirstCell",
     {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Home, Qt::ControlModifier}},
     1,
     1,
     false},
    {"TabWrapsToTheNextRow", {{Qt::Key_End, {}}, {Qt::Key_Tab, {}}}, 1, 2, true},
    {"TabFromTheLastCellWrapsToTheFirst",
     {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Tab, {}}},
     1,
     1,
     true},
    {"ShiftTabWrapsBack", {{Qt::Key_Backtab, Qt::ShiftModifier}}, 4, 4, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, GridNavigation, ::testing::ValuesIn(NavCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(Grid, ARefusedSelectionKeepsTheCell) {
    GridWindow W;
    QObject::connect(W.Grid, &TxCustomGrid::OnSelectCell, W.Grid,
                     [](int, int R, bool& Can) { Can = R != 3; });
    ASSERT_TRUE(W.Show());
    W.Key(Qt::Key_Down);
    W.Key(Qt::Key_Down);
    EXPECT_EQ(W.Grid->Row(), 2);
    W.Click(2, 3);
    EXPECT_EQ(W.Grid->Row(), 2);
}

TEST(Grid, WheelMovesTheCurrentRow) {
    GridWindow W;
    ASSERT_TRUE(W.Show());
    QWheelEvent Down(QPointF(10, 30), W.Grid->mapToGlobal(QPointF(10, 30)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(W.Grid->viewport(), &Down);
    EXPECT_EQ(W.Grid->Row(), 2);
}

TEST(Grid, OnCanEditShowCanKeepTheEditorClosed) {
    GridWindow W;
    QObject::connect(W.Grid, &TxCustomGrid::OnCanEditShow, W.Grid,
                     [](int C, int, bool& Can) { Can = C != 2; });
    ASSERT_TRUE(W.Show());
    W.Key(Qt::Key_Right);
    W.Key(Qt::Key_Return);
    EXPECT_FALSE(W.Grid->EditorVisible());
    EXPECT_TRUE(W.Grid->EditorMode());
    // The editor mode stays on, so moving to an editable cell opens it.
    W.Key(Qt::Key_Left);
    EXPECT_TRUE(W.Grid->EditorVisible());
}

QColor PixelAt(TxCustomGrid* G, QPoint P) {
    return G->viewport()->grab().toImage().pixelColor(P);
}

TEST(Grid, AlwaysShowCellKeepsTheHighlightWithoutFocus) {
    for (bool Always : {false, true}) {
        GridWindow W;
        W.Grid->SetAlwaysShowCell(Always);
        W.Grid->SetCells(1, 1, QString());
        ASSERT_TRUE(W.Show());
        W.Key(Qt::Key_Right, Qt::ShiftModifier); // selects (1,1)..(2,1), current (2,1)
        const QPoint P = W.Grid->CellRect(1, 1).center();
        const QColor Highlight = W.Grid->palette().color(QPalette::Highlight);
        EXPECT_EQ(PixelAt(W.Grid, P), Highlight) << "focused, always=" << Always;
        W.Other->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(PixelAt(W.Grid, P), Always ? Highlight : W.Grid->Color())
            << "unfocused, always=" << Always;
    }
}

TEST(Grid, RemovingARowMovesTheRowsBelowUp) {
    TxStringGrid G;
    G.Cols(1).Assign({"h", "a", "b", "c", "d"});
    G.RemoveRow(2);
    EXPECT_EQ(G.RowCount(), 4);
    EXPECT_EQ(G.Cols(1).ToList(), (QStringList{"h", "a", "c", "d"}));
    EXPECT_EQ(G.Row(), 2);
    G.SetRowCount(2);
    try {
        G.RemoveRow(1);
        ADD_FAILURE();
    } catch (const EGridError& E) {
        EXPECT_STREQ(E.what(), "Too many rows or columns deleted");
    }
}

struct ErrorCase {
    const char* Name;
    std::function<void(TxStringGrid&)> Act;
    const char* Message;
};

class GridErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(GridErrors, BadRequestsAreRefusedWithTheirMessage) {
    TxStringGrid G;
    try {
        GetParam().Act(G);
        ADD_FAILURE() << "no error";
    } catch (const EGridError& E) {
        EXPECT_STREQ(E.what(), GetParam().Message);
    }
    // The grid stays usable.
    G.SetCells(1, 1, QStringLiteral("ok"));
    EXPECT_EQ(G.Cells(1, 1), QStringLiteral("ok"));
}

const ErrorCase ErrorCases[] = {
    {"CellOutside", [](TxStringGrid& G) { G.Cells(5, 0); }, "Grid index out of range"},
    {"NegativeRow", [](TxStringGrid& G) { G.SetCells(0, -1, "x"); }, "Grid index out of range"},
    {"WidthOutside", [](TxStringGrid& G) { G.SetColWidths(9, 3); }, "Grid index out of range"},
    {"CurrentOnFixed", [](TxStringGrid& G) { G.SetCol(0); }, "Grid index out of range"},
    {"FixedCols", [](TxStringGrid& G) { G.SetFixedCols(5); },
     "Fixed column count must be less than column count"},
    {"FixedRows", [](TxStringGrid& G) { G.SetFixedRows(5); },
     "Fixed row count must be less than row count"},
    {"TooLarge", [](TxStringGrid& G) { G.SetRowCount(INT_MAX); }, "Grid too large for operation"},
};

INSTANTIATE_TEST_SUITE_P(Cases, GridErrors, ::testing::ValuesIn(ErrorCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(Grid, DraggingAHeaderCellMovesTheColumnWithItsWidthFormatAndCells) {
    GridWindow W;
    W.Grid->SetOptions(W.Grid->Options() | xgoColMoving | xgoRowMoving);
    W.Grid->SetColWidths(1, 40);
    W.Grid->SetColFormatStr(1, QStringLiteral("%d"));
    QSignalSpy Moves(W.Grid, &TxCustomGrid::OnColumnMoved);
    ASSERT_TRUE(W.Show());
    QTest::mousePress(W.Grid->viewport(), Qt::LeftButton, {}, W.Grid->CellRect(1, 0).center());
    QTest::mouseRelease(W.Grid->viewport(), Qt::LeftButton, {}, W.Grid->CellRect(3, 0).center());
    ASSERT_EQ(Moves.count(), 1);
    EXPECT_EQ(Moves[0], (QVariantList{1, 3}));
    EXPECT_EQ(W.Grid->Rows(2).ToList(), (QStringList{"c0r2", "c2r2", "c3r2", "c1r2", "c4r2"}));
    EXPECT_EQ(W.Grid->ColWidths(3), 40);
    EXPECT_EQ(W.Grid->ColFormatStr(3), QStringLiteral("%d"));
    EXPECT_EQ(W.Grid->ColFormatStr(1), QStringLiteral("%S"));
    // A row by its fixed column cell.
    QSignalSpy RowMoves(W.Grid, &TxCustomGrid::OnRowMoved);
    QTest::mousePress(W.Grid->viewport(), Qt::LeftButton, {}, W.Grid->CellRect(0, 4).center());
    QTest::mouseRelease(W.Grid->viewport(), Qt::LeftButton, {}, W.Grid->CellRect(0, 1).center());
    ASSERT_EQ(RowMoves.count(), 1);
    EXPECT_EQ(RowMoves[0], (QVariantList{4, 1}));
    EXPECT_EQ(W.Grid->Cells(0, 1), QStringLiteral("c0r4"));
    EXPECT_EQ(W.Grid->Cells(0, 2), QStringLiteral("c0r1"));
}

TEST(Grid, AlwaysShowEditorKeepsTheEditorAndHandsOverAtTheTextEnds) {
    GridWindow W;
    W.Grid->SetOptions(W.Grid->Options() | xgoAlwaysShowEditor | xgoTabs);
    ASSERT_TRUE(W.Show());
    ASSERT_TRUE(W.Grid->EditorVisible());
    TxInplaceEdit* E = W.Grid->InplaceEditor();
    EXPECT_EQ(E->selectedText(), QStringLiteral("c1r1"));
    W.Key(Qt::Key_Return); // all selected -> caret at the end
    EXPECT_FALSE(E->hasSelectedText());
    EXPECT_EQ(E->cursorPosition(), 4);
    W.Key(Qt::Key_Right); // at the end: the grid moves
    EXPECT_EQ(W.Grid->Col(), 2);
    EXPECT_TRUE(W.Grid->EditorVisible());
    W.Key(Qt::Key_Left); // everything selected: the caret moves first
    EXPECT_EQ(W.Grid->Col(), 2);
    W.Key(Qt::Key_Home);
    W.Key(Qt::Key_Left);
    EXPECT_EQ(W.Grid->Col(), 1);
    W.Key(Qt::Key_Tab);
    EXPECT_EQ(W.Grid->Col(), 2);
    EXPECT_EQ(W.Log.count(QStringLiteral("DoSetData(1,1)")), 2);
}

TEST(Grid, SavedLayoutListsRoundTripAndBadEntriesAreSkipped) {
    TxStringGrid A;
    EXPECT_TRUE(A.ColWidthsList().isEmpty());
    EXPECT_TRUE(A.RowHeightsList().isEmpty());
    EXPECT_TRUE(A.ColFormatStrList().isEmpty());
    A.SetColWidths(2, 77);
    A.SetRowHeights(3, 21);
    A.SetColFormatStr(4, QStringLiteral("%0.2f"));
    TxStringGrid B;
    B.SetColWidthsList(A.ColWidthsList());
    B.SetRowHeightsList(A.RowHeightsList());
    B.SetColFormatStrList(A.ColFormatStrList());
    EXPECT_EQ(B.ColWidthsList(), A.ColWidthsList());
    EXPECT_EQ(B.RowHeightsList(), A.RowHeightsList());
    EXPECT_EQ(B.ColFormatStr(4), QStringLiteral("%0.2f"));
    B.SetColWidthsList({"x", "-3", " 12 ", "", "9", "10", "11", "12"});
    EXPECT_EQ(B.ColWidths(0), A.ColWidths(0));
    EXPECT_EQ(B.ColWidths(1), A.ColWidths(1));
    EXPECT_EQ(B.ColWidths(2), 12);
    EXPECT_EQ(B.ColWidths(4), 9); // entries beyond the five columns are ignored
}

TEST(Grid, CountsBelowOneGiveOneAndShrinkTheFixedCounts) {
    TxStringGrid G;
    G.SetColCount(0);
    EXPECT_EQ(G.ColCount(), 1);
    EXPECT_EQ(G.FixedCols(), 0);
    G.SetRowCount(-4);
    EXPECT_EQ(G.RowCount(), 1);
    EXPECT_EQ(G.FixedRows(), 0);
}

} // namespace
