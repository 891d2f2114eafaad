// Entry grid editing driven by key and mouse events on the duct window's
// nine rows: the in-place editor's clamp and commit, enumeration keys and
// list, property editor, spin buttons, check box, units column, disabled
// rows and colours. Every event must fire exactly when it should.
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

#include <gtest/gtest.h>

#include "GuiTestUtil.h"
#include "controls/EntryGridWidget.h"
#include "duct/DuctSheetRows.h"

using namespace oravent;
using namespace oravent::gui;
using oravent::gui::test::BeepCounter;

namespace {

QStringList ToQStrings(const std::vector<std::string>& Texts) {
    QStringList List;
    for (const auto& T : Texts)
        List << QString::fromStdString(T);
    return List;
}

const QStringList DuctRows = ToQStrings(DuctSheetRowTexts());

struct SheetWindow {
    QWidget Window;
    TEntryGrid* Grid;
    QLineEdit* Other;
    TRowMessageList Messages;
    QStringList Log;

    explicit SheetWindow(const QStringList& Rows = DuctRows) {
        auto* L = new QVBoxLayout(&Window);
        Grid = new TEntryGrid(&Window);
        Other = new QLineEdit(&Window);
        L->addWidget(Grid);
        L->addWidget(Other);
        Grid->SetReporter(&Messages);
        Grid->SetRows(Rows);
        Grid->SetColWidths(0, 160);
        Grid->SetColWidths(1, 110);
        Grid->setMinimumSize(360, (Rows.size() + 1) * (Grid->DefaultRowHeight() + 1));
        // The three events the duct window connects, with its signatures.
        QObject::connect(Grid, &TEntryGrid::OnDoSetData, Grid, [this](int ACol, int ARow) {
            Log << QStringLiteral("DoSetData(%1,%2)").arg(ACol).arg(ARow);
        });
        QObject::connect(Grid, &TEntryGrid::OnSelectCell, Grid,
                         [this](int ACol, int ARow, bool& /*CanSelect*/) {
                             Log << QStringLiteral("SelectCell(%1,%2)").arg(ACol).arg(ARow);
                         });
        QObject::connect(Grid, &TEntryGrid::OnAfterRightClick, Grid, [this](int ARow) {
            Log << QStringLiteral("AfterRightClick(%1)").arg(ARow);
        });
    }
    void DuctUnits() {
        Grid->SetUnitsPicker(&TEntryGrid::ShowRowUnitsPicker);
        for (const auto& U : DuctSheetRowUnits)
            Grid->SetUnits(U.Row, U.Type, U.Base, U.Base, ft_Fixed);
        Grid->SetValue(1, 1, 101.325);
        Grid->SetValue(1, 2, std::string("13/12"));
        Grid->SetValue(1, 3, 0LL);
        Grid->SetValue(1, 4, 0.8);
        Grid->SetValue(1, 5, 1.5);
    }
    bool Show() {
        if (!test::ShowActive(Window)) return false;
        Grid->setFocus();
        QApplication::processEvents();
        Log.clear();
        return Grid->hasFocus();
    }
    QWidget* Focus() const {
        return QApplication::focusWidget() ? QApplication::focusWidget() : Grid;
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers M = {}) { QTest::keyClick(Focus(), K, M); }
    void Type(const QString& S) {
        for (QChar Ch : S)
            QTest::keyClicks(Focus(), QString(Ch));
    }
    void GoToRow(int R) {
        while (Grid->Row() < R)
            Key(Qt::Key_Down);
        while (Grid->Row() > R)
            Key(Qt::Key_Up);
        Log.clear();
    }
    void Click(int C, int R, Qt::MouseButton B = Qt::LeftButton) {
        QTest::mouseClick(Grid->viewport(), B, {}, Grid->CellRect(C, R).center());
    }
    QString Cell(int C, int R) const { return Grid->Cells(C, R); }
};

TEST(EntryGrid, TypingBeyondTheLimitClampsWithOneBeepAndOneCommit) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show());
    BeepCounter Beeps;
    W.Type(QStringLiteral("130")); // a character opens the editor on the value cell
    ASSERT_TRUE(W.Grid->EditorVisible());
    W.Key(Qt::Key_Return);
    EXPECT_EQ(Beeps.Count(), 1);
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("120.000"));
    EXPECT_EQ(W.Log.count(QStringLiteral("DoSetData(1,1)")), 1);
    EXPECT_EQ(W.Log, (QStringList{"DoSetData(1,1)", "SelectCell(1,1)"}));
    EXPECT_NEAR(std::get<double>(W.Grid->GetValue(1, 1)), 120.0, 1e-9);
}

