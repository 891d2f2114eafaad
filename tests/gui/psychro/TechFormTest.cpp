// The technical window frame driven by keys and clicks: its commands
// (captions, hints, keys, glyphs), hooks, grid loading with the count
// check, leaving with Accept or Cancel from buttons and keys, the commit of
// a cell still being edited, Align, Copy to XML and Clip screen.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "common/AppFolders.h"
#include "controls/EntryGridWidget.h"
#include "controls/TechFrame.h"
#include "gui/controls/GuiTestUtil.h"
#include "psychro/TxTechForm.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

const QStringList AirRows = {
    "Property;Value;Units",
    "Name; %S",
    "Pressure; %0.3f; kPa; ; 60; 130",
    "Dry Bulb; %0.1f; °C; ; -60; 150",
    "Wet Bulb; %0.1f; °C; ; -60; 150",
};

// A frame with four data rows, every hook counted and messages collected.
struct Frame {
    TTechForm Form;
    QStringList Messages;
    QStringList Hooks; // hook name per run
    QStringList Commits;

    Frame() {
        TRootForm::MessageHook = [this](const QString& M) { Messages << M; };
        const std::pair<TTechForm::THook*, const char*> All[] = {
            {&Form.OnOpen, "Open"},   {&Form.OnSave, "Save"},   {&Form.OnCopy, "Copy"},
            {&Form.OnPaste, "Paste"}, {&Form.OnSolve, "Solve"}, {&Form.OnView, "View"},
            {&Form.OnPrint, "Print"}, {&Form.OnReset, "Reset"}, {&Form.OnAbout, "About"},
            {&Form.OnHelp, "Help"},
        };
        for (const auto& [Hook, Name] : All)
            *Hook = [this, Name = QString::fromLatin1(Name)](QObject* Sender) {
                Hooks << Name + "<-" + Sender->objectName();
            };
        Form.SetGridLines(AirRows);
        Form.SetGridData({std::string("Moist Air"), 101.325, 20.0, 15.0});
        QObject::connect(Form.EntryGrid1, &TEntryGrid::OnDoSetData, &Form, [this](int C, int R) {
            Commits << QStringLiteral("%1,%2").arg(C).arg(R);
        });
    }
    ~Frame() { TRootForm::MessageHook = nullptr; }
    bool Show() {
        if (!test::ShowActive(Form)) return false;
        Form.EntryGrid1->setFocus();
        QApplication::processEvents();
        return Form.EntryGrid1->hasFocus();
    }
    QWidget* Focus() const {
        return QApplication::focusWidget() ? QApplication::focusWidget() : Form.EntryGrid1;
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers M = {}) { QTest::keyClick(Focus(), K, M); }
    // Types into the value cell of a row (the first character opens the editor).
    void TypeInto(int Row, const QString& Text) {
        Form.EntryGrid1->FocusCell(1, Row, true);
        for (QChar Ch : Text)
            QTest::keyClicks(Focus(), QString(Ch));
    }
    QString Cell(int R) const { return Form.EntryGrid1->Cells(1, R); }
    QToolButton* Button(QAction* A) const {
        for (QToolBar* Row : {Form.ToolBarRow1, Form.ToolBarRow2})
            if (auto* B = qobject_cast<QToolButton*>(Row->widgetForAction(A))) return B;
        return nullptr;
    }
};

// ---------------------------------------------------------------------------
// Commands

struct CommandCase {
    const char* Name;
    const char* Caption;
    const char* Hint;
    int Row;
    QKeySequence Shortcut;
    bool Visible;
};

