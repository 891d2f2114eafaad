#include "app/DuctTool.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include "app/TxDuctRoughForm.h"
#include "app/TxStandardSizes.h"
#include "common/AboutBox.h"
#include "atmosphere/TxAltBaromForm.h"
#include "common/AppFolders.h"
#include "common/FormPlacement.h"
#include "common/TxAbout.h"
#include "common/TxAboutDlg.h"
#include "common/TxIniFiles.h"
#include "common/TxRegistry.h"
#include "common/TxVerInfo.h"
#include "controls/CompactAlign.h"
#include "duct/DuctAirEditor.h"
#include "psychro/TxAirStateDialog.h"
#include "report/DuctReport.h"
#include "report/TxReporter.h"

namespace oravent::gui {

namespace {

constexpr const char* FormName = "DuctUForm";
// How long the status bar says where a calculation was saved.
constexpr int SavedMessageMs = 8000;

QString Q(std::string_view S) {
    return QString::fromUtf8(S.data(), static_cast<int>(S.size()));
}

} // namespace

// The window as the commands see it.
class TDuctUForm::TView : public TDuctView {
public:
    explicit TView(TDuctUForm& Form) : F(Form) {}
    TFieldValue RowValue(int Row) const override { return F.FGrid->GetValue(1, Row); }
    void ShowRowValue(int Row, const TFieldValue& Value) override {
        F.FGrid->SetValue(1, Row, Value);
    }
    void SetRowUnits(int Row, TUnitsType Type, int Base, int Shown) override {
        F.FGrid->SetUnits(Row, Type, Base, Shown, ft_Fixed);
    }
    int RowUnits(int Row) const override { return F.FGrid->GetUnitsValue(Row); }
    void ShowStatus(int Panel, std::string_view Text) override {
        if (Panel >= 0 && Panel < 3) F.FPanels[Panel]->setText(Q(Text));
    }
    void ShowError(std::string_view Message) override { F.ShowMessage(Q(Message)); }
    void ResultsChanged() override {
        if (F.OnResultsChanged) F.OnResultsChanged();
    }
    void ShowKnownRows(const std::vector<int>& Rows) override {
        F.FGrid->SetKnownRows(QList<int>(Rows.begin(), Rows.end()));
    }
    void HistoryChanged() override { F.UpdateHistoryActions(); }

private:
    TDuctUForm& F;
};

TDuctUForm::TDuctUForm(QWidget* Parent)
    : QMainWindow(Parent), FView(std::make_unique<TView>(*this)),
      FCommands(std::make_unique<TDuctCommands>(*FView)) {
    setObjectName(FormName);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    CreateAboutBox();
    // The box stays up while the program loads when the user asked for it.
    if (LoadStartupFlag()) AboutBoxDlg1->ShowSplash();
    CreateGrid();
    CreateStatusBar();
    CreateMenus();
    // Program start: reset sheet (made with the commands), stored settings,
    // rows, units, values.
    const bool Placed = LoadSettings();
    QStringList Rows;
    for (const std::string& T : DuctRowTexts())
        Rows << Q(T);
    FGrid->SetRows(Rows);
    FCommands->ApplyUnits();
    // The air state window edits the temperature row, with its own stored
    // settings read after the window's.
    FAirStateDlg = new TAirStateDlg(this, std::string(DuctAirStateDlgName));
    try {
        SetupDuctAirStateDlg(FAirStateDlg->Model(), TRegistryIniFile(AppRegistryKey()),
                             TAirConDlg::ScreenSize());
    } catch (const std::exception& E) {
        ShowMessage(QString::fromUtf8(E.what()));
    }
    FGrid->SetPropEditor(static_cast<int>(TDuctRow::Temperature),
                         [this](TFieldValue& Value) { return EditTemperature(Value); });
    FCommands->Start();
    // Selecting the first value cell on the grid before it had its size may
    // have scrolled the captions out of view.
    FGrid->SetLeftCol(0);
    FGrid->SetTopRow(0);
    if (!Placed) {
        // First start: columns wide enough for their texts in the desktop's
        // font, the window fitted to them and centred.
        const TCompactAlignResult Fit = oravent::CompactAlign(MeasureGrid());
        for (int C = 0; C < GridColumnCount; ++C)
            FGrid->SetColWidths(C, std::max(FGrid->ColWidths(C), Fit.ColWidths[C]));
        FitWindow(false);
        if (const QScreen* S = screen()) move(S->availableGeometry().center() - rect().center());
    }
    FCalculationFile = QString::fromStdString(UserFileForReading(CalculationFileName));
    ShowFileInTitle({});
    UpdateHistoryActions();
    FRoughForm = new TDuctRoughForm(this);
    CreateBarometerEditor();
    FReportForm = new TReportForm(this);
    OnResultsChanged = [this] {
        BuildReport();
        if (FSizesForm && FSizesForm->isVisible()) FSizesForm->Refresh();
    };
    OnFirstActivation = [this] { FReportForm->SetRebuildHook([this] { BuildReport(); }); };
    AboutBoxDlg1->SplashLoaded();
}

void TDuctUForm::CreateAboutBox() {
    AboutBoxDlg1 = new TAboutBoxDlg(this);
    AboutBoxDlg1->setObjectName("AboutBoxDlg1");
    TAboutBoxProps& P = AboutBoxDlg1->Props;
    P.DeveloperName = "Halvorn";
    P.ProductName = "Oravent";
    P.StretchPic = true;
    P.ShowWebb = true;
    AboutBoxDlg1->ProductFont = ImpactFont(27, true);
    AboutBoxDlg1->Picture = QIcon(QStringLiteral(":/icons/oravent.svg"));
    // The running program's own record, whatever has become of its file.
    try {
        const TVerInfoRes Info(kOwnProgramFile);
        FProductTitle = Q(Info.ProductTitle());
        P.Version = Info.VersionText();
        P.Description = Info.Entry("FileDescription");
    } catch (const std::exception& E) {
        ShowMessage(QString::fromUtf8(E.what()));
    }
}

TDuctUForm::~TDuctUForm() = default;

void TDuctUForm::CreateGrid() {
    FGrid = new TEntryGrid(this);
    FGrid->setObjectName("Grid");
    FGrid->SetColCount(3);
    FGrid->SetFixedCols(0);
    FGrid->SetBorderStyle(TBorderStyle::None);
    FGrid->SetColor(palette().color(QPalette::Button));
    FGrid->SetDefaultColFormatStr("%S");
    FGrid->SetOptions(xgoFixedVertLine | xgoFixedHorzLine | xgoVertLine | xgoHorzLine |
                      xgoRangeSelect | xgoColSizing | xgoEditing);
    FGrid->SetScrollBars(TScrollStyle::None);
    FGrid->SetAlwaysShowCell(false);
    FGrid->SetDelim(';');
    FGrid->SetColorEditCol(palette().color(QPalette::Base));
    FGrid->SetColorEditMode(palette().color(QPalette::Base));
    FGrid->SetColorEditModeText(palette().color(QPalette::Text));
    FGrid->SetUnitsPicker(&TEntryGrid::ShowRowUnitsPicker);
    connect(FGrid, &TEntryGrid::OnDoSetData, this, [this](int ACol, int ARow) {
        if (ACol == 1) FCommands->CommitEdit(ARow);
    });
    // The selected row's description goes to assistive tools; the mouse
    // shows each row's description as a tool tip (eventFilter).
    connect(FGrid, &TEntryGrid::OnSelectCell, this, [this](int, int ARow, bool&) {
        FGrid->setAccessibleDescription(Q(TDuctCommands::Description(ARow)));
    });
    connect(FGrid, &TEntryGrid::OnAfterRightClick, this,
            [this](int ARow) { FCommands->UnitsPicked(ARow); });
    FGrid->viewport()->installEventFilter(this);
    setCentralWidget(FGrid);
}

void TDuctUForm::CreateStatusBar() {
    const int Widths[3] = {70, 90, 90};
    for (int I = 0; I < 3; ++I) {
        FPanels[I] = new QLabel(Q(InitialStatusTexts[I]), this);
        FPanels[I]->setObjectName(QStringLiteral("StatusPanel%1").arg(I));
        FPanels[I]->setMinimumWidth(ClassicPx(this, Widths[I]));
        statusBar()->addWidget(FPanels[I]);
    }
    statusBar()->setSizeGripEnabled(false);
}

void TDuctUForm::CreateMenus() {
    auto Add = [this](QMenu* Menu, const QString& Name, const QString& Text, auto Slot,
                      const QKeySequence& Key = {}) {
        QAction* A = Menu->addAction(Text);
        A->setObjectName(Name);
        if (!Key.isEmpty()) A->setShortcut(Key);
        if constexpr (!std::is_same_v<decltype(Slot), std::nullptr_t>)
            connect(A, &QAction::triggered, this, Slot);
        else
            A->setEnabled(false); // its window arrives with a later build
        return A;
    };
    QMenu* File = menuBar()->addMenu(tr("&File"));
    Add(File, "Open", tr("&Open"), &TDuctUForm::Open);
    Add(File, "Save", tr("&Save"), &TDuctUForm::Save);
    Add(File, "OpenFile", tr("Open &File…"), &TDuctUForm::OpenFile, QKeySequence::Open);
    Add(File, "SaveAs", tr("Save &As…"), &TDuctUForm::SaveAs, QKeySequence::SaveAs);
    Add(File, "ResetToDefaults", tr("Reset to &Defaults"), &TDuctUForm::ResetToDefaults);
    File->addSeparator();
    Add(File, "ReportPreview", tr("&Report Preview"), &TDuctUForm::ReportPreview);
    File->addSeparator();
    Add(File, "Exit", tr("&Exit"), &QWidget::close, QKeySequence::Quit);
    QMenu* Edit = menuBar()->addMenu(tr("&Edit"));
    Add(Edit, "Undo", tr("&Undo"), &TDuctUForm::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    Add(Edit, "Redo", tr("&Redo"), &TDuctUForm::Redo,
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    Edit->addSeparator();
    QAction* Copy = Add(Edit, "Copy", tr("&Copy"), &TDuctUForm::CopyValues, QKeySequence::Copy);
    Copy->setStatusTip(tr("Copy to clipboard"));
    Copy->setToolTip(Copy->statusTip());
    QMenu* Calc = menuBar()->addMenu(tr("&Calculate"));
    Add(Calc, "Solve", tr("&Solve"), &TDuctUForm::Solve, QKeySequence(Qt::Key_F9));
    Calc->addSeparator();
    Add(Calc, "RoughnessSettings", tr("&Roughness Settings"), &TDuctUForm::RoughnessSettings);
    Add(Calc, "StandardSizes", tr("S&tandard Sizes…"), &TDuctUForm::StandardSizes,
        QKeySequence(Qt::CTRL | Qt::Key_T));
    QMenu* Units = Calc->addMenu(tr("&Units"));
    Add(Units, "Metric", tr("&Metric"), &TDuctUForm::Metric);
    Add(Units, "Imperial", tr("&Imperial"), &TDuctUForm::Imperial);
    QMenu* Window = menuBar()->addMenu(tr("&Window"));
    Add(Window, "CompactAlign", tr("Compact &Align"), &TDuctUForm::CompactAlign);
    QMenu* HelpMenu = menuBar()->addMenu(tr("&Help"));
    Add(HelpMenu, "Contents", tr("Contents"), &TDuctUForm::Help, QKeySequence::HelpContents);
    HelpMenu->addSeparator();
    Add(HelpMenu, "About", tr("&About"), &TDuctUForm::About);
}

QAction* TDuctUForm::Action(const QString& ObjectName) const {
    return findChild<QAction*>(ObjectName);
}

// ---- Settings ---------------------------------------------------------------------

bool TDuctUForm::LoadSettings() {
    TDuctViewSettings& V = FCommands->View;
    for (int C = 0; C < GridColumnCount; ++C)
        V.ColWidths[C] = ClassicPx(this, DesignedColumnWidths[C]);
    TRegistryIniFile Store(AppRegistryKey());
    bool Placed = false;
    try {
        const TFormState Current = CurrentFormState(*this);
        const TFormState S = RestoreFormState(Store, FormName, Current, true, DesktopRect());
        Placed = S.Left != Current.Left || S.Top != Current.Top || S.Width != Current.Width ||
                 S.Height != Current.Height;
        ApplyFormState(*this, S, true);
    } catch (const std::exception&) {
        // A placement of the wrong kinds keeps the designed one.
    }
    FCommands->LoadSettings(Store);
    for (int C = 0; C < GridColumnCount; ++C)
        FGrid->SetColWidths(C, V.ColWidths[C]);
    FGrid->SetRowCount(DuctRowCount + 1);
    return Placed;
}

void TDuctUForm::SaveSettings() {
    if (FSettingsSaved) return;
    FSettingsSaved = true;
    TDuctViewSettings& V = FCommands->View;
    for (int C = 0; C < GridColumnCount; ++C)
        V.ColWidths[C] = FGrid->ColWidths(C);
    try {
        TRegistryIniFile Store(AppRegistryKey());
        Store.BeginUpdate();
        SaveFormState(Store, FormName, CurrentFormState(*this));
        FCommands->SaveSettings(Store);
        FAirStateDlg->SaveSettings(Store);
        Store.EndUpdate();
    } catch (const std::exception& E) {
        ShowMessage(QString::fromUtf8(E.what()));
    }
}

// ---- Calculation file ---------------------------------------------------------------

bool TDuctUForm::OpenCalculationFile(const QString& FileName) {
    try {
        FGrid->CommitEditor();
        const auto Replaced = FCommands->OpenCalculation(TMemIniFile(FileName.toStdString()));
        FCalculationFile = FileName;
        ShowFileInTitle(FileName);
        if (!Replaced.empty()) {
            QString List;
            for (const std::string& R : Replaced)
                List += "\n" + Q(R);
            ShowMessage(tr("These values in %1 could not be used; their defaults were taken:%2")
                            .arg(FileName, List));
        }
        return true;
    } catch (const std::exception& E) {
        ShowMessage(tr("%1 was not opened: %2").arg(FileName, QString::fromUtf8(E.what())));
        return false;
    }
}

bool TDuctUForm::SaveCalculationFile(const QString& FileName) {
    try {
        FGrid->CommitEditor();
        TIniFile File(FileName.toStdString());
        FCommands->SaveCalculation(File);
        FCalculationFile = FileName;
        ShowFileInTitle(FileName);
        statusBar()->showMessage(tr("Saved to %1").arg(QDir::toNativeSeparators(FileName)),
                                 SavedMessageMs);
        return true;
    } catch (const std::exception& E) {
        ShowMessage(QString::fromUtf8(E.what()));
        return false;
    }
}

void TDuctUForm::Open() {
    OpenCalculationFile(QString::fromStdString(UserFileForReading(CalculationFileName)));
}

void TDuctUForm::Save() {
    SaveCalculationFile(QString::fromStdString(UserFileForWriting(CalculationFileName)));
}

void TDuctUForm::OpenFile() {
    const QString Name =
        QFileDialog::getOpenFileName(this, tr("Open Calculation"), FCalculationFile,
                                     tr("Calculation files (*.ini);;All files (*)"));
    if (!Name.isEmpty()) OpenCalculationFile(Name);
}

void TDuctUForm::SaveAs() {
    const QString Name =
        QFileDialog::getSaveFileName(this, tr("Save Calculation As"), FCalculationFile,
                                     tr("Calculation files (*.ini);;All files (*)"));
    if (!Name.isEmpty()) SaveCalculationFile(Name);
}

void TDuctUForm::ShowFileInTitle(const QString& FileName) {
    QString Title = FProductTitle.isEmpty() ? QStringLiteral("Oravent") : FProductTitle;
    // The calculation file of Open and Save is the program's own; any other
    // is named.
    const bool Own = FileName == QString::fromStdString(UserFileForReading(CalculationFileName)) ||
                     FileName == QString::fromStdString(UserFileForWriting(CalculationFileName));
    if (!FileName.isEmpty() && !Own)
        Title += QString::fromUtf8(" \u2014 ") + QFileInfo(FileName).fileName();
    setWindowTitle(Title);
}

// ---- Commands -------------------------------------------------------------------------

void TDuctUForm::ResetToDefaults() {
    FCommands->ResetToDefaults();
}

void TDuctUForm::Solve() {
    FGrid->CommitEditor();
    FCommands->Solve();
}

void TDuctUForm::RoughnessSettings() {
    FGrid->CommitEditor();
    DuctSheet Edited = FCommands->Sheet;
    if (EditRoughness(*FRoughForm, Edited)) FCommands->SetRoughnessTable(Edited.RoughnessTable);
    activateWindow(); // the keys come back here, with or without a window manager
}

int TDuctUForm::EditTemperature(TFieldValue& Value) {
    int Result = oravent::mrCancel;
    try {
        Result = EditDuctTemperature(
            FAirStateDlg->Model(), FCommands->Sheet, Value, [this](oravent::TAirStateDlg&) {
                return FAirStateDlg->Execute(nullptr, kFormPosNotSet, kFormPosNotSet);
            });
    } catch (const std::exception& E) {
        // The text gives no air at the barometer: the row keeps its text.
        ShowMessage(QString::fromUtf8(E.what()));
        Result = oravent::mrCancel;
    }
    activateWindow(); // the keys come back here, with or without a window manager
    return Result;
}

void TDuctUForm::Undo() {
    FGrid->CommitEditor();
    FCommands->Undo();
}

void TDuctUForm::Redo() {
    FGrid->CommitEditor();
    FCommands->Redo();
}

void TDuctUForm::UpdateHistoryActions() {
    Action("Undo")->setEnabled(FCommands->CanUndo());
    Action("Redo")->setEnabled(FCommands->CanRedo());
}

TReportForm* TDuctUForm::ReportForm() const {
    return FReportForm;
}

void TDuctUForm::BuildReport() {
    const TCellTable& Table = FGrid->Model().Table();
    std::vector<std::string> Selected;
    if (const auto Size = FCommands->SelectedSize())
        Selected = SelectedSizeLines(*Size, FCommands->SizeUnits());
    FReportForm->WriteReport(
        BuildDuctReportLines(DuctReportRows(Table), FCommands->Sheet, Selected), DuctReportTabs);
}

void TDuctUForm::StandardSizes() {
    FGrid->CommitEditor();
    if (!FSizesForm) {
        FSizesForm = new TStandardSizesForm(*FCommands, this);
        // A value still being typed is stored before the chosen size.
        connect(FSizesForm, &TStandardSizesForm::SizeChosen, this,
                [this](const TSizeCandidate& Size) {
                    FGrid->CommitEditor();
                    FCommands->EnterStandardSize(Size);
                });
    }
    FSizesForm->show();
    FSizesForm->raise();
    FSizesForm->activateWindow();
}

TStandardSizesForm* TDuctUForm::StandardSizesForm() const {
    return FSizesForm;
}

void TDuctUForm::CopyValues() {
    FGrid->CommitEditor();
    QApplication::clipboard()->setText(
        Q(DuctClipboardLine(DuctValueTexts(FGrid->Model().Table()))));
}

void TDuctUForm::ReportPreview() {
    FReportForm->show();
    FReportForm->raise();
    FReportForm->activateWindow();
}

void TDuctUForm::Metric() {
    FCommands->SetUnitSystem(TUnitSystem::Metric);
}

void TDuctUForm::Imperial() {
    FCommands->SetUnitSystem(TUnitSystem::Imperial);
}

TCompactAlignInput TDuctUForm::MeasureGrid() const {
    TCompactAlignInput In;
    const QFontMetrics FM(FGrid->font());
    for (int C = 0; C < 3; ++C) {
        for (int R = 0; R < FGrid->RowCount(); ++R)
            In.TextWidths[C] = std::max(In.TextWidths[C], FM.horizontalAdvance(FGrid->Cells(C, R)));
    }
    const QSize Extra = frameGeometry().size() - size();
    In.FrameWidth = Extra.width();
    In.FrameHeight = Extra.height() + menuBar()->sizeHint().height();
    In.GridLineWidth = FGrid->GridLineWidth();
    In.SingleBorder = FGrid->BorderStyle() == TBorderStyle::Single;
    In.Row0Height = FGrid->RowHeights(0);
    In.RowCount = FGrid->RowCount();
    In.StatusBarHeight = statusBar()->sizeHint().height();
    In.ScrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return In;
}

void TDuctUForm::FitWindow(bool FitColumns) {
    const TCompactAlignInput In = MeasureGrid();
    const int Current[3] = {FGrid->ColWidths(0), FGrid->ColWidths(1), FGrid->ColWidths(2)};
    const TCompactAlignResult R =
        FitColumns ? oravent::CompactAlign(In) : FitToColumns(In, Current);
    for (int C = 0; C < 3; ++C)
        FGrid->SetColWidths(C, R.ColWidths[C]);
    const QSize Extra = frameGeometry().size() - size();
    resize(R.Width - Extra.width(), R.Height - Extra.height());
}

void TDuctUForm::CompactAlign() {
    FitWindow(true);
}

void TDuctUForm::Help() {
    const QString Page = QString::fromStdString(AppFolder()) + "Help/Oravent.htm";
    QDesktopServices::openUrl(QUrl::fromLocalFile(Page));
}

void TDuctUForm::About() {
    FGrid->CommitEditor();
    AboutBoxDlg1->ShowAboutBox();
    activateWindow(); // the keys come back here, with or without a window manager
}

void TDuctUForm::ShowMessage(const QString& Text) {
    if (MessageHook) {
        MessageHook(Text);
        return;
    }
    QMessageBox::warning(this, QApplication::applicationName(), Text);
}

std::function<void(const QString&)> TDuctUForm::MessageHook;

// ---- Barometer row -----------------------------------------------------------------------

// The pressure calculator, created once; the row's editor opens it at the
// mouse cursor with the row's pressure and hands back the accepted one, which
// the grid then commits (the sheet solves).
void TDuctUForm::CreateBarometerEditor() {
    FAltBaromForm = new TAltBaromForm(this);
    FGrid->SetPropEditor(static_cast<int>(TDuctRow::Barometer),
                         [this](TFieldValue& Value) { return EditBarometer(Value); });
}

TAltBaromForm* TDuctUForm::AltBaromForm() const {
    return FAltBaromForm;
}

int TDuctUForm::EditBarometer(TFieldValue& Value) {
    const double* Row = std::get_if<double>(&Value);
    double P = Row && std::isfinite(*Row) ? *Row : FCommands->Sheet.Barometer;
    const int Result = FAltBaromForm->EditPressure(P, QCursor::pos());
    if (Result == TAltBaromForm::mrOk) Value = P;
    activateWindow(); // the keys come back here, with or without a window manager
    return Result;
}

// ---- Window events ------------------------------------------------------------------------

void TDuctUForm::showEvent(QShowEvent* E) {
    QMainWindow::showEvent(E);
    // A place stored at another screen scale: the whole window, with the
    // frame the desktop has now given it, stays on the screen.
    KeepWholeWindowOnScreen(*this);
}

void TDuctUForm::changeEvent(QEvent* E) {
    if (E->type() == QEvent::ActivationChange && isActiveWindow()) {
        const bool First = !FActivated;
        FActivated = true;
        if (First && OnFirstActivation) OnFirstActivation();
        FCommands->Activate();
        // A first report with the intermediates just computed, so that a
        // preview before the first edit is not an empty page.
        if (First) BuildReport();
    }
    QMainWindow::changeEvent(E);
}

void TDuctUForm::closeEvent(QCloseEvent* E) {
    FGrid->CommitEditor();
    SaveSettings();
    QMainWindow::closeEvent(E);
}

bool TDuctUForm::eventFilter(QObject* Watched, QEvent* E) {
    if (Watched == FGrid->viewport() && E->type() == QEvent::ToolTip) {
        const auto* H = static_cast<QHelpEvent*>(E);
        const int Row = FGrid->MouseCoord(H->pos()).y();
        const std::string_view Text = TDuctCommands::Description(Row);
        if (Text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(H->globalPos(), Q(Text), FGrid->viewport());
        return true;
    }
    return QMainWindow::eventFilter(Watched, E);
}

} // namespace oravent::gui
