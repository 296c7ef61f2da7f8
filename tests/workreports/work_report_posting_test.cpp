#include "app/features.h"
#include "core/io_errors.h"
#include "core/record_file.h"
#include "core/transaction.h"
#include "corrective/breakdowns.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "masterdata/masterdata_fixture.h"
#include "masterdata/personnel.h"
#include "preventive/predictive.h"
#include "preventive/revisions.h"
#include "records/record_bytes.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "support/killed_child.h"
#include "support/unprivileged.h"
#include "workreports/work_report_entry.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"

#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace gim {
namespace {

using test::RecordBytes;

const QString kBreakdowns = QStringLiteral("PORTAL.AVR");
const QString kRepairs = QStringLiteral("PORTAL.SEM");
const QString kRevisions = QStringLiteral("PORTAL.HRC");
const QString kAlarms = QStringLiteral("PORTAL.ALR");
const QString kParts = QStringLiteral("PORTAL.RPW");
const QString kMovements = QStringLiteral("PORTAL.MOV");
const QString kOrders = QStringLiteral("PORTAL.OTR");
const QString kLines = QStringLiteral("PORTAL.PDA");
const QString kEntries = QStringLiteral("PORTAL.APT");

std::string Text(const RecordBytes& record)
{
    return std::string(record.Bytes().begin(), record.Bytes().end());
}
template <typename T> std::string RecordOf(const T& rec)
{
    return std::string(reinterpret_cast<const char*>(&rec), sizeof rec);
}

// Operator 000001 on machine M1, Wednesday of week 48 of 2026: absolute week (26 - 24) * 52 + 48 = 152.
TWorkReportRecord Line(const char* tipo, int minutes, int stop = 0, const char* orden = "",
                       const char* part = "", const char* dia = "26/48/3")
{
    TWorkReportRecord r{};
    r.Matricula = "000001";
    r.Codigo = "M1";
    r.Orden = orden;
    r.SparePart = part;
    r.Tipo = tipo;
    r.TIPOH = "C";
    r.dia = dia;
    r.Descripcion = "Rodamiento roto";
    r.Tparo = stop;
    r.Tinter = minutes;
    return r;
}

TPlannedRepairRecord Repair(const char* code, const char* description, const char* executor,
                            const char* state, int week)
{
    TPlannedRepairRecord r{};
    r.Code = code;
    r.Week = static_cast<std::uint16_t>(week);
    r.Specialty = "M";
    r.Description = description;
    r.State = state;
    r.Executor = executor;
    return r;
}

TSparePartRecord Part(const char* name, int exist)
{
    TSparePartRecord r{};
    r.Codigo = "M1";
    r.Equipo = "ME";
    r.Util = "ROD";
    r.Pieza = "007";
    r.Nombre = name;
    r.Exist = exist;
    r.Valor = 900;
    return r;
}

// The part M1 ME ROD 007 "Rodamiento 6204" as the file holds it with `exist` units.
std::string PartBytes(unsigned char exist)
{
    return Text(RecordBytes(200)
                    .Text(0, "M1")
                    .Text(9, "ME")
                    .Text(12, "ROD")
                    .Text(16, "007")
                    .Text(20, "Rodamiento 6204")
                    .Raw(168, {exist, 0, 0, 0})
                    .Raw(172, {0x84, 0x03, 0, 0}));
}

// The movement of `units` units (negative: out of the store) of M1 ME ROD 007 at 12,50 each, week 152.
std::string MovementBytes(const char* destination, std::initializer_list<unsigned char> units)
{
    return Text(RecordBytes(52)
                    .Text(0, "M1")
                    .Text(9, "ME")
                    .Text(12, "ROD")
                    .Text(16, "007")
                    .Text(20, destination)
                    .Raw(29, {152})
                    .Text(30, "000001")
                    .Raw(44, units)
                    .Raw(48, {0xE2, 0x04, 0, 0}));
}

// Environment PORTAL with machines M1 and ALMACEN_, operator 000001 and a plan from 2024 to 2027
// (PlanWeeks 156); the clock stands at Monday 7 December 2026 (week code "26/50/1"), 10:05.
class WorkReportPostingTest : public test::MasterdataTest
{
protected:
    WorkReportPostingTest()
    {
        RegisterFeatures(t.ctx);
        State& st = t.ctx.st;
        st.FirstYear = 24;
        st.LastYear = 27;
        st.PlanWeeks = 156;
        BuildFirmFileNames(t.ctx);
        StoreMachines({Machine("ALMACEN_", "Almacen"), Machine("M1", "Prensa")});
        TPersonnelRecord person{};
        person.Matricula = "000001";
        person.Apellidos = "Garcia";
        person.Nombre = "Ana";
        person.Baja = "../  /  ";
        gim::StoreRecords(t.ctx, st.PersonnelFileName, std::vector<TPersonnelRecord>{person});
    }

    WorkReportsState& w() { return WorkReports(t.ctx); }

    // The card has left this line and its long description; it is posted.
    PostedFiles Post(const TWorkReportRecord& line,
                     const char* longDescription = "Rodamiento roto lado motor")
    {
        w().CurrentWorkReport = line;
        w().LongDescription = QString::fromUtf8(longDescription);
        const PostedFiles posted = PostWorkReport(t.ctx);
        // As the end of a command does: the files are what the cases below change next.
        CheckpointJournal(t.ctx);
        return posted;
    }

