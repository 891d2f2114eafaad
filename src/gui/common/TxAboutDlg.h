// TAboutBoxDlg: the about box as a component of its owner window. It holds
// the box's texts and switches (Props, with the defaults of
// common/AboutBox.h), the product line's font and the picture, and builds the
// window (TAboutBox) for each showing: modally with ShowAboutBox, or at
// program start with ShowSplash while the program loads. The check box of
// the modal box sets the program-wide start-up flag and stores it as
// "SplashScreen" in the program's settings.
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QIcon>
#include <QObject>
#include <QPointer>

#include <functional>

#include "common/AboutBox.h"

class QWidget;

namespace oravent::gui {

class TAboutBox;

class TAboutBoxDlg : public QObject {
    Q_OBJECT
public:
    // Owner: the window that owns the component; the modal box is shown over
    // it.
    explicit TAboutBoxDlg(QObject* Owner = nullptr);
    ~TAboutBoxDlg() override;

    TAboutBoxProps Props;
    // "Impact", 22 point, drawn in the button-text colour (an invalid colour).
    QFont ProductFont;
    QColor ProductColor;
    QIcon Picture;

    // Shows the box modally; true when it was closed with OK. The check box
    // is stored however the box ends.
    bool ShowAboutBox();

    // The start-up showing: the box without button and check box, with the
    // status text Props.Comment ("Loading..."), shown at once and painted
    // before the program goes on loading.
    void ShowSplash();
    // The program has loaded: the start-up showing closes once it has been
    // up for kSplashMinimumMs (a click or a key closes it sooner).
    void SplashLoaded();
    // The start-up showing while it is up.
    TAboutBox* Splash() const { return FSplash; }

    // A check box choice that cannot be stored is shown in a message box, or
    // handed to MessageHook when one is set (tests).
    static std::function<void(const QString&)> MessageHook;

private:
    QWidget* OwnerWidget() const;
    TAboutBoxView View(TAboutBoxMode Mode) const;
    void StoreChoice(bool Show);

    QPointer<TAboutBox> FSplash;
    QElapsedTimer FSplashClock;
};

} // namespace oravent::gui
