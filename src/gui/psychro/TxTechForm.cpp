#include "psychro/TxTechForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "common/AppFolders.h"
#include "common/WindowSnapshot.h"
#include "controls/AccessKeys.h"
#include "controls/CompactAlign.h"
#include "controls/EntryGridWidget.h"
#include "controls/TechFrame.h"

namespace oravent::gui {

namespace {

// How long the frame's passing status messages stay.
constexpr int PassingMessageMs = 10000;
// The pop-up menu leaves the screen before Clip screen takes its picture.
constexpr int ClipDelayMs = 200;

QToolBar* NewRow(QWidget* Parent, const char* Name) {
    auto* Row = new QToolBar(Parent);
    Row->setObjectName(QString::fromLatin1(Name));
    Row->setMovable(false);
    Row->setFloatable(false);
    Row->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Row->toggleViewAction()->setEnabled(false);
    // 16-pixel glyphs on 24-pixel buttons, grown with the font.
    const int Glyph = ClassicPx(Parent, 16);
    Row->setIconSize(QSize(Glyph, Glyph));
    return Row;
}

} // namespace

TTechForm::TTechForm(QWidget* Parent) : TRootForm(Parent) {
    setObjectName(QStringLiteral("TechForm"));

    ToolBar1 = new QWidget(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBarRow1 = NewRow(ToolBar1, "ToolBarRow1");
    ToolBarRow2 = NewRow(ToolBar1, "ToolBarRow2");
    auto* Rows = new QVBoxLayout(ToolBar1);
    Rows->setContentsMargins(0, 0, 0, 0);
    Rows->setSpacing(0);
    Rows->addWidget(ToolBarRow1);
    Rows->addWidget(ToolBarRow2);

    OpenAction = AddCommand(ToolBarRow1, "OpenAction", "&Open", "Open", "open");
    SaveAction = AddCommand(ToolBarRow1, "SaveAction", "&Save", "Save", "save");
    CopyAction = AddCommand(ToolBarRow1, "CopyAction", "&Copy", "Copy", "copy");
    PasteAction = AddCommand(ToolBarRow1, "PasteAction", "&Paste", "Paste", "paste");
    SolveAction = AddCommand(ToolBarRow1, "SolveAction", "S&olve", "Solve", "solve");
    ViewAction = AddCommand(ToolBarRow1, "ViewAction", "&View", "View", "view");
    PrintAction = AddCommand(ToolBarRow1, "PrintAction", "&Print", "Print", "print");
    AlignAction = AddCommand(ToolBarRow2, "AlignAction", "&Align", "Align", "align");
    ResetAction = AddCommand(ToolBarRow2, "ResetAction", "&Reset", "Reset", "reset");
    AboutAction = AddCommand(ToolBarRow2, "AboutAction", "&About", "About", "about");
    HelpAction = AddCommand(ToolBarRow2, "HelpAction", "&Help", "Help", "help");
    CancelAction = AddCommand(ToolBarRow2, "CancelAction", "&Cancel", "Cancel", "cancel");
    AcceptAction = AddCommand(ToolBarRow2, "AcceptAction", "&Accept", "Accept", "accept");
    SaveAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_S));
    SolveAction->setShortcut(QKeySequence(Qt::Key_F9));
    ResetAction->setVisible(false);
    AboutAction->setVisible(false);

