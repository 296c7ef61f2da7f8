#pragma once

#include "preventive_fixture.h"
#include "records/energy_reading_record.h"

namespace gim::test {

inline TEnergyReadingRecord Reading(const char* meter, const QString& date, std::int32_t value,
                                    std::uint8_t units, const char* machine = "01-001")
{
    TEnergyReadingRecord r{};
    r.MachineCode = machine;
    r.MeterCode = meter;
    r.Date = date;
    r.Units = units;
    r.Reading = value;
    return r;
}

// The plan's environment with machines 01-001 "Prensa" and 02-002 "Torno".
class EnergyTest : public PreventiveTest
{
protected:
    EnergyTest() { StoreMachines({Machine("01-001", "Prensa"), Machine("02-002", "Torno")}); }
    void Store(const std::vector<TEnergyReadingRecord>& r)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.ENW"), r);
    }
};

} // namespace gim::test
