#include "store/store_reports.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/date_range.h"
#include "core/io_errors.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "records/data_files.h"
#include "store/spare_part_browse.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <random>

namespace gim {

namespace {

const QString kTab = QStringLiteral("\t");
const QString kEuro = QStringLiteral(" €");

QString Number(std::int64_t n)
{
    return QString::number(n);
}

std::uint32_t Clamp32(std::int64_t n)
{
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(n, 0, std::numeric_limits<std::uint32_t>::max()));
}

// The heading line of the store's listings: firm, title, environment and today.
void AddHeading(ReportDocument& report, const State& st, const QString& title)
{
    report.AddLine(kTab + st.FirmName + kTab + title + kTab + st.CurrentEnvironment + kTab + st.TodayText);
}

// Movement weeks are absolute, modulo 256, counted in years of 52 weeks from FirstYear.
int MovementYear(const State& st, const TStoreMovementRecord& m)
{
    return SplitAbsoluteWeek(st, m.AbsoluteWeek).year + kYearOffset;
}
int MovementWeek(const TStoreMovementRecord& m)
{
    return WeekOfYearIndex(m.AbsoluteWeek);
}

std::int64_t Amount(const TStoreMovementRecord& m)
{
    return std::int64_t{m.Quantity.get()} * m.UnitValue.get();
}

template <std::size_t N> bool Matches(const ShortString<N>& field, const ShortString<N>& filter)
{
    return filter == "*" || field == filter;
}

QString InventoryLine(const TSparePartRecord& r)
{
    return kTab + PartKeyText(r) + kTab + Number(r.Stock.get()) + kTab + Number(r.Exist.get()) + kTab +
           CentsToText(r.Valor.get()) + kTab + r.Local.str() + kTab + r.Nombre.str();
}

std::int64_t StockValue(const TSparePartRecord& r)
{
    return std::int64_t{r.Exist.get()} * r.Valor.get();
}

int AskYear(Context& ctx, const QString& caption, const QString& prompt, const QString& preset)
{
    return AnsweredNumber(ctx, ctx.ui.InputBox(caption, prompt, preset), MovementFile::Name(ctx.st));
}

} // namespace

bool DestinationMatches(QStringView typed, QStringView destination)
{
    const qsizetype star = typed.lastIndexOf(QLatin1Char('*'));
    for (qsizetype i = star + 1; i < typed.size(); ++i)
        if (i >= destination.size() || destination[i] != typed[i])
            return false;
    return true;
}

std::optional<InventoryListing> BeginInventoryListing(Context& ctx)
{
    State& st = ctx.st;
    const bool general = st.OutputCode == QLatin1String("I");
    const bool sample = st.OutputCode == QLatin1String("I3");
    if (!general && !sample)
        return std::nullopt;
    InventoryListing listing;
    listing.sample = sample;
    if (general)
        listing.minimum =
            AnsweredNumber(ctx,
                           ctx.ui.InputBox(QStringLiteral("Valor Unitario Mínimo DEL REPUESTO"),
                                           QStringLiteral("Valor céntimos de Euros :"), QStringLiteral("0")),
                           SparePartFile::Name(st));
    listing.report = std::make_shared<ReportDocument>(QStringLiteral("REPUESTOS INVENTARIO"));
    ReportDocument& report = *listing.report;
    report.SetTabStops({6, 100, 130, 170, 220, 270, 300});
    report.SetFontSize(12);
    report.SetStyle(FontStyle::Bold);
    AddHeading(report, st, QStringLiteral("MOVIMIENTOS DE ALMACEN"));
    report.SetStyle(FontStyle::Underline);
    report.AddLine(QStringLiteral("\tRepuesto\tStok\tCant\tValor Und.\tLocal\t     DESCRIPCION"));
    report.AddLine(QStringLiteral("\r"));
    report.SetStyle(FontStyle::Normal);
    report.SetFontSize(8);
    return listing;
}

