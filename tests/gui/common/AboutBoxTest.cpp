// The about box component and its window, driven by real keys and clicks:
// caption and product line, what is shown and hidden, how the box closes and
// what it stores, the links, the picture, the start-up showing.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "AboutBoxTestUtil.h"
#include "common/AboutBox.h"
#include "common/AppFolders.h"
#include "common/TxAbout.h"
#include "common/TxAboutDlg.h"
#include "common/TxRegistry.h"
#include "common/URLLabel.h"

using namespace oravent;
using namespace oravent::gui;
using oravent::gui::test::WhenAboutBoxOpens;

namespace {

// Private settings; the links and messages are recorded, not acted on.
class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FConfig.isValid());
        FSavedConfig = std::getenv("XDG_CONFIG_HOME");
        setenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit().constData(), 1);
        FSavedName = QApplication::applicationName();
        TURLLabel::OpenHook = [this](const QUrl& U) {
            Opened << U.toString();
            return true;
        };
        TAboutBoxDlg::MessageHook = [this](const QString& M) { Messages << M; };
        SetStartupFlag(false);
    }
    void TearDown() override {
        TURLLabel::OpenHook = nullptr;
        TAboutBoxDlg::MessageHook = nullptr;
        QApplication::setApplicationName(FSavedName);
        setenv("XDG_CONFIG_HOME", FSavedConfig.c_str(), 1);
        SetStartupFlag(false);
    }
    static bool Stored() { return ReadSplashScreen(TRegistryIniFile(AppRegistryKey())); }

    QTemporaryDir FConfig;
    std::string FSavedConfig;
    QString FSavedName;
    QStringList Opened, Messages;
};

TEST_F(AboutBoxTest, CaptionAndProductLineRows) {
    const struct {
        const char *Name, *Product, *AppTitle, *Caption;
    } Rows[] = {
        {"empty_product_takes_application_title", "", "Oravent", "About Oravent"},
        {"product_named", "Oravent", "Other", "About Oravent"},
        {"default_product", nullptr, "Oravent", "About VODU Zuverevu"},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        QApplication::setApplicationName(R.AppTitle);
        TAboutBoxDlg Dlg;
        if (R.Product) Dlg.Props.ProductName = R.Product;
        QString Caption, Product;
        WhenAboutBoxOpens([&](TAboutBox* Box) {
            Caption = Box->windowTitle();
            Product = Box->ProductLabel->text();
            QTest::keyClick(Box, Qt::Key_Escape);
        });
        Dlg.ShowAboutBox();
        EXPECT_EQ(Caption, R.Caption);
        EXPECT_EQ("About " + Product, Caption);
    }
}

TEST_F(AboutBoxTest, WebLinkShownOnlyWithShowWebb) {
    for (const bool ShowWebb : {false, true}) {
        SCOPED_TRACE(ShowWebb ? "ShowWebb" : "no ShowWebb");
        TAboutBoxDlg Dlg;
        Dlg.Props.ShowWebb = ShowWebb;
        Dlg.Props.Version = "1.2.0.15";
        QMap<QString, bool> Visible;
        QString VersionLine;
        WhenAboutBoxOpens([&](TAboutBox* Box) {
            for (QWidget* W : std::initializer_list<QWidget*>{
                     Box->WebLabel, Box->WebLink, Box->EMailLabel, Box->EMailLink, Box->SplashCheck,
                     Box->OKButton, Box->StatusBar})
                Visible[W->objectName()] = W->isVisible();
            VersionLine = Box->VersionLabel->text();
            QTest::keyClick(Box, Qt::Key_Return);
        });
        EXPECT_TRUE(Dlg.ShowAboutBox());
        EXPECT_EQ(Visible["WebLabel"], ShowWebb);
        EXPECT_EQ(Visible["WebLink"], ShowWebb);
        EXPECT_TRUE(Visible["EMailLabel"] && Visible["EMailLink"]);
        EXPECT_TRUE(Visible["SplashCheck"] && Visible["OKButton"]);
        EXPECT_FALSE(Visible["StatusBar"]);
        EXPECT_EQ(VersionLine, "Version 1.2.0.15");
    }
}

// However the box closes, the check box is the new start-up flag and is
// stored; only OK (Enter included) answers true.
TEST_F(AboutBoxTest, ClosingRowsStoreTheCheckBox) {
    enum class TClose { Enter, EnterOnCheckBox, ClickOk, Escape };
    const struct {
        const char* Name;
        bool FlagBefore;
        bool Toggle;
        TClose How;
        bool Result;
    } Rows[] = {
        {"enter_keeps_checked", true, false, TClose::Enter, true},
        {"clear_then_enter", true, true, TClose::EnterOnCheckBox, true},
        {"check_then_click_ok", false, true, TClose::ClickOk, true},
        {"check_then_escape", false, true, TClose::Escape, false},
        {"escape_unchanged", false, false, TClose::Escape, false},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        SetStartupFlag(R.FlagBefore);
        TRegistryIniFile Settings(AppRegistryKey());
        WriteSplashScreen(Settings, R.FlagBefore);
        TAboutBoxDlg Dlg;
        bool ShownChecked = !R.FlagBefore;
        WhenAboutBoxOpens([&](TAboutBox* Box) {
            ShownChecked = Box->SplashCheck->isChecked();
            if (R.Toggle) {
                // The check box's access key (it clicks after showing the
                // press for a moment).
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
                EXPECT_TRUE(QTest::qWaitFor(
                    [&] { return Box->SplashCheck->isChecked() != ShownChecked; }, 1000));
                if (R.How == TClose::EnterOnCheckBox) Box->SplashCheck->setFocus();
            }
            switch (R.How) {
            case TClose::Enter:
            case TClose::EnterOnCheckBox:
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                break;
            case TClose::ClickOk:
                QTest::mouseClick(Box->OKButton, Qt::LeftButton);
                break;
            case TClose::Escape:
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                break;
            }
        });
        EXPECT_EQ(Dlg.ShowAboutBox(), R.Result);
        EXPECT_EQ(ShownChecked, R.FlagBefore);
        const bool After = R.Toggle ? !R.FlagBefore : R.FlagBefore;
        EXPECT_EQ(StartupFlag(), After);
        EXPECT_EQ(Stored(), After);
        EXPECT_TRUE(Messages.isEmpty());
    }
}

