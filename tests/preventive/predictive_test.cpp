#include "core/environment.h"
#include "masterdata/personnel.h"
#include "preventive/predictive.h"
#include "preventive/predictive_card.h"
#include "preventive_fixture.h"
#include "records/predictive_record.h"
#include "support/handover_rows.h"

#include <QDir>
#include <cstring>

namespace gim {
namespace {

using test::RecordBytes;

const QString kMeasurements = QStringLiteral("PORTAL.PRD");
const QString kMeasurementTwin = QStringLiteral("PORTAL.PRK");
const QString kLevels = QStringLiteral("PORTAL.ALR");
const QString kLevelTwin = QStringLiteral("PORTAL.ABK");
const QString kYearPrompt = QStringLiteral("INTRODUZCA AÑO DE ANALISIS (2025 a 2027):  ");
const QString kAlarmCard = QStringLiteral("DEFINICIÓN NIVELES DE ALARMA CONTROLES MANTENIMIENTO.PREDICTIVO");

QString MeasurementCard(const char* year)
{
    return QStringLiteral("REGISTRO DE MEDICIONES DE MANTENIMIENTO PREDICTIVO  ") + QLatin1String(year);
}

// The horizon 2025 to 2027 (104 plan weeks) with two machines and two employees.
class PredictiveTest : public test::PreventiveTest
{
protected:
    PredictiveTest()
    {
        BuildFirmFileNames(t.ctx);
        StoreMachines({Machine("01-001", "Prensa"), Machine("02-002", "Torno")});
        TPersonnelRecord ana{};
        ana.Matricula = "A1";
        ana.Nombre = "Ana";
        ana.Apellidos = "Soler";
        TPersonnelRecord pere = ana;
        pere.Matricula = "B2";
        pere.Nombre = "Pere";
        pere.Apellidos = "Puig";
        StoreRecords(t.ctx, t.ctx.st.PersonnelFileName, std::vector{ana, pere});
        LoadPersonnel(t.ctx);
        t.ctx.st.WorkYear = 25;
    }

    static TPredictiveRecord Rec(const char* code, std::int32_t week, std::int32_t m1 = 0,
                                 std::int32_t m2 = 0, const char* frec = "M", const char* espec = "V",
                                 const char* pos = "V1")
    {
        TPredictiveRecord r{};
        r.Codigo = code;
        r.FREC = frec;
        r.Espec = espec;
        r.Pos = pos;
        r.Semana = week;
        r.Medida1 = m1;
        r.Medida2 = m2;
        return r;
    }
    void Store(const QString& name, const std::vector<TPredictiveRecord>& records)
    {
        StoreRecords(t.ctx, name, records);
    }
    std::vector<TPredictiveRecord> Load(const QString& name)
    {
        return LoadRecords<TPredictiveRecord>(t.ctx, name, false);
    }
    // "code@week" of every record of a file, in file order.
    QStringList Weeks(const QString& name)
    {
        QStringList out;
        for (const TPredictiveRecord& r : Load(name))
            out << r.Codigo.str() + QLatin1Char('@') + QString::number(r.Semana.get());
        return out;
    }
    void ExpectYear(const char* answer)
    {
        t.ui.ExpectInput(QStringLiteral("RUTAS DE PREDICTIVO"), kYearPrompt, QString::fromLatin1(answer));
    }
    void Mode(const char* actionCode) { t.ctx.st.ActionCode = QString::fromLatin1(actionCode); }
};

// ---- Adding measurements -------------------------------------------------------------------------------

TEST_F(PredictiveTest, FirstMeasurementCreatesTheFileByteForByteAndSetsNoFlag)
{
    ExpectYear("2026");
    t.ui.ExpectCard(MeasurementCard("2026"))
        .ExpectValue("Label10", "2026")
        .ExpectValue("Codigo", "*")
        .ExpectDisabled("Borrar")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.choices.at("Codigo"), (QStringList{"01-001", "02-002"}));
        })
        .Set("Codigo", "01-001")
        .Inspect(
            [](const CardState& s) { EXPECT_EQ(s.caption, "FICHA  DE MANTENIMIENTO PREDICTIVO Prensa"); })
        .Set("FREC", "M2")
        .ExpectValue("Label13", "Bimensual")
        .Set("Espec", "V")
        .ExpectValue("Label12", "Predictivo Vibraciones")
        .Set("Pos", "V1")
        .Set("Ejecu", "B2")
        .ExpectValue("Label11", "Pere Puig")
        .Set("Semana", "10")
        .Set("Medida1", "123")
        .Set("Medida2", "-4")
        .Set("Descrip", "Lado motor")
        .Press("Salvar");
    // The next card of the series starts from the machine list again; &Salir ends it.
    t.ui.ExpectCard(MeasurementCard("2026"))
        .ExpectValue("Codigo", "*")
        .ExpectValue("Semana", "10")
        .Press("Cancel");
    ASSERT_TRUE(RunMenu("Predictivo > Alta > Medida"));
    EXPECT_SCRIPT_DONE(t.ui);

    const std::string expected = Bytes(std::vector{
        test::RecordFrom<TPredictiveRecord>(RecordBytes(84)
                                                .Text(0, "01-001")
                                                .Text(9, "M2")
                                                .Text(12, "V")
                                                .Text(15, "V1")
                                                .Text(18, "B2")
                                                .Raw(36, {62, 0, 0, 0})            // week 10 of 2026: 52 + 10
                                                .Raw(40, {123, 0, 0, 0})           // measure 1
                                                .Raw(44, {0xFC, 0xFF, 0xFF, 0xFF}) // measure 2: -4
                                                .Text(48, "Lado motor"))});
    EXPECT_EQ(t.ReadFile(kMeasurements), expected);
    // Creating the file set neither flag: nothing was rewritten.
    EXPECT_FALSE(t.Exists(kMeasurementTwin));
    EXPECT_EQ(Predictive(t.ctx).PredictiveRecordStored, 0);
    EXPECT_EQ(Predictive(t.ctx).AlarmLevelChanged, 0);
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
}

