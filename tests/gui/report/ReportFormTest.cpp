// The report window filled with the duct report of a sheet solved from its
// defaults: writing, styles and tab columns, the stored font, placement,
// copy, mail hand-over and the printed (PDF) page.
#include <QClipboard>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>

#include "common/AppFolders.h"
#include "common/TxRegistry.h"
#include "controls/TxEntryGrid.h"
#include "duct/DuctSheet.h"
#include "duct/DuctSheetRows.h"
#include "psychro/AirStateText.h"
#include "report/DuctReport.h"
#include "report/ReportPrinting.h"
#include "report/TxReporter.h"

using namespace oravent;
using namespace oravent::gui;

namespace {

// The duct report of a sheet solved from its defaults, with the cell texts a
// metric duct grid shows.
std::vector<TReportLine> DefaultReport() {
    DuctSheet S;
    S.ResetToDefaults();
    S.SolveRectangle();
    S.Iterate();
    TMemCellTable Table(3, 10);
    TEntryGridModel Grid(Table);
    Grid.SetRows(DuctSheetRowTexts());
    for (const auto& U : DuctSheetRowUnits)
        Grid.SetUnits(U.Row, U.Type, U.Base, U.Base, ft_Fixed);
    Grid.SetValue(1, 1, S.Barometer);
    Grid.SetValue(1, 2, AirStateToStr(S.DuctAir, "%0.1f"));
    Grid.SetValue(1, 3, static_cast<long long>(S.kIndex));
    const double Values[] = {S.PRate,           S.Volume,        S.Velocity,
                             S.Diameter * 1000, S.Height * 1000, S.Width * 1000};
    for (int R = 4; R <= 9; ++R)
        Grid.SetValue(1, R, Values[R - 4]);
    return BuildDuctReportLines(DuctReportRows(Table), S);
}

class ReportForm : public ::testing::Test {
protected:
    void SetUp() override {
        TRegistryIniFile(AppRegistryKey()).EraseSection("ReportForm");
        Lines = DefaultReport();
    }
    void Fill(TReportForm& F) { F.WriteReport(Lines, DuctReportTabs); }
    std::vector<TReportLine> Lines;
};

TReportStyle StyleOf(const QTextBlock& B) {
    const QTextCharFormat F = B.begin().fragment().charFormat();
    if (F.fontWeight() < QFont::Bold) return TReportStyle::Regular;
    return F.fontUnderline() ? TReportStyle::BoldUnderline : TReportStyle::Bold;
}

TEST_F(ReportForm, WritingTwiceLeavesOneReportWithStyles) {
    TReportForm F;
    EXPECT_FALSE(F.isVisible());
    Fill(F);
    Fill(F);
    QTextDocument* Doc = F.RichEdit()->document();
    ASSERT_EQ(Doc->blockCount(), 26);
    EXPECT_EQ(F.RichEdit()->textCursor().position(), 0);
    QStringList Expected;
    for (const auto& L : Lines)
        Expected << QString::fromStdString(L.Text);
    EXPECT_EQ(F.PlainText(), Expected.join('\n'));
    EXPECT_FALSE(Doc->isUndoAvailable()); // the owner's writing is no user edit
    int Block = 0;
    for (QTextBlock B = Doc->begin(); B.isValid(); B = B.next(), ++Block) {
        if (!B.text().isEmpty()) {
            EXPECT_EQ(StyleOf(B), Lines[Block].Style) << Block;
        }
    }
}

// Columns start at one position in every line: at the given stops while the
// texts fit before them, further right when the font is too large for them.
TEST_F(ReportForm, TabColumnsAlignInSmallAndLargeFonts) {
    for (int Size : {6, 16}) {
        SCOPED_TRACE(Size);
        TReportForm F;
        F.SetReportFont(QFont(QGuiApplication::font().family(), Size));
        Fill(F);
        F.resize(1400, 700);
        F.show(); // lay the text out
        QTextDocument* Doc = F.RichEdit()->document();
        std::set<int> ColumnX[2];
        for (QTextBlock B = Doc->begin(); B.isValid(); B = B.next()) {
            const auto Tabs = B.blockFormat().tabPositions();
            ASSERT_EQ(Tabs.size(), 3);
            for (int K = 0; K < 3 && Size == 6; ++K)
                EXPECT_DOUBLE_EQ(Tabs[K].position, PointsToLayoutUnits(DuctReportTabs[K]));
            for (int K = 0, Tab = -1; K < 2 && (Tab = B.text().indexOf('\t', Tab + 1)) >= 0; ++K) {
                const QTextLine Line = B.layout()->lineForTextPosition(Tab + 1);
                ASSERT_TRUE(Line.isValid());
                ASSERT_EQ(Line.lineNumber(), 0) << B.text().toStdString(); // no wrapped line
                ColumnX[K].insert(qRound(Line.cursorToX(Tab + 1)));
            }
        }
        EXPECT_EQ(ColumnX[0].size(), 1u);
        EXPECT_EQ(ColumnX[1].size(), 1u);
        const int First = *ColumnX[0].begin();
        const int Stop = qRound(PointsToLayoutUnits(100));
        EXPECT_TRUE(Size == 6 ? First == Stop : First > Stop) << First << " " << Stop;
    }
}

TEST_F(ReportForm, FontIsStoredAndUsedByTheNextWindow) {
    const QString Family = QFontDatabase::families().value(0);
    ASSERT_FALSE(Family.isEmpty());
    int Rebuilds = 0;
    {
        TReportForm F;
        F.SetRebuildHook([&] {
            ++Rebuilds;
            Fill(F);
        });
        Fill(F);
        const int Before = Rebuilds;
        QFont Chosen(Family, 17);
        QTimer::singleShot(0, [&] {
            auto* D = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(D, nullptr);
            EXPECT_EQ(F.StatusText(), "Select suitable font for report");
            D->setCurrentFont(Chosen);
            D->accept();
        });
        F.ActionFont()->trigger();
        EXPECT_EQ(Rebuilds, Before + 1);
        EXPECT_EQ(F.StatusText(), "Ready");
        const QTextBlock Title = F.RichEdit()->document()->begin().next();
        EXPECT_EQ(Title.begin().fragment().charFormat().font().pointSize(), 17);
        F.show();
        F.hide(); // stores the font
    }
    TRegistryIniFile Store(AppRegistryKey());
    EXPECT_EQ(Store.ReadInt("ReportForm", "FontSize", 0), 17);
    EXPECT_EQ(Store.ReadText("ReportForm", "FontName", ""), Family.toStdString());
    std::vector<std::string> Idents;
    Store.ListSectionIdents("ReportForm", Idents);
    EXPECT_NE(std::find(Idents.begin(), Idents.end(), "FontCharSet"), Idents.end());

    // Values written by another program: a charset under the other spelling,
    // an explicit colour (0x00BBGGRR), a size in pixels.
    Store.WriteInt("ReportForm", "FontCharset", 238);
    Store.WriteInt("ReportForm", "FontColor", 0x00336699);
    TReportForm Next;
    EXPECT_EQ(Next.ReportFont().family(), Family);
    EXPECT_EQ(Next.ReportFont().pointSize(), 17);
    EXPECT_EQ(Next.ReportColor(), QColor(0x99, 0x66, 0x33));
    Next.WriteReport(Lines, DuctReportTabs);
    const QTextCharFormat First =
        Next.RichEdit()->document()->begin().next().begin().fragment().charFormat();
    EXPECT_EQ(First.font().family(), Family);
    EXPECT_EQ(First.foreground().color(), QColor(0x99, 0x66, 0x33));
    Next.SaveSettings();
    EXPECT_EQ(Store.ReadInt("ReportForm", "FontCharSet", 0), 238);
    EXPECT_EQ(Store.ReadInt("ReportForm", "FontColor", 0), 0x00336699);

    Store.WriteInt("ReportForm", "FontSize", -20);
    EXPECT_EQ(TReportForm().ReportFont().pixelSize(), 20);
    Store.WriteText("ReportForm", "FontSize", "huge");
    Store.WriteInt("ReportForm", "FontColor", 0);
    Store.WriteReal("ReportForm", "FontName", 1.5); // wrong kind: default family
    TReportForm Odd;
    EXPECT_GT(Odd.ReportFont().pointSize(), 0);
    EXPECT_EQ(Odd.ReportFont().family(), QGuiApplication::font().family());
    EXPECT_EQ(Odd.ReportColor(), QColor(Qt::black));
}

TEST_F(ReportForm, PlacementSizeLimitsCloseAndResizeHook) {
    {
        TReportForm F;
        F.resize(100, 100);
        EXPECT_GE(F.width(), 230);
        EXPECT_GE(F.height(), 320);
        int Calls = 0;
        F.SetRebuildHook([&] { ++Calls; });
        F.show();
        QTest::qWait(10);
        EXPECT_EQ(Calls, 0); // showing is no resize
        F.resize(420, 510);
        QTest::qWait(10);
        EXPECT_EQ(Calls, 1);
        F.move(40, 50);
        Fill(F);
        const QString Text = F.PlainText();
        F.ActionClose()->trigger();
        EXPECT_FALSE(F.isVisible());
        F.show();
        EXPECT_EQ(F.PlainText(), Text);
        F.hide();
    }
    TReportForm Next;
    EXPECT_EQ(Next.size(), QSize(420, 510));
    EXPECT_EQ(Next.pos(), QPoint(40, 50));
    EXPECT_FALSE(Next.isVisible());
}

TEST_F(ReportForm, CopyGivesTabSeparatedTextAndATable) {
    TReportForm F;
    Fill(F);
    F.ActionCopy()->trigger();
    EXPECT_EQ(F.StatusText(), "Copied to Clipboard...");
    const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(Data, nullptr);
    const QStringList Text = Data->text().split('\n');
    ASSERT_EQ(Text.size(), 26);
    EXPECT_EQ(Text[4], "Barometer\t101.325\tkPa");
    EXPECT_EQ(Text[16].split('\t').size(), 3); // Air Density, value, kg/cum
    const QString Html = Data->html();
    EXPECT_TRUE(Html.contains("<td><b><u>Oravent Report</u></b></td>"));
    EXPECT_TRUE(Html.contains("<td>Barometer</td><td>101.325</td><td>kPa</td>"));
    EXPECT_TRUE(Html.contains("<td>Average Temperature</td>"));
    EXPECT_EQ(Html.count("<tr>"), 26);
}

// The printer dialogs open (also with no printer installed, where printing
// goes to a PDF file) and the status tells what the window is doing.
TEST_F(ReportForm, PrinterDialogsShowTheirStatus) {
    struct Case {
        QAction* (TReportForm::*Action)() const;
        const char* During;
    };
    const Case Cases[] = {{&TReportForm::ActionPrint, "Printing report"},
                          {&TReportForm::ActionSetup, "Set up printer"},
                          {&TReportForm::ActionFont, "Select suitable font for report"}};
    TReportForm F;
    Fill(F);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.During);
        QString Seen;
        bool Opened = false;
        QTimer::singleShot(0, [&] {
            if (auto* D = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                Opened = true;
                Seen = F.StatusText();
                D->reject();
            }
        });
        (F.*C.Action)()->trigger();
        EXPECT_TRUE(Opened);
        EXPECT_EQ(Seen, C.During);
        EXPECT_EQ(F.StatusText(), "Ready");
    }
}

