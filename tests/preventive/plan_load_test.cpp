#include "preventive_fixture.h"

namespace gim {
namespace {

const QString kWindow = QStringLiteral("CARGA DE MANTENIMIENTO PREVENTIVO");

// Plan years 2025 and 2026 of 40 hours a week, 10 of them reserved; week 7 shows 40000 as signed 16 bits.
class PlanLoadTest : public test::PreventiveTest
{
protected:
    PlanLoadTest()
    {
        agenda[7].FreeMinutes = 40000;
        agenda[10].Note = "PARADA";
        StoreAgenda(agenda);
    }
    void ExpectWeekAndYear(const char* week, const char* year)
    {
        const QString caption = QStringLiteral("PLANIFICACION DE MANTENIMIENTO");
        t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA SEMANA (0 a 52)"), QString::fromLatin1(week))
            .ExpectInput(caption, QStringLiteral("INTRODUZCA AÑO "), QString::fromLatin1(year));
    }
    std::vector<TAgendaRecord> agenda = Agenda(104, 2400, 0, 600);
};

// Five weeks either side of the chosen one (the current row); years outside the horizon show its ends.
TEST_F(PlanLoadTest, TheTableShowsFiveWeeksEitherSideWithinTheAgenda)
{
    struct Case
    {
        const char *week, *year, *shown; // rows, current row, first row, last row
    };
    for (const Case& c : {Case{"2", "2025", "8|2|0\t25\t2400\t0\t600\tFABRICA|7\t25\t-25536\t0\t600\t"},
                          Case{"51", "2026", "6|5|46\t26\t2400\t0\t600\t|51\t26\t2400\t0\t600\t"},
                          Case{"10", "2031", "6|5|46\t26\t2400\t0\t600\t|51\t26\t2400\t0\t600\t"},
                          Case{"3", "2020", "9|3|0\t25\t2400\t0\t600\tFABRICA|8\t25\t2400\t0\t600\t"}}) {
        ExpectWeekAndYear(c.week, c.year);
        t.ui.ExpectCard(kWindow)
            .Inspect([&c](const CardState& state) {
                const auto& rows = state.rows.at(QStringLiteral("RichPLANCAR"));
                const QStringList shown{QString::number(rows.size()),
                                        state.value(QStringLiteral("RichPLANCAR")), rows.front().join(u'\t'),
                                        rows.back().join(u'\t')};
                EXPECT_EQ(shown.join(u'|'), QString::fromLatin1(c.shown));
            })
            .Press(QStringLiteral("BitBtn2"));
        ASSERT_TRUE(RunMenu("Pláning > Recursos > Listar"));
        EXPECT_SCRIPT_DONE(t.ui);
    }
}

// Hours taken past the reserve leave it at 0; a changed reserve is stored without a note (keeping the one
// there); nothing changed writes nothing; a week of the last year is noted in the agenda's last week.
TEST_F(PlanLoadTest, TheAgendaNoteAndReserveAreWrittenInPlace)
{
    struct Case
    {
        const char *week, *year, *prompt, *note, *hours;
        std::size_t record;
        std::string reserve; // bytes 4 and 5 of the record
    };
    for (const Case& c : {Case{"10", "2025", "10 DE 2025", "", "3", 10, "\xA4\x01"},
                          Case{"11", "2025", "11 DE 2025", "GRUA", "20", 11, {"\0\0", 2}},
                          Case{"10", "2027", "51 DE 2026", "FIN", "-1", 103, "\x94\x02"},
                          Case{"5", "2026", "5 DE 2026", "", "0", 57, "\x58\x02"}}) {
        ExpectWeekAndYear(c.week, c.year);
        if (c.record == 57) // from the window's "&MEMO"
            t.ui.ExpectCard(kWindow).Press(QStringLiteral("Button1"));
        t.ui.ExpectInput(QStringLiteral("AGENDA DE PLANING"),
                         QStringLiteral("INTRODUZCA APUNTE SEMANA ") + QString::fromLatin1(c.prompt),
                         QString::fromLatin1(c.note))
            .ExpectInput(QStringLiteral("PREVISION TRABAJOS EXTRAS"), QStringLiteral("RESERVA DE HORAS"),
                         QString::fromLatin1(c.hours));
        ASSERT_TRUE(RunMenu(c.record == 57 ? "Pláning > Recursos > Listar" : "Pláning > Altas > Agenda"));
        EXPECT_SCRIPT_DONE(t.ui);
        std::memcpy(&agenda[c.record].ReservedMinutes, c.reserve.data(), 2);
        if (*c.note)
            agenda[c.record].Note = c.note;
        EXPECT_EQ(AgendaBytes(), Bytes(agenda)) << c.prompt;
    }
}

} // namespace
} // namespace gim
