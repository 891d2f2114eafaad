// Main window of the duct calculator, driven through its menus and real key
// events, with private settings and data folders per test.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "app/DuctTool.h"
#include "app/TxDuctRoughForm.h"
#include "common/AppFolders.h"
#include "common/TxRegistry.h"
#include "controls/EntryGridWidget.h"
#include "gui/controls/GuiTestUtil.h"
#include "psychro/Hygrocalc.h"
#include "psychro/TxAirStateDialog.h"
#include "psychro/TxAirStateWindow.h"
#include "report/TxReporter.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

// Private settings and data folders; the calculation file beside the test
// program is removed before and after.
class DuctToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FConfig.isValid() && FData.isValid());
        setenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", FData.path().toLocal8Bit().constData(), 1);
        std::remove(CalcFile().c_str());
        TDuctUForm::MessageHook = [this](const QString& M) { Messages << M; };
    }
    void TearDown() override {
        TDuctUForm::MessageHook = nullptr;
        std::remove(CalcFile().c_str());
    }
    static std::string CalcFile() { return AppFolder() + "Oravent.ini"; }

    std::unique_ptr<TDuctUForm> Start() {
        auto F = std::make_unique<TDuctUForm>();
        EXPECT_TRUE(test::ShowActive(*F));
        F->Grid()->setFocus();
        return F;
    }
    static QString Cell(TDuctUForm& F, int C, int R) { return F.Grid()->Cells(C, R); }
    static QString Panels(TDuctUForm& F) {
        return F.StatusPanel(0)->text() + "|" + F.StatusPanel(1)->text() + "|" +
               F.StatusPanel(2)->text();
    }
    static void Run(TDuctUForm& F, const char* Action) { F.Action(Action)->trigger(); }
    // Types Text into the value cell of Row and commits it with Enter.
    static void Enter(TDuctUForm& F, int Row, const QString& Text) {
        QTest::mouseClick(F.Grid()->viewport(), Qt::LeftButton, {},
                          F.Grid()->CellRect(1, Row).center());
        for (QChar Ch : Text)
            QTest::keyClicks(QApplication::focusWidget(), QString(Ch));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    static QStringList UnitTexts(TDuctUForm& F) {
        QStringList L;
        for (int R : {1, 2, 4, 5, 6, 7, 8, 9})
            L << Cell(F, 2, R);
        return L;
    }

    QTemporaryDir FConfig, FData;
    QStringList Messages;
};

// The stored defaults (5 m³/s in 835 mm at 9.4 m/s) are not a solution:
// the first start shows them solved, under the real panels.
TEST_F(DuctToolTest, FirstStartShowsTheStoredDefaultsSolved) {
    auto F = Start();
    const QStringList Values = {"101.325", "13.0/12.0", "Medium Rough", "1.00",
                                "5.000",   "8.36",      "872.8",        "550.0"};
    for (int R = 1; R <= 8; ++R)
        EXPECT_EQ(Cell(*F, 1, R), Values[R - 1]) << R;
    EXPECT_EQ(Cell(*F, 0, 4), "Pressure Rate");
    EXPECT_EQ(Panels(*F), "Solved...|[Pressure, Flow]|[Diam, Height]");
    EXPECT_EQ(F->Grid()->KnownRows(), (QList<int>{4, 5, 8})); // kept, not solved
    EXPECT_EQ(F->Sheet().kIndex, 3);
    const int Designed[3] = {113, 75, 65};
    const QFontMetrics FM(F->Grid()->font());
    for (int C = 0; C < 3; ++C) {
        EXPECT_GE(F->Grid()->ColWidths(C), ClassicPx(F.get(), Designed[C]));
        for (int R = 0; R <= 9; ++R) // nothing clipped
            EXPECT_GE(F->Grid()->ColWidths(C), FM.horizontalAdvance(Cell(*F, C, R))) << C << R;
    }
    EXPECT_TRUE(F->Action("About")->isEnabled()); // the about box (DuctAboutTest)

    // Each row tells what it holds: a tool tip under the mouse, the
    // accessible description of the selected row.
    const QPoint At = F->Grid()->CellRect(0, 4).center();
    QHelpEvent Tip(QEvent::ToolTip, At, F->Grid()->viewport()->mapToGlobal(At));
    QApplication::sendEvent(F->Grid()->viewport(), &Tip);
    EXPECT_EQ(QToolTip::text(), "Pressure drop rate, typically 0.6-1.1 Pa/m for a/c");
    QTest::keyClick(F->Grid(), Qt::Key_Down);
    EXPECT_EQ(F->Grid()->accessibleDescription(), "Average temperature of air in duct");
    EXPECT_TRUE(F->windowTitle().startsWith("Oravent"));
}

