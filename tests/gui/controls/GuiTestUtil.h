// Helpers of the widget tests: counting beeps, showing a window with the
// focus, and answering a modal pop-up once it is open.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

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
    auto Poll = std::make_shared<std::function<void(int)>>();
    *Poll = [Fn, Poll](int Tries) {
        if (TUnitsForm* F = TUnitsForm::Current(); F && F->isVisible()) {
            Fn(F);
            QTimer::singleShot(2000, [] {
                if (TUnitsForm* Left = TUnitsForm::Current()) Left->reject();
            });
            return;
        }
        if (Tries < 200) QTimer::singleShot(10, [Poll, Tries] { (*Poll)(Tries + 1); });
    };
    QTimer::singleShot(0, [Poll] { (*Poll)(0); });
}

} // namespace oravent::gui::test
