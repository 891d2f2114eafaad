// The pressure calculator's window driven by keys and the mouse from inside
// its modal loop, as its host opens it: the pair it shows, the keys that
// move and the leave rules they run, Accept and every way of cancelling,
// the settings of the common key's "Barometer" section, placement at the
// cursor, and Search for Location through the picker over the fixture.
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QScreen>
#include <QToolButton>

#include <cmath>

#include "atmosphere/TxAltBaromForm.h"
#include "atmosphere/TxSelectLocation.h"
#include "common/AppFolders.h"
#include "common/TxRegistry.h"
#include "controls/TxFmtEdit.h"
#include "gui/atmosphere/ModalUser.h"
#include "psychro/Hygrocalc.h"
#include "units/NumberText.h"

using namespace oravent;
using namespace oravent::gui;
using namespace oravent::gui::test;

namespace {

QString Fixed(const char* Format, double V) {
    return QString::fromStdString(FormatNumber(Format, V));
}

class AltBaromFormTest : public AtmosphereTest {
protected:
    struct TShowing {
        int Result = 0;
        double Value = 0;
    };
    // The host's side: EditPressure from Value with Act as the user.
    TShowing Edit(TAltBaromForm& F, double Value, std::function<void(TAltBaromForm&)> Act,
                  QPoint At = {40, 40}) {
        const auto Outcome = WhenModal<TAltBaromForm>(std::move(Act));
        TShowing S;
        S.Value = Value;
        S.Result = F.EditPressure(S.Value, At);
        EXPECT_TRUE(Outcome->Answered);
        EXPECT_FALSE(Outcome->Stuck);
        return S;
    }
    std::unique_ptr<TAltBaromForm> NewForm() {
        auto F = std::make_unique<TAltBaromForm>();
        F->SetLocationFolder(Folder());
        return F;
    }
    static double StoredReal(const char* Ident) {
        return TRegistryIniFile(CommonRegistryKey()).ReadReal("Barometer", Ident, -1);
    }
    static int StoredInt(const char* Ident) {
        return TRegistryIniFile(CommonRegistryKey()).ReadInt("Barometer", Ident, -1);
    }
};

TEST_F(AltBaromFormTest, AltitudeTypedAndEnteredGivesThePressureAndAltAAcceptsIt) {
    auto F = NewForm();
    EXPECT_EQ(F->windowTitle(), "Barometer");
    EXPECT_EQ(F->AcceptButton->text(), "&Accept");
    EXPECT_EQ(F->AcceptButton->toolTip(), "Return pressure to calling program");
    EXPECT_EQ(F->CancelButton->text(), "&Cancel");
    EXPECT_EQ(F->SearchButton->toolTip(), "Search for Location");
    EXPECT_EQ(F->lbPressure->text() + F->lbAltitude->text(), "PressureAltitude");
    EXPECT_EQ(F->PaUnits->text() + F->AltUnits->text(), "kPam");
    QString Opened, Entered, Status;
    const TShowing S = Edit(*F, 101.325, [&](TAltBaromForm& W) {
        Opened = W.edPa->text() + "|" + W.edAlt->text() + "|" + W.StatusText();
        EXPECT_EQ(QApplication::focusWidget(), W.edPa);
        Key(Qt::Key_Down);
        Type("1500");
        Key(Qt::Key_Return);
        Entered = W.edPa->text() + "|" + W.edAlt->text();
        Status = W.StatusText();
        EXPECT_EQ(QApplication::focusWidget(), W.SearchButton);
        Key(Qt::Key_A, Qt::AltModifier);
    });
    EXPECT_EQ(Opened, "101.325|0.0|Ready...");
    EXPECT_EQ(Entered, "84.556|1500.0");
    EXPECT_EQ(Entered.section('|', 0, 0), Fixed("%0.3f", AtmPressure(1500)));
    EXPECT_EQ(Status, "Altitude modified by user");
    EXPECT_EQ(S.Result, TAltBaromForm::mrOk);
    EXPECT_DOUBLE_EQ(S.Value, 84.556);
    EXPECT_DOUBLE_EQ(F->Altitude(), 1500);
    // Written on the close.
    EXPECT_DOUBLE_EQ(StoredReal("Pressure"), 84.556);
    EXPECT_DOUBLE_EQ(StoredReal("Altitude"), 1500);
}

// Enter and Down go forward through the controls, Up back, in a ring.
TEST_F(AltBaromFormTest, EnterDownAndUpMoveTheFocus) {
    auto F = NewForm();
    QStringList Path;
    Edit(*F, 101.325, [&](TAltBaromForm&) {
        for (Qt::Key K : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up,
                          Qt::Key_Return, Qt::Key_Enter, Qt::Key_Up}) {
            Key(K);
            Path << QApplication::focusWidget()->objectName();
        }
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(Path, (QStringList{"edAlt", "SearchButton", "edPa", "SearchButton", "edAlt",
                                 "SearchButton", "edPa", "SearchButton"}));
}

// Every way of taking a typed value: its leave rule runs once and the
// accepted pressure is the pair's.
TEST_F(AltBaromFormTest, TypedValuesReachTheHostByEveryRoute) {
    struct TCase {
        const char* Name;
        bool InAltitude;
        const char* Typed;
        std::function<void(TAltBaromForm&)> Finish;
        double Pressure;
        const char* Status; // after Enter; empty when the window closed first
    };
    const auto AltA = [](TAltBaromForm&) { Key(Qt::Key_A, Qt::AltModifier); };
    const TCase Cases[] = {
        {"pressure, Enter, Alt+A", false, "90",
         [&](TAltBaromForm& W) {
             Key(Qt::Key_Return);
             EXPECT_EQ(W.edAlt->text(), Fixed("%0.1f", Altitude(90)));
             EXPECT_EQ(W.StatusText(), "Pressure modified by user");
             AltA(W);
         },
         90, ""},
        {"pressure, Alt+A without leaving", false, "95.5", AltA, 95.5, ""},
        {"altitude, Ctrl+Return", true, "300",
         [](TAltBaromForm&) { Key(Qt::Key_Return, Qt::ControlModifier); },
         std::round(AtmPressure(300) * 1000) / 1000, ""},
        {"altitude, Accept clicked", true, "2000",
         [](TAltBaromForm& W) { QTest::mouseClick(W.AcceptButton, Qt::LeftButton); },
         std::round(AtmPressure(2000) * 1000) / 1000, ""},
    };
    for (const TCase& C : Cases) {
        auto F = NewForm();
        const TShowing S = Edit(*F, 101.325, [&](TAltBaromForm& W) {
            if (C.InAltitude) Key(Qt::Key_Down);
            Type(C.Typed);
            C.Finish(W);
        });
        EXPECT_EQ(S.Result, TAltBaromForm::mrOk) << C.Name;
        EXPECT_NEAR(S.Value, C.Pressure, 1e-9) << C.Name;
        // The altitude follows the pressure that was accepted.
        EXPECT_NEAR(F->Altitude(), C.InAltitude ? std::atof(C.Typed) : Altitude(C.Pressure), 0.05)
            << C.Name;
    }
}

// Cancel returns 2 whichever way; what was showing is still stored, and the
// next opening starts from the host's value. Escape in a changed edit first
// restores its text.
TEST_F(AltBaromFormTest, EveryCancelKeepsTheHostValueButStoresWhatShowed) {
    struct TCase {
        const char* Name;
        std::function<void(TAltBaromForm&)> Cancel;
    };
    const TCase Cases[] = {
        {"Escape", [](TAltBaromForm&) { Key(Qt::Key_Escape); }},
        {"Alt+C", [](TAltBaromForm&) { Key(Qt::Key_C, Qt::AltModifier); }},
        {"Cancel clicked",
         [](TAltBaromForm& W) { QTest::mouseClick(W.CancelButton, Qt::LeftButton); }},
    };
    auto F = NewForm();
    for (const TCase& C : Cases) {
        QString Reverted;
        const TShowing S = Edit(*F, 100.0, [&](TAltBaromForm& W) {
            EXPECT_EQ(W.edPa->text(), "100.000") << C.Name;
            Type("95");
            Key(Qt::Key_Escape); // back to 100.000, still open
            Reverted = W.edPa->text();
            EXPECT_TRUE(W.isVisible()) << C.Name;
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("99");
            Key(Qt::Key_Return);
            C.Cancel(W);
        });
        EXPECT_EQ(Reverted, "100.000") << C.Name;
        EXPECT_EQ(S.Result, TAltBaromForm::mrCancel) << C.Name;
        EXPECT_DOUBLE_EQ(StoredReal("Pressure"), 99) << C.Name;
        EXPECT_NEAR(StoredReal("Altitude"), Altitude(99), 0.05) << C.Name;
    }
}

// A pressure beyond the limits is clamped with a beep and the focus stays;
// the leave rule takes the limit.
TEST_F(AltBaromFormTest, PressureBeyondTheLimitsIsClampedAndKeepsTheFocus) {
    const std::pair<const char*, const char*> Cases[] = {{"121", "120.000"}, {"69", "70.000"}};
    for (const auto& [Typed, Shown] : Cases) {
        auto F = NewForm();
        QString Text, Alt;
        QWidget* Focus = nullptr;
        const int Before = Beeps.Count();
        Edit(*F, 101.325, [&](TAltBaromForm& W) {
            Type(Typed);
            Key(Qt::Key_Return);
            QTest::qWait(20);
            Text = W.edPa->text();
            Alt = W.edAlt->text();
            Focus = QApplication::focusWidget();
            Key(Qt::Key_Escape);
        });
        EXPECT_EQ(Text, Shown) << Typed;
        EXPECT_EQ(Alt, Fixed("%0.1f", Altitude(std::atof(Shown)))) << Typed;
        EXPECT_EQ(Focus, F->edPa) << Typed;
        EXPECT_EQ(Beeps.Count(), Before + 1) << Typed;
    }
}

// The shown units are the stored ones; a unit picked on the label is
// stored at the close and shown by the next window.
TEST_F(AltBaromFormTest, ShownUnitsRoundTripThroughTheCommonKey) {
    TRegistryIniFile(CommonRegistryKey()).WriteInt("Barometer", "Pressure units", 1);
    {
        auto F = NewForm();
        Edit(*F, 101.325, [&](TAltBaromForm& W) {
            EXPECT_EQ(W.PaUnits->text(), "Psi");
            EXPECT_EQ(W.edPa->text(), Fixed("%0.4f", 101.325 * 0.1450376807894691));
            WhenPickerOpens([](TUnitsForm* U) {
                QTest::keyClick(U->List(), Qt::Key_Down);
                QTest::keyClick(U->List(), Qt::Key_Return);
            });
            QTest::mouseClick(W.AltUnits, Qt::LeftButton);
            EXPECT_TRUE(QTest::qWaitForWindowActive(&W)); // the keys come back here
            EXPECT_EQ(W.AltUnits->text(), "ft");
            Key(Qt::Key_Escape);
        });
        EXPECT_EQ(StoredInt("Pressure units"), 1);
        EXPECT_EQ(StoredInt("Altitude units"), 1);
    }
    auto F = NewForm();
    EXPECT_EQ(F->AltUnits->text(), "ft");
    const TShowing S = Edit(*F, 101.325, [&](TAltBaromForm&) {
        Key(Qt::Key_Down);
        Type("4921.3"); // 1500 m
        Key(Qt::Key_A, Qt::AltModifier);
    });
    EXPECT_NEAR(S.Value, 84.556, 0.001); // the host still gets kPa
}

// The window opens with its top-left corner at the point given, moved back
// just enough to be whole on the screen.
TEST_F(AltBaromFormTest, OpensAtTheCursorKeptWholeOnTheScreen) {
    const QRect Avail = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint Points[] = {Avail.topLeft() + QPoint(30, 20), Avail.bottomRight()};
    for (const QPoint& At : Points) {
        auto F = NewForm();
        QRect Frame;
        Edit(
            *F, 101.325,
            [&](TAltBaromForm& W) {
                Frame = W.frameGeometry();
                Key(Qt::Key_Escape);
            },
            At);
        EXPECT_TRUE(Avail.contains(Frame))
            << At.x() << "," << At.y() << " " << Frame.x() << "," << Frame.y() << " "
            << Frame.width() << "x" << Frame.height() << " in " << Avail.width() << "x"
            << Avail.height();
        if (At != Avail.bottomRight()) {
            EXPECT_EQ(Frame.topLeft(), At);
        }
    }
}

// Search for Location: the place's altitude, its status, the last location
// stored and reselected the next time.
TEST_F(AltBaromFormTest, SearchForLocationTakesThePlacesAltitude) {
    struct TCase {
        const char* Typed;
        double Altitude;
        const char* Status;
        const char* Last;
    };
    const TCase Cases[] = {
        {"denv", 1609, "Denver: no design weather", "Denver, Colorado"},
        {"atl", 320, "Atlanta: 33.5/23.6 °C", "Atlanta, Georgia"},
        {"burg", 1694, "Johannesburg: 29.4/18.9 °C", "Johannesburg, Gauteng"},
    };
    auto F = NewForm();
    for (const TCase& C : Cases) {
        QString Alt, Pa, Status, Preselected;
        const TShowing S = Edit(*F, 101.325, [&](TAltBaromForm& W) {
            WhenModal<TSelectLocationForm>([&](TSelectLocationForm& P) {
                Preselected = P.PlaceList->currentIndex().data().toString();
                Type(QString::fromUtf8(C.Typed));
                Key(Qt::Key_A, Qt::AltModifier);
            });
            Key(Qt::Key_Down);
            Key(Qt::Key_Down);
            Key(Qt::Key_Space);                           // the search button
            EXPECT_TRUE(QTest::qWaitForWindowActive(&W)); // the keys come back here
            Alt = W.edAlt->text();
            Pa = W.edPa->text();
            Status = W.StatusText();
            Key(Qt::Key_A, Qt::AltModifier);
        });
        EXPECT_EQ(Alt, Fixed("%0.1f", C.Altitude)) << C.Typed;
        EXPECT_EQ(Pa, Fixed("%0.3f", AtmPressure(C.Altitude))) << C.Typed;
        EXPECT_EQ(Status, QString::fromUtf8(C.Status)) << C.Typed;
        EXPECT_EQ(S.Result, TAltBaromForm::mrOk);
        EXPECT_NEAR(S.Value, AtmPressure(C.Altitude), 0.0005) << C.Typed;
        EXPECT_EQ(F->Commands().LastLocation(), C.Last);
        EXPECT_EQ(TRegistryIniFile(CommonRegistryKey()).ReadText("Barometer", "LastLocation", ""),
                  C.Last);
        // The place picked before is the one selected when the picker opens.
        if (&C != &Cases[0]) {
            EXPECT_EQ(Preselected, QString::fromUtf8((&C)[-1].Last).section(',', 0, 0)) << C.Typed;
        }
    }
}

} // namespace
