#include "masterdata/routine_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/procedures.h"
#include "platform/card_binding.h"

#include <QDir>
#include <algorithm>
#include <memory>

namespace gim {

namespace {

const QString Code = QStringLiteral("Label1"); // the machine code, read back as the record's
const QString Name = QStringLiteral("Label2");
const QString Frequency = QStringLiteral("FercGM");
const QString MachineState = QStringLiteral("EstadoGM");
const QString Speciality = QStringLiteral("EspGM");
const QString Description = QStringLiteral("DescripGM");
const QString Minutes = QStringLiteral("TiempoGM");
const QString FrequencyText = QStringLiteral("FrecLabel"); // meaning of the typed code
const QString StateText = QStringLiteral("EstadoLabel");
const QString SpecialityText = QStringLiteral("EspLabel");
const QString HoursText = QStringLiteral("TiempoLabel"); // the minutes as hours
const QString Rich = QStringLiteral("RichGM");
const QString SaveButton = QStringLiteral("Button1");
const QString DeleteButton = QStringLiteral("Button2");
const QString NextButton = QStringLiteral("Impresion");

const QString SourceEnvironment = QStringLiteral("Forigen");
const QString TargetEnvironment = QStringLiteral("Fdestin");

// RichGM is a read-only list: one row per line, none current.
void SetRichLines(CardState& state, const QStringList& lines)
{
    std::vector<QStringList>& rows = state.rows[Rich];
    rows.clear();
    rows.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines)
        rows.push_back(QStringList{line});
    state.set(Rich, QString());
}

} // namespace

const CardBinding<TOperationRecord>& RoutineCardBinding()
{
    using R = TOperationRecord;
    static const CardBinding<R> binding{
        BindText(Code, &R::MachineCode),        BindText(Frequency, &R::Frequency),
        BindText(MachineState, &R::State),      BindText(Speciality, &R::Speciality),
        BindText(Description, &R::Description), BindMinutes(Minutes, &R::Minutes),
    };
    return binding;
}

namespace {

// The card names the codes of the reserved-code lists, some shorter than the lists do.
CodeTable Frequencies()
{
    return ReservedCodeListOf(ReservedList::FrecueMTP).items;
}
CodeTable Specialities()
{
    return ReservedCodeListOf(ReservedList::EspeciMTP).items;
}
CodeTable MachineStates()
{
    return ReservedCodeListOf(ReservedList::EstadoMTP).items;
}

QString Meaning(CodeTable table, const QString& code)
{
    return table.LabelOr(code, QStringLiteral("No valida"));
}

// A code the card shows as "No valida" is not stored: the value must be one of the table's codes, the ".."
// a new card starts from (no code chosen, as blank records hold it), or one of `aliases`, which the save
// of the list turns into codes of the table.
FieldRule TableRule(CodeTable table, const QStringList& aliases = {})
{
    FieldRule rule = CodeRule(table.Codes(), true);
    rule.accepts = [inTable = rule.accepts, aliases](const QString& text) {
        return text == QLatin1String("..") || aliases.contains(text) || inTable(text);
    };
    return rule;
}

// The combo's built-in verbs.
const QStringList& BuiltInDescriptions()
{
    static const QStringList items{QStringLiteral("AJUSTAR"), QStringLiteral("COMPROBAR"),
                                   QStringLiteral("LIMPIAR"), QStringLiteral("REVISAR ")};
    return items;
}

// A sorted combo: case-insensitive order, equal items kept side by side.
void SortItems(QStringList& items)
{
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

void UpdateMeanings(CardState& state)
{
    state.set(FrequencyText, FrequencyMeaning(state.value(Frequency)));
    state.set(StateText, MachineStateMeaning(state.value(MachineState)));
    state.set(SpecialityText, SpecialityMeaning(state.value(Speciality)));
    state.set(HoursText, MinutesToHoursText(static_cast<int>(ParseInt64(state.value(Minutes)).value)));
}

// Leaving the speciality keeps the descriptions that start with its first letter (the suggestions read
// "speciality / description"), shows them in RichGM and offers their texts from the fifth character.
void NarrowDescriptions(CardState& state, QStringList& items)
{
    const QString speciality = state.value(Speciality);
    QStringList kept;
    if (!speciality.isEmpty()) {
        const QChar first = speciality.front();
        for (const QString& item : items) {
            if (item.isEmpty() || item.front() != first)
                continue;
            if (!kept.isEmpty() && kept.back() == item)
                continue;
            kept << item;
        }
    }
    SetRichLines(state, kept);
    state.show(Rich, true);
    QStringList narrowed;
    for (const QString& line : kept)
        narrowed << line.mid(4, 133);
    items = narrowed;
}

// The procedure headings of the procedure list, as a help for the description.
void ListProcedureHeadings(Context& ctx, CardState& state)
{
    QStringList lines;
    ctx.st.ListedCount = 0;
    for (const ProcedureEntry& e : Procedures(ctx).ProcedureList) {
        ++ctx.st.ListedCount;
        const TProcedureRecord& p = e.rec;
        if (!(p.Inst == kProcedureHeading))
            continue;
        lines << p.MachineCode.str() + p.Espec.str() + p.Proced.str() + QLatin1String(kProcedureHeading) +
                     QStringLiteral(" / ") + p.Descripcion.str();
    }
    SetRichLines(state, lines);
}

} // namespace

QString FrequencyMeaning(const QString& code)
{
    // "Horas Funcionamiento" is too long for the label beside the combo.
    return code == QLatin1String("TF") ? QStringLiteral("Horas") : Meaning(Frequencies(), code);
}

QString SpecialityMeaning(const QString& code)
{
    return Meaning(Specialities(), code);
}

QString MachineStateMeaning(const QString& code)
{
    // "Máquina Operativa" reads "Operativa" beside the state.
    const QString meaning = Meaning(MachineStates(), code);
    return meaning.startsWith(QStringLiteral("Máquina ")) ? meaning.mid(8) : meaning;
}

QString CardFrequency(const QString& typed)
{
    return FrequencyIncludes(u"TT", typed) ? typed : QStringLiteral("S");
}

QStringList DescriptionSuggestions(const std::vector<OperationEntry>& list)
{
    QStringList items = BuiltInDescriptions();
    for (const OperationEntry& e : list) {
        if (e.rec.Description == "..")
            continue;
        items << e.rec.Speciality.str() + QStringLiteral(" / ") + e.rec.Description.str();
    }
    SortItems(items);
    return items;
}

CardSpec RoutineCardSpec(Context& ctx, const GamaCodeChoices& codes, const QStringList& descriptions,
                         RoutineCardUse use)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFormGM");
    spec.caption = QStringLiteral("FICHA OPERACIONES DE REVISIÓN GAMAS MANTENIMIENTO PREVENTIVO");

