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

#include <algorithm>
#include <memory>

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

    const std::unique_ptr<QTextDocument> Pages(Doc.clone());
    Pages->documentLayout()->setPaintDevice(&Device);
    Pages->setDocumentMargin(0);
    Pages->setPageSize(Body);
    const int Count = Pages->pageCount();
    for (int Page = 0; Page < Count; ++Page) {
        if (Page > 0) Device.newPage();
        Painter.save();
        Painter.translate(Margins.left(), Margins.top() - Page * Body.height());
        const QRectF Clip(0, Page * Body.height(), Body.width(), Body.height());
        Painter.setClipRect(Clip);
        QAbstractTextDocumentLayout::PaintContext Context;
        Context.clip = Clip;
        Context.palette.setColor(QPalette::Text, Qt::black);
        Pages->documentLayout()->draw(&Painter, Context);
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