    auto Hook = [this](QAction* A, const THook& H) {
        connect(A, &QAction::triggered, this, [this, A, &H] { RunHook(H, A); });
    };
    Hook(OpenAction, OnOpen);
    Hook(SaveAction, OnSave);
    Hook(CopyAction, OnCopy);
    Hook(PasteAction, OnPaste);
    Hook(SolveAction, OnSolve);
    Hook(ViewAction, OnView);
    Hook(PrintAction, OnPrint);
    Hook(ResetAction, OnReset);
    Hook(AboutAction, OnAbout);
    Hook(HelpAction, OnHelp);
    connect(AlignAction, &QAction::triggered, this, &TTechForm::AlignActionExecute);
    connect(AcceptAction, &QAction::triggered, this, [this] { AcceptActionExecute(); });
    connect(CancelAction, &QAction::triggered, this, [this] { CancelActionExecute(); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    CopytoXML1 = PopupMenu1->addAction(QStringLiteral("Copy to XML"));
    CopytoXML1->setObjectName(QStringLiteral("CopytoXML1"));
    ActionClip = PopupMenu1->addAction(QStringLiteral("Clip screen"));
    ActionClip->setObjectName(QStringLiteral("ActionClip"));
    connect(CopytoXML1, &QAction::triggered, this, [this] { CopytoXML1Click(); });
    connect(ActionClip, &QAction::triggered, this,
            [this] { QTimer::singleShot(ClipDelayMs, this, [this] { ActionClipExecute(); }); });

    EntryGrid1 = new TEntryGrid(this);
    EntryGrid1->setObjectName(QStringLiteral("EntryGrid1"));
    EntryGrid1->SetColCount(3);
    EntryGrid1->SetFixedCols(0);
    EntryGrid1->SetRowCount(2);
    EntryGrid1->SetDelim(';');
    EntryGrid1->SetBorderStyle(TBorderStyle::None);
    EntryGrid1->SetScrollBars(TScrollStyle::None);
    EntryGrid1->SetOptions(xgoFixedVertLine | xgoFixedHorzLine | xgoVertLine | xgoHorzLine |
                           xgoColSizing | xgoEditing);
    EntryGrid1->SetDefaultRowHeight(ClassicPx(EntryGrid1, 16));
    EntryGrid1->SetColor(palette().color(QPalette::Button));
    EntryGrid1->SetColorEditCol(palette().color(QPalette::Base));
    EntryGrid1->SetColorEditMode(palette().color(QPalette::Base));
    const int Widths[3] = {90, 60, 50};
    for (int C = 0; C < 3; ++C)
        EntryGrid1->SetColWidths(C, ClassicPx(EntryGrid1, Widths[C]));
    // Escape while a cell is edited cancels the edit (the grid's editor
    // claims it); otherwise it reaches the dialog, whose reject() is Cancel.

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(ClassicPx(StatusBar1, 19));
    FStatus = new QLabel(StatusBar1);
    FStatus->setObjectName(QStringLiteral("StatusText"));
    StatusBar1->addWidget(FStatus, 1);

    auto* L = new QVBoxLayout(this);
    L->setContentsMargins(0, 0, 0, 0);
    L->setSpacing(0);
    L->addWidget(ToolBar1);
    L->addWidget(EntryGrid1, 1);
    L->addWidget(StatusBar1);

    AddKeys();
    setMinimumSize(ClassicPx(this, 120), ClassicPx(this, 120));
    resize(std::max(ClassicPx(this, 210), ToolBar1->sizeHint().width()), ClassicPx(this, 218));
}

QAction* TTechForm::AddCommand(QToolBar* Row, const char* Name, const QString& Caption,
                               const QString& Hint, const char* Icon) {
    auto* A = new QAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(Icon))), Caption,
                          this);
    A->setObjectName(QString::fromLatin1(Name));
    A->setToolTip(Hint);
    Row->addAction(A);
    return A;
}

void TTechForm::RunHook(const THook& Hook, QObject* Sender) {
    if (Hook) Hook(Sender);
}

void TTechForm::RunIfAvailable(QAction* Action) {
    if (Action->isVisible() && Action->isEnabled()) Action->trigger();
}

void TTechForm::AddKeys() {
    auto Key = [this](QKeySequence Seq, std::function<void()> Fn) {
        auto* S = new QShortcut(Seq, this);
        S->setContext(Qt::WindowShortcut);
        connect(S, &QShortcut::activated, this, std::move(Fn));
    };
    Key(QKeySequence(Qt::CTRL | Qt::Key_Return), [this] { RunIfAvailable(AcceptAction); });
    Key(QKeySequence(Qt::CTRL | Qt::Key_Enter), [this] { RunIfAvailable(AcceptAction); });
    // While a cell is being edited the editor takes these itself.
    Key(QKeySequence::Copy, [this] {
        if (!IsEditing()) RunIfAvailable(CopyAction);
    });
    Key(QKeySequence::Paste, [this] {
        if (!IsEditing()) RunIfAvailable(PasteAction);
    });
    // One shortcut per access key; a letter that is a command's own
    // shortcut (Alt+S is Save) stays with that command.
    QList<char> Letters;
    for (QAction* A :
         {AcceptAction, CancelAction, OpenAction, SaveAction, CopyAction, PasteAction, SolveAction,
          ViewAction, PrintAction, AlignAction, ResetAction, AboutAction, HelpAction}) {
        const char Letter = AccessKeyOf(A->text().toStdString());
        if (Letter == 0 || Letters.contains(Letter)) continue;
        const QKeySequence Seq(Qt::ALT | Qt::Key(Letter));
        bool Taken = false;
        for (QAction* Other : actions() + ToolBarRow1->actions() + ToolBarRow2->actions())
            Taken = Taken || Other->shortcut() == Seq;
        if (Taken) continue;
        Letters << Letter;
        Key(Seq, [this, Letter] { RunAccessKey(Letter); });
    }
}

void TTechForm::RunAccessKey(char Key) {
    // Accept and Cancel come first: the keys that leave the window.
    const QList<QAction*> Order = {AcceptAction, CancelAction, OpenAction, SaveAction,  CopyAction,
                                   PasteAction,  SolveAction,  ViewAction, PrintAction, AlignAction,
                                   ResetAction,  AboutAction,  HelpAction};
    std::vector<TAccessKeyCommand> Commands;
    for (QAction* A : Order)
        Commands.push_back({A->text().toStdString(), A->isVisible() && A->isEnabled()});
    const int Owner = AccessKeyOwner(Commands, Key);
    if (Owner >= 0) Order[Owner]->trigger();
}

