// Formatted edit driven by real key and mouse events: the character filter,
// Backspace and selection rules, Escape, the limit check on leaving, units
// and the shared units label.
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "GuiTestUtil.h"
#include "controls/TxFmtEdit.h"

using namespace oravent;
using namespace oravent::gui;
using oravent::gui::test::BeepCounter;

namespace {

// A window with the edit under test and a second edit to move the focus to.
struct EditWindow {
    QWidget Window;
    TFmtEdit* Edit;
    TFmtEdit* Other;
    EditWindow() {
        auto* L = new QVBoxLayout(&Window);
        Edit = new TFmtEdit(&Window);
        Other = new TFmtEdit(&Window);
        L->addWidget(Edit);
        L->addWidget(Other);
    }
    bool Show() {
        if (!test::ShowActive(Window)) return false;
        Edit->setFocus();
        QApplication::processEvents();
        return Edit->hasFocus();
    }
    // Replaces the whole text by typing, as a user does over a selection.
    void Type(const QString& Keys) {
        Edit->selectAll();
        QTest::keyClicks(Edit, Keys);
    }
    void Leave() {
        Other->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QApplication::processEvents();
    }
};

struct LimitCase {
    const char* Name;
    const char* Format;
    double Lo, Hi;
    const char* Typed;
    const char* Shown;
    int Beeps;
};

class FmtEditLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(FmtEditLimits, LeavingChecksAndClamps) {
    const LimitCase& C = GetParam();
    EditWindow W;
    W.Edit->SetFormatStr(QString::fromLatin1(C.Format));
    W.Edit->SetRangeLo(C.Lo);
    W.Edit->SetRangeHi(C.Hi);
    ASSERT_TRUE(W.Show());
    BeepCounter Beeps;
    W.Type(QString::fromLatin1(C.Typed));
    W.Leave();
    EXPECT_EQ(W.Edit->text().toStdString(), C.Shown);
    EXPECT_EQ(Beeps.Count(), C.Beeps);
    // A clamped value keeps the user in the edit.
    EXPECT_EQ(W.Edit->hasFocus(), C.Beeps > 0);
}

const LimitCase LimitCases[] = {
    {"WithinHalfPercentAbove", "%0.3f", 70, 120, "120.5", "120.500", 0},
    {"BeyondHigh", "%0.3f", 70, 120, "121", "120.000", 1},
    {"WithinHalfPercentBelow", "%0.3f", 70, 120, "69.8", "69.800", 0},
    {"BeyondLow", "%0.3f", 70, 120, "69", "70.000", 1},
    {"ToleranceAtOne", "%0.1f", 0, 1, "1.004", "1.0", 0},
    {"ZeroLowHasNoTolerance", "%0.1f", 0, 1, "-0.1", "0.0", 1},
    {"NoLimits", "%0.1f", 0, 0, "99999", "99999.0", 0},
    {"ZeroHighHasNoTolerance", "%0.1f", -60, 0, "0.001", "0.0", 1},
    {"PairSingleNumberKeepsFirstPart", "%0.1f/%0.1f", 0, 0, "25", "25.0", 0},
    {"PairBothClamped", "%0.1f/%0.1f", -60, 90, "95/-70", "90.0/-60.0", 1},
    {"WholeNumberRounds", "%d", 0, 100, "42", "42", 0},
    {"TextFormatTakesAnything", "%S", 0, 0, "abc def", "abc def", 0},
    {"UnreadableTextStays", "%0.4g", 70, 120, "1e-", "1e-", 0},
    {"LoneMinusReadsAsZero", "%0.3f", 70, 120, "--", "70.000", 1},
};

INSTANTIATE_TEST_SUITE_P(Cases, FmtEditLimits, ::testing::ValuesIn(LimitCases),
                         [](const auto& I) { return std::string(I.param.Name); });

struct FilterCase {
    const char* Name;
    const char* Format;
    const char* Typed;
    const char* Shown; // text before leaving
    int Beeps;
};

class FmtEditFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FmtEditFilter, RefusedCharactersBeepAndAreDropped) {
    const FilterCase& C = GetParam();
    EditWindow W;
    W.Edit->SetFormatStr(QString::fromLatin1(C.Format));
    ASSERT_TRUE(W.Show());
    BeepCounter Beeps;
    W.Type(QString::fromLatin1(C.Typed));
    EXPECT_EQ(W.Edit->text().toStdString(), C.Shown);
    EXPECT_EQ(Beeps.Count(), C.Beeps);
    EXPECT_TRUE(W.Edit->Modified());
}

