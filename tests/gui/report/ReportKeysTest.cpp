// Access keys of the report window beside its owner, a main window whose
// menu bar has access keys of its own (&File, &Edit, &Calculate, ...): each
// window's access keys act in that window only.
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "gui/controls/GuiTestUtil.h"
#include "report/TxReporter.h"

using namespace oravent::gui;
using oravent::gui::test::ShowActive;

namespace {

// The owner with its menus and the report window as its child window. The
// report's commands are disconnected: only which action a key reaches is of
// interest here, not the dialogs and programs behind them.
class ReportKeys : public ::testing::Test {
protected:
    void SetUp() override {
        Main = std::make_unique<QMainWindow>();
        for (const char* Caption : {"&File", "&Edit", "&Calculate", "&Window", "&Help"}) {
            QMenu* Menu = Main->menuBar()->addMenu(Caption);
            Menu->addAction(QStringLiteral("Item"));
            Menus[QString::fromLatin1(Caption).remove('&')] = Menu;
        }
        Main->setCentralWidget(new QTextEdit);
        Report = new TReportForm(Main.get());
        for (QAction* A : Report->ToolBar1()->actions()) {
            QObject::disconnect(A, &QAction::triggered, Report, nullptr);
            Actions[A->iconText().remove('&')] = A;
        }
        Report->RichEdit()->setPlainText(QStringLiteral("Report text"));
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    void TearDown() override {
        if (QWidget* Popup = QApplication::activePopupWidget()) Popup->close();
        Main.reset();
    }
    // Name of the menu shown or the action triggered by Alt+Key in the
    // active window ("" when nothing happened), and the report's text after.
    QString Press(Qt::Key Key, QWidget* Target = QApplication::focusWidget()) {
        std::map<QString, std::unique_ptr<QSignalSpy>> Spies;
        for (auto& [Name, Menu] : Menus)
            Spies[Name] = std::make_unique<QSignalSpy>(Menu, &QMenu::aboutToShow);
        for (auto& [Name, A] : Actions)
            Spies[Name] = std::make_unique<QSignalSpy>(A, &QAction::triggered);
        QTest::keyClick(Target, Key, Qt::AltModifier);
        QTest::qWait(150); // a button's animated click would come after 100 ms
        QString Fired;
        for (auto& [Name, Spy] : Spies)
            if (Spy->count() > 0) Fired += (Fired.isEmpty() ? "" : "+") + Name;
        if (QWidget* Popup = QApplication::activePopupWidget()) Popup->close();
        return Fired;
    }
    std::unique_ptr<QMainWindow> Main;
    TReportForm* Report = nullptr;
    std::map<QString, QMenu*> Menus;
    std::map<QString, QAction*> Actions;
};

struct TKeyCase {
    Qt::Key Key;
    const char* InReport; // what the key does with the report window active
    const char* InMain;   // and with the main window active
};

const TKeyCase KeyCases[] = {
    {Qt::Key_F, "Font", "File"},
    {Qt::Key_E, "Email", "Edit"},
    {Qt::Key_C, "Close", "Calculate"},
    {Qt::Key_P, "Print", ""},
    {Qt::Key_O, "Copy", ""},
    {Qt::Key_S, "Setup", ""},
    {Qt::Key_D, "Save as PDF\u2026", ""},
    {Qt::Key_W, "", "Window"},
    {Qt::Key_H, "", "Help"},
};

TEST_F(ReportKeys, EachWindowsAccessKeysActInThatWindow) {
    ASSERT_TRUE(ShowActive(*Report));
    ASSERT_EQ(QApplication::focusWidget(), Report->RichEdit());
    for (const TKeyCase& C : KeyCases) {
        SCOPED_TRACE(QKeySequence(Qt::ALT | C.Key).toString().toStdString());
        ASSERT_TRUE(ShowActive(*Report));
        EXPECT_EQ(Press(C.Key).toStdString(), C.InReport);
        // An access key is no typing: the report keeps its text.
        EXPECT_EQ(Report->PlainText().toStdString(), "Report text");
    }
    for (const TKeyCase& C : KeyCases) {
        SCOPED_TRACE(QKeySequence(Qt::ALT | C.Key).toString().toStdString());
        ASSERT_TRUE(ShowActive(*Main));
        EXPECT_EQ(Press(C.Key).toStdString(), C.InMain);
    }
    // With no child focused the window itself takes the key.
    ASSERT_TRUE(ShowActive(*Report));
    Report->RichEdit()->clearFocus();
    EXPECT_EQ(Press(Qt::Key_F, Report).toStdString(), "Font");
}

// The owner's other keys (its accelerators) still reach it from the report
// window, as they do from any tool window of a main window.
TEST_F(ReportKeys, OwnersAcceleratorsStillWorkFromTheReport) {
    QAction* Solve =
        Main->menuBar()->actions().value(2)->menu()->addAction(QStringLiteral("Solve"));
    Solve->setShortcut(Qt::Key_F9);
    QSignalSpy Solved(Solve, &QAction::triggered);
    ASSERT_TRUE(ShowActive(*Report));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
    EXPECT_EQ(Solved.count(), 1);
}

} // namespace
