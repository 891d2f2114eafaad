// Window placement of a Qt window through the stored form state: the window's
// place is taken from and written to its section of the program's settings
// (RestoreFormState / SaveFormState of common/AppFolders.h).
//
// "Left" and "Top" are the position of the window's frame; "Width" and
// "Height" are the size inside the frame. A hidden window's frame is not
// known yet, so storing the inner size is what lets a window come back at
// exactly the size it had, run after run, without growing by its frame.
#pragma once

#include <QSize>
#include <QString>

#include "common/AppFolders.h"

class QWidget;

namespace oravent::gui {

// The window's current state (position, size, visibility, minimised or
// maximised).
TFormState CurrentFormState(const QWidget& Window);
// The screen a placement is kept on: the whole desktop of the primary screen.
TScreenRect DesktopRect();
// Moves and sizes the window as State says, kept whole on the screen it
// lands on (KeepWholeOnScreen with its available area). A position equal to
// the current one is not applied, so a window with nothing stored is placed
// by the desktop as usual.
void ApplyFormState(QWidget& Window, const TFormState& State, bool RestoreSize);

// What the desktop's frame adds to the window's size: the real frame once
// the window is shown, until then the title bar the style draws.
QSize FrameExtra(const QWidget& Window);
// Moves a shown window so that all of it, frame included, is on the screen
// it stands on (a frame appears only when the window is shown).
void KeepWholeWindowOnScreen(QWidget& Window);

// Restore and save on the program's own settings key. A value stored with
// another kind is ignored on reading (the window keeps its place). Save
// raises what the store raises (EIniFileException when the settings file
// cannot be written).
void RestoreFormPlacement(QWidget& Window, const QString& FormName, bool RestoreSize);
void SaveFormPlacement(const QWidget& Window, const QString& FormName);

} // namespace oravent::gui