const CommandCase Commands[] = {
    {"OpenAction", "&Open", "Open", 1, {}, true},
    {"SaveAction", "&Save", "Save", 1, QKeySequence(Qt::ALT | Qt::Key_S), true},
    {"CopyAction", "&Copy", "Copy", 1, {}, true},
    {"PasteAction", "&Paste", "Paste", 1, {}, true},
    {"SolveAction", "S&olve", "Solve", 1, QKeySequence(Qt::Key_F9), true},
    {"ViewAction", "&View", "View", 1, {}, true},
    {"PrintAction", "&Print", "Print", 1, {}, true},
    {"AlignAction", "&Align", "Align", 2, {}, true},
    {"ResetAction", "&Reset", "Reset", 2, {}, false},
    {"AboutAction", "&About", "About", 2, {}, false},
    {"HelpAction", "&Help", "Help", 2, {}, true},
    {"CancelAction", "&Cancel", "Cancel", 2, {}, true},
    {"AcceptAction", "&Accept", "Accept", 2, {}, true},
};

TEST(TechForm, CommandsHaveTheirCaptionsHintsKeysAndPlaces) {
    Frame F;
    ASSERT_TRUE(F.Show());
    QStringList Row1, Row2;
    for (QAction* A : F.Form.ToolBarRow1->actions())
        Row1 << A->objectName();
    for (QAction* A : F.Form.ToolBarRow2->actions())
        Row2 << A->objectName();
    QStringList Expected1, Expected2;
    for (const CommandCase& C : Commands) {
        SCOPED_TRACE(C.Name);
        (C.Row == 1 ? Expected1 : Expected2) << C.Name;
        auto* A = F.Form.findChild<QAction*>(C.Name);
        ASSERT_NE(A, nullptr);
        EXPECT_EQ(A->text(), QString::fromUtf8(C.Caption));
        EXPECT_EQ(A->toolTip(), QString::fromUtf8(C.Hint));
        EXPECT_EQ(A->shortcut(), C.Shortcut);
        QToolButton* B = F.Button(A);
        ASSERT_NE(B, nullptr);
        EXPECT_EQ(B->isVisible(), C.Visible);
        EXPECT_EQ(B->toolTip(), QString::fromUtf8(C.Hint)); // the tool tip is the hint
        EXPECT_FALSE(A->icon().isNull());
    }
    // Row 2 is listed in table order with Cancel before Accept, as shown.
    EXPECT_EQ(Row1, Expected1);
    EXPECT_EQ(Row2, Expected2);
    QStringList Menu;
    for (QAction* A : F.Form.PopupMenu1->actions())
        Menu << A->objectName() + ":" + A->text();
    EXPECT_EQ(Menu, (QStringList{"CopytoXML1:Copy to XML", "ActionClip:Clip screen"}));
}

TEST(TechForm, GlyphsAreDrawnAtEverySize) {
    Frame F;
    for (const CommandCase& C : Commands) {
        const QIcon Icon = F.Form.findChild<QAction*>(C.Name)->icon();
        for (int Side : {16, 24, 64}) {
            SCOPED_TRACE(std::string(C.Name) + " at " + std::to_string(Side));
            const QImage Image = Icon.pixmap(QSize(Side, Side), 1.0).toImage();
            ASSERT_EQ(Image.size(), QSize(Side, Side)); // drawn at the size, not stretched
            int Opaque = 0;
            for (int Y = 0; Y < Side; ++Y)
                for (int X = 0; X < Side; ++X)
                    Opaque += qAlpha(Image.pixel(X, Y)) > 200;
            EXPECT_GT(Opaque, Side * Side / 10);
        }
    }
}

