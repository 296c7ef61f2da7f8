#pragma once

#include "corrective/corrective_operations.h"
#include "corrective/work_orders.h"
#include "masterdata/masterdata_fixture.h"
#include "records/work_order_record.h"
#include "records/work_report_record.h"

#include <cstring>
#include <vector>

namespace gim::test {

// Environment "PORTAL" with machines M1 "Prensa" and M2 "Torno"; the clock stands at Monday 7 December
// 2026 (week code "26/50/1"), 10:05.
class CorrectiveTest : public MasterdataTest
{
protected:
    CorrectiveTest()
    {
        RegisterCorrective(registry, t.ctx);
        StoreMachines({Machine("M1", "Prensa"), Machine("M2", "Torno")});
    }

    static TWorkOrderRecord Order(int number, const char* state, const char* machine = "M1",
                                  const char* notice = "26/49/1", const char* noticeHour = "8:00",
                                  const char* description = "Fuga de aceite")
    {
        TWorkOrderRecord r{};
        r.Number = number;
        r.Description = QString::fromUtf8(description);
        r.Requester = QStringLiteral("Producción");
        r.NoticeDate = notice;
        r.NoticeHour = noticeHour;
        r.Machine = machine;
        r.State = state;
        r.Type = "P";
        return r;
    }
    static TWorkReportRecord ReportLine(const char* order, const char* day, int minutes)
    {
        TWorkReportRecord r{};
        r.Matricula = "000001";
        r.Codigo = "M1";
        r.Orden = order;
        r.dia = day;
        r.Tinter = minutes;
        return r;
    }

    void StoreOrders(const std::vector<TWorkOrderRecord>& orders, const char* name = "PORTAL.OTR")
    {
        StoreRecords(t.ctx, QString::fromLatin1(name), orders);
    }
    std::vector<TWorkOrderRecord> Orders(const char* name = "PORTAL.OTR") const
    {
        const std::string bytes = t.ReadFile(QString::fromLatin1(name));
        std::vector<TWorkOrderRecord> out(bytes.size() / sizeof(TWorkOrderRecord));
        if (!out.empty())
            std::memcpy(out.data(), bytes.data(), out.size() * sizeof(TWorkOrderRecord));
        return out;
    }
    // The daily-report lines the command sees.
    void SetReportLines(std::vector<TWorkReportRecord> lines)
    {
        std::vector<ListEntry<TWorkReportRecord>>& entries = t.ctx.st.WorkReportList;
        entries.clear();
        for (std::size_t i = 0; i < lines.size(); ++i)
            entries.push_back({lines[i], static_cast<std::uint32_t>(i)});
    }
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
};

} // namespace gim::test