void FinishInventoryListing(Context& ctx, InventoryListing& listing)
{
    State& st = ctx.st;
    ReportDocument& report = *listing.report;
    const std::vector<SparePartEntry>& parts = SpareParts(ctx).SparePartList;
    if (listing.sample) {
        const std::int64_t percent =
            AnsweredNumber(ctx,
                           ctx.ui.InputBox(QStringLiteral("% MUESTREO ALMACEN TECNICO"),
                                           QStringLiteral("INTRODUZCA (1-99)"), QStringLiteral("10")),
                           SparePartFile::Name(st));
        const std::int64_t draws =
            parts.empty() ? 0 : static_cast<std::int64_t>(parts.size() / 100) * percent + 1;
        std::mt19937_64 random(static_cast<std::uint64_t>(ctx.clock.Now().toMSecsSinceEpoch()));
        std::uniform_int_distribution<std::size_t> index(0, parts.empty() ? 0 : parts.size() - 1);
        for (std::int64_t i = 0; i < draws; ++i)
            report.AddLine(InventoryLine(parts[index(random)].rec));
    } else {
        std::int64_t count = 0;
        std::int64_t total = 0;
        for (const SparePartEntry& e : parts) {
            if (e.rec.Valor.get() < listing.minimum)
                continue;
            ++count;
            if (e.rec.Exist.get() > 0)
                total = AddCents(total, StockValue(e.rec));
            report.AddLine(InventoryLine(e.rec));
        }
        report.AddLine(QStringLiteral("\r"));
        report.AddLine(QStringLiteral("            VALOR MÍNIMO DE REPUESTO ............: ") +
                       CentsToText(listing.minimum) + kEuro);
        report.AddLine(QStringLiteral("            Número de REPUESTOS CODIFICADOS   : ") + Number(count));
        report.AddLine(QStringLiteral("            VALOR TOTAL DEL INVENTARIO (Euros) : \t") +
                       CentsToText(total) + kEuro);
    }
    ctx.ui.ShowReport(listing.report);
}

