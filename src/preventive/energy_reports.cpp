#include "preventive/energy_reports.h"

#include "core/context.h"
#include "core/date_range.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "platform/report.h"
#include "platform/week_graph.h"
#include "preventive/energy_readings.h"
#include "records/cp1252.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

namespace gim {

namespace {

const QString kSubFolder = QStringLiteral("\\Energias");
constexpr const char* kGraphTitle = "CONSUMO ENERGIAS ";

QString Number(std::int64_t n)
{
    return QString::number(n);
}

ShortString<7> WeekCodeField(const QString& code)
{
    ShortString<7> field{};
    field = code;
    return field;
}

std::shared_ptr<ReportDocument> NewListing(const char* header)
{
    auto report = std::make_shared<ReportDocument>(QStringLiteral("ENERGIAS"));
    report->SetTabStops({5, 50, 95, 200, 245, 290, 335, 380, 420, 455, 490, 540, 590});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QString::fromUtf8(header));
    report->SetStyle(FontStyle::Normal);
    report->SetFontSize(10);
    return report;
}

// A line in the colour its consumption calls for.
void AddColouredLine(ReportDocument& report, ReportLineText& line, std::uint32_t colour)
{
    report.SetColour(colour);
    line.AddTo(report);
    report.SetColour(kReportBlack);
}

// The lines of a listing: the columns of each reading written into one reused text.
class ReadingLines
{
public:
    explicit ReadingLines(Context& ctx) : m_names(ctx) {}
    const MachineNames& Names() const { return m_names; }

    // Machine code, meter and machine name.
    ReportLineText& Meter(const TEnergyReadingRecord& r)
    {
        m_line.Tab() << r.MachineCode;
        m_line.Tab() << r.MeterCode;
        m_line.Tab();
        if (const TMachineRecord* machine = m_names.Find(r.MachineCode))
            m_line << machine->Denominacion;
        else
            m_line << QLatin1StringView(kMachineNotFound);
        return m_line;
    }
    // A week code's columns: its date.
    ReportLineText& Date(const ShortString<7>& code) { return m_line << m_dates.Text(code.bytes()); }
    int DaysBetween(const ShortString<7>& from, const ShortString<7>& to)
    {
        return m_dates.DaysBetween(from.bytes(), to.bytes());
    }

private:
    MachineNames m_names;
    WeekCodeDates m_dates;
    ReportLineText m_line;
};

void ShowListing(Context& ctx, const std::shared_ptr<ReportDocument>& report)
{
    ctx.st.CurrentSubFolder = kSubFolder;
    report->saveSubFolder = kSubFolder;
    ctx.ui.ShowReport(report);
}

} // namespace

QString PerUnitText(std::int64_t consumption, int units)
{
    return CentsToText(consumption * 100 / std::max(1, units));
}

QString PerDayText(std::int64_t consumption, int days, int units)
{
    if (days <= 0)
        return CentsToText(0);
    return CentsToText(consumption * 100 / (std::int64_t{days} * std::max(1, units)));
}

