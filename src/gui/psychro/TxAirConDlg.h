// TAirConDlg: the Qt side of the dialog component of an air-conditioning
// item. It owns nothing but a link to the core model (oravent::TAirConDlg:
// caption, item, placement, per-row units) and supplies what the model needs
// from the desktop: the program's settings store, the screen size the stored
// position is corrected with, the mouse position and a host window. The
// component lives as a child of its host window; the host loads the settings
// while it is created and saves them when it closes.
#pragma once

#include <QObject>

#include "psychro/TxAirStateDlg.h"

class QWidget;

namespace oravent::gui {

class TAirConDlg : public QObject {
    Q_OBJECT
public:
    // Model: the component's model, which outlives this object (a
    // descendant owns it and may construct it after this base: it is only
    // stored here). Host: the window the component belongs to.
    TAirConDlg(oravent::TAirConDlg& Model, QWidget* Host);

    QWidget* Host() const;

    // Reads the stored settings of the model's section: from Store, or from
    // the program's registry key; the position corrected for ScreenSize().
    void LoadSettings(const TCustomIniFile& Store);
    void LoadSettings();
    // Writes them; a store that cannot be written raises (EIniFileException).
    void SaveSettings(TCustomIniFile& Store) const;
    void SaveSettings() const;

    // The primary screen's size, and where the mouse pointer is.
    static TScreenSize ScreenSize();
    static TScreenPoint MousePos();

protected:
    // The model's designed window and column sizes in the desktop's scale:
    // they are given for the classic 8-point dialog font. A descendant calls
    // it once its model exists, before settings are loaded over them.
    void ScaleDesignedSizes();

private:
    oravent::TAirConDlg& FModel;
};

} // namespace oravent::gui
