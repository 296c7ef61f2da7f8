#include "preventive/revision_reports.h"

#include "core/context.h"
#include "core/lookups.h"
#include "core/week_codes.h"
#include "platform/report.h"
#include "preventive/plan_time.h"
#include "preventive/revision_card.h"
#include "preventive/revisions.h"

#include <memory>
#include <string>
#include <unordered_map>

namespace gim {

namespace {

constexpr int kNameWidth = 34;

bool Passes(const QString& value, const QString& filter)
{
    return filter == QLatin1String("*") || value == filter;
}

} // namespace

void ReportRevisionHistory(Context& ctx)
{
    State& st = ctx.st;
    RevisionForm filter;
    filter.rec.MachineCode = "*";
    filter.rec.Frequency = "*";
    filter.rec.State = "*";
    filter.rec.Executor = "*";
    filter.year = QString::number(st.FirstYear + kYearOffset);
    filter.week = QStringLiteral("0");
    const bool printing = st.OutputCode != QLatin1String("P");
    const int result =
        RevisionCardBinding(true).Run(ctx.ui, RevisionCardSpec(ctx, RevisionCardRole::Filter), filter,
                                      RevisionCardState(RevisionCardRole::Filter, printing));
    if (result != CardResult::Save)
        return;
    const WeekParts start = RevisionCardWeek(ctx, filter);
    const int startWeek = AbsoluteWeek(st, start.year, start.week);
    const QString code = filter.rec.MachineCode.str();
    const QString frequency = filter.rec.Frequency.str();
    const QString state = filter.rec.State.str();
    // A machine's history is listed whoever did it.
    const QString executor = code != QLatin1String("*") ? QStringLiteral("*") : filter.rec.Executor.str();
    if (startWeek > st.PlanWeeks)
        return;
    if (code != QLatin1String("*") && !LookUpFoundMachine(ctx, code))
        return;
    const std::optional<std::vector<TRevisionRecord>> records = KeyedFile<RevisionFile>(ctx).Read();
    if (!records)
        return;

    auto report = std::make_shared<ReportDocument>(QStringLiteral("HISTORIAL PREVENTIVO"));
    report->SetTabStops({5, 50, 230, 248, 260, 280, 305, 330, 370, 440});
    report->SetFontSize(12);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(st.FirmName + QStringLiteral("\tHISTORIAL MTO. PREVENTIVO DE ") + st.CurrentEnvironment +
                    QLatin1Char('\t') + st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Underline);
    report->AddLine(
        QStringLiteral("\tCodig\t   Nombre de la Máquina   \tF\tE\tS\tAño\tTE\tEjecutor\tComentarios"));
    report->AddLine(QStringLiteral("\r"));
    report->SetFontSize(8);
    report->SetStyle(FontStyle::Normal);

    // Each machine is looked up once, however many revisions it has, in the register read once.
    const MachineIndex machines(ctx, Report::Show, Report::Silent);
    std::unordered_map<std::string, QString> names;
    st.ListedCount = 0;
    std::int64_t total = 0;
    for (const TRevisionRecord& rec : *records) {
        if (RevisionFile::Deleted(rec) || static_cast<int>(rec.Week.get()) < startWeek ||
            !Passes(rec.MachineCode.str(), code) || !Passes(rec.State.str(), state) ||
            !Passes(rec.Executor.str(), executor) || !Passes(rec.Frequency.str(), frequency))
            continue;
        QString name = st.FoundMachine.Denominacion.str();
        if (code == QLatin1String("*")) {
            const auto [at, fresh] = names.try_emplace(std::string(rec.MachineCode.bytes()));
            if (fresh) {
                st.FoundMachine = machines.Find(rec.MachineCode);
                at->second = st.FoundMachine.Denominacion.str();
            }
            name = at->second;
        }
        ++st.ListedCount;
        total += rec.Time.get();
        SetWorkWeek(st, rec.Week.get());
        report->AddColumns({QString(), rec.MachineCode.str(), name.left(kNameWidth), rec.Frequency.str(),
                            rec.State.str(), QString::number(st.WorkWeek),
                            QString::number(st.WorkYear + kYearOffset), QString::number(rec.Time.get()),
                            rec.Executor.str(), rec.Comment.str()});
    }
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QStringLiteral("\tTIEMPO TOTAL DE DEDICACIÓN EN MTO PREVENTIVO : ") +
                    QString::number(total / 60) + QStringLiteral(" Horas ") + QString::number(total % 60) +
                    QStringLiteral(" min"));
    ctx.ui.ShowReport(report);
}

} // namespace gim
