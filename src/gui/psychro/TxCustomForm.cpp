#include "psychro/TxCustomForm.h"

#include <QApplication>
#include <QMessageBox>

namespace oravent::gui {

std::function<void(const QString&)> TRootForm::MessageHook;

TRootForm::TRootForm(QWidget* Parent) : QDialog(Parent) {}

void TRootForm::ShowMessage(const QString& Text) {
    if (MessageHook) {
        MessageHook(Text);
        return;
    }
    QMessageBox::information(this, QApplication::applicationName(), Text);
}

} // namespace oravent::gui
