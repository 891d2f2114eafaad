// The roughness dialog driven by key and mouse events from inside its modal
// loop: what it shows, which values reach the duct sheet's table on Accept,
// that every way of cancelling leaves the table alone, and that its layout
// shows every cell and caption at a large font.
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <functional>

#include <gtest/gtest.h>

#include "app/TxDuctRoughForm.h"
#include "controls/EntryGridWidget.h"
#include "duct/DuctSheet.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

// A private data folder besides the private settings folder of the test main.
class DataHome : public ::testing::Environment {
public:
    void SetUp() override { qputenv("XDG_DATA_HOME", FDir.path().toLocal8Bit()); }

private:
    QTemporaryDir FDir;
};
[[maybe_unused]] const auto* const Env = ::testing::AddGlobalTestEnvironment(new DataHome);

using Table = std::array<double, RoughnessCount>;

Table TableOf(const DuctSheet& S) {
    Table T{};
    for (int I = 0; I < RoughnessCount; ++I)
        T[I] = S.RoughnessTable[I];
    return T;
}

void SetTable(DuctSheet& S, const Table& T) {
    double Raw[RoughnessCount];
    for (int I = 0; I < RoughnessCount; ++I)
        Raw[I] = T[I];
    S.SetRoughnessTable(Raw);
}

const Table Defaults = {0.00003, 0.00009, 0.00015, 0.0009, 0.003};
const Table Custom = {0.00001, 0.00002, 0.00004, 0.0005, 0.002};

// The user's side of one showing: runs while the dialog is open.
struct User {
    TDuctRoughForm& Form;
    QWidget* Focus() const {
        return QApplication::focusWidget() ? QApplication::focusWidget() : Form.EntryGrid1;
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers M = {}) { QTest::keyClick(Focus(), K, M); }
    void Type(const QString& S) {
        for (QChar Ch : S)
            QTest::keyClicks(Focus(), QString(Ch));
    }
    void GoToRow(int R) {
        for (int Guard = 0; Form.EntryGrid1->Row() != R && Guard < 10; ++Guard)
            Key(Form.EntryGrid1->Row() < R ? Qt::Key_Down : Qt::Key_Up);
    }
    void Shown(QStringList& Texts) const {
        for (int R = 1; R <= RoughnessCount; ++R)
            Texts << Form.EntryGrid1->Cells(1, R);
    }
    void Click(QToolButton* B) { QTest::mouseClick(B, Qt::LeftButton); }
};

// Runs EditRoughness with Act as the user once the dialog is up and active.
// A dialog still open three seconds later is closed with a result no path
// gives, and Stuck reports it.
struct Showing {
    bool Changed = false;
    int Result = 0;
    bool Stuck = false;
};
Showing ShowDialog(TDuctRoughForm& Form, DuctSheet& Sheet, const std::function<void(User&)>& Act) {
    Showing S;
    QTimer Poll, Guard;
    Poll.setInterval(10);
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        if (!Form.isVisible()) return;
        if (!Form.isActiveWindow()) {
            Form.activateWindow();
            return;
        }
        Poll.stop();
        User U{Form};
        Act(U);
    });
    Guard.setSingleShot(true);
    Guard.setInterval(3000);
    QObject::connect(&Guard, &QTimer::timeout, [&] {
        if (!Form.isVisible()) return;
        S.Stuck = true;
        Form.done(99);
    });
    Poll.start();
    Guard.start();
    S.Changed = EditRoughness(Form, Sheet);
    S.Result = Form.result();
    return S;
}

TEST(DuctRoughForm, OpensWithTheSheetTableInMillimetresWithFourDecimals) {
    TDuctRoughForm Form;
    EXPECT_EQ(Form.windowTitle(), QStringLiteral("Duct Roughness"));
    DuctSheet Sheet;
    const std::pair<Table, QStringList> Cases[] = {
        {Defaults, {"0.0300", "0.0900", "0.1500", "0.9000", "3.0000"}},
        {Custom, {"0.0100", "0.0200", "0.0400", "0.5000", "2.0000"}},
    };
    for (const auto& [T, Expected] : Cases) {
        SetTable(Sheet, T);
        QStringList Texts;
        const Showing S = ShowDialog(Form, Sheet, [&](User& U) {
            U.Shown(Texts);
            U.Click(Form.CancelButton);
        });
        EXPECT_FALSE(S.Stuck);
        EXPECT_FALSE(S.Changed);
        EXPECT_EQ(Texts, Expected);
    }
}

