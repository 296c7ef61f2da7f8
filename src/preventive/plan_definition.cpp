#include "preventive/plan_definition.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/environment.h"
#include "core/field_rules.h"
#include "core/io_errors.h"
#include "core/week_codes.h"
#include "masterdata/personnel.h"
#include "platform/card_binding.h"
#include "preventive/plan_time.h"
#include "records/plan_records.h"

#include <algorithm>
#include <array>
#include <vector>

namespace gim {

namespace {

const QString kIniPG = QStringLiteral("IniPG");
const QString kFinPG = QStringLiteral("FinPG");

constexpr int kFirmNameWidth = 16;
constexpr int kYearWidth = 4;
// Week codes keep two digits of the year: a plan lies within this century.
constexpr int kLastPlanYear = 2099;
constexpr const char* kEmptyHorizonMessage = "EL AÑO FIN PLANING DEBE SER POSTERIOR AL AÑO INICIO";
constexpr const char* kCenturyMessage = "EL PLANING DEBE TERMINAR ANTES DEL AÑO 2100";

const QString& AgendaFile(const Context& ctx)
{
    return ctx.st.FileName(DataFile::Agenda);
}

constexpr int kMinutesPerHour = 60;
constexpr std::int64_t kMostWeekMinutes = 0xFFFF;
// The free minutes of a week as the load table shows them: signed 16-bit.
constexpr std::int64_t kLeastFreeMinutes = -0x8000;
constexpr std::int64_t kMostFreeMinutes = 0x7FFF;
// The most weekly hours whose minutes a 16-bit agenda word holds.
constexpr int kMostWeeklyHours = 0xFFFF / kMinutesPerHour;

// Minutes of a number of hours as the agenda's 16-bit words keep them (unsigned: an increase below zero
// wraps as the words add it).
std::uint16_t HoursAsMinutes(std::int64_t hours)
{
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(hours) * kMinutesPerHour);
}

// The horizon of the years typed (checked by the dialog): every last year outside the longest range
// gives the same horizon as the nearer end of it.
PlanHorizon TypedHorizon(const QString& firstYear, const QString& lastYear)
{
    const int first = static_cast<int>(WholeOfText(firstYear).value_or(kYearOffset) - kYearOffset);
    const int last =
        static_cast<int>(std::clamp<std::int64_t>(WholeOfText(lastYear).value_or(kYearOffset) - kYearOffset,
                                                  first - 1, first + kLongestHorizonYears + 1));
    return ClampHorizon(first, last);
}

// What the dialog edits, as typed: the dialog checks each number by its kind, and the horizon and the
// firm name before it closes.
struct PlanDefinitionValues
{
    QString firm;
    QString firstYear;
    QString lastYear;
    QString hours;
    QString reformHours;
};

// The dialog's edits, top to bottom, and the value each one edits.
struct PlanControl
{
    const char* name;
    const char* label;
    const char* hint;
    int capacity;
    QString PlanDefinitionValues::*value;
};
const std::array<PlanControl, 5> kControls{{
    {"Firma", "FIRMA :", "", kFirmNameWidth, &PlanDefinitionValues::firm},
    {"IniPG", "AÑO INICIO PLANING", "año anterior al de ejecución", kYearWidth,
     &PlanDefinitionValues::firstYear},
    {"FinPG", "AÑO FIN PLANING", "Año de terminación.", kYearWidth, &PlanDefinitionValues::lastYear},
    {"HorasPG", "HORAS MTO. PREVENTIVO SEMANALES", "Horas totales destinadas a Preventivo", 0,
     &PlanDefinitionValues::hours},
    {"HorasRF", "HORAS  MTO REFORMAS SEMANALES", "Horas totales destinadas a Reparaciones", 0,
     &PlanDefinitionValues::reformHours},
}};

ControlBinding<PlanDefinitionValues> BindControl(const PlanControl& c)
{
    return BindTyped(QString::fromUtf8(c.name), c.value);
}

const CardBinding<PlanDefinitionValues>& Binding()
{
    static const CardBinding<PlanDefinitionValues> binding{
        BindControl(kControls[0]), BindControl(kControls[1]), BindControl(kControls[2]),
        BindControl(kControls[3]), BindControl(kControls[4])};
    return binding;
}

// What the plan creation reloads, as at start-up.
void ReloadPlanEnvironment(Context& ctx)
{
    LoadEnvironment(ctx);
    InitPlanningYears(ctx);
    LoadFirmAndWeekAgenda(ctx);
    LoadPersonnel(ctx);
}

} // namespace

