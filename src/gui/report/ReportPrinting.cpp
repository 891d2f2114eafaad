#include "report/ReportPrinting.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <memory>
#include <vector>

#include "report/ReportPages.h"

namespace oravent::gui {

QMarginsF ReportPageMargins(const QFont& ReportFont, QPagedPaintDevice& Device) {
    const QFontMetricsF Fm(ReportFont, &Device);
    return QMarginsF(Fm.horizontalAdvance(QStringLiteral("XXXXXXXXXX")), 6 * Fm.height(), 0, 0);
}

bool PrintReportDocument(const QTextDocument& Doc, const QFont& ReportFont,
                         QPagedPaintDevice& Device) {
    QPainter Painter;
    if (!Painter.begin(&Device)) return false;
    // The painter's origin is the printable area's top left corner.
    const QRect Printable = Device.pageLayout().paintRectPixels(Device.logicalDpiX());
    const QMarginsF Margins = ReportPageMargins(ReportFont, Device);
    const QSizeF Body(qMax(1.0, Printable.width() - Margins.left()),
                      qMax(1.0, Printable.height() - Margins.top()));

    // One long page as wide as the body; the page breaks fall between lines.
    const std::unique_ptr<QTextDocument> Text(Doc.clone());
    QAbstractTextDocumentLayout* Layout = Text->documentLayout();
    Layout->setPaintDevice(&Device);
    Text->setDocumentMargin(0);
    Text->setTextWidth(Body.width());
    struct TPlacedLine {
        QTextLine Line;
        QPointF Origin; // of the line's block
    };
    std::vector<TPlacedLine> Placed;
    std::vector<TLineBox> Boxes;
    for (QTextBlock Block = Text->begin(); Block.isValid(); Block = Block.next()) {
        const QPointF Origin = Layout->blockBoundingRect(Block).topLeft();
        const QTextLayout* Lines = Block.layout();
        for (int I = 0; I < Lines->lineCount(); ++I) {
            const QTextLine Line = Lines->lineAt(I);
            Placed.push_back({Line, Origin});
            Boxes.push_back({Origin.y() + Line.y(), Line.height()});
        }
    }

    const std::vector<TPageSpan> Pages = PaginateLines(Boxes, Body.height());
    Painter.setPen(Qt::black); // the desktop's text colour is black on paper
    for (std::size_t Page = 0; Page < Pages.size(); ++Page) {
        if (Page > 0) Device.newPage();
        Painter.save();
        Painter.translate(Margins.left(), Margins.top() - Pages[Page].Top);
        // Only a line higher than the body reaches past it.
        Painter.setClipRect(QRectF(0, Pages[Page].Top, Body.width(), Body.height()));
        for (std::size_t I = Pages[Page].First; I < Pages[Page].End; ++I)
            Placed[I].Line.draw(&Painter, Placed[I].Origin);
        Painter.restore();
    }
    return Painter.end();
}

bool WriteReportPdf(const QTextDocument& Doc, const QFont& ReportFont, const QString& FileName,
                    const QPageLayout& Layout, const QString& Title) {
    QPdfWriter Pdf(FileName);
    Pdf.setPageLayout(Layout);
    Pdf.setTitle(Title);
    Pdf.setCreator(Title);
    return PrintReportDocument(Doc, ReportFont, Pdf);
}

QString ReportHtml(const QTextDocument& Doc) {
    const QFont Font = Doc.defaultFont();
    QString Html =
        QStringLiteral("<html><body><table style=\"font-family:'%1'; font-size:%2pt\">\n")
            .arg(Font.family().toHtmlEscaped())
            .arg(Font.pointSizeF() > 0 ? Font.pointSizeF() : 10.0);
    for (QTextBlock Block = Doc.begin(); Block.isValid(); Block = Block.next()) {
        const QTextCharFormat Format = Block.begin() != Block.end()
                                           ? Block.begin().fragment().charFormat()
                                           : Block.charFormat();
        const bool Bold = Format.fontWeight() >= QFont::Bold;
        const bool Underline = Format.fontUnderline();
        Html += QStringLiteral("<tr>");
        for (const QString& Cell : Block.text().split(QLatin1Char('\t'))) {
            QString Text = Cell.toHtmlEscaped();
            if (Underline) Text = QStringLiteral("<u>") + Text + QStringLiteral("</u>");
            if (Bold) Text = QStringLiteral("<b>") + Text + QStringLiteral("</b>");
            Html += QStringLiteral("<td>") + Text + QStringLiteral("</td>");
        }
        Html += QStringLiteral("</tr>\n");
    }
    Html += QStringLiteral("</table></body></html>\n");
    return Html;
}

std::vector<double> FitTabStops(const std::vector<TReportLine>& Lines,
                                std::span<const double> Stops, const QFont& Font) {
    QFont BoldFont = Font;
    BoldFont.setBold(true);
    const QFontMetricsF Regular(Font), Bold(BoldFont);
    const double PerPoint = PointsToLayoutUnits(1.0);
    const double Gap = Regular.horizontalAdvance(QStringLiteral("  ")) / PerPoint;
    std::vector<QStringList> Cells;
    std::vector<bool> IsBold;
    for (const TReportLine& L : Lines) {
        Cells.push_back(QString::fromStdString(L.Text).split(QLatin1Char('\t')));
        IsBold.push_back(L.Style != TReportStyle::Regular);
    }
    std::vector<double> Fitted(Stops.begin(), Stops.end());
    double ColumnStart = 0;
    for (std::size_t K = 0; K < Fitted.size(); ++K) {
        // Column K of every line that has a column after it must end before
        // stop K.
        double Widest = -1;
        for (std::size_t L = 0; L < Cells.size(); ++L)
            if (Cells[L].size() > qsizetype(K + 1))
                Widest = std::max(
                    Widest, (IsBold[L] ? Bold : Regular).horizontalAdvance(Cells[L][qsizetype(K)]) /
                                PerPoint);
        if (Widest >= 0) Fitted[K] = std::max(Fitted[K], ColumnStart + Widest + Gap);
        ColumnStart = Fitted[K];
    }
    return Fitted;
}

double PointsToLayoutUnits(double Points) {
    // The text layout scales tab positions by the paint device's resolution
    // over the desktop's logical one, as it does font sizes.
    double Dpi = 96.0;
    if (!QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        if (const QScreen* Screen = QGuiApplication::primaryScreen())
            Dpi = qRound(Screen->logicalDotsPerInchY());
    return Points * Dpi / 72.0;
}

} // namespace oravent::gui
