// TTechForm: the frame of a small technical window. A two-row tool bar of
// standard commands, an entry grid (property, value, units) filling the
// middle and a one-line status bar. The frame owns no calculation: each
// command runs a hook that the concrete window installs (an unassigned hook
// does nothing) or does a fixed job: Align, Accept, Cancel, Copy to XML and
// Clip screen. The rules without a window are the core's
// (controls/CompactAlign.h, controls/TechFrame.h, controls/AccessKeys.h).
//
// Keys: Escape is Cancel when no cell is being edited (while one is, the
// grid's editor has it), Ctrl+Return is Accept, Ctrl+C and Ctrl+V run Copy
// and Paste when no cell is being edited, Alt + a caption's letter runs the
// first shown command with that letter (Accept and Cancel first, then the
// tool bar's order), Alt+S is Save and F9 Solve. A hidden or disabled
// command runs from no key.
#pragma once

#include <QStringList>

#include <functional>
#include <vector>

#include "controls/TxFields.h"
#include "psychro/TxCustomForm.h"

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;

namespace oravent::gui {

class TEntryGrid;

class TTechForm : public TRootForm {
    Q_OBJECT
public:
    // A command's hook; Sender is the command's action.
    using THook = std::function<void(QObject* Sender)>;

    explicit TTechForm(QWidget* Parent = nullptr);

    // ---- Hooks --------------------------------------------------------------
    THook OnOpen, OnSave, OnCopy, OnPaste, OnSolve, OnView, OnPrint, OnReset, OnAbout, OnHelp;

    // ---- Parts (object names as the fields) ----------------------------------
    // Row 1: Open, Save, Copy, Paste, Solve, View, Print. Row 2: Align, Reset
    // (hidden), About (hidden), Help, Cancel, Accept. A command's caption is
    // its action's text, its hint the action's tool tip.
    QAction *OpenAction, *SaveAction, *CopyAction, *PasteAction, *SolveAction, *ViewAction,
        *PrintAction, *AlignAction, *ResetAction, *AboutAction, *HelpAction, *AcceptAction,
        *CancelAction;
    // The window's context menu PopupMenu1: CopytoXML1 ("Copy to XML") and
    // ActionClip ("Clip screen").
    QAction *CopytoXML1, *ActionClip;
    QMenu* PopupMenu1;
    QWidget* ToolBar1; // holds the two rows
    QToolBar *ToolBarRow1, *ToolBarRow2;
    TEntryGrid* EntryGrid1;
    QStatusBar* StatusBar1;

    // ---- Grid --------------------------------------------------------------
    // Loads the row definitions (the first text is the header row) and sets
    // DataCount to the number of texts less one.
    void SetGridLines(const QStringList& Lines);
    int DataCount() const { return FDataCount; }
    // Writes Values[i-1] into the value cell of row i through the grid's
    // SetValue, for the rows that have both a value and a definition. A
    // count other than DataCount first shows "DataCount<>LineCount".
    void SetGridData(const std::vector<TFieldValue>& Values);
    // Whether a cell is being edited (the in-place editor is open).
    bool IsEditing() const;
    // Commits the cell being edited, if any (its value is stored and the
    // grid's OnDoSetData fires).
    void CommitGridEdit();

    // ---- Status bar --------------------------------------------------------
    // The one status text. Passing messages of the frame (where Clip screen
    // wrote) show over it for a while without changing it.
    QString StatusText() const;
    void SetStatusText(const QString& Text);

    // ---- Commands ------------------------------------------------------------
    // Fits the columns to their texts and the window to the grid (at most
    // 400 pixels high; a cut grid gets a vertical scroll bar).
    void AlignActionExecute();
    // Commits the cell being edited, then closes with mrOk. Descendants
    // extend it (CommitGridEdit, then done with their result).
    virtual void AcceptActionExecute();
    // Closes with mrCancel. Escape, reject() and the close box come here.
    virtual void CancelActionExecute();
    // Puts GridToXml of the grid's cells on the clipboard.
    virtual void CopytoXML1Click();
    // Snapshot of the window in front at scale 1 to SnapshotFile(); the
    // status bar says where, a failure shows its message.
    virtual void ActionClipExecute();
    // Beside the program where its folder is writable, else in the user's
    // data folder: <program name>.jpg.
    static QString SnapshotFile();

    void accept() override;
    void reject() override;

protected:
    // The window became active / stopped being active. Deactivation commits
    // the cell being edited; descendants extend both.
    virtual void FormActivate() {}
    virtual void FormDeactivate();
    bool event(QEvent* E) override;
    void contextMenuEvent(QContextMenuEvent* E) override;

private:
    QAction* AddCommand(QToolBar* Row, const char* Name, const QString& Caption,
                        const QString& Hint, const char* Icon);
    void RunHook(const THook& Hook, QObject* Sender);
    void AddKeys();
    void RunAccessKey(char Key);
    // Triggers the action when it is shown and enabled.
    static void RunIfAvailable(QAction* Action);

    int FDataCount = 0;
    QLabel* FStatus = nullptr;
};

} // namespace oravent::gui
