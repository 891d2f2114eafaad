// The Standard Sizes window over the duct window: opened from the menu,
// a row chosen by key or mouse (also after sorting) enters that size, and
// the series fields take only what the core can read.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <gtest/gtest.h>

#include "app/DuctTool.h"
#include "app/TxStandardSizes.h"
#include "common/AppFolders.h"
#include "controls/EntryGridWidget.h"
#include "gui/controls/GuiTestUtil.h"
#include "report/TxReporter.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

class DuctStandardSizesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FConfig.isValid() && FData.isValid());
        setenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", FData.path().toLocal8Bit().constData(), 1);
        std::remove((AppFolder() + "Oravent.ini").c_str());
        TDuctUForm::MessageHook = [this](const QString& M) { Messages << M; };
        TStandardSizesForm::MessageHook = [this](const QString& M) { Messages << M; };
        F = std::make_unique<TDuctUForm>();
        ASSERT_TRUE(test::ShowActive(*F));
        F->Action("ResetToDefaults")->trigger(); // 5 m³/s at 1 Pa/m
        F->Action("StandardSizes")->trigger();
        W = F->StandardSizesForm();
        ASSERT_TRUE(W && W->isVisible());
    }
    void TearDown() override {
        F.reset();
        TDuctUForm::MessageHook = nullptr;
        TStandardSizesForm::MessageHook = nullptr;
    }
    QTableWidget* ShowTab(TSizeShape Shape) {
        W->Tabs->setCurrentWidget(W->Table(Shape));
        return W->Table(Shape);
    }
    // The grid's value of a row as a number in its shown unit.
    double Shown(TDuctRow Row) const {
        return F->Grid()->Cells(1, static_cast<int>(Row)).toDouble();
    }
    // What a row of the rectangles shows: its height and width texts, its candidate.
    struct TRowShown {
        QString Height, Width;
        TSizeCandidate C;
    };
    TRowShown RectRow(int Row) const {
        const QTableWidget* T = W->Table(TSizeShape::Rectangular);
        const TSizeCandidate* C = W->RowCandidate(TSizeShape::Rectangular, Row);
        EXPECT_TRUE(C);
        return {T->item(Row, 0)->text(), T->item(Row, 1)->text(), C ? *C : TSizeCandidate{}};
    }
    // The duct window shows the rectangle that row showed, solved.
    void ExpectEntered(const TRowShown& Row) {
        EXPECT_DOUBLE_EQ(Shown(TDuctRow::Height), Row.Height.toDouble());
        EXPECT_DOUBLE_EQ(Shown(TDuctRow::Width), Row.Width.toDouble());
        EXPECT_DOUBLE_EQ(F->Sheet().Height, Row.C.Height);
        EXPECT_DOUBLE_EQ(F->Sheet().Width, Row.C.Width);
        EXPECT_EQ(F->StatusPanel(0)->text(), "Solved...");
        EXPECT_TRUE(F->ReportForm()->PlainText().contains("Selected Size"));
    }
    static int SelectedRow(const QTableWidget* T) {
        const auto Rows = T->selectionModel()->selectedRows();
        return Rows.size() == 1 ? Rows[0].row() : -1;
    }

    QTemporaryDir FConfig, FData;
    QStringList Messages;
    std::unique_ptr<TDuctUForm> F;
    QPointer<TStandardSizesForm> W;
};