TEST(EntryGrid, TypedValueIsStillClampedAfterSwitchingWindows) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show());
    W.Type(QStringLiteral("130"));
    ASSERT_TRUE(W.Grid->EditorVisible());
    // Another window takes the focus and gives it back to the editor.
    QFocusEvent Out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(W.Grid->InplaceEditor(), &Out);
    QFocusEvent In(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(W.Grid->InplaceEditor(), &In);
    BeepCounter Beeps;
    W.Key(Qt::Key_Return);
    EXPECT_EQ(Beeps.Count(), 1);
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("120.000"));
    EXPECT_EQ(W.Log.count(QStringLiteral("DoSetData(1,1)")), 1);
}

TEST(EntryGrid, EnterOpensSilentlyAndEnterAgainCommitsOnceThenSelects) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show());
    W.Key(Qt::Key_Return);
    ASSERT_TRUE(W.Grid->EditorVisible());
    EXPECT_TRUE(W.Log.isEmpty());
    // The editor hides the property-editor button of its row.
    EXPECT_FALSE(W.Grid->PropEditorButton()->isVisible());
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Log, (QStringList{"DoSetData(1,1)", "SelectCell(1,1)"}));
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("101.325"));
    EXPECT_TRUE(W.Grid->PropEditorButton()->isVisible()); // aids back after Enter
}

TEST(EntryGrid, PairRowTypedAsOneNumberKeepsTheFirstNumber) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show());
    W.GoToRow(2);
    W.Type(QStringLiteral("25"));
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Cell(1, 2), QStringLiteral("25.0"));
    W.Type(QStringLiteral("95/20"));
    BeepCounter Beeps;
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Cell(1, 2), QStringLiteral("90.0/20.0"));
    EXPECT_EQ(Beeps.Count(), 1);
}

TEST(EntryGrid, EditorFormatsByTheRowsFormatTypeWithFiveDigits) {
    SheetWindow W({"H; V; U", "Small; %0.3f; ; ; 0; 0", "Other; %0.1f; ; ; 0; 10"});
    W.Grid->SetUnits(1, utNone, 0, 0, ft_AutoOverride);
    W.Grid->SetSigDigs(1, 2); // the editor keeps its own 5 digits
    ASSERT_TRUE(W.Show());
    W.Type(QStringLiteral("0.05"));
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("0.0500"));
    W.Type(QStringLiteral("0.1"));
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("0.100"));
}

TEST(EntryGrid, ArrowsOnTheRoughnessRowStepAndWrapAndNeverMoveTheCell) {
    SheetWindow W;
    W.DuctUnits();
    W.Grid->SetValue(1, 3, 4LL);
    ASSERT_TRUE(W.Show());
    W.GoToRow(3);
    ASSERT_EQ(W.Cell(1, 3), QStringLiteral("Rough"));
    EXPECT_TRUE(W.Grid->PullDownButton()->isVisible());
    W.Key(Qt::Key_Right);
    EXPECT_EQ(W.Cell(1, 3), QStringLiteral("Smooth"));
    EXPECT_EQ(W.Log, QStringList{"DoSetData(1,3)"});
    W.Key(Qt::Key_Left);
    EXPECT_EQ(W.Cell(1, 3), QStringLiteral("Rough"));
    W.Key(Qt::Key_Left);
    EXPECT_EQ(W.Cell(1, 3), QStringLiteral("Medium Rough"));
    EXPECT_EQ(W.Grid->Col(), 1);
    EXPECT_EQ(W.Log.size(), 3);
    // No editor on an enumeration row.
    W.Key(Qt::Key_Return);
    EXPECT_FALSE(W.Grid->EditorVisible());
    // A double-click steps forward too.
    W.Log.clear();
    QTest::mouseDClick(W.Grid->viewport(), Qt::LeftButton, {}, W.Grid->CellRect(1, 3).center());
    EXPECT_EQ(W.Cell(1, 3), QStringLiteral("Rough"));
    EXPECT_EQ(W.Log.count(QStringLiteral("DoSetData(1,3)")), 1);
}

TEST(EntryGrid, UnknownEnumerationTextStepsToTheFirstItem) {
    SheetWindow W;
    W.Grid->SetValue(1, 3, std::string("bogus"));
    ASSERT_TRUE(W.Show());
    W.GoToRow(3);
    W.Key(Qt::Key_Right);
    EXPECT_EQ(W.Cell(1, 3), QStringLiteral("Smooth"));
}

struct ListCase {
    const char* Name;
    const char* Row;
    int Lines;
};

class EntryGridDropList : public ::testing::TestWithParam<ListCase> {};

