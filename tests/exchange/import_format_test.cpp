#include "exchange/import_gateway.h"
#include "platform/report.h"
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

} // namespace
} // namespace gim
