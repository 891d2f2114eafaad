// Helpers of the widget tests: counting beeps, showing a window with the
// focus, and answering a modal pop-up once it is open.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "controls/Beep.h"
#include "units/TxUnitsForm.h"

namespace oravent::gui::test {

// Counts beeps while alive.
class BeepCounter {
public:
    BeepCounter() {
        SetBeepHook([this] { ++FCount; });
    }
    ~BeepCounter() { SetBeepHook(nullptr); }
    int Count() const { return FCount; }
    void Reset() { FCount = 0; }

private:
    int FCount = 0;
};

// Shows a top-level window and makes it the active window.
inline bool ShowActive(QWidget& W) {
    W.show();
    QApplication::setActiveWindow(&W);
    W.activateWindow();
    return QTest::qWaitForWindowExposed(&W) && QTest::qWaitForWindowActive(&W);
}

// Runs Fn on the units picker as soon as it is open (from inside its modal
// loop). A picker left open by a failing step is closed after two seconds so
// a test fails instead of hanging.
inline void WhenPickerOpens(std::function<void(TUnitsForm*)> Fn) {
    auto* Poll = new QTimer;
    Poll->setInterval(10);
    auto Tries = std::make_shared<int>(0);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Fn, Tries] {
        TUnitsForm* F = TUnitsForm::Current();
        if (F && F->isVisible()) {
            Poll->stop();
            Poll->deleteLater();
            QPointer<TUnitsForm> Open(F);
            Fn(F);
            QTimer::singleShot(2000, [Open] {
                if (Open) Open->reject();
            });
        } else if (++*Tries > 200) {
            Poll->stop();
            Poll->deleteLater();
        }
    });
    Poll->start();
}

// Runs Fn on the modal window of type T as soon as it is open and active
// (from inside its modal loop), as a user starts typing once a window is in
// front. A window left open by a failing step is rejected after five seconds
// so a test fails instead of hanging; one that never opens leaves Fn unrun.
template <class T> void WhenModalOpens(std::function<void(T*)> Fn) {
    auto* Poll = new QTimer;
    Poll->setInterval(10);
    auto Tries = std::make_shared<int>(0);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Fn, Tries] {
        T* W = qobject_cast<T*>(QApplication::activeModalWidget());
        if (W && W->isVisible()) {
            Poll->stop();
            Poll->deleteLater();
            QPointer<T> Open(W);
            QApplication::setActiveWindow(W);
            W->activateWindow();
            (void)QTest::qWaitForWindowActive(W);
            Fn(W);
            QTimer::singleShot(5000, [Open] {
                if (Open) Open->reject();
            });
        } else if (++*Tries > 500) {
            Poll->stop();
            Poll->deleteLater();
        }
    });
    Poll->start();
}

} // namespace oravent::gui::test
