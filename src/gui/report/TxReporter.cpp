#include "report/TxReporter.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QResizeEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include "common/AppFolders.h"
#include "common/FormPlacement.h"
#include "common/TxRegistry.h"
#include "report/ReportPrinting.h"

namespace oravent::gui {

namespace {

constexpr const char* FormName = "ReportForm";
// The desktop's text colour, as the settings of other platforms store it.
constexpr int SystemWindowTextColor = static_cast<int>(0x80000008u);
// Default character set number; kept for the settings only.
constexpr int DefaultCharSet = 1;
// Font sizes outside this range in the settings are ignored.
constexpr int MaxFontSize = 400;

// Alt with a letter or a digit and no other modifier: an access key.
bool IsAccessKey(const QKeyEvent& E) {
    const int Key = E.key();
    return (E.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier &&
           ((Key >= Qt::Key_A && Key <= Qt::Key_Z) || (Key >= Qt::Key_0 && Key <= Qt::Key_9));
}

} // namespace

// Why mailing failed, in a message box over the window.
class TReportForm::TBoxReporter : public TMapiReporter {
public:
    explicit TBoxReporter(TReportForm* Form) : FForm(Form) {}
    void ShowMailMessage(const std::string& Text) override {
        QMessageBox::warning(FForm, FForm->Title(), QString::fromStdString(Text));
    }

private:
    TReportForm* FForm;
};

TReportForm::TReportForm(QWidget* Parent)
    : QMainWindow(Parent, Qt::Tool), FBoxReporter(std::make_unique<TBoxReporter>(this)),
      FFontColor(SystemWindowTextColor), FFontCharSet(DefaultCharSet) {
    setObjectName(QString::fromLatin1(FormName));
    setWindowTitle(QStringLiteral("Report"));
    FTitle = QGuiApplication::applicationDisplayName();

    FToolBar = addToolBar(QStringLiteral("ToolBar1"));
    FToolBar->setObjectName(QStringLiteral("ToolBar1"));
    FToolBar->setMovable(false);
    FToolBar->setFloatable(false);
    FToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    FToolBar->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    FActPrint = AddButton(QStringLiteral("&Print"), QStringLiteral("Send report to printer"),
                          &TReportForm::ButtonPrintClick);
    FActPdf = AddButton(QStringLiteral("Save as P&DF\u2026"),
                        QStringLiteral("Save report as a PDF file"), &TReportForm::ButtonPdfClick);
    FActCopy = AddButton(QStringLiteral("C&opy"), QStringLiteral("Copy report to clipboard"),
                         &TReportForm::ButtonCopyClick);
    FActEMail = AddButton(QStringLiteral("&Email"), QStringLiteral("Send as EMail"),
                          &TReportForm::ButtonEMailClick);
    FActSetup = AddButton(QStringLiteral("&Setup"), QStringLiteral("Printer setup"),
                          &TReportForm::ButtonSetupClick);
    FActFont = AddButton(QStringLiteral("&Font"), QStringLiteral("Set report font"),
                         &TReportForm::ButtonFontClick);
    FActClose = AddButton(QStringLiteral("&Close"), QString(), &TReportForm::ButtonCloseClick);
    // The Close button has no hint (a tool button would show its caption).
    if (QWidget* CloseButton = FToolBar->widgetForAction(FActClose))
        CloseButton->installEventFilter(this);

    // Sizes follow the window font: the designed sizes were for a font 13
    // pixels high.
    const double Scale = qMax(1.0, fontMetrics().height() / 13.0);

    auto* Client = new QWidget(this);
    auto* Row = new QHBoxLayout(Client);
    Row->setContentsMargins(0, 0, 0, 0);
    Row->setSpacing(0);
    FRichEdit = new QTextEdit(Client);
    FRichEdit->setObjectName(QStringLiteral("RichEdit1"));
    FRichEdit->setFrameShape(QFrame::NoFrame);
    FRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FRichEdit->setAcceptRichText(true);
    FTabPanel = new QWidget(Client);
    FTabPanel->setObjectName(QStringLiteral("TabPanel"));
    FTabPanel->setFixedWidth(qRound(12 * Scale));
    FTabPanel->setAutoFillBackground(true);
    QPalette StripColour = FTabPanel->palette();
    StripColour.setColor(QPalette::Window, FRichEdit->palette().color(QPalette::Base));
    FTabPanel->setPalette(StripColour);
    Row->addWidget(FTabPanel);
    Row->addWidget(FRichEdit, 1);
    setCentralWidget(Client);
    FRichEdit->setFocus();               // the text, not the first tool button, takes the keys
    FRichEdit->installEventFilter(this); // access keys are no typing

    FStatus = new QLabel(QStringLiteral("Ready"), this);
    FStatus->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(FStatus, 1);

    setMinimumSize(230, 320);
    // Wide enough for every tool button in the desktop's font.
    resize(std::max(qRound(354 * Scale), ToolBar1()->sizeHint().width()), qRound(451 * Scale));
    RestoreFormPlacement(*this, objectName(), true);

    FRichEdit->setFont(QGuiApplication::font());
    ReadFont();
    SetTabs(std::array<double, 2>{90.0, 155.0});

    FMapi.ShowDialog = true;
    FMapi.UseAppHandle = false;
    FMapi.SetReporter(FBoxReporter.get());
    // The window keeps painting while the mail program has the message.
    FMapi.OnWaiting = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
}

TReportForm::~TReportForm() {
    if (isVisible()) SaveSettings();
}

QAction* TReportForm::AddButton(const QString& Caption, const QString& Hint,
                                void (TReportForm::*Slot)()) {
    auto* Action = new QAction(Caption, this);
    Action->setIconText(Caption); // keeps the mnemonic on the tool button
    Action->setToolTip(Hint);
    connect(Action, &QAction::triggered, this, Slot);
    FToolBar->addAction(Action);
    return Action;
}

bool TReportForm::eventFilter(QObject* Watched, QEvent* E) {
    if (Watched == FRichEdit) {
        if (AccessKeyEvent(E)) return true;
    } else if (E->type() == QEvent::ToolTip) {
        return true;
    }
    return QMainWindow::eventFilter(Watched, E);
}

// While a tool window with an owner is active, Qt keeps the owner's window
// shortcuts live, and with them the owner's menu bar access keys: Alt+F, E
// and C would meet this window's Font, Email and Close as ambiguous
// shortcuts (neither acts) and Alt+W or Alt+H would open the owner's menus
// from here. So the window takes every access key before the shortcut map
// sees it (a shortcut override) and acts on its own buttons' keys when the
// key press arrives; the owner's other shortcuts (F9, Ctrl+S) still work.
bool TReportForm::AccessKeyEvent(QEvent* E) {
    if (E->type() != QEvent::ShortcutOverride && E->type() != QEvent::KeyPress) return false;
    auto* Key = static_cast<QKeyEvent*>(E);
    if (!IsAccessKey(*Key)) return false;
    Key->accept();
    if (E->type() == QEvent::KeyPress && !Key->isAutoRepeat()) {
        const QKeySequence Pressed(Qt::ALT | Qt::Key(Key->key()));
        for (QAction* A : FToolBar->actions())
            if (A->isEnabled() && A->isVisible() &&
                QKeySequence::mnemonic(A->iconText()) == Pressed) {
                A->trigger();
                break;
            }
    }
    return true;
}

// ---- Content -----------------------------------------------------------------

void TReportForm::SetTabs(std::span<const double> Points) {
    QList<QTextOption::Tab> Tabs;
    for (double P : Points)
        Tabs.append(QTextOption::Tab(PointsToLayoutUnits(P), QTextOption::LeftTab));
    QTextBlockFormat Format;
    Format.setTabPositions(Tabs);
    QTextCursor C = FRichEdit->textCursor();
    C.mergeBlockFormat(Format);
    FRichEdit->setTextCursor(C);
}

QTextCharFormat TReportForm::LineFormat(TReportStyle Style) const {
    QTextCharFormat Format;
    Format.setFont(ReportFont(), QTextCharFormat::FontPropertiesAll);
    Format.setFontWeight(Style == TReportStyle::Regular ? QFont::Normal : QFont::Bold);
    Format.setFontUnderline(Style == TReportStyle::BoldUnderline);
    Format.setFontItalic(false);
    // The desktop's text colour is left to the palette (black on paper).
    if (FFontColor >= 0) Format.setForeground(ReportColor());
    return Format;
}

void TReportForm::WriteReport(const std::vector<TReportLine>& Lines,
                              std::span<const double> TabStops) {
    QTextDocument* Doc = FRichEdit->document();
    Doc->setUndoRedoEnabled(false);
    FRichEdit->clear();
    FRichEdit->setTextCursor(QTextCursor(Doc));
    SetTabs(FitTabStops(Lines, TabStops, ReportFont()));
    QTextCursor C = FRichEdit->textCursor();
    C.beginEditBlock();
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (I > 0) C.insertBlock();
        C.insertText(QString::fromStdString(Lines[I].Text), LineFormat(Lines[I].Style));
    }
    C.endEditBlock();
    C.movePosition(QTextCursor::Start);
    FRichEdit->setTextCursor(C);
    FRichEdit->ensureCursorVisible();
    Doc->setUndoRedoEnabled(true);
}

QString TReportForm::PlainText() const {
    return FRichEdit->toPlainText();
}

void TReportForm::Rebuild() {
    if (FRebuildHook) FRebuildHook();
}

// ---- Report font ---------------------------------------------------------------

QFont TReportForm::ReportFont() const {
    return FRichEdit->font();
}

void TReportForm::SetReportFont(const QFont& Font) {
    FRichEdit->setFont(Font);
}

QColor TReportForm::ReportColor() const {
    if (FFontColor < 0) return FRichEdit->palette().color(QPalette::Text);
    return QColor(FFontColor & 0xFF, (FFontColor >> 8) & 0xFF, (FFontColor >> 16) & 0xFF);
}

void TReportForm::ApplyReportColor() {
    QPalette P = FRichEdit->palette();
    P.setColor(QPalette::Text,
               FFontColor < 0 ? QGuiApplication::palette().color(QPalette::Text) : ReportColor());
    FRichEdit->setPalette(P);
}

void TReportForm::ReadFont() {
    const TRegistryIniFile Store(AppRegistryKey());
    QFont Font = FRichEdit->font();
    // A value stored with another kind reads as its default.
    auto ReadInt = [&Store](const char* Ident, int Default) {
        try {
            return Store.ReadInt(FormName, Ident, Default);
        } catch (const ERegistryException&) {
            return Default;
        }
    };
    const int Size =
        ReadInt("FontSize", Font.pointSize() > 0 ? Font.pointSize() : -Font.pixelSize());
    FFontColor = ReadInt("FontColor", FFontColor);
    // Written as "FontCharSet"; the store compares names without case.
    FFontCharSet = ReadInt("FontCharset", FFontCharSet);
    std::string Name;
    try {
        Name = Store.ReadText(FormName, "FontName", Font.family().toStdString());
    } catch (const ERegistryException&) {
    }
    if (Size > 0 && Size <= MaxFontSize)
        Font.setPointSize(Size);
    else if (Size < 0 && -Size <= MaxFontSize)
        Font.setPixelSize(-Size); // a negative size is a height in pixels
    if (!Name.empty()) Font.setFamily(QString::fromStdString(Name));
    FRichEdit->setFont(Font);
    ApplyReportColor();
}

void TReportForm::WriteFont() {
    TRegistryIniFile Store(AppRegistryKey());
    const QFont Font = ReportFont();
    Store.BeginUpdate();
    try {
        Store.WriteInt(FormName, "FontSize",
                       Font.pointSize() > 0 ? Font.pointSize() : -Font.pixelSize());
        Store.WriteInt(FormName, "FontColor", FFontColor);
        Store.WriteInt(FormName, "FontCharSet", FFontCharSet);
        Store.WriteText(FormName, "FontName", Font.family().toStdString());
    } catch (...) {
        Store.EndUpdate();
        throw;
    }
    Store.EndUpdate();
}

void TReportForm::SaveSettings() {
    try {
        SaveFormPlacement(*this, objectName());
        WriteFont();
    } catch (const std::exception& E) {
        SetStatus(QString::fromStdString(E.what()));
    }
}

// ---- Window events -----------------------------------------------------------------

QString TReportForm::StatusText() const {
    return FStatus->text();
}

void TReportForm::SetStatus(const QString& Text) {
    FStatus->setText(Text);
}

bool TReportForm::event(QEvent* E) {
    if (AccessKeyEvent(E)) return true; // keys no child took
    if (E->type() == QEvent::WindowActivate)
        SetStatus(QStringLiteral("Ready"));
    else if (E->type() == QEvent::WindowDeactivate)
        SaveSettings();
    return QMainWindow::event(E);
}

void TReportForm::resizeEvent(QResizeEvent* E) {
    QMainWindow::resizeEvent(E);
    // The size a window is first shown at (no old size) is no resize: showing
    // the report does not rebuild it.
    if (isVisible() && E->oldSize().isValid() && E->oldSize() != E->size()) Rebuild();
}

void TReportForm::hideEvent(QHideEvent* E) {
    QMainWindow::hideEvent(E);
    SaveSettings();
}

// ---- Commands ------------------------------------------------------------------------

QPrinter& TReportForm::Printer() {
    if (!FPrinter) FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *FPrinter;
}

bool TReportForm::PrintTo(QPrinter& Printer) {
    Printer.setDocName(FTitle);
    return PrintReportDocument(*FRichEdit->document(), ReportFont(), Printer);
}

bool TReportForm::SaveAsPdf(const QString& FileName) {
    return WriteReportPdf(*FRichEdit->document(), ReportFont(), FileName, Printer().pageLayout(),
                          FTitle);
}

void TReportForm::ButtonPrintClick() {
    SetStatus(QStringLiteral("Printing report"));
    QPrintDialog Dialog(&Printer(), this);
    if (Dialog.exec() == QDialog::Accepted && !PrintTo(Printer())) {
        const QString File = Printer().outputFileName();
        QMessageBox::warning(this, FTitle,
                             File.isEmpty() ? QStringLiteral("The printer did not take the report")
                                            : QStringLiteral("Unable to write to ") + File);
    }
    SetStatus(QStringLiteral("Ready"));
}

void TReportForm::ButtonPdfClick() {
    QFileDialog Dialog(this, QStringLiteral("Save Report as PDF"),
                       QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                       QStringLiteral("PDF files (*.pdf)"));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setDefaultSuffix(QStringLiteral("pdf"));
    Dialog.selectFile(FTitle + QStringLiteral(" Report.pdf"));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return;
    const QString File = Dialog.selectedFiles().constFirst();
    if (!SaveAsPdf(File))
        QMessageBox::warning(this, FTitle, QStringLiteral("Unable to write to ") + File);
}

void TReportForm::ButtonCopyClick() {
    auto* Data = new QMimeData;
    Data->setText(PlainText());
    Data->setHtml(ReportHtml(*FRichEdit->document()));
    QGuiApplication::clipboard()->setMimeData(Data);
    SetStatus(QStringLiteral("Copied to Clipboard..."));
}

void TReportForm::ButtonEMailClick() {
    FMapi.ShowDialog = true;
    FMapi.Recipients.clear();
    FMapi.Subject = FTitle.toStdString();
    FMapi.Body = PlainText().toStdString();
    FMapi.AttachedFiles.clear();
    FMapi.Send();
}

void TReportForm::ButtonSetupClick() {
    SetStatus(QStringLiteral("Set up printer"));
    QPageSetupDialog Dialog(&Printer(), this);
    Dialog.exec();
    SetStatus(QStringLiteral("Ready"));
}

void TReportForm::ButtonFontClick() {
    SetStatus(QStringLiteral("Select suitable font for report"));
    QFontDialog Dialog(ReportFont(), this);
    if (Dialog.exec() == QDialog::Accepted) {
        SetReportFont(Dialog.selectedFont());
        Rebuild();
    }
    SetStatus(QStringLiteral("Ready"));
}

void TReportForm::ButtonCloseClick() {
    close();
}

} // namespace oravent::gui