TEST_F(DuctToolTest, ResetSolveAndUnitSystems) {
    auto F = Start();
    Run(*F, "ResetToDefaults");
    EXPECT_EQ(Cell(*F, 1, 1), "101.325");
    EXPECT_EQ(Cell(*F, 1, 2), "19.5/13.4");
    EXPECT_EQ(Cell(*F, 1, 3), "Average");
    EXPECT_EQ(Panels(*F), "Solved...|[Pressure, Flow]|[Diam, Height]");
    const DuctSheet Before = F->Sheet();

    Run(*F, "Imperial");
    EXPECT_EQ(UnitTexts(*F),
              (QStringList{"Psi", "°F", "iwg/100'", "cfm", "fpm", "inch", "inch", "inch"}));
    EXPECT_EQ(F->Sheet().Volume, Before.Volume);
    EXPECT_EQ(F->Sheet().Diameter, Before.Diameter);
    EXPECT_EQ(Cell(*F, 1, 2), "67.1/56.1");
    Run(*F, "Metric");
    EXPECT_EQ(UnitTexts(*F), (QStringList{"kPa", "°C", "Pa/m", "m³/s", "m/s", "mm", "mm", "mm"}));
    EXPECT_EQ(Cell(*F, 1, 2), "19.5/13.4");

    Enter(*F, 7, "600");
    EXPECT_EQ(F->Sheet().Diameter, 0.6);
    EXPECT_EQ(Cell(*F, 1, 7), "600.0");
    EXPECT_EQ(Panels(*F), "Solved...|[Size, Pressure]|[Diam, Height]");
    Run(*F, "Imperial");
    EXPECT_EQ(Cell(*F, 1, 7), "23.62");
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
}

TEST_F(DuctToolTest, FailingEditShowsTheMessageOnceAndTheNextGoodEditSolves) {
    auto F = Start();
    Run(*F, "ResetToDefaults");
    // A negative roughness (the roughness dialog takes any number) makes the
    // friction factor's logarithm fail.
    const double Bad[RoughnessCount] = {0.00003, 0.00009, -0.00015, 0.0009, 0.003};
    F->Sheet().SetRoughnessTable(Bad);
    Enter(*F, 5, "4");
    EXPECT_EQ(Messages, QStringList{"No solution with the last values!"});
    EXPECT_EQ(F->StatusPanel(0)->text(), "Not Solved");
    const double Good[RoughnessCount] = {0.00003, 0.00009, 0.00015, 0.0009, 0.003};
    F->Sheet().SetRoughnessTable(Good);
    Enter(*F, 5, "3");
    EXPECT_EQ(Messages.size(), 1);
    EXPECT_EQ(F->StatusPanel(0)->text(), "Solved...");
    EXPECT_EQ(Cell(*F, 1, 5), "3.000");
}