TEST_P(EntryGridDropList, ListShowsAtMostSixLinesAndCommitsEachStep) {
    SheetWindow W({"H; V; U", GetParam().Row, "Other; %0.1f; ; ; 0; 10"});
    ASSERT_TRUE(W.Show());
    TAidButton* B = W.Grid->PullDownButton();
    ASSERT_TRUE(B && B->isVisible());
    EXPECT_EQ(B->width(), W.Grid->RowHeights(1));
    EXPECT_EQ(B->height(), W.Grid->RowHeights(1));
    QTest::mouseClick(B, Qt::LeftButton);
    TMyListBox* L = W.Grid->DropList();
    ASSERT_TRUE(L->isVisible());
    const int ItemH = W.Grid->DefaultRowHeight();
    EXPECT_EQ(L->height() - 2 * L->frameWidth(), GetParam().Lines * ItemH);
    EXPECT_EQ(L->currentRow(), 0);
    EXPECT_GE(L->width(), W.Grid->ColWidths(1) + W.Grid->GridLineWidth());
    QTest::keyClick(L, Qt::Key_Down);
    EXPECT_EQ(W.Log, QStringList{"DoSetData(1,1)"});
    EXPECT_EQ(W.Cell(1, 1), L->item(1)->text());
    QTest::keyClick(L, Qt::Key_Escape);
    EXPECT_FALSE(L->isVisible());
    EXPECT_TRUE(W.Grid->hasFocus());
    // The button again opens it; a press on an item commits and closes.
    QTest::mouseClick(B, Qt::LeftButton);
    ASSERT_TRUE(L->isVisible());
    EXPECT_EQ(L->currentRow(), 1);
    W.Log.clear();
    QTest::mousePress(L->viewport(), Qt::LeftButton, {}, L->visualItemRect(L->item(0)).center());
    EXPECT_FALSE(L->isVisible());
    EXPECT_EQ(W.Cell(1, 1), L->item(0)->text());
    EXPECT_EQ(W.Log, QStringList{"DoSetData(1,1)"});
}

const ListCase ListCases[] = {
    {"EightItems", "E; enum; ; a; b; c; d; e; f; g; h", 6},
    {"TwoItems", "E; enum; ; first; second", 3},
    {"FiveItems", "E; enum; ; a; b; c; d; e", 6},
};

