#include "preventive/predictive_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/lookups.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/routines.h"
#include "platform/card_binding.h"
#include "platform/picture_codec.h"
#include "preventive/plan_time.h"
#include "preventive/predictive.h"

#include <QFileInfo>
#include <QHash>
#include <initializer_list>
#include <limits>
#include <optional>

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("Codigo");
const QString kFrec = QStringLiteral("FREC");
const QString kEspec = QStringLiteral("Espec");
const QString kPos = QStringLiteral("Pos");
const QString kEjecu = QStringLiteral("Ejecu");
const QString kSemana = QStringLiteral("Semana");
const QString kMedida1 = QStringLiteral("Medida1");
const QString kMedida2 = QStringLiteral("Medida2");
const QString kDescrip = QStringLiteral("Descrip");
const QString kYear = QStringLiteral("Label10");
const QString kPersonName = QStringLiteral("Label11");
const QString kSpecialityName = QStringLiteral("Label12");
const QString kFrequencyName = QStringLiteral("Label13");
const QString kImage = QStringLiteral("Image1");
const QString kSave = QStringLiteral("Salvar");
const QString kExit = QStringLiteral("Cancel");
const QString kDelete = QStringLiteral("Borrar");
const QString kPhoto = QStringLiteral("SpeedButton1");

constexpr const char* kCardCaption = "FICHA  DE MANTENIMIENTO PREDICTIVO";
constexpr const char* kMeasurementCaption = "REGISTRO DE MEDICIONES DE MANTENIMIENTO PREDICTIVO  ";
constexpr const char* kAlarmCaption = "DEFINICIÓN NIVELES DE ALARMA CONTROLES MANTENIMIENTO.PREDICTIVO";

constexpr CodeLabel kSpecialities[] = {{"*", " "},
                                       {"V", "Predictivo Vibraciones"},
                                       {"T", "Predictivo Temperaturas"},
                                       {"P", "Predictivo Presiones"},
                                       {"C", "Predictivo Combustión"},
                                       {"H", "Preventivo por Horas"},
                                       {"G", "Gestión Energética"}};
constexpr CodeLabel kAlarmKinds[] = {
    {"AL", "Alta"}, {"BJ", "Baja"}, {"PB", "Paso Banda"}, {"CH", "Control Horas"}};

// A measurement is taken weekly to every four years: the routine frequencies without the daily and the
// running-hours ones.
CodeTable Frequencies()
{
    return ReservedCodeListOf(ReservedList::FrecueMTP).items.Slice(1, 9);
}

std::optional<QString> FrequencyLabel(const QString& code)
{
    if (code == QLatin1String("S4"))
        return QStringLiteral("Bianual");
    return Frequencies().Label(code);
}

bool ModeIs(const Context& ctx, std::initializer_list<const char*> modes)
{
    for (const char* mode : modes)
        if (ctx.st.ActionCode == QLatin1String(mode))
            return true;
    return false;
}

QStringList ItemsOf(CodeTable table)
{
    return QStringList{QStringLiteral("*")} + table.Codes();
}

const CardBinding<TPredictiveRecord>& Binding()
{
    using R = TPredictiveRecord;
    static const CardBinding<R> binding{
        BindText(kCodigo, &R::Codigo),    BindText(kFrec, &R::FREC),        BindText(kEspec, &R::Espec),
        BindText(kPos, &R::Pos),          BindText(kEjecu, &R::Ejecu),      BindWhole(kSemana, &R::Semana),
        BindWhole(kMedida1, &R::Medida1), BindWhole(kMedida2, &R::Medida2), BindText(kDescrip, &R::Descrip)};
    return binding;
}

// The picture folder of the code on the card becomes the one the picture button works in.
void TakeMachineFolder(Context& ctx, const CardState& state)
{
    Predictive(ctx).PicturePath =
        PredictivePictureFolder(ctx.st.CurrentEnvironment, state.value(kCodigo).left(8));
}

QString PictureFolderText(const Context& ctx, const QString& subFolder)
{
    return ResolveSubFolder(ctx.st.BaseDir, subFolder);
}

// Shows a control point's picture, or says why it cannot.
void ShowPicture(Context& ctx, CardState& state, const QString& path)
{
    if (!QFileInfo(path).isFile() || PictureFormatOf(path) == PictureFormat::None) {
        ctx.ui.ShowMessage(QStringLiteral("No es posible cargar la Imagen \r") + path);
        return;
    }
    state.set(kImage, path);
    state.caption = QStringLiteral("Visualizar Imagen - (") + path + QLatin1Char(')');
}

QString PositionPicture(Context& ctx, const CardState& state, const char* extension)
{
    const QString folder = PictureFolderText(ctx, Predictive(ctx).PicturePath);
    return ResolveDataPath(folder, state.value(kPos) + QLatin1String(extension));
}