// Each card of a series clears ContinueFlag, so the series ended with &Salir must still rewrite the file
// it stored into.
TEST_F(PredictiveTest, ASeriesEndedWithSalirRewritesTheMeasurementFileNewestFirst)
{
    const std::vector old{Rec("01-001", 3), Rec("Z", 9), Rec("02-002", 20)};
    Store(kMeasurements, old);
    ExpectYear("2025");
    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "02-002"}, {"Semana", "7"}}, "Salvar");
    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "01-001"}, {"Semana", "30"}}, "Salvar");
    t.ui.ExpectCard(MeasurementCard("2025")).Press("Cancel");
    ASSERT_TRUE(RunMenu("Predictivo > Alta > Medida"));
    EXPECT_SCRIPT_DONE(t.ui);

    EXPECT_EQ(t.ReadFile(kMeasurementTwin).substr(0, 3 * 84), Bytes(old));
    EXPECT_EQ(Weeks(kMeasurementTwin),
              (QStringList{"01-001@3", "Z@9", "02-002@20", "02-002@7", "01-001@30"}));
    EXPECT_EQ(Weeks(kMeasurements), (QStringList{"01-001@30", "02-002@20", "02-002@7", "01-001@3"}));
    EXPECT_EQ(Predictive(t.ctx).PredictiveRecordStored, 0);
}

TEST_F(PredictiveTest, AnUnknownMachineOrABadNumberIsRefusedAndTheSeriesGoesOn)
{
    Store(kMeasurements, {Rec("01-001", 3)});
    ExpectYear("2025");
    t.ui.ExpectCard(MeasurementCard("2025"))
        .Set("Codigo", "09-999")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.caption, "FICHA  DE MANTENIMIENTO PREDICTIVO NO EXISTE LA MAQUINA");
        })
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"));
    t.ui.ExpectCard(MeasurementCard("2025"))
        .Set("Codigo", "01-001")
        .Set("Medida1", "12a")
        .Press("Salvar")
        .Set("Medida1", "99999999999")
        .Press("Salvar")
        .Set("Medida1", "12")
        .Press("Salvar");
    const QString measure =
        QStringLiteral("VALOR NO VÁLIDO EN MEDIDA 1: UN NÚMERO ENTERO DE -2147483648 A 2147483647");
    t.ui.ExpectMessage(measure);
    t.ui.ExpectMessage(measure);
    t.ui.ExpectCardCancel(MeasurementCard("2025"));
    ASSERT_TRUE(RunMenu("Predictivo > Alta > Medida"));
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TPredictiveRecord> stored = Load(kMeasurements);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].Codigo.str(), "01-001");
    EXPECT_EQ(stored[1].Semana.get(), 0);
    EXPECT_EQ(stored[1].Medida1.get(), 12);
}

