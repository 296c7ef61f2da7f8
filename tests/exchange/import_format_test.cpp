#include "exchange/import_gateway.h"
#include "platform/report.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

// A line of a table of three fields: a text of width 4 with a default, a word and a date.
struct Probe
{
    QString code = QStringLiteral("dflt");
    std::int64_t minutes = -1;
    QDate date;
    QString Text() const
    {
        return code + QLatin1Char('|') + QString::number(minutes) + QLatin1Char('|') +
               date.toString(Qt::ISODate);
    }
};

// Each stored line goes to `log`, then "closed" when the closing steps run.
ImportTable<Probe> ProbeTable(QStringList& log)
{
    ImportTable<Probe> t;
    ImportField<Probe> code{.number = 1, .width = 4};
    code.store = [](Context&, Probe& p, const ImportFieldValue& v) { p.code = v.text; };
    ImportField<Probe> minutes{
        .number = 2, .kind = ImportFieldKind::Number, .minimum = 0, .maximum = kWordMax};
    minutes.store = [](Context&, Probe& p, const ImportFieldValue& v) { p.minutes = v.number; };
    ImportField<Probe> date{.number = 3, .kind = ImportFieldKind::Date, .convertAbove = 0};
    date.store = [](Context&, Probe& p, const ImportFieldValue& v) { p.date = v.date; };
    t.fields = {code, minutes, date};
    t.add = [&log](Context&, const Probe& p) { return (log << p.Text(), true); };
    t.after = [&log](Context&) { log << QStringLiteral("closed"); };
    return t;
}

TEST(ImportLineRule, FieldsByTabCount)
{
    test::TestContext t;
    QStringList log;
    const auto table = ProbeTable(log);
    const std::pair<const char*, const char*> cases[] = {
        {"x\tAB\t12\t07/12/2026", "AB|12|2026-12-07"},
        {"\tAB\t12", "AB|12|"},                      // a leading TAB: field 1
        {"x\t\t5", "dflt|5|"},                       // two TABs: the default stays
        {"x\tABCDEFG\t1", "ABCD|1|"},                // cut at the width
        {"x\tAB\t65536", "refused"},                 // a word past its range
        {"x\tAB\t1\t31/02/2026", "refused"},         // not a date
        {"x\tAB\t1\t07/12/26\r", "AB|1|2026-12-07"}, // a two-digit year; a CR left by a CRLF text
        {"x\tAB\t1\t07/12/2026\textra", "AB|1|2026-12-07"},
    };
    for (const auto& [line, parsed] : cases) {
        const std::optional<Probe> p = ParseImportLine(t.ctx, table, QString::fromUtf8(line));
        EXPECT_EQ(p ? p->Text() : QStringLiteral("refused"), QString::fromUtf8(parsed)) << line;
    }
}

// A whole number in its target's range, or the line is refused, saying why ("12,5" in a whole-cents field).
TEST(ImportLineRule, NumbersAreWholeAndInRange)
{
    test::TestContext t;
    const char* range = "NÚMERO FUERA DE LÍMITE";
    const char* malformed = "NÚMERO NO VÁLIDO";
    const std::pair<const char*, const char*> cases[] = {{"60", "60"},
                                                         {"", "0"},
                                                         {"65536", range},
                                                         {"-1", range},
                                                         {"99999999999999999999", range},
                                                         {"1,5", malformed},
                                                         {"5.0", malformed},
                                                         {"5 ", malformed},
                                                         {"1e3", malformed},
                                                         {"12,5", malformed}};
    for (const auto& [text, read] : cases) {
        QString reason;
        const auto n =
            ImportNumber(t.ctx, ImportFieldKind::Number, QString::fromUtf8(text), 0, kWordMax, &reason);
        EXPECT_EQ(n ? QString::number(*n) : reason, QString::fromUtf8(read)) << text;
    }
}

// CRLF and LF texts give the same records; a line of the minimum length or shorter is skipped, a date that
// does not convert refuses its own line only; the echo follows the pasted lines after one " " line. Without
// text: the message, and still the closing steps, with no mode code left set.
TEST(ImportGateway, EchoesEveryPastedLineAndGoesOnAfterARefusedOne)
{
    const QString text = QStringLiteral("a\tb\nx\tABC\t12\nx\tCD\t3\t31/02/2026\nx\tEF\t4\t01/02/26\n");
    for (const QString& lineEnd : {QStringLiteral("\n"), QStringLiteral("\r\n")}) {
        test::TestContext t;
        t.ui.ExpectReport(QStringLiteral("Pasarela Imformes Veltrano"));
        QStringList log;
        RunGatewayImport(t.ctx, MakeImportJob(ProbeTable(log)),
                         QString(text).replace(QStringLiteral("\n"), lineEnd));
        EXPECT_EQ(log, (QStringList{"ABC|12|", "EF|4|2026-02-01", "closed"}));
        EXPECT_EQ(
            t.ui.Reports().at(0)->Transcript().toStdString(),
            "[Pasarela Imformes Veltrano]\na\tb\nx\tABC\t12\nx\tCD\t3\t31/02/2026\nx\tEF\t4\t01/02/26\n \n"
            "{10 i}   a\tb\n{10} * x\tABC\t12\n{10 i}   x\tCD\t3\t31/02/2026  FECHA NO VÁLIDA\n"
            "{10} * x\tEF\t4\t01/02/26\n");
        EXPECT_SCRIPT_DONE(t.ui);
    }
    test::TestContext t;
    t.ui.ExpectMessage(QStringLiteral("No hay DATOS en el Portapapeles"));
    QStringList log;
    RunGatewayImport(t.ctx, MakeImportJob(ProbeTable(log)));
    EXPECT_EQ(log, QStringList{"closed"});
    EXPECT_EQ(t.ctx.st.ActionCode + t.ctx.st.OutputCode, QString());
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 1);
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim
