#pragma once

#include "corrective/breakdown_operations.h"
#include "corrective/breakdowns.h"
#include "masterdata/masterdata_fixture.h"
#include "records/breakdown_record.h"

#include <QString>
#include <string>
#include <vector>

namespace gim::test {

// The machine register PORTAL with two machines, a plan from 2024 to 2027 and the breakdown commands.
// Today is Monday 7 December 2026, week 50.
class BreakdownsTest : public MasterdataTest
{
protected:
    BreakdownsTest()
    {
        State& st = t.ctx.st;
        st.FirstYear = 24;
        st.LastYear = 27;
        st.PlanWeeks = 4 * 52;
        StoreMachines(
            {Machine("BOMBA01", "Bomba de agua", "BOM"), Machine("PRENSA", "Prensa grande", "PRE")});
        RegisterBreakdowns(registry, t.ctx);
    }

    static TBreakdownRecord Breakdown(const char* code, int week, const char* description = "Fallo",
                                      const char* type = "M", int stop = 0, int intervention = 0,
                                      int delay = 0, const char* day = "1", const char* shift = "M")
    {
        TBreakdownRecord r{};
        r.Code = code;
        r.Week = static_cast<std::uint16_t>(week);
        r.Day = day;
        r.Shift = shift;
        r.Type = type;
        r.Description = description;
        r.Stop = static_cast<std::uint16_t>(stop);
        r.Intervention = static_cast<std::uint16_t>(intervention);
        r.Delay = static_cast<std::uint16_t>(delay);
        r.Operators = 1;
        r.Officer = "-";
        r.ProductionOperator = "-";
        return r;
    }

    void StoreBreakdowns(const std::vector<TBreakdownRecord>& records)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.AVR"), records);
    }
    std::vector<TBreakdownRecord> StoredBreakdowns(const char* name = "PORTAL.AVR")
    {
        return LoadRecords<TBreakdownRecord>(t.ctx, QString::fromLatin1(name), false);
    }
    // The codes of the stored breakdowns, in file order.
    std::vector<std::string> StoredCodes(const char* name = "PORTAL.AVR")
    {
        std::vector<std::string> codes;
        for (const TBreakdownRecord& r : StoredBreakdowns(name))
            codes.emplace_back(r.Code.bytes());
        return codes;
    }
    // The descriptions of the loaded list, in list order.
    std::vector<std::string> ListedDescriptions()
    {
        std::vector<std::string> out;
        for (const BreakdownEntry& e : Breakdowns(t.ctx).BreakdownList)
            out.emplace_back(e.rec.Description.bytes());
        return out;
    }
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }

    const QString kAddCard = QStringLiteral("FICHA DE AVERIAS E INTERVENCIONES ACCIDENTALES  07/12/2026");
};

} // namespace gim::test
