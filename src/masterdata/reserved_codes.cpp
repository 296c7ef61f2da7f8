#include "masterdata/reserved_codes.h"

#include "core/context.h"
#include "core/data_file.h"
#include "records/data_files.h"

#include <algorithm>
#include <map>
#include <string>

namespace gim {

namespace {

// The codes in list order; a code standing in two lists has the same description in both.
constexpr CodeLabel kCodPrevenItems[] = {
    {"P1D", "Prev. Diario"},
    {"P1S", "Prev. Semanal"},
    {"P2S", "Prev. Qincenal"},
    {"PM", "Prev. Mensual"},
    {"PM2", "Prev. Bimensual"},
    {"PM3", "Prev. Trimestral"},
    {"PM4", "Prev. CuatriMestral"},
    {"PS", "Prev. Semestral"},
    {"PS2", "Prev. Anual"},
    {"PS4", "Prev. Bianual"},
    {"PTF", "Prev. por Tiempo Funcionamiento"},
};
constexpr CodeLabel kCodeConItems[] = {
    {"CA", "Conduct. Analisis"}, {"CC", "Conduct. Control"},   {"CF", "Cambio de Formato"},
    {"CL", "Conduct. Lecturas"}, {"CO", "Conduct. Operativo"}, {"CS", "Conduct. Supervisión"},
};
constexpr CodeLabel kCodeRepItems[] = {
    {"RM", "Reparación Mecánica"},
    {"RMM", "Repar. Mec. con Materiales"},
    {"RMJ", "Repar. Mec. de Mejora"},
    {"RMS", "Repar. Mec. de Servicio"},
    {"RMC", "Repar. Mec. Crítica"},
    {"RE", "Reparación Eléctrica"},
    {"REM", "Repar. Elec. con Materiales"},
    {"REJ", "Repar. Elec. de Mejora"},
    {"RES", "Repar. Elec. de Servicio"},
    {"REC", "Repar. Elec. Crítica"},
    {"RI", "Repar. Instrumentación"},
    {"RIM", "Repar. Inst. con Materiales"},
    {"RIJ", "Repar. Inst. Mejora"},
    {"RIS", "Repar. Inst. de Servicio"},
    {"RIC", "Repar. Inst. Crítica"},
    {"RH", "Reparación Hidráulica"},
    {"RHM", "Repar. Hid. con Materiales"},
    {"RHJ", "Repar. Hid. con Mejora"},
    {"RHS", "Repar. Hid. con Seguridades"},
    {"RHC", "Repar. Hid. Crítica"},
    {"RC", "Reparación de Carpintería"},
    {"RP", "Reparación de Pintura"},
    {"RA", "Reparación Constr. Albañileria"},
    {"RJ", "Reparación de Cerrajería"},
    {"RF", "Reparación Equipo de Frío"},
    {"RFF", "Reposición Gas en Equipo de Frío"},
    {"RN", "Reparación Neumática"},
    {"RNM", "Repar. Neum. Con Materiales"},
    {"RNC", "Repar. Neum. Crítica"},
    {"RLO", "Repar. Limpieza Ordinaria"},
    {"RLT", "Repar. Limpieza Técnica"},
    {"RS", "Repararación Seguridades"},
    {"RSM", "Repar. Segurid. con Materiales"},
    {"RO", "Repar. Por Orden"},
    {"ROM", "Repar. Por Orden con Materiales"},
    {"ROS", "Repar. Por Orden de Servicio"},
    {"R5", "Reparación Acción 5S"},
    {"RAV", "Reparación Avisos de Intervención"},
    {"RT", "Reparación de Termografía"},
};
constexpr CodeLabel kCodeAvItems[] = {
    {"VE", "Avería Eléctrica"},
    {"VM", "Avería Mecánica"},
    {"VN", "Avería Neumática"},
    {"VI", "Avería Instrumentación"},
    {"VF", "Avería Frío"},
    {"VG", "Avería Por Falta Engrase"},
    {"VH", "Avería Hidráulica"},
    {"VLO", "Incidencia Limp. Ordinaria"},
    {"VLT", "Incidencia Limp. Técnica"},
    {"VO", "Avería Operativa"},
};
constexpr CodeLabel kCODINGENItems[] = {
    {"IC", "Ingeniería de Control"},
    {"ID", "Introducción Partes Diarios"},
    {"IS", "Ingeniería Supervisión"},
    {"IM", "Ingeniería Montajes"},
    {"IF", "Formación"},
    {"IV", "Visitas"},
    {"IP", "Ingeniería Preventivo"},
    {"IG", "Ingeniería Gestión"},
    {"IJ", "Ingeniería Mejoras"},
};
constexpr CodeLabel kCODRUTASItems[] = {
    {"PA", "Ruta Analisis"},
    {"PB", "Ruta Alumbrado"},
    {"PC", "Ruta Contadores"},
    {"PCH", "Ruta Contadores Horarios"},
    {"PE", "Ruta Energía"},
    {"PF", "Ruta Frío"},
    {"PG", "Ruta Engrase"},
    {"PLO", "Ruta Limp. Ordinaria"},
    {"PLT", "Ruta Limp. Técnica"},
    {"PN", "Ruta Neumática"},
    {"PV", "Ruta Vibraciones"},
    {"PW", "Ruta Funcionamiento Máquinas"},
    {"PT", "Ruta Temperaturas/Termografia"},
};
constexpr CodeLabel kCODVARIOSItems[] = {
    {"AL", "Salida Almacén"},          {"ALB", "Albarán Material/Servicio"},
    {"DE", "Desplazamiento Exterior"}, {"DI", "Desplazamiento Interno"},
    {"F", "Festivo/Permiso"},          {"LO", "Limpieza Ordinaria"},
    {"LT", "Limpieza Técnica"},        {"OP", "Operar Máquina Producción"},
    {"TA", "Alquiler/Leasing"},        {"TM", "Trabajos Marketing"},
    {"TL", "Trabajos Locales"},
};
constexpr CodeLabel kFrecueMTPItems[] = {
    {"1D", "Diaria"},
    {"1S", "Semanal"},
    {"2S", "Qincenal"},
    {"M", "Mensual"},
    {"M2", "Bimensual"},
    {"M3", "Trimestral"},
    {"M4", "Cuatrimestral"},
    {"S", "Semestral"},
    {"S2", "Anual"},
    {"S4", "Bieal"},
    {"TF", "Horas Funcionamiento"},
};
constexpr CodeLabel kEspeciMTPItems[] = {
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
    {"PE", "Ruta Energía"},
    {"PN", "Ruta Neumática"},
    {"PW", "Ruta Funcionamiento Máquinas"},
    {"PH", "Ruta Hidraulica"},
};
constexpr CodeLabel kEstadoMTPItems[] = {
    {"O", "Máquina Operativa"},
    {"P", "Máquina Parada"},
};

// Puts the record index of each list's first item into the table.
std::array<ReservedCodeList, kReservedListCount> BuildLists()
{
    std::array<ReservedCodeList, kReservedListCount> lists{{
        {ReservedList::CodPreven, "CodPreven", "MTO. PREVENTIVO",
         "Descripción Códigos de Acciones de MTO. Preventivo", "\t\tACCIONES DE MANTENIMIENTO PREVENTIVO",
         true, kCodPrevenItems, 0},
        {ReservedList::CodeCon, "CodeCon", "CONDUCTIVO", "Descripción Códigos de Acciones de MTO. Conductivo",
         "\t\tACCIONES DE MANTENIMIENTO CONDUCTIVO", true, kCodeConItems, 0},
        {ReservedList::CodeRep, "CodeRep", "REPARACIONES",
         "Descripción Códigos de Acciones de Reparaciones Programadas",
         "\t\tACCIONES DE MANTENIMIENTO REPARACIONES", true, kCodeRepItems, 0},
        {ReservedList::CodeAv, "CodeAv", "AVERIAS", "Descripción Códigos de Acciones de Averías",
         "\t\tACCIONES DE MANTENIMIENTO AVERÍAS", true, kCodeAvItems, 0},
        {ReservedList::CODINGEN, "CODINGEN", "INGENIERIA",
         "Descripción Códigos de Acciones de Ingeniería de MTO.",
         "\t\tACCIONES DE INGENIERÍA DE MANTENIMIENTO", true, kCODINGENItems, 0},
        {ReservedList::CODRUTAS, "CODRUTAS", "RUTAS MTO", "Descripción Códigos de Acciones Rutas de MTO.",
         "\t\tACCIONES DE RUTAS DE MANTENIMIENTO ", true, kCODRUTASItems, 0},
        {ReservedList::CODVARIOS, "CODVARIOS", "OTROS", "Descripción Códigos de Acciones Varias",
         "\t\tACCIONES VARIAS DE MANTENIMIENTO ", true, kCODVARIOSItems, 0},
        {ReservedList::FrecueMTP, "FrecueMTP", "FRECUENCIAS",
         "Descripción Códigos de Frecuencias de Operación Revisiónes.",
         "\t\tFRECUENCIAS DE REVISIONES DE MTO. PREVENTIVO", false, kFrecueMTPItems, 0},
        {ReservedList::EspeciMTP, "EspeciMTP", "ESPECIALIDAD",
         "Descripción Códigos Especialidad de Operación Revisiónes.",
         "\t\tESPECIALIDAD TECNOLÓGICA DE LAS REVISIONES MTO.", false, kEspeciMTPItems, 0},
        {ReservedList::EstadoMTP, "EstadoMTP", "ESTADO",
         "Descripción Códigos Estado de Máquina en las Operación Revisiónes.",
         "\t\tESTADO DE LA MÁQUINA EN LAS REVISIONES MTO.", false, kEstadoMTPItems, 0},
    }};
    std::size_t first = 0;
    for (ReservedCodeList& list : lists) {
        list.firstRecord = first;
        first += list.items.size();
    }
    return lists;
}

ReservedCodeCounts BuildCounts()
{
    const auto& lists = ReservedCodeLists();
    auto n = [&](ReservedList l) {
        return static_cast<std::uint16_t>(lists[static_cast<std::size_t>(l)].items.size());
    };
    ReservedCodeCounts c{};
    c.CodPrevenCount = n(ReservedList::CodPreven);
    c.CodeConCount = n(ReservedList::CodeCon);
    c.CodeRepCount = n(ReservedList::CodeRep);
    c.CodeAvCount = n(ReservedList::CodeAv);
    c.CODINGENCount = n(ReservedList::CODINGEN);
    c.CODRUTASCount = n(ReservedList::CODRUTAS);
    c.CODVARIOSCount = n(ReservedList::CODVARIOS);
    c.FrecueMTPCount = n(ReservedList::FrecueMTP);
    c.EspeciMTPCount = n(ReservedList::EspeciMTP);
    c.EstadoMTPCount = n(ReservedList::EstadoMTP);
    c.ActionReservedCodeCount =
        static_cast<std::uint16_t>(c.CodPrevenCount + c.CodeConCount + c.CodeRepCount + c.CodeAvCount +
                                   c.CODINGENCount + c.CODRUTASCount + c.CODVARIOSCount);
    c.GamaReservedCodeCount =
        static_cast<std::uint16_t>(c.FrecueMTPCount + c.EspeciMTPCount + c.EstadoMTPCount);
    return c;
}

// Built-in code (Windows-1252 bytes) to its description.
const std::map<std::string, QString>& Descriptions()
{
    static const std::map<std::string, QString> table = [] {
        std::map<std::string, QString> t;
        for (const ReservedCodeList& list : ReservedCodeLists())
            for (const CodeLabel& item : list.items)
                t.emplace(item.code, QString::fromUtf8(item.label));
        return t;
    }();
    return table;
}

// The .CDG has no key and no twin: it is only read and copied whole.
struct ReservedCodeFile
{
    using Record = TReservedCodeRecord;
};

KeyedFile<ReservedCodeFile> ReservedCodes(Context& ctx)
{
    return KeyedFile<ReservedCodeFile>(ctx, ReservedCodesFileName(ctx.st));
}

std::vector<TReservedCodeRecord> LoadReservedCodeRecords(Context& ctx)
{
    return ReadReservedCodes(ctx, Report::Silent).value_or(std::vector<TReservedCodeRecord>{});
}

} // namespace

const std::array<ReservedCodeList, kReservedListCount>& ReservedCodeLists()
{
    static const std::array<ReservedCodeList, kReservedListCount> lists = BuildLists();
    return lists;
}

const ReservedCodeList& ReservedCodeListOf(ReservedList list)
{
    return ReservedCodeLists()[static_cast<std::size_t>(list)];
}

const ReservedCodeList& ReservedCodeListOfRecord(std::size_t index)
{
    const auto& lists = ReservedCodeLists();
    for (std::size_t i = lists.size(); i-- > 1;)
        if (index >= lists[i].firstRecord)
            return lists[i];
    return lists.front();
}

const ReservedCodeCounts& ReservedCounts()
{
    static const ReservedCodeCounts counts = BuildCounts();
    return counts;
}

QString ReservedCodesFileName(const State& st)
{
    return BuildDataFileName(st.CurrentEnvironment, ".CDG");
}

void DefaultReservedDescription(TReservedCodeRecord& rec)
{
    const auto& table = Descriptions();
    const auto it = table.find(std::string(rec.Code.bytes()));
    if (it != table.end())
        rec.Description = it->second;
}

std::vector<TReservedCodeRecord> BuiltInReservedCodes(const std::vector<bool>& visible)
{
    std::vector<TReservedCodeRecord> records;
    records.reserve(ReservedCounts().Total());
    for (const ReservedCodeList& list : ReservedCodeLists()) {
        for (const CodeLabel& item : list.items) {
            TReservedCodeRecord rec{};
            rec.Code = item.code;
            const std::size_t index = records.size();
            rec.Visible = visible.empty() || (index < visible.size() && visible[index]) ? 1 : 0;
            DefaultReservedDescription(rec);
            records.push_back(rec);
        }
    }
    return records;
}

std::optional<std::vector<TReservedCodeRecord>> ReadReservedCodes(Context& ctx, Report report)
{
    return ReservedCodes(ctx).Read(report);
}

bool WriteReservedCodes(Context& ctx, const std::vector<bool>& visible)
{
    try {
        WriteLock lock(ctx);
        StoreRecords(ctx, ReservedCodesFileName(ctx.st), BuiltInReservedCodes(visible));
    } catch (const IoAbort& e) {
        // A write-protected file is refused here and keeps its bytes.
        NoteIoResult(ctx, {e.code(), e.file()}, Report::Show);
        return false;
    }
    return true;
}

void CheckReservedCodesFile(Context& ctx)
{
    bool completed = false;
    try {
        // Held from the count to the rewrite, so that a save of another program is not lost.
        WriteLock lock(ctx);
        // A file that cannot be read is left for the window, which says why.
        const auto records = ReadReservedCodes(ctx, Report::Silent);
        if (!records || records->size() == ReservedCounts().Total())
            return;
        completed = WriteReservedCodes(ctx);
    } catch (const IoAbort& e) {
        NoteIoResult(ctx, {e.code(), e.file()}, Report::Show);
    }
    if (completed)
        ctx.ui.ShowMessage(QStringLiteral("SE HAN AÑADIDO NUEVOS CODIGOS RESERVADOS"));
}

void CopyReservedCodes(Context& ctx, const QString& newEnvironment)
{
    // Without lists of its own the new environment starts with the built-in ones; a copy that cannot be
    // written is not passed over (the year restart takes back what it made and says why).
    ReservedCodes(ctx).CopyTo(BuildDataFileName(newEnvironment, ".CDG"), Report::Silent);
}

QStringList ActionCodeChoices(Context& ctx)
{
    if (!DataFileExists(ctx, ReservedCodesFileName(ctx.st)))
        WriteReservedCodes(ctx);
    const std::vector<TReservedCodeRecord> records = LoadReservedCodeRecords(ctx);
    QStringList codes;
    const std::size_t end = std::min<std::size_t>(records.size(), ReservedCounts().ActionReservedCodeCount);
    for (std::size_t i = 0; i < end; ++i)
        if (records[i].Visible != 0)
            codes << records[i].Code.str();
    return codes;
}

GamaCodeChoices GamaCodeChoicesFromFile(Context& ctx)
{
    const ReservedCodeCounts& counts = ReservedCounts();
    // Before the file's first use every built-in code is offered, as the file would first be made.
    const std::vector<TReservedCodeRecord> records = DataFileExists(ctx, ReservedCodesFileName(ctx.st))
                                                         ? LoadReservedCodeRecords(ctx)
                                                         : BuiltInReservedCodes();
    GamaCodeChoices choices;
    const std::size_t first = counts.ActionReservedCodeCount;
    const std::size_t end = std::min<std::size_t>(records.size(), counts.Total());
    for (std::size_t i = first; i < end; ++i) {
        if (records[i].Visible == 0)
            continue;
        // The position in the range decides the list, so a hidden code does not shift the others.
        const std::size_t at = i - first;
        if (at < counts.FrecueMTPCount)
            choices.frequencies << records[i].Code.str();
        else if (at < std::size_t{counts.FrecueMTPCount} + counts.EspeciMTPCount)
            choices.specialities << records[i].Code.str();
        else
            choices.states << records[i].Code.str();
    }
    return choices;
}

} // namespace gim
