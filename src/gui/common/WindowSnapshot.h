// Window snapshot: a picture of the window in front, frame and caption
// included, saved as a JPEG file (core common/JpegWriter.h: baseline,
// quality 90, replaced atomically) and then put on the clipboard.
//
// The frame comes from the screen (a screen grab of the window's outer
// bounds). Where the screen cannot be read (the offscreen platform of the
// tests, a desktop that refuses grabs) the window paints itself into the
// picture instead, without its frame.
#pragma once

#include <QImage>
#include <QString>

#include <stdexcept>

namespace oravent::gui {

// No window to take, or a scale that gives no picture.
class ESnapshotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The active window of this program, with its frame where the screen gives
// it. Raises ESnapshotError when no window is active.
QImage GrabActiveWindow();

// Scale 1 gives the picture as it is; any other scale gives
// trunc(width x Scale) x trunc(height x Scale) pixels (at least 1 x 1),
// smoothly resampled. A scale that is not a positive number, or a picture
// larger than a JPEG can hold, raises ESnapshotError.
QImage ScaleSnapshot(const QImage& Picture, double Scale);

// Takes the active window, scales it, writes Folder + Name + ".jpg" (a "/"
// is put between a Folder without one and Name), and only then puts the
// picture on the clipboard. Returns the file's name. A failed write raises
// EJpegError ("Unable to write to <file>") and leaves the clipboard as it
// was; no window raises ESnapshotError.
QString SnapshotToJpeg(const QString& Folder, const QString& Name, double Scale);

// The same on a given picture instead of the active window.
QString SaveSnapshot(const QImage& Picture, const QString& Folder, const QString& Name,
                     double Scale);

} // namespace oravent::gui