// ---- Weeks ---------------------------------------------------------------------------------------------

TEST_F(PredictiveTest, AWeekIsStoredAsTypedPlusTheYearAndShownModulo52)
{
    Store(kMeasurements, {Rec("02-002", 1)});
    ExpectYear("2025");
    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "01-001"}, {"Semana", "60"}}, "Salvar");
    // Past the horizon's end the week stops at its last.
    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "01-001"}, {"Semana", "300"}}, "Salvar");
    t.ui.ExpectCardCancel(MeasurementCard("2025"));
    ASSERT_TRUE(RunMenu("Predictivo > Alta > Medida"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Weeks(kMeasurements), (QStringList{"01-001@104", "01-001@60", "02-002@1"}));
}

TEST_F(PredictiveTest, AWeekReadBackIsShownModulo52AndKeptWhenSaved)
{
    const std::vector stored{Rec("01-001", 60, 5)};
    Store(kMeasurements, stored);
    Mode("4");
    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "01-001"}}, "Salvar");
    t.ui.ExpectCard(MeasurementCard("2026"))
        .ExpectValue("Semana", "8")
        .ExpectValue("Medida1", "5")
        .Press("Salvar");
    EditPredictiveRecord(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kMeasurements), Bytes(stored));
    EXPECT_EQ(t.ctx.st.WorkWeek, 8);
    EXPECT_EQ(t.ctx.st.WorkYear, 26);
}

// An import brings an absolute week; the year left by an earlier command must not move it.
TEST_F(PredictiveTest, AnImportedMeasurementKeepsItsWeekAndItsCode)
{
    Store(kMeasurements, {Rec("02-002", 1)});
    t.ctx.st.WorkYear = 27;
    Mode("i");
    // The buffer's spare bytes and the bytes past its texts are not the record's.
    TPredictiveRecord imported = Rec("01-001", 70, 44);
    std::memset(reinterpret_cast<char*>(&imported) + 19, 'x', 16);
    imported.Ejecu = "A1";
    imported.Spare35 = 0x55;
    imported.Spare83 = 0x66;
    Predictive(t.ctx).CurrentMeasurement = imported;
    t.ui.ExpectCard(QStringLiteral("FICHA  DE MANTENIMIENTO PREDICTIVO"))
        .ExpectValue("Codigo", "01-001")
        .ExpectValue("Semana", "18")
        .Press("Salvar");
    AddPredictiveRecord(t.ctx);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    RewritePredictiveFile(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const std::string expected =
        Bytes(std::vector{test::RecordFrom<TPredictiveRecord>(RecordBytes(84)
                                                                  .Text(0, "01-001")
                                                                  .Text(9, "M")
                                                                  .Text(12, "V")
                                                                  .Text(15, "V1")
                                                                  .Text(18, "A1")
                                                                  .Raw(36, {70, 0, 0, 0})
                                                                  .Raw(40, {44, 0, 0, 0}))});
    EXPECT_EQ(t.ReadFile(kMeasurements).substr(0, 84), expected);
    EXPECT_EQ(Weeks(kMeasurements), (QStringList{"01-001@70", "02-002@1"}));
    EXPECT_EQ(Weeks(kMeasurementTwin), (QStringList{"02-002@1", "01-001@70"}));

    // A line whose card is left with &Salir is not stored.
    Predictive(t.ctx).CurrentMeasurement = Rec("02-002", 71);
    t.ui.ExpectCard(QStringLiteral("FICHA  DE MANTENIMIENTO PREDICTIVO")).Press("Cancel");
    AddPredictiveRecord(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
    EXPECT_EQ(Load(kMeasurements).size(), 2u);
}

// ---- The measurement list and the rewrite --------------------------------------------------------------

TEST_F(PredictiveTest, TheListIsNewestFirstWithTiesAsTheOldInsertLeftThem)
{
    // Read from the last record: a week equal to the leading one goes in front of it, any other after
    // the records of its week.
    Store(kMeasurements, {Rec("A", 5), Rec("B", 7), Rec("C", 5), Rec("D", 7), Rec("E", 3), Rec("F", 5)});
    LoadPredictiveList(t.ctx);
    QStringList order;
    std::vector<std::uint32_t> positions;
    for (const PredictiveEntry& e : Predictive(t.ctx).MeasurementList) {
        order << e.rec.Codigo.str();
        positions.push_back(e.pos);
    }
    EXPECT_EQ(order, (QStringList{"B", "D", "F", "C", "A", "E"}));
    EXPECT_EQ(positions, (std::vector<std::uint32_t>{1, 3, 5, 2, 0, 4}));

    // A measurement added joins the list the same way: week 7 leads, so it goes first.
    Mode("1");
    ExpectYear("2025");
    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "01-001"}, {"Semana", "7"}}, "Salvar");
    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "02-002"}, {"Semana", "5"}}, "Salvar");
    t.ui.ExpectCardCancel(MeasurementCard("2025"));
    AddPredictiveRecord(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    order.clear();
    for (const PredictiveEntry& e : Predictive(t.ctx).MeasurementList)
        order << e.rec.Codigo.str() + QLatin1Char('#') + QString::number(e.pos);
    EXPECT_EQ(order, (QStringList{"01-001#6", "B#1", "D#3", "F#5", "C#2", "A#0", "02-002#7", "E#4"}));
}