INSTANTIATE_TEST_SUITE_P(Cases, EntryGridDropList, ::testing::ValuesIn(ListCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(EntryGrid, MovingTheMouseAwayFromTheEnumerationCellClosesTheList) {
    SheetWindow W({"H; V; U", "E; enum; ; a; b", "Other; %0.1f; ; ; 0; 10"});
    ASSERT_TRUE(W.Show());
    QTest::mouseClick(W.Grid->PullDownButton(), Qt::LeftButton);
    ASSERT_TRUE(W.Grid->DropListShown());
    // Over the enumeration value cell the list stays; elsewhere it closes.
    auto MoveOver = [&](int C, int R) {
        const QPoint G = W.Grid->viewport()->mapToGlobal(W.Grid->CellRect(C, R).center());
        QTest::mouseMove(W.Grid->DropList(), W.Grid->DropList()->mapFromGlobal(G));
    };
    MoveOver(1, 1);
    EXPECT_TRUE(W.Grid->DropListShown());
    MoveOver(0, 2);
    EXPECT_FALSE(W.Grid->DropListShown());
    EXPECT_TRUE(W.Grid->hasFocus());
    EXPECT_TRUE(W.Log.isEmpty());
}

struct PropCase {
    const char* Name;
    int Result;
    const char* Shown;
    int Commits;
};

class EntryGridPropEditor : public ::testing::TestWithParam<PropCase> {};

TEST_P(EntryGridPropEditor, OnlyAnAcceptedValueIsStoredAndCommitted) {
    SheetWindow W;
    W.DuctUnits();
    int Calls = 0;
    const int Result = GetParam().Result;
    W.Grid->SetPropEditor(1, [&](TFieldValue& V) {
        ++Calls;
        EXPECT_NEAR(std::get<double>(V), 101.325, 1e-9);
        V = 99.5;
        return Result;
    });
    ASSERT_TRUE(W.Show());
    TAidButton* B = W.Grid->PropEditorButton();
    ASSERT_TRUE(B && B->isVisible());
    EXPECT_EQ(B->geometry().right(),
              W.Grid->viewport()->mapTo(&W.Window, W.Grid->CellRect(1, 1).topRight()).x());
    QTest::mouseClick(B, Qt::LeftButton);
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(W.Cell(1, 1).toStdString(), GetParam().Shown);
    EXPECT_EQ(W.Log.count(QStringLiteral("DoSetData(1,1)")), GetParam().Commits);
}

const PropCase PropCases[] = {
    {"AcceptStores", 1, "99.500", 1},
    {"CancelFiresNothing", 2, "101.325", 0},
    {"OtherResultIsIgnored", 7, "101.325", 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, EntryGridPropEditor, ::testing::ValuesIn(PropCases),
                         [](const auto& I) { return std::string(I.param.Name); });

// F4 and Alt+Down run the row's editing aid from the keyboard, also while
// a value is being typed (it is committed first); elsewhere they do nothing.
TEST(EntryGrid, F4AndAltDownRunTheRowsEditingAid) {
    struct TCase {
        const char* Name;
        int Row;
        const char* Typed; // typed into the cell first, if any
        Qt::Key Key;
        Qt::KeyboardModifiers Mods;
        int Calls;
        QStringList Log;
        bool ListShown;
    };
    const TCase Cases[] = {
        {"F4 on the barometer", 1, "", Qt::Key_F4, {}, 1, {"DoSetData(1,1)"}, false},
        {"Alt+Down on the barometer",
         1,
         "",
         Qt::Key_Down,
         Qt::AltModifier,
         1,
         {"DoSetData(1,1)"},
         false},
        {"F4 while typing",
         1,
         "95",
         Qt::Key_F4,
         {},
         1,
         {"DoSetData(1,1)", "DoSetData(1,1)"},
         false},
        {"F4 on the roughness", 3, "", Qt::Key_F4, {}, 0, {}, true},
        {"F4 on a row without aid", 4, "", Qt::Key_F4, {}, 0, {}, false},
        {"Shift+F4 is not the key", 1, "", Qt::Key_F4, Qt::ShiftModifier, 0, {}, false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        SheetWindow W;
        W.DuctUnits();
        int Calls = 0;
        QString Seen;
        W.Grid->SetPropEditor(1, [&](TFieldValue& V) {
            ++Calls;
            Seen = QString::number(std::get<double>(V));
            V = 99.5;
            return 1;
        });
        ASSERT_TRUE(W.Show());
        W.GoToRow(C.Row);
        if (*C.Typed) W.Type(C.Typed);
        W.Key(C.Key, C.Mods);
        EXPECT_EQ(Calls, C.Calls);
        if (*C.Typed) {
            EXPECT_EQ(Seen, C.Typed); // the editor saw the typed value
        }
        EXPECT_EQ(W.Log.filter("DoSetData"), C.Log);
        EXPECT_EQ(W.Grid->DropList()->isVisible(), C.ListShown);
    }
}

struct SpinCase {
    const char* Name;
    double Start;
    bool Up;
    const char* Shown;
    int Commits;
};

class EntryGridSpin : public ::testing::TestWithParam<SpinCase> {};

TEST_P(EntryGridSpin, SpinMovesToTheNextMultipleWithinTheLimits) {
    SheetWindow W({"H; V; U", "Speed; %0.1f; ; Spin; -10; 120"});
    W.Grid->SetValue(1, 1, GetParam().Start);
    ASSERT_TRUE(W.Show());
    TAidButton* Up = W.Grid->SpinUpButton();
    TAidButton* Down = W.Grid->SpinDownButton();
    ASSERT_TRUE(Up->isVisible() && Down->isVisible());
    EXPECT_EQ(Down->y(), Up->y() + Up->height());
    QTest::mouseClick(GetParam().Up ? Up : Down, Qt::LeftButton);
    EXPECT_EQ(W.Cell(1, 1).toStdString(), GetParam().Shown);
    EXPECT_EQ(W.Log.count(QStringLiteral("DoSetData(1,1)")), GetParam().Commits);
}

const SpinCase SpinCases[] = {
    {"AtHighDoesNothing", 120, true, "120.0", 0},
    {"UpToTheLimit", 119.5, true, "120.0", 1},
    {"HalfUp", 2.5, true, "3.0", 1},
    {"HalfDown", 2.5, false, "2.0", 1},
    {"NegativeHalfUp", -2.5, true, "-2.0", 1},
    {"NegativeHalfDown", -2.5, false, "-3.0", 1},
    {"WholeUp", 2, true, "3.0", 1},
    {"WholeDown", 2, false, "1.0", 1},
    {"AtLowDoesNothing", -10, false, "-10.0", 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, EntryGridSpin, ::testing::ValuesIn(SpinCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(EntryGrid, CheckBoxStoresItsStateAndCommits) {
    SheetWindow W({"H; V; U", "Active; check; ; ", "Other; %0.1f; ; ; 0; 10"});
    ASSERT_TRUE(W.Show());
    QCheckBox* Box = W.Grid->CheckBox();
    ASSERT_TRUE(Box && Box->isVisible());
    EXPECT_FALSE(Box->isChecked());
    QTest::mouseClick(Box, Qt::LeftButton);
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("[x]"));
    EXPECT_EQ(W.Log, QStringList{"DoSetData(1,1)"});
    W.Key(Qt::Key_Down);
    EXPECT_FALSE(Box->isVisible());
    W.Key(Qt::Key_Up);
    EXPECT_TRUE(Box->isChecked());
}

TEST(EntryGrid, UnitsCellReshowsTheValueAndFiresAfterRightClickButNotDoSetData) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show());
    test::WhenPickerOpens([](TUnitsForm* F) { QTest::keyClick(F->List(), Qt::Key_Escape); });
    W.Click(2, 1);
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("101.325"));
    EXPECT_TRUE(W.Log.contains(QStringLiteral("AfterRightClick(1)")));
    EXPECT_EQ(W.Log.filter(QStringLiteral("DoSetData")).size(), 0);
    EXPECT_EQ(W.Grid->Col(), 2);
    // Another unit: the held value stays and the caption follows.
    W.Log.clear();
    test::WhenPickerOpens([](TUnitsForm* F) {
        QTest::keyClick(F->List(), Qt::Key_Down);
        QTest::keyClick(F->List(), Qt::Key_Return);
    });
    W.Click(2, 5, Qt::RightButton);
    EXPECT_EQ(W.Grid->GetUnitsValue(5), 1);
    EXPECT_EQ(W.Cell(2, 5), QString::fromStdString(UnitsCaption(utAirFlowPrim, 1)));
    EXPECT_NEAR(std::get<double>(W.Grid->GetValue(1, 5)), 1.5, 1.5 * 0.001);
    EXPECT_EQ(W.Log.filter(QStringLiteral("DoSetData")).size(), 0);
    EXPECT_TRUE(W.Log.contains(QStringLiteral("AfterRightClick(5)")));
}

TEST(EntryGrid, RowsWithoutUnitsOpenNoPicker) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show());
    auto Opened = std::make_shared<bool>(false);
    QTimer::singleShot(300, [Opened] {
        if (TUnitsForm* F = TUnitsForm::Current()) {
            *Opened = true;
            F->reject();
        }
    });
    W.Click(2, 3); // enumeration row
    QTest::qWait(350);
    EXPECT_FALSE(*Opened);
    EXPECT_EQ(W.Cell(1, 3), QStringLiteral("Smooth"));
}

TEST(EntryGrid, ClickRightAfterGainingFocusSelectsAgainInsteadOfEditing) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show()); // focus gained: re-select request raised
    W.Click(1, 1);
    EXPECT_EQ(W.Log, QStringList{"SelectCell(1,1)"});
    EXPECT_FALSE(W.Grid->EditorVisible());
    W.Click(1, 1);
    EXPECT_TRUE(W.Grid->EditorVisible());
}

