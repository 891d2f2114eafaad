#include "psychro/TxAirConBox.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include "common/FormPlacement.h"
#include "controls/EntryGridWidget.h"

namespace oravent::gui {

std::function<QString(TAirConBox&, bool)> TAirConBox::FileDialogHook;

QString QtFileFilter(const QString& Filter) {
    const QStringList Parts = Filter.split(QLatin1Char('|'));
    QStringList Filters;
    for (qsizetype I = 0; I + 1 < Parts.size(); I += 2) {
        const QString& Text = Parts[I];
        QString Patterns = Parts[I + 1];
        Patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        Filters << (Text.contains(QLatin1Char('(')) ? Text : Text + " (" + Patterns + ")");
    }
    return Filters.join(QStringLiteral(";;"));
}

TAirConBox::TAirConBox(oravent::TAirconItem& Item, QWidget* Parent)
    : TTechForm(Parent), FItem(Item) {
    setObjectName(QStringLiteral("AirConBox"));
    // On top, and no buttons in the title bar: Accept or Cancel leave it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    FItem.Window = this;
}

TAirConBox::~TAirConBox() {
    if (FItem.Window == this) FItem.Window = nullptr;
}

void TAirConBox::SetupTools() {
    OnOpen = [this](QObject*) { OpenFile(); };
    OnSave = [this](QObject*) { SaveFile(); };
    EntryGrid1->SetUnitsColumn(2);
    EntryGrid1->SetUnitsPicker(&TEntryGrid::ShowRowUnitsPicker);
}

// ---- Files ---------------------------------------------------------------------

QString TAirConBox::ChooseFile(bool Save) {
    if (FileDialogHook) return FileDialogHook(*this, Save);
    // Titled with the command's hint ("Load air state", "Save air state").
    QFileDialog Dialog(this, Save ? SaveAction->toolTip() : OpenAction->toolTip(), InitialDir(),
                       QtFileFilter(FileFilter()));
    Dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    Dialog.setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    Dialog.setDefaultSuffix(DefaultSuffix());
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return {};
    return Dialog.selectedFiles().constFirst();
}

void TAirConBox::OpenFile() {
    const QString Path = ChooseFile(false);
    if (!Path.isEmpty()) LoadFromFile(Path);
}

void TAirConBox::SaveFile() {
    if (!SaveAllowed()) return;
    const QString Path = ChooseFile(true);
    if (!Path.isEmpty()) SaveToFile(Path);
}

// ---- Placement -------------------------------------------------------------------

void TAirConBox::Place(const oravent::TAirConWindowState& State, const QString& Caption,
                       bool Modal) {
    setWindowTitle(Caption);
    setModal(Modal);
    CancelAction->setVisible(true);
    for (int C = 0; C < std::min(oravent::AirConColumnCount, EntryGrid1->ColCount()); ++C)
        if (State.ColWidths[C] > 0) EntryGrid1->SetColWidths(C, State.ColWidths[C]);
    // Never smaller than the tool bar and status bar need (the layout would
    // grow it on showing, past the place worked out below).
    if (State.Width > 0 && State.Height > 0)
        resize(QSize(State.Width, State.Height)
                   .expandedTo(minimumSize())
                   .expandedTo(minimumSizeHint()));
    move(OnScreen(QPoint(State.Left, State.Top)));
}

QPoint TAirConBox::OnScreen(QPoint At) const {
    const QSize Frame = FrameExtra(*this);
    const QScreen* S = QGuiApplication::screenAt(At);
    if (!S) S = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!S) return At;
    const QRect Area = S->availableGeometry();
    const TScreenPoint P =
        KeepWindowOnScreen({At.x(), At.y()}, {width() + Frame.width(), height() + Frame.height()},
                           {Area.left(), Area.top(), Area.width(), Area.height()});
    return {P.X, P.Y};
}

void TAirConBox::showEvent(QShowEvent* E) {
    TTechForm::showEvent(E);
    // Now with the frame the desktop gave it.
    const QPoint At = OnScreen(pos());
    if (At != pos()) move(At);
}

oravent::TAirConWindowState TAirConBox::Placement() const {
    oravent::TAirConWindowState S;
    S.Left = pos().x();
    S.Top = pos().y();
    S.Width = width();
    S.Height = height();
    for (int C = 0; C < std::min(oravent::AirConColumnCount, EntryGrid1->ColCount()); ++C)
        S.ColWidths[C] = EntryGrid1->ColWidths(C);
    return S;
}

} // namespace oravent::gui
