// The roughness dialog: the absolute roughness of the five duct roughness
// categories in millimetres, with the defaults on a tool bar button. The
// dialog knows nothing of the duct sheet; EditRoughness is the main
// window's side that fills it from the sheet and takes the values back.
#pragma once

#include <QDialog>

class QStatusBar;
class QToolBar;
class QToolButton;

namespace oravent {
class DuctSheet;
}

namespace oravent::gui {

class TEntryGrid;

class TDuctRoughForm : public QDialog {
    Q_OBJECT
public:
    // Modal results.
    static constexpr int mrOk = 1;
    static constexpr int mrCancel = 2;

    explicit TDuctRoughForm(QWidget* Parent = nullptr);

    TEntryGrid* EntryGrid1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* DefaultsButton = nullptr;
    QToolButton* AcceptButton = nullptr;
    QToolButton* CancelButton = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // Writes the five default values (mm) into rows 1 to 5.
    void Defaults();
    // Accept gives mrOk; Cancel, Escape and the close box give mrCancel.
    void accept() override;
    void reject() override;
    // A value still being typed is committed on mrOk and dropped otherwise.
    void done(int Result) override;

protected:
    // Every showing starts with the focus in the grid.
    void showEvent(QShowEvent* E) override;
};

// Shows the sheet's roughness table in the dialog, runs it modally and, when
// accepted, makes the values the sheet's table (Roughness follows the
// current category). A row whose text is not a number keeps its old value.
// True when the table was replaced.
bool EditRoughness(TDuctRoughForm& Form, DuctSheet& Sheet);

} // namespace oravent::gui
