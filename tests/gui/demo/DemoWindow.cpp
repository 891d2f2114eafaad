// A demo window of the data-entry controls: the duct window's nine rows on an
// entry grid, and a pressure edit with its units label. It is a test
// fixture, not part of the program. Run with ORAVENT_DEMO=1 on a display
// (QT_QPA_PLATFORM=xcb) to type into it; ORAVENT_DEMO_SECONDS ends it after
// that many seconds. Without ORAVENT_DEMO it only checks that the window
// builds and shows its rows.
#include <QApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>

#include <gtest/gtest.h>

#include "controls/EntryGridWidget.h"
#include "controls/TxFmtEdit.h"
#include "duct/DuctSheetRows.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

struct DemoWindow {
    QWidget Window;
    TEntryGrid* Grid = nullptr;
    TFmtEdit* Pressure = nullptr;
    TFmtEditLabel* PressureUnits = nullptr;
    QLabel* Status = nullptr;

    DemoWindow() {
        Window.setWindowTitle(QStringLiteral("Oravent demo"));
        auto* L = new QVBoxLayout(&Window);
        Grid = new TEntryGrid(&Window);
        L->addWidget(Grid);
        QStringList RowTexts;
        for (const auto& T : DuctSheetRowTexts())
            RowTexts << QString::fromStdString(T);
        Grid->SetRows(RowTexts);
        Grid->SetUnitsPicker(&TEntryGrid::ShowRowUnitsPicker);
        for (const auto& U : DuctSheetRowUnits)
            Grid->SetUnits(U.Row, U.Type, U.Base, U.Base, ft_Fixed);
        Grid->SetValue(1, 1, 101.325);
        Grid->SetValue(1, 2, std::string("13/12"));
        Grid->SetValue(1, 3, 0LL);
        Grid->SetValue(1, 4, 0.8);
        Grid->SetValue(1, 5, 1.5);
        Grid->SetValue(1, 6, 6.2);
        Grid->SetValue(1, 7, 560.0);
        Grid->SetValue(1, 8, 400.0);
        Grid->SetValue(1, 9, 650.0);
        Grid->SetPropEditor(1, [this](TFieldValue& V) {
            bool Ok = false;
            const double D =
                QInputDialog::getDouble(&Window, QStringLiteral("Barometer"), QStringLiteral("kPa"),
                                        std::get<double>(V), 70, 120, 3, &Ok);
            if (!Ok) return 2;
            V = D;
            return 1;
        });
        // White value cells on a grey sheet, as the duct window shows them.
        Grid->SetColor(Window.palette().color(QPalette::Button));
        Grid->SetColorEditCol(Window.palette().color(QPalette::Base));
        Grid->SetColWidths(0, ClassicPx(Grid, 135));
        Grid->SetColWidths(1, ClassicPx(Grid, 75));
        Grid->SetColWidths(2, ClassicPx(Grid, 55));
        const int Rows = Grid->RowCount();
        Grid->setFixedSize(Grid->ColWidths(0) + Grid->ColWidths(1) + Grid->ColWidths(2) + 6,
                           Rows * (Grid->DefaultRowHeight() + 1) + 4);

        auto* Row = new QHBoxLayout;
        Row->addWidget(new QLabel(QStringLiteral("Pressure"), &Window));
        Pressure = new TFmtEdit(&Window);
        Pressure->SetFormatStr(QStringLiteral("%0.3f"));
        Pressure->SetUnitsType(utPressure);
        Pressure->SetRangeLo(70);
        Pressure->SetRangeHi(120);
        Pressure->SetValue(101.325);
        PressureUnits = new TFmtEditLabel(&Window);
        Pressure->SetUnitsLabel(PressureUnits);
        Row->addWidget(Pressure);
        Row->addWidget(PressureUnits);
        L->addLayout(Row);
        Status = new QLabel(QStringLiteral("Ready..."), &Window);
        L->addWidget(Status);
        QObject::connect(Grid, &TEntryGrid::OnDoSetData, Grid, [this](int C, int R) {
            Status->setText(
                QStringLiteral("OnDoSetData(%1, %2): %3").arg(C).arg(R).arg(Grid->Cells(C, R)));
        });
    }
};

TEST(DemoWindow, BuildsTheNineRowsAndRunsOnADisplayWhenAsked) {
    DemoWindow D;
    EXPECT_EQ(D.Grid->RowCount(), 10);
    EXPECT_EQ(D.Grid->Cells(1, 3), QStringLiteral("Smooth"));
    EXPECT_TRUE(D.Grid->Cells(1, 7).startsWith(QStringLiteral("560")));
    EXPECT_EQ(D.Grid->Cells(2, 5), QString::fromUtf8("m³/s"));
    EXPECT_EQ(D.PressureUnits->text(), QStringLiteral("kPa"));
    if (!std::getenv("ORAVENT_DEMO")) return;
    D.Window.show();
    D.Grid->setFocus();
    if (const char* S = std::getenv("ORAVENT_DEMO_SECONDS"))
        QTimer::singleShot(std::atoi(S) * 1000, &D.Window, &QWidget::close);
    QApplication::exec();
}

} // namespace
