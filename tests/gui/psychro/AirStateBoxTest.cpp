// The air state window and its dialog component, driven by keys and clicks
// as an engineer uses them: the window's tools, the pair that follows the
// rows typed last, leaving with Accept or Cancel, the clipboard commands,
// .psx files through the file dialogs, help, and the placement and row units
// that go back into the component and through the settings file.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "common/AppFolders.h"
#include "controls/EntryGridWidget.h"
#include "gui/controls/GuiTestUtil.h"
#include "psychro/AirStateFile.h"
#include "psychro/AirStateText.h"
#include "psychro/TxAirStateDialog.h"
#include "psychro/TxAirStateWindow.h"
#include "units/TxUnitsForm.h"

// Inside oravent::gui, TAirStateBox and TAirStateDlg name the windows; the
// core's presenter and model are oravent::TAirStateBox and TAirStateDlg.
namespace oravent::gui {
namespace {

TAirStateRec StateOf(const char* Text, double P = 101.325) {
    TAirStateRec S;
    StrToAirState(Text, S, P, 0.5);
    return S;
}

bool Same(const TAirStateRec& A, const TAirStateRec& B) {
    return std::memcmp(&A, &B, sizeof A) == 0;
}

// Takes the place of the desktop's handler of file URLs.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void Open(const QUrl& Url) { Urls << Url; }
};

class AirStateWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FConfig.isValid() && FData.isValid() && FFiles.isValid());
        setenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", FData.path().toLocal8Bit().constData(), 1);
        TRootForm::MessageHook = [this](const QString& M) { Messages << M; };
        QApplication::clipboard()->clear();
    }
    void TearDown() override {
        TRootForm::MessageHook = nullptr;
        TAirConBox::FileDialogHook = nullptr;
    }

    // Shows the component's window at (Left, Top), runs Steps in it once it
    // is in front, and returns Execute's result.
    static int Run(TAirStateDlg& Dlg, const std::function<void(TAirStateBox&)>& Steps,
                   int Left = 40, int Top = 30) {
        bool Ran = false;
        test::WhenModalOpens<TAirStateBox>([&](TAirStateBox* B) {
            Ran = true;
            Steps(*B);
        });
        const int Result = Dlg.Execute(nullptr, Left, Top);
        EXPECT_TRUE(Ran);
        return Result;
    }
    static QWidget* Focus(TAirStateBox& B) {
        QWidget* W = QApplication::focusWidget();
        return W && W->window() == &B ? W : B.EntryGrid1;
    }
    static void Key(TAirStateBox& B, Qt::Key K, Qt::KeyboardModifiers M = {}) {
        QTest::keyClick(Focus(B), K, M);
    }
    // Types Text into the value cell of Row and commits it with Enter.
    static void Type(TAirStateBox& B, int Row, const QString& Text) {
        B.EntryGrid1->FocusCell(1, Row, true);
        for (QChar Ch : Text)
            QTest::keyClicks(Focus(B), QString(Ch));
        Key(B, Qt::Key_Return);
    }
    static void Paste(TAirStateBox& B, const QString& Text) {
        QApplication::clipboard()->setText(Text);
        Key(B, Qt::Key_V, Qt::ControlModifier);
    }
    static QString Cell(TAirStateBox& B, int Row, int Col = 1) {
        return B.EntryGrid1->Cells(Col, Row);
    }
    static QString Clipboard() { return QApplication::clipboard()->text(); }

    QTemporaryDir FConfig, FData, FFiles;
    QStringList Messages;
};

// ---------------------------------------------------------------------------
// The window as it opens

struct ToolCase {
    QAction* TTechForm::*Action;
    bool Visible;
    const char* Hint;
};

