#include "common/TxAboutDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <exception>

#include "common/AppFolders.h"
#include "common/TxAbout.h"
#include "common/TxRegistry.h"

namespace oravent::gui {

std::function<void(const QString&)> TAboutBoxDlg::MessageHook;

TAboutBoxDlg::TAboutBoxDlg(QObject* Owner) : QObject(Owner), ProductFont(ImpactFont(22)) {
    setObjectName("AboutBoxDlg");
}

TAboutBoxDlg::~TAboutBoxDlg() {
    delete FSplash.data();
}

QWidget* TAboutBoxDlg::OwnerWidget() const {
    return qobject_cast<QWidget*>(parent());
}

TAboutBoxView TAboutBoxDlg::View(TAboutBoxMode Mode) const {
    return AboutBoxView(Props, QGuiApplication::applicationDisplayName().toStdString(),
                        StartupFlag(), Mode);
}

bool TAboutBoxDlg::ShowAboutBox() {
    TAboutBox Box(OwnerWidget(), TAboutBoxMode::Modal);
    Box.Apply(View(TAboutBoxMode::Modal), ProductFont, ProductColor, Picture);
    // The choice is stored however the box ends.
    struct TStore {
        TAboutBoxDlg& Dlg;
        TAboutBox& Box;
        ~TStore() { Dlg.StoreChoice(Box.SplashCheck->isChecked()); }
    } Store{*this, Box};
    return Box.exec() == TAboutBox::mrOk;
}

void TAboutBoxDlg::StoreChoice(bool Show) {
    SetStartupFlag(Show);
    try {
        TRegistryIniFile Settings(AppRegistryKey());
        WriteSplashScreen(Settings, Show);
    } catch (const std::exception& E) {
        const QString Text = QString::fromUtf8(E.what());
        if (MessageHook)
            MessageHook(Text);
        else
            QMessageBox::warning(OwnerWidget(), QApplication::applicationName(), Text);
    }
}

void TAboutBoxDlg::ShowSplash() {
    delete FSplash.data();
    FSplash = new TAboutBox(nullptr, TAboutBoxMode::Splash);
    FSplash->setAttribute(Qt::WA_DeleteOnClose);
    FSplash->Apply(View(TAboutBoxMode::Splash), ProductFont, ProductColor, Picture);
    FSplash->show();
    FSplashClock.start();
    // Painted now: the event loop does not run until the program has loaded.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TAboutBoxDlg::SplashLoaded() {
    if (!FSplash) return;
    // Above the owner window once that is shown (where no window manager
    // keeps the box on top).
    QTimer::singleShot(0, FSplash.data(), [Box = FSplash] {
        if (Box) Box->raise();
    });
    const qint64 Left = std::max<qint64>(0, kSplashMinimumMs - FSplashClock.elapsed());
    QTimer::singleShot(static_cast<int>(Left), FSplash.data(), [Box = FSplash] {
        if (Box) Box->close();
    });
}

} // namespace oravent::gui