// The tool bar's buttons in order, with the hints they show.
TEST_F(ReportForm, ButtonsAndHints) {
    TReportForm F;
    const std::pair<QAction*, const char*> Hints[] = {
        {F.ActionPrint(), "Send report to printer"},  {F.ActionPdf(), "Save report as a PDF file"},
        {F.ActionCopy(), "Copy report to clipboard"}, {F.ActionEMail(), "Send as EMail"},
        {F.ActionSetup(), "Printer setup"},           {F.ActionFont(), "Set report font"}};
    const QList<QAction*> Buttons = F.ToolBar1()->actions();
    ASSERT_EQ(Buttons.size(), 7);
    for (std::size_t I = 0; I < std::size(Hints); ++I) {
        EXPECT_EQ(Buttons[qsizetype(I)], Hints[I].first) << I;
        EXPECT_EQ(Hints[I].first->toolTip().toStdString(), Hints[I].second);
    }
    EXPECT_EQ(Buttons.last(), F.ActionClose());
}

TEST_F(ReportForm, EmailHandsTitleAndPlainTextToTheComposer) {
    QTemporaryDir Dir;
    const QString Script = Dir.filePath("xdg-email");
    std::ofstream(Script.toStdString())
        << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$0.args\"\n";
    QFile::setPermissions(Script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const std::string OldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (Dir.path().toStdString() + ":" + OldPath).c_str(), 1);
    TReportForm F;
    Fill(F);
    F.MapiControl1().Recipients = {"left@over.example"};
    F.ActionEMail()->trigger();
    ::setenv("PATH", OldPath.c_str(), 1);
    QFile Args(Script + ".args");
    ASSERT_TRUE(Args.open(QIODevice::ReadOnly));
    const QList<QByteArray> Got = Args.readAll().split('\0');
    ASSERT_EQ(Got.size(), 6); // five arguments and the empty rest after the last NUL
    EXPECT_EQ(Got[0], "--utf8");
    EXPECT_EQ(Got[1], "--subject");
    EXPECT_EQ(QString::fromUtf8(Got[2]), F.Title());
    EXPECT_EQ(Got[3], "--body");
    EXPECT_EQ(QString::fromUtf8(Got[4]), F.PlainText());
    EXPECT_TRUE(F.MapiControl1().ShowDialog);
}

