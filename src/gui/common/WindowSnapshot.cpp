#include "common/WindowSnapshot.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "common/JpegWriter.h"

namespace oravent::gui {

QImage GrabActiveWindow() {
    QWidget* W = QApplication::activeWindow();
    if (!W) throw ESnapshotError("No window to capture");
    QPixmap Picture;
    QScreen* Screen = W->screen();
    if (Screen && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        // The outer bounds, in the screen's own coordinates.
        const QRect Outer = W->frameGeometry().translated(-Screen->geometry().topLeft());
        Picture = Screen->grabWindow(0, Outer.x(), Outer.y(), Outer.width(), Outer.height());
    }
    if (Picture.isNull()) Picture = W->grab();
    QImage Image = Picture.toImage();
    Image.setDevicePixelRatio(1.0);
    return Image;
}

QImage ScaleSnapshot(const QImage& Picture, double Scale) {
    if (!std::isfinite(Scale) || Scale <= 0.0) throw ESnapshotError("Invalid snapshot scale");
    if (Scale == 1.0) return Picture;
    const double W = std::max(1.0, std::trunc(Picture.width() * Scale));
    const double H = std::max(1.0, std::trunc(Picture.height() * Scale));
    if (W > MaxJpegSide || H > MaxJpegSide) throw ESnapshotError("Snapshot too large");
    return Picture.scaled(static_cast<int>(W), static_cast<int>(H), Qt::IgnoreAspectRatio,
                          Qt::SmoothTransformation);
}

QString SaveSnapshot(const QImage& Picture, const QString& Folder, const QString& Name,
                     double Scale) {
    if (Picture.isNull()) throw ESnapshotError("No window to capture");
    const QImage Rgb = ScaleSnapshot(Picture, Scale).convertToFormat(QImage::Format_RGB888);
    QString File = Folder;
    if (!File.isEmpty() && !File.endsWith(QLatin1Char('/'))) File += QLatin1Char('/');
    File += Name + QStringLiteral(".jpg");
    WriteJpegFile(QFile::encodeName(File).toStdString(), Rgb.width(), Rgb.height(), Rgb.constBits(),
                  static_cast<std::size_t>(Rgb.bytesPerLine()));
    QApplication::clipboard()->setImage(Rgb);
    return File;
}

QString SnapshotToJpeg(const QString& Folder, const QString& Name, double Scale) {
    return SaveSnapshot(GrabActiveWindow(), Folder, Name, Scale);
}

} // namespace oravent::gui
