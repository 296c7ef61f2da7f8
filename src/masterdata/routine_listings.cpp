#include "masterdata/routine_listings.h"

#include "core/context.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/routines.h"
#include "platform/handover.h"
#include "platform/report.h"

#include <algorithm>
#include <memory>

namespace gim {

namespace {

// Rows longer than this continue on a second row under the description column.
constexpr qsizetype kDescriptionWidth = 98;

bool FrequencyPasses(const QString& wanted, const TOperationRecord& rec)
{
    if (wanted == QLatin1String("*"))
        return true;
    return FrequencyIncludes(wanted, rec.Frequency.str()) &&
           CompareCp1252(ToCp1252(wanted), rec.Frequency.bytes()) >= 0;
}

} // namespace

void ListOperations(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    const QString caption = QStringLiteral("Listado de Gamas");
    const QString typed =
        ctx.ui.InputBox(caption, QStringLiteral("Entrar Codigo Máquina "), QStringLiteral("#"));
    const QString frequency =
        ctx.ui.InputBox(caption, QStringLiteral("Frecuencia de la Gama"), QStringLiteral("*"));
    const QString speciality =
        ctx.ui.InputBox(caption, QStringLiteral("Especialidad de la Gama"), QStringLiteral("*"));
    ShortString<8> code{};
    code = typed;
    if (code == "#")
        return;
    const bool found = FindIntoFoundMachine(ctx, code);
    r.SelectedOperation.MachineCode.assign(code);
    if (!found) {
        ctx.ui.ShowMessage(QStringLiteral("NO EXISTE LA MAQUINA") +
                           QStringLiteral(" O LA REVISION DE LA FRECUENCIA BUSCADA"));
        return;
    }

    auto report =
        std::make_shared<ReportDocument>(QStringLiteral("GAMAS PREVENTIVO DE ") + st.CurrentEnvironment);
    report->SetFontSize(12);
    report->SetStyle(FontStyle::Bold);
    report->SetTabStops({5, 25, 40, 63, 80, 350});
    report->AddLine(QLatin1Char('\t') + st.FirmName + QString(29, QLatin1Char(' ')) +
                    QStringLiteral("GAMA DE MANTENIMIENTO") + QString(18, QLatin1Char(' ')) + st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QStringLiteral("\tCodigo:") + code.str() + QStringLiteral("   ") +
                    st.FoundMachine.Denominacion.str() + QLatin1Char('\t') + st.CurrentEnvironment);
    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Underline);
    report->AddLine(
        QStringLiteral("\tFr\tEt\tTp\tOf\t                    DESCRIPCION OPERACIONES DE REVISION"));
    report->SetStyle(FontStyle::Normal);
    report->AddLine(QStringLiteral("  "));
    report->SetFontSize(8);

    // Sums in words, as the totals always were.
    std::uint16_t planned = 0;
    std::uint16_t stopped = 0;
    for (const OperationEntry& e : r.OperationList) {
        const TOperationRecord& op = e.rec;
        if (!(op.MachineCode == code) || !FrequencyPasses(frequency, op))
            continue;
        if (speciality != QLatin1String("*") && !(op.Speciality == speciality))
            continue;
        planned = static_cast<std::uint16_t>(planned + op.Minutes.get());
        if (op.State == "P")
            stopped = static_cast<std::uint16_t>(stopped + op.Minutes.get());
        const QString description = op.Description.str();
        const QString row = QLatin1Char('\t') + op.Frequency.str() + QLatin1Char('\t') + op.State.str() +
                            QLatin1Char('\t') + QString::number(op.Minutes.get()) + QLatin1Char('\t') +
                            op.Speciality.str() + QLatin1Char('\t');
        report->AddLine(row + description.left(kDescriptionWidth));
        report->AddLine(QStringLiteral("\r"));
        if (description.size() >= kDescriptionWidth) {
            report->AddLine(QStringLiteral("\t\t\t\t\t") + description.mid(kDescriptionWidth));
            report->AddLine(QStringLiteral("\r"));
        }
    }

    report->SetFontSize(12);
    const int ratio = stopped * 100 / std::max<int>(planned, 1);
    report->AddLine(QStringLiteral("\t\t\tTIEMPO TOTAL PREVISTO DE EJECUCION  TP : ") +
                    QString::number(planned) + QStringLiteral("  MINUTOS"));
    report->AddLine(QStringLiteral("\t\t\tTIEMPO DISPONIBILIDAD DE LA MAQUINA TD : ") +
                    QString::number(stopped) + QStringLiteral("  MINUTOS"));
    report->AddLine(QStringLiteral("\t\t\tRATIO INTERFERENCIA DE MTO. (TD/TP) : ") + QString::number(ratio) +
                    QStringLiteral("%"));
    st.CurrentSubFolder = QStringLiteral("\\Gamas");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

void RegisterOperationHandover(Context& ctx, HandoverRegistry& handover)
{
    // The operation listing's columns; the machine code stays as it was.
    HandoverMap& map = handover.Map(EditItem::Gamas);
    map.fields = {{1, "Frequency", 2},
                  {2, "State", 2},
                  {3, "Minutes", kNumberText},
                  {4, "Speciality", 2},
                  {5, "Description", 130}};
    map.clearedOnOpen = {"Description"};
    handover.SetDeliver(EditItem::Gamas, [&ctx](const HandoverFields& fields) {
        TOperationRecord& selected = Routines(ctx).SelectedOperation;
        for (const auto& [name, value] : fields) {
            if (name == QLatin1String("Frequency"))
                selected.Frequency = value;
            else if (name == QLatin1String("State"))
                selected.State = value;
            else if (name == QLatin1String("Minutes"))
                selected.Minutes = static_cast<std::uint16_t>(ParseInt64(value).value);
            else if (name == QLatin1String("Speciality"))
                selected.Speciality = value;
            else if (name == QLatin1String("Description"))
                selected.Description = value;
        }
    });
    handover.SetClear(EditItem::Gamas, [&ctx](const QStringList& names) {
        if (names.contains(QLatin1String("Description")))
            Routines(ctx).SelectedOperation.Description = "";
    });
}

} // namespace gim
