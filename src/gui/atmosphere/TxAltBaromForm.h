// TAltBaromForm: the pressure calculator's window over TAltBaromCommands
// (atmosphere/AltBaromCommands.h holds every rule): the pressure and
// altitude edits with their units labels, Search for Location through the
// location picker (created on the first showing), Accept and Cancel, and a
// one-text status bar. EditPressure is the host's side: the duct window's
// Barometer row runs it as its property editor.
//
// Keys, seen by the window before its controls: Enter and Down move the
// focus to the next control, Up to the previous one (leaving an edit this
// way runs its leave rule: Enter in the altitude recomputes the pressure).
// Alt+A and Ctrl+Return accept, Alt+C and Escape cancel (Escape in an edit
// with a changed text first restores the text).
#pragma once

#include <QPoint>
#include <QPointer>

#include <memory>
#include <optional>
#include <string>

#include "atmosphere/AltBaromCommands.h"
#include "psychro/TxCustomForm.h"

class QLabel;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace oravent::gui {

class TFmtEdit;
class TFmtEditLabel;
class TSelectLocationForm;
class TxCustomEdit;

class TAltBaromForm : public TRootForm {
    Q_OBJECT
public:
    explicit TAltBaromForm(QWidget* Parent = nullptr);
    ~TAltBaromForm() override;

    // Where the picker finds the location database: the shared data folder
    // (CommonFolder()) unless set before the first showing.
    void SetLocationFolder(const std::string& Folder) { FLocationFolder = Folder; }
    const std::string& LocationFolder() const { return FLocationFolder; }

    // The pair, in kPa and m (TAltBaromCommands).
    void SetPressure(double P) { FCommands->SetPressure(P); }
    void SetAltitude(double Z) { FCommands->SetAltitude(Z); }
    double Pressure() const { return FCommands->Pressure(); }
    double Altitude() const { return FCommands->Altitude(); }
    TAltBaromCommands& Commands() { return *FCommands; }

    // The pressure editor of a host: starts from Value (kPa), places the
    // window's top-left corner at At (kept whole on the screen there), shows
    // it modally and hands the calculator's pressure back in Value. Returns
    // the modal result (mrOk, mrCancel); the host uses Value after mrOk.
    int EditPressure(double& Value, QPoint At);

    // The picker, once the window was first shown; null before.
    TSelectLocationForm* LocationPicker() const;

    // ---- Parts (object names as the fields) ---------------------------------
    QToolBar* ToolBar1 = nullptr;
    QToolButton* AcceptButton = nullptr;
    QToolButton* CancelButton = nullptr;
    QLabel* lbPressure = nullptr;
    QLabel* lbAltitude = nullptr;
    TFmtEdit* edPa = nullptr;
    TFmtEdit* edAlt = nullptr;
    TFmtEditLabel* PaUnits = nullptr;
    TFmtEditLabel* AltUnits = nullptr;
    QToolButton* SearchButton = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    TFmtEdit* Edit(TAltBaromEdit Which) const {
        return Which == TAltBaromEdit::Pressure ? edPa : edAlt;
    }
    QString StatusText() const;

    // ---- Commands ------------------------------------------------------------
    // Commits the focused edit, takes the pair, closes with mrOk.
    void AcceptClick();
    // Closes with mrCancel (Escape and reject() come here too).
    void CancelClick();
    // Search for Location: the picker, then the place's altitude.
    void SearchClick();
    void accept() override { AcceptClick(); }
    void reject() override { CancelClick(); }
    // Every close: placement and the "Barometer" settings written.
    void done(int Result) override;

protected:
    void showEvent(QShowEvent* E) override;
    bool eventFilter(QObject* Watched, QEvent* E) override;

private:
    class TView;
    void CreateParts();
    TFmtEdit* NewEdit(const TAltBaromEditDef& Def, TFmtEditLabel* Units);
    // Moves the window's top-left corner to FPlaceAt, the whole window kept
    // on that screen (with its real frame once it is shown).
    void PlaceAtPoint();
    // The focused formatted edit of this window, or null.
    TxCustomEdit* FocusedEdit() const;

    std::unique_ptr<TView> FView;
    std::unique_ptr<TAltBaromCommands> FCommands;
    QPointer<TSelectLocationForm> FPicker;
    std::string FLocationFolder;
    std::optional<QPoint> FPlaceAt;
    QLabel* FStatus = nullptr;
};

} // namespace oravent::gui
