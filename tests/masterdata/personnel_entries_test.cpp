#include "core/drive_paths.h"
#include "core/environment.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_entries.h"
#include "masterdata/personnel_operations.h"
#include "masterdata_fixture.h"
#include "platform/report.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <map>

namespace gim {
namespace {

using test::RecordBytes;

const QString kCard = QStringLiteral("APUNTES EN EXPEDIENTE PERSONAL");
const QString kEntryFile = QStringLiteral("PORTAL.APT");
const QString kEntryTwin = QStringLiteral("PORTAL.APK");
const QString kPersonnelFile = QStringLiteral("FABRI_PO.RCH");
const QString kNoType =
    QStringLiteral("VALOR NO VÁLIDO EN TIPO APUNTE: UNO DE LOS CÓDIGOS A, B, E, EC, EF, EN, F, M, N, P, V");

class PersonnelEntriesTest : public test::MasterdataTest
{
protected:
    PersonnelEntriesTest()
    {
        BuildFirmFileNames(t.ctx);
        RegisterPersonnel(registry, t.ctx);
        StoreRecords(t.ctx, kPersonnelFile,
                     std::vector{Person("A1", "Ana", "Garcia Lopez"),
                                 Person("B2", "Luis", "Peña Muñoz", "01/06/25"),
                                 Person("C3", "Eva", "Sanz Gil")});
        LoadPersonnel(t.ctx);
    }

    static TPersonnelRecord Person(const char* code, const char* name, const char* surnames,
                                   const char* baja = "..")
    {
        TPersonnelRecord r{};
        r.Matricula = code;
        r.Nombre = QString::fromUtf8(name);
        r.Apellidos = QString::fromUtf8(surnames);
        r.Calle = "C/ Mayor 1";
        r.Ciudad = "Lleida";
        r.tlf = "973000000";
        r.Ingreso = "01/02/03";
        r.Baja = baja;
        return r;
    }
    static TPersonnelEntryRecord Entry(const char* number, const char* type, const char* date,
                                       const char* text, std::uint32_t minutes)
    {
        TPersonnelEntryRecord r{};
        r.Matricula = number;
        r.Type = type;
        r.Date = date;
        r.Text = text;
        r.Minutes = minutes;
        return r;
    }
    void StoreEntries(const std::vector<TPersonnelEntryRecord>& entries)
    {
        StoreRecords(t.ctx, kEntryFile, entries);
    }
    std::string EntryBytes() const { return t.ReadFile(kEntryFile); }
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
    // The week of Monday 7 to Sunday 13 December 2026: "26/50/1" to "26/50/7".
    void ExpectThisWeek() { t.ui.ExpectDateRange(QDate(2026, 12, 7), QDate(2026, 12, 13)); }
    void ExpectFilters(const char* employee, const char* type)
    {
        t.ui.ExpectInput(QStringLiteral("EXPEDIENTES PERSONALES"),
                         QStringLiteral("INTRODUCIR NÚMERO DE MATRÍCULA"), QString::fromLatin1(employee));
        t.ui.ExpectInput(QStringLiteral("TIPO DE APUNTE (M,A,F,V,E,P,*)"), QStringLiteral("INTRODUCIR TIPO "),
                         QString::fromLatin1(type));
    }
};

// ---- Entries by hand ------------------------------------------------------------------------------------

TEST_F(PersonnelEntriesTest, FirstEntryCreatesTheFileWithItsRecordByteForByte)
{
    t.ui.ExpectCard(kCard)
        .ExpectValue("codigo", "#")
        .ExpectValue("Tipo", "#")
        .ExpectValue("Descripcion", "..")
        .ExpectValue("horas", "0")
        .Set("codigo", "B2")
        .ExpectValue("Nombre", "Luis Peña Muñoz")
        .Set("Tipo", "V")
        .ExpectValue("Label2", "Vacaciones")
        .PickDate("Calendario", QDate(2026, 12, 9))
        .Set("Descripcion", "Vacaciones de Navidad")
        .ExpectValue("FECHA", "26/50/3") // the calendar writes its week code when it is left
        .Set("horas", "480")
        .Press("Button1");
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);