// A send that fails before the mail program opens says why, in a message
// box over the report window; a send that works shows nothing.
TEST_F(ReportForm, EmailFailureIsShownInTheWindow) {
    struct Case {
        const char* Composer; // the fake xdg-email's script; nullptr: none on PATH
        int Copies;           // of the report in the editor
        const char* Shown;    // part of the message; nullptr: no message
    };
    const Case Cases[] = {
        {"exit 0", 1, nullptr},
        {"exit 4", 1, "The mail program (xdg-email) could not open the message (exit status 4)"},
        {"exit 3", 1, "No mail program was found (xdg-email)"},
        {nullptr, 1, "No mail program was found (xdg-email)"},
        {"exit 0", 400, "The message is too long to hand to the mail program"},
    };
    const std::string OldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (const Case& C : Cases) {
        SCOPED_TRACE(::testing::Message()
                     << (C.Composer ? C.Composer : "none") << " x" << C.Copies);
        QTemporaryDir Dir;
        if (C.Composer) {
            const QString Script = Dir.filePath("xdg-email");
            std::ofstream(Script.toStdString()) << "#!/bin/sh\n" << C.Composer << "\n";
            QFile::setPermissions(Script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        ::setenv("PATH", Dir.path().toUtf8().constData(), 1);
        TReportForm F;
        std::vector<TReportLine> Long;
        for (int I = 0; I < C.Copies; ++I)
            Long.insert(Long.end(), Lines.begin(), Lines.end());
        F.WriteReport(Long, DuctReportTabs);
        QString Shown;
        QTimer Poll;
        Poll.setInterval(10);
        QObject::connect(&Poll, &QTimer::timeout, [&] {
            if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                Shown = Box->text();
                EXPECT_EQ(Box->parentWidget(), &F);
                Box->close();
            }
        });
        Poll.start();
        F.ActionEMail()->trigger();
        ::setenv("PATH", OldPath.c_str(), 1);
        if (C.Shown)
            EXPECT_TRUE(Shown.startsWith(C.Shown)) << Shown.toStdString();
        else
            EXPECT_TRUE(Shown.isEmpty()) << Shown.toStdString();
    }
}

// A page rendered to a grey image by pdftoppm at 72 dpi (one pixel a point).
struct TPageImage {
    int Width = 0, Height = 0;
    QByteArray Pixels;
    bool Dark(int X, int Y) const { return uchar(Pixels[Y * Width + X]) < 128; }
};

bool RenderFirstPage(const QString& Pdf, TPageImage& Page) {
    const QString Tool = QStandardPaths::findExecutable("pdftoppm");
    if (Tool.isEmpty()) return false;
    const QString Out = Pdf + ".page";
    if (QProcess::execute(
            Tool, {"-gray", "-r", "72", "-f", "1", "-l", "1", "-singlefile", Pdf, Out}) != 0)
        return false;
    QFile F(Out + ".pgm");
    if (!F.open(QIODevice::ReadOnly)) return false;
    // Binary PGM: "P5", width, height, maximum, one whitespace, then the bytes.
    QList<QByteArray> Header;
    while (Header.size() < 4) {
        QByteArray Word;
        char C;
        while (F.getChar(&C) && !QChar(C).isSpace())
            Word += C;
        if (!Word.isEmpty()) Header << Word;
        if (F.atEnd()) return false;
    }
    Page.Width = Header[1].toInt();
    Page.Height = Header[2].toInt();
    Page.Pixels = F.readAll();
    return Header[0] == "P5" && Page.Pixels.size() == qsizetype(Page.Width) * Page.Height;
}

TEST_F(ReportForm, PdfPageHasTheReportMargins) {
    TReportForm F;
    QFont Font(QGuiApplication::font().family(), 10);
    F.SetReportFont(Font);
    Fill(F);
    QTemporaryDir Dir;
    const QString Pdf = Dir.filePath("report.pdf");
    ASSERT_TRUE(F.SaveAsPdf(Pdf));
    QFile File(Pdf);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    EXPECT_EQ(File.read(5), "%PDF-");
    EXPECT_FALSE(F.SaveAsPdf(Dir.filePath("missing/folder/report.pdf")));

    TPageImage Page;
    if (!RenderFirstPage(Pdf, Page)) GTEST_SKIP() << "pdftoppm not available";
    int Left = Page.Width, Top = Page.Height, Right = 0;
    for (int Y = 0; Y < Page.Height; ++Y)
        for (int X = 0; X < Page.Width; ++X)
            if (Page.Dark(X, Y)) {
                Left = std::min(Left, X);
                Top = std::min(Top, Y);
                Right = std::max(Right, X);
            }
    // Expected margins in points: the paper's own margins plus the width of
    // ten "X" and six heights of "X" in the report font.
    QPdfWriter Probe(Dir.filePath("probe.pdf"));
    Probe.setPageLayout(F.Printer().pageLayout());
    const double ToPoints = 72.0 / Probe.logicalDpiX();
    const QMarginsF M = ReportPageMargins(Font, Probe);
    const QRectF Paper = F.Printer().pageLayout().paintRect(QPageLayout::Point);
    const double LineHeight = QFontMetricsF(Font, &Probe).lineSpacing() * ToPoints;
    EXPECT_NEAR(Left, Paper.left() + M.left() * ToPoints, 3.0);
    // Line 1 is empty: the first ink is the title on line 2.
    EXPECT_GE(Top, Paper.top() + M.top() * ToPoints + LineHeight - 1);
    EXPECT_LE(Top, Paper.top() + M.top() * ToPoints + 2 * LineHeight);
    EXPECT_LT(Right, Paper.right());
}

} // namespace