TEST_F(DuctStandardSizesTest, ChoiceIsShownAndRowsAreEnteredByKeyAndMouse) {
    EXPECT_EQ(W->windowTitle(), "Standard Sizes");
    EXPECT_FALSE(W->Heading->text().isEmpty());
    QTableWidget* Round = W->Table(TSizeShape::Round);
    EXPECT_EQ(W->Tabs->currentWidget(), Round);
    ASSERT_GT(Round->rowCount(), 3);
    const int Chosen = SelectedRow(Round);
    ASSERT_GE(Chosen, 0);
    EXPECT_EQ(Round->item(Chosen, 0)->text(), "900");
    EXPECT_TRUE(Round->item(Chosen, 0)->font().bold());
    EXPECT_FALSE(Round->item(Chosen == 0 ? 1 : 0, 0)->font().bold());
    EXPECT_FALSE(F->ReportForm()->PlainText().contains("Selected Size"));

    QTableWidget* Rect = ShowTab(TSizeShape::Rectangular);
    ASSERT_GT(Rect->rowCount(), 3);
    const int RectChoice = SelectedRow(Rect);
    ASSERT_GE(RectChoice, 0);
    EXPECT_TRUE(W->RowCandidate(TSizeShape::Rectangular, RectChoice)->Chosen);
    // Enter on another selected row.
    const int Row = RectChoice == 0 ? 1 : 0;
    Rect->setFocus();
    Rect->setCurrentCell(Row, 0);
    const TRowShown Picked = RectRow(Row);
    QTest::keyClick(Rect, Qt::Key_Return);
    {
        SCOPED_TRACE("Enter");
        ExpectEntered(Picked);
    }
    EXPECT_TRUE(W->isVisible());
    // The refreshed list keeps the entered size selected.
    ASSERT_GE(SelectedRow(Rect), 0);
    EXPECT_TRUE(W->RowCandidate(TSizeShape::Rectangular, SelectedRow(Rect))->SameSize(Picked.C));

    // A double click on the last row.
    const int Last = Rect->rowCount() - 1;
    Rect->scrollToItem(Rect->item(Last, 0));
    const QPoint At = Rect->visualItemRect(Rect->item(Last, 0)).center();
    const TRowShown Clicked = RectRow(Last);
    QTest::mouseClick(Rect->viewport(), Qt::LeftButton, {}, At); // the first click
    QTest::mouseDClick(Rect->viewport(), Qt::LeftButton, {}, At);
    {
        SCOPED_TRACE("double click");
        ExpectEntered(Clicked);
    }
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();

    // Escape closes; Ctrl+T in the duct window opens it again.
    QTest::keyClick(Rect, Qt::Key_Escape);
    EXPECT_FALSE(W->isVisible());
    ASSERT_TRUE(test::ShowActive(*F));
    QTest::keyClick(F->Grid(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(W->isVisible());
}

// Sorting is by the number, not the text; the row still enters its own size.
TEST_F(DuctStandardSizesTest, SortedColumnsKeepRowsAndCandidatesTogether) {
    QTableWidget* Rect = ShowTab(TSizeShape::Rectangular);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(W));
    QHeaderView* Header = Rect->horizontalHeader();
    for (int Column : {1, 4, 4}) { // Width, Velocity ascending and descending
        const QPoint At(Header->sectionViewportPosition(Column) + Header->sectionSize(Column) / 2,
                        Header->height() / 2);
        QTest::mouseClick(Header->viewport(), Qt::LeftButton, {}, At);
        ASSERT_EQ(Header->sortIndicatorSection(), Column);
        const double Sign = Header->sortIndicatorOrder() == Qt::AscendingOrder ? 1 : -1;
        for (int R = 1; R < Rect->rowCount(); ++R)
            EXPECT_LE(Sign * Rect->item(R - 1, Column)->text().toDouble(),
                      Sign * Rect->item(R, Column)->text().toDouble())
                << Column << " row " << R;
        for (int R = 0; R < Rect->rowCount(); ++R) {
            const TSizeCandidate* C = W->RowCandidate(TSizeShape::Rectangular, R);
            const auto Cells = SizeTableCells(*C, F->Commands().SizeUnits());
            EXPECT_EQ(Rect->item(R, 1)->text().toStdString(), Cells[1].Text) << R;
            EXPECT_EQ(Rect->item(R, Column)->text().toStdString(), Cells[Column].Text) << R;
        }
    }
    Rect->setFocus();
    Rect->setCurrentCell(0, 0);
    const TRowShown First = RectRow(0);
    QTest::keyClick(Rect, Qt::Key_Enter);
    ExpectEntered(First);
    EXPECT_EQ(Header->sortIndicatorSection(), 4); // the refresh keeps the order
}

TEST_F(DuctStandardSizesTest, SeriesFieldsApplyOnlyWhatTheCoreReads) {
    const TStandardSizeSettings Before = F->Commands().SizeSettings;
    const QString Good = W->SeriesEdits[0]->text();
    W->Tabs->setCurrentIndex(2);
    W->SeriesEdits[0]->setText("100 80 125");
    W->SeriesEdits[0]->setModified(true);
    QTest::mouseClick(W->ApplyButton, Qt::LeftButton);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains("metric round", Qt::CaseInsensitive))
        << Messages[0].toStdString();
    EXPECT_EQ(W->SeriesEdits[0]->text(), "100 80 125");
    EXPECT_EQ(F->Commands().SizeSettings, Before);

    // An unapplied edit outlives a refresh (here a change of units).
    F->Action("Imperial")->trigger();
    F->Action("Metric")->trigger();
    EXPECT_EQ(W->SeriesEdits[0]->text(), "100 80 125");

    // A fixed height, applied with Enter in its field: every rectangle has it.
    W->SeriesEdits[0]->setText(Good);
    W->HeightEdit->setFocus();
    W->HeightEdit->setText("300");
    W->HeightEdit->setModified(true);
    QTest::keyClick(W->HeightEdit, Qt::Key_Return);
    EXPECT_EQ(Messages.size(), 1);
    EXPECT_DOUBLE_EQ(F->Commands().SizeSettings.FixedHeight, 0.3);
    QTableWidget* Rect = W->Table(TSizeShape::Rectangular);
    ASSERT_GT(Rect->rowCount(), 1);
    for (int R = 0; R < Rect->rowCount(); ++R)
        EXPECT_EQ(Rect->item(R, 0)->text(), "300") << R;

    // Defaults are filled in, and taken on Apply.
    QTest::mouseClick(W->DefaultsButton, Qt::LeftButton);
    EXPECT_TRUE(W->HeightEdit->text().isEmpty());
    EXPECT_DOUBLE_EQ(F->Commands().SizeSettings.FixedHeight, 0.3);
    QTest::mouseClick(W->ApplyButton, Qt::LeftButton);
    EXPECT_EQ(F->Commands().SizeSettings, TStandardSizeSettings{});

    // Imperial units: inch sizes and the limits' fields in the rows' units.
    F->Action("Imperial")->trigger();
    EXPECT_TRUE(W->Table(TSizeShape::Round)->horizontalHeaderItem(0)->text().contains("(in)"));
    EXPECT_EQ(Messages.size(), 1);
}

} // namespace