TEST(EntryGrid, DisabledRowOffersNoAidNoEditorAndGreyText) {
    SheetWindow W;
    W.DuctUnits();
    W.Grid->SetRowEnabled(1, false);
    EXPECT_FALSE(W.Grid->GetRowEnabled(1));
    EXPECT_TRUE(W.Grid->GetRowEnabled(99));
    ASSERT_TRUE(W.Show());
    EXPECT_FALSE(W.Grid->PropEditorButton() && W.Grid->PropEditorButton()->isVisible());
    W.Key(Qt::Key_Return);
    EXPECT_FALSE(W.Grid->EditorVisible());
    W.Type(QStringLiteral("5"));
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("101.325"));
    // The darkest pixel of the value text is grey, not black.
    W.Key(Qt::Key_Down);
    const QImage Img = W.Grid->viewport()->grab().toImage();
    auto Darkest = [&](int Row) {
        const QRect R = W.Grid->CellRect(1, Row);
        int Min = 255;
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            for (int X = R.left(); X <= R.right(); ++X)
                Min = std::min(Min, qGray(Img.pixel(X, Y)));
        return Min;
    };
    EXPECT_GT(Darkest(1), Darkest(4) + 40);
}

TEST(EntryGrid, DisablingTheCurrentRowTakesItsAidsAwayAtOnce) {
    SheetWindow W;
    W.DuctUnits();
    int Calls = 0;
    W.Grid->SetPropEditor(1, [&](TFieldValue&) {
        ++Calls;
        return 1;
    });
    ASSERT_TRUE(W.Show());
    ASSERT_TRUE(W.Grid->PropEditorButton()->isVisible());
    W.Grid->SetRowEnabled(1, false);
    EXPECT_FALSE(W.Grid->PropEditorButton()->isVisible());
    W.Grid->PropEditorClick(); // a click that was under way does nothing either
    EXPECT_EQ(Calls, 0);
    W.Grid->SetRowEnabled(1, true);
    EXPECT_TRUE(W.Grid->PropEditorButton()->isVisible());
    EXPECT_TRUE(W.Log.filter(QStringLiteral("SelectCell")).isEmpty());
}

