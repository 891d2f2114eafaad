#include "common/TxAbout.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "common/URLLabel.h"
#include "controls/TxGrids.h"

namespace oravent::gui {

namespace {

QString Q(const std::string& S) {
    return QString::fromStdString(S);
}

// The description and the notice: the window's font, a little smaller.
QFont SmallPrint(const QWidget* W) {
    QFont F = W->font();
    F.setPointSizeF(F.pointSizeF() * 0.85);
    return F;
}

QLabel* WrappedLabel(QWidget* Parent, const char* Name, const QFont& Font) {
    auto* L = new QLabel(Parent);
    L->setObjectName(Name);
    L->setTextFormat(Qt::PlainText);
    L->setWordWrap(true);
    L->setFont(Font);
    return L;
}

} // namespace

QFont ImpactFont(int Size, bool Pixels) {
    QFont F;
    if (QFontDatabase::hasFamily(QStringLiteral("Impact"))) {
        F.setFamily(QStringLiteral("Impact"));
    } else {
        F = QApplication::font();
        F.setWeight(QFont::Black);
    }
    if (Pixels)
        F.setPixelSize(Size);
    else
        F.setPointSize(Size);
    return F;
}

// ---- Picture panel ----------------------------------------------------------------

TPicturePanel::TPicturePanel(QWidget* Parent) : QFrame(Parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void TPicturePanel::SetPicture(const QIcon& Picture, bool Stretch) {
    FPicture = Picture;
    FStretch = Stretch;
    update();
}

QSize TPicturePanel::sizeHint() const {
    const int Side = ClassicPx(this, 105);
    return {Side, Side};
}

QRect TPicturePanel::PictureRect() const {
    const QRect Area = contentsRect();
    if (FPicture.isNull()) return {};
    QSize Size;
    if (FStretch) {
        // A scalable picture answers any size; its shape comes from a large one.
        Size = FPicture.actualSize(QSize(1024, 1024)).scaled(Area.size(), Qt::KeepAspectRatio);
    } else {
        const QList<QSize> Sizes = FPicture.availableSizes();
        Size = Sizes.isEmpty() ? FPicture.actualSize(Area.size()) : Sizes.first();
    }
    QRect R(QPoint(0, 0), Size);
    R.moveCenter(Area.center());
    return R;
}

void TPicturePanel::paintEvent(QPaintEvent* E) {
    QFrame::paintEvent(E);
    if (FPicture.isNull()) return;
    QPainter P(this);
    P.setClipRect(contentsRect());
    const QRect R = PictureRect();
    // Drawn from the picture at the panel's device pixels, so it stays sharp
    // at 2x.
    FPicture.paint(&P, R, Qt::AlignCenter);
}

// ---- About window -----------------------------------------------------------------

TAboutBox::TAboutBox(QWidget* Parent, TAboutBoxMode Mode) : QDialog(Parent), FMode(Mode) {
    setObjectName("AboutBox");
    const bool Splash = Mode == TAboutBoxMode::Splash;
    if (Splash)
        setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    else
        // No border icons: no close, minimise or maximise box.
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);

    // Without a window frame the box draws its own edge.
    auto* Body = new QFrame(this);
    Body->setFrameStyle(Splash ? QFrame::Box | QFrame::Raised : QFrame::NoFrame);

    ProgramIcon = new TPicturePanel(Body);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setFixedSize(ProgramIcon->sizeHint());

    // The text column is as wide as about forty characters, so that the
    // description wraps the same way at every font and scale.
    auto* Texts = new QWidget(Body);
    Texts->setFixedWidth(QFontMetrics(font()).averageCharWidth() * 40);
    DeveloperLabel = new QLabel(Texts);
    DeveloperLabel->setObjectName("DeveloperLabel");
    DeveloperLabel->setFont(ImpactFont(14));
    ProductLabel = new QLabel(Texts);
    ProductLabel->setObjectName("ProductLabel");
    VersionLabel = new QLabel(Texts);
    VersionLabel->setObjectName("VersionLabel");
    for (QLabel* L : {DeveloperLabel, ProductLabel, VersionLabel})
        L->setTextFormat(Qt::PlainText);
    DescriptionLabel = WrappedLabel(Texts, "DescriptionLabel", SmallPrint(this));
    CopyrightLabel = WrappedLabel(Texts, "CopyrightLabel", SmallPrint(this));
    auto* TextLayout = new QVBoxLayout(Texts);
    TextLayout->setContentsMargins(0, 0, 0, 0);
    for (QLabel* L : {DeveloperLabel, ProductLabel, VersionLabel, DescriptionLabel, CopyrightLabel})
        TextLayout->addWidget(L);
    TextLayout->addStretch(1);

    EMailLabel = new QLabel(QStringLiteral("E-Mail"), Body);
    EMailLabel->setObjectName("EMailLabel");
    EMailLink = new TURLLabel(Body);
    EMailLink->setObjectName("EMailLink");
    WebLabel = new QLabel(QStringLiteral("WebSite"), Body);
    WebLabel->setObjectName("WebLabel");
    WebLink = new TURLLabel(Body);
    WebLink->setObjectName("WebLink");

    SplashCheck = new QCheckBox(QStringLiteral("&Show this form on program bootup"), Body);
    SplashCheck->setObjectName("SplashCheck");
    OKButton = new QPushButton(QStringLiteral("OK"), Body);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    OKButton->setMinimumWidth(ClassicPx(OKButton, 75));
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::accept);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    StatusText = new QLabel(StatusBar);
    StatusText->setObjectName("StatusText");
    StatusBar->addWidget(StatusText, 1);

