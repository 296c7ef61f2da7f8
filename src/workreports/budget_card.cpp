#include "workreports/budget_card.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/field_rules.h"
#include "core/lookups.h"
#include "workreports/budgets.h"

#include <QStringList>
#include <array>
#include <limits>

namespace gim {

namespace {

constexpr std::int64_t kMaxMinutes = std::numeric_limits<std::int32_t>::max();

// The weighting dialog.
const QString kConfirm = QStringLiteral("Slv");
struct WeightControl
{
    const char* name;
    const char* label;
    LeI32 BudgetWeights::*field;
};
const std::array<WeightControl, 4> kWeightControls{{
    {"Prev", "Preventivo %", &BudgetWeights::Prev},
    {"Repar", "Reparaciones %", &BudgetWeights::Repar},
    {"cond", "Conductivo %", &BudgetWeights::cond},
    {"avr", "Averías %", &BudgetWeights::avr},
}};

// "&Confirmar" only for a weighting that shares out the whole of the work; a preventive share of 0 would
// leave nothing to take the other three against.
void CheckWeights(CardState& state)
{
    std::int64_t sum = 0;
    for (const WeightControl& c : kWeightControls) {
        const std::optional<std::int64_t> v = WholeOfText(state.value(QLatin1String(c.name)));
        if (!v)
            return;
        sum += *v;
    }
    const std::int64_t preventive = WholeOfText(state.value(QStringLiteral("Prev"))).value_or(0);
    state.enable(kConfirm, sum == 100 && preventive > 0);
}

// The budget card.
const QString kCodigo = QStringLiteral("Codigo");
const QString kDescripcion = QStringLiteral("Descripcion");
const QString kCond = QStringLiteral("Cond");
const QString kRichcost = QStringLiteral("Richcost");
const QString kSave = QStringLiteral("BitBtn2");
const QString kPrint = QStringLiteral("Button1");

} // namespace

BudgetWeights DefaultBudgetWeights()
{
    BudgetWeights w{};
    w.Prev = 60;
    w.Repar = 25;
    w.cond = 10;
    w.avr = 5;
    return w;
}

void ApplyBudgetWeights(TBudgetRecord& rec, std::int64_t minutes, const BudgetWeights& weights)
{
    const std::int64_t base = weights.Prev.get();
    const auto share = [&](const LeI32& weight) {
        return static_cast<std::int32_t>(base == 0 ? 0 : weight.get() * minutes / base);
    };
    rec.PV = static_cast<std::int32_t>(minutes);
    rec.CN = share(weights.cond);
    rec.AV = share(weights.avr);
    rec.RP = share(weights.Repar);
}

const CardBinding<BudgetWeights>& BudgetWeightsCardBinding()
{
    using W = BudgetWeights;
    static const CardBinding<W> binding{BindWhole(QStringLiteral("Prev"), &W::Prev, 0, 100),
                                        BindWhole(QStringLiteral("Repar"), &W::Repar, 0, 100),
                                        BindWhole(QStringLiteral("cond"), &W::cond, 0, 100),
                                        BindWhole(QStringLiteral("avr"), &W::avr, 0, 100)};
    return binding;
}

CardSpec BudgetWeightsCardSpec()
{
    CardSpec spec;
    spec.name = QStringLiteral("TPondpres");
    spec.caption = QStringLiteral("Presupuesto MTO");
    FieldSpec title = MakeField(QStringLiteral("Label1"), "", FieldKind::Label);
    spec.fields.push_back(title);
    for (const WeightControl& c : kWeightControls) {
        FieldSpec f = MakeField(QLatin1String(c.name), c.label);
        // The button follows the typing too: Tab passes over a disabled button, and a click on one that
        // was enabled before the typing must not confirm a sum that no longer holds.
        f.onChange = CheckWeights;
        f.onExit = CheckWeights;
        spec.fields.push_back(f);
    }
    BudgetWeightsCardBinding().Declare(spec);
    spec.buttons = {{kConfirm, QStringLiteral("&Confirmar"), CardResult::Save}};
    spec.onShow = [](CardState& state) {
        state.set(QStringLiteral("Label1"), QStringLiteral("Ponderación Mantenimiento"));
        CheckWeights(state);
    };
    return spec;
}

const CardBinding<TBudgetRecord>& BudgetCardBinding()
{
    using R = TBudgetRecord;
    static const CardBinding<R> binding{BindText(kCodigo, &R::MachineCode),
                                        BindMinutes(QStringLiteral("Prev"), &R::PV, kMaxMinutes),
                                        BindMinutes(QStringLiteral("Avr"), &R::AV, kMaxMinutes),
                                        BindMinutes(QStringLiteral("Ref"), &R::RP, kMaxMinutes),
                                        BindWhole(QStringLiteral("Alm"), &R::AL, 0),
                                        BindWhole(QStringLiteral("Ext"), &R::EX, 0)};
    return binding;
}

CardSpec BudgetCardSpec()
{
    CardSpec spec;
    spec.name = QStringLiteral("Twprs");
    spec.caption = QStringLiteral("COSTES DE MANTENIMIENTO");
    spec.fields = {MakeField(kCodigo, "Código:"),
                   MakeField(kDescripcion, "Máquina:"),
                   MakeField(QStringLiteral("Prev"), "Preventivo:"),
                   MakeField(QStringLiteral("Avr"), "Avería:"),
                   MakeField(QStringLiteral("Ref"), "Reparación:"),
                   MakeField(QStringLiteral("Alm"), "Almacen(Eur):"),
                   MakeField(QStringLiteral("Ext"), "Exterior(Eur):"),
                   MakeField(kCond, "Conductivo"),
                   MakeField(kRichcost, "", FieldKind::Memo)};
    // The budgeted times are what the weighting shares out: each must be given.
    for (FieldSpec& f : spec.fields)
        if (f.name == QLatin1String("Prev") || f.name == QLatin1String("Avr") ||
            f.name == QLatin1String("Ref"))
            f.rule = MinutesRule(kMaxMinutes, true);
    BudgetCardBinding().Declare(spec);
    spec.buttons = {{QStringLiteral("BitBtn1"), QStringLiteral("&Salir"), CardResult::Exit},
                    {kSave, QStringLiteral("Sal&var"), CardResult::Save},
                    {kPrint, QStringLiteral("&Impresión"), CardResult::Print}};
    spec.cancelResult = CardResult::Exit;
    return spec;
}

void EditBudget(Context& ctx)
{
    KeyedFile<BudgetFile> file(ctx);
    const std::optional<std::vector<TBudgetRecord>> records = file.Read(Report::Show);
    if (!records)
        return;
    const MachineIndex machines(ctx);
    const CardSpec spec = BudgetCardSpec();
    QStringList costs{QStringLiteral("\tCODIGO\tMAQUINA\tPV\tAV\tRP\tAL\tEX"), QString()};
    for (std::size_t i = 0; i < records->size(); ++i) {
        BudgetEntry entry{(*records)[i], static_cast<std::uint32_t>(i)};
        TBudgetRecord rec = entry.rec;
        const QString name = machines.Find(rec.MachineCode).Denominacion.str();
        CardState state;
        state.disabled = {kCodigo, kDescripcion, kCond, kRichcost};
        state.hidden = {kPrint};
        state.set(kDescripcion, name);
        state.set(kRichcost, costs.join(QLatin1Char('\n')));
        // The last record keeps "Sal&var": its changes are saved like any other's.
        if (i + 1 < records->size())
            state.captions[kSave] = QStringLiteral("&Siguiente");
        if (BudgetCardBinding().Run(ctx.ui, spec, rec, state) != CardResult::Save)
            return;
        costs << QLatin1Char('\t') + rec.MachineCode.str() + QLatin1Char('\t') + name + QLatin1Char('\t') +
                     QString::number(rec.PV.get()) + QLatin1Char('\t') + QString::number(rec.AV.get()) +
                     QLatin1Char('\t') + QString::number(rec.RP.get()) + QLatin1Char('\t') +
                     QString::number(rec.AL.get()) + QLatin1Char('\t') + QString::number(rec.EX.get());
        if (file.WriteAt(entry, rec) != WriteResult::Written)
            return;
    }
}

} // namespace gim
