#include "common/FormPlacement.h"

#include <QGuiApplication>
#include <QScreen>
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

void ApplyFormState(QWidget& Window, const TFormState& State, bool RestoreSize) {
    if (QPoint(State.Left, State.Top) != Window.pos()) Window.move(State.Left, State.Top);
    if (RestoreSize) Window.resize(State.Width, State.Height);
    Qt::WindowStates Flags = Window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (State.WinState == wsMinimized) Flags |= Qt::WindowMinimized;
    if (State.WinState == wsMaximized) Flags |= Qt::WindowMaximized;
    Window.setWindowState(Flags);
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
