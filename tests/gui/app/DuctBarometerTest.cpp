// The main window's Barometer row with the pressure calculator as its
// property editor, driven by keys as a user would: F4 or Alt+Down opens it,
// the accepted pressure is committed and the sheet solves; a cancelled one
// changes nothing; a place picked in the location picker reaches the row.
#include <QLabel>
#include <QListView>
#include <QToolButton>

#include <cstdio>

#include "app/DuctTool.h"
#include "atmosphere/TxAltBaromForm.h"
#include "atmosphere/TxSelectLocation.h"
#include "common/AppFolders.h"
#include "controls/EntryGridWidget.h"
#include "controls/TxFmtEdit.h"
#include "gui/atmosphere/ModalUser.h"
#include "psychro/Hygrocalc.h"
#include "units/NumberText.h"

using namespace oravent;
using namespace oravent::gui;
using namespace oravent::gui::test;

namespace {

class DuctBarometerTest : public AtmosphereTest {
protected:
    void SetUp() override {
        AtmosphereTest::SetUp();
        std::remove(CalcFile().c_str());
        TDuctUForm::MessageHook = [this](const QString& M) { Messages << M; };
    }
    void TearDown() override {
        TDuctUForm::MessageHook = nullptr;
        std::remove(CalcFile().c_str());
        AtmosphereTest::TearDown();
    }
    static std::string CalcFile() { return AppFolder() + "Oravent.ini"; }

    std::unique_ptr<TDuctUForm> Start() {
        auto F = std::make_unique<TDuctUForm>();
        F->AltBaromForm()->SetLocationFolder(Folder());
        EXPECT_TRUE(ShowActive(*F));
        F->Grid()->setFocus();
        for (int Guard = 0; F->Grid()->Row() > 1 && Guard < 10; ++Guard)
            Key(Qt::Key_Up);
        EXPECT_EQ(F->Grid()->Row(), 1);
        return F;
    }
    // Opens the row's editor with Open, runs Act in the calculator, and
    // waits for the keys to come back to the main window.
    static void OpenCalculator(TDuctUForm& F, Qt::Key Open, Qt::KeyboardModifiers Mods,
                               std::function<void(TAltBaromForm&)> Act) {
        const auto Outcome = WhenModal<TAltBaromForm>(std::move(Act));
        Key(Open, Mods);
        EXPECT_TRUE(Outcome->Answered);
        EXPECT_FALSE(Outcome->Stuck);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&F));
    }
    static QString Cell(TDuctUForm& F, int R) { return F.Grid()->Cells(1, R); }
};

TEST_F(DuctBarometerTest, CalculatorIsCreatedAtStartAndThePickerOnItsFirstShowing) {
    auto F = Start();
    TAltBaromForm* Calc = F->AltBaromForm();
    ASSERT_NE(Calc, nullptr);
    EXPECT_EQ(Calc->parent(), F.get());
    EXPECT_FALSE(Calc->isVisible());
    EXPECT_EQ(Calc->LocationPicker(), nullptr);
    OpenCalculator(*F, Qt::Key_F4, {}, [](TAltBaromForm&) { Key(Qt::Key_Escape); });
    EXPECT_NE(Calc->LocationPicker(), nullptr);
}