CardSpec PlanDefinitionCardSpec()
{
    CardSpec spec;
    spec.name = QStringLiteral("TDefinPG");
    spec.caption = QStringLiteral("DEFINICION PLANING DE MANTENIMIENTO PREVENTIVO");
    // One edit a row, in the dialog's order.
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const PlanControl& c = kControls[i];
        FieldSpec f = MakeField(QString::fromUtf8(c.name), c.label, FieldKind::Text, c.capacity);
        f.hint = QString::fromUtf8(c.hint);
        f.place.row = static_cast<int>(i);
        if (f.name == kIniPG) // the last year is changed only on purpose: a double-click here unlocks it
            f.onDoubleClick = [](CardState& state) { state.enable(kFinPG, true); };
        if (f.name == kIniPG || f.name == kFinPG) {
            f.rule = WholeRule(kYearOffset, kLastPlanYear, true);
        } else if (c.capacity == 0) {
            f.rule = WholeRule(0, kMostWeeklyHours);
        }
        spec.fields.push_back(f);
    }
    Binding().Declare(spec);
    spec.buttons = {{QStringLiteral("BitBtn1"), QStringLiteral("Sal&var"), CardResult::Save,
                     QStringLiteral("Gravar valores previstos de Horas.")},
                    {QStringLiteral("BitBtn2"), QStringLiteral("&Salir"), CardResult::Exit,
                     QStringLiteral("Salir sin acción")}};
    spec.cancelResult = CardResult::Exit;
    spec.onShow = [](CardState& state) { state.enable(kFinPG, false); };
    return spec;
}

void CheckExistingPlanning(Context& ctx)
{
    const State& st = ctx.st;
    ctx.ui.ShowMessage(QStringLiteral("EXISTE PLANING\rFICHEROS A RENOMBRAR : ") + st.CurrentEnvironment +
                       QStringLiteral(".*") + QStringLiteral("  PASA A  ") + st.CurrentEnvironment.left(6) +
                       QString::number(st.FirstYear).left(2) + QStringLiteral(".*") + QStringLiteral("\r") +
                       QStringLiteral("EN UTILIDADES DISPONE DE LAS HERRAMIENTAS PARA HACERLO"));
}

void CreatePlanning(Context& ctx)
{
    State& st = ctx.st;
    // An agenda that is there, even one that cannot be opened now, is never written over.
    if (DataFileExists(ctx, AgendaFile(ctx))) {
        CheckExistingPlanning(ctx);
        ReloadPlanEnvironment(ctx);
        return;
    }
    if (!ctx.ui.AskOkCancel(QStringLiteral("DESEA REINICIAR EL PLANING DE MAQUINAS")))
        return;
    // The firm preset, the first year last year and the last year three years ahead, no hours.
    PlanDefinitionValues typed{st.FirmName, QString::number(st.CurrentYear - 1),
                               QString::number(st.CurrentYear + 3), QStringLiteral("0"), QStringLiteral("0")};
    // The dialog stays open, with what was typed, until the plan it describes can be made.
    CardSpec spec = PlanDefinitionCardSpec();
    spec.onButton = [&ctx](CardState& state, const ButtonSpec& button) {
        if (button.result != CardResult::Save)
            return true;
        // The firm's first five characters become part of file names.
        if (!FirmNameFitsFileNames(state.value(QStringLiteral("Firma")).left(kFirmNameWidth))) {
            NoteIoResult(ctx, {IoCode::InvalidFileName, ctx.Path(AgendaFile(ctx))}, Report::Show);
            return false;
        }
        // A plan without weeks could book nothing, and its empty agenda would stand in the way of a real
        // one.
        const PlanHorizon horizon = TypedHorizon(state.value(kIniPG), state.value(kFinPG));
        if (horizon.Weeks() <= 0) {
            ctx.ui.ShowMessage(QString::fromUtf8(kEmptyHorizonMessage));
            return false;
        }
        // A last year before the first gives four years from it, which may pass the century.
        if (horizon.lastYear > kLastPlanYear - kYearOffset) {
            ctx.ui.ShowMessage(QString::fromUtf8(kCenturyMessage));
            state.focusRequest = kFinPG;
            state.enable(kFinPG, true);
            return false;
        }
        return true;
    };
    if (Binding().Run(ctx.ui, spec, typed) != CardResult::Save)
        return;
    const QString& agenda = AgendaFile(ctx);
    const std::int64_t hours = WholeOfText(typed.hours).value_or(0);
    const std::int64_t reformHours = WholeOfText(typed.reformHours).value_or(0);
    const QString firm = typed.firm.left(kFirmNameWidth);
    const PlanHorizon horizon = TypedHorizon(typed.firstYear, typed.lastYear);
    st.FirmName = firm;
    st.FirstYear = static_cast<std::uint16_t>(horizon.firstYear);
    st.LastYear = static_cast<std::uint16_t>(horizon.lastYear);
    st.PlanWeeks = static_cast<std::uint16_t>(horizon.Weeks());

    TPlanYearsRecord years{};
    years.FirstYear = static_cast<Byte>(st.FirstYear);
    years.LastYear = static_cast<Byte>(st.LastYear);

    std::vector<TAgendaRecord> weeks(st.PlanWeeks);
    for (TAgendaRecord& week : weeks) {
        week.FreeMinutes = HoursAsMinutes(hours);
        week.ReservedMinutes = HoursAsMinutes(reformHours);
    }
    if (!weeks.empty()) {
        weeks.front().Note = st.FirmName;
        SetWorkWeek(st, st.PlanWeeks - 1);
    }
    bool created = false;
    {
        WriteLock lock(ctx);
        // Another program may have created the plan while the dialog was open.
        if (!DataFileExists(ctx, agenda)) {
            StoreRecords(ctx, st.PlanYearsFileName, std::vector{years});
            StoreRecords(ctx, agenda, weeks);
            created = true;
        }
    }
    if (!created)
        CheckExistingPlanning(ctx);
    ReloadPlanEnvironment(ctx);
}