TEST_F(AirStateWindowTest, OpensWithItsToolsRowsAndTheDefaultPair) {
    const ToolCase Tools[] = {
        {&TTechForm::OpenAction, true, "Load air state"},
        {&TTechForm::SaveAction, true, "Save air state"},
        {&TTechForm::CopyAction, true, "Copy db/wb to clipboard"},
        {&TTechForm::PasteAction, true, "Paste"},
        {&TTechForm::SolveAction, false, "Solve"},
        {&TTechForm::ViewAction, true, "Copy table to clipboard"},
        {&TTechForm::PrintAction, false, "Print"},
        {&TTechForm::AlignAction, true, "Realign"},
        {&TTechForm::ResetAction, false, "Reset"},
        {&TTechForm::AboutAction, false, "About"},
        {&TTechForm::HelpAction, true, "Help"},
        {&TTechForm::CancelAction, true, "Cancel"},
        {&TTechForm::AcceptAction, true, "Accept"},
    };
    TAirStateDlg Dlg(nullptr);
    const int Result = Run(Dlg, [&](TAirStateBox& B) {
        for (const ToolCase& T : Tools) {
            QAction* A = B.*T.Action;
            SCOPED_TRACE(A->objectName().toStdString());
            EXPECT_EQ(A->isVisible(), T.Visible);
            EXPECT_EQ(A->toolTip(), QString::fromUtf8(T.Hint));
        }
        const Qt::WindowFlags Flags = B.windowFlags();
        EXPECT_TRUE(Flags & Qt::WindowStaysOnTopHint);
        EXPECT_FALSE(Flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint |
                              Qt::WindowSystemMenuHint));
        EXPECT_EQ(B.windowTitle(), "Moist Air State");
        EXPECT_EQ(B.StatusText(), "Ready...");
        EXPECT_EQ(B.EntryGrid1->RowCount(), 13);
        EXPECT_EQ(Cell(B, 6, 2) + Cell(B, 7, 2), "g/kg%"); // the component's row units
        EXPECT_EQ(Cell(B, 1), "Moist Air");
        EXPECT_EQ(Cell(B, 3), "25.0");
        EXPECT_EQ(Cell(B, 4), "17.0");
        EXPECT_EQ(Cell(B, 7), QString::number(StateOf("25/17").RelHumidity * 100, 'f', 1));
        // The pair that defines the shown state stands out from the start.
        EXPECT_EQ(B.EntryGrid1->KnownRows(), (QList<int>{3, 4}));
        EXPECT_TRUE(B.EntryGrid1->GetRowEnabled(1)); // EditItemName
        EXPECT_TRUE(B.EntryGrid1->GetRowEnabled(2)); // EditPressure
        EXPECT_FALSE(B.EntryGrid1->GetRowEnabled(12));
        EXPECT_EQ(QPoint(B.EntryGrid1->Col(), B.EntryGrid1->Row()), QPoint(1, 1));
        Key(B, Qt::Key_Escape);
    });
    EXPECT_EQ(Result, mrCancel);
}

// The two properties typed last that form a usable pair define the state
// and stand out; the others are worked out.
TEST_F(AirStateWindowTest, PairFollowsTheRowsTypedLast) {
    struct Step {
        const char* Name;
        std::function<void(TAirStateBox&)> Do;
        QList<int> Known;
        int Unchanged; // a row that keeps its text
        int Changed;   // a row the engine worked out again
    };
    const Step Steps[] = {
        {"Rel Humidity 50 % pairs with the dry bulb",
         [](TAirStateBox& B) { Type(B, 7, "50"); },
         {3, 7},
         3,
         4},
        {"then an enthalpy", [](TAirStateBox& B) { Type(B, 5, "45"); }, {5, 7}, 7, 3},
        {"then the pressure keeps the pair",
         [](TAirStateBox& B) { Type(B, 2, "90"); },
         {5, 7},
         5,
         6},
        {"a dew point pairs with the enthalpy",
         [](TAirStateBox& B) { Type(B, 8, "10"); },
         {5, 8},
         5,
         7},
        // A pasted pair is dry bulb then wet bulb: the wet bulb is the most
        // recent, and a relative humidity typed next pairs with it.
        {"paste 22/16", [](TAirStateBox& B) { Paste(B, "22/16"); }, {3, 4}, 2, 7},
        {"then Rel Humidity 40 %", [](TAirStateBox& B) { Type(B, 7, "40"); }, {4, 7}, 4, 3},
    };
    TAirStateDlg Dlg(nullptr);
    Dlg.Model().SetTemperature("20/15");
    const int Result = Run(Dlg, [&](TAirStateBox& B) {
        for (const Step& S : Steps) {
            SCOPED_TRACE(S.Name);
            const QString Kept = Cell(B, S.Unchanged), Old = Cell(B, S.Changed);
            S.Do(B);
            EXPECT_EQ(B.StatusText(), "Ready...");
            EXPECT_EQ(B.EntryGrid1->KnownRows(), S.Known);
            EXPECT_EQ(Cell(B, S.Unchanged), Kept);
            EXPECT_NE(Cell(B, S.Changed), Old);
        }
        Key(B, Qt::Key_Return, Qt::ControlModifier);
    });
    EXPECT_EQ(Result, mrOk);
    const TAirStateRec& S = Dlg.Model().Point().State;
    EXPECT_EQ(S.Pressure, 90);
    EXPECT_NEAR(S.WetBulb, 16, 1e-6);
    EXPECT_NEAR(S.RelHumidity, 0.4, 1e-9);
    EXPECT_EQ(CheckAirState(S), "");
}