TEST_F(PredictiveTest, ARewriteKeepsTheWholeFileInTheTwinAndDropsTheErasedRecords)
{
    const std::vector old{Rec("A", 5), Rec("Z", 8), Rec("B", 7), Rec("Z", 1),
                          Rec("C", 5), Rec("Z", 9), Rec("D", 7)};
    Store(kMeasurements, old);
    Mode("1");
    Predictive(t.ctx).PredictiveRecordStored = 1;
    RewritePredictiveFile(t.ctx);
    EXPECT_EQ(t.ReadFile(kMeasurementTwin), Bytes(old));
    EXPECT_EQ(t.ReadFile(kMeasurements).size(), old.size() * 84 - 3 * 84);
    // Read from the last record, the erased week 9 led when the week-7 records came.
    EXPECT_EQ(Weeks(kMeasurements), (QStringList{"D@7", "B@7", "C@5", "A@5"}));
    EXPECT_EQ(Predictive(t.ctx).PredictiveRecordStored, 0);

    // Rewritten again, a file in list order stays as it is.
    const std::string sorted = t.ReadFile(kMeasurements);
    Predictive(t.ctx).PredictiveRecordStored = 1;
    RewritePredictiveFile(t.ctx);
    EXPECT_EQ(t.ReadFile(kMeasurements), sorted);

    // Nothing stored, nothing rewritten.
    t.WriteFile(kMeasurements, Bytes(old));
    RewritePredictiveFile(t.ctx);
    EXPECT_EQ(t.ReadFile(kMeasurements), Bytes(old));
}

// ---- Alarm levels --------------------------------------------------------------------------------------

TEST_F(PredictiveTest, AlarmLevelsAreAddedOncePerControlAndKindAndTheFileIsRewritten)
{
    const std::vector old{Rec("01-001", 2, 80, 0, "AL")};
    Store(kLevels, old);
    ExpectYear("2025");
    t.ui.ExpectCard(kAlarmCard)
        .ExpectValue("FREC", "AL")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.captions.at("FREC"), "Tipo Control:"); })
        .Set("Codigo", "01-001")
        .Set("FREC", "AL")
        .Set("Espec", "V")
        .Set("Pos", "V1")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("NIVEL DE ALARMA EXISTENTE.USE OPCION 3 DEL MENU."));
    t.ui.ExpectCard(kAlarmCard)
        .Set("Codigo", "01-001")
        .Set("FREC", "CH")
        .ExpectValue("Label13", "Control Horas")
        .Set("Espec", "H")
        .Set("Pos", "V1")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at("Medida1"), "H. Revisión");
            EXPECT_EQ(s.captions.at("Medida2"), "H. Intérvalo");
            // Only measurement cards hide the second measure of an hours control.
            EXPECT_FALSE(s.hidden.count("Medida2"));
        })
        .Set("Medida1", "1000")
        .Set("Medida2", "250")
        .Press("Salvar");
    t.ui.ExpectCard(kAlarmCard).Press("Cancel");
    ASSERT_TRUE(RunMenu("Predictivo > Alta > Alarma"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kLevelTwin).size(), 2u * 84);
    EXPECT_EQ(t.ReadFile(kLevelTwin).substr(0, 84), Bytes(old));
    const std::vector<TPredictiveRecord> levels = Load(kLevels);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(t.ReadFile(kLevels).substr(0, 84), Bytes(old));
    EXPECT_EQ(levels[1].FREC.str() + levels[1].Espec.str() + levels[1].Pos.str(), "CHHV1");
    EXPECT_EQ(levels[1].Semana.get(), 0);
    EXPECT_EQ(levels[1].Medida1.get(), 1000);
    EXPECT_EQ(levels[1].Medida2.get(), 250);
    EXPECT_EQ(Predictive(t.ctx).AlarmLevelChanged, 0);
}

