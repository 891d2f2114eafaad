// The duct window's about box: Help > About, the program's own version and
// description, and the check box that brings the box up at the next start.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include <gtest/gtest.h>

#include "app/DuctTool.h"
#include "common/AboutBox.h"
#include "common/TxAboutDlg.h"
#include "common/TxVerInfo.h"
#include "common/URLLabel.h"
#include "gui/common/AboutBoxTestUtil.h"
#include "gui/controls/GuiTestUtil.h"

using namespace oravent;
using namespace oravent::gui;
using oravent::gui::test::WhenAboutBoxOpens;

namespace {

class DuctAboutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FConfig.isValid() && FData.isValid());
        setenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", FData.path().toLocal8Bit().constData(), 1);
        TDuctUForm::MessageHook = [this](const QString& M) { Messages << M; };
        TAboutBoxDlg::MessageHook = [this](const QString& M) { Messages << M; };
        TURLLabel::OpenHook = [](const QUrl&) { return true; };
    }
    void TearDown() override {
        TDuctUForm::MessageHook = nullptr;
        TAboutBoxDlg::MessageHook = nullptr;
        TURLLabel::OpenHook = nullptr;
        SetStartupFlag(false);
    }
    // What Help > About shows, closed with Enter after Act.
    struct TShown {
        QString Caption, Product, Version, Description, Web;
        bool WebShown = false, Checked = false, HasPicture = false, Stretched = false;
        int ProductPixels = 0;
    };
    static TShown ShowAbout(TDuctUForm& F, const std::function<void(TAboutBox*)>& Act = {}) {
        TShown S;
        WhenAboutBoxOpens([&](TAboutBox* Box) {
            S.Caption = Box->windowTitle();
            S.Product = Box->ProductLabel->text();
            S.Version = Box->VersionLabel->text();
            S.Description = Box->DescriptionLabel->text();
            S.Web = Box->WebLink->text();
            S.WebShown = Box->WebLink->isVisible() && Box->WebLabel->isVisible();
            S.Checked = Box->SplashCheck->isChecked();
            S.HasPicture = !Box->ProgramIcon->Picture().isNull();
            S.Stretched = Box->ProgramIcon->Stretch();
            S.ProductPixels = Box->ProductLabel->font().pixelSize();
            if (Act) Act(Box);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        F.Action("About")->trigger();
        return S;
    }

    QTemporaryDir FConfig, FData;
    QStringList Messages;
};

TEST_F(DuctAboutTest, HelpAboutShowsTheProgramsOwnBox) {
    TDuctUForm F;
    ASSERT_TRUE(test::ShowActive(F));
    ASSERT_TRUE(F.Action("About")->isEnabled());
    const TShown S = ShowAbout(F);
    EXPECT_EQ(S.Caption, "About Oravent");
    EXPECT_EQ(S.Product, "Oravent");
    EXPECT_EQ(S.Version, "Version " + QString::fromStdString(FileVersionText()));
    EXPECT_EQ(S.Description, QString::fromStdString(FileDescriptionText()));
    EXPECT_FALSE(S.Description.isEmpty());
    EXPECT_TRUE(S.WebShown);
    EXPECT_EQ(S.Web, QString::fromUtf8(kMakerWebSite.data()));
    EXPECT_TRUE(S.HasPicture); // the logo compiled into the program
    EXPECT_TRUE(S.Stretched);
    EXPECT_EQ(S.ProductPixels, 27);
    EXPECT_TRUE(F.windowTitle().startsWith(QString::fromStdString(ProductTitleText())));
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
}

// The check box is stored as "SplashScreen" and read back at the next
// start, which then shows the box while the program loads.
TEST_F(DuctAboutTest, CheckBoxReadBackAtNextStart) {
    {
        TDuctUForm F; // first run: nothing stored, no box at start-up
        EXPECT_EQ(F.AboutBoxDlg()->Splash(), nullptr);
        ASSERT_TRUE(test::ShowActive(F));
        const TShown S = ShowAbout(F, [](TAboutBox* Box) { Box->SplashCheck->setChecked(true); });
        EXPECT_FALSE(S.Checked);
        F.close();
    }
    {
        TDuctUForm F;
        TAboutBox* Splash = F.AboutBoxDlg()->Splash();
        ASSERT_NE(Splash, nullptr);
        EXPECT_TRUE(Splash->isVisible());
        EXPECT_EQ(Splash->StatusText->text(), "Loading...");
        EXPECT_EQ(Splash->VersionLabel->text(),
                  "Version " + QString::fromStdString(FileVersionText()));
        ASSERT_TRUE(test::ShowActive(F));
        QTRY_VERIFY_WITH_TIMEOUT(F.AboutBoxDlg()->Splash() == nullptr, kSplashMinimumMs + 3000);
        const TShown S = ShowAbout(F, [](TAboutBox* Box) {
            QTest::mouseClick(Box->SplashCheck, Qt::LeftButton); // clear it
            Box->SplashCheck->setFocus();
        });
        EXPECT_TRUE(S.Checked);
        F.close();
    }
    {
        TDuctUForm F;
        EXPECT_EQ(F.AboutBoxDlg()->Splash(), nullptr);
        ASSERT_TRUE(test::ShowActive(F));
        EXPECT_FALSE(ShowAbout(F).Checked);
    }
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
}

} // namespace