    FieldSpec frequency = MakeField(Frequency, "FRECUENCIA", FieldKind::Combo);
    frequency.choices = codes.frequencies;
    FieldSpec state = MakeField(MachineState, "ESTADO", FieldKind::Combo);
    state.choices = codes.states;
    state.rule = TableRule(MachineStates());
    FieldSpec speciality = MakeField(Speciality, "ESPECIALIDAD", FieldKind::Combo, 2);
    speciality.choices = codes.specialities;
    speciality.rule = TableRule(Specialities(), {QStringLiteral("M"), QStringLiteral("F")});
    FieldSpec description = MakeField(Description, "DESCRIPCION", FieldKind::Combo);
    description.choices = descriptions;
    spec.fields = {MakeField(Code, "MAQUINA", FieldKind::Label),
                   MakeField(Name, "", FieldKind::Label),
                   frequency,
                   MakeField(FrequencyText, "", FieldKind::Label),
                   state,
                   MakeField(StateText, "", FieldKind::Label),
                   speciality,
                   MakeField(SpecialityText, "", FieldKind::Label),
                   description,
                   MakeField(Minutes, "TIEMPO (min)", FieldKind::Text, 11),
                   MakeField(HoursText, "", FieldKind::Label),
                   MakeField(Rich, "", FieldKind::Table)};
    spec.fields.back().columns = QStringList{QString()};
    // Each code with its meaning beside it, the description across, the time with its hours, the list
    // below.
    PlaceFields(spec, {GridCell(0), GridCell(0, 1), GridCell(1), GridCell(1, 1), GridCell(2), GridCell(2, 1),
                       GridCell(3), GridCell(3, 1), GridCell(4, 0, 1, 2), GridCell(5), GridCell(5, 1),
                       GridCell(6, 0, 1, 2)});
    RoutineCardBinding().Declare(spec);
    spec.buttons = {{SaveButton, QStringLiteral("SAL&VAR"), CardResult::Save},
                    {DeleteButton, QStringLiteral("&BORRAR"), CardResult::Delete},
                    {NextButton, QStringLiteral("&IMPRIME"), CardResult::Next},
                    {QStringLiteral("BitBtn1"), QStringLiteral("&SALIR"), CardResult::Exit}};
    spec.cancelResult = CardResult::Exit;