void EnergyConsumptionReport(Context& ctx)
{
    State& st = ctx.st;
    EnergyState& e = Energy(ctx);
    const bool oneMeter = st.ActionCode == QLatin1String("2");
    if (!PickWeekRange(ctx))
        return;
    TEnergyReadingRecord chosen{};
    if (oneMeter) {
        const QString caption = QString::fromUtf8("Consumos de máquinas");
        chosen.MachineCode =
            ctx.ui.InputBox(caption, QStringLiteral("INTRODUCIR CODIGO MAQUINA"), QStringLiteral("#"));
        chosen.MeterCode =
            ctx.ui.InputBox(caption, QStringLiteral("INTRODUCIR CONTADOR ENERGIA"), QStringLiteral("#"));
    }
    const ShortString<7> from = WeekCodeField(st.RangeStartWeek);
    const ShortString<7> to = WeekCodeField(st.RangeEndWeek);

    ReadingLines meterLines(ctx);
    const MachineNames& names = meterLines.Names();
    const auto report =
        NewListing("\tCodigo\tContador\t    Máquina\tFecha\tLectura\tFecha\tLectura\tConsum\tNºUnd\t"
                   "Unitario\tDiario");
    std::int64_t lines = 0;
    std::int64_t total = 0;
    std::int64_t average = 1;
    ShortString<7> lastPreviousDate{};
    std::array<TWeekGraphRecord, kGraphWeeks> graph{};
    const auto write = [&](const TEnergyReadingRecord& r, const TEnergyReadingRecord& previous) {
        const int units = ReadingUnits(r);
        const std::int64_t p = previous.Reading.get();
        const bool above = r.Reading.get() > p;
        const std::int64_t c = above ? r.Reading.get() - p : 0;
        const int days = meterLines.DaysBetween(previous.Date, r.Date);
        total += c;
        ++lines;
        ReportLineText& line = meterLines.Meter(r).Tab();
        meterLines.Date(r.Date).Tab() << r.Reading.get();
        line.Tab();
        meterLines.Date(previous.Date).Tab() << p;
        line.Tab() << c;
        line.Tab() << units;
        line.Tab() << PerUnitText(c, units);
        line.Tab() << PerDayText(c, days, units);
        AddColouredLine(*report, line, above ? kReportBlack : kReportRed);
        lastPreviousDate = previous.Date;
        // The graph has a week for each of the first lines after the second; later lines have none.
        if (oneMeter && lines >= 3 && lines - 1 < kGraphWeeks)
            graph[static_cast<std::size_t>(lines - 1)].Value2 = c;
        average = std::max<std::int64_t>(1, std::llabs(total / std::max<std::int64_t>(1, lines - 1)));
    };

    if (oneMeter) {
        // Each reading of the meter in the range against the one before it; the first against itself.
        const TEnergyReadingRecord* previous = nullptr;
        for (const EnergyReadingEntry& entry : e.ReadingList) {
            const TEnergyReadingRecord& r = entry.rec;
            if (!SameMeter(r, chosen) || !(r.Date > from) || r.Date > to)
                continue;
            write(r, previous ? *previous : r);
            previous = &r;
        }
    } else {
        // Each reading of the range against the next reading of its meter: the line is the later one's.
        const MeterReadings meters(e.ReadingList);
        for (std::size_t i = 0; i < e.ReadingList.size(); ++i) {
            const TEnergyReadingRecord& r = e.ReadingList[i].rec;
            if (r.Date < from || !(r.Date < to))
                continue;
            const MeterReadings::Neighbours found = FindPreviousReading(ctx, meters, i, st.RangeStartWeek);
            if (found.next)
                write(*found.next, found.previous);
        }
    }

    if (lines == 0) {
        ctx.ui.ShowMessage(QStringLiteral("NO EXISTEN LECTURAS"));
        return;
    }
    if (!oneMeter) {
        report->AddLine(QStringLiteral("\tSE HAN EFECTUADO ") + Number(lines) + QStringLiteral("  LECTURAS"));
    } else {
        if (lines > 1)
            average = total / (lines - 1);
        const int days = WeekCodeDaysBetween(st.RangeStartWeek, lastPreviousDate.str());
        report->AddLine(QStringLiteral("\tCONSUMO PROMEDIO   : ") + Number(average));
        report->AddLine(QStringLiteral("\tCONSUMO ACUMULADO: ") + Number(total));
        report->AddLine(QStringLiteral("\tCONSUMO DIARIO         : ") +
                        (days > 0 ? Number(total / days) : CentsToText(0)));
        // The graph is named after the machine chosen for it.
        const QString title = QString::fromLatin1(kGraphTitle) + names.Of(chosen.MachineCode);
        const std::array<QString, 6> series{
            QStringLiteral(" "), chosen.MachineCode.str() + QLatin1Char('/') + chosen.MeterCode.str(),
            QStringLiteral(" "), QStringLiteral(" "),
            QStringLiteral(" "), QStringLiteral(" ")};
        DrawWeeklyGraph(*report, st, title,
                        title == QLatin1String(kGraphTitle) ? WeekGraphStyle::EnergyConsumption
                                                            : WeekGraphStyle::Plain,
                        series, static_cast<std::uint32_t>(std::max<std::int64_t>(0, average)), graph);
    }
    ShowListing(ctx, report);
}

void EnergyPeriodReport(Context& ctx)
{
    State& st = ctx.st;
    EnergyState& e = Energy(ctx);
    if (!PickWeekRange(ctx))
        return;
    const ShortString<7> from = WeekCodeField(st.RangeStartWeek);

    ReadingLines lines(ctx);
    const MeterReadings meters(e.ReadingList);
    const auto report =
        NewListing("\tCodigo\tContador\t    Máquina\tFecha\tLectura\tFecha\tLectura\tConsumo\tNºUnd\t"
                   "Días\tUnitario\tDiario");
    bool started = false;
    std::int64_t totalConsumption = 0;
    std::int64_t totalUnits = 0;
    std::int64_t average = 0;
    for (const EnergyReadingEntry& entry : e.ReadingList) {
        const TEnergyReadingRecord& start = entry.rec;
        if (!(start.Date == from))
            continue;
        started = true;
        const int units = ReadingUnits(start);
        // The meter's last reading up to the end of the period.
        TEnergyReadingRecord probe = start;
        probe.Date = st.RangeEndWeek;
        const TEnergyReadingRecord end = FindPreviousReading(ctx, meters, probe, st.RangeEndWeek).previous;
        const bool above = end.Reading.get() > start.Reading.get();
        const std::int64_t c = above ? std::int64_t{end.Reading.get()} - start.Reading.get() : 0;
        if (above) {
            totalConsumption += c;
            totalUnits += units;
        }
        if (totalConsumption > 0)
            average = totalConsumption / totalUnits;
        // A meter below 97 % of the running average per unit.
        const bool low = c >= 1 && c * 100 / units < average * 97;
        const int days = lines.DaysBetween(start.Date, end.Date);
        if (days <= 0)
            continue;
        ReportLineText& line = lines.Meter(end).Tab();
        lines.Date(start.Date).Tab() << start.Reading.get();
        line.Tab();
        lines.Date(end.Date).Tab() << end.Reading.get();
        line.Tab() << c;
        line.Tab() << units;
        line.Tab() << days;
        line.Tab() << PerUnitText(c, units);
        line.Tab() << PerDayText(c, days, units);
        AddColouredLine(*report, line, !above ? kReportRed : low ? kReportBlue : kReportBlack);
    }
    if (!started) {
        ctx.ui.ShowMessage(QStringLiteral("No existe lectura en la fecha de inicio periodo control"));
        return;
    }
    ShowListing(ctx, report);
}

} // namespace gim
