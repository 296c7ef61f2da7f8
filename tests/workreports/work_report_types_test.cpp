#include "workreports/work_report_types.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace gim {
namespace {

TEST(WorkReportTypes, TheActivityTypesStandInTheirOrderWithTheirNames)
{
    EXPECT_EQ(
        ActivityTypeCodes().join(' ').toStdString(),
        "OP CO CC CF CA CL CS P1D P1S P2S PM PM2 PM3 PM4 PS PS2 PS4 PTF PC PE PCH PW PG PA PB PV PN PF PT "
        "PLO PLT RM RMM RMJ RMS RMC RC RA RJ RP RE REM REJ RES REC RI RIM RIC RIJ RIS RF RFF RN RNM RNC RH "
        "RHM RHS RHJ RHC RLO RLT RS RSM RO ROM ROS R5 RAV RT VM VF VE VI VN VH VG VO VLT VLO IF IV IC IS IJ "
        "IM IP IG ID AL ALB DE DI LO LT F TM TL TA");
    const std::vector<std::pair<const char*, const char*>> names = {
        {"OP", "Operar Máquina Producción"},
        {"CO", "Conduct. Operativo"},
        {"P1D", "Prev. Diario"},
        {"PM", "Prev. Mensual"},
        {"PS4", "Prev. Bianual"},
        {"PTF", "Prev. por Tiempo Funcionamiento"},
        {"PC", "Ruta Contadores"},
        {"RM", "Reparación Mecánica"},
        {"RMM", "Repar. Mec. con Materiales"},
        {"RMJ", "Repar. Mec. de Mejora"},
        {"RMS", "Repar. Mec. de Servicio"},
        {"RMC", "Repar. Mec. Crítica"},
        {"RAV", "Reparación Aviso Intervención"},
        {"VM", "Avería Mecánica"},
        {"VLT", "Incidencia Limp. Técnica"},
        {"IF", "Formación"},
        {"ID", "Introducción Partes Diarios"},
        {"AL", "Salida Almacén"},
        {"ALB", "Albarán Material/Servicio"},
        {"DE", "Desplazamiento Exterior"},
        {"F", "Festivo/Permiso"},
        {"TA", "Alquiler/Leasing"},
    };
    for (const auto& [code, name] : names)
        EXPECT_EQ(ActivityTypeName(QString::fromLatin1(code)), QString::fromUtf8(name)) << code;
    // Every code has a name; a code outside the table, or in lower case, has none.
    for (const QString& code : ActivityTypeCodes())
        EXPECT_FALSE(ActivityTypeName(code).isEmpty()) << code.toStdString();
    EXPECT_TRUE(ActivityTypeName("rm").isEmpty());
    EXPECT_TRUE(ActivityTypeName("MAT").isEmpty());
    EXPECT_EQ(HourTypeCodes().join(' ').toStdString(), "C E EC V F EF EN N P B");
}

} // namespace
} // namespace gim
