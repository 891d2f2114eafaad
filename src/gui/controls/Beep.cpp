#include "controls/Beep.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyleOption>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace oravent::gui {

namespace {

std::function<void()>& BeepHook() {
    static std::function<void()> Hook;
    return Hook;
}

// A label that looks like the desktop's tool tips.
class TCueLabel : public QLabel {
public:
    explicit TCueLabel(QWidget* Parent)
        : QLabel(Parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_DeleteOnClose);
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
        setPalette(QToolTip::palette());
        setFont(QToolTip::font());
        const int Margin =
            1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this);
        setMargin(Margin);
        setTextFormat(Qt::PlainText);
        setAccessibleName(QStringLiteral("Cue"));
        FTimer.setSingleShot(true);
        connect(&FTimer, &QTimer::timeout, this, &QWidget::close);
    }
    void Start() { FTimer.start(CueMilliseconds); }

protected:
    void paintEvent(QPaintEvent* E) override {
        QPainter P(this);
        QStyleOptionFrame Opt;
        Opt.initFrom(this);
        style()->drawPrimitive(QStyle::PE_PanelTipLabel, &Opt, &P, this);
        P.end();
        QLabel::paintEvent(E);
    }

private:
    QTimer FTimer;
};

QPointer<TCueLabel>& Current() {
    static QPointer<TCueLabel> Label;
    return Label;
}

} // namespace

void Beep() {
    if (BeepHook())
        BeepHook()();
    else
        QApplication::beep();
}

void SetBeepHook(std::function<void()> Hook) {
    BeepHook() = std::move(Hook);
}

void ShowCue(QWidget* Owner, const QRect& Area, const QString& Text) {
    HideCue();
    if (!Owner || Text.isEmpty()) return;
    // The cue belongs to the field's window and goes with it.
    auto* L = new TCueLabel(Owner->window());
    L->setText(Text);
    L->adjustSize();
    QPoint At = Owner->mapToGlobal(Area.bottomLeft() + QPoint(0, 2));
    if (const QScreen* S = Owner->screen()) {
        const QRect Avail = S->availableGeometry();
        // Above the field when there is no room below it; never off the side.
        if (At.y() + L->height() > Avail.bottom())
            At.setY(Owner->mapToGlobal(Area.topLeft()).y() - L->height() - 2);
        At.setX(
            std::clamp(At.x(), Avail.left(), std::max(Avail.left(), Avail.right() - L->width())));
    }
    L->move(At);
    L->show();
    L->Start();
    Current() = L;
}

const QLabel* ShownCue() {
    const QPointer<TCueLabel>& L = Current();
    return L && L->isVisible() ? L.data() : nullptr;
}

void HideCue() {
    QPointer<TCueLabel>& L = Current();
    if (!L) return;
    L->hide();
    L->deleteLater();
    L = nullptr;
}

} // namespace oravent::gui