    // One imported line through the add loop, as the import gateway hands it in.
    void Import(const TWorkReportRecord& line)
    {
        t.ctx.st.ActionCode = QStringLiteral("i");
        t.ctx.st.InteractiveFlag = 0;
        w().WorkReportInput = line;
        AddWorkReportLine(t.ctx);
    }
};

// ---- Breakdowns, repairs, revisions
// ------------------------------------------------------------------------

TEST_F(WorkReportPostingTest, OnlyABreakdownTypeOfTwoLettersPostsABreakdown)
{
    const PostedFiles none = Post(Line("V", 90, 30, "12"));
    EXPECT_TRUE(none.None());
    EXPECT_FALSE(t.Exists(kBreakdowns));
    EXPECT_EQ(w().BreakdownPostedFlag, 0);

    const PostedFiles posted = Post(Line("VM", 90, 30, "12"));
    EXPECT_TRUE(posted.Has(DataFile::Breakdown));
    EXPECT_EQ(w().BreakdownPostedFlag, 1);
    EXPECT_EQ(t.ReadFile(kBreakdowns), Text(RecordBytes(220)
                                                .Text(0, "M1")
                                                .Raw(10, {152, 0})
                                                .Text(12, "3")
                                                .Text(15, ".")
                                                .Text(18, "M")
                                                .Text(21, "Rodamiento roto lado motor")
                                                .Raw(152, {90, 0})
                                                .Raw(154, {1, 0})
                                                .Raw(156, {30, 0})
                                                .Text(160, "12")
                                                .Text(175, "000001")
                                                .Text(190, "-")
                                                .Text(205, "-")));
}

struct RepairCase
{
    const char* tipo;
    int minutes;
    const char* specialty;
    const char* state;
    unsigned char week;
    const char* executor;
};

TEST_F(WorkReportPostingTest, ARepairLineIsDoneInItsWeekOrWaitsAtTheHorizonDatedByTheLine)
{
    const RepairCase cases[] = {
        // Pending repairs wait at PlanWeeks (156) with the line's date; the third letter names their kind.
        {"RMM", 0, "MM", "M", 156, "25/11/26"},
        {"RM", 0, "M", "P", 156, "25/11/26"},
        {"RMJ", 0, "MJ", "J", 156, "25/11/26"},
        // Done repairs stay in the line's week with the operator.
        {"RE", 45, "E", "E", 152, "000001"},
    };
    for (const RepairCase& c : cases) {
        SCOPED_TRACE(c.tipo);
        QFile::remove(t.Path(kRepairs));
        LoadPlannedRepairs(t.ctx);
        const PostedFiles posted = Post(Line(c.tipo, c.minutes, 0, "31"));
        EXPECT_TRUE(posted.Has(DataFile::PlannedRepair));
        EXPECT_EQ(w().PlannedRepairPostedFlag, 1);
        SavePlannedRepairList(t.ctx);
        EXPECT_EQ(t.ReadFile(kRepairs), Text(RecordBytes(184)
                                                 .Text(0, "M1")
                                                 .Text(9, "31")
                                                 .Raw(18, {c.week, 0})
                                                 .Text(20, c.specialty)
                                                 .Text(23, "Rodamiento roto lado motor")
                                                 .Raw(154, {static_cast<unsigned char>(c.minutes), 0})
                                                 .Text(156, c.state)
                                                 .Text(159, c.executor)));
        FreePlannedRepairList(t.ctx);
    }
}

TEST_F(WorkReportPostingTest, ARevisionAskedForAfterARepairIsPlannedInTheWeekOfThisYear)
{
    LoadPlannedRepairs(t.ctx);
    w().PlanRevisionFlag = 1;
    t.ui.ExpectInput(QStringLiteral("Comprobación de Reparación"),
                     QStringLiteral("¿Requiere revisión? (S/N) :"), QStringLiteral("S"))
        .ExpectInput(QStringLiteral("Comprobación de Reparación"), QStringLiteral("Semana de Revisión"),
                     QStringLiteral("10"));
    Post(Line("RE", 45));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.AnswerCode, QStringLiteral("S"));
    SavePlannedRepairList(t.ctx);
    // Week 10 of 2026: 10 + (26 - 24) * 52 = 114, after the repair of week 152.
    const std::string done = Text(RecordBytes(184)
                                      .Text(0, "M1")
                                      .Raw(18, {152, 0})
                                      .Text(20, "E")
                                      .Text(23, "Rodamiento roto lado motor")
                                      .Raw(154, {45, 0})
                                      .Text(156, "E")
                                      .Text(159, "000001"));
    const std::string revision = Text(RecordBytes(184)
                                          .Text(0, "M1")
                                          .Raw(18, {114, 0})
                                          .Text(20, "E")
                                          .Text(23, "Rodamiento roto lado motor")
                                          .Text(156, "P")
                                          .Text(159, "07/12/2026"));
    EXPECT_EQ(t.ReadFile(kRepairs), done + revision);

    // "N" (or a cancelled question) plans nothing more.
    FreePlannedRepairList(t.ctx);
    LoadPlannedRepairs(t.ctx);
    t.ui.ExpectInputCancel(QStringLiteral("Comprobación de Reparación"),
                           QStringLiteral("¿Requiere revisión? (S/N) :"));
    Post(Line("RE", 45));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlannedRepairs(t.ctx).PlannedRepairList.size(), 3u);
}

// The plan-revision request of one card used to stay set, so that every later repair line asked again,
// imported ones included.
TEST_F(WorkReportPostingTest, ARevisionIsAskedForOnlyAfterTheLineWhoseCardRequestedIt)
{
    LoadPlannedRepairs(t.ctx);
    w().PlanRevisionFlag = 1;
    t.ui.ExpectInput(QStringLiteral("Comprobación de Reparación"),
                     QStringLiteral("¿Requiere revisión? (S/N) :"), QStringLiteral("N"));
    Import(Line("RE", 45));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(w().PlanRevisionFlag, 0);
    Import(Line("RE", 30));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlannedRepairs(t.ctx).PlannedRepairList.size(), 2u);
}

struct RevisionCase
{
    const char* tipo;
    int minutes;
    const char* frequency;
    const char* state;
};

TEST_F(WorkReportPostingTest, APreventiveLineIsARevisionDoneOrPendingByItsTimeAndFrequency)
{
    const RevisionCase cases[] = {
        {"PM", 30, "M", "E"},   // a monthly routine is one a two-yearly revision covers
        {"PC", 30, "C", "ER"},  // a route is not
        {"PM", 0, "M", "P"},    // no time: still to do
        {"PS4", 30, "S4", "E"}, // the two-yearly revision itself
    };
    for (const RevisionCase& c : cases) {
        SCOPED_TRACE(std::string(c.tipo) + " " + std::to_string(c.minutes));
        QFile::remove(t.Path(kRevisions));
        w().RevisionPostedFlag = 0;
        const PostedFiles posted = Post(Line(c.tipo, c.minutes));
        EXPECT_TRUE(posted.Has(DataFile::Revision));
        EXPECT_EQ(w().RevisionPostedFlag, 1);
        EXPECT_EQ(t.ReadFile(kRevisions), Text(RecordBytes(168)
                                                   .Text(0, "M1")
                                                   .Text(9, c.frequency)
                                                   .Text(12, c.state)
                                                   .Text(15, "000001")
                                                   .Raw(32, {152, 0})
                                                   .Raw(34, {static_cast<unsigned char>(c.minutes), 0})
                                                   .Text(36, "Rodamiento roto lado motor")));
    }
    // "P" alone posts no revision.
    QFile::remove(t.Path(kRevisions));
    w().RevisionPostedFlag = 0;
    EXPECT_TRUE(Post(Line("P", 30)).None());
    EXPECT_FALSE(t.Exists(kRevisions));
    EXPECT_EQ(w().RevisionPostedFlag, 0);
}

TEST_F(WorkReportPostingTest, ARunningHoursReadingMovesTheHourMeterAlarmOnAndIsARevision)
{
    TPredictiveRecord level{};
    level.Codigo = "M1";
    level.FREC = "CH";
    level.Espec = "H";
    level.Medida1 = 1200; // due at 1200 hours
    level.Medida2 = 500;  // every 500 hours
    gim::StoreRecords(t.ctx, kAlarms, std::vector<TPredictiveRecord>{level});

    t.ui.ExpectInput(QStringLiteral("NIVELES ALARMAS DE MTO PREDICTIVO"),
                     QStringLiteral("CONFIRME LA MODIFICACIÓN S/N"), QStringLiteral("S"));
    // A predictive card opened earlier left its control point behind; the reading is the machine's.
    Predictive(t.ctx).CurrentAlarmLevel.Pos = "03";
    TWorkReportRecord line = Line("PTF", 60, 0, "1250");
    line.Descripcion = "Cambio de aceite y filtros del grupo hidraulico";
    const PostedFiles posted = Post(line);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(posted.Has(DataFile::Alarm));
    // The reading goes to the alarm levels as a record of its own: the card's buffer stays as it was.
    EXPECT_EQ(Predictive(t.ctx).CurrentAlarmLevel.Pos, "03");
    EXPECT_EQ(Predictive(t.ctx).CurrentAlarmLevel.Medida1.get(), 0);
    // Next revision at 1250 + 500 hours, by the reader, in the line's week, with the short description
    // cut to 34 characters.
    EXPECT_EQ(t.ReadFile(kAlarms), Text(RecordBytes(84)
                                            .Text(0, "M1")
                                            .Text(9, "CH")
                                            .Text(12, "H")
                                            .Text(18, "000001")
                                            .Raw(36, {152, 0, 0, 0})
                                            .Raw(40, {0xD6, 0x06, 0, 0})
                                            .Raw(44, {0xF4, 0x01, 0, 0})
                                            .Text(48, "Cambio de aceite y filtros del gru")));
    EXPECT_EQ(t.ReadFile(kRevisions), Text(RecordBytes(168)
                                               .Text(0, "M1")
                                               .Text(9, "TF")
                                               .Text(12, "ER")
                                               .Text(15, "000001")
                                               .Raw(32, {152, 0})
                                               .Raw(34, {60, 0})
                                               .Text(36, "Rodamiento roto lado motor")));
}

