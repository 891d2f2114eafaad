// TSelectLocationForm: the location picker's window over TSelectLocationCommands
// (atmosphere/SelectLocationCommands.h holds every rule). Drop-down lists of
// databases and regions, a search field that narrows the place list as the
// engineer types, the place list read lazily from the presenter (no list of
// thousands of strings is built per keystroke), the read-only details table
// and two status panels.
//
// Keys: the search field has the focus when the window opens; Down moves
// from it into the list and Up from the list's first row back to it; Enter
// in the list or in the search field, or a double click, accepts the
// selected place; Alt+A accepts, Alt+C and Escape cancel.
#pragma once

#include <QAbstractListModel>
#include <QPointer>

#include <memory>
#include <string>

#include "atmosphere/SelectLocationCommands.h"
#include "psychro/TxCustomForm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QStatusBar;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace oravent::gui {

// The place list as the presenter holds it, read row by row by the view.
class TPlaceListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TPlaceListModel(const TSelectLocationCommands& Commands, QObject* Parent = nullptr);
    int rowCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    // The presenter's list changed (or was released).
    void Reload();

private:
    const TSelectLocationCommands& FCommands;
    int FCount = 0;
};

class TSelectLocationForm : public TRootForm, public TLocationPickerDialog {
    Q_OBJECT
public:
    // DataFolder: where "Regions.idx" and the record files are (the shared
    // data folder, CommonFolder(), when empty).
    explicit TSelectLocationForm(QWidget* Parent = nullptr, const std::string& DataFolder = {});
    ~TSelectLocationForm() override;

    // ---- What the pressure calculator asks ---------------------------------
    // SetLastLocation, then the window shown modally; true after OK.
    bool Execute(std::string_view LastLocation) override;
    std::string SelectionText() const override { return FCommands->SelectionText(); }
    TLocationRec Record() const override { return FCommands->Current(); }

    // The showing without its modal loop: SetLastLocation and activation
    // (Execute runs this, then exec()).
    void Prepare(std::string_view LastLocation);

    TSelectLocationCommands& Commands() { return *FCommands; }

    // ---- Parts (object names as the fields) ---------------------------------
    QToolBar* ToolBar1 = nullptr;
    QToolButton* AcceptButton = nullptr;
    QToolButton* CancelButton = nullptr;
    QComboBox* DatabaseList = nullptr;
    QComboBox* RegionList = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QListView* PlaceList = nullptr;
    QTableWidget* Details = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel(int Index) const { return FPanels[Index]; }

    // Accept: OK when a place is selected (a beep otherwise, the window stays).
    void AcceptClick();
    void accept() override { AcceptClick(); }
    void reject() override;
    // Every close: the stored choices and placement saved, the lists released.
    void done(int Result) override;

protected:
    void showEvent(QShowEvent* E) override;
    bool eventFilter(QObject* Watched, QEvent* E) override;

private:
    class TView;
    void CreateParts();
    void ShowPlaces(int Selected);
    void PlaceChanged(const QModelIndex& Current);

    std::unique_ptr<TView> FView;
    std::unique_ptr<TSelectLocationCommands> FCommands;
    TPlaceListModel* FModel = nullptr;
    QLabel* FPanels[2] = {};
    // The presenter is filling the lists: selection signals are not the user's.
    bool FUpdating = false;
    // Between Prepare and the close.
    bool FOpen = false;
    // A message raised while the window was not shown yet, shown once it is.
    QString FPendingMessage;
};

} // namespace oravent::gui
