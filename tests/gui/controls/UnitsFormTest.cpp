// Units picker: contents, highlight, size, and closing by keys and mouse.
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "GuiTestUtil.h"
#include "controls/EditRules.h"
#include "units/TxUnitsForm.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

TEST(UnitsPickerSize, HeightIsHalfALineMoreThanTheItemsTiesToEven) {
    EXPECT_EQ(UnitsPickerHeight(3, 13), 46);
    EXPECT_EQ(UnitsPickerHeight(2, 13), 32); // 32.5 -> 32
    EXPECT_EQ(UnitsPickerHeight(5, 13), 72); // 71.5 -> 72
    EXPECT_EQ(UnitsPickerWidth(20), 60);
    EXPECT_EQ(UnitsPickerWidth(80), 90);
}

TEST(UnitsForm, TemperatureListsItsUnitsInOrderWithTheCurrentHighlighted) {
    TUnitsForm F;
    F.SetSourceField(utTemperature, 1, nullptr);
    F.Fill();
    ASSERT_EQ(F.List()->count(), 3);
    EXPECT_EQ(F.List()->item(0)->text(), QString::fromUtf8("°C"));
    EXPECT_EQ(F.List()->item(1)->text(), QString::fromUtf8("°F"));
    EXPECT_EQ(F.List()->item(2)->text(), QStringLiteral("K"));
    EXPECT_EQ(F.Result(), 1);
    EXPECT_EQ(F.height(), UnitsPickerHeight(3, F.ItemHeight()));
    EXPECT_GE(F.width(), 60);
    EXPECT_TRUE(F.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(F.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(F.windowTitle(), QStringLiteral("Units"));
}

struct CloseCase {
    const char* Name;
    TUnitsType Type;
    int Start;
    std::function<void(TUnitsForm*)> Act;
    int Expected;
};

class UnitsFormClose : public ::testing::TestWithParam<CloseCase> {};

TEST_P(UnitsFormClose, ClosingGivesTheHighlightedUnitAndStoresIt) {
    const CloseCase& C = GetParam();
    int Stored = -99;
    test::WhenPickerOpens(C.Act);
    const int R =
        TUnitsForm::PickForField(C.Type, C.Start, QPoint(40, 40), [&](int I) { Stored = I; });
    EXPECT_EQ(R, C.Expected);
    EXPECT_EQ(Stored, C.Expected);
    EXPECT_EQ(TUnitsForm::Current(), nullptr);
}

void Keys(TUnitsForm* F, std::initializer_list<Qt::Key> Ks) {
    for (Qt::Key K : Ks)
        QTest::keyClick(F->List(), K);
}

QPoint ItemCenter(TUnitsForm* F, int Row) {
    return F->List()->visualItemRect(F->List()->item(Row)).center();
}

const CloseCase CloseCases[] = {
    {"EscapeAtOnceKeepsTheUnit", utTemperature, 2, [](TUnitsForm* F) { Keys(F, {Qt::Key_Escape}); },
     2},
    {"EscapeTakesTheMovedHighlight", utTemperature, 0,
     [](TUnitsForm* F) {
         Keys(F, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Escape});
     },
     2},
    {"EnterTakesTheHighlight", utPressureBar, 0,
     [](TUnitsForm* F) {
         Keys(F, {Qt::Key_Down, Qt::Key_Enter});
     },
     1},
    {"LeftPressPicksTheItemUnderThePointer", utTemperature, 0,
     [](TUnitsForm* F) {
         QTest::mousePress(F->List()->viewport(), Qt::LeftButton, {}, ItemCenter(F, 2));
     },
     2},
    {"RightPressClosesWithoutMovingTheHighlight", utTemperature, 1,
     [](TUnitsForm* F) {
         QTest::mousePress(F->List()->viewport(), Qt::RightButton, {}, ItemCenter(F, 2));
     },
     1},
    {"ProportionEmptyFirstLineIsIndexZero", utProportion, 1,
     [](TUnitsForm* F) {
         EXPECT_EQ(F->List()->item(0)->text(), QString());
         QTest::mousePress(F->List()->viewport(), Qt::LeftButton, {}, ItemCenter(F, 0));
     },
     0},
};

INSTANTIATE_TEST_SUITE_P(Cases, UnitsFormClose, ::testing::ValuesIn(CloseCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(UnitsForm, OpensAtTheGivenPointWithTheListFocused) {
    bool Checked = false;
    test::WhenPickerOpens([&](TUnitsForm* F) {
        EXPECT_EQ(F->pos(), QPoint(120, 80));
        EXPECT_EQ(F->focusWidget(), F->List());
        EXPECT_TRUE(F->isModal());
        Checked = true;
        F->reject();
    });
    TUnitsForm::PickForField(utTemperature, 0, QPoint(120, 80), nullptr);
    EXPECT_TRUE(Checked);
}

} // namespace
