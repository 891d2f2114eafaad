// The system beep of the data-entry controls. Tests install a hook to count
// beeps instead of sounding them.
#pragma once

#include <functional>

namespace oravent::gui {

// Sounds the beep (or calls the installed hook).
void Beep();
// Installs a hook that replaces the beep; an empty function restores it.
void SetBeepHook(std::function<void()> Hook);

} // namespace oravent::gui
