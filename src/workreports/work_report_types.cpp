#include "workreports/work_report_types.h"

#include "platform/code_table.h"

namespace gim {

namespace {

// The activity types in table order; the first letter is the family the posting acts on.
constexpr CodeLabel kActivityTypes[] = {
    {"OP", "Operar Máquina Producción"},
    {"CO", "Conduct. Operativo"},
    {"CC", "Conduct. Control"},
    {"CF", "Conduct. Funcionamiento"},
    {"CA", "Conduct. Arranque"},
    {"CL", "Conduct. Limpieza"},
    {"CS", "Conduct. Supervisión"},
    {"P1D", "Prev. Diario"},
    {"P1S", "Prev. Semanal"},
    {"P2S", "Prev. Quincenal"},
    {"PM", "Prev. Mensual"},
    {"PM2", "Prev. Bimestral"},
    {"PM3", "Prev. Trimestral"},
    {"PM4", "Prev. Cuatrimestral"},
    {"PS", "Prev. Semestral"},
    {"PS2", "Prev. Anual"},
    {"PS4", "Prev. Bianual"},
    {"PTF", "Prev. por Tiempo Funcionamiento"},
    {"PC", "Ruta Contadores"},
    {"PE", "Ruta Eléctrica"},
    {"PCH", "Ruta Control Horas"},
    {"PW", "Ruta Agua"},
    {"PG", "Ruta Engrase"},
    {"PA", "Ruta Aire Comprimido"},
    {"PB", "Ruta Bombas"},
    {"PV", "Ruta Vibraciones"},
    {"PN", "Ruta Neumática"},
    {"PF", "Ruta Frío"},
    {"PT", "Ruta Termografía"},
    {"PLO", "Ruta Limp. Ordinaria"},
    {"PLT", "Ruta Limp. Técnica"},
    {"RM", "Reparación Mecánica"},
    {"RMM", "Repar. Mec. con Materiales"},
    {"RMJ", "Repar. Mec. de Mejora"},
    {"RMS", "Repar. Mec. de Servicio"},
    {"RMC", "Repar. Mec. Crítica"},
    {"RC", "Reparación Carpintería"},
    {"RA", "Reparación Albañilería"},
    {"RJ", "Reparación Cerrajería"},
    {"RP", "Reparación Pintura"},
    {"RE", "Reparación Eléctrica"},
    {"REM", "Repar. Eléc. con Materiales"},
    {"REJ", "Repar. Eléc. de Mejora"},
    {"RES", "Repar. Eléc. de Servicio"},
    {"REC", "Repar. Eléc. Crítica"},
    {"RI", "Reparación Instrumentación"},
    {"RIM", "Repar. Instr. con Materiales"},
    {"RIC", "Repar. Instr. Crítica"},
    {"RIJ", "Repar. Instr. de Mejora"},
    {"RIS", "Repar. Instr. de Servicio"},
    {"RF", "Reparación Frío"},
    {"RFF", "Repar. Frío Fugas"},
    {"RN", "Reparación Neumática"},
    {"RNM", "Repar. Neum. con Materiales"},
    {"RNC", "Repar. Neum. Crítica"},
    {"RH", "Reparación Hidráulica"},
    {"RHM", "Repar. Hidr. con Materiales"},
    {"RHS", "Repar. Hidr. de Servicio"},
    {"RHJ", "Repar. Hidr. de Mejora"},
    {"RHC", "Repar. Hidr. Crítica"},
    {"RLO", "Reparación Limp. Ordinaria"},
    {"RLT", "Reparación Limp. Técnica"},
    {"RS", "Reparación Seguridad"},
    {"RSM", "Repar. Seg. con Materiales"},
    {"RO", "Reparación por Orden"},
    {"ROM", "Repar. Orden con Materiales"},
    {"ROS", "Repar. Orden de Servicio"},
    {"R5", "Acción 5S"},
    {"RAV", "Reparación Aviso Intervención"},
    {"RT", "Reparación Termografía"},
    {"VM", "Avería Mecánica"},
    {"VF", "Avería Frío"},
    {"VE", "Avería Eléctrica"},
    {"VI", "Avería Instrumentación"},
    {"VN", "Avería Neumática"},
    {"VH", "Avería Hidráulica"},
    {"VG", "Avería Por Falta Engrase"},
    {"VO", "Avería Operativa"},
    {"VLT", "Incidencia Limp. Técnica"},
    {"VLO", "Incidencia Limp. Ordinaria"},
    {"IF", "Formación"},
    {"IV", "Visita Técnica"},
    {"IC", "Consulta Técnica"},
    {"IS", "Ingeniería Seguridad"},
    {"IJ", "Jornada Técnica"},
    {"IM", "Ingeniería Mejoras"},
    {"IP", "Ingeniería Proyectos"},
    {"IG", "Gestión Mantenimiento"},
    {"ID", "Introducción Partes Diarios"},
    {"AL", "Salida Almacén"},
    {"ALB", "Albarán Material/Servicio"},
    {"DE", "Desplazamiento Exterior"},
    {"DI", "Desplazamiento Interior"},
    {"LO", "Limpieza Ordinaria"},
    {"LT", "Limpieza Técnica"},
    {"F", "Festivo/Permiso"},
    {"TM", "Trabajos de Montaje"},
    {"TL", "Trabajos Logísticos"},
    {"TA", "Alquiler/Leasing"},
};

} // namespace

QString ActivityTypeName(const QString& code)
{
    return CodeTable(kActivityTypes).LabelOr(code);
}

QStringList ActivityTypeCodes()
{
    return CodeTable(kActivityTypes).Codes();
}

} // namespace gim