TEST(EntryGrid, AidsFollowTheRowWhenTheSheetScrolls) {
    QStringList Rows{"H; V; U"};
    for (int I = 1; I <= 30; ++I)
        Rows << QStringLiteral("Row %1; %0.1f; ; PE; 0; 10").arg(I);
    SheetWindow W(Rows);
    W.Grid->setMinimumSize(300, 0);
    W.Grid->setFixedHeight(6 * (W.Grid->DefaultRowHeight() + 1));
    ASSERT_TRUE(W.Show());
    W.GoToRow(20);
    EXPECT_GT(W.Grid->TopRow(), 1);
    TAidButton* B = W.Grid->PropEditorButton();
    ASSERT_TRUE(B->isVisible());
    const QRect Cell = W.Grid->CellRect(1, 20);
    ASSERT_FALSE(Cell.isEmpty());
    EXPECT_EQ(B->geometry().top(), W.Grid->viewport()->mapTo(&W.Window, Cell.topLeft()).y());
    // Closing the window with the editor open ends cleanly.
    W.Key(Qt::Key_Return);
    EXPECT_TRUE(W.Grid->EditorVisible());
}

TEST(EntryGrid, DisablingOrHidingTheSheetTakesItsAidsAway) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show());
    ASSERT_TRUE(W.Grid->PropEditorButton()->isVisible());
    W.Grid->setEnabled(false);
    EXPECT_FALSE(W.Grid->PropEditorButton()->isVisible());
    W.Grid->setEnabled(true);
    W.Grid->setFocus();
    W.GoToRow(3);
    ASSERT_TRUE(W.Grid->PullDownButton()->isVisible());
    W.Grid->hide();
    EXPECT_FALSE(W.Grid->PullDownButton()->isVisible());
}

TEST(EntryGrid, ValueColumnColourOnlyWhenItDiffers) {
    for (bool Own : {false, true}) {
        SheetWindow W;
        W.Grid->SetColor(QColor(0xd4, 0xd0, 0xc8));
        W.Grid->SetColorEditCol(Own ? QColor(Qt::white) : W.Grid->Color());
        ASSERT_TRUE(W.Show());
        W.Other->setFocus();
        QApplication::processEvents();
        const QImage Img = W.Grid->viewport()->grab().toImage();
        const QRect Value = W.Grid->CellRect(1, 4);
        const QRect Caption = W.Grid->CellRect(0, 4);
        const QColor V = Img.pixelColor(Value.right() - 3, Value.bottom() - 1);
        const QColor C = Img.pixelColor(Caption.right() - 3, Caption.bottom() - 1);
        EXPECT_EQ(C, W.Grid->Color());
        EXPECT_EQ(V, Own ? QColor(Qt::white) : W.Grid->Color()) << "own=" << Own;
        // The unfocused current cell is not highlighted either way.
        const QRect Cur = W.Grid->CellRect(1, 1);
        EXPECT_NE(Img.pixelColor(Cur.right() - 3, Cur.bottom() - 1),
                  W.Grid->palette().color(QPalette::Highlight));
    }
}

TEST(EntryGrid, RowMessagesGoToTheReporterAndBuildingGoesOn) {
    SheetWindow W({"H; V; U", "A; %0.1f; kPa", "B; %0.2f; ; ; 0; 10"});
    ASSERT_EQ(W.Messages.Messages.size(), 1u);
    EXPECT_EQ(W.Messages.Messages[0], "Error initialising A");
    EXPECT_EQ(W.Cell(1, 1), QStringLiteral("0.0"));
    EXPECT_EQ(W.Cell(1, 2), QStringLiteral("0.00"));
    W.Grid->SetUnits(3, utPressure, 0, 0, ft_Fixed);
    EXPECT_EQ(W.Messages.Messages.back(), "Error setting units, row 3");
}

// ---------------------------------------------------------------------------
// Escape, the decimal comma, the visible cues and the known rows

// How the user leaves the cell after Escape.
enum class TLeave { Down, Up, Tab, ClickOtherCell };

struct EscapeCase {
    const char* Name;
    TLeave Leave;
};

class EntryGridEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EntryGridEscape, EscapeRestoresTheCellAndLeavingCommitsNothing) {
    SheetWindow W;
    W.DuctUnits();
    ASSERT_TRUE(W.Show());
    W.GoToRow(4); // Pressure Rate
    const QString Before = W.Cell(1, 4);
    W.Type(QStringLiteral("5"));
    ASSERT_TRUE(W.Grid->EditorVisible());
    W.Key(Qt::Key_Escape);
    EXPECT_FALSE(W.Grid->EditorVisible());
    EXPECT_EQ(W.Grid->InplaceEditor()->text(), Before); // the text from when editing began
    switch (GetParam().Leave) {
    case TLeave::Down:
        W.Key(Qt::Key_Down);
        break;
    case TLeave::Up:
        W.Key(Qt::Key_Up);
        break;
    case TLeave::Tab: // the sheet has no tabs: Tab takes the focus away
        W.Key(Qt::Key_Tab);
        EXPECT_FALSE(W.Grid->hasFocus());
        break;
    case TLeave::ClickOtherCell:
        W.Click(1, 6);
        break;
    }
    QApplication::processEvents();
    EXPECT_EQ(W.Cell(1, 4), Before);
    EXPECT_TRUE(W.Log.filter(QStringLiteral("DoSetData")).isEmpty())
        << W.Log.join(' ').toStdString();
    EXPECT_NEAR(std::get<double>(W.Grid->GetValue(1, 4)), 0.8, 1e-12);
}

