// The desktop program: start the application titled "Oravent", create the
// main window and run the event loop until it closes.
#include <QApplication>

#include "app/MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Oravent");
    QApplication::setOrganizationName("Halvorn");
    oravent::gui::MainWindow window;
    window.show();
    return QApplication::exec();
}
