#include "app/features.h"
#include "core/startup.h"
#include "masterdata/personnel.h"
#include "preventive/plan_definition.h"
#include "preventive_fixture.h"
#include "support/unprivileged.h"

#include <functional>
#include <sys/stat.h>

namespace gim {
namespace {

using test::RecordBytes;

// Runs `body` as a user whom file permissions bind, in the data folder `data` below `root`; its failures
// come back as text.
std::string AsUser(const QString& root, const QString& data, const std::function<std::string()>& body)
{
    EXPECT_EQ(::chmod(QFile::encodeName(root).constData(), 0755), 0);
    return test::RunUnprivileged(data, body);
}

const QString kDialog = QStringLiteral("DEFINICION PLANING DE MANTENIMIENTO PREVENTIVO");

class PlanDefinitionTest : public test::PreventiveTest
{
protected:
    // One agenda record as the plan creation writes it.
    static std::string AgendaRecord(std::uint16_t free, std::uint16_t reserved, std::string_view note = {})
    {
        RecordBytes b(56);
        b.Raw(0, {static_cast<unsigned char>(free & 0xFF), static_cast<unsigned char>(free >> 8)});
        b.Raw(4, {static_cast<unsigned char>(reserved & 0xFF), static_cast<unsigned char>(reserved >> 8)});
        if (!note.empty())
            b.Text(6, note);
        return std::string(b.Bytes().begin(), b.Bytes().end());
    }
    void ExpectPersonnelMissing(const char* file)
    {
        t.ui.ExpectMessage(QStringLiteral("Falta Fichero Personal: ") + QString::fromLatin1(file));
    }
};

TEST_F(PlanDefinitionTest, ThePlanItemsBuiltSoFarAreOffered)
{
    SetHorizon(26, 27);
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    QStringList offered;
    for (std::size_t i = 0; i < dispatcher.Table().size(); ++i) {
        const QString path = dispatcher.Table()[i].PlainPath();
        if (path.startsWith(QStringLiteral("Pláning > ")) && dispatcher.IsEnabled(i))
            offered << path;
    }
    EXPECT_EQ(offered,
              (QStringList{QStringLiteral("Pláning > Lanzar > Ruta Mto."),
                           QStringLiteral("Pláning > Lanzar > Plan Semanal"),
                           QStringLiteral("Pláning > Lanzar > Control Horario"),
                           QStringLiteral("Pláning > Crear"), QStringLiteral("Pláning > Recursos > Listar"),
                           QStringLiteral("Pláning > Recursos > Aumentar"),
                           QStringLiteral("Pláning > Altas > Cargar > Manual"),
                           QStringLiteral("Pláning > Altas > Cargar > Automática > Aleatoria"),
                           QStringLiteral("Pláning > Altas > Cargar > Automática > Sincrona"),
                           QStringLiteral("Pláning > Altas > Cargar > Automática > Continua Plan"),
                           QStringLiteral("Pláning > Altas > Descargar > Manual"),
                           QStringLiteral("Pláning > Altas > Descargar > Automática"),
                           QStringLiteral("Pláning > Altas > Agenda"), QStringLiteral("Pláning > Plan Anual")}));
}

// The last year typed before the first gives four plan years; the firm keeps sixteen characters and
// names the personnel file; the agenda has one record per week, the firm in the first.
TEST_F(PlanDefinitionTest, CreatingAPlanWritesItsYearsAndAWholeAgendaThenReloads)
{
    SetHorizon(26, 27); // no plan yet: this year and the next
    StoreSelector(1);
    auto& ui = t.ui;
    ui.ExpectOkCancel(QStringLiteral("DESEA REINICIAR EL PLANING DE MAQUINAS"), true);
    ui.ExpectCard(kDialog)
        .ExpectValue(QStringLiteral("Firma"), QStringLiteral("FABRICA"))
        .ExpectValue(QStringLiteral("IniPG"), QStringLiteral("2025"))
        .ExpectValue(QStringLiteral("FinPG"), QStringLiteral("2029"))
        .ExpectValue(QStringLiteral("HorasPG"), QStringLiteral("0"))
        .ExpectDisabled(QStringLiteral("FinPG"))
        .Set(QStringLiteral("Firma"), QStringLiteral("TALLERES NORTE SA"))
        .Set(QStringLiteral("IniPG"), QStringLiteral("2024"))
        .DoubleClick(QStringLiteral("IniPG"))
        .Set(QStringLiteral("FinPG"), QStringLiteral("2020"))
        .Set(QStringLiteral("HorasPG"), QStringLiteral("40"))
        .Set(QStringLiteral("HorasRF"), QStringLiteral("10"))
        .Press(QStringLiteral("BitBtn1"));
    ExpectPersonnelMissing("TALLE_PO.RCH");
    ASSERT_TRUE(RunMenu("Pláning > Crear"));
    EXPECT_SCRIPT_DONE(ui);

    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.LON")), std::string("\x18\x1C", 2));
    std::string agenda = AgendaRecord(2400, 600, "TALLERES NORTE S");
    for (int week = 1; week < 208; ++week)
        agenda += AgendaRecord(2400, 600);
    EXPECT_EQ(AgendaBytes(), agenda);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.PLN")));

    const State& st = t.ctx.st;
    EXPECT_EQ(st.FirstYear, 24);
    EXPECT_EQ(st.LastYear, 28);
    EXPECT_EQ(st.PlanWeeks, 208);
    EXPECT_EQ(st.FirmName, QStringLiteral("TALLERES NORTE S"));
    EXPECT_EQ(st.PersonnelFileName, QStringLiteral("TALLE_PO.RCH"));
    EXPECT_EQ(st.SupplierTempFileName, QStringLiteral("TALLEPOR.PVW"));
    EXPECT_EQ(st.Plan1SFlag, 1); // the environment was reloaded
    EXPECT_EQ(st.WorkWeek, 51);
    EXPECT_EQ(st.WorkYear, 27);
}

TEST_F(PlanDefinitionTest, AnEnvironmentWithAnAgendaIsOnlyToldWhatToRename)
{
    SetHorizon(26, 27);
    StoreSelector();
    StoreRecords(t.ctx, QStringLiteral("PORTAL.LON"), std::vector{TPlanYearsRecord{26, 27}});
    StoreAgenda(Agenda(52));
    const std::string before = AgendaBytes();
    t.ui.ExpectMessage(QStringLiteral("EXISTE PLANING\rFICHEROS A RENOMBRAR : PORTAL.*  PASA A  PORTAL26.*\r"
                                      "EN UTILIDADES DISPONE DE LAS HERRAMIENTAS PARA HACERLO"));
    ExpectPersonnelMissing("FABRI_PO.RCH");
    ASSERT_TRUE(RunMenu("Pláning > Crear"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(AgendaBytes(), before);
}

// Another program created the plan while the dialog was open: its files are kept and the user is told
// what to rename, as if they had been there from the start.
TEST_F(PlanDefinitionTest, APlanCreatedMeanwhileByAnotherProgramIsNotWrittenOver)
{
    SetHorizon(26, 27);
    StoreSelector();
    const std::string years = Bytes(std::vector{TPlanYearsRecord{26, 27}});
    const std::string agenda = Bytes(Agenda(52));
    FileFaults faults;
    faults.inject = [&](FileOp op, const QString&) {
        if (op == FileOp::Lock && !t.Exists(QStringLiteral("PORTAL.CAR"))) {
            t.WriteFile(QStringLiteral("PORTAL.LON"), years);
            t.WriteFile(QStringLiteral("PORTAL.CAR"), agenda);
        }
        return 0;
    };
    t.ctx.faults = &faults;
    t.ui.ExpectOkCancel(QStringLiteral("DESEA REINICIAR EL PLANING DE MAQUINAS"), true);
    t.ui.ExpectCard(kDialog)
        .Set(QStringLiteral("HorasPG"), QStringLiteral("40"))
        .Press(QStringLiteral("BitBtn1"));
    t.ui.ExpectMessage(QStringLiteral("EXISTE PLANING\rFICHEROS A RENOMBRAR : PORTAL.*  PASA A  PORTAL25.*\r"
                                      "EN UTILIDADES DISPONE DE LAS HERRAMIENTAS PARA HACERLO"));
    ExpectPersonnelMissing("FABRI_PO.RCH");
    ASSERT_TRUE(RunMenu("Pláning > Crear"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.LON")), years);
    EXPECT_EQ(AgendaBytes(), agenda);
    EXPECT_EQ(t.ctx.st.PlanWeeks, 52); // the environment as the other program left it
}

TEST_F(PlanDefinitionTest, RefusedOrBadlyTypedPlansWriteNothing)
{
    SetHorizon(26, 27);
    StoreSelector();
    auto& ui = t.ui;
    ui.ExpectOkCancel(QStringLiteral("DESEA REINICIAR EL PLANING DE MAQUINAS"), false);
    ASSERT_TRUE(RunMenu("Pláning > Crear"));
    ui.ExpectOkCancel(QStringLiteral("DESEA REINICIAR EL PLANING DE MAQUINAS"), true);
    ui.ExpectCard(kDialog).Press(QStringLiteral("BitBtn2"));
    ASSERT_TRUE(RunMenu("Pláning > Crear"));
    ui.ExpectOkCancel(QStringLiteral("DESEA REINICIAR EL PLANING DE MAQUINAS"), true);
    ui.ExpectCard(kDialog)
        .Set(QStringLiteral("HorasPG"), QStringLiteral("-1"))
        .Press(QStringLiteral("BitBtn1"))
        .Set(QStringLiteral("HorasPG"), QStringLiteral("40h"))
        .Press(QStringLiteral("BitBtn1"))
        .Set(QStringLiteral("HorasPG"), QStringLiteral("40"))
        .Set(QStringLiteral("IniPG"), QStringLiteral("25"))
        .Press(QStringLiteral("BitBtn1"))
        .Set(QStringLiteral("IniPG"), QStringLiteral(""))
        .Press(QStringLiteral("BitBtn1"))
        .Set(QStringLiteral("IniPG"), QStringLiteral("2026"))
        .Set(QStringLiteral("Firma"), QStringLiteral("A/B SA"))
        .Press(QStringLiteral("BitBtn1"))
        .Set(QStringLiteral("Firma"), QStringLiteral("TALLERES NORTE SA"))
        .DoubleClick(QStringLiteral("IniPG"))
        .Set(QStringLiteral("FinPG"), QStringLiteral("2026"))
        .Press(QStringLiteral("BitBtn1"))
        .ExpectValue(QStringLiteral("HorasPG"), QStringLiteral("40"))
        .Press(QStringLiteral("BitBtn2"));
    const QString hours =
        QStringLiteral("VALOR NO VÁLIDO EN HORAS MTO. PREVENTIVO SEMANALES: UN NÚMERO ENTERO DE 0 A 1092");
    const QString year = QStringLiteral("VALOR NO VÁLIDO EN AÑO INICIO PLANING: UN NÚMERO ENTERO DE 2000 A 2099");
    for (const QString& message :
         {hours, hours, year, year,
          QStringLiteral("NOMBRE DE FICHERO NO VALIDO"),
          QStringLiteral("EL AÑO FIN PLANING DEBE SER POSTERIOR AL AÑO INICIO")})
        ui.ExpectMessage(message);
    ASSERT_TRUE(RunMenu("Pláning > Crear"));
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(t.ctx.st.PlanWeeks, 52);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.LON")));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.CAR")));
    EXPECT_EQ(t.ctx.st.FirmName, QStringLiteral("FABRICA"));
}

TEST_F(PlanDefinitionTest, IncreasingTheHoursChangesOnlyTheFreeMinutesOfEveryWeek)
{
    std::vector<TAgendaRecord> agenda = Agenda(104, 2400, 300, 600);
    agenda[7].FreeMinutes = 100; // goes below zero: kept in 16 bits
    agenda[8].Note = "PARADA";
    StoreAgenda(agenda);
    t.ui.ExpectInput(QStringLiteral("CARGA DE MANTENIMIENTO"),
                     QStringLiteral("INTRODUZCA INCREMENTO DE HORAS SEMANALES"), QStringLiteral("-2"));
    ASSERT_TRUE(RunMenu("Pláning > Recursos > Aumentar"));
    EXPECT_SCRIPT_DONE(t.ui);
    for (TAgendaRecord& week : agenda)
        week.FreeMinutes = static_cast<std::uint16_t>(week.FreeMinutes.get() - 120);
    EXPECT_EQ(agenda[7].FreeMinutes.get(), 65516);
    EXPECT_EQ(AgendaBytes(), Bytes(agenda));

    const std::string before = AgendaBytes();
    t.ui.ExpectInput(QStringLiteral("CARGA DE MANTENIMIENTO"),
                     QStringLiteral("INTRODUZCA INCREMENTO DE HORAS SEMANALES"), QStringLiteral("dos"));
    t.ui.ExpectMessage(QStringLiteral("FORMATO NUMERICO"));
    EXPECT_FALSE(RunMenu("Pláning > Recursos > Aumentar"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(AgendaBytes(), before);
}

// A prepared environment: plan 2025 to 2027, today is week 50 of 2026, plan week 102.
class StartupAgendaTest : public test::PreventiveTest
{
protected:
    StartupAgendaTest()
    {
        StoreSelector();
        StoreRecords(t.ctx, QStringLiteral("PORTAL.LON"), std::vector{TPlanYearsRecord{25, 27}});
        t.ctx.st.FirmName.clear();
    }
};

TEST_F(StartupAgendaTest, StartUpShowsThisWeeksNoteAndTakesTheFirmFromTheAgenda)
{
    std::vector<TAgendaRecord> agenda = Agenda(104);
    agenda[0].Note = "TALLERES NORTE SA CENTRAL";
    agenda[101].Note = "NO ES ESTA";
    agenda[102].Note = "REVISAR CALDERA";
    StoreAgenda(agenda);
    t.ui.ExpectMessage(QStringLiteral("APUNTE AGENDA:\rREVISAR CALDERA"));
    RunStartupBeforeWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.FirmName, QStringLiteral("TALLERES NORTE S"));
    EXPECT_EQ(t.ctx.st.PersonnelFileName, QStringLiteral("TALLE_PO.RCH"));
    EXPECT_EQ(t.ctx.st.SupplierFileName, QStringLiteral("TALLE_PO.PVW"));
    EXPECT_EQ(t.ctx.st.PlanWeeks, 104);
}

// A protected agenda used to be taken for a missing one: no note, and the default firm's file names.
TEST_F(StartupAgendaTest, AWriteProtectedAgendaStillNamesTheFirmAndShowsThisWeeksNote)
{
    std::vector<TAgendaRecord> agenda = Agenda(104);
    agenda[0].Note = "TALLERES NORTE SA CENTRAL";
    agenda[102].Note = "REVISAR CALDERA";
    StoreAgenda(agenda);
    test::WriteProtect(t.Path(QStringLiteral("PORTAL.CAR")));
    const std::string failures = AsUser(root, data, [&]() -> std::string {
        t.ui.ExpectMessage(QStringLiteral("APUNTE AGENDA:\rREVISAR CALDERA"));
        LoadFirmAndWeekAgenda(t.ctx);
        if (t.ctx.st.FirmName != QStringLiteral("TALLERES NORTE S"))
            return "firm " + t.ctx.st.FirmName.toStdString();
        if (t.ctx.st.PersonnelFileName != QStringLiteral("TALLE_PO.RCH"))
            return "personnel file " + t.ctx.st.PersonnelFileName.toStdString();
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(AgendaBytes(), Bytes(agenda));
}

TEST_F(StartupAgendaTest, ABlankNoteIsNotShownAndAnUnnamedFirmGetsTheDefaultName)
{
    std::vector<TAgendaRecord> agenda = Agenda(104);
    agenda[0].Note = "#";
    agenda[102].Note = " ";
    StoreAgenda(agenda);
    RunStartupBeforeWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.FirmName, QStringLiteral("EMPRESA"));
    EXPECT_EQ(t.ctx.st.PersonnelFileName, QStringLiteral("EMPRE_PO.RCH"));

    // A firm name that cannot prefix a file name is not taken either.
    agenda[0].Note = "..\\X";
    StoreAgenda(agenda);
    LoadFirmAndWeekAgenda(t.ctx);
    EXPECT_EQ(t.ctx.st.FirmName, QStringLiteral("EMPRESA"));
}

// Only today's week has a note to show: an empty agenda, a short one that ends before today and a today
// outside the horizon show none, while the firm is still taken from the first record.
TEST_F(StartupAgendaTest, TheNoteIsOnlyThatOfTodaysWeek)
{
    StoreAgenda({});
    RunStartupBeforeWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.FirmName, QStringLiteral("EMPRESA"));

    std::vector<TAgendaRecord> agenda = Agenda(60);
    agenda[0].Note = "TALLER SUR";
    agenda[59].Note = "ULTIMA";
    StoreAgenda(agenda);
    LoadFirmAndWeekAgenda(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.FirmName, QStringLiteral("TALLER SUR"));

    agenda = Agenda(104);
    agenda[0].Note = "TALLER SUR";
    agenda[103].Note = "FIN DEL PLAN";
    StoreAgenda(agenda);
    SetHorizon(27, 29); // starts next year: today, 7 December 2026, is no week of it
    LoadFirmAndWeekAgenda(t.ctx);
    SetHorizon(20, 22); // ended years ago
    LoadFirmAndWeekAgenda(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.FirmName, QStringLiteral("TALLER SUR"));

    // Today's week when the horizon holds it.
    SetHorizon(25, 27);
    agenda[102].Note = "HOY";
    StoreAgenda(agenda);
    t.ui.ExpectMessage(QStringLiteral("APUNTE AGENDA:\rHOY"));
    LoadFirmAndWeekAgenda(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(PlanDefinitionCard, ExplainsItsControls)
{
    const CardSpec spec = PlanDefinitionCardSpec();
    EXPECT_EQ(spec.field(QStringLiteral("IniPG"))->hint, QStringLiteral("año anterior al de ejecución"));
    EXPECT_EQ(spec.field(QStringLiteral("FinPG"))->hint, QStringLiteral("Año de terminación."));
    EXPECT_EQ(spec.field(QStringLiteral("HorasRF"))->hint,
              QStringLiteral("Horas totales destinadas a Reparaciones"));
    EXPECT_EQ(spec.button(QStringLiteral("BitBtn1"))->hint,
              QStringLiteral("Gravar valores previstos de Horas."));
    EXPECT_EQ(spec.button(QStringLiteral("BitBtn2"))->hint, QStringLiteral("Salir sin acción"));
    EXPECT_TRUE(spec.field(QStringLiteral("Firma"))->hint.isEmpty());
}

TEST(PlanDefinitionCard, StandsOneEditARowInTheDialogsOrder)
{
    const CardSpec spec = PlanDefinitionCardSpec();
    const QStringList order{QStringLiteral("Firma"), QStringLiteral("IniPG"), QStringLiteral("FinPG"),
                            QStringLiteral("HorasPG"), QStringLiteral("HorasRF")};
    ASSERT_EQ(spec.fields.size(), std::size_t(5));
    for (int i = 0; i < order.size(); ++i) {
        const FieldSpec* f = spec.field(order[i]);
        ASSERT_NE(f, nullptr) << order[i].toStdString();
        EXPECT_EQ(f->place.row, i) << order[i].toStdString();
        EXPECT_EQ(f->place.column, 0);
        EXPECT_EQ(f->place.rowSpan, 1);
        EXPECT_EQ(f->place.columnSpan, 1);
        EXPECT_TRUE(f->place.page.isEmpty());
        EXPECT_TRUE(f->place.group.isEmpty());
    }
    EXPECT_EQ(spec.field(QStringLiteral("Firma"))->capacity, 16);
    EXPECT_EQ(spec.field(QStringLiteral("IniPG"))->capacity, 4);
    EXPECT_EQ(spec.field(QStringLiteral("FinPG"))->capacity, 4);
    EXPECT_EQ(spec.field(QStringLiteral("HorasPG"))->capacity, 0);
}

} // namespace
} // namespace gim