    // The items the description offers now: leaving the speciality narrows them.
    auto items = std::make_shared<QStringList>(descriptions);
    spec.onShow = [use = std::move(use)](CardState& s) {
        using Kind = RoutineCardUse::Kind;
        s.set(Name, use.machineName);
        UpdateMeanings(s);
        switch (use.kind) {
        case Kind::Add:
            s.show(Rich, false);
            s.enable(NextButton, false);
            s.enable(DeleteButton, false);
            break;
        case Kind::Edit:
            s.show(Rich, false);
            s.captions[NextButton] = QStringLiteral("SI&GUIENTE");
            if (use.held) {
                s.enable(SaveButton, false);
                s.enable(DeleteButton, false);
            } else {
                s.captions[SaveButton] = QStringLiteral("SAL&VAR");
            }
            break;
        case Kind::Copy:
            s.captions[SaveButton] = QStringLiteral("COPIAR");
            s.captions[DeleteButton] = QStringLiteral("NO COPIAR");
            SetRichLines(s, use.summary);
            break;
        }
    };
    spec.onChange = [](CardState& s, const QString&) { UpdateMeanings(s); };
    spec.onExit = [items](CardState& s, const QString& field) {
        if (field == Frequency) {
            const QString kept = CardFrequency(s.value(Frequency));
            if (kept != s.value(Frequency)) {
                s.set(Frequency, kept);
                s.set(FrequencyText, FrequencyMeaning(kept));
            }
        } else if (field == Speciality) {
            NarrowDescriptions(s, *items);
            s.choices[Description] = *items;
        }
    };
    // A double-click on the description lists the procedure headings as a help.
    spec.onDoubleClick = [&ctx](CardState& s, const QString& field) {
        if (field == Description)
            ListProcedureHeadings(ctx, s);
    };
    spec.onButton = [](CardState& s, const ButtonSpec&) {
        // The card never closes on a frequency no revision covers.
        s.set(Frequency, CardFrequency(s.value(Frequency)));
        return true;
    };
    return spec;
}

const CardBinding<OperationCopyRequest>& CopyDialogBinding()
{
    using R = OperationCopyRequest;
    static const CardBinding<R> binding{
        BindTyped(SourceEnvironment, &R::sourceEnvironment),
        BindTyped(QStringLiteral("Morigen"), &R::sourceMachine),
        BindTyped(TargetEnvironment, &R::targetEnvironment),
        BindTyped(QStringLiteral("Mdestin"), &R::targetMachine),
    };
    return binding;
}

CardSpec CopyDialogSpec(Context& ctx)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFcopia");
    spec.caption = QStringLiteral("COPIA OPERACIONES DE REVISION");
    spec.fields = {MakeField(SourceEnvironment, "ENTORNO ORIGEN", FieldKind::Text),
                   MakeField(QStringLiteral("Morigen"), "MÁQUINA ORIGEN", FieldKind::Text),
                   MakeField(TargetEnvironment, "ENTORNO DESTINO", FieldKind::Text),
                   MakeField(QStringLiteral("Mdestin"), "MÁQUINA DESTINO", FieldKind::Text)};
    spec.buttons = {{QStringLiteral("COPIAR"), QStringLiteral("&COPIAR"), CardResult::Save},
                    {QStringLiteral("CANCELAR"), QStringLiteral("CA&NCELAR"), CardResult::Exit}};
    spec.cancelResult = CardResult::Exit;
    spec.onShow = [](CardState& s) { s.enable(TargetEnvironment, false); };
    // A double-click on the source environment picks another environment's operation file.
    spec.onDoubleClick = [&ctx](CardState& s, const QString& field) {
        if (field != SourceEnvironment)
            return;
        FileDialogRequest request;
        request.folder = ctx.st.WorkDir;
        request.filters = QStringList{QStringLiteral("Operaciones de Revisión (*.opr)")};
        if (const std::optional<QString> chosen = ctx.ui.ChooseFile(request))
            s.set(SourceEnvironment,
                  QDir::fromNativeSeparators(*chosen).chopped(std::min<qsizetype>(4, chosen->size())));
    };
    return spec;
}

} // namespace gim