const FilterCase FilterCases[] = {
    {"PairAcceptsSlash", "%0.1f/%0.1f", "25/12", "25/12", 0},
    {"PairRefusesE", "%0.1f/%0.1f", "2e5", "25", 1},
    {"GeneralAcceptsExponent", "%0.4g", "1e3E", "1e3E", 0},
    {"FixedRefusesExponent", "%0.3f", "1e3", "13", 1},
    {"WholeRefusesPoint", "%d", "1.5", "15", 1},
    {"FixedRefusesLetters", "%0.1f", "-a1.b", "-1.", 2},
    {"TextAcceptsAll", "%S", "x/y e.", "x/y e.", 0},
    // A comma is the decimal point once per number; text keeps it.
    {"CommaIsTheDecimalPoint", "%0.3f", "2400,5", "2400.5", 0},
    {"SecondCommaRefused", "%0.3f", "2,4,5", "2.45", 1},
    {"CommaAfterAPointRefused", "%0.4g", "2.4,5", "2.45", 1},
    {"CommaInEachNumberOfAPair", "%0.1f/%0.1f", "20,5/15,5", "20.5/15.5", 0},
    {"WholeRefusesComma", "%d", "2,5", "25", 1},
    {"TextKeepsComma", "%S", "a,b", "a,b", 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, FmtEditFilter, ::testing::ValuesIn(FilterCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(FmtEdit, TypingOverASelectionOfSeveralCharactersReplacesIt) {
    EditWindow W;
    W.Edit->SetFormatStr(QStringLiteral("%0.3f"));
    ASSERT_TRUE(W.Show());
    W.Edit->setText(QStringLiteral("12.345"));
    W.Edit->setSelection(3, 3);
    QTest::keyClick(W.Edit, Qt::Key_7);
    EXPECT_EQ(W.Edit->text(), QStringLiteral("12.7"));
    // A refused character still deletes a selection of two or more.
    W.Edit->setSelection(0, 2);
    BeepCounter Beeps;
    QTest::keyClick(W.Edit, Qt::Key_X);
    EXPECT_EQ(W.Edit->text(), QStringLiteral(".7"));
    EXPECT_EQ(Beeps.Count(), 1);
}

TEST(FmtEdit, CommaOverASelectionLooksAtWhatStays) {
    EditWindow W;
    W.Edit->SetFormatStr(QStringLiteral("%0.3f"));
    ASSERT_TRUE(W.Show());
    struct Row {
        int Start, Length;
        const char* Shown;
        int Beeps;
    };
    // Text "12.5": a point inside the selection goes with it; one outside
    // it stays and refuses the comma.
    for (const Row& R : {Row{2, 1, "12.5", 0}, Row{2, 2, "12.", 0}, Row{0, 2, ".5", 1}}) {
        W.Edit->setText(QStringLiteral("12.5"));
        W.Edit->setSelection(R.Start, R.Length);
        BeepCounter Beeps;
        QTest::keyClick(W.Edit, Qt::Key_Comma);
        EXPECT_EQ(W.Edit->text().toStdString(), R.Shown) << R.Start << "+" << R.Length;
        EXPECT_EQ(Beeps.Count(), R.Beeps) << R.Start << "+" << R.Length;
    }
}

struct CueCase {
    const char* Name;
    const char* AccessibleName;
    bool Units; // kPa
    const char* Typed;
    const char* Cue;
    bool Clamped;   // the edit takes the focus back
    bool WaitToEnd; // the cue goes after a few seconds
};

class FmtEditCue : public ::testing::TestWithParam<CueCase> {};

TEST_P(FmtEditCue, TheBeepComesWithAVisibleCue) {
    const CueCase& C = GetParam();
    EditWindow W;
    W.Edit->SetFormatStr(QStringLiteral("%0.3f"));
    if (C.Units) W.Edit->SetUnitsType(utPressureBar);
    W.Edit->SetRangeLo(70);
    W.Edit->SetRangeHi(120);
    W.Edit->setAccessibleName(QString::fromLatin1(C.AccessibleName));
    ASSERT_TRUE(W.Show());
    HideCue();
    BeepCounter Beeps;
    W.Type(QString::fromLatin1(C.Typed));
    W.Leave();
    EXPECT_EQ(Beeps.Count(), 1);
    const QLabel* Cue = ShownCue();
    ASSERT_NE(Cue, nullptr);
    EXPECT_EQ(Cue->text().toStdString(), C.Cue);
    EXPECT_GE(Cue->geometry().top(), W.Edit->mapToGlobal(W.Edit->rect().bottomLeft()).y());
    // It stays while the focus moves (a clamped edit takes it back), and
    // goes after a while.
    QApplication::processEvents();
    EXPECT_EQ(W.Edit->hasFocus(), C.Clamped);
    EXPECT_EQ(ShownCue(), Cue);
    if (!C.WaitToEnd) return;
    QTest::qWait(CueMilliseconds / 2);
    EXPECT_EQ(ShownCue(), Cue);
    EXPECT_TRUE(QTest::qWaitFor([] { return ShownCue() == nullptr; }, CueMilliseconds * 3));
}

const CueCase CueCases[] = {
    {"LimitsWithNameAndUnit", "Barometer", true, "130", "Barometer: 70.000 to 120.000 kPa", true,
     true},
    {"LimitsWithoutName", "", true, "50", "70.000 to 120.000 kPa", true, false},
    {"LimitsWithoutUnit", "Barometer", false, "130", "Barometer: 70.000 to 120.000", true, false},
    {"RefusedCharacter", "Barometer", false, "1x00",
     "Barometer: \"x\" is not accepted; type digits, \"-\" and \".\"", false, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, FmtEditCue, ::testing::ValuesIn(CueCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(FmtEdit, BackspaceDeletesOnlyTheCharacterBeforeTheSelection) {
    EditWindow W;
    ASSERT_TRUE(W.Show());
    W.Edit->setText(QStringLiteral("123"));
    W.Edit->selectAll();
    QTest::keyClick(W.Edit, Qt::Key_Backspace);
    EXPECT_EQ(W.Edit->text(), QStringLiteral("123"));
    W.Edit->setSelection(1, 2);
    QTest::keyClick(W.Edit, Qt::Key_Backspace);
    EXPECT_EQ(W.Edit->text(), QStringLiteral("23"));
    EXPECT_EQ(W.Edit->cursorPosition(), 0);
    W.Edit->setCursorPosition(2);
    QTest::keyClick(W.Edit, Qt::Key_Backspace);
    EXPECT_EQ(W.Edit->text(), QStringLiteral("2"));
}

TEST(FmtEdit, EscapeRestoresTheTextFromFocusEntry) {
    EditWindow W;
    W.Edit->setText(QStringLiteral("5.0"));
    ASSERT_TRUE(W.Show());
    W.Type(QStringLiteral("77"));
    ASSERT_EQ(W.Edit->text(), QStringLiteral("77"));
    QTest::keyClick(W.Edit, Qt::Key_Escape);
    EXPECT_EQ(W.Edit->text(), QStringLiteral("5.0"));
    EXPECT_FALSE(W.Edit->Modified());
}

TEST(FmtEdit, EnterConfirmsAndAnUntouchedTextIsNotChecked) {
    EditWindow W;
    W.Edit->SetFormatStr(QStringLiteral("%0.3f"));
    W.Edit->SetRangeLo(70);
    W.Edit->SetRangeHi(120);
    W.Edit->setText(QStringLiteral("500"));
    ASSERT_TRUE(W.Show());
    BeepCounter Beeps;
    W.Leave();
    EXPECT_EQ(W.Edit->text(), QStringLiteral("500")); // not modified: no check
    EXPECT_EQ(Beeps.Count(), 0);
    W.Edit->setFocus();
    W.Type(QStringLiteral("80"));
    QTest::keyClick(W.Edit, Qt::Key_Return);
    EXPECT_EQ(W.Edit->text(), QStringLiteral("80.000"));
    EXPECT_EQ(Beeps.Count(), 0);
}

TEST(FmtEdit, SwitchingWindowsKeepsATypedTextForTheCheckOnLeaving) {
    EditWindow W;
    W.Edit->SetFormatStr(QStringLiteral("%0.3f"));
    W.Edit->SetRangeLo(70);
    W.Edit->SetRangeHi(120);
    W.Edit->setText(QStringLiteral("100.000"));
    ASSERT_TRUE(W.Show());
    W.Type(QStringLiteral("130"));
    // Another window takes the focus and gives it back.
    QFocusEvent Out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(W.Edit, &Out);
    QFocusEvent In(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(W.Edit, &In);
    EXPECT_TRUE(W.Edit->Modified());
    EXPECT_EQ(W.Edit->SavedText(), QStringLiteral("100.000"));
    BeepCounter Beeps;
    W.Leave();
    EXPECT_EQ(W.Edit->text(), QStringLiteral("120.000"));
    EXPECT_EQ(Beeps.Count(), 1);
    // A first entry by window activation still saves the text for Escape.
    EditWindow V;
    V.Edit->setText(QStringLiteral("5.0"));
    QFocusEvent First(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(V.Edit, &First);
    EXPECT_EQ(V.Edit->SavedText(), QStringLiteral("5.0"));
}

TEST(FmtEdit, ModifiedEditKeepsEscapeFromTheDialog) {
    QDialog Dialog;
    auto* L = new QVBoxLayout(&Dialog);
    auto* Edit = new TFmtEdit(&Dialog);
    L->addWidget(Edit);
    ASSERT_TRUE(test::ShowActive(Dialog));
    Edit->setFocus();
    Edit->selectAll();
    QTest::keyClicks(Edit, QStringLiteral("42"));
    QTest::keyClick(Edit, Qt::Key_Escape); // reverts, the dialog stays
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_EQ(Edit->text(), QStringLiteral("0.0"));
    QTest::keyClick(Edit, Qt::Key_Escape); // nothing to revert: the dialog cancels
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Dialog.result(), QDialog::Rejected);
}

TEST(FmtEdit, ReadOnlyEditDropsTyping) {
    EditWindow W;
    W.Edit->setReadOnly(true);
    ASSERT_TRUE(W.Show());
    BeepCounter Beeps;
    W.Type(QStringLiteral("9x"));
    QTest::keyClick(W.Edit, Qt::Key_Backspace);
    EXPECT_EQ(W.Edit->text(), QStringLiteral("0.0"));
    EXPECT_EQ(Beeps.Count(), 0);
}

TEST(FmtEdit, CommitEditConfirmsAndFiresExit) {
    EditWindow W;
    W.Edit->SetFormatStr(QStringLiteral("%0.2f"));
    QSignalSpy Exits(W.Edit, &TxCustomEdit::OnExit);
    ASSERT_TRUE(W.Show());
    W.Type(QStringLiteral("3.14159"));
    TxCustomEdit::CommitEdit(W.Edit);
    EXPECT_EQ(W.Edit->text(), QStringLiteral("3.14"));
    EXPECT_EQ(Exits.count(), 1);
    EXPECT_FALSE(W.Edit->Modified());
}

TEST(FmtEdit, StringFormatOverInitialTextEmptiesIt) {
    TFmtEdit E;
    EXPECT_EQ(E.text(), QStringLiteral("0.0"));
    E.SetFormatStr(QStringLiteral("%S"));
    EXPECT_EQ(E.text(), QString());
}

TEST(FmtEdit, ValuesGoThroughTheShownUnit) {
    TFmtEdit E;
    E.SetFormatStr(QStringLiteral("%0.3f"));
    E.setText(QStringLiteral("101.325"));
    E.SetUnitsType(utPressureBar);
    // The text is read as a base-unit value and stays.
    EXPECT_EQ(E.text(), QStringLiteral("101.325"));
    EXPECT_NEAR(E.GetValue().toDouble(), 101.325, 1e-9);
    // Another shown unit keeps the held value.
    for (int I = 1; I < UnitsCount(utPressureBar); ++I) {
        E.SetUnitsValue(I);
        const double Back = E.GetValue().toDouble();
        EXPECT_NEAR(Back, 101.325, 101.325 * 0.01) << "unit " << I;
    }
    E.SetUnitsValue(0);
    E.SetValue(99.5);
    EXPECT_NEAR(E.GetValue().toDouble(), 99.5, 1e-6);
}

TEST(FmtEdit, GetValueOfTextsPairsAndWholeNumbers) {
    TFmtEdit E;
    E.SetFormatStr(QStringLiteral("%0.3f"));
    E.setText(QStringLiteral("abc"));
    EXPECT_EQ(E.GetValue().toString(), QStringLiteral("abc"));
    E.SetFormatStr(QStringLiteral("%d"));
    E.SetValue(2.6);
    EXPECT_EQ(E.text(), QStringLiteral("3"));
    EXPECT_EQ(E.GetValue().toLongLong(), 3);
    E.SetValue(2.5); // ties to even, as the grid's whole-number rows
    EXPECT_EQ(E.text(), QStringLiteral("2"));
    E.SetFormatStr(QStringLiteral("%0.1f/%0.1f"));
    E.SetValue(QStringLiteral("13/12"));
    EXPECT_EQ(E.text(), QStringLiteral("13.0/12.0"));
    EXPECT_EQ(E.GetValue().toString(), QStringLiteral("13.0/12.0"));
    E.setText(QStringLiteral("25"));
    EXPECT_EQ(E.GetValue().toString(), QStringLiteral("25"));
    E.SetFormatStr(QStringLiteral("%0.3f"));
    E.SetValue(QStringLiteral("not a number"));
    EXPECT_EQ(E.text(), QString());
}

TEST(FmtEdit, CopyTakesFormatUnitsAndTextButNotLimits) {
    TFmtEdit A, B;
    A.SetFormatStr(QStringLiteral("%0.2f"));
    A.SetUnitsType(utTemperature);
    A.SetUnitsValue(1);
    A.SetRangeHi(50);
    A.SetValue(20.0);
    B.Assign(A);
    EXPECT_EQ(B.text(), A.text());
    EXPECT_EQ(B.UnitsType(), utTemperature);
    EXPECT_EQ(B.UnitsValue(), 1);
    EXPECT_DOUBLE_EQ(B.Factor(), A.Factor());
    EXPECT_DOUBLE_EQ(B.Offset(), A.Offset());
    EXPECT_EQ(B.RangeHi(), 0.0);
    EXPECT_NEAR(B.GetValue().toDouble(), 20.0, 0.05);
}

TEST(FmtEditLabel, ClickSwitchesEveryLinkedEditAndFiresEachOnce) {
    QWidget Window;
    auto* L = new QVBoxLayout(&Window);
    auto* Label = new TFmtEditLabel(&Window);
    auto* A = new TFmtEdit(&Window);
    auto* B = new TFmtEdit(&Window);
    L->addWidget(A);
    L->addWidget(B);
    L->addWidget(Label);
    for (TFmtEdit* E : {A, B}) {
        E->SetFormatStr(QStringLiteral("%0.1f"));
        E->SetUnitsType(utTemperature);
        E->SetUnitsLabel(Label);
    }
    A->SetUnitsLabel(Label); // linked once only
    ASSERT_EQ(Label->Edits().size(), 2);
    A->SetValue(20.0);
    B->SetValue(-40.0);
    EXPECT_EQ(Label->text(), QString::fromStdString(UnitsCaption(utTemperature, 0)));
    QStringList Order;
    QObject::connect(A, &TxCustomEdit::OnUnitsEdited, A, [&] { Order << "A"; });
    QObject::connect(B, &TxCustomEdit::OnUnitsEdited, B, [&] { Order << "B"; });
    QSignalSpy Clicks(Label, &TFmtEditLabel::OnClick);
    ASSERT_TRUE(test::ShowActive(Window));
    test::WhenPickerOpens([](TUnitsForm* F) {
        QTest::keyClick(F->List(), Qt::Key_Down);
        QTest::keyClick(F->List(), Qt::Key_Return);
    });
    QTest::mouseClick(Label, Qt::LeftButton);
    EXPECT_EQ(Order, (QStringList{"A", "B"}));
    EXPECT_EQ(Clicks.count(), 1);
    EXPECT_EQ(A->UnitsValue(), 1);
    EXPECT_EQ(B->UnitsValue(), 1);
    EXPECT_EQ(A->text(), QStringLiteral("68.0"));
    EXPECT_EQ(B->text(), QStringLiteral("-40.0"));
    EXPECT_EQ(Label->text(), QString::fromStdString(UnitsCaption(utTemperature, 1)));
    EXPECT_NEAR(A->GetValue().toDouble(), 20.0, 1e-9);
}

TEST(FmtEditLabel, AnEditDestroyedWhileThePickerIsOpenIsSkipped) {
    QWidget Window;
    auto* L = new QVBoxLayout(&Window);
    auto* Label = new TFmtEditLabel(&Window);
    auto* A = new TFmtEdit(&Window);
    auto* B = new TFmtEdit(&Window);
    L->addWidget(A);
    L->addWidget(B);
    L->addWidget(Label);
    for (TFmtEdit* E : {A, B}) {
        E->SetUnitsType(utTemperature);
        E->SetUnitsLabel(Label);
    }
    QSignalSpy Edited(A, &TxCustomEdit::OnUnitsEdited);
    ASSERT_TRUE(test::ShowActive(Window));
    test::WhenPickerOpens([B](TUnitsForm* F) {
        delete B; // the window drops one of the edits meanwhile
        QTest::keyClick(F->List(), Qt::Key_Down);
        QTest::keyClick(F->List(), Qt::Key_Return);
    });
    QTest::mouseClick(Label, Qt::LeftButton);
    EXPECT_EQ(A->UnitsValue(), 1);
    EXPECT_EQ(Edited.count(), 1);
    EXPECT_EQ(Label->Edits().size(), 1);
}

TEST(FmtEditLabel, LabelWithoutEditsOpensNoPicker) {
    QWidget Window;
    auto* Label = new TFmtEditLabel(&Window);
    Label->setText(QStringLiteral("kPa"));
    int Clicks = 0;
    QObject::connect(Label, &TFmtEditLabel::OnClick, Label, [&] {
        EXPECT_EQ(TUnitsForm::Current(), nullptr);
        ++Clicks;
    });
    ASSERT_TRUE(test::ShowActive(Window));
    QTest::mouseClick(Label, Qt::LeftButton);
    EXPECT_EQ(Clicks, 1);
}

TEST(FmtEditLabel, DestroyingEitherSideUnlinks) {
    auto* Label = new TFmtEditLabel;
    auto* A = new TFmtEdit;
    auto* B = new TFmtEdit;
    A->SetUnitsLabel(Label);
    B->SetUnitsLabel(Label);
    delete A;
    EXPECT_EQ(Label->Edits().size(), 1);
    delete Label;
    EXPECT_EQ(B->UnitsLabel(), nullptr);
    B->SetUnitsValue(0); // no dangling label
    delete B;
}

} // namespace
