#include "masterdata/masterdata_fixture.h"
#include "workreports/workreport_operations.h"

#include <QDate>
#include <gtest/gtest.h>
#include <vector>

namespace gim {
namespace {

TWorkReportRecord Line(const char* matricula, const char* dia, const char* tipo, const char* tipoh,
                       std::int32_t tinter, std::int32_t tparo = 0)
{
    TWorkReportRecord r{};
    r.Matricula = matricula;
    r.Codigo = "PRENSA01";
    r.Tipo = tipo;
    r.TIPOH = tipoh;
    r.dia = dia;
    r.Tinter = tinter;
    r.Tparo = tparo;
    return r;
}

TPersonnelRecord Person(const char* code, const char* name, const char* surnames)
{
    TPersonnelRecord r{};
    r.Matricula = code;
    r.Nombre = name;
    r.Apellidos = surnames;
    return r;
}

class WorkReportHoursTest : public test::MasterdataTest
{
protected:
    WorkReportHoursTest()
    {
        BuildFirmFileNames(t.ctx);
        RegisterWorkReports(registry, t.ctx);
        StoreRecords(t.ctx, QStringLiteral("FABRI_PO.RCH"),
                     std::vector{Person("A1", "Ana", "Garcia"), Person("B2", "Luis", "Pena"),
                                 Person("C3", "Eva", "Sanz")});
        // Ana: 5 h worked, 2 h of it overtime, 1 h at night; Luis: only a vacation line; Eva: overtime
        // above her 1 h of work and night hours above what is left. Store exits add no time; the delivery
        // note adds its cost.
        StoreRecords(
            t.ctx, QStringLiteral("PORTAL.PDA"),
            std::vector{Line("C3", "26/50/2", "VM", "C", 60), Line("C3", "26/50/2", "F", "EF", 90),
                        Line("C3", "26/50/2", "F", "N", 30), Line("A1", "26/50/2", "AL", "C", 1250, 3),
                        Line("A1", "26/50/2", "ALB", "C", 0, 4550), Line("B2", "26/50/1", "F", "V", 480),
                        Line("A1", "26/50/1", "RM", "C", 300), Line("A1", "26/50/1", "F", "E", 120),
                        Line("A1", "26/50/1", "F", "N", 60), Line("A1", "26/51/1", "RM", "C", 999)});
    }
    QString Run(const char* item, const QString& caption)
    {
        t.ui.ExpectReport(caption);
        EXPECT_TRUE(RunMenu(item));
        EXPECT_SCRIPT_DONE(t.ui);
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
};

TEST_F(WorkReportHoursTest, DailyAndPeriodHoursSplitNormalOvertimeAndLeave)
{
    t.ui.ExpectDateRange(QDate(2026, 12, 7), QDate(2026, 12, 8));
    t.ui.ExpectInput(QStringLiteral("EDICIÓN PARTES DIARIOS"), QStringLiteral("MATRICULA"),
                     QStringLiteral("*"));
    const QString daily = Run("Partes > Informes > Diario", QStringLiteral("HORAS PERSONAL CENTRO PORTAL"));
    EXPECT_TRUE(daily.contains(QStringLiteral(
        "{12 b}\tFABRICA\tHORAS PERSONAL PORTAL\t07/12/2026\n\n"
        "{10 u}\tFECHA\tNOMBRE\tAPELLIDOS\tH Norn\tH Noche\tH Ext\tH EFest.\tH ENoche\tH Vacac\tH Perm\tH "
        "Baja\n"
        "{8}\t07/12/26\tAna\tGarcia\t02 : 00\t01 : 00\t02 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : 00\n"
        "\t07/12/26\tLuis\tPena\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t08 : 00\t00 : 00\t00 : 00\n"
        "{8 b}\t\tDIARIO ACUMULADO \t07/12/26\t02 : 00\t01 : 00\t02 : 00\t00 : 00\t00 : 00\t08 : 00\t00 : 00"
        "\t00 : 00\n{8}\n"
        "\t08/12/26\tEva\tSanz\t00 : 00\t00 : 30\t00 : 00\t01 : 30\t00 : 00\t00 : 00\t00 : 00\t00 : 00\n")))
        << daily.toStdString();

    t.ui.ExpectDateRange(QDate(2026, 12, 7), QDate(2026, 12, 8));
    t.ui.ExpectInput(QStringLiteral("INTRODUCIR TIPO DE INTERVENCIÓN"), QStringLiteral("CODIGO INTERVENCION"),
                     QStringLiteral("*"));
    const QString period = Run("Partes > Informes > Periodo", QStringLiteral("HORAS PERSONAL CENTRO PORTAL"));
    EXPECT_TRUE(period.contains(QStringLiteral(
        "{8}\tA1\tAna\tGarcia\t02 : 00\t01 : 00\t02 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : 00\n"
        "\tB2\tLuis\tPena\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t08 : 00\t00 : 00\t00 : 00\n"
        "\tC3\tEva\tSanz\t00 : 00\t00 : 30\t00 : 00\t01 : 30\t00 : 00\t00 : 00\t00 : 00\t00 : 00\n"
        "{8 b}\tTIEMPO TOTAL ACUMULADO DE INTERVENCION \t02 : 00\t01 : 30\t02 : 00\t01 : 30\t00 : 00\t08 : 00"
        "\t00 : 00\t00 : 00\n"
        "\tTOTAL ACUMULADO DE ALBARANES (ALB)\t\t45,50 EUROS\n"
        "\tFECHA INICIO 26/50/1    FECHA FINAL 26/50/2\n"
        "\tTIPO DE HORA : Indistinto\n"
        "TARTA:  | HORAS DE MANTENIMIENTO   PORTAL  07/12/2026\n"
        "  'H Norn' = 2 #ff0000\n  'H Noche' = 1 #ff00ff\n  'H Ext/H EFest/H ENoche' = 3 #ffff00\n"
        "  'H Vacac/H Perm' = 8 #0000ff\n  'H Baja ' = 0 #008000\n")))
        << period.toStdString();
}

TEST_F(WorkReportHoursTest, WeeklyHoursKeepEqualWeekNumbersOfTwoYearsApart)
{
    StoreRecords(t.ctx, QStringLiteral("PORTAL.PDA"),
                 std::vector{Line("A1", "27/02/1", "RM", "C", 90), Line("B2", "26/10/1", "F", "V", 480),
                             Line("A1", "26/10/2", "ALB", "C", 0, 4550),
                             Line("A1", "26/10/2", "AL", "C", 1250, 3), Line("A1", "26/02/3", "RM", "C", 60),
                             Line("A1", "26/01/5", "RM", "C", 999), Line("Z", "26/10/1", "RM", "C", 777)});
    t.ctx.st.DateText = QStringLiteral("20/11/2026");
    t.ui.ExpectInput(QStringLiteral("Horas de Personal"), QStringLiteral("INTRODUZCA Matricula Operario "),
                     QStringLiteral("*"));
    t.ui.ExpectDateRange(QDate(2026, 1, 5), QDate(2027, 1, 15));
    const QString weekly = Run("Partes > Ratios", QStringLiteral("HORAS DE PERSONAL"));
    EXPECT_EQ(t.ui.DateRangePresets().back().first, QDate(2026, 11, 20));
    const QString rows = QStringLiteral("{8}\t02/2026\t01 : 00\t00 : 00\t0,00\t01 : 00\n");
    for (const QString& expected :
         {QStringLiteral("{12 b}\tFABRICA\tRATIOS HORAS DE PERSONAL PORTAL\t07/12/2026\n"),
          QStringLiteral("\n{10 u}\tSem/Año\tH Efectivas\tHoras F/P/B\t Albaranes €\t H Totales\n") + rows,
          QStringLiteral("\t10/2026\t00 : 00\t08 : 00\t45,50\t08 : 00\n"),
          QStringLiteral(
              "\t52/2026\t00 : 00\t00 : 00\t0,00\t00 : 00\n\t01/2027\t00 : 00\t00 : 00\t0,00\t00 : 00\n"
              "\t02/2027\t01 : 30\t00 : 00\t0,00\t01 : 30\n") +
              QString(110, QLatin1Char('-')) +
              QStringLiteral("\n{8 b}\tTotales:\t02 : 30\t08 : 00\t45,50\t10 : 30\n"),
          QStringLiteral("GRAFICO: HORAS DE PERSONAL 2026 max=75 '01 : 15 H Actv' '04 : 00 H F/P' '22,75 € "
                         "Albaranes' ' ' ' ' ' ' weeks=53\n"),
          QStringLiteral("  axes: SEMANAS / MINUTOS / € ALBARANES / Normal\n")})
        EXPECT_TRUE(weekly.contains(expected)) << expected.toStdString() << "\n--\n" << weekly.toStdString();
    EXPECT_FALSE(weekly.contains(QStringLiteral("01/2026")));
    EXPECT_EQ(weekly.count(QStringLiteral("/2026\t")) + weekly.count(QStringLiteral("/2027\t")), 53);
}

} // namespace
} // namespace gim