    const auto stored = test::RecordFrom<TPersonnelEntryRecord>(RecordBytes(152)
                                                                    .Text(0, "B2")
                                                                    .Text(7, "V")
                                                                    .Text(10, "26/50/3")
                                                                    .Text(19, "Vacaciones de Navidad")
                                                                    .Raw(148, {0xE0, 0x01, 0x00, 0x00}));
    EXPECT_EQ(EntryBytes(), Bytes(std::vector{stored}));
    // A new file needs no purge: nothing was appended to an existing one.
    EXPECT_EQ(PersonnelEntries(t.ctx).EntryAddedFlag, 0);
    EXPECT_FALSE(t.Exists(kEntryTwin));
}

TEST_F(PersonnelEntriesTest, EntryAppendedToTheFileIsPurgedInNewestFirst)
{
    const auto older = Entry("A1", "F", "26/48/1", "Curso de soldadura", 240);
    const auto newer = Entry("C3", "E", "26/50/2", "Pedido urgente", 90);
    StoreEntries({older, newer});
    t.ui.ExpectCard(kCard)
        .Set("codigo", "A1")
        .Set("Tipo", "EN")
        .ExpectValue("Label2", "Horas Extras Nocturnas")
        .Set("FECHA", "26/49/3")
        .Set("Descripcion", "Parada de linea")
        .Set("horas", "75")
        .Press("Button1");
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);

    const auto added = Entry("A1", "EN", "26/49/3", "Parada de linea", 75);
    EXPECT_EQ(PersonnelEntries(t.ctx).EntryAddedFlag, 1);
    EXPECT_EQ(EntryBytes(), Bytes(std::vector{newer, added, older}));
    // The twin holds the file as it stood before the purge, from its last record to its first.
    EXPECT_EQ(t.ReadFile(kEntryTwin), Bytes(std::vector{added, newer, older}));
}

TEST_F(PersonnelEntriesTest, EntriesWithoutTypeOrEmployeeAreRefusedAndClosedCardsStoreNothing)
{
    // No type: refused on the card, which stays open, before the file exists, so none is created ...
    t.ui.ExpectCard(kCard).Set("codigo", "A1").Set("FECHA", "26/50/1").Press("Button1").Press("BitBtn1");
    t.ui.ExpectMessage(kNoType);
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));
    EXPECT_FALSE(t.Exists(kEntryFile));

    // ... and when it does exist, nothing is appended.
    StoreEntries({Entry("A1", "F", "26/48/1", "Curso", 240)});
    const std::string before = EntryBytes();
    t.ui.ExpectCard(kCard).Set("codigo", "A1").Set("FECHA", "26/50/1").Press("Button1").Press("BitBtn1");
    t.ui.ExpectMessage(kNoType);
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));

    t.ui.ExpectCard(kCard)
        .Set("codigo", "Q9")
        .Set("Tipo", "E")
        .Set("FECHA", "26/50/1")
        .Press("Button1")
        .Press("BitBtn1");
    t.ui.ExpectMessage(QStringLiteral(" EXPEDIENTE INEXISTENTE,ANULADA ALTA"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));

    t.ui.ExpectCard(kCard).Set("codigo", "A1").Set("Tipo", "E").Press("Button2"); // Borrar
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));
    t.ctx.st.RunFlag = 1;
    t.ui.ExpectCard(kCard).Set("codigo", "A1").Set("Tipo", "E").Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));
    EXPECT_EQ(t.ctx.st.RunFlag, 0);

    // A time the minutes field cannot hold keeps the card open.
    t.ui.ExpectCard(kCard)
        .Set("codigo", "A1")
        .Set("Tipo", "E")
        .Set("horas", "-5")
        .Press("Button1")
        .Press("BitBtn1");
    t.ui.ExpectMessage(QStringLiteral("TIEMPO FUERA DE LÍMITE: DE 0 A 4294967295 MINUTOS"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(EntryBytes(), before);
    EXPECT_FALSE(t.Exists(kEntryTwin));
}

TEST_F(PersonnelEntriesTest, AnEntryTheFileRefusesIsNotTakenForStored)
{
    StoreEntries({Entry("A1", "F", "26/48/1", "Curso", 240)});
    const std::string before = EntryBytes();
    FileFaults faults;
    faults.inject = [](FileOp op, const QString& path) {
        return op == FileOp::Create && path.endsWith(QLatin1String("PORTAL.APT")) ? EACCES : 0;
    };
    t.ctx.faults = &faults;
    t.ui.ExpectCard(kCard).Set("codigo", "A1").Set("Tipo", "E").Set("FECHA", "26/50/1").Press("Button1");
    t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Expediente"));
    t.ctx.faults = nullptr;
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PersonnelEntries(t.ctx).EntryAddedFlag, 0);
    EXPECT_EQ(EntryBytes(), before);
    EXPECT_FALSE(t.Exists(kEntryTwin));
}

