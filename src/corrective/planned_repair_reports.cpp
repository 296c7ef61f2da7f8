#include "corrective/planned_repair_reports.h"

#include "core/context.h"
#include "core/lookups.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/planned_repair_card.h"
#include "corrective/planned_repairs.h"
#include "platform/date_text.h"
#include "platform/handover.h"
#include "platform/report.h"

#include <QDate>
#include <array>
#include <memory>
#include <optional>

namespace gim {

namespace {

bool FilterTakes(const ShortString<2>& filter, const ShortString<2>& field)
{
    return filter == "*" || filter == field;
}

// The date a pending record was entered: its executor text, "dd/mm/yyyy" or (from the daily reports)
// "dd/mm/yy"; a shorter text stands for 1 January of this year. Nothing when it is no date.
std::optional<QDate> EntryDate(const QString& executor, int thisYear)
{
    if (executor.size() < 8)
        return QDate(thisYear, 1, 1);
    QDate date = ParseDate(executor.left(10));
    if (!date.isValid()) {
        date = ParseShortDate(executor.left(8));
        if (date.isValid() && date.year() < 2000)
            date = date.addYears(100);
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

struct Ages
{
    std::int64_t pendingSum = 0; // P and T of this year
    std::int64_t pendingCount = 0;
    std::int64_t materialSum = 0; // M of this year
    std::int64_t materialCount = 0;
};

// A pending record's age in weeks, when it was entered this year. `today` is read once per listing.
std::optional<std::int64_t> AgeOf(const State& st, const QDate& today, const TPlannedRepairRecord& r)
{
    const std::optional<QDate> entered = EntryDate(r.Executor.str(), today.year());
    if (!entered || entered->year() != today.year())
        return std::nullopt;
    const int year = today.year() - kYearOffset;
    return AbsoluteWeek(st, year, WeekOfYear(today)) - AbsoluteWeek(st, year, WeekOfYear(*entered));
}

std::uint32_t AgeColour(std::int64_t weeks)
{
    if (weeks > 8)
        return kReportRed;
    if (weeks > 4)
        return kReportBlue;
    return kReportBlack;
}

QString Number(std::int64_t n)
{
    return QString::number(n);
}

// count * 100 / total, 0 for an empty listing.
QString Share(std::int64_t count, std::int64_t total)
{
    return Number(total == 0 ? 0 : count * 100 / total) + QStringLiteral(" %");
}

// The listing shows the first 34 characters of a machine's name.
constexpr std::size_t kNameColumn = 34;

} // namespace

void AddAgeRatioLine(ReportDocument& report, const QString& caption, std::int64_t sum, std::int64_t count)
{
    const std::int64_t mean = count == 0 ? 0 : sum / count;
    report.SetColour(AgeColour(mean));
    report.AddLine(caption + Number(mean) + QStringLiteral(" Semanas"));
}

std::vector<RepairWeekSums> SumRepairWeeks(Context& ctx, const std::vector<TPlannedRepairRecord>& records,
                                           int weeks)
{
    const State& st = ctx.st;
    std::vector<RepairWeekSums> sums(static_cast<std::size_t>(std::max(weeks, 0)));
    const QDate today = ctx.clock.Now().date();
    for (const TPlannedRepairRecord& r : records) {
        if (r.Week.get() >= sums.size())
            continue;
        RepairWeekSums& week = sums[r.Week.get()];
        week.minutes += r.Minutes.get();
        const std::optional<std::int64_t> age =
            r.State == "P" || r.State == "T" || r.State == "M" ? AgeOf(st, today, r) : std::nullopt;
        if (age && r.State == "M") {
            week.materialAges += *age;
            ++week.materialCount;
        } else if (age) {
            week.pendingAges += *age;
            ++week.pendingCount;
        }
    }
    return sums;
}

void ReportRepairHistory(Context& ctx)
{
    State& st = ctx.st;
    const QString mode = st.ActionCode;
    KeyedFile<PlannedRepairFile> file(ctx);

    if (mode == QLatin1String("5")) {
        const int week = AbsoluteWeek(st, st.WorkYear, st.WorkWeek);
        const std::vector<RepairWeekSums> weeks = SumRepairWeeks(
            ctx, file.Read(Report::Silent).value_or(std::vector<TPlannedRepairRecord>{}), week + 1);
        const RepairWeekSums found = week < 0 ? RepairWeekSums{} : weeks[static_cast<std::size_t>(week)];
        PlannedRepairsState& p = PlannedRepairs(ctx);
        p.WeekRepairMinutes = found.minutes;
        p.WeekPendingAges = found.pendingAges;
        p.WeekMaterialAges = found.materialAges;
        return;
    }

    TPlannedRepairRecord filter{};
    filter.Specialty = "*";
    filter.Description = "*";
    if (ShowPlannedRepairCard(ctx, filter, true) == CardResult::Exit || filter.Code == "#")
        return;
    const bool notices = mode == QLatin1String("A");
    const bool anyWeek = filter.Week.get() == st.PlanWeeks;

    auto report = std::make_shared<ReportDocument>(QStringLiteral("REPARACIONES"));
    report->SetTabStops({6, 60, 200, 230, 245, 260, 290, 310, 340, 400, 460});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\t          HISTORIAL DE REPARACIONES "));
    report->AddLine(
        QString::fromUtf8("\tCodigo\tNombre Máquina\tTI\tEt\tEp\tOT\tSm\tAño\tEjecut\tDescripción"));
    report->SetStyle(FontStyle::Normal);

    // A new environment has no repairs yet: an empty listing, not an error.
    const std::vector<TPlannedRepairRecord> records =
        file.Exists() ? file.Read(Report::Show).value_or(std::vector<TPlannedRepairRecord>{})
                      : std::vector<TPlannedRepairRecord>{};
    std::array<TWeekGraphRecord, 53> graph{};
    std::int64_t listed = 0;
    std::int64_t listedNotices = 0;
    std::int64_t totalMinutes = 0;
    std::int64_t pendingThisYear = 0; // P or T entered this year
    std::int64_t inProgress = 0;      // T
    std::int64_t materials = 0;
    std::int64_t improvements = 0;
    std::int64_t services = 0;
    int highestWeek = 0;
    Ages ages;
    const MachineIndex machines(ctx);
    const QDate today = ctx.clock.Now().date();
    ReportLineText line;
    for (const TPlannedRepairRecord& r : records) {
        if (r.Week.get() < st.PlanWeeks)
            highestWeek = std::max<int>(highestWeek, r.Week.get());
        if (!anyWeek && r.Week.get() != filter.Week.get())
            continue;
        if (!FilterTakes(filter.State, r.State) || !FilterTakes(filter.Specialty, r.Specialty))
            continue;
        if (!(filter.Code == "*") && !(filter.Code == r.Code))
            continue;
        if (r.Minutes.get() < filter.Minutes.get())
            continue;
        const bool notice = r.Specialty == "A";
        if (notices && !notice)
            continue;

        std::optional<std::int64_t> age;
        const bool pending = r.State == "P" || r.State == "T";
        if (pending || r.State == "M")
            age = AgeOf(st, today, r);
        if (age && pending) {
            ages.pendingSum += *age;
            ++ages.pendingCount;
            ++pendingThisYear;
        } else if (age) {
            ages.materialSum += *age;
            ++ages.materialCount;
        }
        if (r.State == "T")
            ++inProgress;
        else if (r.State == "M")
            ++materials;
        else if (r.State == "J")
            ++improvements;
        else if (r.State == "S")
            ++services;

        const WeekParts filed = SplitAbsoluteWeek(st, r.Week.get());
        const int weekOfYear = filed.week;
        const int year = filed.year + kYearOffset;
        report->SetColour(age ? AgeColour(*age) : kReportBlack);
        line.Tab() << r.Code;
        line.Tab().Cp1252(machines.Find(r.Code).Denominacion.bytes().substr(0, kNameColumn));
        line.Tab() << r.Minutes.get();
        line.Tab() << r.State;
        line.Tab() << r.Specialty;
        line.Tab() << r.Order;
        line.Tab() << weekOfYear;
        line.Tab() << year;
        line.Tab() << r.Executor;
        line.Tab() << r.Description;
        line.AddTo(*report);
        ++listed;
        totalMinutes += r.Minutes.get();
        TWeekGraphRecord& week = graph[static_cast<std::size_t>(weekOfYear)];
        week.Value2 = week.Value2.get() + r.Minutes.get();
        if (notice) {
            week.Value3 = week.Value3.get() + r.Minutes.get();
            ++listedNotices;
        } else {
            week.Value4 = week.Value4.get() + r.Minutes.get();
        }
    }
    report->SetColour(kReportBlack);

    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Bold);
    if (totalMinutes != 0)
        report->AddLine(QStringLiteral("\tTIEMPO TOTAL EMPLEADO EN LAS REPARACIONES : ") +
                        Number(totalMinutes / 60) + QStringLiteral("Hr ") + Number(totalMinutes % 60) +
                        QStringLiteral(" Mn"));
    const std::int64_t allPending = pendingThisYear + materials + improvements + services;
    report->AddLine(QStringLiteral("\tREPARACIONES PENDIENTES/T MANO DE OBRA = ") + Number(pendingThisYear) +
                    QLatin1Char('/') + Number(inProgress) + QStringLiteral("\t\t") +
                    Share(pendingThisYear, listed));
    report->AddLine(QStringLiteral("\tREPARACIONES PENDIENTES MATERIALES .....= ") + Number(materials) +
                    QStringLiteral("\t\t") + Share(materials, listed));
    report->AddLine(QStringLiteral("\tREPARACIONES PENDIENTES DE MEJORAS .....= ") + Number(improvements) +
                    QStringLiteral("\t\t") + Share(improvements, listed));
    report->AddLine(QStringLiteral("\tREPARACIONES PENDIENTES SERVICIOS ........= ") + Number(services) +
                    QStringLiteral("\t\t") + Share(services, listed));
    report->AddLine(QStringLiteral("\tTOTAL REPARACIONES PENDIENTES .............= ") + Number(allPending) +
                    QStringLiteral("\t\t") + Share(allPending, listed));

    // Mean ages; nothing pending of this year gives 0.
    AddAgeRatioLine(*report, QStringLiteral("\tRatio de control Pendientes Mano de Obra : "), ages.pendingSum,
                    ages.pendingCount);
    AddAgeRatioLine(*report, QStringLiteral("\tRatio de control de Materiales Pendientes  : "),
                    ages.materialSum, ages.materialCount);
    report->SetColour(kReportBlack);
    report->SetStyle(FontStyle::Normal);

    if (anyWeek) {
        // Records only at week 0 (or none below the bucket week) still divide by one week.
        const std::int64_t weeks = highestWeek == 0 ? 1 : highestWeek;
        const QString title = QStringLiteral("REPARACIONES PROGRAMADAS ");
        DrawWeeklyGraph(*report, st, title, WeekGraphStyle::Plain,
                        {QStringLiteral(" "), QStringLiteral("T Interv."), QStringLiteral("T.Avisos"),
                         QStringLiteral("T.Repar."), QStringLiteral(" "), QStringLiteral(" ")},
                        static_cast<std::uint32_t>(totalMinutes / weeks), graph);
        ShowPieChart(*report, st, title,
                     {QStringLiteral(" "), QStringLiteral(" "), QString::fromUtf8("Nº.Avisos"),
                      QString::fromUtf8("Nº.Rep.Prev."), QStringLiteral(" "), QStringLiteral(" ")},
                     {0, 0, static_cast<std::uint32_t>(listedNotices),
                      static_cast<std::uint32_t>(records.size()), 0, 0});
    }
    st.CurrentSubFolder = QStringLiteral("\\REPARACIONES");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

void RegisterPlannedRepairHandover(Context& ctx, HandoverRegistry& handover)
{
    // The repair listing's columns; Week and Year make the absolute week below.
    HandoverMap& map = handover.Map(EditItem::Repara);
    map.fields = {{1, "Code", 8},          {3, "Minutes", kNumberText}, {4, "State", 2}, {5, "Specialty", 2},
                  {6, "Order", 8},         {7, "Week", kNumberText},    {8, "Year", 4},  {9, "Executor", 24},
                  {10, "Description", 130}};
    map.clearedOnOpen = {"Description"};
    handover.SetDeliver(EditItem::Repara, [&ctx](const HandoverFields& fields) {
        State& st = ctx.st;
        TPlannedRepairRecord& input = PlannedRepairs(ctx).PlannedRepairInput;
        auto number = [](const QString& text) { return ParseInt64(text).value; };
        std::optional<std::int64_t> week;
        std::optional<std::int64_t> year;
        for (const auto& [name, value] : fields) {
            if (name == QLatin1String("Code"))
                input.Code = value;
            else if (name == QLatin1String("Minutes"))
                input.Minutes = static_cast<std::uint16_t>(number(value));
            else if (name == QLatin1String("State"))
                input.State = value;
            else if (name == QLatin1String("Specialty"))
                input.Specialty = value;
            else if (name == QLatin1String("Order"))
                input.Order = value;
            else if (name == QLatin1String("Week"))
                week = number(value);
            else if (name == QLatin1String("Year"))
                year = number(value);
            else if (name == QLatin1String("Executor"))
                input.Executor = value;
            else if (name == QLatin1String("Description"))
                input.Description = value;
        }
        if (week) {
            const int rowYear = static_cast<int>(year.value_or(st.WorkYear + kYearOffset) - kYearOffset);
            input.Week = AbsoluteWeekWord(st, rowYear, static_cast<int>(*week));
            st.WorkWeek = static_cast<std::uint16_t>(*week);
        }
    });
    handover.SetClear(EditItem::Repara, [&ctx](const QStringList& names) {
        TPlannedRepairRecord& input = PlannedRepairs(ctx).PlannedRepairInput;
        if (names.contains(QLatin1String("Code")))
            input.Code = "";
        if (names.contains(QLatin1String("Description")))
            input.Description = "";
    });
}

} // namespace gim