TEST_F(DuctToolTest, CalculationFileSaveOpenAndBadValues) {
    auto F = Start();
    Run(*F, "ResetToDefaults");
    Enter(*F, 7, "819.96");
    const double Typed = F->Sheet().Diameter;
    Run(*F, "Save");
    EXPECT_EQ(F->statusBar()->currentMessage(), "Saved to " + QString::fromStdString(CalcFile()));

    Enter(*F, 7, "700");
    Run(*F, "Open");
    EXPECT_EQ(Cell(*F, 1, 7), "820.0");
    EXPECT_EQ(F->Sheet().Diameter, Typed); // not rounded to three decimals on the way

    // 5000 cfm comes back as 5000 cfm, not 5000.56 (nor 4999.99).
    Run(*F, "Imperial");
    Enter(*F, 5, "5000");
    const double Volume = F->Sheet().Volume;
    Run(*F, "Save");
    Enter(*F, 5, "4000");
    Run(*F, "Open");
    EXPECT_EQ(Cell(*F, 1, 5), "5000.00");
    EXPECT_EQ(F->Sheet().Volume, Volume);
    Run(*F, "Metric");

    std::remove(CalcFile().c_str());
    Run(*F, "Open"); // a missing file reads as empty, and is solved
    EXPECT_EQ(Cell(*F, 1, 2), "19.5/13.4");
    EXPECT_EQ(Cell(*F, 1, 3), "Medium Rough");
    EXPECT_EQ(Panels(*F), "Solved...|[Flow, Size]|[Diam, Height]");
    EXPECT_EQ(Cell(*F, 1, 5), "5.000");
    EXPECT_EQ(Cell(*F, 1, 7), "835.0"); // the flow follows the stored diameter
    EXPECT_EQ(Cell(*F, 1, 6), "9.13");  // 5 m³/s in 835 mm
    EXPECT_TRUE(Messages.isEmpty());

    Enter(*F, 4, "2"); // the rate is kept, so the file's rate is shown
    std::ofstream(CalcFile()) << "[Settings]\nPRate=abc\nkIndex=0\n";
    Run(*F, "Open");
    EXPECT_EQ(Cell(*F, 1, 4), "1.00");
    EXPECT_EQ(Cell(*F, 1, 3), "Smooth");
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains("PRate=abc"));

    // A file that cannot be written is reported.
    const QString Dir = FData.path() + "/missing/folder/x.ini";
    EXPECT_FALSE(F->SaveCalculationFile(Dir));
    EXPECT_TRUE(Messages.last().startsWith("Unable to write to")) << Messages.last().toStdString();
}