struct AcceptCase {
    const char* Name;
    int Row;
    const char* Typed;
    std::function<void(User&)> Finish;
    double ExpectedMm;
};

void EnterAndAccept(User& U) {
    U.Key(Qt::Key_Return);
    U.Click(U.Form.AcceptButton);
}

TEST(DuctRoughForm, AcceptedValueReachesTheTableAndTheCurrentCategory) {
    const AcceptCase Cases[] = {
        {"Average 0.2 with Enter", 3, "0.2", EnterAndAccept, 0.2},
        {"rounded to the row's four decimals", 1, "0.12345", EnterAndAccept, 0.1235},
        {"still being typed when Accept is clicked", 3, "0.5",
         [](User& U) { U.Click(U.Form.AcceptButton); }, 0.5},
        {"still being typed when Alt+A is pressed", 5, "7",
         [](User& U) { U.Key(Qt::Key_A, Qt::AltModifier); }, 7.0},
    };
    for (const AcceptCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TDuctRoughForm Form;
        DuctSheet Sheet;
        SetTable(Sheet, Defaults);
        Sheet.kIndex = 2;
        Sheet.UpdateRoughness();
        const Showing S = ShowDialog(Form, Sheet, [&](User& U) {
            U.GoToRow(C.Row);
            U.Type(QString::fromLatin1(C.Typed));
            C.Finish(U);
        });
        EXPECT_FALSE(S.Stuck);
        EXPECT_TRUE(S.Changed);
        EXPECT_EQ(S.Result, TDuctRoughForm::mrOk);
        Table Expected = Defaults;
        Expected[C.Row - 1] = C.ExpectedMm * 0.001;
        for (int I = 0; I < RoughnessCount; ++I)
            EXPECT_NEAR(Sheet.RoughnessTable[I], Expected[I], 1e-12) << "category " << I;
        EXPECT_EQ(Sheet.Roughness, Sheet.RoughnessTable[2]);
        EXPECT_EQ(Form.EntryGrid1->Cells(1, C.Row), QString::number(C.ExpectedMm, 'f', 4));
    }
}

TEST(DuctRoughForm, EveryWayOfCancellingKeepsTheTableAndDropsWhatWasTyped) {
    const std::pair<const char*, std::function<void(User&)>> Cases[] = {
        {"Cancel after Enter",
         [](User& U) {
             U.Key(Qt::Key_Return);
             U.Click(U.Form.CancelButton);
         }},
        {"Cancel while typing", [](User& U) { U.Click(U.Form.CancelButton); }},
        {"Escape while typing, then Escape", // the first one cancels the edit only
         [](User& U) {
             U.Key(Qt::Key_Escape);
             EXPECT_TRUE(U.Form.isVisible());
             U.Key(Qt::Key_Escape);
         }},
        {"Escape after Enter",
         [](User& U) {
             U.Key(Qt::Key_Return);
             U.Key(Qt::Key_Escape);
         }},
        {"close box while typing", [](User& U) { U.Form.close(); }},
    };
    for (const auto& [Name, Finish] : Cases) {
        SCOPED_TRACE(Name);
        TDuctRoughForm Form;
        DuctSheet Sheet;
        SetTable(Sheet, Custom);
        const Showing S = ShowDialog(Form, Sheet, [&](User& U) {
            U.GoToRow(4);
            U.Type(QStringLiteral("9.5"));
            Finish(U);
        });
        EXPECT_FALSE(S.Stuck);
        EXPECT_FALSE(S.Changed);
        EXPECT_EQ(S.Result, TDuctRoughForm::mrCancel);
        EXPECT_EQ(TableOf(Sheet), Custom);
        // The next showing starts from the table, with nothing left over
        // from the cancelled one.
        QStringList Texts;
        const Showing Again = ShowDialog(Form, Sheet, [&](User& U) {
            U.Shown(Texts);
            U.Click(U.Form.AcceptButton);
        });
        EXPECT_TRUE(Again.Changed);
        EXPECT_EQ(Texts.at(3), QStringLiteral("0.5000"));
        EXPECT_EQ(TableOf(Sheet), Custom);
    }
}

