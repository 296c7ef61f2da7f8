#include "preventive/plan_definition.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/environment.h"
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
// Years are stored as one byte since 2000, and the last year may lie five after the first.
constexpr int kFirstStoredYear = 2000;
constexpr int kLastFirstYear = 255 - kLongestHorizonYears;
constexpr const char* kEmptyHorizonMessage = "EL AÑO FIN PLANING DEBE SER POSTERIOR AL AÑO INICIO";

const QString& AgendaFile(const Context& ctx)
{
    return ctx.st.FileName(DataFile::Agenda);
}

// Minutes of a number of hours as the agenda's 16-bit words keep them (unsigned: any typed number wraps).
std::uint16_t HoursAsMinutes(std::int64_t hours)
{
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(hours) * 60u);
}

// What the dialog edits, as typed: the numbers are read only when the plan is made, where a bad one is
// refused.
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
    if (Binding().Run(ctx.ui, PlanDefinitionCardSpec(), typed) != CardResult::Save)
        return;
    const QString& agenda = AgendaFile(ctx);
    const std::int64_t firstTyped = ReadPlanInteger(st, typed.firstYear, agenda);
    const std::int64_t lastTyped = ReadPlanInteger(st, typed.lastYear, agenda);
    const std::int64_t hours = ReadPlanInteger(st, typed.hours, agenda);
    const std::int64_t reformHours = ReadPlanInteger(st, typed.reformHours, agenda);
    // The years are kept in one byte each.
    if (firstTyped < kFirstStoredYear || firstTyped > kFirstStoredYear + kLastFirstYear) {
        st.LastIOResult = IoCode::InvalidNumber;
        throw IoAbort(IoCode::InvalidNumber, agenda);
    }
    const QString firm = typed.firm.left(kFirmNameWidth);
    if (!FirmNameFitsFileNames(firm)) {
        NoteIoResult(ctx, {IoCode::InvalidFileName, ctx.Path(agenda)}, Report::Show);
        return;
    }
    const int firstYear = static_cast<int>(firstTyped - kFirstStoredYear);
    // Every year outside this range gives the same horizon as the nearer end of it.
    const int lastYear = static_cast<int>(std::clamp<std::int64_t>(
        lastTyped - kFirstStoredYear, firstYear - 1, firstYear + kLongestHorizonYears + 1));
    const PlanHorizon horizon = ClampHorizon(firstYear, lastYear);
    // A plan without weeks could book nothing, and its empty agenda would stand in the way of a real one.
    if (horizon.Weeks() <= 0) {
        ctx.ui.ShowMessage(QString::fromUtf8(kEmptyHorizonMessage));
        return;
    }
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
        st.WorkWeek = static_cast<std::uint16_t>((st.PlanWeeks - 1) % kWeeksPerPlanYear);
        st.WorkYear = static_cast<std::uint16_t>((st.PlanWeeks - 1) / kWeeksPerPlanYear + st.FirstYear);
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
    const std::uint16_t minutes = HoursAsMinutes(ReadPlanInteger(st, typed, AgendaFile(ctx)));
    WriteLock lock(ctx);
    RecordFile<TAgendaRecord> file(ctx);
    if (!NoteIoResult(ctx, file.Open(AgendaFile(ctx), RawRecordFile::Mode::Update), Report::Show))
        return;
    std::vector<TAgendaRecord> weeks = file.ReadAll();
    for (std::size_t i = 0; i < weeks.size(); ++i) {
        weeks[i].FreeMinutes = static_cast<std::uint16_t>(weeks[i].FreeMinutes.get() + minutes);
        file.Write(i, weeks[i]);
    }
}

} // namespace gim
