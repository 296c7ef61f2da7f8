#include "platform/handover.h"
#include "platform/report.h"
#include "platform/report_files.h"
#include "support/test_context.h"

#include "records/record_bytes.h" // readable QString failures
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace gim {
namespace {

// A line built column by column reads as the listing's text: numbers as QString::number writes them, text
// fields decoded from Windows-1252, and each line starts empty after the one before is added.
TEST(ReportLineText, ColumnsNumbersAndFieldsMakeOneLineEach)
{
    ShortString<8> field{};
    field.setBytes("A\xF1o \x80");
    ReportDocument d;
    ReportLineText line;
    line.Tab() << field;
    line.Tab() << std::int64_t{-9223372036854775807 - 1};
    line.Tab() << std::uint16_t{65535} << QLatin1Char('/') << 0 << QLatin1StringView(" h");
    line.AddTo(d);
    line << -42;
    line.Tab().Cp1252(std::string_view("\x80x", 2));
    line.AddTo(d);
    ASSERT_EQ(d.LineCount(), 2);
    EXPECT_EQ(d.LineText(0), QString::fromUtf8("\tAño €\t-9223372036854775808\t65535/0 h"));
    EXPECT_EQ(d.LineText(1), QString::fromUtf8("-42\t€x"));
}

TEST(ReportDocument, WritesLikeAListing)
{
    ReportDocument d(QStringLiteral("MAQUINAS DE PORTAL"));
    d.SetTabStops({20, 80, 340, 440, 510, 580, 650});
    d.SetStyle(FontStyle::Bold);
    d.SetFontSize(13);
    d.AddLine(QStringLiteral("\tFIRMA\tPORTAL"));
    d.AddLine(QStringLiteral("\r"));
    d.AddLine(QStringLiteral("\t\t           LISTADO DE MAQUINAS a 07/12/2026"));
    d.SetFontSize(10);
    d.AddLine(QStringLiteral("\r"));
    d.AddLine(QStringLiteral("Nº\tCODIGO\tDENOMINACION"));
    d.SetStyle(FontStyle::Normal);
    d.AddColumns({QStringLiteral("1"), QStringLiteral("M1"), QStringLiteral("Prensa")});
    d.SetColour(kReportBlue);
    d.AddColumns({QStringLiteral("2"), QStringLiteral("M2"), QStringLiteral("Torno")});

    EXPECT_EQ(d.Text(),
              QStringLiteral("\tFIRMA\tPORTAL\n\n\t\t           LISTADO DE MAQUINAS a 07/12/2026\n\n"
                             "Nº\tCODIGO\tDENOMINACION\n1\tM1\tPrensa\n2\tM2\tTorno"));
    EXPECT_EQ(d.Transcript(), QStringLiteral("[MAQUINAS DE PORTAL]\n"
                                             "TABS: 20 80 340 440 510 580 650\n"
                                             "{13 b}\tFIRMA\tPORTAL\n"
                                             "\n"
                                             "\t\t           LISTADO DE MAQUINAS a 07/12/2026\n"
                                             "{10 b}\n"
                                             "Nº\tCODIGO\tDENOMINACION\n"
                                             "{10}1\tM1\tPrensa\n"
                                             "{10 #0000ff}2\tM2\tTorno\n"));
    // An empty line keeps the style it was written in.
    EXPECT_TRUE(d.StyleOf(d.Lines()[1].runs[0]).bold);
    EXPECT_EQ(d.StyleOf(d.Lines()[3].runs[0]).halfPoints, 20);
}

TEST(ReportDocument, LineBreaksInsideTextStartParagraphs)
{
    struct Case
    {
        const char* text;
        QStringList lines;
    };
    const Case cases[] = {
        {"", {QString()}},
        {"\r", {QString()}},
        {"\r\n", {QString()}},
        {"\r\r", {QString(), QString()}},
        {"a\rb", {QStringLiteral("a"), QStringLiteral("b")}},
        {"a\r\nb\n", {QStringLiteral("a"), QStringLiteral("b")}},
        {"\ra", {QString(), QStringLiteral("a")}},
    };
    for (const Case& c : cases) {
        ReportDocument d;
        d.AddLine(QString::fromLatin1(c.text));
        QStringList lines;
        for (int i = 0; i < d.LineCount(); ++i)
            lines << d.LineText(i);
        EXPECT_EQ(lines, c.lines) << c.text;
    }
}

TEST(ReportDocument, AppendContinuesTheLastParagraphAndMergesEqualStyles)
{
    ReportDocument d;
    d.Append(QStringLiteral("uno"));
    d.Append(QStringLiteral(" dos"));
    d.SetBold(true);
    d.Append(QStringLiteral(" tres"));
    d.Append(QStringLiteral("\rcuatro"));
    ASSERT_EQ(d.LineCount(), 2);
    ASSERT_EQ(d.Lines()[0].runs.size(), 2u);
    EXPECT_EQ(d.Lines()[0].runs[0].text, QStringLiteral("uno dos"));
    EXPECT_EQ(d.Lines()[0].runs[1].text, QStringLiteral(" tres"));
    EXPECT_EQ(d.LineText(1), QStringLiteral("cuatro"));

    // Text appended to an empty line replaces its placeholder run.
    d.SetBold(false);
    d.AddLine(QString());
    d.Append(QStringLiteral("cinco"));
    ASSERT_EQ(d.Lines()[2].runs.size(), 1u);
    EXPECT_FALSE(d.StyleOf(d.Lines()[2].runs[0]).bold);
}

TEST(ReportDocument, PenChangesShareStylesAndSetStyleReplacesAllFour)
{
    ReportDocument d;
    d.SetStyle(FontStyle::Bold | FontStyle::Italic | FontStyle::Underline | FontStyle::StrikeOut);
    d.AddLine(QStringLiteral("a"));
    d.SetStyle(FontStyle::Underline);
    const ReportTextStyle& s = d.CurrentStyle();
    EXPECT_FALSE(s.bold);
    EXPECT_FALSE(s.italic);
    EXPECT_TRUE(s.underline);
    EXPECT_FALSE(s.strikeOut);
    for (int i = 0; i < 1000; ++i) {
        d.SetBold(i % 2 == 0);
        d.AddLine(QStringLiteral("x"));
    }
    EXPECT_LE(d.Styles().size(), 4u); // the style table does not grow with the lines
}

TEST(ReportDocument, TranscriptSummarisesChartsGraphAndPhoto)
{
    ReportDocument d(QStringLiteral("X"));
    d.ShowSheet(ReportSheet::Documento, false);
    d.ShowSheet(ReportSheet::Barras);
    d.barChart.title << QStringLiteral("COMPRAS REPUESTOS  PORTAL      07/12/2026");
    d.barChart.series[0].title = QStringLiteral("Pedidos");
    d.barChart.series[0].points = {{1, 5}, {2, 7.5}};
    d.barChart.series[1].rightAxis = true;
    d.barChart.series[1].points = {{1, 2}};
    d.barChart.series[2].active = false;
    d.ShowSheet(ReportSheet::Tarta);
    d.pie.slices.push_back({QStringLiteral("Averías"), 40, kPieSliceColours[0]});
    d.ShowSheet(ReportSheet::Fotos);
    d.photoFile = QStringLiteral("/d/FOTOS/PORTAL/#M1.jpg");

    EXPECT_EQ(d.Transcript(), QStringLiteral("[X]\n"
                                             "DOCUMENTO OCULTO\n"
                                             "BARRAS:  | COMPRAS REPUESTOS  PORTAL      07/12/2026\n"
                                             "  axes: SEMANAS / MINUTOS / % /  / Al Lado\n"
                                             "  Series1 'Pedidos': 1=5 2=7.5\n"
                                             "  Series2 '' right: 1=2\n"
                                             "  Series3 '' inactive:\n"
                                             "TARTA: \n"
                                             "  'Averías' = 40 #ff0000\n"
                                             "FOTO: /d/FOTOS/PORTAL/#M1.jpg\n"));
}

TEST(ReportDocument, WindowDefaultsOfTheCharts)
{
    const ReportDocument d;
    EXPECT_TRUE(d.SheetVisible(ReportSheet::Documento));
    for (ReportSheet s : {ReportSheet::Grafico, ReportSheet::Barras, ReportSheet::Lineas, ReportSheet::Tarta,
                          ReportSheet::Fotos})
        EXPECT_FALSE(d.SheetVisible(s));
    EXPECT_EQ(d.barChart.leftAxisTitle, QStringLiteral("MINUTOS / %"));
    EXPECT_EQ(d.lineChart.leftAxisTitle, QStringLiteral("MINUTOS/ %"));
    EXPECT_EQ(d.barChart.bottomAxisTitle, QStringLiteral("SEMANAS"));
    const std::uint32_t colours[] = {0xFF0000, 0xFF00FF, 0xFF8040, 0x0000FF, 0x00FF00, 0xC0C0C0};
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(d.barChart.series[k].component, QStringLiteral("Series%1").arg(k + 1));
        EXPECT_EQ(d.lineChart.series[k].component, QStringLiteral("LineSeries%1").arg(k + 1));
        EXPECT_EQ(d.barChart.series[k].colour, colours[k]);
        EXPECT_EQ(d.lineChart.series[k].colour, colours[k]);
    }
    EXPECT_EQ(d.saveFileName, QStringLiteral("*.rtf"));
}

TEST(ReportFiles, CsvBytesForTheSpreadsheet)
{
    ReportDocument d;
    d.AddLine(QStringLiteral("\tCODIGO\tDENOMINACION"));
    d.AddLine(QStringLiteral("1\tM1\tVálvula 1/2\""));
    d.AddLine(QStringLiteral("2\t\"Ojo\"\tCoste 5 €"));
    d.AddLine(QString());
    const QByteArray expected = "\xEF\xBB\xBF"
                                "\tCODIGO\tDENOMINACION\n"
                                "1\tM1\tV\xC3\xA1lvula 1/2\"\n"
                                "2\t\"\"\"Ojo\"\"\"\tCoste 5 \xE2\x82\xAC\n"
                                "\n";
    EXPECT_EQ(CsvBytes(d), expected);
}

TEST(ReportFiles, PlainTextIsUtf8WhenValidElseWindows1252)
{
    EXPECT_EQ(DecodePlainText("M\xC3\xA1quina"), QStringLiteral("Máquina"));
    EXPECT_EQ(DecodePlainText("\xEF\xBB\xBFM\xC3\xA1quina"), QStringLiteral("Máquina"));
    EXPECT_EQ(DecodePlainText("M\xE1quina \x80"), QStringLiteral("Máquina €"));
}

TEST(ReportFiles, ExportFilesAreNewFilesInTheFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("exportar"));
    const QString a = WriteExportFile(folder, QStringLiteral("informe"), QStringLiteral("csv"), "uno");
    const QString b = WriteExportFile(folder, QStringLiteral("informe"), QStringLiteral("csv"), "dos");
    ASSERT_FALSE(a.isEmpty());
    ASSERT_NE(a, b);
    EXPECT_TRUE(QFileInfo(a).fileName().startsWith(QStringLiteral("informe-")));
    EXPECT_TRUE(a.endsWith(QStringLiteral(".csv")));
    QFile f(a);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("uno"));
}

class ExchangeLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder));
        st.CurrentEnvironment = QStringLiteral("PORTAL");
        // The owners of the two items with exchange files name them.
        handover.Map(EditItem::Partes).exchangeFile = QStringLiteral("_PD.txt");
        handover.Map(EditItem::OrdenesT).exchangeFile = QStringLiteral("_OT.txt");
    }
    void Write(const char* name, const QByteArray& bytes)
    {
        QFile f(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("VeltWeb"));
    State st;
    HandoverRegistry handover;
};

TEST_F(ExchangeLoadTest, NoPendingFlagMeansTheOrdinaryLoad)
{
    Write("PORTAL_PD.txt", "x");
    const ExchangeLoad r = LoadExchangeFiles(handover, st.PendingEditFlags, st.CurrentEnvironment, folder);
    EXPECT_FALSE(r.pending);
    EXPECT_FALSE(r.loaded);
}

TEST_F(ExchangeLoadTest, LoadsTheDailyReportsFileInWindows1252)
{
    Write("PORTAL_PD.txt", "1\t000123\tM1\t07/12/2026\tRevisi\xF3n\r\n");
    st.PendingEditFlags[PendingEditIndex(EditItem::Partes)] = 1;
    const ExchangeLoad r = LoadExchangeFiles(handover, st.PendingEditFlags, st.CurrentEnvironment, folder);
    EXPECT_TRUE(r.pending);
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.text, QStringLiteral("1\t000123\tM1\t07/12/2026\tRevisión\r\n"));
    EXPECT_EQ(st.PendingEditFlags[PendingEditIndex(EditItem::Partes)], 1);
}

