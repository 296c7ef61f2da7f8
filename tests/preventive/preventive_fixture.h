#pragma once

#include "masterdata/masterdata_fixture.h"
#include "masterdata/routine_operations.h"
#include "preventive/plan_loading.h"
#include "preventive/preventive_operations.h"
#include "records/operation_record.h"
#include "records/plan_records.h"
#include "records/selector_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gim::test {

// The environment "PORTAL" of the machine tests with every plan operation registered, the routine
// commands included, and a plan of `years` plan years starting in 2025.
class PreventiveTest : public MasterdataTest
{
protected:
    PreventiveTest()
    {
        RegisterMainWindowOperations(registry);
        RegisterRoutinesAndProcedures(registry, t.ctx);
        RegisterPreventive(registry, t.ctx);
        SetHorizon(25, 27);
    }

    void SetHorizon(std::uint16_t first, std::uint16_t last)
    {
        t.ctx.st.FirstYear = first;
        t.ctx.st.LastYear = last;
        t.ctx.st.PlanWeeks = static_cast<std::uint16_t>((last - first) * 52);
    }

    static TOperationRecord Op(const char* code, const char* frequency, std::uint16_t minutes,
                               const char* description = "REVISAR")
    {
        TOperationRecord r{};
        r.MachineCode = code;
        r.Frequency = frequency;
        r.State = "P";
        r.Speciality = "MC";
        r.Description = description;
        r.Minutes = minutes;
        return r;
    }
    static TPlanRecord Planned(const char* code, std::uint16_t week)
    {
        TPlanRecord p{};
        p.Code = code;
        p.StartWeek = week;
        return p;
    }
    // An agenda of `weeks` weeks with the same minutes in each; record 0 names the firm.
    static std::vector<TAgendaRecord> Agenda(std::size_t weeks, std::uint16_t free = 2400,
                                             std::int16_t planned = 0, std::uint16_t reserved = 600)
    {
        std::vector<TAgendaRecord> agenda(weeks);
        for (TAgendaRecord& a : agenda) {
            a.FreeMinutes = free;
            a.PlannedMinutes = planned;
            a.ReservedMinutes = reserved;
        }
        if (!agenda.empty())
            agenda.front().Note = "FABRICA";
        return agenda;
    }

    void StoreOperations(const std::vector<TOperationRecord>& ops)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.OPR"), ops);
    }
    void StorePlan(const std::vector<TPlanRecord>& plan, const char* name = "PORTAL.PLN")
    {
        StoreRecords(t.ctx, QString::fromLatin1(name), plan);
    }
    void StoreAgenda(const std::vector<TAgendaRecord>& agenda)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.CAR"), agenda);
    }
    void StoreSelector(std::uint8_t minFreq = 3)
    {
        TSelectorRecord s{};
        s.Code = "PORTAL";
        s.AccessCode = "PORTAL";
        s.MinFreq = minFreq;
        StoreRecords(t.ctx, QStringLiteral("SELECTOR.TRB"), std::vector{s});
    }

    std::vector<TPlanRecord> PlanFile()
    {
        return LoadRecords<TPlanRecord>(t.ctx, QStringLiteral("PORTAL.PLN"), false);
    }
    std::vector<TAgendaRecord> AgendaFile()
    {
        return LoadRecords<TAgendaRecord>(t.ctx, QStringLiteral("PORTAL.CAR"), false);
    }
    std::string AgendaBytes() const { return t.ReadFile(QStringLiteral("PORTAL.CAR")); }
    std::string PlanBytes() const { return t.ReadFile(QStringLiteral("PORTAL.PLN")); }
    // "CODE@week" for every entry of the plan file, in file order.
    QStringList PlanEntries()
    {
        QStringList out;
        for (const TPlanRecord& p : PlanFile())
            out << p.Code.str() + QLatin1Char('@') + QString::number(p.StartWeek.get());
        return out;
    }
    // The planned minutes of a range of weeks.
    std::vector<int> PlannedMinutes(std::size_t from, std::size_t to)
    {
        const std::vector<TAgendaRecord> agenda = AgendaFile();
        std::vector<int> out;
        for (std::size_t w = from; w <= to && w < agenda.size(); ++w)
            out.push_back(agenda[w].PlannedMinutes.get());
        return out;
    }
};

} // namespace gim::test
