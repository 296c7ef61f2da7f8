#include "masterdata/routine_card.h"

#include "core/context.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/procedures.h"
#include "platform/card_binding.h"

#include <QDir>
#include <algorithm>
#include <memory>

namespace gim {

namespace {

const CardBinding<TOperationRecord>& RoutineBinding()
{
    using namespace RoutineCard;
    using R = TOperationRecord;
    static const CardBinding<R> binding{
        BindText(Code, &R::MachineCode),
        BindText(Frequency, &R::Frequency),
        BindText(MachineState, &R::State),
        BindText(Speciality, &R::Speciality),
        BindText(Description, &R::Description),
        // Stored in the field's width, as the old card did; a text that is no number reads as 0.
        BindValue<R, LeU16>(
            Minutes, &R::Minutes, [](const LeU16& minutes) { return QString::number(minutes.get()); },
            [](const QString& text) {
                LeU16 minutes;
                minutes = static_cast<std::uint16_t>(ParseInt64(text).value);
                return minutes;
            }),
    };
    return binding;
}

struct Meaning
{
    const char* code;
    const char* text; // UTF-8
};

constexpr Meaning kFrequencyMeanings[] = {
    {"1D", "Diaria"},    {"1S", "Semanal"},    {"2S", "Qincenal"},      {"M", "Mensual"},
    {"M2", "Bimensual"}, {"M3", "Trimestral"}, {"M4", "Cuatrimestral"}, {"S", "Semestral"},
    {"S2", "Anual"},     {"S4", "Bieal"},      {"TF", "Horas"},
};
constexpr Meaning kSpecialityMeanings[] = {
    {"MC", "Mecánica"},
    {"E", "Eléctrica"},
    {"I", "Instrumentación"},
    {"N", "Neumática"},
    {"H", "Hidráulica"},
    {"G", "Engrase"},
    {"FR", "Frío"},
    {"L", "Limpieza"},
    {"PG", "Ruta Engrase"},
    {"PV", "Ruta Vibraciones"},
    {"PT", "Ruta Temperaturas/Termografia"},
    {"PF", "Ruta Frío"},
    {"PC", "Ruta Contadores"},
    {"PN", "Ruta Neumática"},
    {"PW", "Ruta Funcionamiento Máquinas"},
    {"PH", "Ruta Hidraulica"},
    {"PE", "Ruta Energía"},
};
constexpr Meaning kStateMeanings[] = {{"O", "Operativa"}, {"P", "Parada"}};

template <std::size_t N> QString Lookup(const Meaning (&table)[N], const QString& code)
{
    for (const Meaning& m : table)
        if (code == QLatin1String(m.code))
            return QString::fromUtf8(m.text);
    return QStringLiteral("No valida");
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
    using namespace RoutineCard;
    state.set(FrequencyText, FrequencyMeaning(state.value(Frequency)));
    state.set(StateText, MachineStateMeaning(state.value(MachineState)));
    state.set(SpecialityText, SpecialityMeaning(state.value(Speciality)));
    state.set(HoursText, MinutesToHoursText(static_cast<int>(ParseInt64(state.value(Minutes)).value)));
}

// Leaving the speciality keeps the descriptions that start with its first letter (the suggestions read
// "speciality / description"), shows them in RichGM and offers their texts from the fifth character.
void NarrowDescriptions(CardState& state, QStringList& items)
{
    const QString speciality = state.value(RoutineCard::Speciality);
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
    state.show(RoutineCard::Rich, true);
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
    return Lookup(kFrequencyMeanings, code);
}

QString SpecialityMeaning(const QString& code)
{
    return Lookup(kSpecialityMeanings, code);
}

QString MachineStateMeaning(const QString& code)
{
    return Lookup(kStateMeanings, code);
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

void SetRichLines(CardState& state, const QStringList& lines)
{
    std::vector<QStringList>& rows = state.rows[RoutineCard::Rich];
    rows.clear();
    rows.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines)
        rows.push_back(QStringList{line});
    state.set(RoutineCard::Rich, QString());
}

CardSpec RoutineCardSpec(Context& ctx, const GamaCodeChoices& codes, const QStringList& descriptions)
{
    using namespace RoutineCard;
    CardSpec spec;
    spec.name = QStringLiteral("TFormGM");
    spec.caption = QString::fromUtf8(kRoutineCardCaption);

    FieldSpec frequency = MakeField(Frequency, "FRECUENCIA", FieldKind::Combo);
    frequency.choices = codes.frequencies;
    FieldSpec state = MakeField(MachineState, "ESTADO", FieldKind::Combo);
    state.choices = codes.states;
    FieldSpec speciality = MakeField(Speciality, "ESPECIALIDAD", FieldKind::Combo, 2);
    speciality.choices = codes.specialities;
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
    RoutineBinding().Declare(spec);
    spec.buttons = {{SaveButton, QStringLiteral("SAL&VAR"), RoutineCardResult::Save},
                    {DeleteButton, QStringLiteral("&BORRAR"), RoutineCardResult::Delete},
                    {NextButton, QStringLiteral("&IMPRIME"), RoutineCardResult::Next},
                    {ExitButton, QStringLiteral("&SALIR"), RoutineCardResult::Exit}};
    spec.cancelResult = RoutineCardResult::Exit;

    // The items the description offers now: leaving the speciality narrows them.
    auto items = std::make_shared<QStringList>(descriptions);
    spec.onShow = [](CardState& s) { UpdateMeanings(s); };
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

CardState RoutineCardState(const TOperationRecord& rec, const QString& name)
{
    using namespace RoutineCard;
    CardState state;
    RoutineBinding().Fill(state, rec);
    state.set(Name, name);
    UpdateMeanings(state);
    state.show(Rich, false);
    return state;
}

CardState NewRoutineCardState(const QString& code, const QString& name)
{
    using namespace RoutineCard;
    CardState state;
    state.set(Code, code);
    state.set(Name, name);
    state.set(Description, QStringLiteral(".. "));
    state.set(Frequency, QStringLiteral(".."));
    state.set(MachineState, QStringLiteral(".."));
    state.set(Speciality, QStringLiteral(".."));
    state.set(Minutes, QStringLiteral("0"));
    UpdateMeanings(state);
    state.show(Rich, false);
    return state;
}

void ReadRoutineCard(const CardState& state, TOperationRecord& rec)
{
    RoutineBinding().Read(state, rec);
}

CardSpec CopyDialogSpec(Context& ctx)
{
    using namespace CopyDialog;
    CardSpec spec;
    spec.name = QStringLiteral("TFcopia");
    spec.caption = QString::fromLatin1(kCopyDialogCaption);
    spec.fields = {MakeField(SourceEnvironment, "ENTORNO ORIGEN", FieldKind::Text),
                   MakeField(SourceMachine, "MÁQUINA ORIGEN", FieldKind::Text),
                   MakeField(TargetEnvironment, "ENTORNO DESTINO", FieldKind::Text),
                   MakeField(TargetMachine, "MÁQUINA DESTINO", FieldKind::Text)};
    spec.buttons = {{CopyButton, QStringLiteral("&COPIAR"), Copy},
                    {CancelButton, QStringLiteral("CA&NCELAR"), Cancel}};
    spec.cancelResult = Cancel;
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

CardState CopyDialogState(const Context& ctx)
{
    using namespace CopyDialog;
    CardState state;
    state.set(SourceEnvironment, ctx.st.CurrentEnvironment);
    state.set(TargetEnvironment, ctx.st.CurrentEnvironment);
    state.set(SourceMachine, QStringLiteral(".."));
    state.set(TargetMachine, QStringLiteral("CÓDIGO MÁQUINA"));
    state.enable(TargetEnvironment, false);
    return state;
}

} // namespace gim
