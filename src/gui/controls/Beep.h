// The system beep of the data-entry controls and its visible stand-in: a
// short tip beside the field naming what was wrong (many desktops have no
// audible bell). Tests install a hook to count beeps instead of sounding
// them, and read the tip that is shown.
#pragma once

#include <QRect>
#include <QString>

#include <functional>

class QLabel;
class QWidget;

namespace oravent::gui {

// Sounds the beep (or calls the installed hook).
void Beep();
// Installs a hook that replaces the beep; an empty function restores it.
void SetBeepHook(std::function<void()> Hook);

// How long a cue stays, in milliseconds.
inline constexpr int CueMilliseconds = 4000;
// Shows Text in a tip just below Area (a rectangle of Owner, in Owner's
// coordinates) for CueMilliseconds; it replaces a cue still shown. Unlike a
// tool tip it stays when the focus moves, since the cue comes with a commit
// or a focus change. An empty text shows nothing.
void ShowCue(QWidget* Owner, const QRect& Area, const QString& Text);
// The cue now shown (its text and place), or nullptr when none is.
const QLabel* ShownCue();
// Hides the cue now shown.
void HideCue();

} // namespace oravent::gui
