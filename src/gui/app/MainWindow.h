// The main window of the duct calculator.
#pragma once

#include <QMainWindow>

namespace oravent::gui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace oravent::gui