void StoreInventoryReport(Context& ctx)
{
    State& st = ctx.st;
    SparePartsState& sp = SpareParts(ctx);
    const bool bySupplier = st.ActionCode == QLatin1String("P");
    TSparePartRecord filter{};
    QString supplier;
    if (bySupplier) {
        supplier = ctx.ui.InputBox(QStringLiteral("Suministrador"), QStringLiteral("Codigo Proveedor:"),
                                   QStringLiteral("#"));
        // Cancel gives the "#" default: nothing was asked for.
        if (supplier.isEmpty() || supplier == QLatin1String("#"))
            return;
        filter.Codigo = "*";
        filter.Equipo = "*";
        filter.Util = "*";
        filter.Pieza = "*";
        filter.CdPVD = supplier;
    } else {
        const std::optional<TSparePartRecord> asked = AskPartFilter(ctx);
        if (!asked)
            return;
        filter = *asked;
    }
    sp.SparePartFilter = filter;
    const bool anyMachine = filter.Codigo == "*";
    QString machineName;
    if (!anyMachine) {
        machineName = LookUpMachine(ctx, filter.Codigo.str()).Denominacion.str();
        if (machineName == QLatin1String(kMachineNotFound)) {
            ctx.ui.ShowMessage(machineName);
            return;
        }
    }

    auto report =
        std::make_shared<ReportDocument>(QStringLiteral("REPUESTOS TECNICOS DE ") + st.CurrentEnvironment);
    report->SetTabStops({8, 110, 400, 470, 520, 570, 620, 670});
    report->SetFontSize(10);
    report->SetStyle(FontStyle::Bold);
    AddHeading(*report, st, QStringLiteral("REPUESTOS TÉCNICOS"));
    if (bySupplier)
        report->AddLine(QStringLiteral("-\tRepuestos Seleccionados por Suministrador :  ") + supplier);
    report->AddLine(QStringLiteral("\tCodigo\t DENOMINACION \tMARCA\tSTK\tCTDAD\tLOCAL\tVALOR"));
    report->SetStyle(FontStyle::Normal);
    report->SetFontSize(8);
    std::int64_t valuation = 0;
    for (const SparePartEntry& e : sp.SparePartList) {
        const TSparePartRecord& r = e.rec;
        if (!Matches(r.Codigo, filter.Codigo) || !Matches(r.Equipo, filter.Equipo) ||
            !Matches(r.Util, filter.Util) || !Matches(r.Pieza, filter.Pieza) ||
            (bySupplier && !(r.CdPVD == filter.CdPVD)))
            continue;
        report->AddLine(kTab + PartKeyText(r) + kTab + r.Nombre.str() + kTab + r.Marca.str() + kTab +
                        Number(r.Stock.get()) + kTab + Number(r.Exist.get()) + kTab + r.Local.str() + kTab +
                        CentsToText(r.Valor.get()));
        valuation = AddCents(valuation, StockValue(r));
    }
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(anyMachine ? QStringLiteral("\tLISTADO GENERAL DEL ALMACEN TECNICO")
                               : QStringLiteral("\tPERTENECIENTES A LA MAQUINA ") + machineName);
    report->AddLine(filter.Equipo == "*" ? QStringLiteral("\r")
                                         : QStringLiteral("\t ESPECIALIDAD ") + filter.Equipo.str());
    report->AddLine(QStringLiteral("\tVALORACION TOTAL DEL INVENTARIO.... : ") + CentsToText(valuation) +
                    kEuro);
    st.CurrentSubFolder = QStringLiteral("\\Almacen");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

void StoreRotationReport(Context& ctx)
{
    const std::int32_t threshold =
        AnsweredNumber(ctx,
                       ctx.ui.InputBox(QStringLiteral("Movimientos de Almacén"),
                                       QStringLiteral("Número de Peticiones:"), QStringLiteral("1")),
                       MovementFile::Name(ctx.st));
    auto report = std::make_shared<ReportDocument>(QStringLiteral("ROTACIÓN DE ALMACÉN"));
    report->SetTabStops({6, 100, 150, 200, 250, 300, 350, 400});
    report->SetStyle(FontStyle::Underline);
    report->AddLine(
        QStringLiteral("\tRepuesto\tValor Und.\tPeticiones\tUnidades\tStock\tUbicación\tDescripción"));
    report->SetStyle(FontStyle::Normal);
    report->SetFontSize(8);
    const std::vector<MovementEntry>& moves = StoreMovements(ctx).MovementList;
    // The list is in key order: the movements of one part follow each other.
    for (std::size_t i = 0; i < moves.size();) {
        const JoinedKey key = PartKeyOf(moves[i].rec);
        std::int64_t requests = 0;
        std::int64_t units = 0;
        std::size_t j = i;
        for (; j < moves.size() && PartKeyOf(moves[j].rec).view() == key.view(); ++j) {
            const std::int32_t quantity = moves[j].rec.Quantity.get();
            if (quantity < 0) {
                ++requests;
                units -= quantity;
            }
        }
        const TStoreMovementRecord& m = moves[i].rec;
        i = j;
        if (requests < threshold)
            continue;
        const TSparePartRecord part =
            SparePartOfKey(ctx, m.Codigo.str(), m.Equipo.str(), m.Util.str(), m.Pieza.str());
        report->AddLine(kTab + PartKeyText(part) + kTab + CentsToText(part.Valor.get()) + kTab +
                        Number(requests) + kTab + Number(units) + kTab + Number(part.Exist.get()) + kTab +
                        part.Local.str() + kTab + part.Nombre.str());
    }
    ctx.ui.ShowReport(report);
}

void InventoryEvolutionReport(Context& ctx)
{
    State& st = ctx.st;
    const int year = AskYear(ctx, QStringLiteral("MOVIMIENTOS DEL ALMACEN TECNICO"),
                             QStringLiteral("INTRODUZCA AÑO"), st.YearText);
    std::int64_t value = 0;
    for (const SparePartEntry& e : SpareParts(ctx).SparePartList)
        if (e.rec.Exist.get() > 0)
            value += StockValue(e.rec);
    std::array<std::int64_t, kWeeksPerYear + 1> exits{};
    std::array<std::int64_t, kWeeksPerYear + 1> entries{};
    bool any = false;
    for (const MovementEntry& e : StoreMovements(ctx).MovementList) {
        const int movementYear = MovementYear(st, e.rec);
        any = any || movementYear >= year;
        if (movementYear > year)
            value -= Amount(e.rec);
        else if (movementYear == year)
            (e.rec.Quantity.get() < 0 ? exits : entries)[static_cast<std::size_t>(MovementWeek(e.rec))] +=
                Amount(e.rec);
    }
    // The value at the end of each week: the year's end less the net movements of the later weeks.
    std::array<std::int64_t, kWeeksPerYear + 1> inventory{};
    for (int w = kWeeksPerYear; w >= 0; --w) {
        inventory[static_cast<std::size_t>(w)] = value;
        value -= exits[static_cast<std::size_t>(w)] + entries[static_cast<std::size_t>(w)];
    }

    auto report = std::make_shared<ReportDocument>(QStringLiteral("INVENTARIO DE ALMACÉN"));
    report->SetTabStops({6, 100, 150, 205, 260, 285, 320, 360, 405});
    report->SetFontSize(12);
    report->SetStyle(FontStyle::Bold);
    AddHeading(*report, st, QStringLiteral("INVENTARIO DE ALMACEN"));
    report->SetStyle(FontStyle::Underline);
    report->AddLine(QStringLiteral("\tSEMANA\tSALIDAS\tENTRADAS\tMOVIMIENTO\tINENTARIO"));
    report->SetStyle(FontStyle::Normal);
    report->SetFontSize(8);
    // The chart is drawn for a year without data too: its inventory stands level at the year's end value.
    std::array<TWeekGraphRecord, kWeeksPerYear + 1> graph{};
    for (std::size_t i = 0; i < graph.size(); ++i) {
        graph[i].Value1 = inventory[i];
        graph[i].Value2 = std::llabs(exits[i]);
        graph[i].Value3 = entries[i];
    }
    if (!any || year < st.FirstYear + kYearOffset) {
        ctx.ui.ShowMessage(QStringLiteral("NO EXISTEN DATOS PARA EL AÑO SOLICITADO"));
    } else {
        for (int w = kWeeksPerYear; w >= 0; --w) {
            const auto i = static_cast<std::size_t>(w);
            report->AddLine(kTab + Number(w) + kTab + CentsToText(exits[i]) + kTab + CentsToText(entries[i]) +
                            kTab + CentsToText(exits[i] + entries[i]) + kTab + CentsToText(inventory[i]));
        }
    }
    DrawWeeklyGraph(*report, st, QStringLiteral("EVOLUCIÓN INVENTARIO"), WeekGraphStyle::InventoryEvolution,
                    {QStringLiteral("EVOL"), QStringLiteral("OUT"), QStringLiteral("IN"), QStringLiteral(" "),
                     QStringLiteral(" "), QStringLiteral(" ")},
                    Clamp32(graph[0].Value1.get()), graph);
    ctx.ui.ShowReport(report);
}

void StoreMovementsReport(Context& ctx)
{
    State& st = ctx.st;
    if (!PickWeekRange(ctx))
        return;
    const WeekParts start = ParseWeekCode(st.RangeStartWeek).value_or(WeekParts{});
    const WeekParts end = ParseWeekCode(st.RangeEndWeek).value_or(WeekParts{});
    const int first = AbsoluteWeekByte(st, start.year, start.week);
    const int last = AbsoluteWeekByte(st, end.year, end.week);
    TSparePartRecord filter{};
    filter.Codigo = "*";
    filter.Equipo = "*";
    filter.Util = "*";
    filter.Pieza = "*";
    QString destination = QStringLiteral("*");
    if (st.ActionCode == QLatin1String("W")) {
        const std::optional<TSparePartRecord> asked = AskPartFilter(ctx, &destination);
        if (!asked)
            return;
        filter = *asked;
    }
    // A range that passes the wrap of the stored byte runs on from its first week through 255 and 0.
    const auto inRange = [first, last](int w) {
        return first <= last ? w >= first && w <= last : w >= first || w <= last;
    };

    auto report = std::make_shared<ReportDocument>(QStringLiteral("MOVIMIENTOS DE ALMACÉN"));
    report->SetTabStops({6, 100, 150, 205, 260, 285, 320, 360, 405});
    report->SetFontSize(12);
    report->SetStyle(FontStyle::Bold);
    AddHeading(*report, st, QStringLiteral("MOVIMIENTOS DE ALMACEN"));
    report->SetStyle(FontStyle::Underline);
    report->AddLine(
        QStringLiteral("\tRepuesto\tDestino\tUsuar.\tSumtro.\tS/Añ\tCant.\tValor\tTOTAL\t     DESCRIPCION"));
    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Normal);
    report->SetFontSize(8);

    std::int64_t entriesTotal = 0;
    std::int64_t exitsTotal = 0;
    std::int64_t net = 0;
    const std::vector<TStoreMovementRecord> moves =
        KeyedFile<MovementFile>(ctx).Read(Report::Silent).value_or(std::vector<TStoreMovementRecord>{});
    for (const TStoreMovementRecord& m : moves) {
        if (!inRange(m.AbsoluteWeek) || !Matches(m.Codigo, filter.Codigo) ||
            !Matches(m.Equipo, filter.Equipo) || !Matches(m.Util, filter.Util) ||
            !Matches(m.Pieza, filter.Pieza) || !DestinationMatches(destination, m.Destination.str()))
            continue;
        const TSparePartRecord part =
            SparePartOfKey(ctx, m.Codigo.str(), m.Equipo.str(), m.Util.str(), m.Pieza.str());
        const std::int64_t amount = Amount(m);
        const std::int64_t total = std::llabs(amount);
        std::int64_t& side = amount < 0 ? exitsTotal : entriesTotal;
        side = AddCents(side, total);
        net = AddCents(net, amount);
        report->AddLine(kTab + PartKeyText(part) + kTab + m.Destination.str() + kTab + m.User.str() + kTab +
                        part.CdPVD.str() + kTab + Number(MovementWeek(m)) + QStringLiteral("\\ ") +
                        Number(MovementYear(st, m)) + kTab + Number(m.Quantity.get()) + kTab +
                        CentsToText(m.UnitValue.get()) + kTab + CentsToText(total) + kTab +
                        part.Nombre.str());
    }
    const QString week = Number(start.week) + QLatin1Char('/') + Number(start.year + kYearOffset);
    report->AddLine(kTab + QString(84, QLatin1Char('-')));
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QStringLiteral("\t\tSEMANA DE ANALISIS:") + week);
    report->AddLine(QStringLiteral("\t\tENTRADAS AL ALMACEN..................... (Euros): \t") +
                    CentsToText(entriesTotal) + kEuro);
    report->AddLine(QStringLiteral("\t\tSALIDAS DEL ALMACEN....................... (Euros): \t") +
                    CentsToText(exitsTotal) + kEuro);
    report->AddLine(QStringLiteral("\t\tMOVIMIENTOS ALMACEN SEMANA ") + week +
                    QStringLiteral(" (Euros): \t") + CentsToText(net) + kEuro);
    ctx.ui.ShowReport(report);
}