TEST(TechForm, EachCommandRunsItsOwnHookOnceAndAnUnsetHookNothing) {
    Frame F;
    const std::pair<QAction*, const char*> Cases[] = {
        {F.Form.OpenAction, "Open<-OpenAction"},    {F.Form.SaveAction, "Save<-SaveAction"},
        {F.Form.CopyAction, "Copy<-CopyAction"},    {F.Form.PasteAction, "Paste<-PasteAction"},
        {F.Form.SolveAction, "Solve<-SolveAction"}, {F.Form.ViewAction, "View<-ViewAction"},
        {F.Form.PrintAction, "Print<-PrintAction"}, {F.Form.ResetAction, "Reset<-ResetAction"},
        {F.Form.AboutAction, "About<-AboutAction"}, {F.Form.HelpAction, "Help<-HelpAction"},
    };
    for (const auto& [Action, Expected] : Cases) {
        F.Hooks.clear();
        Action->trigger();
        EXPECT_EQ(F.Hooks, QStringList{Expected});
    }
    F.Form.OnOpen = nullptr;
    F.Hooks.clear();
    F.Form.OpenAction->trigger();
    EXPECT_TRUE(F.Hooks.isEmpty());
    EXPECT_TRUE(F.Messages.isEmpty());
}

// ---------------------------------------------------------------------------
// Grid loading

TEST(TechForm, GridDataWritesTheRowsThatHaveValuesAndWarnsOnAMismatch) {
    struct Case {
        const char* Name;
        std::vector<TFieldValue> Values;
        QStringList Cells; // rows 1 to 4
        int Messages;
    } Cases[] = {
        {"one value per row",
         {std::string("Air"), 95.0, 30.0, 20.0},
         {"Air", "95.000", "30.0", "20.0"},
         0},
        {"too few values", {std::string("Air"), 95.0}, {"Air", "95.000", "20.0", "15.0"}, 1},
        {"too many values",
         {std::string("Air"), 95.0, 30.0, 20.0, 99.0},
         {"Air", "95.000", "30.0", "20.0"},
         1},
        {"none", {}, {"Moist Air", "101.325", "20.0", "15.0"}, 1},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Frame F;
        EXPECT_EQ(F.Form.DataCount(), 4);
        F.Form.SetGridData(C.Values);
        QStringList Cells;
        for (int R = 1; R <= 4; ++R)
            Cells << F.Cell(R);
        EXPECT_EQ(Cells, C.Cells);
        EXPECT_EQ(F.Messages, QStringList(C.Messages, QStringLiteral("DataCount<>LineCount")));
        EXPECT_EQ(F.Form.EntryGrid1->RowCount(), 5);
    }
    Frame F;
    F.Form.SetGridLines({});
    EXPECT_EQ(F.Form.DataCount(), 0);
}

// ---------------------------------------------------------------------------
// Leaving the window

struct LeaveCase {
    const char* Name;
    const char* Typed; // into Dry Bulb first, left in the editor ("" = nothing)
    std::function<void(Frame&)> Leave;
    int Result;
    const char* DryBulb;
};

const LeaveCase LeaveCases[] = {
    {"Accept button commits the cell being edited", "25",
     [](Frame& F) { QTest::mouseClick(F.Button(F.Form.AcceptAction), Qt::LeftButton); },
     TTechForm::mrOk, "25.0"},
    {"Ctrl+Return is Accept", "26", [](Frame& F) { F.Key(Qt::Key_Return, Qt::ControlModifier); },
     TTechForm::mrOk, "26.0"},
    {"Ctrl+Enter is Accept", "", [](Frame& F) { F.Key(Qt::Key_Enter, Qt::ControlModifier); },
     TTechForm::mrOk, "20.0"},
    {"Alt+A is Accept, not Align", "27", [](Frame& F) { F.Key(Qt::Key_A, Qt::AltModifier); },
     TTechForm::mrOk, "27.0"},
    {"Cancel button", "",
     [](Frame& F) { QTest::mouseClick(F.Button(F.Form.CancelAction), Qt::LeftButton); },
     TTechForm::mrCancel, "20.0"},
    // Leaving deactivates the window, which commits the cell being edited
    // (a valid edit stays, as with any other deactivation).
    {"Cancel button with a cell being edited", "28",
     [](Frame& F) { QTest::mouseClick(F.Button(F.Form.CancelAction), Qt::LeftButton); },
     TTechForm::mrCancel, "28.0"},
    {"Escape with no cell being edited is Cancel", "", [](Frame& F) { F.Key(Qt::Key_Escape); },
     TTechForm::mrCancel, "20.0"},
    {"Alt+C is Cancel, not Copy", "", [](Frame& F) { F.Key(Qt::Key_C, Qt::AltModifier); },
     TTechForm::mrCancel, "20.0"},
    {"the close box is Cancel", "", [](Frame& F) { F.Form.close(); }, TTechForm::mrCancel, "20.0"},
};

