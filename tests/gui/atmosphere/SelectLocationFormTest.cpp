// The location picker's window over the fixture database, driven by keys
// and the mouse from inside its modal loop: what it preselects and shows,
// the search field, the ways to accept and cancel, the stored choices and
// the missing-file message.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTableWidget>
#include <QToolButton>

#include "atmosphere/TxSelectLocation.h"
#include "common/AppFolders.h"
#include "common/TxRegistry.h"
#include "gui/atmosphere/ModalUser.h"

using namespace oravent;
using namespace oravent::gui;
using namespace oravent::gui::test;

namespace {

class SelectLocationFormTest : public AtmosphereTest {
protected:
    // The picker's stored choices, as a previous closing left them.
    static void Store(const char* Database, const char* Region, const char* Place) {
        TRegistryIniFile S(AppRegistryKey());
        S.WriteText("SelectLocationForm", "Database", Database);
        S.WriteText("SelectLocationForm", "Region", Region);
        S.WriteText("SelectLocationForm", "Place", Place);
    }
    static std::string Stored(const char* Ident) {
        return TRegistryIniFile(AppRegistryKey()).ReadText("SelectLocationForm", Ident, "?");
    }
    static QStringList Listed(const TSelectLocationForm& F) {
        QStringList L;
        const QAbstractItemModel* M = F.PlaceList->model();
        for (int R = 0; R < M->rowCount(); ++R)
            L << M->index(R, 0).data().toString();
        return L;
    }
    static QString Current(const TSelectLocationForm& F) {
        return F.PlaceList->currentIndex().data().toString();
    }
    static QString Detail(const TSelectLocationForm& F, int Row) {
        return F.Details->item(Row, 0)->text() + "=" + F.Details->item(Row, 1)->text();
    }
    // Execute with Act as the user; the result, and whether it was stuck.
    int Run(TSelectLocationForm& F, std::string_view Last,
            std::function<void(TSelectLocationForm&)> Act) {
        const auto Outcome = WhenModal<TSelectLocationForm>(std::move(Act));
        const bool Ok = F.Execute(Last);
        EXPECT_TRUE(Outcome->Answered);
        EXPECT_FALSE(Outcome->Stuck);
        EXPECT_EQ(Ok, F.result() == TSelectLocationForm::mrOk);
        return F.result();
    }
};

TEST_F(SelectLocationFormTest, OpensOnTheStoredPlaceWithItsDetailsAndPosition) {
    Store("South Africa", "Gauteng", "Johannesburg");
    TSelectLocationForm F(nullptr, Folder());
    EXPECT_EQ(F.windowTitle(), "Select Location");
    EXPECT_EQ(F.AcceptButton->text(), "&Accept");
    EXPECT_EQ(F.CancelButton->text(), "&Cancel");
    // The calculator hands over its last place, which names the region too.
    const int R = Run(F, "Pretoria, Gauteng", [&](TSelectLocationForm& W) {
        EXPECT_EQ(W.DatabaseList->currentText(), "South Africa");
        EXPECT_EQ(W.RegionList->currentText(), "Gauteng");
        EXPECT_EQ(Listed(W), (QStringList{"Johannesburg", "Pretoria"}));
        EXPECT_EQ(Current(W), "Pretoria");
        EXPECT_EQ(Detail(W, 0), "Latitude=25.75S");
        EXPECT_EQ(Detail(W, 3), "Altitude=1339 m");
        EXPECT_EQ(Detail(W, 6), "Wind Speed=n/a");
        EXPECT_EQ(W.StatusPanel(0)->text(), "Record 3 of 4");
        EXPECT_EQ(W.StatusPanel(1)->text(), "Pretoria, Gauteng");
        EXPECT_EQ(QApplication::focusWidget(), W.SearchEdit);
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(R, TSelectLocationForm::mrCancel);
    // Every close stores what was shown.
    EXPECT_EQ(Stored("Database"), "South Africa");
    EXPECT_EQ(Stored("Region"), "Gauteng");
    EXPECT_EQ(Stored("Place"), "Pretoria");
}

// The search field narrows "+All" without regard to case or accents; the
// first listed place is selected and Enter accepts it.
TEST_F(SelectLocationFormTest, SearchNarrowsTheListAndEnterAcceptsTheFirstMatch) {
    struct TCase {
        const char* Typed;
        QStringList Expected;
        const char* Selection; // after Enter; empty: nothing to accept
    };
    const TCase Cases[] = {
        {"zur", {"Zürich Gulch"}, "Zürich Gulch, Colorado"},
        {"ZÜRI", {"Zürich Gulch"}, "Zürich Gulch, Colorado"},
        {"town", {"Cape Town", "Jamestown"}, "Cape Town, Western Cape"},
        {"pOwEr",
         {"Hendrina Komati Power Station X"},
         "Hendrina Komati Power Station X, Western Cape"},
        {"qq", {}, ""},
    };
    Store("+All", "+All", "");
    for (const TCase& C : Cases) {
        TSelectLocationForm F(nullptr, Folder());
        QStringList Shown;
        QString Typed;
        const int Before = Beeps.Count();
        const int R = Run(F, "", [&](TSelectLocationForm& W) {
            EXPECT_EQ(Listed(W).size(), 9) << C.Typed;
            Type(QString::fromUtf8(C.Typed));
            Typed = W.SearchEdit->text();
            Shown = Listed(W);
            Key(Qt::Key_Return);
            if (!*C.Selection) {
                EXPECT_TRUE(W.isVisible()); // nothing to accept: it stays open
                Key(Qt::Key_C, Qt::AltModifier);
            }
        });
        EXPECT_EQ(Typed, QString::fromUtf8(C.Typed)) << C.Typed;
        EXPECT_EQ(Shown, C.Expected) << C.Typed;
        if (*C.Selection) {
            EXPECT_EQ(R, TSelectLocationForm::mrOk) << C.Typed;
            EXPECT_EQ(F.SelectionText(), C.Selection) << C.Typed;
        } else {
            EXPECT_EQ(R, TSelectLocationForm::mrCancel) << C.Typed;
            EXPECT_EQ(Beeps.Count(), Before + 1) << C.Typed;
        }
    }
}

// Down leaves the search field for the list; the details follow the
// selection; Up on the first row goes back; each way of accepting closes
// with OK and the selected record.
TEST_F(SelectLocationFormTest, KeysMoveBetweenSearchAndListAndAccept) {
    struct TCase {
        const char* Name;
        std::function<void(TSelectLocationForm&)> Accept;
    };
    const TCase Cases[] = {
        {"Enter in the list", [](TSelectLocationForm&) { Key(Qt::Key_Return); }},
        {"Alt+A", [](TSelectLocationForm&) { Key(Qt::Key_A, Qt::AltModifier); }},
        {"Accept button",
         [](TSelectLocationForm& W) { QTest::mouseClick(W.AcceptButton, Qt::LeftButton); }},
        {"double click",
         [](TSelectLocationForm& W) {
             const QRect Box = W.PlaceList->visualRect(W.PlaceList->currentIndex());
             QTest::mouseClick(W.PlaceList->viewport(), Qt::LeftButton, {}, Box.center());
             QTest::mouseDClick(W.PlaceList->viewport(), Qt::LeftButton, {}, Box.center());
         }},
    };
    Store("United States", "+All", "");
    for (const TCase& C : Cases) {
        TSelectLocationForm F(nullptr, Folder());
        SCOPED_TRACE(C.Name);
        const int R = Run(F, "", [&](TSelectLocationForm& W) {
            EXPECT_EQ(Listed(W), (QStringList{"Atlanta", "Denver", "Springfield", "Zürich Gulch"}));
            EXPECT_EQ(Current(W), "Atlanta") << C.Name;
            Key(Qt::Key_Down);
            EXPECT_EQ(QApplication::focusWidget(), W.PlaceList) << C.Name;
            EXPECT_EQ(Current(W), "Atlanta") << C.Name; // the focus moved, not the row
            Key(Qt::Key_Up);
            EXPECT_EQ(QApplication::focusWidget(), W.SearchEdit) << C.Name;
            Key(Qt::Key_Down);
            Key(Qt::Key_Down);
            EXPECT_EQ(Current(W), "Denver") << C.Name;
            EXPECT_EQ(Detail(W, 2), "TimeZone=7W") << C.Name;
            EXPECT_EQ(W.StatusPanel(1)->text(), "Denver, Colorado") << C.Name;
            C.Accept(W);
        });
        EXPECT_EQ(R, TSelectLocationForm::mrOk) << C.Name;
        EXPECT_EQ(F.Record().Name, "Denver") << C.Name;
        EXPECT_FLOAT_EQ(F.Record().Altitude, 1609) << C.Name;
        EXPECT_EQ(F.SelectionText(), "Denver, Colorado") << C.Name;
        EXPECT_EQ(Stored("Place"), "Denver") << C.Name;
    }
}

// Choosing a database and a region by keys (Alt+D, Alt+R, Tab), a database named with a
// point, and one whose record file is missing.
TEST_F(SelectLocationFormTest, DatabasesAndRegionsChosenByKeys) {
    Store("+All", "+All", "");
    TSelectLocationForm F(nullptr, Folder());
    QStringList Seen;
    const int R = Run(F, "", [&](TSelectLocationForm& W) {
        EXPECT_EQ(W.DatabaseList->count(), 4);
        Key(Qt::Key_D, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), W.DatabaseList);
        Key(Qt::Key_Down); // South Africa
        EXPECT_EQ(W.RegionList->currentText(), "+All");
        Seen << Listed(W).join(",");
        Key(Qt::Key_R, Qt::AltModifier);
        Key(Qt::Key_Down); // Gauteng
        Seen << Listed(W).join(",");
        Key(Qt::Key_Down); // Western Cape
        Seen << Listed(W).join(",");
        Key(Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), W.DatabaseList);
        Key(Qt::Key_Down); // St. Helena, from St.wdb
        Seen << Listed(W).join(",") + "|" + W.StatusPanel(1)->text();
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
        std::filesystem::remove(Db.Dir / "United States.wdb");
        Key(Qt::Key_Down); // United States: not installed
        Seen << Listed(W).join(",");
        Key(Qt::Key_S, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), W.SearchEdit);
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(R, TSelectLocationForm::mrCancel);
    EXPECT_EQ(Seen,
              (QStringList{"Cape Town,Hendrina Komati Power Station X,Johannesburg,Pretoria",
                           "Johannesburg,Pretoria", "Cape Town,Hendrina Komati Power Station X",
                           "Jamestown|Jamestown, Jamestown District", ""}));
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_EQ(Messages[0], "The United States Database has not been installed...\r\n"
                           "Please install the Halvorn Terralog Database.");
}

// A stored database that is not installed says so once the window is
// shown, over it.
TEST_F(SelectLocationFormTest, MissingFileMessageComesWithTheWindow) {
    Store("Atlantis", "", "");
    TSelectLocationForm F(nullptr, Folder());
    bool ShownFirst = false;
    TRootForm::MessageHook = [&](const QString& M) {
        ShownFirst = F.isVisible();
        Messages << M;
    };
    Run(F, "", [&](TSelectLocationForm& W) {
        QTest::qWait(20);
        EXPECT_EQ(W.DatabaseList->currentIndex(), -1);
        EXPECT_EQ(W.PlaceList->model()->rowCount(), 0);
        Key(Qt::Key_Escape);
    });
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith("The  Database has not been installed..."));
    EXPECT_TRUE(ShownFirst);
}

} // namespace
