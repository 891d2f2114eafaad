// TAirStateDlg: the air state dialog component on the Qt side. It owns the
// core model (oravent::TAirStateDlg: the point, its pressure and "db/wb"
// temperature text, the window's placement and row units) and runs the air
// state window (TAirStateBox) for it: Execute creates the window, configures
// it from the model, shows it modally at the item's stored position or at the
// mouse pointer (kept on the screen), destroys it and returns the result.
// The window writes its placement and row units back into the model when it
// closes; the host saves them with the settings.
#pragma once

#include <functional>
#include <string>

#include "psychro/TxAirConDlg.h"

namespace oravent::gui {

class TAirStateBox;

class TAirStateDlg : public TAirConDlg {
    Q_OBJECT
public:
    // The model's defaults, its designed sizes in the desktop's scale.
    // Name: the component's name and settings section.
    explicit TAirStateDlg(QWidget* Host, std::string Name = "AirStateDlg");

    oravent::TAirStateDlg& Model() { return FModel; }
    const oravent::TAirStateDlg& Model() const { return FModel; }

    // Shows a point (none: the component's own) in the air state window and
    // returns the modal result, 1 (OK) or 2 (Cancel). Left, Top: a position,
    // or -99 for the item's stored one, else the mouse pointer.
    int Execute(oravent::TPsyPoint* Item = nullptr, int Left = kFormPosNotSet,
                int Top = kFormPosNotSet);

    // Called with each window once it is configured, before it is shown.
    std::function<void(TAirStateBox&)> OnWindowCreated;

private:
    oravent::TAirStateDlg FModel;
};

} // namespace oravent::gui
