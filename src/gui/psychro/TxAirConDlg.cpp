#include "psychro/TxAirConDlg.h"

#include <QCursor>
#include <QWidget>

#include "common/FormPlacement.h"
#include "common/TxRegistry.h"
#include "controls/TxGrids.h"

namespace oravent::gui {

TAirConDlg::TAirConDlg(oravent::TAirConDlg& Model, QWidget* Host) : QObject(Host), FModel(Model) {}

QWidget* TAirConDlg::Host() const {
    return qobject_cast<QWidget*>(parent());
}

void TAirConDlg::ScaleDesignedSizes() {
    // ClassicPx reads the font of a widget; without a host, a plain one has
    // the application's font.
    QWidget Probe;
    const QWidget* W = Host() ? Host() : &Probe;
    FModel.FormWidth = ClassicPx(W, FModel.FormWidth);
    FModel.FormHeight = ClassicPx(W, FModel.FormHeight);
    for (std::int32_t& C : FModel.ColWidths)
        C = ClassicPx(W, C);
}

TScreenSize TAirConDlg::ScreenSize() {
    const TScreenRect R = DesktopRect();
    return {R.Width, R.Height};
}

TScreenPoint TAirConDlg::MousePos() {
    const QPoint P = QCursor::pos();
    return {P.x(), P.y()};
}

void TAirConDlg::LoadSettings(const TCustomIniFile& Store) {
    FModel.LoadSettings(Store, ScreenSize());
}

void TAirConDlg::LoadSettings() {
    LoadSettings(TRegistryIniFile(AppRegistryKey()));
}

void TAirConDlg::SaveSettings(TCustomIniFile& Store) const {
    FModel.SaveSettings(Store);
}

void TAirConDlg::SaveSettings() const {
    TRegistryIniFile Store(AppRegistryKey());
    Store.BeginUpdate();
    SaveSettings(Store);
    Store.EndUpdate();
}

} // namespace oravent::gui