// The picture button: the control point's folder is made; an alarm-level card takes a new picture for
// the position, a measurement card shows the one stored.
void TakePicture(Context& ctx, CardState& state)
{
    PredictiveState& p = Predictive(ctx);
    if (!MakeSubFolder(ctx.st.BaseDir, p.PicturePath))
        return;
    if (ModeIs(ctx, {"5"})) {
        const std::optional<QString> chosen = ChoosePhotoSource(ctx, p.PicturePath, QStringLiteral("*.jpg"));
        if (!chosen || PictureFormatOf(*chosen) == PictureFormat::None)
            return;
        state.set(kImage, *chosen);
        state.caption = QStringLiteral("Visualizar Imagen - (") + *chosen + QLatin1Char(')');
        if (const PictureCodec* codec = ctx.codec)
            ImportPictureFile(ctx, *codec, p.PicturePath, state.value(kPos) + QStringLiteral(".JPG"),
                              *chosen);
    } else if (ModeIs(ctx, {"1"})) {
        ShowPicture(ctx, state, PositionPicture(ctx, state, ".JPG"));
    }
}

void ShowMachineName(Context& ctx, CardState& state)
{
    TMachineRecord machine{};
    machine.Codigo = state.value(kCodigo);
    machine.Denominacion = kMachineNotFound;
    // Each key looks the machine up: a missing machine file only names no machine.
    if (DataFileExists(ctx, ctx.st.FileName(DataFile::Machine)))
        FindMachine(ctx, ctx.st.FileName(DataFile::Machine), machine);
    state.caption = QLatin1String(kCardCaption) + QLatin1Char(' ') + machine.Denominacion.str();
    state.hints[kPhoto] =
        PictureFolderText(ctx, PredictivePictureFolder(ctx.st.CurrentEnvironment, state.value(kCodigo)));
}

void ShowPersonName(Context& ctx, CardState& state)
{
    TPersonnelRecord person{};
    person.Matricula = state.value(kEjecu);
    person.Apellidos = "NO EXISTE LA PERSONA";
    if (DataFileExists(ctx, ctx.st.PersonnelFileName))
        FindPerson(ctx, ctx.st.PersonnelFileName, person);
    state.set(kPersonName, person.Nombre.str() + QLatin1Char(' ') + person.Apellidos.str());
}

void OfferMachineCodes(Context& ctx, CardState& state)
{
    // An import keeps the code it brought; the other cards start from any machine.
    if (!ModeIs(ctx, {"i"}))
        state.set(kCodigo, QStringLiteral("*"));
    state.choices[kCodigo] = MachineCodeChoices(ctx);
}

// The name beside the frequency: of a measurement frequency in modes "1" and "4", of an alarm kind in
// modes "5" and "3", "No Válida" for a text in neither table; other modes leave it.
void ShowFrequencyName(Context& ctx, CardState& state)
{
    const bool measuring = ModeIs(ctx, {"1", "4"});
    if (!measuring && !ModeIs(ctx, {"5", "3"}))
        return;
    const QString code = state.value(kFrec);
    const std::optional<QString> label =
        measuring ? FrequencyLabel(code) : CodeTable(kAlarmKinds).Label(code);
    state.set(kFrequencyName, label.value_or(QStringLiteral("No Válida")));
}

void LeaveFrequency(Context& ctx, CardState& state)
{
    // A measurement takes a frequency: anything else becomes monthly, and its name follows.
    if (ModeIs(ctx, {"1"}) && !FrequencyIncludes(u"S4", state.value(kFrec))) {
        state.set(kFrec, QStringLiteral("M"));
        ShowFrequencyName(ctx, state);
    }
    const QString kind = state.value(kFrec);
    if (kind == QLatin1String("PB")) {
        if (ModeIs(ctx, {"3", "5"})) {
            state.captions[kMedida1] = QStringLiteral("Nivel Alto");
            state.captions[kMedida2] = QStringLiteral("Nivel Bajo");
        } else if (ModeIs(ctx, {"1", "4"})) {
            state.enable(kMedida2, false);
        }
    }
    if (kind == QLatin1String("CH")) {
        state.captions[kMedida1] = QStringLiteral("H. Revisión");
        state.captions[kMedida2] = QStringLiteral("H. Intérvalo");
    }
}

FieldSpec Combo(const QString& name, const char* label, const QStringList& choices = {})
{
    FieldSpec f = MakeField(name, label, FieldKind::Combo);
    f.choices = choices;
    return f;
}

} // namespace

