// Helpers of the about box tests: acting on the modal about box from inside
// its modal loop.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

#include "common/TxAbout.h"

namespace oravent::gui::test {

// The modal about box once it is showing and has the keyboard focus.
inline TAboutBox* OpenAboutBox() {
    for (QWidget* W : QApplication::topLevelWidgets()) {
        auto* Box = qobject_cast<TAboutBox*>(W);
        if (Box && Box->isVisible() && Box->Mode() == TAboutBoxMode::Modal &&
            QApplication::activeWindow() == Box && QApplication::focusWidget())
            return Box;
    }
    return nullptr;
}

// Runs Fn on the about box as soon as it is open and has the focus. A box left open by a
// failing step is closed after three seconds so that a test fails instead of
// hanging.
inline void WhenAboutBoxOpens(std::function<void(TAboutBox*)> Fn) {
    auto* Poll = new QTimer;
    Poll->setInterval(10);
    auto Tries = std::make_shared<int>(0);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Fn, Tries] {
        if (TAboutBox* Box = OpenAboutBox()) {
            Poll->stop();
            Poll->deleteLater();
            QPointer<TAboutBox> Open(Box);
            Fn(Box);
            QTimer::singleShot(3000, [Open] {
                if (Open) Open->done(0);
            });
        } else if (++*Tries > 300) {
            Poll->stop();
            Poll->deleteLater();
        }
    });
    Poll->start();
}

} // namespace oravent::gui::test