// Accept gives OK only for a valid state; an error is rolled back to the
// last valid state whichever way the window is left.
struct LeaveCase {
    const char* Name;
    const char* Typed; // into the wet bulb row, after 20/15
    std::function<void(TAirStateBox&)> Leave;
    int Result;
    const char* Kept; // the state the point keeps
};

TEST_F(AirStateWindowTest, LeavingKeepsOnlyAValidState) {
    const auto Keys = [](Qt::Key K, Qt::KeyboardModifiers M) {
        return [K, M](TAirStateBox& B) { Key(B, K, M); };
    };
    const LeaveCase Cases[] = {
        {"Ctrl+Return with a valid state", "14", Keys(Qt::Key_Return, Qt::ControlModifier), mrOk,
         "20/14"},
        {"Alt+A with a valid state", "14", Keys(Qt::Key_A, Qt::AltModifier), mrOk, "20/14"},
        {"Escape keeps a valid edit in the point", "14", Keys(Qt::Key_Escape, {}), mrCancel,
         "20/14"},
        {"Ctrl+Return with a wet bulb above the dry bulb", "25",
         Keys(Qt::Key_Return, Qt::ControlModifier), mrCancel, "20/15"},
        {"Escape with a wet bulb above the dry bulb", "25", Keys(Qt::Key_Escape, {}), mrCancel,
         "20/15"},
        {"closed by the window manager", "25", [](TAirStateBox& B) { B.close(); }, mrCancel,
         "20/15"},
    };
    for (const LeaveCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TAirStateDlg Dlg(nullptr);
        Dlg.Model().SetTemperature("20/15");
        QString Status;
        const int Result = Run(Dlg, [&](TAirStateBox& B) {
            Type(B, 4, C.Typed);
            Status = B.StatusText();
            C.Leave(B);
            EXPECT_FALSE(B.isVisible());
        });
        EXPECT_EQ(Result, C.Result);
        if (std::strcmp(C.Typed, "25") == 0) {
            EXPECT_TRUE(Status == "Wet Bulb > Dry Bulb °C..." || Status == "Invalid air state")
                << Status.toStdString();
        } else {
            EXPECT_EQ(Status, "Ready...");
        }
        const TAirStateRec Kept = StateOf(C.Kept);
        EXPECT_NEAR(Dlg.Model().Point().State.WetBulb, Kept.WetBulb, 1e-9);
        if (C.Result == mrCancel && std::strcmp(C.Kept, "20/15") == 0) {
            EXPECT_TRUE(Same(Dlg.Model().Point().State, Kept));
        }
        EXPECT_TRUE(Messages.isEmpty());
    }
}

// ---------------------------------------------------------------------------
// Clipboard and help

