// TAirConBox: the window of an air-conditioning item on the technical frame.
// It stays on top of the other windows and shows no title-bar buttons, so the
// user leaves it through Accept or Cancel (Escape is Cancel). It carries what
// every item window shares: the item's back link to the window, the units
// picker on the units column, the Open and Save commands with their file
// dialogs, and the placement the dialog component gives and takes back
// (position kept on the screen, size, column widths). A descendant shows one
// kind of item (TAirStateBox: a moist-air point) and supplies LoadFromFile,
// SaveToFile, ShowValues and SetupTools.
#pragma once

#include <functional>

#include "psychro/TxAirStateDlg.h"
#include "psychro/TxTechForm.h"

namespace oravent::gui {

class TAirConBox : public TTechForm, public oravent::TAirconView {
    Q_OBJECT
public:
    // Item: the item shown; it outlives the window, and its Window link
    // names this window while the window exists.
    explicit TAirConBox(oravent::TAirconItem& Item, QWidget* Parent = nullptr);
    ~TAirConBox() override;

    oravent::TAirconItem& AirconItem() { return FItem; }

    // ---- Files ----------------------------------------------------------------
    // Open: the file-open dialog; on a choice, LoadFromFile.
    void OpenFile();
    // Save: nothing while SaveAllowed refuses; else the file-save dialog and,
    // on a choice, SaveToFile.
    void SaveFile();
    virtual bool LoadFromFile(const QString& Path) = 0;
    virtual bool SaveToFile(const QString& Path) = 0;
    virtual bool SaveAllowed() { return true; }
    // Where the dialogs start, their filter in the "Text|pattern" form of
    // the item's file kind, and the extension a name without one gets.
    virtual QString InitialDir() const = 0;
    virtual QString FileFilter() const = 0;
    virtual QString DefaultSuffix() const = 0;
    // The file dialog's choice (empty: none). Save: a save dialog that asks
    // before replacing a file. Tests answer it through FileDialogHook.
    QString ChooseFile(bool Save);
    static std::function<QString(TAirConBox& Box, bool Save)> FileDialogHook;

    // ---- Values and set-up -------------------------------------------------------
    virtual void ShowValues() = 0;
    // The Open and Save hooks and the units picker on column 2; descendants
    // extend it.
    virtual void SetupTools();

    // ---- Placement ---------------------------------------------------------------
    // Title, modal flag, the Cancel button shown, column widths, size, and
    // the position (the frame's top-left) kept on the screen that holds it.
    void Place(const oravent::TAirConWindowState& State, const QString& Caption, bool Modal);
    // Position, size (inside the frame) and column widths as they are now.
    oravent::TAirConWindowState Placement() const;

protected:
    // Once shown, the window is kept on the screen with its real frame.
    void showEvent(QShowEvent* E) override;

private:
    // Where the window's frame goes so that all of it is on the screen
    // holding At.
    QPoint OnScreen(QPoint At) const;

    oravent::TAirconItem& FItem;
};

// "Text|pattern|Text|pattern" as Qt's file-dialog filter: the texts (each
// names its own patterns in brackets) joined by ";;".
QString QtFileFilter(const QString& Filter);

} // namespace oravent::gui
