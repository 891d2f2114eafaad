// The duct calculator's main window: the nine-row entry grid over the duct
// sheet, a three-panel status bar and the menus. The commands themselves
// live in TDuctCommands; this window shows them and forwards its events.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

#include "controls/CompactAlign.h"
#include "controls/EntryGridWidget.h"
#include "duct/DuctCommands.h"

class QAction;

namespace oravent::gui {

class TAirStateDlg;
class TAboutBoxDlg;
class TDuctRoughForm;
class TReportForm;
class TAltBaromForm;
class TStandardSizesForm;

class TDuctUForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TDuctUForm(QWidget* Parent = nullptr);
    ~TDuctUForm() override;

    TEntryGrid* Grid() const { return FGrid; }
    QLabel* StatusPanel(int Index) const { return FPanels[Index]; }
    TDuctCommands& Commands() { return *FCommands; }
    DuctSheet& Sheet() { return FCommands->Sheet; }
    TReportForm* ReportForm() const;
    // The air state dialog component of the Average Temperature row.
    TAirStateDlg* AirStateDlg() const { return FAirStateDlg; }
    // The pressure calculator, the Barometer row's property editor.
    TAltBaromForm* AltBaromForm() const;
    // The standard sizes window; nullptr until Calculate > Standard Sizes
    // first opens it.
    TStandardSizesForm* StandardSizesForm() const;
    QAction* Action(const QString& ObjectName) const;
    // The about box component ("&About", and the start-up showing).
    TAboutBoxDlg* AboutBoxDlg() const { return AboutBoxDlg1; }

    // The calculation file of "&Open" and "&Save", and of the file dialogs'
    // last choice.
    QString CalculationFile() const { return FCalculationFile; }
    // Opens a calculation file named on the command line or in a dialog.
    // False after a message.
    bool OpenCalculationFile(const QString& FileName);
    bool SaveCalculationFile(const QString& FileName);

    // Called after every change of the results (the report follows them).
    std::function<void()> OnResultsChanged;
    // Called on the first activation, before UpdateIntermediates.
    std::function<void()> OnFirstActivation;
    // Replaces the message box (tests record the messages).
    static std::function<void(const QString&)> MessageHook;

public slots:
    void Open();
    void Save();
    void OpenFile();
    void SaveAs();
    void ResetToDefaults();
    void Undo();
    void Redo();
    void Solve();
    void RoughnessSettings();
    // Opens the standard sizes window, or brings it to the front.
    void StandardSizes();
    void BuildReport();
    void CopyValues();
    void ReportPreview();
    void Metric();
    void Imperial();
    void CompactAlign();
    void Help();
    void About();

protected:
    void changeEvent(QEvent* E) override;
    void showEvent(QShowEvent* E) override;
    void closeEvent(QCloseEvent* E) override;
    bool eventFilter(QObject* Watched, QEvent* E) override;

private:
    class TView;
    void CreateMenus();
    void CreateGrid();
    void CreateStatusBar();
    // Reads the settings; true when a stored placement was applied.
    bool LoadSettings();
    TCompactAlignInput MeasureGrid() const;
    void SaveSettings();
    void FitWindow(bool FitColumns);
    void ShowMessage(const QString& Text);
    // The product title, with the calculation file's name when it is not the
    // program's own "Oravent.ini" (a file dialog's or the command line's).
    void ShowFileInTitle(const QString& FileName);
    void UpdateHistoryActions();
    // The Average Temperature row's property editor: the air state window at
    // the mouse pointer (or where it was last left) with the row's text.
    int EditTemperature(TFieldValue& Value);
    // The about box of this program, with the version and description of
    // the program's version record, which also gives the title.
    void CreateAboutBox();

    std::unique_ptr<TView> FView;
    std::unique_ptr<TDuctCommands> FCommands;
    TEntryGrid* FGrid = nullptr;
    QLabel* FPanels[3] = {};
    QPointer<TDuctRoughForm> FRoughForm;
    QPointer<TReportForm> FReportForm;
    QPointer<TStandardSizesForm> FSizesForm;
    TAirStateDlg* FAirStateDlg = nullptr;
    TAboutBoxDlg* AboutBoxDlg1 = nullptr;
    QString FProductTitle; // read once at start-up
    // ---- Barometer row ----
    void CreateBarometerEditor();
    int EditBarometer(TFieldValue& Value);
    QPointer<TAltBaromForm> FAltBaromForm;
    QString FCalculationFile;
    bool FActivated = false;
    bool FSettingsSaved = false;
};

} // namespace oravent::gui
