// The report window: shows a formatted text report that its owner writes into
// it, and lets the user print it, save it as PDF, copy it, mail it, set up the
// printer and choose the report font. It knows nothing of the content; the
// owner writes the lines (WriteReport) and installs a rebuild hook that the
// window calls when its width or its font changes.
#pragma once

#include <QMainWindow>
#include <QPrinter>

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "report/DuctReport.h"
#include "report/MapiControl.h"

class QAction;
class QLabel;
class QTextCharFormat;
class QTextEdit;
class QToolBar;

namespace oravent::gui {

class TReportForm : public QMainWindow {
    Q_OBJECT
public:
    // Created hidden. Restores its placement and the report font from the
    // settings section "ReportForm".
    explicit TReportForm(QWidget* Parent = nullptr);
    ~TReportForm() override;

    // ---- Content -----------------------------------------------------------
    // Replaces the report: clears the editor, sets the tab stops (points;
    // moved right only where a column's text in the report font would reach
    // them, see FitTabStops), writes each line in the report font with its
    // style and puts the caret back at the top.
    void WriteReport(const std::vector<TReportLine>& Lines, std::span<const double> TabStops);
    // Tab stops of the paragraph at the caret, in points (count = size).
    void SetTabs(std::span<const double> Points);
    // The owner's report writer; called on resize and after a font change.
    void SetRebuildHook(std::function<void()> Hook) { FRebuildHook = std::move(Hook); }
    bool HasRebuildHook() const { return static_cast<bool>(FRebuildHook); }

    QTextEdit* RichEdit() const { return FRichEdit; }
    // The editor's text, lines separated by "\n", tabs kept.
    QString PlainText() const;

    // ---- Report font (stored at deactivation and when hidden) ---------------
    QFont ReportFont() const;
    // Font chosen by the user (what Font does after its dialog).
    void SetReportFont(const QFont& Font);
    QColor ReportColor() const;

    // Print job name and mail subject: the application's display name.
    QString Title() const { return FTitle; }
    QString StatusText() const;
    TMapiControl& MapiControl1() { return FMapi; }
    // The printer, set up on first use (the print system is slow to load).
    QPrinter& Printer();

    // ---- Commands ------------------------------------------------------------
    // Prints the whole report on Printer's pages; false when printing could
    // not start.
    bool PrintTo(QPrinter& Printer);
    // Writes the pages a print would give (paper as set up) to a PDF file;
    // false when the file cannot be written.
    bool SaveAsPdf(const QString& FileName);
    // Writes the placement and the four font values.
    void SaveSettings();

    QAction* ActionPrint() const { return FActPrint; }
    QAction* ActionPdf() const { return FActPdf; }
    QAction* ActionCopy() const { return FActCopy; }
    QAction* ActionEMail() const { return FActEMail; }
    QAction* ActionSetup() const { return FActSetup; }
    QAction* ActionFont() const { return FActFont; }
    QAction* ActionClose() const { return FActClose; }
    QToolBar* ToolBar1() const { return FToolBar; }

public slots:
    void ButtonPrintClick();
    void ButtonPdfClick();
    void ButtonCopyClick();
    void ButtonEMailClick();
    void ButtonSetupClick();
    void ButtonFontClick();
    void ButtonCloseClick();

protected:
    bool event(QEvent* E) override;
    void resizeEvent(QResizeEvent* E) override;
    void hideEvent(QHideEvent* E) override;
    bool eventFilter(QObject* Watched, QEvent* E) override;

private:
    class TBoxReporter;
    QAction* AddButton(const QString& Caption, const QString& Hint, void (TReportForm::*Slot)());
    void SetStatus(const QString& Text);
    void ReadFont();
    void WriteFont();
    void ApplyReportColor();
    QTextCharFormat LineFormat(TReportStyle Style) const;
    void Rebuild();
    // Takes an access key (Alt+letter or digit) meant for this window; true
    // when E was one.
    bool AccessKeyEvent(QEvent* E);

    QToolBar* FToolBar = nullptr;
    QWidget* FTabPanel = nullptr;
    QTextEdit* FRichEdit = nullptr;
    QLabel* FStatus = nullptr;
    QAction *FActPrint = nullptr, *FActPdf = nullptr, *FActCopy = nullptr, *FActEMail = nullptr,
            *FActSetup = nullptr, *FActFont = nullptr, *FActClose = nullptr;
    QString FTitle;
    std::function<void()> FRebuildHook;
    std::unique_ptr<QPrinter> FPrinter;
    TMapiControl FMapi;
    std::unique_ptr<TBoxReporter> FBoxReporter;
    // "FontColor" as stored: a colour value 0x00BBGGRR, or a system colour
    // (high bit set), which means the desktop's text colour.
    int FFontColor;
    int FFontCharSet = 1;
};

} // namespace oravent::gui