// ---- Update, load and purge -----------------------------------------------------------------------------

TEST_F(PersonnelEntriesTest, UpdateErasesOnlyTheFirstOfTwoIdenticalEntriesInListAndFile)
{
    const auto other = Entry("A1", "E", "26/50/1", "Ayuda en parte", 60);
    const auto twin = Entry("A1", "EN", "26/50/1", "Ayuda en parte", 90);
    StoreEntries({twin, other, twin});
    LoadPersonnelEntries(t.ctx);
    // Newest first; equal dates as read from the last record to the first.
    const auto& list = PersonnelEntries(t.ctx).PersonnelEntryList;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].pos, 2u);
    EXPECT_EQ(list[1].pos, 1u);
    EXPECT_EQ(list[2].pos, 0u);

    // The posting names the entry with the description it carries, which may run longer.
    auto key = Entry("A1", "#", "26/50/1", "Ayuda en parte 12/2026", 90);
    EXPECT_TRUE(UpdatePersonnelEntry(t.ctx, key));
    EXPECT_EQ(key.Type, "EN");
    auto erased = twin;
    erased.Matricula = "Z";
    EXPECT_EQ(EntryBytes(), Bytes(std::vector{erased, other, twin}));
    EXPECT_EQ(list[0].rec.Matricula, "Z");
    EXPECT_EQ(list[1].rec.Matricula, "A1");
    EXPECT_EQ(list[2].rec.Matricula, "A1");

    // The second call takes the other one; a third finds none.
    key = Entry("A1", "#", "26/50/1", "Ayuda en parte", 90);
    EXPECT_TRUE(UpdatePersonnelEntry(t.ctx, key));
    EXPECT_EQ(EntryBytes(), Bytes(std::vector{erased, other, erased}));
    EXPECT_EQ(list[2].rec.Matricula, "Z");
    key = Entry("A1", "#", "26/50/1", "Ayuda en parte", 90);
    EXPECT_FALSE(UpdatePersonnelEntry(t.ctx, key));
    EXPECT_EQ(EntryBytes(), Bytes(std::vector{erased, other, erased}));
}

TEST_F(PersonnelEntriesTest, PurgeDropsErasedEntriesNewestFirstWithTheTwinReversed)
{
    const auto a = Entry("A1", "F", "26/48/2", "a", 1);
    const auto z = Entry("Z", "E", "26/50/5", "z", 2);
    const auto b = Entry("B2", "V", "26/50/1", "b", 3);
    const auto c = Entry("C3", "N", "26/49/4", "c", 4);
    const auto d = Entry("A1", "P", "26/50/1", "d", 5);
    StoreEntries({a, z, b, c, d});
    LoadPersonnelEntries(t.ctx);
    PurgePersonnelEntries(t.ctx);
    // Equal dates end in the reverse of their file order.
    EXPECT_EQ(EntryBytes(), Bytes(std::vector{d, b, c, a}));
    EXPECT_EQ(t.ReadFile(kEntryTwin), Bytes(std::vector{d, c, b, z, a}));
    EXPECT_TRUE(PersonnelEntries(t.ctx).PersonnelEntryList.empty());

    // Before the first entry there is nothing to purge, and no twin appears.
    QFile::remove(t.Path(kEntryFile));
    QFile::remove(t.Path(kEntryTwin));
    PurgePersonnelEntries(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(kEntryFile));
    EXPECT_FALSE(t.Exists(kEntryTwin));
}

