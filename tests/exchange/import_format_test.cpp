#include "exchange/import_gateway.h"
#include "platform/report.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

// A table of three fields: a 4-character text with a default, a word and a date.
struct Probe
{
    QString code = QStringLiteral("dflt");
    std::int64_t minutes = -1;
    QString date;
};

ImportTable<Probe> ProbeTable(std::vector<Probe>& stored)
{
    ImportTable<Probe> t;
    t.minimumLength = 7;
    t.fields = {
        {.number = 1,
         .width = 4,
         .store = [](Context&, Probe& p, const ImportFieldValue& v) { p.code = v.text; }},
        {.number = 2,
         .kind = ImportFieldKind::Number,
         .minimum = 0,
         .maximum = kWordMax,
         .store = [](Context&, Probe& p, const ImportFieldValue& v) { p.minutes = v.number; }},
        {.number = 3,
         .kind = ImportFieldKind::Date,
         .convertAbove = 0,
         .store = [](Context&, Probe& p,
                     const ImportFieldValue& v) { p.date = v.date.toString(Qt::ISODate); }},
    };
    t.add = [&stored](Context&, const Probe& p) {
        stored.push_back(p);
        return true;
    };
    return t;
}

QString Describe(const std::optional<Probe>& p)
{
    if (!p)
        return QStringLiteral("refused");
    return p->code + QLatin1Char('|') + QString::number(p->minutes) + QLatin1Char('|') + p->date;
}

TEST(ImportLineRule, FieldsByTabCount)
{
    test::TestContext t;
    std::vector<Probe> stored;
    const auto table = ProbeTable(stored);
    const struct
    {
        const char* line;
        const char* parsed;
    } cases[] = {
        {"x\tAB\t12\t07/12/2026", "AB|12|2026-12-07"},
        {"\tAB\t12", "AB|12|"},                        // a leading TAB: field 1
        {"x\t\t5", "dflt|5|"},                         // two TABs: the default stays
        {"x\tABCDEFG\t1", "ABCD|1|"},                  // cut at the width
        {"x\tAB\t65536", "refused"},                   // a word past its range
        {"x\tAB\t-1", "refused"},                      //
        {"x\tAB\t1\t31/02/2026", "refused"},           // not a date
        {"x\tAB\t1\t07/12/26", "AB|1|2026-12-07"},     // a two-digit year
        {"x\tAB\t1\t07/12/2026\r", "AB|1|2026-12-07"}, // a CR left by a CRLF text
        {"x\tAB\t1\t07/12/2026\textra", "AB|1|2026-12-07"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(ParseImportLine(t.ctx, table, QString::fromUtf8(c.line))),
                  QString::fromUtf8(c.parsed))
            << c.line;
}

// CRLF and LF texts give the same records; a line of the minimum length or shorter is skipped, a date that
// does not convert refuses its own line only; the echo follows the pasted lines after one " " line.
TEST(ImportGateway, EchoesEveryPastedLineAndGoesOnAfterARefusedOne)
{
    const char* text = "a\tb\nx\tABC\t12\nx\tCD\t3\t31/02/2026\nx\tEF\t4\t01/02/26\n";
    std::vector<QStringList> runs;
    for (const QString& lineEnd : {QStringLiteral("\n"), QStringLiteral("\r\n")}) {
        test::TestContext t;
        t.ui.ExpectReport(QStringLiteral("Pasarela Imformes Veltrano"));
        std::vector<Probe> stored;
        bool closed = false;
        ImportTable<Probe> table = ProbeTable(stored);
        table.after = [&closed](Context&) { closed = true; };
        RunGatewayImport(t.ctx, MakeImportJob(table),
                         QString::fromUtf8(text).replace(QStringLiteral("\n"), lineEnd));
        QStringList run;
        for (const Probe& p : stored)
            run << Describe(p);
        runs.push_back(run);
        EXPECT_TRUE(closed);
        EXPECT_EQ(t.ui.Reports().at(0)->Transcript().toStdString(),
                  QStringLiteral("[Pasarela Imformes Veltrano]\n"
                                 "a\tb\nx\tABC\t12\nx\tCD\t3\t31/02/2026\n"
                                 "x\tEF\t4\t01/02/26\n"
                                 " \n"
                                 "{10 i}   a\tb\n"
                                 "{10} * x\tABC\t12\n"
                                 "{10 i}   x\tCD\t3\t31/02/2026\n"
                                 "{10} * x\tEF\t4\t01/02/26\n")
                      .toStdString());
        EXPECT_SCRIPT_DONE(t.ui);
    }
    EXPECT_EQ(runs[0], (QStringList{"ABC|12|", "EF|4|2026-02-01"}));
    EXPECT_EQ(runs[1], runs[0]);
}

// Without text: the message, no line, but the closing steps run and no mode code stays set.
TEST(ImportGateway, AnEmptyClipboardStillRunsTheClosingSteps)
{
    test::TestContext t;
    t.ui.ExpectMessage(QStringLiteral("No hay DATOS en el Portapapeles"));
    std::vector<Probe> stored;
    bool closed = false;
    ImportTable<Probe> table = ProbeTable(stored);
    table.after = [&closed](Context&) { closed = true; };
    ImportGateway(t.ctx).Manual = false;
    RunGatewayImport(t.ctx, MakeImportJob(table));
    EXPECT_TRUE(closed);
    EXPECT_EQ(t.ctx.st.ActionCode, QString());
    EXPECT_EQ(t.ctx.st.OutputCode, QString());
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 1);
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim
