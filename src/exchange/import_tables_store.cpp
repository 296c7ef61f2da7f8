#include "exchange/import_tables_store.h"

#include "core/week_codes.h"
#include "exchange/import_fields.h"
#include "preventive/energy_readings.h"
#include "preventive/predictive.h"
#include "store/purchase_orders.h"
#include "store/spare_part_browse.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"

namespace gim {

namespace {

// A measurement line: the week and year of its date, joined into the absolute week once the line is read.
struct MeasurementLine
{
    TPredictiveRecord rec{};
    int year = 0;
    int week = 0;
};

// A date always given as a date: its year (since 2000) and week of the year.
template <typename Line> ImportField<Line> DateWeekField(int number, void (*put)(Line&, const WeekParts&))
{
    return {
        .number = number,
        .kind = ImportFieldKind::Date,
        .width = 12,
        .store = [put](Context&, Line& line, const ImportFieldValue& v) { put(line, WeekPartsOf(v.date)); }};
}

} // namespace

ImportJob MovementImportFormat()
{
    using L = TMovementInput;
    ImportTable<L> t;
    t.fields = {
        TextField<L>(
            1, [](L & l) -> auto& { return l.Movement.Codigo; }),
        TextField<L>(
            2, [](L & l) -> auto& { return l.Movement.Equipo; }),
        TextField<L>(
            3, [](L & l) -> auto& { return l.Movement.Util; }),
        TextField<L>(
            4, [](L & l) -> auto& { return l.Movement.Pieza; }),
        TextField<L>(
            5, [](L & l) -> auto& { return l.Movement.Destination; }),
        DateWeekField<L>(6,
                         [](L& l, const WeekParts& p) {
                             l.Year = static_cast<std::uint16_t>(p.year);
                             l.Week = static_cast<std::uint16_t>(p.week);
                         }),
        TextField<L>(
            7, [](L & l) -> auto& { return l.Movement.User; }),
        // The sign of an exit is the destination's: the units must turn either way.
        NumberField<L>(
            8, [](L & l) -> auto& { return l.Movement.Quantity; }, -kInt32Max, kInt32Max),
        NumberField<L>(
            9, [](L & l) -> auto& { return l.Movement.UnitValue; }, kInt32Min, kInt32Max),
    };
    t.complete = [](Context& ctx, L& l) {
        l.Movement.AbsoluteWeek = AbsoluteWeekByte(ctx.st, l.Year, l.Week);
        return true;
    };
    t.before = LoadSparePartList;
    // Only a movement booked on its part counts as added.
    t.add = [](Context& ctx, const L& l) { return BookImportedMovement(ctx, l); };
    t.after = FreeSparePartList;
    return MakeImportJob(std::move(t));
}

ImportJob PredictiveImportFormat()
{
    using L = MeasurementLine;
    ImportTable<L> t;
    t.fields = {
        TextField<L>(
            1, [](L & l) -> auto& { return l.rec.Codigo; }),
        TextField<L>(
            2, [](L & l) -> auto& { return l.rec.FREC; }),
        TextField<L>(
            3, [](L & l) -> auto& { return l.rec.Espec; }),
        TextField<L>(
            4, [](L & l) -> auto& { return l.rec.Pos; }),
        TextField<L>(
            5, [](L & l) -> auto& { return l.rec.Ejecu; }),
        DateWeekField<L>(6,
                         [](L& l, const WeekParts& p) {
                             l.year = p.year;
                             l.week = p.week;
                         }),
        NumberField<L>(
            7, [](L & l) -> auto& { return l.rec.Medida1; }, kInt32Min, kInt32Max),
        NumberField<L>(
            8, [](L & l) -> auto& { return l.rec.Medida2; }, kInt32Min, kInt32Max),
        TextField<L>(
            9, [](L & l) -> auto& { return l.rec.Descrip; }),
    };
    t.complete = [](Context& ctx, L& l) {
        l.rec.Semana = AbsoluteWeek(ctx.st, l.year, l.week);
        return true;
    };
    t.add = [](Context& ctx, const L& l) { return AddImportedMeasurement(ctx, l.rec); };
    t.sort = RewritePredictiveFile;
    return MakeImportJob(std::move(t));
}

ImportJob EnergyImportFormat()
{
    using R = TEnergyReadingRecord;
    ImportTable<R> t;
    t.fields = {
        TextField<R>(
            1, [](R & r) -> auto& { return r.MachineCode; }),
        TextField<R>(
            2, [](R & r) -> auto& { return r.MeterCode; }),
        {.number = 3,
         .kind = ImportFieldKind::Date,
         .width = 12,
         .convertAbove = 7,
         .store = [](Context&, R& r,
                     const ImportFieldValue& v) { r.Date = v.date.isValid() ? WeekCodeOf(v.date) : v.text; }},
        NumberField<R>(
            4, [](R & r) -> auto& { return r.Reading; }, kInt32Min, kInt32Max),
        NumberField<R>(
            5, [](R & r) -> auto& { return r.Units; }, 0, kByteMax),
    };
    t.add = [](Context& ctx, const R& r) { return AddImportedEnergyReading(ctx, r); };
    t.sort = SortEnergyReadings;
    return MakeImportJob(std::move(t));
}

ImportJob PurchaseOrderImportFormat()
{
    using R = TPurchaseOrderRecord;
    ImportTable<R> t;
    const auto date = [](int number, auto get) {
        return ImportField<R>{
            .number = number,
            .kind = ImportFieldKind::Date,
            .store = [get](Context&, R& r, const ImportFieldValue& v) { get(r) = WeekCodeOf(v.date); }};
    };
    t.fields = {
        NumberField<R>(
            1, [](R & r) -> auto& { return r.Nped; }, kInt32Min, kInt32Max),
        TextField<R>(
            2, [](R & r) -> auto& { return r.Refer; }),
        TextField<R>(
            3, [](R & r) -> auto& { return r.Codigo; }),
        TextField<R>(
            4, [](R & r) -> auto& { return r.Equipo; }),
        TextField<R>(
            5, [](R & r) -> auto& { return r.Util; }),
        TextField<R>(
            6, [](R & r) -> auto& { return r.Pieza; }),
        TextField<R>(
            7, [](R & r) -> auto& { return r.Descrip; }),
        TextField<R>(
            8, [](R & r) -> auto& { return r.Marca; }),
        TextField<R>(
            9, [](R & r) -> auto& { return r.Sumtro; }),
        date(
            10, [](R & r) -> auto& { return r.fechALTA; }),
        date(
            11, [](R & r) -> auto& { return r.fechaENT; }),
        date(
            12, [](R & r) -> auto& { return r.Fechcierr; }),
        TextField<R>(
            13, [](R & r) -> auto& { return r.LUGAR; }),
        TextField<R>(
            14, [](R & r) -> auto& { return r.Estado; }),
        // The record keeps both counts in signed 16 bits.
        NumberField<R>(
            15, [](R & r) -> auto& { return r.Cantidad; }, 0, kInt16Max),
        NumberField<R>(
            16, [](R & r) -> auto& { return r.Entradas; }, kInt16Min, kInt16Max),
        NumberField<R>(
            17, [](R & r) -> auto& { return r.Valor; }, kInt32Min, kInt32Max),
        TextField<R>(
            18, [](R & r) -> auto& { return r.Albaran; }),
    };
    t.add = [](Context& ctx, const R& r) { return AddImportedPurchaseOrderLine(ctx, r); };
    t.sort = SortPurchaseOrderFile;
    return MakeImportJob(std::move(t));
}

} // namespace gim