// ---- The expedient listing and edit ---------------------------------------------------------------------

// Around the week of 7 December 2026, with an erased entry inside it.
std::vector<TPersonnelEntryRecord> WeekEntries()
{
    auto entry = [](const char* number, const char* type, const char* date, const char* text,
                    std::uint32_t m) {
        TPersonnelEntryRecord r{};
        r.Matricula = number;
        r.Type = type;
        r.Date = date;
        r.Text = text;
        r.Minutes = m;
        return r;
    };
    return {entry("A1", "F", "26/49/7", "Curso", 120),      entry("A1", "E", "26/50/1", "Pedido urgente", 90),
            entry("B2", "V", "26/50/3", "Vacaciones", 480), entry("Z", "E", "26/50/2", "Borrado", 999),
            entry("B2", "EN", "26/50/7", "Noche", 75),      entry("A1", "E", "26/51/1", "Otra semana", 60)};
}

TEST_F(PersonnelEntriesTest, ExpedientListingOfOneWeekLeavesErasedEntriesOut)
{
    StoreEntries(WeekEntries());
    const std::string before = EntryBytes();
    ExpectThisWeek();
    ExpectFilters("*", "*");
    t.ui.ExpectReport(QStringLiteral("EXPEDIENTES PERSONALES"));
    ASSERT_TRUE(RunMenu("Personal > Listados > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(), QStringLiteral("[EXPEDIENTES PERSONALES]\n"
                                           "TABS: 10 60 100 140 180 360\n"
                                           "{10 b}\tMATICULA\tFECHA\tTIPO\tH/mn\tANOTACIÓN\n"
                                           "{10}\tA1\t26/50/1\tE\t1/30\tPedido urgente\n"
                                           "\tB2\t26/50/3\tV\t8/0\tVacaciones\n"
                                           "\tB2\t26/50/7\tEN\t1/15\tNoche\n"
                                           "\n"
                                           "{10 b}\tFECHA INICIO 26/50/1    FECHA FINAL 26/50/7\n"
                                           "\tTIEMPO TOTAL ACUMULADO DE INTERVENCION \t10 HORAS 45 Mn\n"
                                           "\tTOTAL DE HORAS EXTRAS : 2 h45 m\n"));
    EXPECT_EQ(t.ui.Reports().back()->saveSubFolder, QStringLiteral("\\Personal"));
    EXPECT_EQ(EntryBytes(), before); // a listing writes nothing

    // One employee and one type: the employee's name heads the list.
    ExpectThisWeek();
    ExpectFilters("B2", "V");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Personal > Listados > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(), QStringLiteral("[EXPEDIENTES PERSONALES]\n"
                                           "TABS: 10 60 100 140 180 360\n"
                                           "{10 b}\tMATICULA\tFECHA\tTIPO\tH/mn\tANOTACIÓN\n"
                                           "\tB2\tLuis Peña Muñoz\n"
                                           "{10}\tB2\t26/50/3\tV\t8/0\tVacaciones\n"
                                           "\n"
                                           "{10 b}\tFECHA INICIO 26/50/1    FECHA FINAL 26/50/7\n"
                                           "\tTIEMPO TOTAL ACUMULADO DE INTERVENCION \t8 HORAS 0 Mn\n"
                                           "\tTOTAL DE HORAS EXTRAS : 0 h0 m\n"));

    // The picker's window closed: no listing.
    t.ui.ExpectDateRangeCancel();
    ASSERT_TRUE(RunMenu("Personal > Listados > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().size(), 2u);
}

TEST_F(PersonnelEntriesTest, ExpedientEditWritesBackOnlySavedOrErasedEntriesAndSalirEndsTheWalk)
{
    std::vector<TPersonnelEntryRecord> entries = WeekEntries();
    StoreEntries(entries);
    ExpectThisWeek();
    ExpectFilters("*", "*");
    t.ui.ExpectCard(kCard)
        .ExpectValue("codigo", "A1")
        .ExpectValue("Nombre", "Ana Garcia Lopez")
        .ExpectValue("Tipo", "E")
        .ExpectValue("Label2", "Horas Extras Nornales")
        .ExpectValue("FECHA", "26/50/1")
        .ExpectValue("Calendario", "07/12/2026")
        .ExpectValue("Descripcion", "Pedido urgente")
        .ExpectValue("horas", "90")
        .Set("horas", "100")
        .Press("Button1");
    t.ui.ExpectCard(kCard).ExpectValue("codigo", "B2").Press("Button2"); // Borrar
    t.ui.ExpectCard(kCard).ExpectValue("codigo", "B2").Set("horas", "5").Press("BitBtn1");
    t.ui.ExpectReport(QStringLiteral("EXPEDIENTES PERSONALES"));
    ASSERT_TRUE(RunMenu("Personal > Edición > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);

    entries[1].Minutes = 100;
    entries[2].Matricula = "Z";
    // The entry left with &Salir and the rest stay as they were; no purge follows an edit.
    EXPECT_EQ(EntryBytes(), Bytes(entries));
    EXPECT_FALSE(t.Exists(kEntryTwin));
    EXPECT_EQ(Transcript(), QStringLiteral("[EXPEDIENTES PERSONALES]\n"
                                           "TABS: 10 60 100 140 180 360\n"
                                           "{10 b}\tMATICULA\tFECHA\tTIPO\tH/mn\tANOTACIÓN\n"
                                           "{10}\tA1\t26/50/1\tE\t1/40\tPedido urgente\n"
                                           "\n"
                                           "{10 b}\tFECHA INICIO 26/50/1    FECHA FINAL 26/50/7\n"
                                           "\tTIEMPO TOTAL ACUMULADO DE INTERVENCION \t1 HORAS 40 Mn\n"
                                           "\tTOTAL DE HORAS EXTRAS : 1 h40 m\n"));
}

TEST_F(PersonnelEntriesTest, ExpedientEditWritesNothingOverAFileChangedUnderTheCard)
{
    StoreEntries(WeekEntries());
    std::vector<TPersonnelEntryRecord> changed = WeekEntries();
    changed[1].Text = "Cambiado en otro puesto";
    ExpectThisWeek();
    ExpectFilters("A1", "E");
    t.ui.ExpectCard(kCard)
        .Inspect([&](const CardState&) { StoreEntries(changed); })
        .Set("horas", "100")
        .Press("Button1");
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Personal > Edición > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(EntryBytes(), Bytes(changed));
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\tA1\t26/50/1\tE\t1/30\tPedido urgente\n")));
}

TEST_F(PersonnelEntriesTest, ExpedientCommandsWithoutAFileAddAnEntry)
{
    t.ui.ExpectCard(kCard).Set("codigo", "C3").Set("Tipo", "F").Set("FECHA", "26/50/4").Press("Button1");
    ASSERT_TRUE(RunMenu("Personal > Listados > Expediente"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(EntryBytes(), Bytes(std::vector{Entry("C3", "F", "26/50/4", "..", 0)}));
}

// ---- Personnel listing, hours report and ratios ---------------------------------------------------------

TEST_F(PersonnelEntriesTest, PersonnelListingShowsWhoHasLeftInRedAndCountsTheOthers)
{
    t.ui.ExpectReport(QStringLiteral("LISTADO DE PERSONAL"));
    ASSERT_TRUE(RunMenu("Personal > Listados > Matriculas"));
    EXPECT_SCRIPT_DONE(t.ui);
    const QString rule(110, QLatin1Char('_'));
    EXPECT_EQ(Transcript(),
              QStringLiteral("[LISTADO DE PERSONAL]\n"
                             "TABS: 10 50 130 260 400 490\n"
                             "{10 b}\tMatri\tNOMBRE\tAPELLIDOS\tDIRECCION\tCIUDAD\tTLF\n") +
                  rule +
                  QStringLiteral("\n{10}\tA1\tAna\tGarcia Lopez\tC/ Mayor 1\tLleida\t973000000\n"
                                 "{10 #ff0000}\tB2\tLuis\tPeña Muñoz\tC/ Mayor 1\tLleida\t973000000\n"
                                 "{10}\tC3\tEva\tSanz Gil\tC/ Mayor 1\tLleida\t973000000\n") +
                  rule + QStringLiteral("\n{10 b}\tNUMERO DE OPERARIOS EN ACTIVO :\t2\n"));
    EXPECT_EQ(t.ui.Reports().back()->saveSubFolder, QStringLiteral("\\Personal"));
}

TEST_F(PersonnelEntriesTest, WebFileHoldsOneLinePerCardInWindows1252)
{
    t.ui.ExpectMessage(
        QStringLiteral("Se ha generado correctamente el FICHERO en C:\\CopiaSeg\\VeltWeb\\PORTAL_PR.rtf"));
    ASSERT_TRUE(RunMenu("Utiles > Veltrano Web > CrearFicheros > Personal"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Reports().empty()); // the file instead of the window
    QFile file(WebExchangeFolder(data) + QStringLiteral("/PORTAL_PR.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("A1\tAna\tGarcia Lopez\tC/ Mayor 1\tLleida\t973000000\r\n"
                                         "B2\tLuis\tPe\xF1"
                                         "a Mu\xF1oz\tC/ Mayor 1\tLleida\t973000000\r\n"
                                         "C3\tEva\tSanz Gil\tC/ Mayor 1\tLleida\t973000000\r\n"));
}

TEST_F(PersonnelEntriesTest, HoursReportAddsEachEmployeesMinutesByTypeWithinTheRange)
{
    StoreEntries({Entry("A1", "E", "26/50/1", "", 90), Entry("A1", "EF", "26/50/2", "", 30),
                  Entry("A1", "N", "26/50/3", "", 480), Entry("A1", "B", "26/50/4", "", 600),
                  Entry("A1", "E", "26/51/1", "", 60), Entry("B2", "V", "26/50/3", "", 480),
                  Entry("B2", "P", "26/50/4", "", 240), Entry("B2", "EC", "26/50/5", "", 45),
                  Entry("B2", "EN", "26/50/7", "", 75), Entry("B2", "F", "26/50/2", "", 120),
                  Entry("A1", "E", "26/49/7", "", 15)});
    ExpectThisWeek();
    t.ui.ExpectReport(QStringLiteral("INFORME HORAS DE PERSONAL"));
    ASSERT_TRUE(RunMenu("Personal > Informe Horas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(),
              QStringLiteral(
                  "[INFORME HORAS DE PERSONAL]\n"
                  "TABS: 5 40 130 220 260 300 340 380 420 460 500\n"
                  "{10 b}\tCodigo\tNOMBRE\tAPELLIDOS\tH Ext\tH EFest.\tH Noche.\tH ENoche\tH Vacac\tH "
                  "Perm\tH Baja\tH EComp\n"
                  "{10}\tA1\tAna\tGarcia Lopez\t01 : 30\t00 : 30\t08 : 00\t00 : 00\t00 : 00\t00 : 00\t10 : "
                  "00\t00 : 00\n"
                  "\tB2\tLuis\tPeña Muñoz\t00 : 00\t00 : 00\t00 : 00\t01 : 15\t08 : 00\t04 : 00\t00 : "
                  "00\t00 : 45\n"
                  "\tC3\tEva\tSanz Gil\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : 00\t00 : "
                  "00\t00 : 00\n"
                  "{10 b}\tTiempos Acumulados \t\t\t01 : 30\t00 : 30\t08 : 00\t01 : 15\t08 : 00\t04 : "
                  "00\t10 : 00\t00 : 45\n"
                  "\tFECHA INICIO 26/50/1    FECHA FINAL 26/50/7\n"));
    EXPECT_EQ(t.ui.Reports().back()->saveSubFolder, QStringLiteral("\\Personal"));

    // A closed picker ends the command.
    t.ui.ExpectDateRangeCancel();
    ASSERT_TRUE(RunMenu("Personal > Informe Horas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().size(), 1u);
}

// The chart points of weeks 1 to 52: the minutes given, 0 elsewhere.
QString Points(const std::map<int, int>& minutes)
{
    QString points;
    for (int w = 1; w <= 52; ++w) {
        const auto found = minutes.find(w);
        points += QStringLiteral(" %1=%2").arg(w).arg(found == minutes.end() ? 0 : found->second);
    }
    return points;
}

// Weeks first to last of 2012 with no minutes, as the ratio listing writes them.
QString EmptyWeeks(int first, int last)
{
    QString lines;
    for (int w = first; w <= last; ++w)
        lines += QStringLiteral("\t%1/2012\t0\t0\t0\t0\t0\t0\t0\n").arg(w, 2, 10, QLatin1Char('0'));
    return lines;
}

TEST_F(PersonnelEntriesTest, RatiosOfAYearListEveryWeekAndGraphAllButCompensatedHours)
{
    t.ctx.st.FirstYear = 10;
    t.ctx.st.LastYear = 14;
    StoreEntries({Entry("A1", "E", "12/01/1", "", 120), Entry("B2", "EC", "12/01/3", "", 60),
                  Entry("A1", "V", "12/02/2", "", 480), Entry("B2", "P", "12/02/4", "", 240),
                  Entry("A1", "B", "12/52/5", "", 520), Entry("Z", "E", "12/10/1", "", 999),
                  Entry("A1", "E", "11/01/1", "", 50), Entry("A1", "N", "12/00/6", "", 104)});
    t.ui.ExpectInput(QStringLiteral("Horas de Personal"), QStringLiteral("INTRODUZCA Matricula Operario "),
                     QStringLiteral("*"));
    t.ui.ExpectInput(QStringLiteral("HORAS DE PERSONAL"),
                     QStringLiteral("INTRODUZCA AÑO DE ANALISIS (2010 a 2014):  "), QStringLiteral("2012"));
    t.ui.ExpectReport(QStringLiteral("HORAS DE PERSONAL"));
    ASSERT_TRUE(RunMenu("Personal > Ratios"));
    EXPECT_SCRIPT_DONE(t.ui);
    const QString dashes(110, QLatin1Char('-'));
    const QString transcript = Transcript();
    const QString text =
        QStringLiteral("[HORAS DE PERSONAL]\n"
                       "TABS: 6 65 130 195 260 325 390 455\n"
                       "{10 b}\tSem/Año\tH Ext\tH EFest.\tHNoche\tH ENoche\tH Baja\tH Vac/Per\tH EComp\n"
                       "{10}\t00/2012\t0\t0\t104\t0\t0\t0\t0\n"
                       "\t01/2012\t120\t0\t0\t0\t0\t0\t60\n"
                       "\t02/2012\t0\t0\t0\t0\t0\t720\t0\n") +
        EmptyWeeks(3, 51) + QStringLiteral("\t52/2012\t0\t0\t0\t0\t520\t0\t0\n") + dashes +
        QStringLiteral("\n{10 b}\tTotales:\t120\t0\t104\t0\t520\t720\t60\n"
                       "\tTotal Horas Extras :\t03 : 00\n");
    EXPECT_EQ(transcript.left(text.size()), text);
    // Title for 2012, the weekly averages in the names, E at 100 %; series 3 on the right axis.
    const QString series =
        QStringLiteral("'00 : 02 H Extras':") + Points({{1, 120}}) + QStringLiteral("\n") +
        QStringLiteral("Series2 '00 : 00 H Efest':") + Points({}) + QStringLiteral("\n") +
        QStringLiteral("Series3 '00 : 02 H Noct' right:") + Points({}) + QStringLiteral("\n") +
        QStringLiteral("Series4 '00 : 00 H ENoct':") + Points({}) + QStringLiteral("\n") +
        QStringLiteral("Series5 '00 : 10 H Baja':") + Points({{52, 520}}) + QStringLiteral("\n") +
        QStringLiteral("Series6 '00 : 09 H Permisos':") + Points({{2, 480}}) + QStringLiteral("\n");
    QString lines = series;
    lines.replace(QStringLiteral("Series"), QStringLiteral("LineSeries"));
    EXPECT_EQ(transcript.mid(text.size()),
              QStringLiteral(
                  "GRAFICO: HORAS DE PERSONAL 2012 max=2 '00 : 02 H Extras' '00 : 00 H Efest' '00 : 02 H "
                  "Noct' '00 : 00 H ENoct' '00 : 10 H Baja' '00 : 09 H Permisos' weeks=53\n"
                  "BARRAS:  | HORAS DE PERSONAL 2012  PORTAL      07/12/2026\n"
                  "  axes: SEMANAS / MINUTOS / € ALBARANES / Normal\n"
                  "  Series1 ") +
                  QString(series).replace(QStringLiteral("\nSeries"), QStringLiteral("\n  Series")) +
                  QStringLiteral("LINEAS:  | HORAS DE PERSONAL 2012  PORTAL      07/12/2026\n"
                                 "  axes: SEMANAS / MINUTOS / € ALBARANES\n"
                                 "  LineSeries1 ") +
                  lines.replace(QStringLiteral("\nLineSeries"), QStringLiteral("\n  LineSeries")));

    // Compensated hours travel in the seventh field, which no series shows; series 6 takes the holidays.
    const ReportDocument& doc = *t.ui.Reports().back();
    ASSERT_TRUE(doc.weekGraph.has_value());
    ASSERT_EQ(doc.weekGraph->weeks.size(), 53u);
    EXPECT_EQ(doc.weekGraph->weeks[1].Value1.get(), 120);
    EXPECT_EQ(doc.weekGraph->weeks[1].Value7.get(), 60);
    EXPECT_EQ(doc.weekGraph->weeks[2].Value6.get(), 480);
    EXPECT_EQ(doc.weekGraph->weeks[52].Value5.get(), 520);
    EXPECT_EQ(doc.weekGraph->weeks[0].Value3.get(), 104);
}

TEST_F(PersonnelEntriesTest, RatiosOfOneEmployeeForAYearBeforeThePlanTakeItsFirstYear)
{
    t.ctx.st.FirstYear = 12;
    t.ctx.st.LastYear = 13;
    StoreEntries({Entry("A1", "E", "12/05/1", "", 5200), Entry("B2", "E", "12/05/1", "", 60),
                  Entry("A1", "E", "05/05/1", "", 30)});
    t.ui.ExpectInput(QStringLiteral("Horas de Personal"), QStringLiteral("INTRODUZCA Matricula Operario "),
                     QStringLiteral("A1"));
    t.ui.ExpectInput(QStringLiteral("HORAS DE PERSONAL"),
                     QStringLiteral("INTRODUZCA AÑO DE ANALISIS (2012 a 2013):  "), QStringLiteral("2005"));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Personal > Ratios"));
    EXPECT_SCRIPT_DONE(t.ui);
    const QString transcript = Transcript();
    EXPECT_TRUE(transcript.contains(QStringLiteral("\n\t05/2012\t5200\t0\t0\t0\t0\t0\t0\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("\tTotales:\t5200\t0\t0\t0\t0\t0\t0\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("GRAFICO")));
}

} // namespace
} // namespace gim
