#include "psychro/TxAirStateWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QUrl>

#include "common/AppFolders.h"
#include "controls/EntryGridWidget.h"
#include "psychro/AirStateFile.h"

namespace oravent::gui {

namespace {

QString Q(std::string_view S) {
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size()));
}

} // namespace

// The window as the presenter sees it.
class TAirStateBox::TView : public oravent::TAirStateView {
public:
    explicit TView(TAirStateBox& Box) : B(Box) {}

    void SetGridLines(const std::vector<std::string>& Lines) override {
        QStringList L;
        for (const std::string& T : Lines)
            L << QString::fromStdString(T);
        B.TTechForm::SetGridLines(L);
    }
    void SetGridData(const std::vector<TFieldValue>& Values) override {
        B.TTechForm::SetGridData(Values);
    }
    void SetRowUnits(int Row, TUnitsType Type, int Base, int Shown, TFormatType F) override {
        B.EntryGrid1->SetUnits(Row, Type, Base, Shown, F);
    }
    void SetRowSigDigs(int Row, int Digits) override { B.EntryGrid1->SetSigDigs(Row, Digits); }
    bool RowHasUnits(int Row) const override { return B.EntryGrid1->HasUnits(Row); }
    int RowUnits(int Row) const override { return B.EntryGrid1->GetUnitsValue(Row); }
    void SetRowUnitsValue(int Row, int Index) override { B.EntryGrid1->SetUnitsValue(Row, Index); }
    TFieldValue RowValue(int Row) const override { return B.EntryGrid1->GetValue(1, Row); }
    void SetRowEnabled(int Row, bool Enabled) override {
        B.EntryGrid1->SetRowEnabled(Row, Enabled);
    }
    bool RowEnabled(int Row) const override { return B.EntryGrid1->GetRowEnabled(Row); }
    const TCellTable& Cells() const override { return B.EntryGrid1->Model().Table(); }
    void CommitEdit() override { B.CommitGridEdit(); }
    void ShowKnownRows(const std::vector<int>& Rows) override {
        B.EntryGrid1->SetKnownRows(QList<int>(Rows.begin(), Rows.end()));
    }
    void ShowStatus(std::string_view Text) override { B.SetStatusText(Q(Text)); }
    void ShowMessage(std::string_view Text) override { B.ShowMessage(Q(Text)); }
    void SetClipboardText(const std::string& Text) override {
        QApplication::clipboard()->setText(QString::fromStdString(Text));
    }
    std::string ClipboardText() const override {
        return QApplication::clipboard()->text().toStdString();
    }
    void SetOpenEnabled(bool Enabled) override { B.OpenAction->setEnabled(Enabled); }
    void PlaceWindow(const TAirConWindowState& State, std::string_view Caption,
                     bool Modal) override {
        B.Place(State, Q(Caption), Modal);
    }
    TAirConWindowState WindowState() const override { return B.Placement(); }
    void CloseWindow(int ModalResult) override { B.TAirConBox::done(ModalResult); }

private:
    TAirStateBox& B;
};

TAirStateBox::TAirStateBox(oravent::TPsyPoint& Item, QWidget* Parent)
    : TAirConBox(Item, Parent), FView(std::make_unique<TView>(*this)),
      FBox(std::make_unique<oravent::TAirStateBox>(*FView, Item)) {
    setObjectName(QStringLiteral("AirStateBox"));
    FBox->InitialDir = AppFolder();
    SetupTools();
}

TAirStateBox::~TAirStateBox() = default;

void TAirStateBox::SetupTools() {
    TAirConBox::SetupTools();
    for (QAction* A : {PasteAction, SolveAction, CopyAction, PrintAction})
        A->setVisible(false);
    CopyAction->setVisible(true);
    PasteAction->setVisible(true);
    ViewAction->setVisible(true);
    ViewAction->setToolTip(Q(ViewHint));
    OnView = [this](QObject*) { FBox->CopyTable(); };
    OnHelp = [this](QObject*) { ShowHelp(); };
    OnCopy = [this](QObject*) { FBox->CopyDbWb(); };
    OnPaste = [this](QObject*) { FBox->PasteDbWb(); };
    OpenAction->setToolTip(Q(OpenHint));
    SaveAction->setToolTip(Q(SaveHint));
    CopyAction->setToolTip(Q(CopyHint));
    AlignAction->setToolTip(Q(AlignHint));
    connect(EntryGrid1, &TEntryGrid::OnDoSetData, this, [this](int ACol, int ARow) {
        if (ACol == 1) FBox->SetData(ARow);
    });
    FBox->SetupTools();
    AlignActionExecute();
}

void TAirStateBox::Configure(oravent::TAirStateDlg& Dlg) {
    FBox->Configure(Dlg);
}

QString TAirStateBox::HelpFile() {
    return QString::fromStdString(CommonFolder()) + Q(AirStateHelpFile);
}

void TAirStateBox::ShowHelp() {
    const QString Page = HelpFile();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Page)))
        ShowMessage(QStringLiteral("Unable to open ") + Page);
}

void TAirStateBox::ShowValues() {
    FBox->ShowValues();
}

// ---- Leaving -------------------------------------------------------------------------

void TAirStateBox::AcceptActionExecute() {
    FBox->Accept();
}

void TAirStateBox::CancelActionExecute() {
    FBox->Cancel();
}

void TAirStateBox::done(int Result) {
    FBox->Closing();
    TAirConBox::done(Result);
}

void TAirStateBox::showEvent(QShowEvent* E) {
    // Also where no window manager activates the window.
    FBox->Activate();
    TAirConBox::showEvent(E);
    // The keys start on the first value the user may change (the name and
    // the pressure rows may be fixed).
    for (int R = AirStateNameRow; R <= AirStateLastRow; ++R) {
        if (!EntryGrid1->GetRowEnabled(R)) continue;
        if (!EntryGrid1->GetRowEnabled(EntryGrid1->Row()) || EntryGrid1->Col() != 1)
            EntryGrid1->FocusCell(1, R, true);
        break;
    }
    EntryGrid1->setFocus(Qt::OtherFocusReason);
}

void TAirStateBox::FormActivate() {
    FBox->Activate();
}

void TAirStateBox::FormDeactivate() {
    FBox->Deactivate();
}

// ---- Files and clipboard ----------------------------------------------------------------

bool TAirStateBox::LoadFromFile(const QString& Path) {
    return FBox->LoadFromFile(Path.toStdString());
}

bool TAirStateBox::SaveToFile(const QString& Path) {
    return FBox->SaveToFile(Path.toStdString());
}

bool TAirStateBox::SaveAllowed() {
    return FBox->SaveAllowed();
}

QString TAirStateBox::InitialDir() const {
    return QString::fromStdString(FBox->InitialDir);
}

QString TAirStateBox::FileFilter() const {
    return Q(AirStateFileFilter);
}

QString TAirStateBox::DefaultSuffix() const {
    return Q(AirStateFileExt);
}

void TAirStateBox::CopytoXML1Click() {
    FBox->CopyToXml();
}

} // namespace oravent::gui
