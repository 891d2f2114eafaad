// The desktop program: start the application titled "Oravent", create the
// main window and run the event loop until it closes. A calculation file
// named on the command line is opened once the window is shown. Every window
// carries the program's icon; the desktop file names the program to the
// desktop (task bars group its windows under the installed entry).
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "app/DuctTool.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Oravent");
    QApplication::setOrganizationName("Halvorn");
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/oravent.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.halvorn.Oravent"));
    oravent::gui::TDuctUForm window;
    window.show();
    const QStringList Args = QApplication::arguments();
    if (Args.size() > 1) {
        const QString File = Args.at(1);
        QTimer::singleShot(0, &window, [&window, File] { window.OpenCalculationFile(File); });
    }
    return QApplication::exec();
}
