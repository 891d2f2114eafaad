// The user's side of the atmosphere windows' tests: keys typed into whatever
// has the focus, a modal window answered from inside its modal loop, the
// fixture location database in a temporary shared folder, and private
// settings per test.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/atmosphere/LocationFixture.h"
#include "gui/controls/GuiTestUtil.h"
#include "psychro/TxCustomForm.h"

namespace oravent::gui::test {

// Keys as a user types them: to the widget with the focus.
inline QWidget* FocusOr(QWidget* Fallback) {
    QWidget* F = QApplication::focusWidget();
    return F ? F : Fallback;
}
inline void Key(Qt::Key K, Qt::KeyboardModifiers M = {}) {
    QTest::keyClick(FocusOr(QApplication::activeWindow()), K, M);
}
inline void Type(const QString& Text) {
    for (QChar Ch : Text)
        QTest::keyClicks(FocusOr(QApplication::activeWindow()), QString(Ch));
}

// What happened to a modal window answered by WhenModal.
struct TModalOutcome {
    bool Answered = false; // the window opened and Act ran
    bool Stuck = false;    // it was still open at the guard's time and was closed
};

// Runs Act on the modal window of type T once it is shown and active, from
// inside its modal loop. A window still open GuardMs after Act ran is
// closed with result 99 (no path of the windows gives it) and reported as
// stuck, so a failing step fails the test instead of hanging it.
template <class T>
std::shared_ptr<TModalOutcome> WhenModal(std::function<void(T&)> Act, int GuardMs = 4000) {
    auto Outcome = std::make_shared<TModalOutcome>();
    auto* Poll = new QTimer;
    Poll->setInterval(10);
    auto Tries = std::make_shared<int>(0);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Act, Tries, Outcome, GuardMs] {
        T* W = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!W || !W->isVisible()) {
            if (++*Tries > 500) {
                Poll->stop();
                Poll->deleteLater();
            }
            return;
        }
        if (!W->isActiveWindow()) {
            QApplication::setActiveWindow(W);
            W->activateWindow();
            return;
        }
        Poll->stop();
        Poll->deleteLater();
        QPointer<T> Open(W);
        Outcome->Answered = true;
        Act(*W);
        QTimer::singleShot(GuardMs, [Open, Outcome] {
            if (Open && Open->isVisible()) {
                Outcome->Stuck = true;
                Open->QDialog::done(99);
            }
        });
    });
    Poll->start();
    return Outcome;
}

// Private settings, data and location folders per test; messages collected.
class AtmosphereTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FConfig.isValid() && FData.isValid());
        setenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", FData.path().toLocal8Bit().constData(), 1);
        TRootForm::MessageHook = [this](const QString& M) { Messages << M; };
    }
    void TearDown() override { TRootForm::MessageHook = nullptr; }
    const std::string& Folder() const { return Db.Dir.Path(); }

    QTemporaryDir FConfig, FData;
    oravent::test::TLocationFixture Db;
    QStringList Messages;
    BeepCounter Beeps;
};

} // namespace oravent::gui::test