CardSpec PredictiveCardSpec(Context& ctx, bool selecting)
{
    const bool measuring = ModeIs(ctx, {"1", "4"});
    const bool alarms = ModeIs(ctx, {"5", "3"});

    CardSpec spec;
    spec.name = QStringLiteral("TValorMD");
    spec.caption = QLatin1String(kCardCaption);

    FieldSpec codigo = Combo(kCodigo, "Máquina:");
    codigo.onEnter = [&ctx](CardState& state) {
        if (ModeIs(ctx, {"3", "4"}))
            FillPositionList(ctx, state);
        else
            OfferMachineCodes(ctx, state);
    };
    codigo.onChange = [&ctx](CardState& state) { ShowMachineName(ctx, state); };
    codigo.onExit = [&ctx](CardState& state) { TakeMachineFolder(ctx, state); };

    QStringList kinds;
    if (measuring)
        kinds = ItemsOf(Frequencies());
    else if (alarms)
        kinds = ItemsOf(kAlarmKinds);
    FieldSpec frec = Combo(kFrec, "Frecuencia:", kinds);
    frec.hint =
        measuring ? QStringLiteral("Frcuencia de la Medida ") : QStringLiteral("Tipo de alarma Alta/Baja");
    frec.onChange = [&ctx](CardState& state) { ShowFrequencyName(ctx, state); };
    // Where a record is stored its codes come from the card's tables. A new measurement's frequency
    // needs no rule: leaving it makes any other text monthly.
    const bool storing = !selecting && ModeIs(ctx, {"1", "4", "5", "3"});
    if (storing && !ModeIs(ctx, {"1"}))
        frec.rule = CodeRule(kinds.mid(1));
    frec.onExit = [&ctx](CardState& state) { LeaveFrequency(ctx, state); };

    const QStringList specialities = CodeTable(kSpecialities).Codes();
    FieldSpec espec = Combo(kEspec, "Especialidad:", specialities);
    if (storing)
        espec.rule = CodeRule(specialities);
    espec.onChange = [](CardState& state) {
        state.set(kSpecialityName,
                  CodeTable(kSpecialities).LabelOr(state.value(kEspec), QStringLiteral(" ")));
    };
    espec.onExit = [&ctx](CardState& state) {
        // An hours control has one measure.
        if (ModeIs(ctx, {"1", "2", "4"}))
            state.show(kMedida2, state.value(kEspec) != QLatin1String("H"));
    };

    FieldSpec pos = Combo(kPos, "Posición:");
    pos.onEnter = [&ctx](CardState& state) { FillPositionList(ctx, state); };
    pos.onExit = [&ctx](CardState& state) {
        Predictive(ctx).PictureFileName = (state.value(kPos) + QStringLiteral(".JPG")).left(8);
    };
    pos.onDoubleClick = [&ctx](CardState& state) {
        ShowPicture(ctx, state, PositionPicture(ctx, state, ".jpg"));
    };

    FieldSpec ejecu = Combo(kEjecu, "Ejecutor:");
    ejecu.onEnter = [&ctx](CardState& state) {
        state.choices[kEjecu] = PersonnelNumbers(Personnel(ctx).PersonnelList);
    };
    ejecu.onChange = [&ctx](CardState& state) { ShowPersonName(ctx, state); };

    FieldSpec image = MakeField(kImage, "", FieldKind::Picture);
    image.onDoubleClick = [&ctx](CardState& state) { TakePicture(ctx, state); };

    // The names the codes stand for, and the year, stand beside their controls.
    const auto at = [](FieldSpec f, int row, int column = 0, int columnSpan = 1) {
        f.place.row = row;
        f.place.column = column;
        f.place.columnSpan = columnSpan;
        return f;
    };
    spec.fields = {at(codigo, 0),
                   at(frec, 1),
                   at(espec, 2),
                   at(pos, 3),
                   at(ejecu, 4),
                   at(MakeField(kSemana, "Semana:"), 5),
                   at(MakeField(kMedida1, "Medida 1:"), 6),
                   at(MakeField(kMedida2, "Medida 2:"), 7),
                   at(MakeField(kDescrip, "Comentario:"), 8, 0, 2),
                   at(MakeField(kFrequencyName, "", FieldKind::Label), 1, 1),
                   at(MakeField(kSpecialityName, "", FieldKind::Label), 2, 1),
                   at(MakeField(kPersonName, "", FieldKind::Label), 4, 1),
                   at(MakeField(kYear, "Año:", FieldKind::Label), 5, 1),
                   at(image, 9, 0, 2)};
    Binding().Declare(spec);
    spec.buttons = {{kSave, QStringLiteral("Sal&var"), CardResult::Save},
                    {kExit, QStringLiteral("&Salir"), CardResult::Exit},
                    {kDelete, QStringLiteral("&Borrar"), CardResult::Delete},
                    {kPhoto, QStringLiteral("&Foto"), CardResult::None}};
    spec.cancelResult = CardResult::Exit;

    spec.onShow = [&ctx](CardState& state) {
        state.set(kYear, QString::number(ctx.st.WorkYear + kYearOffset));
        state.hints[kPhoto] = PictureFolderText(
            ctx, QStringLiteral("\\PREDITI\\") + ctx.st.CurrentEnvironment.left(6) + QStringLiteral("\\"));
        TakeMachineFolder(ctx, state);
    };
    spec.onButton = [&ctx](CardState& state, const ButtonSpec& button) {
        if (button.name == kPhoto) {
            TakePicture(ctx, state);
            return false;
        }
        return true;
    };
    return spec;
}

