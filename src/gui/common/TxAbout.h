// TAboutBox: the about window. A fixed-size window over the desktop's
// centre that stays on top: a framed picture panel on the left; the
// developer, product and version lines, the description and the copyright
// notice on the right; the "E-Mail" and "WebSite" links; the check box
// "Show this form on program bootup"; the default button "OK"; a status bar.
// Shown modally it closes with OK (Enter) or Escape; shown at program start
// (TAboutBoxMode::Splash) it has no frame, no button and no check box, shows
// its status text and closes on a click or a key. It shows what
// TAboutBoxDlg hands it (see common/AboutBox.h); it decides nothing itself.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QIcon>

#include "common/AboutBox.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace oravent::gui {

class TURLLabel;

// The framed picture panel: the picture at its own size, or stretched to the
// panel (keeping its proportions) and drawn sharp at any screen scale.
class TPicturePanel : public QFrame {
    Q_OBJECT
public:
    explicit TPicturePanel(QWidget* Parent = nullptr);
    void SetPicture(const QIcon& Picture, bool Stretch);
    const QIcon& Picture() const { return FPicture; }
    bool Stretch() const { return FStretch; }
    // The rectangle the picture is drawn in.
    QRect PictureRect() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* E) override;

private:
    QIcon FPicture;
    bool FStretch = false;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // Modal results.
    static constexpr int mrOk = 1;
    static constexpr int mrCancel = 2;

    explicit TAboutBox(QWidget* Parent = nullptr, TAboutBoxMode Mode = TAboutBoxMode::Modal);

    TAboutBoxMode Mode() const { return FMode; }
    // Fills the window; ProductFont and ProductColor draw the product line.
    void Apply(const TAboutBoxView& View, const QFont& ProductFont, const QColor& ProductColor,
               const QIcon& Picture);

    TPicturePanel* ProgramIcon = nullptr;
    QLabel* DeveloperLabel = nullptr;
    QLabel* ProductLabel = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* DescriptionLabel = nullptr;
    QLabel* CopyrightLabel = nullptr;
    QLabel* EMailLabel = nullptr;
    TURLLabel* EMailLink = nullptr;
    QLabel* WebLabel = nullptr;
    TURLLabel* WebLink = nullptr;
    QCheckBox* SplashCheck = nullptr;
    QPushButton* OKButton = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusText = nullptr;

    // OK gives mrOk; Escape gives mrCancel.
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* E) override;
    void mousePressEvent(QMouseEvent* E) override;
    void keyPressEvent(QKeyEvent* E) override;

private:
    TAboutBoxMode FMode;
};

// The font of the developer line, and the product font's default: "Impact",
// or the desktop's own font in its heaviest weight where Impact is not
// installed (most Linux desktops). Size in points, or in pixels when
// Pixels is true.
QFont ImpactFont(int Size, bool Pixels = false);

} // namespace oravent::gui