TEST(TechForm, LeavingGivesItsResultAndAcceptKeepsTheCellBeingEdited) {
    for (const LeaveCase& C : LeaveCases) {
        SCOPED_TRACE(C.Name);
        Frame F;
        ASSERT_TRUE(F.Show());
        if (*C.Typed) {
            F.TypeInto(3, QString::fromLatin1(C.Typed));
            ASSERT_TRUE(F.Form.IsEditing());
        }
        C.Leave(F);
        EXPECT_FALSE(F.Form.isVisible());
        EXPECT_EQ(F.Form.result(), C.Result);
        EXPECT_EQ(F.Cell(3), QString::fromLatin1(C.DryBulb));
        EXPECT_EQ(F.Commits, *C.Typed ? QStringList{"1,3"} : QStringList{});
        EXPECT_TRUE(F.Hooks.isEmpty()); // Alt+C did not copy
    }
}

TEST(TechForm, EscapeFirstDropsTheEditThenCancels) {
    Frame F;
    ASSERT_TRUE(F.Show());
    F.TypeInto(3, QStringLiteral("30"));
    F.Key(Qt::Key_Escape);
    EXPECT_TRUE(F.Form.isVisible());
    EXPECT_FALSE(F.Form.IsEditing());
    EXPECT_EQ(F.Cell(3), QStringLiteral("20.0"));
    F.Key(Qt::Key_Escape);
    EXPECT_FALSE(F.Form.isVisible());
    EXPECT_EQ(F.Form.result(), TTechForm::mrCancel);
    EXPECT_TRUE(F.Commits.isEmpty());
}

TEST(TechForm, DeactivationCommitsTheCellBeingEdited) {
    Frame F;
    ASSERT_TRUE(F.Show());
    F.TypeInto(4, QStringLiteral("12"));
    ASSERT_TRUE(F.Form.IsEditing());
    QWidget Other;
    ASSERT_TRUE(test::ShowActive(Other));
    EXPECT_FALSE(F.Form.IsEditing());
    EXPECT_EQ(F.Cell(4), QStringLiteral("12.0"));
    EXPECT_EQ(F.Commits, QStringList{"1,4"});
    EXPECT_TRUE(F.Form.isVisible());
}

// ---------------------------------------------------------------------------
// Keys of the hooks

struct KeyCase {
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Mods;
    std::function<void(TTechForm&)> Prepare;
    QStringList Hooks;
};

