// The data files of the large listings, written into a context's data folder: shared by the benchmarks
// that time a listing's model and those that time its window, so both list the same records.
#pragma once

#include "bench_support.h"
#include "core/context.h"
#include "core/record_file.h"
#include "core/week_codes.h"
#include "records/energy_reading_record.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "records/personnel_record.h"
#include "records/plan_records.h"
#include "records/purchase_order_record.h"
#include "records/revision_record.h"
#include "records/work_report_record.h"
#include "workreports/work_report_file.h"

#include <QDate>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace gim::bench {

// F8: `count` readings of 2,000 meters (four on each of 500 machines) over two years from January 2026,
// in the order they were typed: week by week, the meters in no order within a week.
inline void StoreEnergyReadings(Context& ctx, int count)
{
    constexpr int kMachines = 500;
    constexpr int kMetersPerMachine = 4;
    std::vector<TMachineRecord> machines;
    for (int i = 0; i < kMachines; ++i) {
        TMachineRecord m{};
        m.Codigo = std::string("M").append(std::to_string(10000 + i).substr(1)).c_str();
        m.Denominacion = "Caldera de prueba";
        machines.push_back(m);
    }
    std::vector<TEnergyReadingRecord> readings;
    std::mt19937 rng(7);
    const char* meters[kMetersPerMachine] = {"AGUA", "LUZ", "GAS", "VAPOR"};
    for (int i = 0; i < count; ++i) {
        TEnergyReadingRecord r{};
        r.MachineCode = machines[rng() % kMachines].Codigo;
        r.MeterCode = meters[rng() % kMetersPerMachine];
        r.Date = WeekCodeOf(QDate(2026, 1, 5).addDays(i * 700 / count));
        r.Units = static_cast<std::uint8_t>(rng() % 4);
        r.Reading = static_cast<std::int32_t>(i * 10 + rng() % 100);
        readings.push_back(r);
    }
    StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), machines);
    StoreRecords(ctx, QStringLiteral("PORTAL.ENW"), readings);
}

// The plan control's year: `machines` planned machines with four gamas each (1S, M, M3, S2) and
// `revisions` revisions over the plan's first 104 weeks.
inline void StorePlanControlYear(Context& ctx, int machineCount, int revisions)
{
    std::vector<TMachineRecord> machines;
    std::vector<TOperationRecord> operations;
    std::vector<TPlanRecord> plan;
    std::mt19937 rng(11);
    const char* frequencies[] = {"1S", "M", "M3", "S2"};
    for (int i = 0; i < machineCount; ++i) {
        const std::string code = std::string("M").append(std::to_string(10000 + i).substr(1));
        TMachineRecord m{};
        m.Codigo = code.c_str();
        m.Denominacion = "Maquina de prueba";
        m.Cuenta = "CTA";
        m.Disponible = "SI";
        machines.push_back(m);
        for (const char* f : frequencies) {
            TOperationRecord op{};
            op.MachineCode = code.c_str();
            op.Frequency = f;
            op.State = "P";
            op.Speciality = "MC";
            op.Description = "REVISAR";
            op.Minutes = 30;
            operations.push_back(op);
        }
        TPlanRecord p{};
        p.Code = code.c_str();
        p.StartWeek = static_cast<std::uint16_t>(rng() % 52);
        plan.push_back(p);
    }
    std::vector<TRevisionRecord> history;
    for (int i = 0; i < revisions; ++i) {
        TRevisionRecord r{};
        r.MachineCode = machines[rng() % machines.size()].Codigo;
        r.Frequency = frequencies[rng() % 4];
        r.State = rng() % 5 == 0 ? "P" : "E";
        r.Executor = "B2";
        r.Week = static_cast<std::uint16_t>(rng() % 104);
        r.Time = 25;
        r.Comment = "..";
        history.push_back(r);
    }
    StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), machines);
    StoreRecords(ctx, QStringLiteral("PORTAL.OPR"), operations);
    StoreRecords(ctx, QStringLiteral("PORTAL.PLN"), plan);
    StoreRecords(ctx, QStringLiteral("PORTAL.HRC"), history);
}

// Partes > Informes: 200 people and a year (2026) of `count` daily-report lines, latest first as the sort
// leaves them: work, overtime and leave lines. The firm's file names must be built.
inline void StoreDailyReportYear(Context& ctx, int count)
{
    constexpr int kPeople = 200;
    std::vector<TPersonnelRecord> people;
    for (int p = 0; p < kPeople; ++p) {
        TPersonnelRecord card{};
        card.Matricula = std::to_string(1000 + p).c_str();
        card.Nombre = "Nombre";
        card.Apellidos = "Apellido Apellido";
        people.push_back(card);
    }
    StoreRecords(ctx, ctx.st.PersonnelFileName, people);
    static constexpr const char* kTypes[][2] = {
        {"RM", "C"}, {"VM", "C"}, {"F", "E"}, {"F", "V"}, {"PM", "N"}};
    std::mt19937 rng(11);
    std::vector<TWorkReportRecord> lines;
    for (int i = 0; i < count; ++i) {
        TWorkReportRecord r{};
        const int day = static_cast<int>(static_cast<std::int64_t>(i) * 364 / count);
        const std::string dia =
            "26/" + std::to_string(100 + day / 7 + 1).substr(1) + "/" + std::to_string(day % 7 + 1);
        const auto& type = kTypes[rng() % 5];
        r.dia = dia.c_str();
        r.Matricula = std::to_string(1000 + rng() % kPeople).c_str();
        r.Codigo = "PRENSA01";
        r.Tipo = type[0];
        r.TIPOH = type[1];
        r.Descripcion = "Cambio de rodamiento y alineacion";
        r.Tinter = static_cast<std::int32_t>(30 + rng() % 240);
        lines.push_back(r);
    }
    std::stable_sort(lines.begin(), lines.end(), WorkReportBefore);
    StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), lines);
}

// Compras: `count` order lines in orders of one to five lines, in number order as the sort leaves the
// file, requested, entered and closed over 2024 to 2026.
inline void StorePurchaseOrderLines(Context& ctx, int count)
{
    std::mt19937 rng(11);
    std::vector<TPurchaseOrderRecord> orders(static_cast<std::size_t>(count));
    const char* states[] = {"P", "E", "I"};
    std::int32_t number = 1;
    for (TPurchaseOrderRecord& r : orders) {
        if (rng() % 3 == 0)
            ++number;
        r.Nped = number;
        r.Refer = "REF";
        r.Codigo = "M0001";
        r.Equipo = "ME";
        r.Util = "ROD";
        r.Pieza = std::to_string(rng() % 1000).c_str();
        r.Sumtro = std::to_string(rng() % 200).c_str();
        const std::string week =
            std::to_string(24 + rng() % 3) + "/" + std::to_string(10 + rng() % 42) + "/1";
        r.fechALTA = week.c_str();
        r.fechaENT = week.c_str();
        r.Fechcierr = week.c_str();
        r.Estado = states[rng() % 3];
        r.Albaran = "#";
        r.Cantidad = static_cast<std::int16_t>(1 + rng() % 50);
        r.Entradas = static_cast<std::int16_t>(rng() % 50);
        r.Valor = static_cast<std::int32_t>(rng() % 100000);
    }
    StoreRecords(ctx, QStringLiteral("PORTAL.COM"), orders);
}

} // namespace gim::bench