    const int Gap = ClassicPx(this, 8);
    auto* Top = new QHBoxLayout;
    Top->setSpacing(Gap);
    Top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    Top->addWidget(Texts, 1);
    auto* Links = new QGridLayout;
    Links->setHorizontalSpacing(Gap);
    Links->addWidget(EMailLabel, 0, 0);
    Links->addWidget(EMailLink, 0, 1);
    Links->addWidget(WebLabel, 1, 0);
    Links->addWidget(WebLink, 1, 1);
    Links->setColumnStretch(1, 1);
    auto* Bottom = new QHBoxLayout;
    Bottom->addWidget(SplashCheck, 1);
    Bottom->addWidget(OKButton);

    auto* BodyLayout = new QVBoxLayout(Body);
    BodyLayout->setContentsMargins(Gap, Gap, Gap, Gap);
    BodyLayout->setSpacing(Gap);
    BodyLayout->addLayout(Top);
    BodyLayout->addLayout(Links);
    BodyLayout->addLayout(Bottom);

    auto* L = new QVBoxLayout(this);
    L->setContentsMargins(0, 0, 0, 0);
    L->setSpacing(0);
    L->addWidget(Body);
    L->addWidget(StatusBar);
    // A fixed size: as large as the contents need at this font and scale.
    L->setSizeConstraint(QLayout::SetFixedSize);
    StatusBar->hide();
}

void TAboutBox::Apply(const TAboutBoxView& View, const QFont& ProductFont,
                      const QColor& ProductColor, const QIcon& Picture) {
    setWindowTitle(Q(View.Caption));
    DeveloperLabel->setText(Q(View.DeveloperLine));
    ProductLabel->setText(Q(View.ProductLine));
    ProductLabel->setFont(ProductFont);
    QPalette P = ProductLabel->palette();
    P.setColor(QPalette::WindowText,
               ProductColor.isValid() ? ProductColor : palette().color(QPalette::ButtonText));
    ProductLabel->setPalette(P);
    VersionLabel->setText(Q(View.VersionLine));
    DescriptionLabel->setText(Q(View.Description));
    DescriptionLabel->setVisible(!View.Description.empty());
    CopyrightLabel->setText(Q(View.Copyright));
    EMailLink->SetURL(Q(View.EMailURL));
    EMailLink->SetCaption(Q(View.EMailCaption));
    WebLink->SetURL(Q(View.WebURL));
    WebLink->SetCaption(Q(View.WebCaption));
    WebLabel->setVisible(View.ShowWeb);
    WebLink->setVisible(View.ShowWeb);
    SplashCheck->setChecked(View.Checked);
    SplashCheck->setVisible(View.ShowCheck);
    OKButton->setVisible(View.ShowOk);
    StatusText->setText(Q(View.StatusText));
    StatusBar->setVisible(View.ShowStatus);
    ProgramIcon->SetPicture(Picture, View.StretchPic);
}

void TAboutBox::accept() {
    done(mrOk);
}

void TAboutBox::reject() {
    done(mrCancel);
}

void TAboutBox::showEvent(QShowEvent* E) {
    QDialog::showEvent(E);
    // Centred on the desktop the box is shown on.
    const QScreen* S = parentWidget() ? parentWidget()->screen() : screen();
    if (!S) S = QGuiApplication::primaryScreen();
    if (S) {
        QRect R = frameGeometry();
        R.moveCenter(S->availableGeometry().center());
        move(R.topLeft());
    }
    if (OKButton->isVisibleTo(this)) OKButton->setFocus(Qt::OtherFocusReason);
}

void TAboutBox::mousePressEvent(QMouseEvent* E) {
    if (FMode == TAboutBoxMode::Splash) {
        close();
        return;
    }
    QDialog::mousePressEvent(E);
}

void TAboutBox::keyPressEvent(QKeyEvent* E) {
    if (FMode == TAboutBoxMode::Splash) {
        close();
        return;
    }
    QDialog::keyPressEvent(E);
}

} // namespace oravent::gui
