// Units picker: a small borderless list that pops up at a screen point and
// offers the units of one kind by caption. Closing it (Enter, Escape or any
// mouse press in the list) gives the highlighted unit index.
#pragma once

#include <QDialog>

#include <functional>

#include "units/TxConv.h"

class QListWidget;

namespace oravent::gui {

class TxCustomEdit;

class TUnitsForm : public QDialog {
    Q_OBJECT
public:
    explicit TUnitsForm(QWidget* Parent = nullptr);
    ~TUnitsForm() override;

    // Source of the kind and the current unit. Grid-field mode (the default)
    // writes the result back through Store on closing; edit mode only reads.
    void SetSourceField(TUnitsType Type, int UnitsValue, std::function<void(int)> Store);
    void SetSourceEdit(TxCustomEdit* Edit);
    bool EditMode() const { return FEditMode; }

    // Loads the captions, highlights the current unit and sizes the window.
    void Fill();
    // The highlighted unit index (-1 when the list is empty).
    int Result() const;
    QListWidget* List() const { return FList; }
    int ItemHeight() const { return FItemHeight; }

    // The picker now open, if any (one exists at a time).
    static TUnitsForm* Current();

    // Create, place at TopLeft (screen), fill, run modally, destroy.
    static int PickForEdit(TxCustomEdit* Edit, QPoint TopLeft, QWidget* Parent = nullptr);
    static int PickForField(TUnitsType Type, int UnitsValue, QPoint TopLeft,
                            std::function<void(int)> Store, QWidget* Parent = nullptr);

    void done(int R) override;

protected:
    bool eventFilter(QObject* Watched, QEvent* E) override;
    void showEvent(QShowEvent* E) override;

private:
    QListWidget* FList = nullptr;
    bool FEditMode = false;
    TUnitsType FType = utNone;
    int FIndex = 0;
    std::function<void(int)> FStore;
    int FItemHeight = 13;
    bool FClosing = false;
};

} // namespace oravent::gui