TEST_F(PredictiveTest, FindAlarmLevelTakesTheLastLevelOfTheControlAndTheFirstForAL)
{
    Store(kLevels, {Rec("01-001", 1, 80, 10, "AL"), Rec("01-001", 1, 55, 5, "AL", "V", "V2"),
                    Rec("01-001", 2, 20, 2, "BJ")});
    TPredictiveRecord control = Rec("01-001", 0, 0, 0, "BJ");
    FindAlarmLevel(t.ctx, control);
    EXPECT_EQ(Predictive(t.ctx).CurrentAlarmLevel.Medida1.get(), 20);
    EXPECT_EQ(Predictive(t.ctx).CurrentAlarmLevel.FREC.str(), "BJ");
    control.FREC = "AL";
    FindAlarmLevel(t.ctx, control);
    EXPECT_EQ(Predictive(t.ctx).CurrentAlarmLevel.Medida1.get(), 80);

    // No level for the control: its key with both levels 0, the rest as it was.
    FindAlarmLevel(t.ctx, Rec("02-002", 0, 0, 0, "BJ", "T", "T9"));
    const TPredictiveRecord& level = Predictive(t.ctx).CurrentAlarmLevel;
    EXPECT_EQ(level.Codigo.str() + level.Espec.str() + level.Pos.str() + level.FREC.str(), "02-002TT9AL");
    EXPECT_EQ(level.Medida1.get(), 0);
    EXPECT_EQ(level.Medida2.get(), 0);
    EXPECT_EQ(level.Semana.get(), 1);

    // Without an alarm-level file the buffer stays.
    QFile::remove(t.Path(kLevels));
    FindAlarmLevel(t.ctx, control);
    EXPECT_EQ(Predictive(t.ctx).CurrentAlarmLevel.Codigo.str(), "02-002");
}

TEST_F(PredictiveTest, AnHourReadingMovesTheDueRevisionOnByItsIntervalOnceConfirmed)
{
    const TPredictiveRecord later = Rec("01-001", 3, 2000, 500, "CH", "H", "H1");
    const TPredictiveRecord due = Rec("01-001", 3, 1000, 250, "CH", "H", "H1");
    Store(kLevels, {later, due});
    TPredictiveRecord reading = Rec("01-001", 61, 1030, 0, "CH", "H", "H1");
    reading.Ejecu = "A1";
    reading.Descrip = "Parte 17";

    // "N" writes nothing.
    t.ui.ExpectInput(QStringLiteral("NIVELES ALARMAS DE MTO PREDICTIVO"),
                     QStringLiteral("CONFIRME LA MODIFICACIÓN S/N"), QStringLiteral("N"));
    UpdateAlarmRevision(t.ctx, reading);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kLevels), Bytes(std::vector{later, due}));

    // A reading below every next revision asks nothing and changes nothing.
    reading.Medida1 = 990;
    UpdateAlarmRevision(t.ctx, reading);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kLevels), Bytes(std::vector{later, due}));

    reading.Medida1 = 1030;
    t.ui.ExpectInput(QStringLiteral("NIVELES ALARMAS DE MTO PREDICTIVO"),
                     QStringLiteral("CONFIRME LA MODIFICACIÓN S/N"), QStringLiteral("S"));
    UpdateAlarmRevision(t.ctx, reading);
    EXPECT_SCRIPT_DONE(t.ui);
    TPredictiveRecord moved = due;
    moved.Medida1 = 1280;
    moved.Semana = 61;
    moved.Ejecu = "A1";
    moved.Descrip = "Parte 17";
    EXPECT_EQ(t.ReadFile(kLevels), Bytes(std::vector{later, moved}));
}

