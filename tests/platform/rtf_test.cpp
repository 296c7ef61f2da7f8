#include "platform/report.h"
#include "platform/report_files.h"
#include "platform/rtf.h"

#include "records/record_bytes.h" // readable QString failures
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace gim {
namespace {

QString DataFile(const char* name)
{
    return QStringLiteral(GIM_TEST_DATA_DIR "/") + QLatin1String(name);
}

// Every run attribute, paragraph setting and kind of character the writer has to carry.
ReportDocument RichSample()
{
    ReportDocument d(QStringLiteral("PRUEBA"));
    d.SetTabStops({20, 80, 340});
    d.SetFontSize(13);
    d.SetStyle(FontStyle::Bold);
    d.AddLine(QStringLiteral("\tPORTAL\tMÁQUINAS a 07/12/2026"));
    d.SetStyle(FontStyle::Normal);
    d.SetFontSize(10);
    d.AddLine(QStringLiteral("\r"));
    d.SetStyle(FontStyle::Italic);
    d.AddLine(QStringLiteral("cursiva: ñandú, pingüino, ¿qué? ¡sí!"));
    d.SetStyle(FontStyle::Underline);
    d.AddLine(QStringLiteral("subrayado"));
    d.SetStyle(FontStyle::StrikeOut);
    d.AddLine(QStringLiteral("tachado"));
    d.SetStyle(FontStyle::Bold | FontStyle::Italic | FontStyle::Underline | FontStyle::StrikeOut);
    d.SetColour(kReportRed);
    d.AddLine(QStringLiteral("todo junto en rojo"));
    d.SetStyle(FontStyle::Normal);
    d.SetColour(kReportBlue);
    d.AddColumns({QStringLiteral("1"), QStringLiteral("M1"), QStringLiteral("Coste 1.234,50 €"),
                  QStringLiteral("{llaves} y \\barra")});
    d.SetColour(kReportOlive);
    d.SetFontName(QStringLiteral("Courier New"));
    d.SetFontHalfPoints(17);
    d.AddLine(QStringLiteral("8,5 puntos · Ω fuera de la página"));
    d.SetFontName(QStringLiteral("Arial"));
    d.SetFontSize(10);
    d.SetColour(kReportBlack);
    d.AddLine(QStringLiteral("varios "));
    d.SetBold(true);
    d.Append(QStringLiteral("estilos "));
    d.SetBold(false);
    d.SetColour(kReportGreen);
    d.Append(QStringLiteral("en una línea"));
    d.SetColour(kReportBlack);
    d.SetAlignment(ReportAlignment::Center);
    d.AddLine(QStringLiteral("centrado"));
    d.SetAlignment(ReportAlignment::Right);
    d.AddLine(QStringLiteral("derecha"));
    d.SetAlignment(ReportAlignment::Justify);
    d.SetIndents(36, -18);
    d.SetBullet(true);
    d.AddLine(QStringLiteral("punto con sangría"));
    d.SetBullet(false);
    d.SetIndents(0, 0);
    d.SetAlignment(ReportAlignment::Left);
    d.SetTabStops({5, 65});
    d.AddLine(QStringLiteral("\fsalto\x01"));
    d.AddLine(QString());
    return d;
}

TEST(RtfWriter, WritesTablesStylesTabsAndEscapesByteForByte)
{
    ReportDocument d(QStringLiteral("PRUEBA"));
    d.SetTabStops({20, 80});
    d.SetFontSize(13);
    d.SetBold(true);
    d.AddLine(QStringLiteral("\tPORTAL\tMÁQUINAS 5 €"));
    d.SetStyle(FontStyle::Normal);
    d.SetFontSize(10);
    d.AddLine(QStringLiteral("\r"));
    d.SetColour(kReportBlue);
    d.AddLine(QStringLiteral("1\tM1\t{x}\\y Ω"));

    const QByteArray expected =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\uc1\\pard\\tx400\\tx1600 \\f0\\fs26\\cf1\\b \\tab PORTAL\\tab M\\'c1QUINAS 5 "
        "\\'80\\par\r\n"
        "\\fs20\\b0 \\par\r\n"
        "\\cf2 1\\tab M1\\tab \\{x\\}\\\\y \\u937?\\par\r\n"
        "}\r\n";
    EXPECT_EQ(WriteRtf(d), expected);
}

TEST(RtfWriter, WritesParagraphSettingsOnlyWhenTheyChange)
{
    ReportDocument d;
    d.AddLine(QStringLiteral("a"));
    d.AddLine(QStringLiteral("b"));
    d.SetAlignment(ReportAlignment::Center);
    d.SetIndents(10, -5);
    d.SetBullet(true);
    d.AddLine(QStringLiteral("c"));
    const QByteArray rtf = WriteRtf(d);
    EXPECT_TRUE(rtf.contains("\\pard \\f0\\fs20\\cf1 a\\par\r\nb\\par\r\n"));
    EXPECT_TRUE(rtf.contains("\\pard\\qc\\li200\\fi-100{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'95}}"
                             "{\\pntext \\'95\\tab }c\\par\r\n"));
}

TEST(RtfRoundTrip, EveryStyleTabAccentAndEuroSurvivesSaveAndLoad)
{
    const ReportDocument written = RichSample();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("informe.rtf"));
    ASSERT_TRUE(SaveReportRtf(path, written));

    ReportDocument loaded(QStringLiteral("OTRA"));
    ASSERT_TRUE(LoadReportFile(path, loaded));
    EXPECT_TRUE(loaded.SameText(written)) << loaded.Transcript().toStdString() << "\n---\n"
                                          << written.Transcript().toStdString();
    EXPECT_EQ(loaded.Transcript().section(QLatin1Char('\n'), 1),
              written.Transcript().section(QLatin1Char('\n'), 1));
    EXPECT_EQ(loaded.caption, QStringLiteral("OTRA")); // loading replaces the text, not the window

    // Saved again, the bytes are the same: nothing is lost or reordered on the way.
    EXPECT_EQ(WriteRtf(loaded), WriteRtf(written));
}

TEST(RtfReader, ReadsAWordProcessorFile)
{
    QFile f(DataFile("word_processor.rtf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ReportDocument d;
    ASSERT_TRUE(ReadRtf(f.readAll(), d));

    ASSERT_EQ(d.LineCount(), 6) << d.Transcript().toStdString();
    EXPECT_EQ(d.LineText(0), QStringLiteral("Informe de revisión"));
    EXPECT_EQ(d.LineText(1), QStringLiteral("Máquina:\tPRENSA-01\tCoste: 120 €"));
    EXPECT_EQ(d.LineText(2), QStringLiteral("Centrado en azul"));
    EXPECT_EQ(d.LineText(3), QStringLiteral("Tachado y subrayado€ y —"));
    EXPECT_EQ(d.LineText(4), QStringLiteral("enlace")); // a field shows its result, not its instruction
    EXPECT_EQ(d.LineText(5), QString());                // bookmark and picture leave an empty line

    const ReportLine& title = d.Lines()[0];
    ASSERT_EQ(title.runs.size(), 1u);
    const ReportTextStyle& t = d.StyleOf(title.runs[0]);
    EXPECT_EQ(t.fontName, QStringLiteral("Liberation Sans")); // the alternative name is skipped
    EXPECT_EQ(t.halfPoints, 28);
    EXPECT_TRUE(t.bold);
    EXPECT_EQ(d.ParagraphOf(title).tabStops, (std::vector<int>{1134, 2268}));

    const ReportTextStyle& blue = d.StyleOf(d.Lines()[2].runs[0]);
    EXPECT_TRUE(blue.italic);
    EXPECT_EQ(blue.colour, kReportBlue);
    EXPECT_EQ(d.ParagraphOf(d.Lines()[2]).alignment, ReportAlignment::Center);
    EXPECT_TRUE(d.ParagraphOf(d.Lines()[2]).tabStops.empty()); // \pard dropped the tabs

    const ReportLine& mixed = d.Lines()[3];
    ASSERT_EQ(mixed.runs.size(), 2u);
    const ReportTextStyle& red = d.StyleOf(mixed.runs[0]);
    EXPECT_TRUE(red.underline);
    EXPECT_TRUE(red.strikeOut);
    EXPECT_EQ(red.colour, kReportRed);
    EXPECT_FALSE(d.StyleOf(mixed.runs[1]).underline);
    EXPECT_EQ(d.ParagraphOf(mixed).leftIndent, 720);
    EXPECT_EQ(d.ParagraphOf(mixed).firstIndent, -360);
    EXPECT_TRUE(d.ParagraphOf(mixed).bullet);
}

TEST(RtfReader, DecidesByContentNotByName)
{
    ReportDocument d;
    ASSERT_TRUE(LoadReportFile(DataFile("plain_named.rtf"), d));
    // Windows-1252 plain text despite the extension: read line by line, accents intact.
    ASSERT_EQ(d.LineCount(), 3);
    EXPECT_EQ(d.LineText(0), QStringLiteral("M1\tPrensa hidráulica"));
    EXPECT_EQ(d.LineText(1), QStringLiteral("M2\tTorno de 1.500 €"));
    EXPECT_EQ(d.LineText(2), QStringLiteral("ALMACEN_\tALMACÉN REPUESTOS Y MATERIALES"));

    EXPECT_FALSE(LooksLikeRtf("M1\t{\\rtf1"));
    EXPECT_TRUE(LooksLikeRtf("\xEF\xBB\xBF \r\n{\\rtf1\\ansi}"));
    ReportDocument untouched;
    untouched.AddLine(QStringLiteral("sigue"));
    EXPECT_FALSE(ReadRtf("texto", untouched));
    EXPECT_EQ(untouched.Text(), QStringLiteral("sigue"));
}

TEST(RtfReader, HandlesUnicodeFallbacksHexAndUnbalancedInput)
{
    ReportDocument d;
    ASSERT_TRUE(ReadRtf("{\\rtf1\\ansi\\uc2 a\\u8364xyb\\uc0\\u-3933c\\'e9\\par d", d));
    ASSERT_EQ(d.LineCount(), 2);
    EXPECT_EQ(d.LineText(0), QStringLiteral("a€b") + QChar(0xF0A3) + QStringLiteral("cé"));
    EXPECT_EQ(d.LineText(1), QStringLiteral("d")); // text after the last \par, without a closing brace
}

TEST(RtfReader, SurvivesBrokenFiles)
{
    const char* const broken[] = {
        "{\\rtf1{\\fonttbl{\\f0 Ari",
        "{\\rtf1 a\\'",
        "{\\rtf1 a\\'4",
        "{\\rtf1 \\u",
        "{\\rtf1 \\u-",
        "{\\rtf1}}}}} b",
        "{\\rtf1{\\*\\pn\\pnlvlblt",
        "{\\rtf1\\bin99999 x",
        "{\\rtf1{\\colortbl\\red300;}\\cf7 x\\fs-4 y\\f99 z\\par",
        "{\\rtf1\\uc9\\u65",
        "{\\rtf1\\tx99999999999999999999 \\",
    };
    for (const char* bytes : broken) {
        ReportDocument d;
        EXPECT_TRUE(ReadRtf(QByteArray(bytes), d)) << bytes;
    }
    ReportDocument d;
    ASSERT_TRUE(ReadRtf("{\\rtf1{\\colortbl\\red300;}\\cf7 x\\fs-4 y\\f99 z\\par", d));
    EXPECT_EQ(d.LineText(0), QStringLiteral("xyz")); // unknown colour, size and font fall back to defaults
    EXPECT_EQ(d.StyleOf(d.Lines()[0].runs[0]).colour, kReportBlack);
}

TEST(RtfReader, KeepsThePenOfTheDocument)
{
    ReportDocument d;
    d.SetFontSize(8);
    d.SetColour(kReportRed);
    d.SetTabStops({10});
    ASSERT_TRUE(ReadRtf("{\\rtf1{\\fonttbl\\f0 Times;}\\f0\\fs40\\b grande\\par}", d));
    EXPECT_EQ(d.CurrentStyle().halfPoints, 16);
    EXPECT_EQ(d.CurrentStyle().colour, kReportRed);
    EXPECT_EQ(d.CurrentParagraph().tabStops, std::vector<int>{200});
    EXPECT_EQ(d.StyleOf(d.Lines()[0].runs[0]).fontName, QStringLiteral("Times"));
}

} // namespace
} // namespace gim
