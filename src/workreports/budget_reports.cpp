#include "workreports/budget_reports.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/lookups.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/transaction.h"
#include "core/week_codes.h"
#include "masterdata/routines.h"
#include "platform/report.h"
#include "workreports/budget_card.h"
#include "workreports/budgets.h"

#include <QStringList>
#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace gim {

namespace {

constexpr int kNameWidth = 34;
constexpr std::int64_t kMinutesPerWeekYear = kWeeksPerYear * 60;

QString Number(std::int64_t n)
{
    return QString::number(n);
}

// The hours-and-minutes text of a sum, which may outgrow the text's own range.
QString HoursText(std::int64_t minutes)
{
    return MinutesToHoursText(static_cast<int>(
        std::clamp<std::int64_t>(minutes, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
}

std::uint32_t PieValue(std::int64_t v)
{
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(v, 0, std::numeric_limits<std::uint32_t>::max()));
}

// `part` as a whole percentage of `whole`; 0 of nothing.
std::int64_t Percent(std::int64_t part, std::int64_t whole)
{
    return whole == 0 ? 0 : part * 100 / whole;
}

// Writes the new budgets of the machines over their records, all of them or none.
void StoreBudgetUpdates(Context& ctx, const std::vector<std::pair<std::uint32_t, TBudgetRecord>>& updates)
{
    if (updates.empty())
        return;
    const QString name = BudgetFileName(ctx.st);
    Transaction tx(ctx);
    if (!tx.Prepare({name}))
        return;
    RecordFile<TBudgetRecord> file(ctx);
    if (!NoteIoResult(ctx, file.Open(name, RawRecordFile::Mode::Update), Report::Show))
        return;
    for (const auto& [pos, rec] : updates)
        file.Write(pos, rec);
    file.Close();
    tx.Commit();
}

} // namespace

void PreventiveBudget(Context& ctx)
{
    State& st = ctx.st;
    const bool update = st.ActionCode == QLatin1String("P");
    BudgetWeights weights = DefaultBudgetWeights();
    st.OutputCode = QStringLiteral("P");
    QString speciality = QStringLiteral("*");
    if (!update)
        speciality = ctx.ui
                         .InputBox(QStringLiteral("ESPECIALIDAD TECNOLOGICA"),
                                   QStringLiteral("Entrar Codigo"), QStringLiteral("*"))
                         .left(2);

    // Each machine's first budget record, by code.
    std::optional<std::vector<TBudgetRecord>> budgets;
    std::unordered_map<std::string, std::uint32_t> budgetAt;
    if (update) {
        budgets = LoadBudgets(ctx, Report::Silent);
        if (budgets) {
            for (std::size_t i = 0; i < budgets->size(); ++i)
                budgetAt.emplace(std::string((*budgets)[i].MachineCode.bytes()),
                                 static_cast<std::uint32_t>(i));
            BudgetWeights typed = weights;
            if (BudgetWeightsCardBinding().Run(ctx.ui, BudgetWeightsCardSpec(), typed) == CardResult::Save)
                weights = typed;
        }
    }

    auto report = std::make_shared<ReportDocument>();
    report->SetTabStops({5, 60, 265, 375, 395, 410, 425, 440, 465, 470});
    report->SetStyle(FontStyle::Bold);
    report->SetFontSize(13);
    report->AddLine(QLatin1Char('\t') + st.FirmName +
                    QStringLiteral("       ACUMULADO DE MANTENIMIENTO PREVENTIVO ") + st.CurrentEnvironment);
    report->AddLine(QString());
    report->SetFontSize(10);
    report->AddLine(QStringLiteral("\tCODIGO\tDENOMINACION\tMODELO\tACUMULADO AÑO\t\t& %"));
    report->SetStyle(FontStyle::Normal);
    report->AddLine(QStringLiteral("  "));

    // The list is in machine order: each machine's operations stand together.
    const std::vector<OperationEntry>& operations = Routines(ctx).OperationList;
    const MachineIndex machines(ctx);
    std::vector<std::pair<std::uint32_t, TBudgetRecord>> updates;
    std::int64_t totalMinutes = 0;
    std::int64_t totalStopped = 0;
    ReportLineText line;
    for (std::size_t i = 0; i < operations.size();) {
        const ShortString<8>& code = operations[i].rec.MachineCode;
        std::int64_t minutes = 0;
        std::int64_t stopped = 0;
        for (; i < operations.size() && operations[i].rec.MachineCode == code; ++i) {
            const TOperationRecord& op = operations[i].rec;
            const auto annual =
                static_cast<std::int64_t>(AnnualOccurrences(op, speciality) * op.Minutes.get());
            minutes += annual;
            if (op.State == "P")
                stopped += annual;
        }
        if (code == "Z")
            continue;
        // A machine with nothing to do still gets a minute: its share below is taken against it.
        if (minutes == 0)
            minutes = 1;
        const TMachineRecord machine = machines.Find(code);
        line.Tab() << code;
        line.Tab().Cp1252(machine.Denominacion.bytes().substr(0, kNameWidth));
        line.Tab() << machine.Modelo;
        line.Tab() << minutes / 60 << QLatin1StringView("\thrs.\t") << minutes % 60
                   << QLatin1StringView("\tmn.\t") << 100 - stopped * 100 / minutes;
        line.AddTo(*report);
        if (const auto found = budgetAt.find(std::string(code.bytes())); found != budgetAt.end()) {
            TBudgetRecord rec = (*budgets)[found->second];
            ApplyBudgetWeights(rec, minutes, weights);
            updates.emplace_back(found->second, rec);
        }
        totalMinutes += minutes;
        totalStopped += stopped;
    }
    StoreBudgetUpdates(ctx, updates);

    report->AddLine(QString());
    report->AddLine(QStringLiteral("\tTOTAL HORAS PREVISTAS DE MANTENIMIENTO PREVENTIVO : ") +
                    Number(totalMinutes / 60) + QStringLiteral(" hrs.") + Number(totalMinutes % 60) +
                    QStringLiteral(" mn."));
    report->AddLine(QStringLiteral("\tPROMEDIO HORAS SEMANALES DE MANTENIMIENTO PREVENTIVO : ") +
                    Number(totalMinutes / kMinutesPerWeekYear) + QStringLiteral(" hrs."));
    report->AddLine(QStringLiteral("\tRATIO &  REALIZACIÓN MANTENIMIENTO EN PRODUCCIÓN   : ") +
                    Number(totalMinutes == 0 ? 0 : 100 - Percent(totalStopped, totalMinutes)) +
                    QStringLiteral(" %"));
    ShowPieChart(*report, st, QStringLiteral("MANTENIMIENTO PREVENTIVO "),
                 {QStringLiteral("Total Preventivo"), QStringLiteral("Prev en Marcha"),
                  QStringLiteral("Prev en Paro "), QStringLiteral(" "), QStringLiteral(" "),
                  QStringLiteral(" ")},
                 {PieValue(totalMinutes / 60), PieValue((totalMinutes - totalStopped) / 60),
                  PieValue(totalStopped / 60), 0, 0, 0});
    if (update && !budgets)
        ctx.ui.ShowMessage(QStringLiteral("Presupuesto no Definido"));
    ctx.ui.ShowReport(report);
    st.ActionCode.clear();
}

void BudgetValuationReport(Context& ctx)
{
    State& st = ctx.st;
    const std::optional<std::vector<TBudgetRecord>> budgets = LoadBudgets(ctx, Report::Show);
    if (!budgets)
        return;
    // The valuation's own mode: in euros at a labour-hour cost in cents, or in hours.
    const bool inEuros =
        ctx.ui.InputBox(QStringLiteral("VALORACION PRESUPUESTARIA"), QStringLiteral("HORAS O EUROS (H/E)"),
                        QStringLiteral("H")) == QLatin1String("E");
    std::int64_t hourCost = 0;
    if (inEuros)
        hourCost =
            TextToInt64(st, ctx.ui.InputBox(QStringLiteral("COSTE DE LA HORA DE MANO DE OBRA"),
                                            QStringLiteral("Centimos de EURO POR HORA DE MANO DE OBRA"),
                                            QString::number(st.AverageHourPrice)));

    auto report = std::make_shared<ReportDocument>(QStringLiteral("PRESUPUESTO DE ") + st.CurrentEnvironment);
    report->SetTabStops({10, 70, 290, 340, 390, 440, 490, 540, 590});
    report->AddLine(QString());
    report->SetFontSize(12);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QLatin1Char('\t') + st.FirmName +
                    QStringLiteral("           PRESUPUESTO MANTENIMIENTO        \t") + st.CurrentEnvironment +
                    QLatin1Char('\t') + st.TodayText);
    report->AddLine(QString());
    report->SetFontSize(10);
    report->AddLine(QStringLiteral("\tCODIGO\tMAQUINA\tCON\tPRV\tREP\tAVR\tALB\tMAT"));
    report->SetStyle(FontStyle::Normal);
    report->AddLine(QString());

    const MachineIndex machines(ctx);
    std::int64_t cn = 0, pv = 0, rp = 0, av = 0, ex = 0, al = 0;
    for (const TBudgetRecord& rec : *budgets) {
        ++st.ListedCount;
        report->AddLine(QLatin1Char('\t') + rec.MachineCode.str() + QLatin1Char('\t') +
                        machines.Find(rec.MachineCode).Denominacion.str() + QLatin1Char('\t') +
                        HoursText(rec.CN.get()) + QLatin1Char('\t') + HoursText(rec.PV.get()) +
                        QLatin1Char('\t') + HoursText(rec.RP.get()) + QLatin1Char('\t') +
                        HoursText(rec.AV.get()) + QLatin1Char('\t') + Number(rec.EX.get()) +
                        QLatin1Char('\t') + Number(rec.AL.get()));
        cn += rec.CN.get();
        pv += rec.PV.get();
        rp += rec.RP.get();
        av += rec.AV.get();
        ex += rec.EX.get();
        al += rec.AL.get();
    }
    report->AddLine(
        QStringLiteral("\t-------------\t -------------------------------------------\t---------\t---------"
                       "\t---------\t----------\t----------"));
    report->AddLine(QStringLiteral("\tPRESUPUESTO MTO. ") + Number(st.FirstYear + kYearOffset) +
                    QLatin1Char('/') + Number(st.LastYear) + QStringLiteral(": \t") + HoursText(cn) +
                    QLatin1Char('\t') + HoursText(pv) + QLatin1Char('\t') + HoursText(rp) +
                    QLatin1Char('\t') + HoursText(av) + QLatin1Char('\t') + Number(ex) + QLatin1Char('\t') +
                    Number(al));
    const std::int64_t minutes = pv + cn + av + rp;
    if (inEuros) {
        // The minutes are valued at the hour's cost; the two amounts are whole euros already.
        const std::int64_t value = minutes * hourCost / 60 + (al + ex) * 100;
        report->AddLine(QStringLiteral("\tVALOR DE LA MANO DE OBRA A :   ") + CentsToText(hourCost) +
                        QStringLiteral(" EUROS./Hora"));
        report->AddLine(QString());
        report->AddLine(QStringLiteral("\tVALOR TOTAL  ") + CentsToText(value) + QStringLiteral(" EUROS"));
    } else {
        report->AddLine(QString());
        report->AddLine(QStringLiteral("\tVALORES PORCENTUALES  % \t") + Number(Percent(cn, minutes)) +
                        QLatin1Char('\t') + Number(Percent(pv, minutes)) + QLatin1Char('\t') +
                        Number(Percent(rp, minutes)) + QLatin1Char('\t') + Number(Percent(av, minutes)));
        report->AddLine(QString());
        report->AddLine(QStringLiteral("\t VALOR TOTAL DE HORAS PRESUPUESTADAS    \t") + HoursText(minutes));
    }
    ctx.ui.ShowReport(report);
}

} // namespace gim
