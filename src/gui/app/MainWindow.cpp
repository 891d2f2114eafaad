#include "app/MainWindow.h"

namespace oravent::gui {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Oravent");
    resize(480, 320);
}

} // namespace oravent::gui
