#include "controls/Beep.h"

#include <QApplication>

namespace oravent::gui {

namespace {
std::function<void()>& BeepHook() {
    static std::function<void()> Hook;
    return Hook;
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

} // namespace oravent::gui