std::int32_t PrintSparePartLabels(Context& ctx, const TSparePartRecord& part)
{
    State& st = ctx.st;
    const std::int32_t count =
        AnsweredNumber(ctx,
                       ctx.ui.InputBox(QStringLiteral("IMPRESIÓN DE ETIQUETAS"),
                                       QStringLiteral("NUMERO DE ETIQUETAS:"), QStringLiteral("0")),
                       MovementFile::Name(st));
    if (count <= 0)
        return count;
    const std::array<QString, 4> label{
        st.FirmName + QLatin1Char(' ') + st.WeekText + QLatin1Char('/') + st.YearText, PartKeyText(part),
        part.Nombre.str(), QStringLiteral("VALOR : ") + CentsToText(part.Valor.get()) + kEuro};
    auto report = std::make_shared<ReportDocument>(QStringLiteral("ETIQUETAS"));
    report->SetTabStops({6, 280});
    // Two labels a row; an odd count fills the last row too.
    const std::int64_t rows = (std::int64_t{count} + 1) / 2;
    for (std::int64_t row = 0; row < rows; ++row) {
        for (const QString& text : label)
            report->AddLine(kTab + text + kTab + text);
        report->AddLine(QStringLiteral("\r"));
    }
    ctx.ui.ShowReport(report);
    return count;
}