int ShowPredictiveForm(Context& ctx, TPredictiveRecord& rec, bool selecting)
{
    State& st = ctx.st;
    st.ContinueFlag = 0;
    // The card shows the week of the year. An imported week counts from the horizon's start already and
    // keeps its own year; the others take the year being worked on.
    const WeekParts filed = SplitAbsoluteWeek(st, rec.Semana.get());
    const int year = ModeIs(ctx, {"i"}) ? filed.year : st.WorkYear;
    rec.Semana = filed.week;

    const CardSpec spec = PredictiveCardSpec(ctx, selecting);
    CardState state;
    if (!ModeIs(ctx, {"3", "2", "6", "7", "4"}))
        state.enable(kDelete, false);
    else
        state.captions[kSave] = QStringLiteral("Sal&var/Buscar");
    if (ModeIs(ctx, {"2", "6", "7"}))
        for (const QString& name : {kMedida1, kMedida2, kDescrip, kDelete})
            state.enable(name, false);
    if (ModeIs(ctx, {"1", "4"}))
        state.caption = QLatin1String(kMeasurementCaption) + QString::number(st.WorkYear + kYearOffset);
    TPredictiveRecord shown = rec;
    if (ModeIs(ctx, {"5", "3", "7"})) {
        state.caption = QString::fromUtf8(kAlarmCaption);
        state.captions[kFrec] = QStringLiteral("Tipo Control:");
        // A new alarm level starts as a high one.
        if (shown.FREC.empty())
            shown.FREC = "AL";
    }

    const int result = Binding().Run(ctx.ui, spec, shown, state);
    rec = shown;
    if (result == CardResult::Save) {
        st.ContinueFlag = 1;
        st.AnswerCode = QStringLiteral("M");
    } else if (result == CardResult::Delete) {
        rec.Codigo = "Z";
        st.AnswerCode = QStringLiteral("B");
    } else {
        rec.Codigo = "#";
        st.AnswerCode = QString(QChar(27));
    }
    // In 64 bits: a week typed near the field's limits must not wrap round when the year is added.
    const std::int64_t week = std::int64_t{AbsoluteWeek(st, year, 0)} + rec.Semana.get();
    rec.Semana = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(week, std::numeric_limits<std::int32_t>::min(), st.PlanWeeks));
    return result;
}

int PredictiveControlLookup(Context& ctx, TPredictiveRecord& rec)
{
    const int result = ShowPredictiveForm(ctx, rec);
    if (rec.Codigo == "#")
        return result;
    if (!FindIntoFoundMachine(ctx, rec.Codigo)) {
        ctx.st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
        ctx.ui.ShowMessage(QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"));
        rec.Codigo = "#";
    }
    return result;
}

namespace {

// What the alarm-level file offers the cards: every code in file order, the positions of each code, its
// last record. An import shows a card for every line, and each read the whole file again: while an
// import runs, what was read stands for as long as the file is as it was then.
struct AlarmLevelChoices
{
    DataFileSeen seen;
    QStringList codes;
    QHash<QString, QStringList> positions;
    std::optional<TPredictiveRecord> last;
};

const AlarmLevelChoices& AlarmLevels(Context& ctx)
{
    AlarmLevelChoices& kept = ctx.Module<AlarmLevelChoices>();
    if (kept.seen.Unchanged(ctx, AlarmLevelFile::Name(ctx.st)) && ModeIs(ctx, {"i"})) {
        ctx.st.LastIOResult = IoCode::Ok;
        return kept;
    }
    DataFileSeen seen = kept.seen;
    kept = {};
    if (const auto levels = KeyedFile<AlarmLevelFile>(ctx).Read(Report::Silent)) {
        kept.seen = seen;
        for (const TPredictiveRecord& level : *levels) {
            const QString code = level.Codigo.str();
            kept.codes << code;
            kept.positions[code] << level.Pos.str();
        }
        if (!levels->empty())
            kept.last = levels->back();
    }
    return kept;
}

} // namespace

void FillPositionList(Context& ctx, CardState& state)
{
    const AlarmLevelChoices& levels = AlarmLevels(ctx);
    if (levels.last)
        Predictive(ctx).CurrentAlarmLevel = *levels.last;
    state.choices[kCodigo] = levels.codes;
    state.choices[kPos] = levels.positions.value(state.value(kCodigo));
}

} // namespace gim
