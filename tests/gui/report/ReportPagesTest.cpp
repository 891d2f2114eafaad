// A report longer than a page, printed to PDF and read back as text: every
// line is on exactly one page, whole, in order.
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "report/TxReporter.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

// The text of each page of Pdf (pdftotext separates pages by form feeds).
bool PdfPageTexts(const QString& Pdf, QStringList& Pages) {
    const QString Tool = QStandardPaths::findExecutable("pdftotext");
    if (Tool.isEmpty()) return false;
    QProcess P;
    P.start(Tool, {"-layout", Pdf, "-"});
    if (!P.waitForFinished(20000) || P.exitCode() != 0) return false;
    Pages = QString::fromUtf8(P.readAllStandardOutput()).split('\f');
    if (!Pages.isEmpty() && Pages.last().trimmed().isEmpty()) Pages.removeLast();
    return true;
}

struct TPageCase {
    int Lines;
    int Words; // per line: three fit on a line, more wrap the line
    int PointSize;
    QPageSize::PageSizeId Paper;
};

// Word W of line L: "L0012c".
QString Word(int L, int W) {
    return QStringLiteral("L%1%2").arg(L, 4, 10, QChar('0')).arg(QChar('a' + W));
}

class ReportPages : public ::testing::TestWithParam<TPageCase> {};

TEST_P(ReportPages, EveryLineIsPrintedOnceOnOnePage) {
    const TPageCase C = GetParam();
    std::vector<TReportLine> Lines;
    QStringList Expected;
    for (int L = 1; L <= C.Lines; ++L) {
        QStringList Words;
        for (int W = 0; W < C.Words; ++W)
            Words << Word(L, W);
        Expected << Words;
        const auto Style = L % 7 == 0 ? TReportStyle::Bold : TReportStyle::Regular;
        Lines.push_back({Style, Words.join(C.Words > 3 ? ' ' : '\t').toStdString()});
    }
    TReportForm F;
    F.SetReportFont(QFont(QGuiApplication::font().family(), C.PointSize));
    F.WriteReport(Lines, std::array<double, 2>{90.0, 155.0});
    F.Printer().setPageSize(QPageSize(C.Paper));
    QTemporaryDir Dir;
    const QString Pdf = Dir.filePath("long.pdf");
    ASSERT_TRUE(F.SaveAsPdf(Pdf));

    QStringList Pages;
    if (!PdfPageTexts(Pdf, Pages)) GTEST_SKIP() << "pdftotext not available";
    ASSERT_GE(Pages.size(), 2) << "the report should need more than one page";
    const QRegularExpression Tag(QStringLiteral("L\\d{4}[a-z]"));
    QStringList Seen;
    for (int Page = 0; Page < Pages.size(); ++Page) {
        int OnPage = 0;
        for (auto M = Tag.globalMatch(Pages[Page]); M.hasNext(); ++OnPage)
            Seen << M.next().captured();
        EXPECT_GT(OnPage, 0) << "page " << Page + 1 << " is empty";
    }
    EXPECT_EQ(Seen.join(' ').toStdString(), Expected.join(' ').toStdString());
}

INSTANTIATE_TEST_SUITE_P(LongReports, ReportPages,
                         ::testing::Values(TPageCase{120, 3, 10, QPageSize::A4},
                                           TPageCase{200, 3, 9, QPageSize::Letter},
                                           TPageCase{90, 3, 17, QPageSize::A5},
                                           // Lines wrapped into several.
                                           TPageCase{40, 7, 20, QPageSize::A6}),
                         [](const auto& Info) {
                             const TPageCase& C = Info.param;
                             return QStringLiteral("%1Lines%2Words%3pt%4")
                                 .arg(C.Lines)
                                 .arg(C.Words)
                                 .arg(C.PointSize)
                                 .arg(QPageSize::key(C.Paper))
                                 .toStdString();
                         });

} // namespace