TEST_F(AboutBoxTest, LinksOpenTheirAddresses) {
    TAboutBoxProps P;
    P.ShowWebb = true;
    TAboutBox Box(nullptr, TAboutBoxMode::Modal);
    Box.Apply(AboutBoxView(P, "Oravent", false), QFont(), QColor(), QIcon());
    Box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Box));
    EXPECT_EQ(Box.EMailLink->text(), QString::fromUtf8(kMakerEMail.data()));
    EXPECT_EQ(Box.WebLink->text(), QString::fromUtf8(kMakerWebSite.data()));
    QSignalSpy Clicked(Box.EMailLink, &TURLLabel::clicked);
    QTest::mouseClick(Box.EMailLink, Qt::LeftButton);
    EXPECT_EQ(Clicked.count(), 1);
    // From the keyboard: Tab reaches the link, Space opens it.
    Box.WebLink->setFocus();
    QTest::keyClick(Box.WebLink, Qt::Key_Space);
    // A press that leaves the link before the release opens nothing.
    QTest::mousePress(Box.WebLink, Qt::LeftButton);
    QTest::mouseRelease(Box.WebLink, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(Opened, QStringList({"mailto:" + QString::fromUtf8(kMakerEMail.data()),
                                   "http://" + QString::fromUtf8(kMakerWebSite.data())}));
    EXPECT_TRUE(Box.EMailLink->cursor().shape() == Qt::PointingHandCursor);
    EXPECT_TRUE(Box.EMailLink->font().underline());
}

// The caption rules are the core's; the widget shows them.
TEST_F(AboutBoxTest, URLLabelWithoutCaptionShowsItsURL) {
    TURLLabel L;
    L.SetURL("mailto:a@b.example");
    EXPECT_EQ(L.text(), "mailto:a@b.example");
    L.SetCaption("Write to us");
    EXPECT_EQ(L.text(), "Write to us");
    L.SetCaption("");
    EXPECT_EQ(L.text(), "mailto:a@b.example");
}

TEST_F(AboutBoxTest, PictureStretchedOrAtItsSize) {
    QPixmap Wide(20, 10);
    Wide.fill(Qt::red);
    for (const bool Stretch : {false, true}) {
        TPicturePanel Panel;
        Panel.resize(Panel.sizeHint());
        Panel.SetPicture(QIcon(Wide), Stretch);
        const QRect Area = Panel.contentsRect();
        const QRect R = Panel.PictureRect();
        if (Stretch) {
            EXPECT_EQ(R.width(), Area.width());
            EXPECT_EQ(R.height(), Area.width() / 2);
        } else {
            EXPECT_EQ(R.size(), QSize(20, 10));
        }
        EXPECT_TRUE(Area.contains(R.center()));
    }
}

TEST_F(AboutBoxTest, StartupShowingSaysLoadingAndCloses) {
    for (const bool ByClick : {false, true}) {
        SCOPED_TRACE(ByClick ? "closed by a click" : "closed when loaded");
        TAboutBoxDlg Dlg;
        Dlg.ShowSplash();
        TAboutBox* Box = Dlg.Splash();
        ASSERT_NE(Box, nullptr);
        EXPECT_TRUE(Box->isVisible());
        EXPECT_TRUE(Box->StatusBar->isVisible());
        EXPECT_EQ(Box->StatusText->text(), "Loading...");
        EXPECT_FALSE(Box->OKButton->isVisible());
        EXPECT_FALSE(Box->SplashCheck->isVisible());
        if (ByClick) {
            QTest::mouseClick(Box, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(Dlg.Splash() == nullptr, 1000);
        } else {
            QElapsedTimer Clock;
            Clock.start();
            Dlg.SplashLoaded();
            QTRY_VERIFY_WITH_TIMEOUT(Dlg.Splash() == nullptr, kSplashMinimumMs + 3000);
            EXPECT_GE(Clock.elapsed(), kSplashMinimumMs - 100);
        }
    }
}

// Settings that cannot be written: the box says so; the flag still follows
// the check box for this run.
TEST_F(AboutBoxTest, UnwritableSettingsAreReported) {
    std::ofstream(FConfig.filePath("Halvorn").toStdString()) << "not a folder";
    TAboutBoxDlg Dlg;
    WhenAboutBoxOpens([](TAboutBox* Box) {
        Box->SplashCheck->setChecked(true);
        QTest::keyClick(Box, Qt::Key_Return);
    });
    EXPECT_TRUE(Dlg.ShowAboutBox());
    EXPECT_TRUE(StartupFlag());
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith("Unable to write to")) << Messages[0].toStdString();
}

} // namespace