// The texts are the presenter's; here the keys and the menu reach them.
TEST_F(AirStateWindowTest, ClipboardCommandsFromTheKeyboard) {
    TAirStateDlg Dlg(nullptr);
    Run(Dlg, [&](TAirStateBox& B) {
        Paste(B, "13/12");
        Key(B, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(Clipboard(), "13.000/12.000");
        Key(B, Qt::Key_V, Qt::AltModifier); // View: the table as CSV
        EXPECT_TRUE(Clipboard().startsWith("Property,Value,Units\r\nName,\"Moist Air\",\r\n"));
        B.CopytoXML1->trigger(); // the context menu's Copy to XML
        EXPECT_TRUE(Clipboard().contains(
            "<item code=\"db\" caption=\"Dry Bulb\" units=\"°C\">13.0</item>"));
        // A text that is no temperature says so and changes nothing.
        Paste(B, "warm");
        EXPECT_EQ(Messages.size(), 1);
        EXPECT_EQ(Cell(B, 3) + "/" + Cell(B, 4), "13.0/12.0");
        Key(B, Qt::Key_Escape);
    });
}

TEST_F(AirStateWindowTest, HelpOpensThePageOfTheSharedFolder) {
    UrlCatcher Catcher;
    QDesktopServices::setUrlHandler("file", &Catcher, "Open");
    TAirStateDlg Dlg(nullptr);
    Run(Dlg, [&](TAirStateBox& B) {
        Key(B, Qt::Key_H, Qt::AltModifier);
        auto* Button = qobject_cast<QToolButton*>(B.ToolBarRow2->widgetForAction(B.HelpAction));
        ASSERT_NE(Button, nullptr);
        QTest::mouseClick(Button, Qt::LeftButton);
        EXPECT_TRUE(B.isVisible());
        Key(B, Qt::Key_Escape);
    });
    QDesktopServices::unsetUrlHandler("file");
    const QUrl Page =
        QUrl::fromLocalFile(QString::fromStdString(CommonFolder()) + "airstatedlg.htm");
    EXPECT_EQ(Catcher.Urls, (QList<QUrl>{Page, Page}));
    EXPECT_TRUE(Page.toLocalFile().endsWith("/Halvorn/Common Files/airstatedlg.htm"));
}

// ---------------------------------------------------------------------------
// Files

// The file rules are the presenter's; here Alt+S and Alt+O reach them
// through the dialogs, which start in the program's folder.
TEST_F(AirStateWindowTest, FilesThroughTheDialogs) {
    const QString Path = FFiles.filePath("duct.psx");
    QStringList Asked; // "save <folder>" or "open <folder>"
    QString Answer = Path;
    TAirConBox::FileDialogHook = [&](TAirConBox& Box, bool Save) {
        Asked << QString(Save ? "save " : "open ") + Box.InitialDir();
        return Answer;
    };
    const TAirStateRec Saved = StateOf("21/16");
    TAirStateDlg Dlg(nullptr);
    Run(Dlg, [&](TAirStateBox& B) {
        Paste(B, "21/16");
        Key(B, Qt::Key_S, Qt::AltModifier);
        Paste(B, "30/20");
        Key(B, Qt::Key_O, Qt::AltModifier);
        EXPECT_TRUE(Same(B.Item().State, Saved));
        EXPECT_EQ(Cell(B, 3) + "/" + Cell(B, 4), "21.0/16.0");
        Type(B, 4, "35"); // an error: nothing saved, no file asked for
        Key(B, Qt::Key_S, Qt::AltModifier);
        EXPECT_EQ(B.StatusText(), "Can\"t save invalid data...");
        Answer.clear(); // a cancelled dialog opens nothing
        Key(B, Qt::Key_O, Qt::AltModifier);
        EXPECT_EQ(Cell(B, 4), "35.0");
        Key(B, Qt::Key_Escape);
    });
    const QString Dir = QString::fromStdString(AppFolder());
    EXPECT_EQ(Asked, (QStringList{"save " + Dir, "open " + Dir, "open " + Dir}));
    EXPECT_TRUE(Messages.isEmpty());
}

TEST_F(AirStateWindowTest, SaveDialogOffersPsxFilesAndAddsTheExtension) {
    TAirStateDlg Dlg(nullptr);
    Run(Dlg, [&](TAirStateBox& B) {
        test::WhenModalOpens<QFileDialog>([&](QFileDialog* D) {
            EXPECT_EQ(D->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(D->windowTitle(), "Save air state");
            EXPECT_EQ(D->nameFilters(), QStringList{"Moist Air State (*.psx)"});
            EXPECT_EQ(D->defaultSuffix(), "psx");
            EXPECT_EQ(D->directory().absolutePath() + "/", QString::fromStdString(AppFolder()));
            auto* Name = D->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(Name, nullptr);
            Name->setFocus();
            QTest::keyClicks(Name, FFiles.filePath("typed"));
            QTest::keyClick(Name, Qt::Key_Return);
        });
        Key(B, Qt::Key_S, Qt::AltModifier);
        Key(B, Qt::Key_Escape);
    });
    EXPECT_EQ(QFileInfo(FFiles.filePath("typed.psx")).size(), 120);
}

// ---------------------------------------------------------------------------
// Placement, row units and the stored settings

TEST_F(AirStateWindowTest, WindowStandsOnTheScreenWhereTheComponentSays) {
    const QRect Area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        const char* Name;
        int Left, Top;
        QPoint Expected; // (-1, -1): inside the screen, wherever
    };
    const Case Cases[] = {
        {"at the given position", 60, 50, QPoint(60, 50)},
        {"past the far corner", Area.right() + 500, Area.bottom() + 500, QPoint(-1, -1)},
        {"at the mouse pointer", kFormPosNotSet, kFormPosNotSet, Area.topLeft() + QPoint(120, 90)},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        QCursor::setPos(Area.topLeft() + QPoint(120, 90));
        TAirStateDlg Dlg(nullptr);
        QRect Shown;
        Run(
            Dlg,
            [&](TAirStateBox& B) {
                Shown = B.frameGeometry();
                Key(B, Qt::Key_Escape);
            },
            C.Left, C.Top);
        if (C.Expected.x() >= 0) {
            EXPECT_EQ(Shown.topLeft(), C.Expected);
        }
        EXPECT_TRUE(Area.contains(Shown)) << Shown.x() << "," << Shown.y();
        // The component keeps where the window stood.
        EXPECT_EQ(Dlg.Model().FormLeft(), Shown.x());
        EXPECT_EQ(Dlg.Model().FormTop(), Shown.y());
    }
}

TEST_F(AirStateWindowTest, PlacementAndRowUnitsGoThroughTheSettingsFile) {
    TAirStateDlg Dlg(nullptr);
    Run(
        Dlg,
        [&](TAirStateBox& B) {
            B.resize(B.width() + 40, B.height() + 30);
            B.EntryGrid1->SetColWidths(0, B.EntryGrid1->ColWidths(0) + 7);
            // The dry bulb in °F, picked from its units cell.
            test::WhenPickerOpens([](TUnitsForm* P) {
                QTest::keyClick(P->List(), Qt::Key_Down);
                QTest::keyClick(P->List(), Qt::Key_Return);
            });
            QTest::mouseClick(B.EntryGrid1->viewport(), Qt::LeftButton, {},
                              B.EntryGrid1->CellRect(2, 3).center());
            EXPECT_EQ(Cell(B, 3, 2), "°F");
            EXPECT_EQ(Cell(B, 3), "77.0");
            Key(B, Qt::Key_Escape);
        },
        70, 60);
    const oravent::TAirStateDlg& M = Dlg.Model();
    EXPECT_EQ(M.FormLeft(), 70);
    EXPECT_EQ(M.FormTop(), 60);
    EXPECT_EQ(M.RowUnits[3], 1);
    Dlg.SaveSettings();

    TAirStateDlg Again(nullptr);
    Again.LoadSettings();
    const oravent::TAirStateDlg& N = Again.Model();
    EXPECT_EQ(N.FormLeft(), M.FormLeft());
    EXPECT_EQ(N.FormTop(), M.FormTop());
    EXPECT_EQ(N.FormWidth, M.FormWidth);
    EXPECT_EQ(N.FormHeight, M.FormHeight);
    for (int C = 0; C < 3; ++C)
        EXPECT_EQ(N.ColWidths[C], M.ColWidths[C]) << C;
    EXPECT_EQ(N.RowUnits, M.RowUnits);
    // The next showing opens where the last one closed, as it was left.
    Run(
        Again,
        [&](TAirStateBox& B) {
            EXPECT_EQ(B.pos(), QPoint(70, 60));
            EXPECT_EQ(B.size(), QSize(M.FormWidth, M.FormHeight));
            EXPECT_EQ(B.EntryGrid1->ColWidths(0), M.ColWidths[0]);
            EXPECT_EQ(Cell(B, 3, 2), "°F");
            Key(B, Qt::Key_Escape);
        },
        kFormPosNotSet, kFormPosNotSet);
}

} // namespace
} // namespace oravent::gui

#include "AirStateBoxTest.moc"
