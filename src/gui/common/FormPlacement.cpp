#include "common/FormPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include "common/TxRegistry.h"

namespace oravent::gui {

TFormState CurrentFormState(const QWidget& Window) {
    TFormState S;
    S.Left = Window.pos().x();
    S.Top = Window.pos().y();
    QSize Size = Window.size();
    if ((Window.isMinimized() || Window.isMaximized()) && Window.normalGeometry().isValid())
        Size = Window.normalGeometry().size();
    S.Width = Size.width();
    S.Height = Size.height();
    S.Visible = Window.isVisible();
    S.WinState = Window.isMinimized() ? wsMinimized : Window.isMaximized() ? wsMaximized : wsNormal;
    return S;
}

TScreenRect DesktopRect() {
    const QScreen* Screen = QGuiApplication::primaryScreen();
    if (!Screen) return {0, 0, 1024, 768};
    const QRect R = Screen->virtualGeometry();
    return {R.left(), R.top(), R.width(), R.height()};
}

void ApplyFormState(QWidget& Window, const TFormState& Stored, bool RestoreSize) {
    // The whole window on the screen it lands on, in this run's scale: a
    // place stored at another scale is moved (and a size made smaller)
    // until the window fits.
    TFormState State = Stored;
    if (!RestoreSize) {
        State.Width = Window.width();
        State.Height = Window.height();
    }
    const QSize Frame = FrameExtra(Window);
    const QScreen* S = QGuiApplication::screenAt(QPoint(State.Left, State.Top));
    if (!S) S = QGuiApplication::primaryScreen();
    if (S) {
        const QRect A = S->availableGeometry();
        State = KeepWholeOnScreen(State, {A.left(), A.top(), A.width(), A.height()}, Frame.width(),
                                  Frame.height());
    }
    if (QPoint(State.Left, State.Top) != Window.pos()) Window.move(State.Left, State.Top);
    if (RestoreSize || State.Width != Window.width() || State.Height != Window.height())
        Window.resize(State.Width, State.Height);
    Qt::WindowStates Flags = Window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (State.WinState == wsMinimized) Flags |= Qt::WindowMinimized;
    if (State.WinState == wsMaximized) Flags |= Qt::WindowMaximized;
    Window.setWindowState(Flags);
}

QSize FrameExtra(const QWidget& Window) {
    const QSize Frame = Window.frameGeometry().size() - Window.size();
    if (!Frame.isEmpty()) return Frame;
    return {0, Window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &Window)};
}

void KeepWholeWindowOnScreen(QWidget& Window) {
    const QScreen* S = Window.screen() ? Window.screen() : QGuiApplication::primaryScreen();
    if (!S) return;
    const QRect A = S->availableGeometry();
    const QSize Frame = FrameExtra(Window);
    const TFormState Fit = KeepWholeOnScreen(
        {Window.x(), Window.y(), Window.width(), Window.height()},
        {A.left(), A.top(), A.width(), A.height()}, Frame.width(), Frame.height());
    if (QPoint(Fit.Left, Fit.Top) != Window.pos()) Window.move(Fit.Left, Fit.Top);
}

void RestoreFormPlacement(QWidget& Window, const QString& FormName, bool RestoreSize) {
    try {
        const TFormState State = RestoreFormState(FormName.toStdString(), CurrentFormState(Window),
                                                  RestoreSize, DesktopRect());
        ApplyFormState(Window, State, RestoreSize);
    } catch (const ERegistryException&) {
        // A value of the wrong kind: keep the designed place.
    }
}

void SaveFormPlacement(const QWidget& Window, const QString& FormName) {
    SaveFormState(FormName.toStdString(), CurrentFormState(Window));
}

} // namespace oravent::gui