TEST(TechForm, KeysRunTheShownCommandsHooks) {
    const auto Hide = [](QAction* TTechForm::*A) {
        return [A](TTechForm& Form) { (Form.*A)->setVisible(false); };
    };
    const std::function<void(TTechForm&)> Nothing = [](TTechForm&) {};
    const KeyCase Cases[] = {
        {"Ctrl+C is Copy", Qt::Key_C, Qt::ControlModifier, Nothing, {"Copy<-CopyAction"}},
        {"Ctrl+V is Paste", Qt::Key_V, Qt::ControlModifier, Nothing, {"Paste<-PasteAction"}},
        {"Alt+O is Open, not Solve", Qt::Key_O, Qt::AltModifier, Nothing, {"Open<-OpenAction"}},
        {"Alt+O is Solve with Open hidden",
         Qt::Key_O,
         Qt::AltModifier,
         Hide(&TTechForm::OpenAction),
         {"Solve<-SolveAction"}},
        {"Alt+P is Paste, not Print", Qt::Key_P, Qt::AltModifier, Nothing, {"Paste<-PasteAction"}},
        {"Alt+P is Print with Paste hidden",
         Qt::Key_P,
         Qt::AltModifier,
         Hide(&TTechForm::PasteAction),
         {"Print<-PrintAction"}},
        {"Alt+S is Save once", Qt::Key_S, Qt::AltModifier, Nothing, {"Save<-SaveAction"}},
        {"F9 is Solve", Qt::Key_F9, {}, Nothing, {"Solve<-SolveAction"}},
        {"Alt+V is View", Qt::Key_V, Qt::AltModifier, Nothing, {"View<-ViewAction"}},
        {"Alt+H is Help", Qt::Key_H, Qt::AltModifier, Nothing, {"Help<-HelpAction"}},
        {"Alt+R: Reset is hidden", Qt::Key_R, Qt::AltModifier, Nothing, {}},
        {"Alt+R is Reset once shown",
         Qt::Key_R,
         Qt::AltModifier,
         [](TTechForm& Form) { Form.ResetAction->setVisible(true); },
         {"Reset<-ResetAction"}},
        {"Ctrl+C: Copy is hidden",
         Qt::Key_C,
         Qt::ControlModifier,
         Hide(&TTechForm::CopyAction),
         {}},
        {"Ctrl+V: Paste is disabled",
         Qt::Key_V,
         Qt::ControlModifier,
         [](TTechForm& Form) { Form.PasteAction->setEnabled(false); },
         {}},
    };
    for (const KeyCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Frame F;
        C.Prepare(F.Form);
        ASSERT_TRUE(F.Show());
        F.Key(C.Key, C.Mods);
        EXPECT_EQ(F.Hooks, C.Hooks);
        EXPECT_TRUE(F.Form.isVisible());
    }
}

TEST(TechForm, KeysActInTheWindowNotInItsOwner) {
    // An owner with the duct window's clashing keys: Ctrl+C, F9 and menus
    // whose access keys are Alt+C and Alt+H.
    QMainWindow Owner;
    QStringList OwnerRuns;
    for (const auto& [Menu, Item, Key] :
         {std::tuple{"&Calculate", "&Copy", QKeySequence(QKeySequence::Copy)},
          std::tuple{"&Help", "&Solve", QKeySequence(Qt::Key_F9)}}) {
        QAction* A = Owner.menuBar()->addMenu(Menu)->addAction(Item);
        A->setShortcut(Key);
        QObject::connect(A, &QAction::triggered, [&OwnerRuns, A] { OwnerRuns << A->text(); });
    }
    ASSERT_TRUE(test::ShowActive(Owner));
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QStringList, int> Cases[] = {
        {Qt::Key_C, Qt::ControlModifier, {"Copy<-CopyAction"}, 0},
        {Qt::Key_F9, {}, {"Solve<-SolveAction"}, 0},
        {Qt::Key_H, Qt::AltModifier, {"Help<-HelpAction"}, 0},
        {Qt::Key_C, Qt::AltModifier, {}, TTechForm::mrCancel},
    };
    for (const auto& [Key, Mods, Hooks, Result] : Cases) {
        SCOPED_TRACE(QKeySequence(Key | Mods).toString().toStdString());
        Frame F;
        F.Form.setParent(&Owner, F.Form.windowFlags());
        ASSERT_TRUE(F.Show());
        F.Key(Key, Mods);
        EXPECT_EQ(F.Hooks, Hooks);
        EXPECT_EQ(F.Form.result(), Result);
        EXPECT_TRUE(OwnerRuns.isEmpty());
        F.Form.setParent(nullptr, F.Form.windowFlags());
    }
}