void LoadFirmAndWeekAgenda(Context& ctx)
{
    State& st = ctx.st;
    st.FirmName = QString::fromLatin1(kDefaultFirmName);
    RecordFile<TAgendaRecord> file(ctx);
    if (NoteIoResult(ctx, file.Open(AgendaFile(ctx), RawRecordFile::Mode::Read), Report::Silent)) {
        const std::size_t records = file.Count();
        if (records > 0) {
            const QString firm = file.Read(0).Note.str().left(kFirmNameWidth);
            if (firm != QLatin1String("#") && firm != QLatin1String(" ") && FirmNameFitsFileNames(firm))
                st.FirmName = firm;
        }
        if (const auto today = TodaysAgendaRecord(st, records)) {
            const QString note = file.Read(*today).Note.str();
            if (!note.isEmpty() && note != QLatin1String(" "))
                ctx.ui.ShowMessage(QStringLiteral("APUNTE AGENDA:\r") + note);
        }
        file.Close();
    }
    BuildFirmFileNames(ctx);
}

void IncreaseWeeklyHours(Context& ctx)
{
    State& st = ctx.st;
    const QString typed =
        ctx.ui.InputBox(QStringLiteral("CARGA DE MANTENIMIENTO"),
                        QStringLiteral("INTRODUZCA INCREMENTO DE HORAS SEMANALES"), QStringLiteral("0"));
    // Hours past what any week holds are refused below as they are; held here only to multiply safely.
    const std::int64_t minutes = std::clamp<std::int64_t>(ReadTypedNumber(st, typed, AgendaFile(ctx)),
                                                          -kMostWeekMinutes - 1, kMostWeekMinutes + 1) *
                                 kMinutesPerHour;
    WriteLock lock(ctx);
    RecordFile<TAgendaRecord> file(ctx);
    if (!NoteIoResult(ctx, file.Open(AgendaFile(ctx), RawRecordFile::Mode::Update), Report::Show))
        return;
    std::vector<TAgendaRecord> weeks = file.ReadAll();
    // Every week keeps its minutes within its word, or none changes: a week booked past its hours holds
    // them below zero, and a wrapped week would show thousands of free hours, or none.
    std::int64_t least = kMostFreeMinutes;
    std::int64_t most = kLeastFreeMinutes;
    for (const TAgendaRecord& week : weeks) {
        least = std::min<std::int64_t>(least, static_cast<std::int16_t>(week.FreeMinutes.get()));
        most = std::max<std::int64_t>(most, static_cast<std::int16_t>(week.FreeMinutes.get()));
    }
    if (!weeks.empty() && (least + minutes < kLeastFreeMinutes || most + minutes > kMostFreeMinutes)) {
        const FieldRule range = WholeRule((kLeastFreeMinutes - least) / kMinutesPerHour,
                                          (kMostFreeMinutes - most) / kMinutesPerHour);
        ctx.ui.ShowMessage(RefusalText(range, QStringLiteral("INCREMENTO DE HORAS SEMANALES")));
        return;
    }
    for (std::size_t i = 0; i < weeks.size(); ++i) {
        weeks[i].FreeMinutes = static_cast<std::uint16_t>(weeks[i].FreeMinutes.get() + minutes);
        file.Write(i, weeks[i]);
    }
}

std::optional<std::int64_t> AskWholeNumber(Context& ctx, const QString& caption, const QString& prompt,
                                           const QString& preset, const QString& field, std::int64_t min,
                                           std::int64_t max)
{
    const FieldRule rule = WholeRule(min, max, true);
    const QString typed = ctx.ui.InputBox(caption, prompt, preset);
    if (rule.accepts(typed))
        return WholeOfText(typed);
    ctx.ui.ShowMessage(RefusalText(rule, field));
    return std::nullopt;
}

} // namespace gim