const EscapeCase EscapeCases[] = {
    {"Down", TLeave::Down},
    {"Up", TLeave::Up},
    {"Tab", TLeave::Tab},
    {"ClickOtherCell", TLeave::ClickOtherCell},
};

INSTANTIATE_TEST_SUITE_P(Cases, EntryGridEscape, ::testing::ValuesIn(EscapeCases),
                         [](const auto& I) { return std::string(I.param.Name); });

struct TypedCase {
    const char* Name;
    int Row;
    const char* Typed;
    const char* Shown;
    int Beeps;
    const char* Cue; // "" when none is shown
};

class EntryGridTyped : public ::testing::TestWithParam<TypedCase> {};

TEST_P(EntryGridTyped, CommaPairsAndCuesByKeys) {
    const TypedCase& C = GetParam();
    SheetWindow W;
    W.DuctUnits();
    W.Grid->SetUnits(5, utAirFlowPrim, 0, 4, ft_Fixed); // cfm
    ASSERT_TRUE(W.Show());
    HideCue();
    W.GoToRow(C.Row);
    BeepCounter Beeps;
    W.Type(QString::fromUtf8(C.Typed));
    W.Key(Qt::Key_Return);
    EXPECT_EQ(W.Cell(1, C.Row).toStdString(), C.Shown);
    EXPECT_EQ(Beeps.Count(), C.Beeps);
    EXPECT_EQ(W.Log.count(QStringLiteral("DoSetData(1,%1)").arg(C.Row)), 1);
    // The cue stays while the focus moves back from the editor to the sheet.
    const QLabel* Cue = ShownCue();
    EXPECT_EQ(Cue ? Cue->text().toStdString() : std::string(), C.Cue);
    if (Cue) {
        // Just below the cell, clear of the value.
        const QRect Cell = W.Grid->CellRect(1, C.Row);
        EXPECT_GE(Cue->geometry().top(), W.Grid->viewport()->mapToGlobal(Cell.bottomLeft()).y());
        EXPECT_EQ(Cue->geometry().left(), W.Grid->viewport()->mapToGlobal(Cell.topLeft()).x());
    }
    HideCue();
}

const TypedCase TypedCases[] = {
    {"CommaIsTheDecimalPoint", 4, "2,5", "2.50", 0, ""},
    {"SecondCommaRefused", 4, "2,5,1", "2.51", 1,
     "Pressure Rate: \",\" is not accepted; the number has a \".\" already"},
    {"CommaInEachNumberOfAPair", 2, "20,5/15,5", "20.5/15.5", 0, ""},
    {"LetterRefused", 4, "2x5", "25.00", 1,
     "Pressure Rate: \"x\" is not accepted; type digits, \"-\" and \".\""},
    // 0.01 m³/s is 21.19 cfm, 576 m³/s 1220474.88 cfm (2118.88 cfm per m³/s).
    {"ClampedFlowNamesTheLimits", 5, "20", "21.19", 1, "Volume Flow: 21.19 to 1220474.88 cfm"},
    {"ClampedPairNamesTheLimits", 2, "95/20", "90.0/20.0", 1,
     "Average Temperature: -60.0 to 90.0 \u00b0C"},
    // Nothing after the "/" is the dry bulb alone; nothing before it stays
    // as typed, for the reader to refuse.
    {"EmptyWetBulbIsTheDryBulbAlone", 2, "20/", "20.0", 0, ""},
    {"EmptyDryBulbStaysAsTyped", 2, "/15", "/15", 0, ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, EntryGridTyped, ::testing::ValuesIn(TypedCases),
                         [](const auto& I) { return std::string(I.param.Name); });

// Pixels of a value cell within reach of a colour (the cores of glyphs).
int PixelsNear(const QImage& Img, const QRect& R, const QColor& C) {
    int N = 0;
    for (int Y = R.top(); Y <= R.bottom(); ++Y)
        for (int X = R.left(); X <= R.right(); ++X) {
            const QColor P = Img.pixelColor(X, Y);
            if (std::abs(P.red() - C.red()) + std::abs(P.green() - C.green()) +
                    std::abs(P.blue() - C.blue()) <
                60)
                ++N;
        }
    return N;
}

TEST(EntryGrid, KnownRowsAreDrawnInTheAccentColourAndBold) {
    SheetWindow W;
    W.DuctUnits();
    W.Grid->SetColor(QColor(0xd4, 0xd0, 0xc8));
    W.Grid->SetColorEditCol(Qt::white);
    W.Grid->SetValue(1, 6, 0.8); // the same text as the pressure rate row
    ASSERT_TRUE(W.Show());
    W.Other->setFocus(); // no highlight anywhere
    QApplication::processEvents();
    const QColor Link = W.Grid->palette().color(QPalette::Link);
    const QColor White(Qt::white);
    auto Image = [&] { return W.Grid->viewport()->grab().toImage(); };
    auto Ink = [&](const QImage& Img, int Row) { // pixels that are not background
        const QRect R = W.Grid->CellRect(1, Row);
        return R.width() * R.height() - PixelsNear(Img, R, White);
    };
    const QImage Plain = Image();
    EXPECT_EQ(PixelsNear(Plain, W.Grid->CellRect(1, 4), Link), 0);
    W.Grid->SetKnownRows({4, 1});
    W.Grid->SetRowEnabled(1, false); // known but disabled: drawn as before
    EXPECT_EQ(W.Grid->KnownRows(), (QList<int>{1, 4}));
    const QImage Marked = Image();
    EXPECT_GT(PixelsNear(Marked, W.Grid->CellRect(1, 4), Link), 5);
    EXPECT_EQ(PixelsNear(Marked, W.Grid->CellRect(1, 6), Link), 0);
    EXPECT_EQ(PixelsNear(Marked, W.Grid->CellRect(1, 1), Link), 0);
    // Bold: the same text takes more ink in the known row.
    EXPECT_EQ(W.Cell(1, 4), W.Cell(1, 6));
    EXPECT_GT(Ink(Marked, 4), Ink(Marked, 6));
    // The background stays the value column's.
    const QRect R4 = W.Grid->CellRect(1, 4);
    EXPECT_EQ(Marked.pixelColor(R4.right() - 3, R4.bottom() - 1), White);
    // Rebuilding the rows clears the marks.
    W.Grid->SetRows(DuctRows);
    EXPECT_TRUE(W.Grid->KnownRows().isEmpty());
    EXPECT_EQ(PixelsNear(Image(), W.Grid->CellRect(1, 4), Link), 0);
}

} // namespace