void YearMovementRatios(Context& ctx)
{
    State& st = ctx.st;
    const int year = AskYear(ctx, QStringLiteral("REPARACIONES Y REFORMAS"),
                             QStringLiteral("INTRODUZCA AÑO DE ANALISIS "), Number(st.CurrentYear));
    LoadMovementList(ctx);
    std::array<std::int64_t, kWeeksPerYear> counts{};
    std::array<std::int64_t, kWeeksPerYear> exits{};
    std::array<std::int64_t, kWeeksPerYear> entries{};
    for (const MovementEntry& e : StoreMovements(ctx).MovementList) {
        if (MovementYear(st, e.rec) != year)
            continue;
        const auto w = static_cast<std::size_t>(MovementWeek(e.rec));
        ++counts[w];
        // Exits are stored negative: the week's exits are counted as the amount that left the store.
        const std::int64_t amount = Amount(e.rec);
        (amount < 0 ? exits : entries)[w] += std::llabs(amount);
    }
    auto report = std::make_shared<ReportDocument>(QStringLiteral("MOVIMIENTOS"));
    report->SetTabStops({6, 65, 150, 250, 350, 450, 550});
    report->SetStyle(FontStyle::Underline);
    report->AddLine(QStringLiteral("\tSem/Año\tNº Mov\tSALIDAS\tENTRADAS\tDif.Invent"));
    report->SetStyle(FontStyle::Normal);
    std::int64_t count = 0;
    std::int64_t exitsTotal = 0;
    std::int64_t entriesTotal = 0;
    std::int64_t activeWeeks = 0;
    std::array<TWeekGraphRecord, kWeeksPerYear + 1> graph{};
    for (std::size_t w = 0; w < counts.size(); ++w) {
        report->AddLine(kTab + Number(static_cast<std::int64_t>(w)) + QLatin1Char('/') + Number(year) + kTab +
                        Number(counts[w]) + kTab + CentsToText(exits[w]) + kTab + CentsToText(entries[w]) +
                        kTab + CentsToText(entries[w] - exits[w]));
        count += counts[w];
        exitsTotal += exits[w];
        entriesTotal += entries[w];
        activeWeeks += exits[w] > 0 ? 1 : 0;
        graph[w].Value1 = exits[w];
        graph[w].Value2 = entries[w];
        graph[w].Value3 = counts[w];
    }
    report->AddLine(kTab + QString(84, QLatin1Char('-')));
    report->AddLine(QStringLiteral("\tTotales:\t") + Number(count) + kTab + CentsToText(exitsTotal) + kEuro +
                    kTab + CentsToText(entriesTotal) + kEuro + kTab + CentsToText(entriesTotal - exitsTotal) +
                    kEuro);
    if (activeWeeks != 0) {
        const QString title = QStringLiteral("MOVIMIENTOS DE ALMACEN DEL AÑO ") + Number(year);
        const QString blank = QStringLiteral(" ");
        DrawWeeklyGraph(*report, st, title, WeekGraphStyle::StoreMovements,
                        {Number(exitsTotal / (activeWeeks * 100)) + QStringLiteral(" Salidas Sem"),
                         Number(entriesTotal / (activeWeeks * 100)) + QStringLiteral(" Entradas Sem"),
                         Number(count / activeWeeks) + QStringLiteral(" Nº Mov Sem "), blank, blank, blank},
                        Clamp32(exitsTotal / (activeWeeks * 100)), graph);
        ShowPieChart(*report, st, title,
                     {QStringLiteral("Salidas Almacén"), QStringLiteral("Entradas Almacén"), blank, blank,
                      blank, blank},
                     {Clamp32(exitsTotal), Clamp32(entriesTotal), 0, 0, 0, 0});
    }
    FreeMovementList(ctx);
    ctx.ui.ShowReport(report);
}

void RestartStoreYear(Context& ctx, const QString& newEnvironment)
{
    ctx.st.OutputCode = QStringLiteral(" ");
    KeyedFile<SparePartFile> parts(ctx);
    if (!parts.Exists())
        return; // a store never used carries nothing
    // The year restart must not report a new environment whose store was not carried: a failed rewrite
    // or an existing target abandons it.
    if (!SortSparePartFile(ctx))
        throw IoAbort(IoCode::DiskWrite, ctx.st.FileName(DataFile::SparePart));
    const QString target = BuildDataFileName(newEnvironment, ".RPW");
    // The twin is the file before the rewrite, deleted parts and all, and stays with this environment.
    if (DataFileExists(ctx, target)) {
        ctx.ui.ShowMessage(QStringLiteral("Ya existe el fichero ") + target);
        throw IoAbort(IoCode::CannotRename, target);
    }
    parts.CopyTo(target);
}

} // namespace gim