TEST_F(ExchangeLoadTest, AMissingFileClearsOnlyItsFlag)
{
    Write("PORTAL_OT.txt", "OT");
    st.PendingEditFlags[PendingEditIndex(EditItem::Partes)] = 1;
    st.PendingEditFlags[PendingEditIndex(EditItem::OrdenesT)] = 1;
    const ExchangeLoad r = LoadExchangeFiles(handover, st.PendingEditFlags, st.CurrentEnvironment, folder);
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.text, QStringLiteral("OT"));
    EXPECT_EQ(st.PendingEditFlags[PendingEditIndex(EditItem::Partes)], 0);
    EXPECT_EQ(st.PendingEditFlags[PendingEditIndex(EditItem::OrdenesT)], 1);

    QFile::remove(folder + QStringLiteral("/PORTAL_OT.txt"));
    const ExchangeLoad none = LoadExchangeFiles(handover, st.PendingEditFlags, st.CurrentEnvironment, folder);
    EXPECT_TRUE(none.pending);
    EXPECT_FALSE(none.loaded);
    EXPECT_EQ(st.PendingEditFlags[PendingEditIndex(EditItem::OrdenesT)], 0);
}

// Only the flags of items with an exchange file make the load an exchange load; both set, the later
// item's file is the one loaded.
TEST_F(ExchangeLoadTest, OnlyItemsWithAnExchangeFileArePendingAndTheLaterFileWins)
{
    Write("PORTAL_PD.txt", "PD");
    Write("PORTAL_OT.txt", "OT");
    st.PendingEditFlags[PendingEditIndex(EditItem::Gamas)] = 1;
    EXPECT_FALSE(LoadExchangeFiles(handover, st.PendingEditFlags, st.CurrentEnvironment, folder).pending);
    st.PendingEditFlags[PendingEditIndex(EditItem::Partes)] = 1;
    st.PendingEditFlags[PendingEditIndex(EditItem::OrdenesT)] = 1;
    const ExchangeLoad r = LoadExchangeFiles(handover, st.PendingEditFlags, st.CurrentEnvironment, folder);
    EXPECT_TRUE(r.pending);
    EXPECT_EQ(r.text, QStringLiteral("OT"));
}

} // namespace
} // namespace gim