// ---- The store
// -----------------------------------------------------------------------------------------------

struct StoreCase
{
    const char* machine;
    unsigned char stockAfter;
    std::initializer_list<unsigned char> quantity;
};

TEST_F(WorkReportPostingTest, AStoreLineTakesUnitsOutOrReturnsThemOnTheStoreItself)
{
    const StoreCase cases[] = {
        {"M1", 7, {0xFD, 0xFF, 0xFF, 0xFF}},        // -3: out to the machine
        {"ALMACEN_", 13, {0x03, 0x00, 0x00, 0x00}}, // +3: back to the store
    };
    for (const StoreCase& c : cases) {
        SCOPED_TRACE(c.machine);
        QFile::remove(t.Path(kMovements));
        gim::StoreRecords(t.ctx, kParts, std::vector<TSparePartRecord>{Part("Rodamiento 6204", 10)});
        TWorkReportRecord line = Line("AL", 1250, 3, "", "M1      MEROD007");
        line.Codigo = c.machine;
        const PostedFiles posted = Post(line);
        EXPECT_TRUE(posted.Has(DataFile::Movement));
        EXPECT_FALSE(posted.Has(DataFile::SparePart));
        EXPECT_EQ(t.ReadFile(kParts), PartBytes(c.stockAfter));
        EXPECT_EQ(t.ReadFile(kMovements), MovementBytes(c.machine, c.quantity));
    }
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportPostingTest, AnExitBeyondTheStockIsShownAndBookedWithTheStockLeftAsItWas)
{
    gim::StoreRecords(t.ctx, kParts, std::vector<TSparePartRecord>{Part("Rodamiento 6204", 2)});
    t.ui.ExpectMessage(QStringLiteral("Falta de Existencias de :M1MEROD007\rRodamiento 6204"));
    Post(Line("al", 1250, 3, "", "M1      MEROD007"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), PartBytes(2));
    EXPECT_EQ(t.ReadFile(kMovements), MovementBytes("M1", {0xFD, 0xFF, 0xFF, 0xFF}));
}

// A return to the store that the stock's 32 bits cannot hold is refused as a movement card refuses it.
TEST_F(WorkReportPostingTest, AReturnBeyondTheStocksFieldBooksNothing)
{
    gim::StoreRecords(t.ctx, kParts, std::vector<TSparePartRecord>{Part("Rodamiento 6204", 2147483647)});
    const std::string before = t.ReadFile(kParts);
    t.ui.ExpectMessage(QStringLiteral("EXISTENCIAS FUERA DE LÍMITE: DE -2147483648 A 2147483647 UNIDADES\r"
                                      "Anulado Movimiento M1MEROD007"));
    TWorkReportRecord line = Line("AL", 1250, 3, "", "M1      MEROD007");
    line.Codigo = "ALMACEN_";
    EXPECT_FALSE(Post(line).Has(DataFile::Movement));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), before);
    EXPECT_FALSE(t.Exists(kMovements));
}