namespace {

// Thousands of random keys and clicks on the duct sheet: no crash, every
// value cell stays a readable value, and each commit names a data cell.
TEST(EntryGridRobust, RandomKeysAndClicksKeepTheSheetConsistent) {
    SheetWindow W;
    W.DuctUnits();
    QSignalSpy Commits(W.Grid, &TEntryGrid::OnDoSetData);
    ASSERT_TRUE(W.Show());
    test::BeepCounter Beeps; // keep the run quiet
    const Qt::Key Keys[] = {Qt::Key_0,      Qt::Key_1,     Qt::Key_5,         Qt::Key_9,
                            Qt::Key_Period, Qt::Key_Minus, Qt::Key_Slash,     Qt::Key_E,
                            Qt::Key_A,      Qt::Key_Space, Qt::Key_Return,    Qt::Key_Escape,
                            Qt::Key_Up,     Qt::Key_Down,  Qt::Key_Left,      Qt::Key_Right,
                            Qt::Key_Home,   Qt::Key_End,   Qt::Key_Backspace, Qt::Key_Delete,
                            Qt::Key_F2,     Qt::Key_Tab,   Qt::Key_PageDown,  Qt::Key_PageUp};
    unsigned Seed = 12345;
    auto Next = [&Seed](unsigned N) {
        Seed = Seed * 1103515245u + 12345u;
        return (Seed >> 16) % N;
    };
    for (int I = 0; I < 3000; ++I) {
        if (Next(10) == 0) {
            // Clicks on captions and values only: the units column opens a
            // modal picker.
            W.Click(static_cast<int>(Next(2)), 1 + static_cast<int>(Next(9)));
        } else {
            QWidget* Target = QApplication::focusWidget();
            if (!Target || Target->window() != &W.Window) {
                W.Grid->setFocus();
                Target = W.Grid;
            }
            if (W.Grid->DropListShown()) Target = W.Grid->DropList();
            QTest::keyClick(Target, Keys[Next(std::size(Keys))]);
        }
    }
    W.Key(Qt::Key_Return);
    ASSERT_GT(Commits.count(), 0);
    for (const QVariantList& Args : Commits) {
        EXPECT_EQ(Args[0].toInt(), 1);
        EXPECT_TRUE(Args[1].toInt() >= 1 && Args[1].toInt() <= 9) << Args[1].toInt();
    }
    for (int R = 1; R <= 9; ++R) {
        const TFieldValue V = W.Grid->GetValue(1, R);
        if (R == 3) {
            EXPECT_TRUE(std::holds_alternative<long long>(V));
        }
        EXPECT_EQ(W.Grid->Cells(0, R), DuctRows[R].section(';', 0, 0).trimmed());
    }
}

} // namespace