// ---- Grid ------------------------------------------------------------------

void TTechForm::SetGridLines(const QStringList& Lines) {
    EntryGrid1->SetLines(Lines);
    FDataCount = std::max(0, static_cast<int>(Lines.size()) - 1);
}

void TTechForm::SetGridData(const std::vector<TFieldValue>& Values) {
    // SetGridData of the core, through the widget's SetValue so that an aid
    // over a cell (a check box) shows the new value too.
    const int Count = static_cast<int>(Values.size());
    if (Count != FDataCount)
        ShowMessage(QString::fromUtf8(DataCountMessage.data(),
                                      static_cast<qsizetype>(DataCountMessage.size())));
    for (int I = 1; I <= std::min(Count, FDataCount); ++I)
        EntryGrid1->SetValue(1, I, Values[static_cast<std::size_t>(I - 1)]);
}

bool TTechForm::IsEditing() const {
    return EntryGrid1->EditorCol() >= 0;
}

void TTechForm::CommitGridEdit() {
    if (IsEditing()) EntryGrid1->HideEditor();
}

// ---- Status bar --------------------------------------------------------------

QString TTechForm::StatusText() const {
    return FStatus->text();
}

void TTechForm::SetStatusText(const QString& Text) {
    StatusBar1->clearMessage();
    FStatus->setText(Text);
}

// ---- Commands ------------------------------------------------------------------

void TTechForm::AlignActionExecute() {
    TEntryGrid& G = *EntryGrid1;
    TCompactAlignInput In;
    const QFontMetrics FM(G.font());
    for (int C = 0; C < std::min(3, G.ColCount()); ++C)
        for (int R = 0; R < G.RowCount(); ++R)
            In.TextWidths[C] = std::max(In.TextWidths[C], FM.horizontalAdvance(G.Cells(C, R)));
    const QSize Frame = frameGeometry().size() - size();
    In.FrameWidth = Frame.width();
    In.FrameHeight = Frame.height();
    In.GridLineWidth = G.GridLineWidth();
    In.SingleBorder = G.BorderStyle() == TBorderStyle::Single;
    In.Row0Height = G.RowHeights(0);
    In.RowCount = G.RowCount();
    In.StatusBarHeight = StatusBar1->height();
    In.ScrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &G);
    const TCompactAlignResult R = TechFormAlign(In, ToolBar1->sizeHint().height());
    for (int C = 0; C < std::min(3, G.ColCount()); ++C)
        G.SetColWidths(C, R.ColWidths[C]);
    G.SetScrollBars(R.HeightCapped ? TScrollStyle::Vertical : TScrollStyle::None);
    resize(R.Width - Frame.width(), R.Height - Frame.height());
}

void TTechForm::AcceptActionExecute() {
    CommitGridEdit();
    done(mrOk);
}

void TTechForm::CancelActionExecute() {
    done(mrCancel);
}

void TTechForm::accept() {
    AcceptActionExecute();
}

void TTechForm::reject() {
    CancelActionExecute();
}

void TTechForm::CopytoXML1Click() {
    const std::string Text = GridToXml(EntryGrid1->Model().Table());
    QApplication::clipboard()->setText(QString::fromStdString(Text));
}

QString TTechForm::SnapshotFile() {
    return QString::fromStdString(UserFileForWriting(AppBaseName() + ".jpg"));
}

void TTechForm::ActionClipExecute() {
    try {
        const QString File = SnapshotFile();
        const QString Folder = File.left(File.lastIndexOf(QLatin1Char('/')) + 1);
        const QString Written = SnapshotToJpeg(Folder, QString::fromStdString(AppBaseName()), 1.0);
        StatusBar1->showMessage(QStringLiteral("Saved snapshot to ") + Written, PassingMessageMs);
    } catch (const std::exception& E) {
        ShowMessage(QString::fromStdString(E.what()));
    }
}

// ---- Window events ---------------------------------------------------------------

void TTechForm::FormDeactivate() {
    CommitGridEdit();
}

bool TTechForm::event(QEvent* E) {
    if (E->type() == QEvent::WindowActivate) FormActivate();
    if (E->type() == QEvent::WindowDeactivate) FormDeactivate();
    return TRootForm::event(E);
}

void TTechForm::contextMenuEvent(QContextMenuEvent* E) {
    // A click on a units cell runs the units picker, not this menu.
    if (E->reason() == QContextMenuEvent::Mouse) {
        const QPoint P = EntryGrid1->viewport()->mapFromGlobal(E->globalPos());
        const QPoint Cell = EntryGrid1->MouseCoord(P);
        if (EntryGrid1->viewport()->rect().contains(P) && Cell.y() >= 1 &&
            Cell.x() == EntryGrid1->UnitsColumn() && EntryGrid1->Model().HasUnitsPicker() &&
            EntryGrid1->HasUnits(Cell.y()))
            return;
    }
    PopupMenu1->exec(E->globalPos());
}

} // namespace oravent::gui
