#include "common/URLLabel.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "common/AboutBox.h"

namespace oravent::gui {

std::function<bool(const QUrl&)> TURLLabel::OpenHook;

TURLLabel::TURLLabel(QWidget* Parent) : QLabel(Parent) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    // Reachable with Tab; Enter stays with the dialog's default button.
    setFocusPolicy(Qt::StrongFocus);
    QFont F = font();
    F.setUnderline(true);
    setFont(F);
    QPalette P = palette();
    P.setColor(QPalette::WindowText, P.color(QPalette::Link));
    setPalette(P);
}

void TURLLabel::SetURL(const QString& Value) {
    FCaption = QString::fromStdString(
        URLLabelCaption(FCaption.toStdString(), FURL.toStdString(), Value.toStdString()));
    FURL = Value;
    setToolTip(FURL);
    ShowText();
}

void TURLLabel::SetCaption(const QString& Value) {
    FCaption = Value;
    ShowText();
}

void TURLLabel::ShowText() {
    setText(QString::fromStdString(URLLabelText(FCaption.toStdString(), FURL.toStdString())));
}

void TURLLabel::Open() {
    if (FURL.isEmpty()) return;
    const QUrl Url(FURL, QUrl::TolerantMode);
    if (OpenHook)
        OpenHook(Url);
    else
        QDesktopServices::openUrl(Url);
}

void TURLLabel::mousePressEvent(QMouseEvent* E) {
    FPressed = E->button() == Qt::LeftButton;
    QLabel::mousePressEvent(E);
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* E) {
    const bool Click = FPressed && E->button() == Qt::LeftButton && rect().contains(E->pos());
    FPressed = false;
    QLabel::mouseReleaseEvent(E);
    if (!Click) return;
    Open();
    emit clicked();
}

void TURLLabel::keyPressEvent(QKeyEvent* E) {
    if (E->key() == Qt::Key_Space && E->modifiers() == Qt::NoModifier) {
        Open();
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(E);
}

void TURLLabel::paintEvent(QPaintEvent* E) {
    QLabel::paintEvent(E);
    if (!hasFocus()) return;
    QStylePainter Painter(this);
    QStyleOptionFocusRect Option;
    Option.initFrom(this);
    Option.backgroundColor = palette().color(QPalette::Window);
    Painter.drawPrimitive(QStyle::PE_FrameFocusRect, Option);
}

} // namespace oravent::gui