TEST_F(DuctToolTest, CompactAlignStaysWithin400Pixels) {
    auto F = Start();
    Run(*F, "CompactAlign");
    EXPECT_LE(F->frameGeometry().height(), 400);
    const int Normal = F->width();
    QFont Big = F->Grid()->font();
    Big.setPointSize(Big.pointSize() * 3);
    F->Grid()->setFont(Big);
    F->Grid()->SetDefaultRowHeight(QFontMetrics(Big).height() + 4);
    Run(*F, "CompactAlign");
    EXPECT_EQ(F->frameGeometry().height(), 400);
    const int Columns = F->Grid()->ColWidths(0) + F->Grid()->ColWidths(1) +
                        F->Grid()->ColWidths(2) + 3 * F->Grid()->GridLineWidth() - 1;
    EXPECT_EQ(F->width(), Columns + F->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    EXPECT_GT(F->width(), Normal);
}

TEST_F(DuctToolTest, ReportFollowsResultsAndOpenButNotReset) {
    auto F = Start();
    TReportForm& Report = *F->ReportForm();
    EXPECT_FALSE(Report.isVisible());
    EXPECT_TRUE(Report.HasRebuildHook()); // installed on the first activation
    // ... with a first report of the intermediates computed on activation
    EXPECT_NE(F->Sheet().FrictionFactor, 0.015);
    EXPECT_TRUE(Report.PlainText().contains(
        QString::asprintf("Friction Factor\t%0.4f", F->Sheet().FrictionFactor)));
    Enter(*F, 5, "2.5");
    QString Text = Report.PlainText();
    EXPECT_EQ(Text.count("Oravent Report"), 1);
    EXPECT_TRUE(Text.contains("Volume Flow\t2.500\tm³/s")) << Text.toStdString();
    Run(*F, "Imperial");
    Text = Report.PlainText();
    for (const char* U : {"\tPsi", "\t°F", "\tiwg/100'", "\tcfm", "\tfpm", "\tinch", "kg/cum",
                          "Average\t0.1500\tmm"})
        EXPECT_TRUE(Text.contains(QString::fromUtf8(U))) << U;
    // A Solve that changes values reports the values it shows.
    const double Rougher[RoughnessCount] = {0.00003, 0.00009, 0.00015, 0.003, 0.003};
    F->Sheet().SetRoughnessTable(Rougher);
    const QString OldDiameter = Cell(*F, 1, 7);
    Run(*F, "Solve");
    ASSERT_NE(Cell(*F, 1, 7), OldDiameter);
    EXPECT_TRUE(Report.PlainText().contains("Equivalent Diameter\t" + Cell(*F, 1, 7) + "\t"));
    EXPECT_EQ(Report.PlainText().count("Oravent Report"), 1);

    const QString Before = Report.PlainText();
    Run(*F, "ResetToDefaults");
    EXPECT_EQ(Report.PlainText(), Before);
    Run(*F, "Save");
    Run(*F, "Open"); // solved, so the report follows
    EXPECT_NE(Report.PlainText(), Before);
    EXPECT_TRUE(Report.PlainText().contains("Equivalent Diameter\t" + Cell(*F, 1, 7) + "\t"));

    Run(*F, "Copy");
    const QString Line = QApplication::clipboard()->text();
    EXPECT_TRUE(Line.startsWith("Oravent,")) << Line.toStdString();
    EXPECT_EQ(Line.count(','), 9);
    EXPECT_EQ(Line.section(',', 3, 3), "Average");

    const QString Opened = Report.PlainText();
    Run(*F, "ReportPreview");
    EXPECT_TRUE(Report.isVisible());
    EXPECT_EQ(Report.PlainText(), Opened); // showing does not rebuild
}

TEST_F(DuctToolTest, SecondStartGivesEverythingBack) {
    QRect Geometry;
    {
        auto F = Start();
        Enter(*F, 5, "2.5");
        Run(*F, "Imperial");
        F->Grid()->SetColWidths(1, 150);
        F->setGeometry(F->x() + 30, F->y() + 20, F->width() + 40, F->height() + 10);
        Geometry = F->geometry();
        F->close();
    }
    TRegistryIniFile Store(AppRegistryKey());
    QString Units;
    for (int R : {1, 2, 4, 5, 6, 7, 8, 9})
        Units += QString::number(Store.ReadInt("Settings", "Units" + std::to_string(R), -1));
    EXPECT_EQ(Units, "21241333");

    auto F = Start();
    EXPECT_EQ(F->Sheet().Volume, 2.5);
    EXPECT_EQ(UnitTexts(*F),
              (QStringList{"Psi", "°F", "iwg/100'", "cfm", "fpm", "inch", "inch", "inch"}));
    EXPECT_EQ(F->Grid()->ColWidths(1), 150);
    EXPECT_EQ(F->geometry().size(), Geometry.size());
}

// A place stored at another scale (here twice this screen's size) brings
// the window back whole on the screen.
TEST_F(DuctToolTest, PlacementFromAnotherScaleKeepsTheWindowOnTheScreen) {
    const std::string Dir = FConfig.path().toStdString() + "/Halvorn";
    std::filesystem::create_directories(Dir);
    const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
    std::ofstream(Dir + "/registry.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" << AppRegistryKey()
        << "\\DuctUForm]\r\n"
        << "\"Left\"=dword:" << QString::number(Screen.width() - 150, 16).toStdString()
        << "\r\n\"Top\"=dword:" << QString::number(Screen.height() - 120, 16).toStdString()
        << "\r\n\"Width\"=dword:00000150\r\n\"Height\"=dword:000000d9\r\n";
    auto F = Start();
    EXPECT_TRUE(Screen.contains(F->frameGeometry()))
        << F->frameGeometry().x() << "," << F->frameGeometry().width() << "x"
        << F->frameGeometry().height() << " screen " << Screen.width() << "x" << Screen.height()
        << "," << F->frameGeometry().y();
}

TEST_F(DuctToolTest, GarbageSettingsStartSane) {
    const std::string Dir = FConfig.path().toStdString() + "/Halvorn";
    std::filesystem::create_directories(Dir);
    const std::string Key = "[HKEY_CURRENT_USER\\" + AppRegistryKey();
    std::ofstream(Dir + "/registry.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n"
        << Key << "\\DuctUForm]\r\n\"Left\"=\"x\"\r\n\"Width\"=dword:ffffff00\r\n"
        << "\"Height\"=dword:7fffffff\r\n\r\n"
        << Key << "\\Settings]\r\n\"GridCol0\"=dword:fffffff0\r\n"
        << "\"Volume\"=hex:00,00,00,00,00,00,f8,7f\r\n\"Units5\"=\"cfm\"\r\n";
    auto F = Start();
    EXPECT_GT(F->Grid()->ColWidths(0), 0);
    EXPECT_EQ(Cell(*F, 1, 5), "5.000");
    EXPECT_EQ(Cell(*F, 2, 5), "m³/s");
    EXPECT_LT(F->height(), 4000);
}

// Accepting a changed roughness table solves and reports at once; Undo and
// Redo by their keys walk back and forth; a named file shows in the title.
TEST_F(DuctToolTest, RoughnessAcceptSolvesAndUndoRedoByKeys) {
    auto F = Start();
    TReportForm& Report = *F->ReportForm();
    const QString Diameter = Cell(*F, 1, 7);
    EXPECT_FALSE(F->Action("Undo")->isEnabled());
    QTimer::singleShot(0, [] {
        auto* Dialog = qobject_cast<TDuctRoughForm*>(QApplication::activeModalWidget());
        if (!Dialog) return;
        Dialog->EntryGrid1->SetValue(1, 4, 3.6); // Medium Rough, four times as rough
        QTest::mouseClick(Dialog->AcceptButton, Qt::LeftButton);
    });
    Run(*F, "RoughnessSettings");
    ASSERT_DOUBLE_EQ(F->Sheet().Roughness, 0.0036);
    EXPECT_EQ(Panels(*F), "Solved...|[Pressure, Flow]|[Diam, Height]");
    const QString Rougher = Cell(*F, 1, 7);
    EXPECT_GT(Rougher.toDouble(), Diameter.toDouble());
    EXPECT_TRUE(Report.PlainText().contains("Equivalent Diameter\t" + Rougher + "\t"));
    EXPECT_TRUE(Report.PlainText().contains("Medium Rough\t3.6000\tmm"));

    ASSERT_TRUE(test::ShowActive(*F));
    Enter(*F, 5, "2.5");
    F->Grid()->setFocus();
    const struct {
        QKeyCombination Key;
        QString Volume, Diameter;
    } Steps[] = {
        {Qt::CTRL | Qt::Key_Z, "5.000", Rougher},             // the flow
        {Qt::CTRL | Qt::Key_Z, "5.000", Diameter},            // the roughness
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, "5.000", Rougher}, // roughness again
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, "2.500", ""},      // flow again
    };
    for (const auto& S : Steps) {
        QTest::keyClick(F->Grid(), S.Key.key(), S.Key.keyboardModifiers());
        EXPECT_EQ(Cell(*F, 1, 5), S.Volume);
        if (!S.Diameter.isEmpty()) {
            EXPECT_EQ(Cell(*F, 1, 7), S.Diameter);
        }
    }
    EXPECT_DOUBLE_EQ(F->Sheet().Roughness, 0.0036);
    EXPECT_FALSE(F->Action("Redo")->isEnabled());
    EXPECT_TRUE(F->Action("Undo")->isEnabled());

    const QString Job = FData.path() + "/job1.ini";
    ASSERT_TRUE(F->SaveCalculationFile(Job));
    EXPECT_TRUE(F->windowTitle().endsWith(QString::fromUtf8(" \u2014 job1.ini")))
        << F->windowTitle().toStdString();
    Run(*F, "Save"); // the program's own file is not named
    EXPECT_FALSE(F->windowTitle().contains("ini"));
}

// Every item of a menu has its own access key.
TEST_F(DuctToolTest, MenuAccessKeysAreUnique) {
    auto F = Start();
    for (QAction* Menu : F->menuBar()->actions()) {
        QSet<QChar> Keys;
        for (QAction* A : Menu->menu()->actions()) {
            const QString T = A->text();
            if (A->isSeparator() || A->menu()) continue;
            EXPECT_EQ(T.count('&'), T.contains('&') ? 1 : 0) << T.toStdString();
            const int At = T.indexOf('&');
            if (At < 0) continue;
            EXPECT_FALSE(Keys.contains(T.at(At + 1).toLower())) << T.toStdString();
            Keys.insert(T.at(At + 1).toLower());
        }
    }
}

// ---------------------------------------------------------------------------
// The Average Temperature row's air state window

using AirWindow = oravent::gui::TAirStateBox;

// The temperature row selected, Key (F4, or Alt+Down) opens its air state
// window, and Steps run in it once it is in front. False when it never opened.
bool OnAirWindow(TDuctUForm& F, QKeyCombination Key, const std::function<void(AirWindow&)>& Steps) {
    bool Opened = false;
    test::WhenModalOpens<AirWindow>([&](AirWindow* W) {
        Opened = true;
        Steps(*W);
    });
    F.Grid()->setFocus();
    F.Grid()->FocusCell(1, 2, true);
    QTest::keyClick(F.Grid(), Key.key(), Key.keyboardModifiers());
    return Opened;
}

void AirKey(AirWindow& W, Qt::Key K, Qt::KeyboardModifiers M = {}) {
    QWidget* Focus = QApplication::focusWidget();
    QTest::keyClick(Focus && Focus->window() == &W ? Focus : W.EntryGrid1, K, M);
}

struct AirEditCase {
    const char* Name;
    QKeyCombination Open;
    std::function<void(AirWindow&)> Steps;
    const char* Row2; // the temperature row afterwards; empty: unchanged
};

TEST_F(DuctToolTest, AverageTemperatureIsEditedInTheAirStateWindow) {
    const auto PasteThen = [](Qt::Key K, Qt::KeyboardModifiers M) {
        return [K, M](AirWindow& W) {
            QApplication::clipboard()->setText("20/15");
            AirKey(W, Qt::Key_V, Qt::ControlModifier);
            AirKey(W, K, M);
        };
    };
    const AirEditCase Cases[] = {
        {"paste, Ctrl+Return", Qt::Key_F4, PasteThen(Qt::Key_Return, Qt::ControlModifier),
         "20.0/15.0"},
        {"Alt+Down, paste, Alt+A", Qt::ALT | Qt::Key_Down, PasteThen(Qt::Key_A, Qt::AltModifier),
         "20.0/15.0"},
        {"paste, Escape", Qt::Key_F4, PasteThen(Qt::Key_Escape, {}), ""},
        {"a wet bulb above the dry bulb, Ctrl+Return", Qt::Key_F4,
         [](AirWindow& W) {
             W.EntryGrid1->FocusCell(1, 4, true);
             QTest::keyClicks(QApplication::focusWidget(), "25");
             AirKey(W, Qt::Key_Return);
             EXPECT_NE(W.StatusText(), "Ready...");
             AirKey(W, Qt::Key_Return, Qt::ControlModifier);
         },
         ""},
    };
    for (const AirEditCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto F = Start();
        QStringList WindowMessages;
        TRootForm::MessageHook = [&](const QString& M) { WindowMessages << M; };
        const DuctSheet Before = F->Sheet();
        const QString Row2 = Cell(*F, 1, 2);
        ASSERT_TRUE(OnAirWindow(*F, C.Open, [&](AirWindow& W) {
            EXPECT_EQ(W.windowTitle(), "Duct Average");
            EXPECT_EQ(W.EntryGrid1->Cells(1, 1), "In Duct");
            EXPECT_FALSE(W.EntryGrid1->GetRowEnabled(1)); // the name
            EXPECT_FALSE(W.EntryGrid1->GetRowEnabled(2)); // the pressure
            // The keys start on the dry bulb, the first value to change.
            EXPECT_EQ(QPoint(W.EntryGrid1->Col(), W.EntryGrid1->Row()), QPoint(1, 3));
            EXPECT_EQ(W.EntryGrid1->Cells(1, 3) + "/" + W.EntryGrid1->Cells(1, 4), Row2);
            C.Steps(W);
        }));
        TRootForm::MessageHook = nullptr;
        // The keys come back to the main window.
        EXPECT_TRUE(QTest::qWaitForWindowActive(F.get()));
        EXPECT_TRUE(WindowMessages.isEmpty());
        EXPECT_TRUE(Messages.isEmpty());
        if (*C.Row2 == 0) {
            EXPECT_EQ(Cell(*F, 1, 2), Row2);
            EXPECT_EQ(std::memcmp(&F->Sheet().DuctAir, &Before.DuctAir, sizeof Before.DuctAir), 0);
            EXPECT_EQ(F->Sheet().Volume, Before.Volume);
            EXPECT_FALSE(F->Action("Undo")->isEnabled());
            continue;
        }
        // The sheet solved with the new air: its density, in the copied line
        // and the report.
        EXPECT_EQ(Cell(*F, 1, 2), C.Row2);
        TAirStateRec Air;
        SetState(Air, 101.325, 20, 15, 0);
        EXPECT_DOUBLE_EQ(F->Sheet().DuctAir.Density, Air.Density);
        EXPECT_NE(F->Sheet().DuctAir.Density, Before.DuctAir.Density);
        EXPECT_TRUE(Panels(*F).startsWith("Solved..."));
        QTest::keyClick(F->Grid(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Oravent,101.325,20.0/15.0,"))
            << QApplication::clipboard()->text().toStdString();
        EXPECT_TRUE(F->ReportForm()->PlainText().contains(
            "Air Density\t" + QString::number(Air.Density, 'f', 4) + "\t"));
        QTest::keyClick(F->Grid(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Cell(*F, 1, 2), Row2);
    }
}

// The window edits in °C whatever the row shows; the row shows the
// accepted air in its own unit.
TEST_F(DuctToolTest, AirStateWindowUnderImperialUnits) {
    auto F = Start();
    Run(*F, "Imperial");
    const QString Row2 = Cell(*F, 1, 2);
    ASSERT_TRUE(OnAirWindow(*F, Qt::Key_F4, [](AirWindow& W) {
        EXPECT_EQ(W.EntryGrid1->Cells(1, 3), "13.0");
        EXPECT_EQ(W.EntryGrid1->Cells(2, 3), "°C");
        QApplication::clipboard()->setText("20/15");
        AirKey(W, Qt::Key_V, Qt::ControlModifier);
        AirKey(W, Qt::Key_Return, Qt::ControlModifier);
    }));
    EXPECT_EQ(Row2, "55.4/53.6");
    EXPECT_EQ(Cell(*F, 1, 2), "68.0/59.0");
}

// The window's place, size and units are saved with the main window's
// settings (the dialog's own tests read them back).
TEST_F(DuctToolTest, AirStateWindowSettingsAreSavedWithTheMainWindow) {
    auto F = Start();
    QSize Size;
    ASSERT_TRUE(OnAirWindow(*F, Qt::Key_F4, [&](AirWindow& W) {
        W.move(90, 80);
        W.resize(W.width() + 30, W.height() + 20);
        Size = W.size();
        W.EntryGrid1->SetUnitsValue(3, 1); // °F
        AirKey(W, Qt::Key_Escape);
    }));
    F->close();
    TRegistryIniFile Store(AppRegistryKey());
    EXPECT_EQ(Store.ReadInt("AirStateDlg", "FormLeft", 0), 90);
    EXPECT_EQ(Store.ReadInt("AirStateDlg", "FormWidth", 0), Size.width());
    EXPECT_EQ(Store.ReadInt("AirStateDlg", "Row3", 0), 1);
    // The next start reads them.
    EXPECT_EQ(Start()->AirStateDlg()->Model().FormWidth, Size.width());
}

} // namespace
