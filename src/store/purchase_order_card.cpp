#include "store/purchase_order_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "platform/card_binding.h"
#include "platform/date_text.h"
#include "store/purchase_orders.h"
#include "store/spare_part_card.h"
#include "store/spare_parts.h"
#include "store/suppliers.h"

#include <QDate>
#include <algorithm>
#include <limits>
#include <memory>

namespace gim {

namespace {

const QString kNped = QStringLiteral("Nped");
const QString kRefer = QStringLiteral("Refer");
const QString kSumtro = QStringLiteral("Sumtro");
const QString kSupplierName = QStringLiteral("NomSumtro");
const QString kCodigo = QStringLiteral("Codigo");
const QString kMachineName = QStringLiteral("NomMaquina");
const QString kEquipo = QStringLiteral("Equipo");
const QString kEquipoName = QStringLiteral("NomEquipo");
const QString kUtil = QStringLiteral("Util");
const QString kUtilName = QStringLiteral("NomUtil");
const QString kPieza = QStringLiteral("Pieza");
const QString kDescrip = QStringLiteral("Descrip");
const QString kMarca = QStringLiteral("Marca");
const QString kValor = QStringLiteral("Valor");
const QString kCantidad = QStringLiteral("Cantidad");
const QString kEntradas = QStringLiteral("Entradas");
const QString kLugar = QStringLiteral("LUGAR");
const QString kEstado = QStringLiteral("Estado");
const QString kEstadoName = QStringLiteral("NomEstado");
const QString kAlbaran = QStringLiteral("Albaran");
const QString kFechAlta = QStringLiteral("fechALTA");
const QString kCalenAper = QStringLiteral("CalenAper");
const QString kFechaEnt = QStringLiteral("fechaENT");
const QString kCalenEnt = QStringLiteral("CalenENT");
const QString kFechCierr = QStringLiteral("Fechcierr");
const QString kCalenCierr = QStringLiteral("CalenCierr");
const QString kWeekMask = QStringLiteral("00/00/0;1;_");

constexpr CodeLabel kStates[] = {{"P", "Pendiente"}, {"E", "Entregado"}, {"I", "Incompleto"}};

// The families and uses an order line offers: those of the parts, without the hardware family.
QStringList OrderFamilies()
{
    return {"EC", "EL", "ET", "GR", "HI", "IN", "ME", "NU"};
}
QStringList OrderUses()
{
    return {"ACC", "ALM", "BOB", "CLF", "COD", "CON", "ENG", "GIR", "ILM", "MED", "MOT", "REF", "SCC", "TRS"};
}

const CardBinding<TPurchaseOrderRecord>& Binding()
{
    using R = TPurchaseOrderRecord;
    // Order numbers and units are counts: 0 or more. The number and the units ordered are required.
    const auto count = [](const QString& control, auto R::*field, std::int64_t max, bool required) {
        ControlBinding<R> b = BindWhole(control, field, 0, max);
        b.rule = WholeRule(0, max, required);
        return b;
    };
    constexpr std::int64_t kNumbers = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kUnits = std::numeric_limits<std::int16_t>::max();
    static const CardBinding<R> binding{count(kNped, &R::Nped, kNumbers, true),
                                        BindText(kRefer, &R::Refer),
                                        BindText(kSumtro, &R::Sumtro),
                                        BindText(kCodigo, &R::Codigo),
                                        BindText(kEquipo, &R::Equipo),
                                        BindText(kUtil, &R::Util),
                                        BindText(kPieza, &R::Pieza),
                                        BindText(kDescrip, &R::Descrip),
                                        BindText(kMarca, &R::Marca),
                                        BindCents(kValor, &R::Valor),
                                        count(kCantidad, &R::Cantidad, kUnits, true),
                                        count(kEntradas, &R::Entradas, kUnits, false),
                                        BindText(kLugar, &R::LUGAR),
                                        BindText(kEstado, &R::Estado),
                                        BindText(kAlbaran, &R::Albaran),
                                        BindText(kFechAlta, &R::fechALTA),
                                        BindText(kFechaEnt, &R::fechaENT),
                                        BindText(kFechCierr, &R::Fechcierr)};
    return binding;
}

struct CardContext
{
    Context& ctx;
    std::vector<SupplierEntry> suppliers; // read when Sumtro is entered
    std::vector<SparePartEntry> parts;    // read the first time Pieza is left
    bool partsLoaded = false;
};

QString PickerOf(const Context& ctx, const QString& code)
{
    const std::optional<QDate> date = WeekCodeToDate(code);
    return FormatDate(date ? *date : ctx.clock.Now().date());
}

// The field beside a picker takes the picked day's week code.
void FieldFollowsPicker(CardState& state, const QString& picker, const QString& field)
{
    const QDate date = ParseDate(state.value(picker));
    if (date.isValid())
        state.set(field, WeekCodeOf(date));
}

void ShowAndEnable(CardState& state, std::initializer_list<QString> names)
{
    for (const QString& n : names) {
        state.show(n, true);
        state.enable(n, true);
    }
}

// The name and maker of the part the card's key names.
void FillFromPart(CardContext& cc, CardState& state)
{
    if (!cc.partsLoaded) {
        cc.parts = KeyedFile<SparePartFile>(cc.ctx).LoadList(Report::Silent);
        cc.partsLoaded = true;
    }
    TSparePartRecord wanted{};
    wanted.Codigo = state.value(kCodigo);
    wanted.Equipo = state.value(kEquipo);
    wanted.Util = state.value(kUtil);
    wanted.Pieza = state.value(kPieza);
    const auto it = std::lower_bound(
        cc.parts.begin(), cc.parts.end(), wanted,
        [](const SparePartEntry& e, const TSparePartRecord& key) { return SparePartKeyBefore(e.rec, key); });
    if (it != cc.parts.end() && SamePartKey(it->rec, wanted)) {
        state.set(kDescrip, it->rec.Nombre.str());
        state.set(kMarca, it->rec.Marca.str());
    } else {
        state.set(kDescrip, QStringLiteral("REPUESTO NO CODIFICADO EN ALMACÉN"));
    }
}

// Units received against units ordered: nothing yet is pending, some incomplete, all delivered (and then
// the line closes on the closing picker's day).
void ReceivedUnitsLeft(const Context& ctx, CardState& state)
{
    const std::int64_t received = WholeOfText(state.value(kEntradas)).value_or(0);
    const std::int64_t ordered = WholeOfText(state.value(kCantidad)).value_or(0);
    QString estado = state.value(kEstado);
    if (received == 0)
        estado = QStringLiteral("P");
    else if (received < ordered)
        estado = QStringLiteral("I");
    else if (received == ordered)
        estado = QStringLiteral("E");
    if (received != 0 && received == ordered) {
        const QDate closing = ParseDate(state.value(kCalenCierr));
        state.set(kFechCierr, WeekCodeOf(closing.isValid() ? closing : ctx.clock.Now().date()));
    }
    state.set(kEstado, estado);
    state.set(kEstadoName, CodeTable(kStates).LabelOr(estado));
}

} // namespace

CardSpec PurchaseCardSpec(Context& ctx)
{
    auto cc = std::make_shared<CardContext>(CardContext{ctx, {}, {}, false});
    CardSpec spec;
    spec.name = QStringLiteral("TCompras");
    spec.caption = QStringLiteral("COMPRAS  DE REPUESTOS");
    auto add = [&spec](const QString& name, const char* label, FieldKind kind = FieldKind::Text) {
        spec.fields.push_back(MakeField(name, label, kind));
        return &spec.fields.back();
    };
    add(kNped, "Nº Pedido :");
    add(kRefer, "Referencia :");
    add(kSumtro, "Suministrador :", FieldKind::Combo);
    add(kSupplierName, "", FieldKind::Label);
    add(kCodigo, "Código :", FieldKind::Combo);
    add(kMachineName, "", FieldKind::Label);
    AddCodeCombo(spec, kEquipo, "Equipo :", PartFamilies(), kEquipoName).choices = OrderFamilies();
    AddCodeCombo(spec, kUtil, "Utilidad :", PartUses(), kUtilName).choices = OrderUses();
    add(kPieza, "Pieza :");
    add(kDescrip, "Descripción :");
    add(kMarca, "Marca :");
    add(kValor, "Valor Unitario :");
    add(kCantidad, "Cantidad :");
    add(kEntradas, "Entradas :");
    add(kLugar, "Lugar Entrega :");
    FieldSpec& estado = AddCodeCombo(spec, kEstado, "Estado :", kStates, kEstadoName);
    estado.rule = CodeRule(estado.choices);
    add(kAlbaran, "Albarán :");
    for (const auto& [field, picker, label] : {std::tuple{kFechAlta, kCalenAper, "Fecha Pedido :"},
                                               std::tuple{kFechaEnt, kCalenEnt, "Fecha Entrega :"},
                                               std::tuple{kFechCierr, kCalenCierr, "Fecha Cierre :"}}) {
        FieldSpec* code = add(field, label, FieldKind::Masked);
        code->mask = kWeekMask;
        // The order date is required; the others may wait for their day.
        code->rule = WeekCodeRule(field == kFechAlta);
        add(picker, "", FieldKind::Date)->rule = DateRule();
    }
    // The open closing code names no day of its own; it is taken as it stands.
    for (FieldSpec& f : spec.fields)
        if (f.name == kFechCierr) {
            const QString open = OpenClosingCode(ctx.st);
            f.rule.accepts = [open, weekCode = f.rule.accepts](const QString& text) {
                return text == open || weekCode(text);
            };
        }
    Binding().Declare(spec);
    spec.buttons = {{QStringLiteral("Salvar"), QStringLiteral("Sal&var"), CardResult::Save},
                    {QStringLiteral("Salir"), QStringLiteral("&Salir"), CardResult::Exit},
                    {QStringLiteral("Borrar"), QStringLiteral("&Borrar"), CardResult::Delete}};
    spec.cancelResult = CardResult::Exit;

    spec.onDoubleClick = [](CardState& state, const QString& field) {
        if (field == kRefer)
            state.enable(kNped, true);
    };
    spec.onEnter = [cc](CardState& state, const QString& field) {
        Context& c = cc->ctx;
        if (field == kSumtro) {
            cc->suppliers = KeyedFile<SupplierFile>(c).LoadList(Report::Silent);
            QStringList codes;
            for (const SupplierEntry& e : cc->suppliers)
                codes << e.rec.Codigo.str();
            state.choices[kSumtro] = codes;
        } else if (field == kCodigo) {
            state.choices[kCodigo] = MachineCodeChoices(c);
        }
    };
    spec.onChange = [cc](CardState& state, const QString& field) {
        Context& c = cc->ctx;
        if (field == kSumtro)
            state.set(kSupplierName, FindSupplierName(c, state.value(kSumtro)));
        else if (field == kCodigo)
            state.set(kMachineName, LookUpMachine(c, state.value(kCodigo)).Denominacion.str());
        else if (field == kCalenAper)
            FieldFollowsPicker(state, kCalenAper, kFechAlta);
        else if (field == kCalenEnt)
            FieldFollowsPicker(state, kCalenEnt, kFechaEnt);
        else if (field == kCalenCierr)
            FieldFollowsPicker(state, kCalenCierr, kFechCierr);
        else if (field == kAlbaran) {
            // A delivery note arrives today.
            const QDate today = c.clock.Now().date();
            state.set(kCalenCierr, FormatDate(today));
            state.set(kFechaEnt, WeekCodeOf(today));
        }
    };
    spec.onExit = [cc](CardState& state, const QString& field) {
        Context& c = cc->ctx;
        if (field == kCalenAper)
            FieldFollowsPicker(state, kCalenAper, kFechAlta);
        else if (field == kCalenEnt)
            FieldFollowsPicker(state, kCalenEnt, kFechaEnt);
        else if (field == kCalenCierr)
            FieldFollowsPicker(state, kCalenCierr, kFechCierr);
        else if (field == kPieza)
            FillFromPart(*cc, state);
        else if (field == kEntradas)
            ReceivedUnitsLeft(c, state);
        else if (field == kEstado && state.value(kEstado) != QLatin1String("P")) {
            const QDate today = c.clock.Now().date();
            state.set(kCalenCierr, FormatDate(today));
            state.set(kFechCierr, WeekCodeOf(today));
            ShowAndEnable(state, {kFechCierr, kCalenCierr, kAlbaran});
        }
    };
    return spec;
}

int OpenPurchaseWindow(Context& ctx, TPurchaseOrderRecord& rec)
{
    State& st = ctx.st;
    PurchaseOrdersState& po = PurchaseOrders(ctx);
    const QString& mode = st.ActionCode;
    int result = CardResult::Save;
    if (st.InteractiveFlag) {
        CardState opening;
        if (rec.Nped.get() != 1)
            opening.enable(kNped, false);
        const bool existing =
            mode == QLatin1String("E") || mode == QLatin1String("i") || mode == QLatin1String("P");
        if (!existing) {
            const QString today = WeekCodeOf(ctx.clock.Now().date());
            rec.fechALTA = today;
            rec.fechaENT = today;
            opening.enable(kCalenCierr, false);
        }
        opening.set(kCalenAper, PickerOf(ctx, rec.fechALTA.str()));
        opening.set(kCalenEnt, PickerOf(ctx, rec.fechaENT.str()));
        opening.set(kCalenCierr, PickerOf(ctx, rec.Fechcierr.str()));
        opening.set(kSupplierName, QString());
        opening.set(kEquipoName, PartFamilies().LabelOr(rec.Equipo.str()));
        opening.set(kUtilName, PartUses().LabelOr(rec.Util.str()));
        opening.set(kEstadoName, CodeTable(kStates).LabelOr(rec.Estado.str()));
        if (mode == QLatin1String("N"))
            for (const QString& hidden : {kAlbaran, kCalenCierr, kFechCierr})
                opening.show(hidden, false);
        result = Binding().Run(ctx.ui, PurchaseCardSpec(ctx), rec, opening);
    }
    if (result == CardResult::Save) {
        po.PurchaseLineChanged = 1;
        po.PurchaseLineDeleted = 0;
    } else if (result == CardResult::Delete) {
        rec.Codigo = "Z";
        po.PurchaseLineDeleted = 1;
    } else {
        po.PurchaseLineChanged = 0;
        po.PurchaseLineDeleted = 0;
        st.ContinueFlag = 0;
        rec.Codigo = "#";
    }
    return result;
}

} // namespace gim