// ---- Editing -------------------------------------------------------------------------------------------

TEST_F(PredictiveTest, EditingShowsEveryRecordOfTheMachineInFileOrderAndErasesOnlyWhenConfirmed)
{
    const std::vector old{Rec("01-001", 3, 1, 0, "M", "V", "V1"), Rec("02-002", 4),
                          Rec("01-001", 5, 2, 0, "M", "T", "T1"), Rec("01-001", 6, 3, 0, "M", "V", "V2")};
    Store(kMeasurements, old);
    t.ui.ExpectCard(MeasurementCard("2025"))
        .ExpectValue("Codigo", "*")
        .ExpectEnabled("Borrar")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.captions.at("Salvar"), "Sal&var/Buscar"); })
        .Set("Codigo", "01-001")
        .Press("Salvar");
    t.ui.ExpectCard(MeasurementCard("2025")).ExpectValue("Medida1", "1").Set("Medida1", "11").Press("Salvar");
    t.ui.ExpectCard(MeasurementCard("2025")).ExpectValue("Medida1", "2").Press("Borrar");
    t.ui.ExpectYesNo(QStringLiteral("REALMENTE QUIERE BORRAR"), false);
    t.ui.ExpectCard(MeasurementCard("2025")).ExpectValue("Medida1", "3").Press("Borrar");
    t.ui.ExpectYesNo(QStringLiteral("REALMENTE QUIERE BORRAR"), true);
    ASSERT_TRUE(RunMenu("Predictivo > Edición > Medidas"));
    EXPECT_SCRIPT_DONE(t.ui);

    std::vector expected = old;
    expected[0].Medida1 = 11;
    expected[3].Codigo = "Z";
    EXPECT_EQ(t.ReadFile(kMeasurements), Bytes(expected));
}

TEST_F(PredictiveTest, EditingASelectionStopsAtSalirAndRefusesAnUnknownMachine)
{
    const std::vector old{Rec("01-001", 3, 1, 0, "M", "V", "V1"), Rec("01-001", 5, 2, 0, "M", "V", "V2"),
                          Rec("01-001", 6, 3, 0, "M", "V", "V1")};
    Store(kMeasurements, old);
    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "01-001"}, {"Pos", "V1"}}, "Salvar");
    t.ui.ExpectCard(MeasurementCard("2025")).ExpectValue("Medida1", "1").Press("Cancel");
    ASSERT_TRUE(RunMenu("Predictivo > Edición > Medidas"));
    EXPECT_SCRIPT_DONE(t.ui);

    t.ui.ExpectCard(MeasurementCard("2025"), {{"Codigo", "07-007"}}, "Salvar");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    ASSERT_TRUE(RunMenu("Predictivo > Edición > Medidas"));
    EXPECT_SCRIPT_DONE(t.ui);

    // &Salir on the selection chooses nothing.
    t.ui.ExpectCard(MeasurementCard("2025")).Press("Cancel");
    ASSERT_TRUE(RunMenu("Predictivo > Edición > Medidas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kMeasurements), Bytes(old));
}

TEST_F(PredictiveTest, TheAlarmEditOffersThePositionsDefinedForTheMachine)
{
    Store(kLevels, {Rec("01-001", 1, 80, 0, "AL", "V", "V1"), Rec("02-002", 1, 0, 0, "AL", "V", "X9"),
                    Rec("01-001", 1, 20, 0, "BJ", "V", "V2")});
    t.ui.ExpectCard(kAlarmCard)
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.choices.at("Codigo"), (QStringList{"01-001", "02-002", "01-001"}));
        })
        .Set("Codigo", "01-001")
        .Set("FREC", "PB")
        .Set("Pos", "V2")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.choices.at("Pos"), (QStringList{"V1", "V2"}));
            EXPECT_EQ(s.captions.at("Medida1"), "Nivel Alto");
            EXPECT_EQ(s.captions.at("Medida2"), "Nivel Bajo");
        })
        .Press("Salvar");
    t.ui.ExpectCard(kAlarmCard).ExpectValue("Medida1", "20").Set("Medida1", "25").Press("Salvar");
    ASSERT_TRUE(RunMenu("Predictivo > Edición > Alarmas"));
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TPredictiveRecord> levels = Load(kLevels);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[0].Medida1.get(), 80);
    EXPECT_EQ(levels[2].Medida1.get(), 25);
    EXPECT_EQ(levels[2].Semana.get(), 1);
}

