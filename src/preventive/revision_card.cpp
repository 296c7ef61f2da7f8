#include "preventive/revision_card.h"

#include "core/command.h"
#include "core/context.h"
#include "core/field_rules.h"
#include "core/lookups.h"
#include "core/operations.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/reserved_codes.h"
#include "preventive/revisions.h"

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("codigo");
const QString kMaquina = QStringLiteral("Maquina");
const QString kFrecuencia = QStringLiteral("frecuencia");
const QString kFrequencyLabel = QStringLiteral("Label9");
const QString kEstado = QStringLiteral("estado");
const QString kStateLabel = QStringLiteral("Label10");
const QString kSemana = QStringLiteral("semana");
const QString kAnyo = QStringLiteral("anyo");
const QString kEjecutor = QStringLiteral("ejecutor");
const QString kPersonLabel = QStringLiteral("Label1");
const QString kTiempo = QStringLiteral("tiempo");
const QString kDescripcion = QStringLiteral("descripcion");
const QString kSalvar = QStringLiteral("SALVAR1");
const QString kReparar = QStringLiteral("Reparar");
const QString kSalir = QStringLiteral("BitBtn1");

const QString kAnyMachine = QStringLiteral("Indistinta");
constexpr const char* kCaption = "Historial Mto.Preventivo";

constexpr CodeLabel kStates[] = {{"E", "Ejecutada"}, {"ER", "Ruta Ejecutada"}, {"P", "Pendiente"}};

CodeTable Frequencies()
{
    return ReservedCodeListOf(ReservedList::FrecueMTP).items;
}

void ShowMachine(Context& ctx, CardState& state)
{
    state.caption = QLatin1String(kCaption);
    const QString code = state.value(kCodigo);
    TMachineRecord machine{};
    machine.Codigo = code.left(8);
    machine.Denominacion = kMachineNotFound;
    if (DataFileExists(ctx, ctx.st.FileName(DataFile::Machine)))
        FindMachine(ctx, ctx.st.FileName(DataFile::Machine), machine);
    state.set(kMaquina, machine.Denominacion.str());
    state.caption = QLatin1String(kCaption) + QStringLiteral("  ") + machine.Denominacion.str();
    if (code == QLatin1String("*"))
        state.set(kMaquina, kAnyMachine);
}

void OfferMachines(Context& ctx, CardState& state)
{
    // The list is built afresh on each entry, so no code shows twice.
    state.choices[kCodigo] = QStringList{QStringLiteral("*")} << MachineCodeChoices(ctx);
    if (state.value(kCodigo) == QLatin1String("*"))
        state.set(kMaquina, kAnyMachine);
}

void OfferExecutors(Context& ctx, CardState& state)
{
    state.choices[kEjecutor] =
        QStringList{QStringLiteral("*")} + PersonnelNumbers(Personnel(ctx).PersonnelList);
}

void ShowPerson(Context& ctx, CardState& state)
{
    TPersonnelRecord person{};
    person.Matricula = state.value(kEjecutor).left(6);
    person.Apellidos = "NO EXISTE LA PERSONA";
    if (DataFileExists(ctx, ctx.st.PersonnelFileName))
        FindPerson(ctx, ctx.st.PersonnelFileName, person);
    if (person.Apellidos == "NO EXISTE LA PERSONA")
        state.set(kPersonLabel, person.Apellidos.str());
    else
        state.set(kPersonLabel, person.Nombre.str() + QLatin1Char(' ') + person.Apellidos.str());
}

template <std::size_t N>
ControlBinding<RevisionForm> BindRecordText(const QString& control, ShortString<N> TRevisionRecord::*field)
{
    return {control, static_cast<int>(N), [field](const RevisionForm& f) { return (f.rec.*field).str(); },
            [field](RevisionForm& f, const QString& text) { f.rec.*field = text; }};
}

ControlBinding<RevisionForm> BindTypedText(const QString& control, QString RevisionForm::*field)
{
    return {control, 0, [field](const RevisionForm& f) { return f.*field; },
            [field](RevisionForm& f, const QString& text) { f.*field = text; }};
}

CardBinding<RevisionForm> MakeBinding(bool readCode)
{
    ControlBinding<RevisionForm> code = BindRecordText(kCodigo, &TRevisionRecord::MachineCode);
    if (!readCode)
        code.keep = [](RevisionForm&, const QString&) {};
    ControlBinding<RevisionForm> name{kMaquina, 0, [](const RevisionForm& f) { return f.machineName; },
                                      [](RevisionForm&, const QString&) {}};
    return {code,
            name,
            BindRecordText(kFrecuencia, &TRevisionRecord::Frequency),
            BindRecordText(kEstado, &TRevisionRecord::State),
            BindTypedText(kSemana, &RevisionForm::week),
            BindTypedText(kAnyo, &RevisionForm::year),
            BindRecordText(kEjecutor, &TRevisionRecord::Executor),
            BindMinutes(kTiempo, &RevisionForm::minutes),
            BindRecordText(kDescripcion, &TRevisionRecord::Comment)};
}

} // namespace

// The card's own mode codes and the history's re-sort flag survive the nested add.
void AddPendingRepair(Context& ctx)
{
    const OperationRegistry& operations = ctx.Module<OperationRegistry>();
    if (!operations.Has(Op::NewPlannedRepair))
        return;
    ModeCodeGuard codes(ctx);
    const std::uint8_t continueFlag = ctx.st.ContinueFlag;
    ctx.st.ActionCode = QStringLiteral("1");
    ctx.st.ContinueFlag = 0;
    operations.Run(ctx, Op::NewPlannedRepair);
    if (ctx.st.ContinueFlag == 1)
        operations.RunIfRegistered(ctx, Op::SortPlannedRepairFile);
    ctx.st.ContinueFlag = continueFlag;
}