TEST(TechForm, CopyAndPasteKeysBelongToTheCellBeingEdited) {
    Frame F;
    ASSERT_TRUE(F.Show());
    QApplication::clipboard()->setText(QStringLiteral("7"));
    F.TypeInto(3, QStringLiteral("2"));
    F.Key(Qt::Key_V, Qt::ControlModifier);
    F.Key(Qt::Key_A, Qt::ControlModifier);
    F.Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(F.Hooks.isEmpty());
    EXPECT_EQ(F.Form.EntryGrid1->InplaceEditor()->text(), QStringLiteral("27"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("27"));
}

// ---------------------------------------------------------------------------
// Align, Copy to XML, Clip screen

TEST(TechForm, AlignShowsEveryCellAndStopsAt400PixelsWithAScrollBar) {
    for (int Extra : {0, 60}) {
        SCOPED_TRACE(Extra);
        Frame F;
        QStringList Rows = AirRows;
        Rows << "A rather long property caption; %0.1f; kJ/(kg·K); ; 0; 1";
        for (int I = 0; I < Extra; ++I)
            Rows << QStringLiteral("Row %1; %0.1f; m; ; 0; 1").arg(I);
        F.Form.SetGridLines(Rows);
        ASSERT_TRUE(F.Show());
        F.Form.AlignAction->trigger();
        QApplication::processEvents();
        TEntryGrid& G = *F.Form.EntryGrid1;
        const QFontMetrics FM(G.font());
        EXPECT_GE(G.ColWidths(0), FM.horizontalAdvance(Rows.last().section(';', 0, 0)) + 10);
        EXPECT_GE(G.ColWidths(2), FM.horizontalAdvance(QStringLiteral("kJ/(kg·K)")));
        EXPECT_EQ(G.VisibleColCount(), 3);
        if (Extra == 0) {
            EXPECT_EQ(G.VisibleRowCount(), G.RowCount() - G.FixedRows());
            EXPECT_FALSE(G.verticalScrollBar()->isVisible());
        } else {
            EXPECT_EQ(F.Form.frameGeometry().height(), 400);
            EXPECT_LT(G.VisibleRowCount(), G.RowCount() - G.FixedRows());
            EXPECT_TRUE(G.verticalScrollBar()->isVisible());
        }
    }
}

TEST(TechForm, CopyToXmlPutsTheSheetOnTheClipboard) {
    Frame F;
    F.Form.CopytoXML1->trigger();
    const QString Text = QApplication::clipboard()->text();
    EXPECT_EQ(Text.toStdString(), GridToXml(F.Form.EntryGrid1->Model().Table()));
    EXPECT_TRUE(Text.contains(QStringLiteral("\r\n<Moist_Air>\r\n")));
    EXPECT_TRUE(Text.contains(QStringLiteral("  <Dry_Bulb Units=\"°C\">20.0</Dry_Bulb>\r\n")));
    EXPECT_TRUE(Text.endsWith(QStringLiteral("</Moist_Air>")));
}

TEST(TechForm, ClipScreenWritesTheSnapshotAndSaysWhere) {
    Frame F;
    ASSERT_TRUE(F.Show());
    F.Form.SetStatusText(QStringLiteral("Ready..."));
    const QString File = TTechForm::SnapshotFile();
    EXPECT_TRUE(File.endsWith(QString::fromStdString("/" + AppBaseName() + ".jpg")));
    QFile::remove(File);
    F.Form.ActionClip->trigger(); // from the menu: after the menu has left the screen
    QTRY_VERIFY(QFile::exists(File));
    EXPECT_EQ(F.Form.StatusBar1->currentMessage(), "Saved snapshot to " + File);
    EXPECT_EQ(F.Form.StatusText(), QStringLiteral("Ready...")); // the status itself stays
    QImageReader Reader(File);
    EXPECT_EQ(Reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(Reader.size(), F.Form.size());
    EXPECT_TRUE(F.Messages.isEmpty());
    QFile::remove(File);
}

} // namespace
