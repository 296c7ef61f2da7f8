#include "masterdata/procedure_listings.h"

#include "core/context.h"
#include "masterdata/procedure_card.h"
#include "masterdata/procedures.h"
#include "platform/handover.h"
#include "platform/report.h"

#include <memory>

namespace gim {

namespace {

const QString kAny = QStringLiteral("*");

bool Passes(const QString& wanted, const QString& have)
{
    return wanted == kAny || wanted == have;
}

} // namespace

void ListProcedures(Context& ctx)
{
    State& st = ctx.st;
    const bool instructions = st.ActionCode == QLatin1String("I");

    TProcedureRecord filter{};
    filter.MachineCode = "*";
    filter.Espec = "*";
    filter.Proced = "*";
    filter.Inst = instructions ? "*" : kProcedureHeading;
    filter.Estado = "..";
    filter.Descripcion = "..";
    if (instructions && ProcedureCardBinding().Run(ctx.ui, ProcedureCardSpec(ctx, ProcedureCardUse::Filter),
                                                   filter) != CardResult::Save)
        filter.MachineCode = "#";
    const QString code = filter.MachineCode.str();
    const QString speciality = filter.Espec.str();
    const QString procedure = filter.Proced.str();
    const QString instruction = filter.Inst.str();
    if (code == QLatin1String("#"))
        return;

    st.AnswerCode = QStringLiteral("S");
    st.ListedCount = 0;
    auto report =
        std::make_shared<ReportDocument>(QStringLiteral("PROCEDIMIENTOS DE ") + st.CurrentEnvironment);
    report->SetTabStops({20, 110, 160, 210, 350});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QStringLiteral("\t\t\t\t") + st.CurrentEnvironment);
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QStringLiteral("\t\t\tLISTADO DE PROCEDIMIENTOS a ") + st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QStringLiteral("\tCODIGO\tESTADO\tTIEMPO\tDESCRIPCIÓN"));
    report->SetStyle(FontStyle::Normal);
    st.PrintFlag = 1;

    for (const ProcedureEntry& e : Procedures(ctx).ProcedureList) {
        ++st.ListedCount;
        const TProcedureRecord& p = e.rec;
        // Every heading walked opens its procedure with an empty line and bold, also one the filter
        // leaves out: the next listed row is then bold too.
        const bool heading = p.Inst == kProcedureHeading;
        if (heading) {
            report->AddLine(QStringLiteral("\r"));
            report->SetStyle(FontStyle::Bold);
        }
        if (!Passes(code, p.MachineCode.str()) || !Passes(speciality, p.Espec.str()) ||
            !Passes(procedure, p.Proced.str()) || !Passes(instruction, p.Inst.str()))
            continue;
        report->AddLine(QLatin1Char('\t') + JoinedProcedureKey(p) + QLatin1Char('\t') + p.Estado.str() +
                        QLatin1Char('\t') + QString::number(p.Tiempo.get()) + QLatin1Char('\t') +
                        p.Descripcion.str());
        report->SetStyle(FontStyle::Normal);
        if (instructions && heading)
            report->AddLine(QStringLiteral("\r"));
    }
    st.CurrentSubFolder = QStringLiteral("\\PROCEDIM");
    report->saveSubFolder = st.CurrentSubFolder;
    report->AddLine(QStringLiteral("\r"));
    ctx.ui.ShowReport(report);
}

void RegisterProcedureHandover(Context& ctx, HandoverRegistry& handover)
{
    // The listing joins code, speciality, procedure and instruction (blanks removed); a stored record
    // says where the parts end when they are not 8, 2, 2 and 2 characters long.
    HandoverMap& map = handover.Map(EditItem::Procedimientos);
    map.keys = {{1, {{"MachineCode", 8}, {"Espec", 2}, {"Proced", 2}, {"Inst", 2}}, true}};
    map.lookupKey = [&ctx](const HandoverKey&, const QString& joined) -> std::optional<QStringList> {
        const std::vector<TProcedureRecord> records =
            KeyedFile<ProcedureFile>(ctx).Read(Report::Silent).value_or(std::vector<TProcedureRecord>{});
        for (const TProcedureRecord& r : records) {
            if (JoinedProcedureKey(r).remove(QLatin1Char(' ')) == joined)
                return QStringList{r.MachineCode.str(), r.Espec.str(), r.Proced.str(), r.Inst.str()};
        }
        return std::nullopt;
    };
    handover.SetDeliver(EditItem::Procedimientos, [&ctx](const HandoverFields& fields) {
        TProcedureRecord& selected = Procedures(ctx).SelectedProcedure;
        for (const auto& [name, value] : fields) {
            if (name == QLatin1String("MachineCode"))
                selected.MachineCode = value;
            else if (name == QLatin1String("Espec"))
                selected.Espec = value;
            else if (name == QLatin1String("Proced"))
                selected.Proced = value;
            else if (name == QLatin1String("Inst"))
                selected.Inst = value;
        }
    });
}

} // namespace gim