// 1500 m typed into the altitude: the row shows 84.556 kPa (or its value
// in the row's unit) and the sheet solves at that pressure.
TEST_F(DuctBarometerTest, AltitudeEnteredAndAcceptedSetsTheBarometerAndSolves) {
    struct TCase {
        const char* Name;
        Qt::Key Open;
        Qt::KeyboardModifiers Mods;
        bool Imperial;
    };
    const TCase Cases[] = {
        {"F4", Qt::Key_F4, {}, false},
        {"Alt+Down", Qt::Key_Down, Qt::AltModifier, false},
        {"F4, imperial row", Qt::Key_F4, {}, true},
    };
    for (const TCase& C : Cases) {
        auto F = Start();
        if (C.Imperial) F->Action("Imperial")->trigger();
        const double Density = F->Sheet().DuctAir.Density;
        QString Opened, Entered, Status;
        OpenCalculator(*F, C.Open, C.Mods, [&](TAltBaromForm& W) {
            Opened = W.edPa->text();
            Key(Qt::Key_Down);
            Type("1500");
            Key(Qt::Key_Return);
            Entered = W.edPa->text();
            Status = W.StatusText();
            Key(Qt::Key_A, Qt::AltModifier);
        });
        EXPECT_EQ(Opened, "101.325") << C.Name; // kPa, whatever the row shows
        EXPECT_EQ(Entered, "84.556") << C.Name;
        EXPECT_EQ(Status, "Altitude modified by user") << C.Name;
        if (C.Imperial) {
            // The row's psi text, read back in kPa.
            EXPECT_NE(Cell(*F, 1), "84.556") << C.Name;
            EXPECT_NEAR(std::get<double>(F->Grid()->GetValue(1, 1)), 84.556, 0.001) << C.Name;
            EXPECT_NEAR(F->Sheet().Barometer, 84.556, 0.001) << C.Name;
        } else {
            EXPECT_EQ(Cell(*F, 1), "84.556") << C.Name;
            EXPECT_DOUBLE_EQ(F->Sheet().Barometer, 84.556) << C.Name;
        }
        EXPECT_EQ(F->StatusPanel(0)->text(), "Solved...") << C.Name;
        EXPECT_LT(F->Sheet().DuctAir.Density, Density * 0.9) << C.Name; // thinner air
        EXPECT_EQ(QApplication::focusWidget(), F->Grid()) << C.Name;
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
    }
}

TEST_F(DuctBarometerTest, CancelledCalculatorLeavesTheBarometer) {
    auto F = Start();
    const DuctSheet Before = F->Sheet();
    for (auto Cancel : {Qt::Key_Escape, Qt::Key_C}) {
        OpenCalculator(*F, Qt::Key_F4, {}, [&](TAltBaromForm&) {
            Key(Qt::Key_Down);
            Type("1500");
            Key(Qt::Key_Return);
            Key(Cancel, Cancel == Qt::Key_C ? Qt::AltModifier : Qt::NoModifier);
        });
        EXPECT_EQ(Cell(*F, 1), "101.325");
        EXPECT_EQ(F->Sheet().Barometer, Before.Barometer);
        EXPECT_EQ(F->Sheet().Volume, Before.Volume);
        EXPECT_FALSE(F->Action("Undo")->isEnabled()); // nothing was committed
    }
}

// A place searched by part of its name in the picker: its altitude's
// pressure reaches the row.
TEST_F(DuctBarometerTest, PlacePickedInThePickerSetsTheBarometer) {
    auto F = Start();
    QString Alt, Status;
    OpenCalculator(*F, Qt::Key_F4, {}, [&](TAltBaromForm& W) {
        WhenModal<TSelectLocationForm>([](TSelectLocationForm&) {
            Type(QString::fromUtf8("ZUR"));
            Key(Qt::Key_Return);
        });
        QTest::mouseClick(W.SearchButton, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&W)); // the keys come back here
        Alt = W.edAlt->text();
        Status = W.StatusText();
        Key(Qt::Key_A, Qt::AltModifier);
    });
    EXPECT_EQ(Alt, "2500.0");
    EXPECT_EQ(Status, QString::fromUtf8("Zürich Gulch: no design weather"));
    const QString Expected = QString::fromStdString(FormatNumber("%0.3f", AtmPressure(2500)));
    EXPECT_EQ(Cell(*F, 1), Expected);
    EXPECT_DOUBLE_EQ(F->Sheet().Barometer, Expected.toDouble());
    EXPECT_EQ(F->StatusPanel(0)->text(), "Solved...");
}

} // namespace