TEST(DuctRoughForm, DefaultsThenAcceptRestoresTheDefaultTable) {
    TDuctRoughForm Form;
    DuctSheet Sheet;
    SetTable(Sheet, Custom);
    Sheet.kIndex = 4;
    Sheet.UpdateRoughness();
    bool StayedOpen = false;
    const Showing S = ShowDialog(Form, Sheet, [&](User& U) {
        U.Click(Form.DefaultsButton);
        StayedOpen = Form.isVisible();
        U.Click(Form.AcceptButton);
    });
    EXPECT_TRUE(StayedOpen);
    EXPECT_TRUE(S.Changed);
    for (int I = 0; I < RoughnessCount; ++I)
        EXPECT_NEAR(Sheet.RoughnessTable[I], Defaults[I], 1e-15);
    EXPECT_NEAR(Sheet.Roughness, 0.003, 1e-15);
}

TEST(DuctRoughForm, ARowLeftWithoutANumberKeepsItsCategoryValue) {
    TDuctRoughForm Form;
    DuctSheet Sheet;
    SetTable(Sheet, Custom);
    QString Left;
    const Showing S = ShowDialog(Form, Sheet, [&](User& U) {
        U.GoToRow(3);
        U.Type(QStringLiteral("."));
        U.Key(Qt::Key_Return);
        Left = Form.EntryGrid1->Cells(1, 3);
        U.GoToRow(5);
        U.Type(QStringLiteral("4"));
        U.Click(Form.AcceptButton);
    });
    ASSERT_TRUE(S.Changed);
    EXPECT_EQ(Left, QStringLiteral("."));
    Table Expected = Custom;
    Expected[4] = 0.004;
    for (int I = 0; I < RoughnessCount; ++I)
        EXPECT_NEAR(Sheet.RoughnessTable[I], Expected[I], 1e-15) << "category " << I;
}

TEST(DuctRoughForm, LayoutShowsEveryCellAndCaptionAtLargeFonts) {
    const QFont Normal = QApplication::font();
    for (int Px : {0, 22}) {
        SCOPED_TRACE(Px);
        QFont F = Normal;
        if (Px) F.setPixelSize(Px);
        QApplication::setFont(F);
        {
            TDuctRoughForm Form;
            Form.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
            const TEntryGrid& G = *Form.EntryGrid1;
            const QFontMetrics M(G.font());
            EXPECT_EQ(G.ColCount(), 2);
            EXPECT_GE(G.DefaultRowHeight(), M.height());
            for (int R = 0; R < G.RowCount(); ++R)
                for (int C = 0; C < G.ColCount(); ++C) {
                    const QRect Cell = G.CellRect(C, R);
                    EXPECT_TRUE(G.viewport()->rect().contains(Cell)) << C << "," << R;
                    EXPECT_GE(Cell.width(), M.horizontalAdvance(G.Cells(C, R)) + 2);
                }
            for (QToolButton* B : {Form.DefaultsButton, Form.AcceptButton, Form.CancelButton}) {
                EXPECT_TRUE(B->isVisible());
                EXPECT_GE(B->width(), B->sizeHint().width());
                EXPECT_GE(B->height(), B->sizeHint().height());
                EXPECT_FALSE(B->toolTip().isEmpty());
            }
            EXPECT_TRUE(Form.StatusBar1->currentMessage().isEmpty());
            EXPECT_GE(Form.height(), Form.minimumSizeHint().height());
        }
        QApplication::setFont(Normal);
    }
}

} // namespace