TEST_F(PredictiveTest, EveryImportedCardOffersTheAlarmPositionsAsTheFileStandsThen)
{
    Store(kLevels, {Rec("01-001", 1, 80, 0, "AL", "V", "V1")});
    t.ctx.st.ActionCode = QStringLiteral("i");
    const auto card = [&](const QStringList& positions) {
        t.ui.ExpectCard(QStringLiteral("FICHA  DE MANTENIMIENTO PREDICTIVO"))
            .Set("Pos", "V1")
            .Inspect([=](const CardState& s) { EXPECT_EQ(s.choices.at("Pos"), positions); })
            .Press("Salvar");
        EXPECT_TRUE(AddImportedMeasurement(t.ctx, Rec("01-001", 10)));
    };
    card({"V1"});
    card({"V1"}); // then another program adds a level
    t.WriteFile(kLevels, t.ReadFile(kLevels) + Bytes(std::vector{Rec("01-001", 1, 20, 0, "BJ", "V", "V2")}));
    card({"V1", "V2"});
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Pictures ------------------------------------------------------------------------------------------

TEST_F(PredictiveTest, APictureLiesUnderPreditiTheEnvironmentAndTheMachine)
{
    t.ctx.st.CurrentEnvironment = QStringLiteral("PLANTA2026");
    EXPECT_EQ(PredictivePictureFolder(t.ctx.st.CurrentEnvironment, QStringLiteral("01-001")),
              "\\PREDITI\\PLANTA\\01-001\\");
    EXPECT_EQ(PredictivePictureFile(t.ctx, QStringLiteral("01-001"), QStringLiteral("V1")),
              data + "/PREDITI/PLANTA/01-001/V1.JPG");
    // A folder and a picture copied from Windows are found whatever their case.
    QDir().mkpath(data + "/PreditI/planta/01-001");
    QFile picture(data + "/PreditI/planta/01-001/v1.jpg");
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    EXPECT_EQ(PredictivePictureFile(t.ctx, QStringLiteral("01-001"), QStringLiteral("V1")),
              data + "/PreditI/planta/01-001/v1.jpg");
}

TEST_F(PredictiveTest, ThePositionShowsItsPictureOrSaysItCannot)
{
    QDir().mkpath(data + "/PREDITI/PORTAL/01-001");
    QFile picture(data + "/PREDITI/PORTAL/01-001/V1.JPG");
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    Mode("1");
    t.ctx.st.WorkYear = 25;
    TPredictiveRecord rec = Rec("01-001", 0);
    t.ui.ExpectCard(MeasurementCard("2025"))
        .Set("Codigo", "01-001")
        .Set("Pos", "V2")
        .DoubleClick("Pos")
        .Set("Pos", "V1")
        .DoubleClick("Pos")
        .ExpectValue("Image1", data + "/PREDITI/PORTAL/01-001/V1.JPG")
        .Inspect([this](const CardState& s) {
            EXPECT_EQ(s.caption, "Visualizar Imagen - (" + data + "/PREDITI/PORTAL/01-001/V1.JPG)");
        })
        .Press("Cancel");
    t.ui.ExpectMessage("No es posible cargar la Imagen \r" + data + "/PREDITI/PORTAL/01-001/V2.jpg");
    ShowPredictiveForm(t.ctx, rec);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.Codigo.str(), "#");
    EXPECT_EQ(t.ctx.st.AnswerCode, QString(QChar(27)));
    EXPECT_EQ(Predictive(t.ctx).PictureFileName, "V1.JPG");
}

