#include "psychro/TxAirStateDialog.h"

#include "psychro/TxAirStateWindow.h"

namespace oravent::gui {

TAirStateDlg::TAirStateDlg(QWidget* Host, std::string Name)
    : TAirConDlg(FModel, Host), FModel(std::move(Name)) {
    setObjectName(QString::fromStdString(FModel.Name()));
    ScaleDesignedSizes();
}

int TAirStateDlg::Execute(oravent::TPsyPoint* Item, int Left, int Top) {
    return FModel.Execute(Item, Left, Top, MousePos(), [this](oravent::TPsyPoint& Shown) {
        TAirStateBox Box(Shown, Host());
        Box.Configure(FModel);
        if (OnWindowCreated) OnWindowCreated(Box);
        return Box.exec() == mrOk ? mrOk : mrCancel;
    });
}

} // namespace oravent::gui
