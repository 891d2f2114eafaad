// Layout and output of a report document: tab stops that keep its columns
// apart, printing onto the pages of a printer or a PDF file with the report's
// page rectangle, and the texts the report puts on the clipboard.
//
// Page rectangle: inside the device's printable area, the text starts at a
// left margin of the width of "XXXXXXXXXX" and a top margin of six times the
// height of "X", both measured in the report font on the device; it runs to
// the printable area's right and bottom edges.
#pragma once

#include <QMarginsF>
#include <QString>

#include <span>
#include <vector>

#include "report/DuctReport.h"

class QFont;
class QPagedPaintDevice;
class QPageLayout;
class QTextDocument;

namespace oravent::gui {

// Left and top margin of the report on Device, in its device pixels.
QMarginsF ReportPageMargins(const QFont& ReportFont, QPagedPaintDevice& Device);

// Lays the document out again for Device and paints it page by page; each
// line is drawn once, wholly on one page (a line that would cross a page's
// foot starts the next page). False when painting on the device cannot start (a file that cannot be
// written, a printer that refuses the job).
bool PrintReportDocument(const QTextDocument& Doc, const QFont& ReportFont,
                         QPagedPaintDevice& Device);

// The same pages written to a PDF file, on paper of Layout, with Title as the
// document's title. False when the file cannot be written.
bool WriteReportPdf(const QTextDocument& Doc, const QFont& ReportFont, const QString& FileName,
                    const QPageLayout& Layout, const QString& Title);

// The document as an HTML table for rich-text consumers: one row per line,
// one cell per tab-separated column, each line bold and/or underlined as it
// is shown, so that a spreadsheet or word processor keeps the columns.
QString ReportHtml(const QTextDocument& Doc);

// Tab stops (points) for Lines written in Font: each stop as asked, unless
// the text before it in some line (in that line's weight) would reach it;
// then the stop moves right to that text's end plus two blanks. With a font
// whose texts fit, the stops are exactly the ones asked for; with a larger
// one, every column still starts at one position.
std::vector<double> FitTabStops(const std::vector<TReportLine>& Lines,
                                std::span<const double> Stops, const QFont& Font);

// Tab stop positions for the text layout, from points (the layout's unit is a
// pixel at the desktop's logical resolution).
double PointsToLayoutUnits(double Points);

} // namespace oravent::gui