QString FrequencyText(const QString& code)
{
    // The history names the running-hours frequency its own way.
    if (code == QLatin1String("TF"))
        return QStringLiteral("Horas Funcionando");
    return Frequencies().LabelOr(code, QStringLiteral("No valida"));
}

CardSpec RevisionCardSpec(Context& ctx, RevisionCardRole role)
{
    CardSpec spec;
    spec.name = QStringLiteral("THISTPRV");
    spec.caption = QStringLiteral("Historial Mto. Preventivo");

    FieldSpec code = MakeField(kCodigo, "CODIGO", FieldKind::Combo, 8);
    code.choices = {QStringLiteral("*")};
    code.hint = QStringLiteral("Código de Máquina.");
    code.onEnter = [&ctx](CardState& s) { OfferMachines(ctx, s); };
    code.onChange = [&ctx](CardState& s) { ShowMachine(ctx, s); };

    FieldSpec frequency = MakeField(kFrecuencia, "FRECUENCIA", FieldKind::Combo, 2);
    frequency.choices = {"1D", "1S", "2S", "M", "M2", "M3", "M4", "S", "S2", "S4", "*"};
    if (role != RevisionCardRole::Search && role != RevisionCardRole::Filter) {
        // A revision is of a frequency the card names, or blank ("..") as the history writes it.
        frequency.rule = CodeRule(QStringList{QStringLiteral("..")} + Frequencies().Codes(), true);
    }
    frequency.onChange = [](CardState& s) { s.set(kFrequencyLabel, FrequencyText(s.value(kFrecuencia))); };

    // A week of the year as this week's number gives it, 0 to 53; a year that two digits since 2000 name.
    FieldSpec week = MakeField(kSemana, "SEMANA");
    week.hint = QStringLiteral("Semana Ordinal de ejecución.");
    week.rule = WeekRule(true);
    FieldSpec year = MakeField(kAnyo, "AÑO", FieldKind::Text, 4);
    year.hint = QStringLiteral("Año de ejecución.");
    year.rule = YearRule(true);

    FieldSpec executor = MakeField(kEjecutor, "EJECUTOR", FieldKind::Combo, 16);
    executor.onEnter = [&ctx](CardState& s) { OfferExecutors(ctx, s); };
    executor.onChange = [&ctx](CardState& s) { ShowPerson(ctx, s); };

    FieldSpec minutes = MakeField(kTiempo, "TIEMPO");
    minutes.hint = QStringLiteral("Tiempo en minutos.");
    FieldSpec comment = MakeField(kDescripcion, "COMENTARIO", FieldKind::Text, 130);
    comment.hint = QStringLiteral("Anomalias o trabajos reseñables.");

    spec.fields = {code, MakeField(kMaquina, "", FieldKind::Label), frequency,
                   MakeField(kFrequencyLabel, "", FieldKind::Label)};
    // A state outside the table leaves its label as it was.
    FieldSpec& state = AddCodeCombo(spec, kEstado, "ESTADO", kStates, kStateLabel, 2, std::nullopt);
    state.choices = {"E", "P", "ER"};
    state.onExit = [&ctx](CardState& s) {
        if (s.value(kEstado) == QLatin1String("RP"))
            AddPendingRepair(ctx);
    };
    spec.fields.insert(spec.fields.end(), {week, year, executor,
                                           MakeField(kPersonLabel, "", FieldKind::Label), minutes, comment});
    PlaceFields(spec, {GridCell(0, 0), GridCell(0, 1), GridCell(1, 0), GridCell(1, 1), GridCell(2, 0),
                       GridCell(2, 1), GridCell(3, 0), GridCell(3, 1), GridCell(4, 0), GridCell(4, 1),
                       GridCell(5, 0), GridCell(6, 0, 1, 2)});
    spec.buttons = {
        {kSalvar, QStringLiteral("Sal&var"), CardResult::Save, QStringLiteral("Gravar revisión")},
        {kReparar, QStringLiteral("&Reparar"), CardResult::Delete, QStringLiteral("Trabajo Pendiente")},
        {kSalir, QStringLiteral("&Salir"), CardResult::Exit, QStringLiteral("Salir sin acción")}};
    RevisionCardBinding(false).Declare(spec);
    return spec;
}

const CardBinding<RevisionForm>& RevisionCardBinding(bool readCode)
{
    static const CardBinding<RevisionForm> search = MakeBinding(true);
    static const CardBinding<RevisionForm> fixed = MakeBinding(false);
    return readCode ? search : fixed;
}

CardState RevisionCardState(RevisionCardRole role, bool printing, bool done)
{
    CardState s;
    switch (role) {
    case RevisionCardRole::Add:
        break;
    case RevisionCardRole::Search:
        s.captions[kSalvar] = QStringLiteral("&Buscar");
        s.captions[kReparar] = QStringLiteral("Si&gue");
        break;
    case RevisionCardRole::Browse:
        s.captions[kSalvar] = QStringLiteral("Sal&var");
        s.captions[kReparar] = QStringLiteral("&Borrar");
        break;
    case RevisionCardRole::Filter:
        s.captions[kSalvar] = printing ? QStringLiteral("&Imprimir") : QStringLiteral("&Buscar");
        s.show(kReparar, false);
        break;
    case RevisionCardRole::Plan:
        s.captions[kReparar] = QStringLiteral("Si&gue");
        for (const QString& fixed : {kCodigo, kSemana, kAnyo, kFrecuencia})
            s.enable(fixed, false);
        s.enable(kSalvar, !done);
        break;
    }
    return s;
}

} // namespace gim