TEST_F(PredictiveTest, TheFotoButtonStoresANewPictureForTheAlarmPositionAndShowsItOnAMeasurement)
{
    const QString source = root + QStringLiteral("/camara.jpg");
    QFile camera(source);
    ASSERT_TRUE(camera.open(QIODevice::WriteOnly));
    camera.write("JPEGDATA");
    camera.close();
    const QString folder = data + QStringLiteral("/PREDITI/PORTAL/01-001");
    Mode("5");
    TPredictiveRecord level = Rec("01-001", 0, 0, 0, "AL");
    t.ui.ExpectCard(kAlarmCard)
        .Set("Codigo", "01-001")
        .Set("Pos", "V1")
        .Press("SpeedButton1")
        .ExpectValue("Image1", source)
        .Press("Cancel");
    t.ui.ExpectChooseFile(source);
    t.ui.ExpectChooseFile(folder + QStringLiteral("/V1.JPG"));
    ShowPredictiveForm(t.ctx, level);
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(t.ui.FileRequests().size(), 2u);
    EXPECT_EQ(t.ui.FileRequests()[0].folder, folder);
    EXPECT_TRUE(t.ui.FileRequests()[1].save);
    EXPECT_EQ(t.ui.FileRequests()[1].fileName, "V1.JPG");
    QFile stored(folder + QStringLiteral("/V1.JPG"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray("JPEGDATA"));

    Mode("1");
    TPredictiveRecord measurement = Rec("01-001", 0);
    t.ui.ExpectCard(MeasurementCard("2025"))
        .Set("Codigo", "01-001")
        .Set("Pos", "V1")
        .Press("SpeedButton1")
        .ExpectValue("Image1", folder + QStringLiteral("/V1.JPG"))
        .Press("Cancel");
    ShowPredictiveForm(t.ctx, measurement);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(PredictiveTest, AnHoursControlHidesTheSecondMeasureOfAMeasurementCard)
{
    Mode("1");
    t.ctx.st.WorkYear = 25;
    TPredictiveRecord rec = Rec("01-001", 0);
    t.ui.ExpectCard(MeasurementCard("2025"))
        .Set("Espec", "H")
        .Set("FREC", "XX")
        .ExpectValue("Label13", "No Válida")
        .Set("Pos", "H1")
        .ExpectValue("FREC", "M")
        .ExpectValue("Label13", "Mensual")
        .Inspect([](const CardState& s) { EXPECT_TRUE(s.hidden.count("Medida2")); })
        .Set("Espec", "V")
        .Set("FREC", "PB")
        .Set("Pos", "V1")
        // A measurement card takes no band: it becomes monthly.
        .ExpectValue("FREC", "M")
        .Inspect([](const CardState& s) {
            EXPECT_FALSE(s.hidden.count("Medida2"));
            EXPECT_FALSE(s.disabled.count("Medida2"));
        })
        .Press("Cancel");
    ShowPredictiveForm(t.ctx, rec);
    EXPECT_SCRIPT_DONE(t.ui);

    // The measurement edit takes only a frequency: a band is refused, the card kept as typed.
    Mode("4");
    rec = Rec("01-001", 0);
    t.ui.ExpectCard(MeasurementCard("2025"))
        .Set("FREC", "PB")
        .Set("Pos", "V1")
        .ExpectValue("FREC", "PB")
        .Press("Cancel");
    t.ui.ExpectMessage(
        QStringLiteral("VALOR NO VÁLIDO EN FRECUENCIA: UNO DE LOS CÓDIGOS 1S, 2S, M, M2, M3, M4, S, S2, S4"));
    ShowPredictiveForm(t.ctx, rec);
    EXPECT_SCRIPT_DONE(t.ui);
}

// Editar > Energías on a row of the reading export listing.
TEST_F(PredictiveTest, EditarEnergiasFillsTheReadingFieldsOfItsColumns)
{
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Energias,
                      test::Row({"", "M1", "AGUA", "26/49/1", "1", "12345"}));
    EXPECT_EQ(test::Describe(handover.Buffer(EditItem::Energias)),
              test::Describe(
                  {{"MachineCode", "M1"}, {"MeterCode", "AGUA"}, {"Date", "26/49/1"}, {"Reading", "12345"}}));
}

} // namespace
} // namespace gim
