#pragma once

#include "corrective/planned_repair_operations.h"
#include "corrective/planned_repairs.h"
#include "masterdata/masterdata_fixture.h"
#include "records/planned_repair_record.h"

#include <QString>
#include <string>
#include <vector>

namespace gim::test {

// The machine register PORTAL with two machines, a plan from 2024 to 2027 (PlanWeeks 156, the first week
// of 2027) and the planned-repair commands. Today is Monday 7 December 2026, week 50: absolute week 154.
class PlannedRepairsTest : public MasterdataTest
{
protected:
    PlannedRepairsTest()
    {
        State& st = t.ctx.st;
        st.FirstYear = 24;
        st.LastYear = 27;
        st.PlanWeeks = 3 * 52;
        StoreMachines(
            {Machine("BOMBA01", "Bomba de agua", "BOM"), Machine("PRENSA", "Prensa grande", "PRE")});
        RegisterPlannedRepairs(registry, t.ctx);
    }

    static TPlannedRepairRecord Repair(const char* code, int week, const char* description = "Revisar",
                                       const char* state = "P", const char* specialty = "M", int minutes = 0,
                                       const char* executor = "01/12/2026", const char* order = "")
    {
        TPlannedRepairRecord r{};
        r.Code = code;
        r.Order = order;
        r.Week = static_cast<std::uint16_t>(week);
        r.Specialty = specialty;
        r.Description = QString::fromUtf8(description);
        r.Minutes = static_cast<std::uint16_t>(minutes);
        r.State = state;
        r.Executor = executor;
        return r;
    }

    void StoreRepairs(const std::vector<TPlannedRepairRecord>& records)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.SEM"), records);
    }
    std::vector<TPlannedRepairRecord> StoredRepairs(const char* name = "PORTAL.SEM")
    {
        return LoadRecords<TPlannedRepairRecord>(t.ctx, QString::fromLatin1(name), false);
    }
    // The descriptions of the stored repairs, in file order.
    std::vector<std::string> StoredDescriptions()
    {
        std::vector<std::string> out;
        for (const TPlannedRepairRecord& r : StoredRepairs())
            out.emplace_back(r.Description.bytes());
        return out;
    }
    std::vector<std::string> ListedDescriptions()
    {
        std::vector<std::string> out;
        for (const PlannedRepairEntry& e : PlannedRepairs(t.ctx).PlannedRepairList)
            out.emplace_back(e.rec.Description.bytes());
        return out;
    }
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
};

} // namespace gim::test
