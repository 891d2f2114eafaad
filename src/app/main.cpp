// The desktop program: start the application titled "Oravent", create the
// main window and run the event loop until it closes. A calculation file
// named on the command line is opened once the window is shown.
#include <QApplication>
#include <QTimer>

#include "app/DuctTool.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Oravent");
    QApplication::setOrganizationName("Halvorn");
    oravent::gui::TDuctUForm window;
    window.show();
    const QStringList Args = QApplication::arguments();
    if (Args.size() > 1) {
        const QString File = Args.at(1);
        QTimer::singleShot(0, &window, [&window, File] { window.OpenCalculationFile(File); });
    }
    return QApplication::exec();
}