TEST_F(WorkReportPostingTest, AMissingPartBooksNothingWhenNoCardIsWanted)
{
    gim::StoreRecords(t.ctx, kParts, std::vector<TSparePartRecord>{Part("Rodamiento 6204", 10)});
    const std::string before = t.ReadFile(kParts);
    t.ui.ExpectInput(QStringLiteral("Almacén Técnico"),
                     QStringLiteral("Código inexistente.Generar FICHA (S/N):"), QStringLiteral("N"));
    const PostedFiles posted = Post(Line("AL", 1250, 3, "", "M1      MEROD008"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(posted.None());
    EXPECT_EQ(w().SparePartCreatedFlag, 0);
    EXPECT_EQ(t.ReadFile(kParts), before);
    EXPECT_FALSE(t.Exists(kMovements));

    // Without a part file the question comes as well.
    QFile::remove(t.Path(kParts));
    t.ui.ExpectInputCancel(QStringLiteral("Almacén Técnico"),
                           QStringLiteral("Código inexistente.Generar FICHA (S/N):"));
    EXPECT_FALSE(FindOrCreateStorePart(t.ctx, StoreMovements(t.ctx).MovementBuffer));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(kMovements));
}

TEST_F(WorkReportPostingTest, AMissingPartMayBeEnteredAndTheFileIsThenSorted)
{
    gim::StoreRecords(t.ctx, kParts, std::vector<TSparePartRecord>{Part("Rodamiento 6204", 10)});
    t.ui.ExpectInput(QStringLiteral("Almacén Técnico"),
                     QStringLiteral("Código inexistente.Generar FICHA (S/N):"), QStringLiteral("S"));
    t.ui.ExpectCard(QStringLiteral("REPUESTOS DE MÁQUINAS"))
        .Set("Codigo", "M1")
        .Set("Equipo", "ME")
        .Set("Util", "CAD")
        .Set("Nombre", "Cadena")
        .Set("Marca", "SKF")
        .Press("Salvar");
    // The card shows the piece number it was given, then the next new part, left.
    t.ui.ExpectCard(QStringLiteral("REPUESTOS DE MÁQUINAS"))
        .ExpectValue("Pieza", "000")
        .Set("Marca", "SKF")
        .Press("Salvar");
    t.ui.ExpectCardCancel(QStringLiteral("REPUESTOS DE MÁQUINAS"));
    const PostedFiles posted = Post(Line("AL", 1250, 3, "", "M1      MECAD001"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(w().SparePartCreatedFlag, 1);
    EXPECT_TRUE(posted.Has(DataFile::SparePart));
    // Nothing is booked for the missing part; the new one comes first in key order.
    EXPECT_FALSE(t.Exists(kMovements));
    QStringList keys;
    for (const TSparePartRecord& r : LoadRecords<TSparePartRecord>(t.ctx, kParts, false))
        keys << PartKeyText(r);
    EXPECT_EQ(keys, (QStringList{"M1MECAD000", "M1MEROD007"}));
    EXPECT_TRUE(t.Exists(QStringLiteral("PORTAL.RBK")));

    // A card left without a part enters nothing, and nothing is sorted.
    QFile::remove(t.Path(QStringLiteral("PORTAL.RBK")));
    t.ui.ExpectInput(QStringLiteral("Almacén Técnico"),
                     QStringLiteral("Código inexistente.Generar FICHA (S/N):"), QStringLiteral("S"));
    t.ui.ExpectCardCancel(QStringLiteral("REPUESTOS DE MÁQUINAS"));
    EXPECT_FALSE(Post(Line("AL", 1250, 3, "", "M1      MEXXX001")).Has(DataFile::SparePart));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(w().SparePartCreatedFlag, 0);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.RBK")));
}

// A merge that runs without cards asks nothing for a missing part: the question's default ("N") enters no
// part and books nothing, and the later lines stay without a card.
TEST_F(WorkReportPostingTest, APartEnteredForAMergedStoreLineLeavesTheNextLinesWithoutACard)
{
    LoadPlannedRepairs(t.ctx);
    Import(Line("AL", 1250, 3, "", "M1      MECAD001"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 0);
    EXPECT_EQ(t.ctx.st.ActionCode, QStringLiteral("i"));
    EXPECT_FALSE(t.Exists(kMovements));

    // The next line of the same merge, flags as the first one left them: stored without a card.
    w().WorkReportInput = Line("IF", 60, 0, "", "", "26/48/4");
    AddWorkReportLine(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    EXPECT_EQ(t.ReadFile(kLines), RecordOf(FreshRecord(Line("AL", 1250, 3, "", "M1      MECAD001"))) +
                                      RecordOf(FreshRecord(Line("IF", 60, 0, "", "", "26/48/4"))));
}

// ---- Work orders
// ---------------------------------------------------------------------------------------------

TWorkOrderRecord Order(int number, const char* state)
{
    TWorkOrderRecord r{};
    r.Number = number;
    r.Description = "Fuga de aceite";
    r.NoticeDate = "26/49/1";
    r.NoticeHour = " 8:00";
    r.Machine = "M1";
    r.State = state;
    r.Type = "P";
    return r;
}

TEST_F(WorkReportPostingTest, TimeOnAPendingOrderStartsItAndAFinishingLineClosesItAtTheSameMoment)
{
    gim::StoreRecords(t.ctx, kOrders, std::vector<TWorkOrderRecord>{Order(0, "T"), Order(1, "P")});
    const std::string first = RecordOf(Order(0, "T"));
    w().OrderAssignedFlag = 1;
    w().OrderFinishedFlag = 1;
    const PostedFiles posted = Post(Line("RE", 60, 0, "1"));
    EXPECT_TRUE(posted.Has(DataFile::WorkOrder));
    TWorkOrderRecord closed = Order(1, "E");
    closed.StartDate = "26/50/1";
    closed.StartHour = "10:05";
    closed.CloseDate = "26/50/1";
    closed.CloseHour = "10:05";
    EXPECT_EQ(t.ReadFile(kOrders), first + RecordOf(closed));
    EXPECT_EQ(LoadRecords<TWorkOrderRecord>(t.ctx, kOrders, false).at(1).State, "E");
}

TEST_F(WorkReportPostingTest, AnOrderIsTouchedOnlyWhenAssignedTimedAndInTheFile)
{
    const std::vector<TWorkOrderRecord> orders{Order(0, "T"), Order(1, "P")};
    gim::StoreRecords(t.ctx, kOrders, orders);
    const std::string before = t.ReadFile(kOrders);
    struct Case
    {
        std::uint8_t assigned;
        const char* orden;
        int minutes;
    };
    for (const Case& c : {Case{0, "1", 60}, Case{1, "1", 0}, Case{1, "2", 60}, Case{1, "-1", 60},
                          Case{1, "", 60}, Case{1, "1x", 60}}) {
        SCOPED_TRACE(std::string(c.orden) + " " + std::to_string(c.minutes));
        w().OrderAssignedFlag = c.assigned;
        w().OrderFinishedFlag = 1;
        EXPECT_FALSE(Post(Line("C", c.minutes, 0, c.orden)).Has(DataFile::WorkOrder));
        EXPECT_EQ(t.ReadFile(kOrders), before);
    }
    // Time alone starts the order; it stays in progress.
    w().OrderAssignedFlag = 1;
    w().OrderFinishedFlag = 0;
    Post(Line("C", 60, 0, "1"));
    TWorkOrderRecord started = Order(1, "T");
    started.StartDate = "26/50/1";
    started.StartHour = "10:05";
    EXPECT_EQ(t.ReadFile(kOrders), RecordOf(orders[0]) + RecordOf(started));
}

// ---- The personnel expedient
// ---------------------------------------------------------------------------------

TEST_F(WorkReportPostingTest, HoursOtherThanNormalGoToTheExpedient)
{
    TPersonnelEntryRecord& entry = w().LineEntry;
    for (const char* type : {"C", "#", ""}) {
        SCOPED_TRACE(type);
        entry.Type = type;
        EXPECT_TRUE(Post(Line("C", 60)).None());
    }
    EXPECT_FALSE(t.Exists(kEntries));
    EXPECT_EQ(w().PersonnelEntryPostedFlag, 0);

    entry = TPersonnelEntryRecord{};
    entry.Matricula = "000001";
    entry.Type = "EC";
    entry.Date = "26/48/3";
    entry.Text = "Rodamiento roto lado motor";
    entry.Minutes = 60;
    EXPECT_TRUE(Post(Line("C", 60)).Has(DataFile::PersonnelEntry));
    EXPECT_EQ(w().PersonnelEntryPostedFlag, 1);
    EXPECT_EQ(t.ReadFile(kEntries), Text(RecordBytes(152)
                                             .Text(0, "000001")
                                             .Text(7, "EC")
                                             .Text(10, "26/48/3")
                                             .Text(19, "Rodamiento roto lado motor")
                                             .Raw(148, {60, 0, 0, 0})));
}

// ---- The planned-repair list
// ---------------------------------------------------------------------------------

TEST_F(WorkReportPostingTest, TheRepairListIsWrittenInListOrderWithoutClosedRepairs)
{
    std::vector<PlannedRepairEntry>& list = PlannedRepairs(t.ctx).PlannedRepairList;
    const TPlannedRepairRecord a = Repair("M1", "Engrasar", "01/12/2026", "P", 150);
    const TPlannedRepairRecord z = Repair("Z", "Cerrada", "02/12/2026", "P", 151);
    const TPlannedRepairRecord b = Repair("M2", "Alinear", "03/12/2026", "T", 149);

    // No file: nothing is created.
    list = {{b, 0}, {a, 1}};
    SavePlannedRepairList(t.ctx);
    EXPECT_FALSE(t.Exists(kRepairs));

    gim::StoreRecords(t.ctx, kRepairs, std::vector<TPlannedRepairRecord>{a, z, b});
    const std::string stored = t.ReadFile(kRepairs);
    // An empty list leaves the file as it is.
    list.clear();
    SavePlannedRepairList(t.ctx);
    EXPECT_EQ(t.ReadFile(kRepairs), stored);

    list = {{b, 2}, {z, 1}, {a, 0}};
    SavePlannedRepairList(t.ctx);
    EXPECT_EQ(t.ReadFile(kRepairs), RecordOf(b) + RecordOf(a));
}

// The list is written back whole at the end of the command; another program on the same folder may have
// added or removed repairs since it was read. The repairs posted by the lines are in the file already.
TEST_F(WorkReportPostingTest, SavingTheRepairListKeepsWhatAnotherProgramChangedMeanwhile)
{
    const TPlannedRepairRecord a = Repair("M1", "Engrasar", "01/12/2026", "P", 150);
    const TPlannedRepairRecord b = Repair("M2", "Alinear", "03/12/2026", "T", 149);
    const TPlannedRepairRecord c = Repair("M1", "Tensar correa", "04/12/2026", "P", 151);
    gim::StoreRecords(t.ctx, kRepairs, std::vector<TPlannedRepairRecord>{a, b});
    LoadPlannedRepairs(t.ctx);
    // This program closes "Alinear"; the other program adds "Tensar correa" and removes "Engrasar"; then
    // this program posts a done repair of week 152.
    PlannedRepairs(t.ctx).PlannedRepairList.at(1).rec.Code = "Z";
    gim::StoreRecords(t.ctx, kRepairs, std::vector<TPlannedRepairRecord>{b, c});
    Post(Line("RM", 45));
    SavePlannedRepairList(t.ctx);
    TPlannedRepairRecord done = Repair("M1", "Rodamiento roto lado motor", "000001", "E", 152);
    done.Minutes = 45;
    EXPECT_EQ(t.ReadFile(kRepairs), RecordOf(done) + RecordOf(c));
    // Saved again with nothing changed by anyone, the file stays as it is.
    SavePlannedRepairList(t.ctx);
    EXPECT_EQ(t.ReadFile(kRepairs), RecordOf(done) + RecordOf(c));
}

// ---- The add loop
// --------------------------------------------------------------------------------------------

TEST_F(WorkReportPostingTest, ALineOfAnUnknownOperatorOrMachineIsNeitherStoredNorPosted)
{
    LoadPlannedRepairs(t.ctx);
    TWorkReportRecord stranger = Line("VM", 90, 30);
    stranger.Matricula = "000009";
    Import(stranger);
    EXPECT_SCRIPT_DONE(t.ui);

    TWorkReportRecord elsewhere = Line("VM", 90, 30);
    elsewhere.Codigo = "M9";
    Import(elsewhere);
    EXPECT_SCRIPT_DONE(t.ui);

    // An imported line without its operator ends its one pass without a word.
    TWorkReportRecord nobody = Line("VM", 90, 30);
    nobody.Matricula = "#";
    Import(nobody);
    EXPECT_SCRIPT_DONE(t.ui);

    EXPECT_FALSE(t.Exists(kLines));
    EXPECT_FALSE(t.Exists(kBreakdowns));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
    EXPECT_EQ(w().BreakdownPostedFlag, 0);
    EXPECT_EQ(w().WorkReportWritten, 0);
}

TEST_F(WorkReportPostingTest, AnAutomaticMergeRefusesWithoutAWord)
{
    TWorkReportRecord stranger = Line("VM", 90, 30);
    stranger.Matricula = "000009";
    w().MergeMode = QStringLiteral("A");
    Import(stranger);
    TWorkReportRecord elsewhere = Line("VM", 90, 30);
    elsewhere.Codigo = "M9";
    Import(elsewhere);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(kLines));
    EXPECT_FALSE(t.Exists(kBreakdowns));
}

// The posting used to run before the line was stored, and the line counted as added whatever the append
// did: a line the file refused still left its breakdown behind.
TEST_F(WorkReportPostingTest, ALineTheFileRefusesPostsNothingAndIsNotCountedAsAdded)
{
    gim::StoreRecords(t.ctx, kLines, std::vector<TWorkReportRecord>{Line("C", 60, 0, "", "", "26/47/1")});
    const std::string before = t.ReadFile(kLines);
    test::WriteProtect(t.Path(kLines));
    const std::string failures = test::RunUnprivileged(t.ctx.st.WorkDir, [&]() -> std::string {
        t.ctx.st.RecordAddedFlag = 1;
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO PORTAL.PDA"));
        Import(Line("VM", 90, 30));
        if (t.ctx.st.RecordAddedFlag != 0)
            return "the refused line was counted as added";
        if (w().BreakdownPostedFlag != 0 || w().WorkReportWritten != 0)
            return "the refused line asked for a sort";
        if (t.Exists(kBreakdowns))
            return "the refused line posted its breakdown";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(t.ReadFile(kLines), before);
}

TEST_F(WorkReportPostingTest, AnImportedLineIsStoredPostedAndCountedAsAdded)
{
    LoadPlannedRepairs(t.ctx);
    TWorkReportRecord line = Line("VM", 90, 30, "12");
    line.TIPOH = "ec";
    Import(line);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    EXPECT_EQ(t.ReadFile(kLines), RecordOf(FreshRecord(line)));
    // The breakdown takes the line's own description, and the expedient the line's hours.
    EXPECT_EQ(LoadRecords<TBreakdownRecord>(t.ctx, kBreakdowns, false).at(0).Description, "Rodamiento roto");
    EXPECT_EQ(t.ReadFile(kEntries), Text(RecordBytes(152)
                                             .Text(0, "000001")
                                             .Text(7, "EC")
                                             .Text(10, "26/48/3")
                                             .Text(19, "Rodamiento roto")
                                             .Raw(148, {90, 0, 0, 0})));
    EXPECT_EQ(w().BreakdownPostedFlag, 1);
    EXPECT_EQ(w().PersonnelEntryPostedFlag, 1);
    EXPECT_EQ(w().WorkReportWritten, 1);
}

TEST_F(WorkReportPostingTest, AFullDateHandedInWithAnImportedLineBecomesTheDateText)
{
    LoadPlannedRepairs(t.ctx);
    t.ctx.st.DateText = QStringLiteral("07/12/2026");
    w().WorkReportInputDateText = QStringLiteral("26/48/3");
    Import(Line("IF", 60));
    EXPECT_EQ(t.ctx.st.DateText, QStringLiteral("07/12/2026"));
    w().WorkReportInputDateText = QStringLiteral("25/11/2026");
    Import(Line("IF", 30));
    EXPECT_EQ(t.ctx.st.DateText, QStringLiteral("25/11/2026"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// The card's Save closes the chosen repair in the list; the file takes it with the line, and a line that
// is not stored leaves it open.
TEST_F(WorkReportPostingTest, TheRepairChosenOnTheCardIsWrittenWithItsLineOrOpenedAgain)
{
    std::vector<PlannedRepairEntry>& list = PlannedRepairs(t.ctx).PlannedRepairList;
    const TPlannedRepairRecord mine = Repair("M1", "Engrasar guias", "20/11/2026", "P", 156);
    const TPlannedRepairRecord other = Repair("M2", "Engrasar guias", "20/11/2026", "P", 156);
    const TPlannedRepairRecord done = Repair("M1", "Engrasar guias", "20/11/2026", "E", 140);
    const TPlannedRepairRecord material = Repair("M1", "Engrasar guias", "20/11/2026", "M", 156);
    const auto reset = [&] {
        gim::StoreRecords<TPlannedRepairRecord>(t.ctx, kRepairs, {mine, other, done, material});
        list = {{mine, 0}, {other, 1}, {done, 2}, {material, 3}};
    };
    const auto states = [&] {
        QStringList s;
        for (const PlannedRepairEntry& e : list)
            s << e.rec.Code.str() + QLatin1Char(':') + e.rec.State.str();
        return s.join(QLatin1Char(' '));
    };
    ShortString<8> m1;
    m1 = "M1";

    // A refused line leaves them open, in the list and in the file.
    reset();
    const std::string before = t.ReadFile(kRepairs);
    TWorkReportRecord stranger = Line("RM", 60);
    stranger.Matricula = "000009";
    CloseChosenRepair(t.ctx, m1, QStringLiteral("Engrasar guias"), QStringLiteral("20/11/2026"));
    EXPECT_EQ(states(), QStringLiteral("Z:P M2:P M1:E Z:M"));
    Import(stranger);
    EXPECT_EQ(states(), QStringLiteral("M1:P M2:P M1:E M1:M"));
    EXPECT_EQ(t.ReadFile(kRepairs), before);

    // Done by its executor: the open repairs of the machine are written closed where they stand.
    CloseChosenRepair(t.ctx, m1, QStringLiteral("Engrasar guias"), QStringLiteral("20/11/2026"));
    Import(Line("C", 60));
    EXPECT_EQ(states(), QStringLiteral("Z:P M2:P M1:E Z:M"));
    TPlannedRepairRecord mineClosed = mine;
    mineClosed.Code = "Z";
    TPlannedRepairRecord materialClosed = material;
    materialClosed.Code = "Z";
    EXPECT_EQ(t.ReadFile(kRepairs),
              RecordOf(mineClosed) + RecordOf(other) + RecordOf(done) + RecordOf(materialClosed));
    EXPECT_TRUE(w().ChosenRepairCloses.empty());

    // Another executor text: the repair is in progress.
    reset();
    CloseChosenRepair(t.ctx, m1, QStringLiteral("Engrasar guias"), QStringLiteral("21/11/2026"));
    Import(Line("C", 60));
    EXPECT_EQ(states(), QStringLiteral("M1:T M2:P M1:E M1:T"));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportPostingTest, APhotoIsStoredAfterItsLineAndEndsTheSeries)
{
    const QString source = root + QStringLiteral("/camara.jpg");
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("JPEG");
    }
    const QString folder = data + QStringLiteral("/PARTES/PORTAL");
    t.ui.ExpectChooseFile(source).ExpectChooseFile(folder + QStringLiteral("/M1#0.jpg"));
    t.ctx.st.PhotoAssignFlag = 1;
    Import(Line("C", 60, 0, "", "M1      #0.jpg"));
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(t.ui.FileRequests().size(), 2u);
    EXPECT_EQ(t.ui.FileRequests()[1].fileName, QStringLiteral("M1#0.jpg"));
    EXPECT_EQ(t.ui.FileRequests()[1].folder, folder);
    QFile stored(folder + QStringLiteral("/M1#0.jpg"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray("JPEG"));
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    EXPECT_EQ(w().AddLoopAnswer, QStringLiteral("N"));

    // A refused line stores no photo and asks for none.
    TWorkReportRecord stranger = Line("C", 60, 0, "", "M1      #1.jpg");
    stranger.Matricula = "000009";
    t.ctx.st.PhotoAssignFlag = 1;
    Import(stranger);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);
    EXPECT_EQ(t.ui.FileRequests().size(), 2u);
}

// The posted flags used to be cleared for every line of an import or a merge, so that only the files
// of the last line were re-sorted afterwards.
TEST_F(WorkReportPostingTest, AnImportOfThreeLinesReSortsEveryFileAnyLineTouched)
{
    for (const Op op : {Op::LoadMachineList, Op::LoadPlannedRepairs})
        registry.Run(t.ctx, op);
    ClearPostedFlags(t.ctx);
    TWorkReportRecord breakdown = Line("VM", 90, 30, "", "", "26/47/1");
    breakdown.Descripcion = "a";
    TWorkReportRecord revision = Line("PM", 30, 0, "", "", "26/48/2");
    revision.Descripcion = "b";
    TWorkReportRecord repair = Line("RE", 45, 0, "", "", "26/49/3");
    repair.Descripcion = "c";
    repair.TIPOH = "E";
    for (const TWorkReportRecord& line : {breakdown, revision, repair})
        Import(line);
    EXPECT_SCRIPT_DONE(t.ui);

    QStringList ran;
    const std::vector<std::pair<Cond, Op>> steps = {
        {Cond::RevisionPosted, Op::SortRevisionFile},
        {Cond::BreakdownPosted, Op::SortBreakdownFile},
        {Cond::PlannedRepairPosted, Op::SortPlannedRepairFile},
        {Cond::WorkReportWritten, Op::SortWorkReportFile},
        {Cond::PersonnelEntryPosted, Op::PurgePersonnelEntries},
    };
    registry.Run(t.ctx, Op::SavePlannedRepairList);
    registry.Run(t.ctx, Op::FreePlannedRepairList);
    registry.Run(t.ctx, Op::FreeMachineList);
    t.ctx.st.ActionCode.clear();
    for (const auto& [cond, op] : steps) {
        if (registry.Holds(t.ctx, cond)) {
            registry.Run(t.ctx, op);
            ran << QString::fromLatin1(Name(op));
        }
    }
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(ran, (QStringList{"SortRevisionFile", "SortBreakdownFile", "SortPlannedRepairFile",
                                "SortWorkReportFile", "PurgePersonnelEntries"}));
    // Each sorted file kept its twin; the lines are latest first.
    for (const char* twin : {"PORTAL.HBK", "PORTAL.AVK", "PORTAL.SBK", "PORTAL.PDK"})
        EXPECT_TRUE(t.Exists(QString::fromLatin1(twin))) << twin;
    const std::vector<TWorkReportRecord> lines = LoadRecords<TWorkReportRecord>(t.ctx, kLines, false);
    QStringList tags;
    for (const TWorkReportRecord& r : lines)
        tags << r.Descripcion.str();
    EXPECT_EQ(tags, (QStringList{"c", "b", "a"}));
}

// ---- One line, one step
// --------------------------------------------------------------------------------------

// Each file a line writes is refused in turn, write-protected (found before anything is written) or
// out of space in the middle of the step: every file stays as it was.
TEST_F(WorkReportPostingTest, ALineWhoseFileCannotBeWrittenLeavesEveryFileAsItWas)
{
    TWorkReportRecord conduction = Line("CO", 60);
    conduction.TIPOH = "E";
    const std::pair<TWorkReportRecord, QStringList> cases[] = {
        {Line("VM", 90, 30), {kLines, kBreakdowns}},
        {Line("RE", 45), {kLines, kRepairs}},
        {Line("PM", 30), {kLines, kRevisions}},
        {conduction, {kLines, kEntries}},
        {Line("AL", 1250, 3, "", "M1      MEROD007"), {kLines, kParts, kMovements}},
    };
    const QStringList files{kLines, kBreakdowns, kRepairs, kRevisions, kEntries, kParts, kMovements};
    const auto seed = [&] {
        for (const QString& f : files)
            QFile::remove(t.Path(f));
        gim::StoreRecords(t.ctx, kLines, std::vector<TWorkReportRecord>{Line("C", 60, 0, "", "", "26/47/1")});
        t.WriteFile(kBreakdowns, std::string(220, 'b'));
        gim::StoreRecords<TPlannedRepairRecord>(t.ctx, kRepairs, {Repair("M1", "Fuga", "000001", "P", 150)});
        t.WriteFile(kRevisions, std::string(168, 'r'));
        t.WriteFile(kEntries, std::string(152, 'e'));
        t.WriteFile(kParts, PartBytes(10));
        t.WriteFile(kMovements, MovementBytes("M1", {1, 0, 0, 0}));
        for (const QString& f : files)
            QFile::setPermissions(t.Path(f), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                                 QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup);
        std::map<QString, std::string> bytes;
        for (const QString& f : files)
            bytes[f] = t.ReadFile(f);
        return bytes;
    };
    const auto changed = [&](std::map<QString, std::string>& before) {
        QStringList names;
        for (const QString& f : files)
            if (t.ReadFile(f) != before[f])
                names << f;
        return names;
    };
    for (const auto& [line, targets] : cases) {
        SCOPED_TRACE(line.Tipo.str().toStdString());
        // Unhindered, the line writes these files and no other.
        std::map<QString, std::string> before = seed();
        Import(line);
        EXPECT_EQ(changed(before), targets);
        for (const QString& target : targets) {
            SCOPED_TRACE(target.toStdString());
            before = seed();
            test::WriteProtect(t.Path(target));
            EXPECT_EQ(test::RunUnprivileged(t.ctx.st.WorkDir,
                                            [&]() -> std::string {
                                                t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO ") +
                                                                   target);
                                                Import(line);
                                                if (t.ctx.st.RecordAddedFlag != 0)
                                                    return "counted as added";
                                                return t.ui.Verify().toStdString();
                                            }),
                      "");
            EXPECT_EQ(changed(before), QStringList());

            before = seed();
            FileFaults full;
            full.inject = [&target](FileOp op, const QString& path) {
                return op == FileOp::Write && QFileInfo(path).fileName() == target ? ENOSPC : 0;
            };
            t.ctx.faults = &full;
            try {
                Import(line);
                ADD_FAILURE() << "stored on a full disk";
            } catch (const IoAbort& e) {
                EXPECT_EQ(QFileInfo(e.file()).fileName(), target);
            }
            t.ctx.faults = nullptr;
            EXPECT_EQ(changed(before), QStringList());
        }
    }
}

// A revision planned by the line that closes the chosen repair used to be closed with it: "T", or "Z" (and
// dropped) when the repair was entered today. Each line's repairs used to wait for the end of the series.
TEST_F(WorkReportPostingTest, ARevisionPlannedAfterTheChosenRepairIsPendingAndWrittenWithItsLine)
{
    const auto repairs = [this] {
        QStringList s;
        for (const TPlannedRepairRecord& r : LoadRecords<TPlannedRepairRecord>(t.ctx, kRepairs, false))
            s << QStringLiteral("%1 %2 %3").arg(r.Code.str()).arg(r.Week.get()).arg(r.State.str());
        return s.join(QLatin1Char('|')).toStdString();
    };
    for (const char* executor : {"20/11/2026", "07/12/2026"}) {
        SCOPED_TRACE(executor);
        gim::StoreRecords<TPlannedRepairRecord>(t.ctx, kRepairs,
                                                {Repair("M1", "Engrasar guias", executor, "P", 156)});
        t.ui.ExpectCard(QStringLiteral("ALTA PARTES DE TRABAJO"))
            .Set("Matricula", "000001")
            .Set("Codigo", "M1")
            .Set("dia", "26/48/3")
            .Set("Tipo", "RE")
            .Set("Tinter", "45")
            .Set("Descripcion", QStringLiteral("Engrasar guias\t") + executor)
            .Set("PlanRev", "1")
            .Press("SalvaPartes");
        t.ui.ExpectInput(QStringLiteral("Comprobación de Reparación"),
                         QStringLiteral("¿Requiere revisión? (S/N) :"), QStringLiteral("S"))
            .ExpectInput(QStringLiteral("Comprobación de Reparación"), QStringLiteral("Semana de Revisión"),
                         QStringLiteral("10"));
        t.ui.ExpectCard(QStringLiteral("ALTA PARTES DE TRABAJO"))
            // The chosen repair is closed where it stands; the line's repair and its revision follow.
            .Inspect([&](const CardState&) { EXPECT_EQ(repairs(), "Z 156 P|M1 152 E|M1 114 P"); })
            .Press("BitBtn1");
        EXPECT_TRUE(RunMenu("Partes > Alta"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(repairs(), "M1 152 E|M1 114 P");
    }
}

// The line the cards below enter: training of machine M1 on Wednesday of week 48.
TWorkReportRecord TrainingLine(const char* matricula)
{
    TWorkReportRecord r{};
    r.Matricula = matricula;
    r.Codigo = "M1";
    r.Tipo = "IF";
    r.TIPOH = "C";
    r.dia = "26/48/3";
    r.Descripcion = "Curso de soldadura";
    r.Tinter = 60;
    return r;
}

TEST_F(WorkReportPostingTest, CtrlSpaceOnSaveRepeatsTheLineForTheNextOperatorUntilTheCardIsLeft)
{
    TPersonnelRecord second{};
    second.Matricula = "000002";
    second.Apellidos = "Ruiz";
    second.Nombre = "Luis";
    second.Baja = "../  /  ";
    TPersonnelRecord first{};
    first.Matricula = "000001";
    first.Apellidos = "Garcia";
    first.Nombre = "Ana";
    first.Baja = "../  /  ";
    gim::StoreRecords(t.ctx, t.ctx.st.PersonnelFileName, std::vector<TPersonnelRecord>{first, second});
    LoadPersonnel(t.ctx);

    t.ui.ExpectCard(QStringLiteral("ALTA PARTES DE TRABAJO"))
        .Set("Matricula", "000001")
        .Set("Codigo", "M1")
        .Set("dia", "26/48/3")
        .Set("Tipo", "IF")
        .Set("Tinter", "60")
        .Set("Descripcion", "Curso de soldadura")
        .ControlPress("SalvaPartes");
    // The next card repeats the line and asks only for the operator.
    t.ui.ExpectCard(QStringLiteral("ALTA PARTES DE TRABAJO"))
        .ExpectValue("Matricula", "#")
        .ExpectValue("Codigo", "M1")
        .ExpectValue("Tipo", "IF")
        .ExpectValue("Tinter", "60")
        .ExpectValue("Descripcion", "Curso de soldadura")
        .Set("Matricula", "000002")
        .Press("SalvaPartes");
    // A plain save starts the next card blank, operator kept.
    t.ui.ExpectCard(QStringLiteral("ALTA PARTES DE TRABAJO"))
        .ExpectValue("Matricula", "000002")
        .ExpectValue("Codigo", "#")
        .ExpectValue("Tipo", "")
        .Press("BitBtn1");
    EXPECT_TRUE(RunMenu("Partes > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);

    // Sorted afterwards, the highest operator of the day first; training posts nothing else.
    EXPECT_EQ(t.ReadFile(kLines), RecordOf(TrainingLine("000002")) + RecordOf(TrainingLine("000001")));
    EXPECT_FALSE(t.Exists(kBreakdowns));
    EXPECT_FALSE(t.Exists(kRevisions));
    EXPECT_FALSE(t.Exists(kEntries));
    EXPECT_EQ(t.ctx.st.ActionCode, QString());
}

// A refused value, operator or machine keeps the card open on its field: nothing is stored or posted.
TEST_F(WorkReportPostingTest, ARefusedLineKeepsItsCardOpenAndLeavesEveryFileAsItWas)
{
    gim::StoreRecords(t.ctx, kLines, std::vector<TWorkReportRecord>{Line("C", 60, 0, "", "", "26/47/1")});
    gim::StoreRecords<TPlannedRepairRecord>(t.ctx, kRepairs, {Repair("M1", "Fuga", "000001", "P", 150)});
    Post(Line("VM", 90, 30));
    const std::string before = t.ReadFile(kLines) + t.ReadFile(kRepairs) + t.ReadFile(kBreakdowns);
    const char* minutes = "TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS";
    const char* date = "VALOR NO VÁLIDO EN FECHA: UNA FECHA aa/ss/d CON SU SEMANA Y SU DÍA DE LA SEMANA";
    const char* calendar = "VALOR NO VÁLIDO EN CALENDARIO: UNA FECHA DEL CALENDARIO dd/mm/aaaa";
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"RE", "Tinter", "70000", minutes},
        {"RE", "Tinter", "-45", minutes},
        {"VM", "Tparo", "4x", minutes},
        {"AL", "Tparo", "1,5", "UNIDADES FUERA DE LÍMITE: DE 0 A 2147483647"},
        {"ALB", "Tparo", "21474836,48", "COSTE FUERA DE LÍMITE: DE 0,00 A 21474836,47 €"},
        {"VM", "dia", "", date},
        {"VM", "dia", "26/77/9", date},
        {"VM", "Calendario", "31/02/2026", calendar},
        {"VM", "Matricula", "000009", "OPERARIO NO DADO DE ALTA"},
        {"VM", "Codigo", "M9", "NO EXISTE LA MÁQUINA O TIPO Mto./Hora\r              ANULADA ALTA"}};
    for (const auto& [tipo, field, typed, message] : cases) {
        SCOPED_TRACE(typed);
        CardScript& card = t.ui.ExpectCard(QStringLiteral("ALTA PARTES DE TRABAJO"));
        card.Set("Matricula", "000001").Set("Codigo", "M1").Set("dia", "26/48/3").Set("Tipo", tipo);
        card.Set(field, typed).Press("SalvaPartes").ExpectFocus(field).Escape();
        t.ui.ExpectMessage(QString::fromUtf8(message));
        EXPECT_TRUE(RunMenu("Partes > Alta"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(t.ReadFile(kLines) + t.ReadFile(kRepairs) + t.ReadFile(kBreakdowns), before);
    }
}

// 29/12/2026 is week 53 of 2026, written "27/00/2": it is filed in week 0 of 2027, (27 - 24) * 52.
TEST_F(WorkReportPostingTest, AWeek53LineIsFiledInTheYearItsWeekCodeNames)
{
    Post(Line("VM", 90, 30, "", "", "27/00/2"));
    EXPECT_EQ(t.ReadFile(kBreakdowns).substr(10, 4), std::string("\x9C\x00\x01", 3) + "2");
}

// The silent refusals of an automatic merge used to carry over to the cards of a later Partes > Alta.
TEST_F(WorkReportPostingTest, AModeLeftByAnAutomaticMergeDoesNotSilenceTheCards)
{
    w().MergeMode = QStringLiteral("A");
    t.ui.ExpectCard(QStringLiteral("ALTA PARTES DE TRABAJO"))
        .Set("Matricula", "000009")
        .Set("Codigo", "M1")
        .Set("dia", "26/48/3")
        .Set("Tipo", "VM")
        .Set("Tinter", "90")
        .Press("SalvaPartes")
        .Press("BitBtn1");
    t.ui.ExpectMessage(QStringLiteral("OPERARIO NO DADO DE ALTA"));
    EXPECT_TRUE(RunMenu("Partes > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(kLines));
    EXPECT_FALSE(t.Exists(kBreakdowns));
}

} // namespace
} // namespace gim

namespace gim {
namespace {

// A program killed at random instants while it posts a series of breakdown, repair, revision and store
// lines: after each next start every line it reported stored is there with everything it posts, no line is
// there in part or twice, and no journal is left.
TEST_F(WorkReportPostingTest, AKillWhilePostingLeavesEveryLineWholeOrAbsent)
{
    gim::StoreRecords(t.ctx, kParts, std::vector<TSparePartRecord>{Part("Rodamiento 6204", 100000)});
    const char* const types[] = {"VM", "RE", "PM", "AL"};
    const auto size = [&](const QString& name, std::size_t record) {
        return t.ReadFile(name).size() / record;
    };
    std::mt19937 random(20261207);
    std::size_t acknowledged = 0;
    for (int trial = 0; trial < 200; ++trial) {
        acknowledged += test::KillWhileRunning(random, 30000, [&](int channel) {
                            for (std::size_t n = size(kLines, sizeof(TWorkReportRecord));; ++n) {
                                w().CurrentWorkReport =
                                    Line(types[n % 4], 30, 5, "", n % 4 == 3 ? "M1      MEROD007" : "");
                                w().LongDescription = QStringLiteral("Rodamiento roto");
                                if (!RunCommand(t.ctx, {}, [&] { StoreAndPostWorkReport(t.ctx, true); }) ||
                                    ::write(channel, "+", 1) < 0)
                                    ::_exit(2);
                            }
                        }).size();

        RecoverJournal(t.ctx); // the next start
        const std::size_t lines = size(kLines, sizeof(TWorkReportRecord));
        ASSERT_GE(lines, acknowledged) << "trial " << trial;
        // Lines 0, 4, 8... are breakdowns, 2, 6... revisions, 3, 7... store exits of five units each.
        ASSERT_EQ(size(kBreakdowns, sizeof(TBreakdownRecord)), (lines + 3) / 4) << "trial " << trial;
        ASSERT_EQ(size(kRevisions, sizeof(TRevisionRecord)), (lines + 1) / 4) << "trial " << trial;
        const std::size_t exits = lines / 4;
        ASSERT_EQ(size(kMovements, sizeof(TStoreMovementRecord)), exits) << "trial " << trial;
        const auto parts = LoadRecords<TSparePartRecord>(t.ctx, kParts);
        ASSERT_EQ(parts.at(0).Exist.get(), 100000 - 5 * static_cast<std::int32_t>(exits))
            << "trial " << trial;
        ASSERT_EQ(t.ReadFile(QStringLiteral("PORTAL.JNL")), "") << "trial " << trial;
        acknowledged = lines;
    }
    EXPECT_GT(acknowledged, 200u);
}

} // namespace
} // namespace gim

namespace gim {
namespace {

// A program killed at each file call of a store line's posting in turn: after the next start the line is
// there with its movement and its stock, or nothing of it is.
TEST_F(WorkReportPostingTest, AKillAtEveryFileCallOfAPostingLeavesTheLineWholeOrAbsent)
{
    gim::StoreRecords(t.ctx, kParts, std::vector<TSparePartRecord>{Part("Rodamiento 6204", 10)});
    int calls = 0;
    EXPECT_EQ(test::KillAtEveryFileCall(
                  t, {kLines, kParts, kMovements},
                  [&] {
                      w().CurrentWorkReport = Line("AL", 1250, 3, "", "M1      MEROD007");
                      w().LongDescription = QStringLiteral("Rodamiento roto");
                      RunCommand(t.ctx, {}, [&] { StoreAndPostWorkReport(t.ctx, true); });
                  },
                  &calls),
              "");
    EXPECT_GT(calls, 5);
}

} // namespace
} // namespace gim
