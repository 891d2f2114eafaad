// Window snapshots: the picture's size at a scale, what a JPEG decoder reads
// from the file, the clipboard after a snapshot, a second snapshot replacing
// the first, and a failed write that leaves the clipboard alone.
#include <QClipboard>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "common/JpegWriter.h"
#include "common/WindowSnapshot.h"
#include "gui/controls/GuiTestUtil.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

// A top-level window of a given size in one colour.
struct Painted {
    QWidget Window;
    Painted(int W, int H, const QColor& Colour) {
        Window.setWindowFlag(Qt::FramelessWindowHint);
        Window.setAutoFillBackground(true);
        QPalette P = Window.palette();
        P.setColor(QPalette::Window, Colour);
        Window.setPalette(P);
        Window.setFixedSize(W, H);
    }
};

QImage Decoded(const QString& File) {
    QImageReader Reader(File, "jpeg");
    return Reader.read();
}

TEST(WindowSnapshot, ScaledSizesAreTruncated) {
    const QImage Picture(301, 201, QImage::Format_RGB32);
    struct Case {
        double Scale;
        QSize Size;
    } Cases[] = {{1.0, {301, 201}}, {0.5, {150, 100}},   {0.25, {75, 50}},
                 {2.0, {602, 402}}, {0.999, {300, 200}}, {0.001, {1, 1}}};
    for (const Case& C : Cases)
        EXPECT_EQ(ScaleSnapshot(Picture, C.Scale).size(), C.Size) << C.Scale;
    for (double Bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e9})
        EXPECT_THROW(ScaleSnapshot(Picture, Bad), ESnapshotError) << Bad;
}

TEST(WindowSnapshot, HalfScaleOfA301By201WindowIsA150By100Jpeg) {
    QTemporaryDir Dir;
    Painted W(301, 201, QColor(200, 40, 40));
    ASSERT_TRUE(test::ShowActive(W.Window));
    for (const auto& [Scale, Size] : {std::pair{0.5, QSize(150, 100)}, {1.0, QSize(301, 201)}}) {
        SCOPED_TRACE(Scale);
        const QString File = SnapshotToJpeg(Dir.path() + "/", QStringLiteral("Oravent"), Scale);
        EXPECT_EQ(File, Dir.path() + "/Oravent.jpg");
        const QImage Image = Decoded(File);
        ASSERT_FALSE(Image.isNull());
        EXPECT_EQ(Image.size(), Size);
        const QColor Middle = Image.pixelColor(Size.width() / 2, Size.height() / 2);
        EXPECT_NEAR(Middle.red(), 200, 8);
        EXPECT_NEAR(Middle.green(), 40, 8);
        EXPECT_EQ(QApplication::clipboard()->image().size(), Size);
    }
}

TEST(WindowSnapshot, SecondSnapshotLeavesOnlyTheSecondFile) {
    QTemporaryDir Dir;
    for (const QColor& Colour : {QColor(Qt::blue), QColor(Qt::green)}) {
        Painted W(120, 80, Colour);
        ASSERT_TRUE(test::ShowActive(W.Window));
        SnapshotToJpeg(Dir.path(), QStringLiteral("Oravent"), 1.0); // no "/": one is put in
    }
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Oravent.jpg"});
    const QColor Shown = Decoded(Dir.path() + "/Oravent.jpg").pixelColor(60, 40);
    EXPECT_GT(Shown.green(), 200);
    EXPECT_LT(Shown.blue(), 50);
}

TEST(WindowSnapshot, UnwritableFolderRaisesBeforeTheClipboardIsTouched) {
    QTemporaryDir Dir;
    // A folder below a plain file cannot be written, not even by root.
    QFile Plain(Dir.path() + "/plain");
    ASSERT_TRUE(Plain.open(QIODevice::WriteOnly));
    Plain.close();
    Painted W(50, 40, Qt::yellow);
    ASSERT_TRUE(test::ShowActive(W.Window));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    const QString Folder = Dir.path() + "/plain/";
    try {
        SnapshotToJpeg(Folder, QStringLiteral("Oravent"), 0.5);
        FAIL() << "no error";
    } catch (const EJpegError& E) {
        EXPECT_EQ(QString::fromStdString(E.what()), "Unable to write to " + Folder + "Oravent.jpg");
    }
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_TRUE(QApplication::clipboard()->image().isNull());
}

} // namespace
