#include "core/environment.h"
#include "corrective/corrective_fixture.h"
#include "corrective/planned_repairs.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/procedures.h"
#include "store/store_movements.h"
#include "workreports/work_report_card.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"

#include <QDir>
#include <gtest/gtest.h>
#include <string>

namespace gim {
namespace {

const QString kEditCard = QStringLiteral("EDICION DE PARTES DE TRABAJO");
const QString kNewCard = QStringLiteral("ALTA PARTES DE TRABAJO");
// The descriptions every card offers, in their order.
const char* const kPresets =
    "Cumplimentar parte diario actividad.|Gama Realizada Completamente sin anomalias.|"
    "Realizacción completa de Ruta de Mto.|Realización parcial de la Gama sin "
    "anomalias.|Ruta de Mto. realizada parcialmente.";

std::string LineBytes(const TWorkReportRecord& r)
{
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

class WorkReportCardTest : public test::CorrectiveTest
{
protected:
    WorkReportCardTest()
    {
        t.ctx.st.FirstYear = 20;
        t.ctx.st.InteractiveFlag = 1;
        BuildFirmFileNames(t.ctx);
        TPersonnelRecord person{};
        person.Matricula = "000101";
        person.Apellidos = "Gil";
        StoreRecords(t.ctx, t.ctx.st.PersonnelFileName, std::vector<TPersonnelRecord>{person});
    }

    static TWorkReportRecord Line(const char* tipo, int tparo, int tinter, const char* day = "26/50/1")
    {
        TWorkReportRecord r{};
        r.Matricula = "000101";
        r.Codigo = "M1";
        r.Tipo = tipo;
        r.TIPOH = "C";
        r.dia = day;
        r.Descripcion = "Engrase";
        r.Tparo = tparo;
        r.Tinter = tinter;
        return r;
    }
    int Open(TWorkReportRecord& rec, const char* mode)
    {
        t.ctx.st.ActionCode = QString::fromLatin1(mode);
        return OpenWorkReportWindow(t.ctx, rec);
    }
    WorkReportsState& W() { return WorkReports(t.ctx); }
};

TEST_F(WorkReportCardTest, AStoreLineShowsItsCostAndSavedUnchangedKeepsEveryByte)
{
    TWorkReportRecord rec = Line("AL", 3, 1250);
    rec.SparePart = "PRE     01001002";
    const TWorkReportRecord before = rec;
    t.ui.ExpectCard(kEditCard)
        .ExpectValue("Tinter", "12,50")
        .ExpectValue("Tparo", "3")
        .ExpectValue("Label6", "Costes (0,00 €) :")
        .ExpectValue("RepCode", "PRE     ")
        .ExpectValue("RepPieza", "01001002")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(LineBytes(rec), LineBytes(before));
    EXPECT_EQ(t.ctx.st.AnswerCode, "M");
    EXPECT_EQ(W().TypeValidFlag, 1);
    // What the posting books for the operator.
    const TPersonnelEntryRecord& entry = W().LineEntry;
    EXPECT_EQ(entry.Matricula.str(), "000101");
    EXPECT_EQ(entry.Type.str(), "C");
    EXPECT_EQ(entry.Date.str(), "26/50/1");
    EXPECT_EQ(entry.Text.str(), "Engrase");
    EXPECT_EQ(entry.Minutes.get(), 1250u);
}

TEST_F(WorkReportCardTest, ADeliveryNoteShowsItsCostFromTheStopFieldWithoutTheTimeFields)
{
    TWorkReportRecord rec = Line("ALB", 4575, 0);
    t.ui.ExpectCard(kEditCard)
        .ExpectValue("Tparo", "45,75")
        .ExpectValue("Label7", "Coste (0,00 €) :")
        .Inspect([](const CardState& s) {
            for (const char* name : {"Tinter", "Label6", "Label12", "TIPOH"})
                EXPECT_EQ(s.hidden.count(QString::fromLatin1(name)), 1u) << name;
        })
        .Set("Tparo", "46.5")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.Tparo.get(), 4650);
    EXPECT_EQ(rec.Tinter.get(), 0);
}

TEST_F(WorkReportCardTest, TypesAreNamedUpperCasedAndCheckedAgainstTheirTables)
{
    TWorkReportRecord rec = Line("C", 0, 30);
    CardScript& card = t.ui.ExpectCard(kEditCard);
    card.Set("Tipo", "rm").ExpectValue("Label9", "Reparación Mecánica");
    const std::vector<std::pair<const char*, const char*>> hours = {{"C", "Horas Normales"},
                                                                    {"E", "Horas Extras Nornales"},
                                                                    {"EC", "Horas Extras Compensable"},
                                                                    {"V", "Vacaciones"},
                                                                    {"F", "Formación"},
                                                                    {"EF", "Horas Extras Festivas"},
                                                                    {"EN", "Horas Extras Nocturnas"},
                                                                    {"N", "Horas Nocturnas Nornales"},
                                                                    {"P", "Permiso"},
                                                                    {"B", "Baja Laboral"},
                                                                    {"X", "Tipo Inexistente"},
                                                                    {"en", "Horas Extras Nocturnas"}};
    for (const auto& [code, text] : hours)
        card.Set("TIPOH", code).ExpectValue("Label13", QString::fromUtf8(text));
    card.Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.Tipo.str(), "RM");
    EXPECT_EQ(rec.TIPOH.str(), "EN");
    EXPECT_EQ(W().TypeValidFlag, 1);

    // An activity or an hour type outside the tables leaves the line refused by the add loop.
    for (const auto& [tipo, tipoh] : {std::pair{"QQ", "C"}, std::pair{"RM", "X"}}) {
        TWorkReportRecord other = Line("C", 0, 30);
        t.ui.ExpectCard(kEditCard)
            .Set("Tipo", tipo)
            .ExpectValue("Label9", tipo == std::string("QQ") ? "Tipo Inexistente" : "Reparación Mecánica")
            .Set("TIPOH", tipoh)
            .Press("SalvaPartes");
        EXPECT_EQ(Open(other, "4"), CardResult::Save);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(W().TypeValidFlag, 0) << tipo << tipoh;
    }
}

TEST_F(WorkReportCardTest, LeavingTheCardKeepsTheLineButMarksItUnsaved)
{
    TWorkReportRecord rec = Line("RM", 5, 30);
    const TWorkReportRecord before = rec;
    TPersonnelEntryRecord& entry = W().LineEntry;
    entry.Matricula = "000777";
    entry.Type = "EF";
    t.ctx.st.RunFlag = 1;
    t.ui.ExpectCard(kEditCard)
        .Set("Descripcion", "Otra cosa")
        .Set("Tinter", "99")
        .Set("TIPOH", "V")
        .Press("BitBtn1");
    EXPECT_EQ(Open(rec, "4"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
    TWorkReportRecord expected = before;
    expected.Matricula = "#";
    EXPECT_EQ(LineBytes(rec), LineBytes(expected));
    EXPECT_EQ(t.ctx.st.AnswerCode, "S");
    EXPECT_EQ(W().AddLoopAnswer, "N");
    EXPECT_EQ(t.ctx.st.RunFlag, 0);
    EXPECT_EQ(entry.Matricula.str(), "000777");
    EXPECT_EQ(entry.Type.str(), "EF");
    EXPECT_EQ(W().LongDescription, "Otra cosa");

    // The close box does the same.
    rec = before;
    t.ui.ExpectCard(kEditCard).Set("Tinter", "1").Cancel();
    EXPECT_EQ(Open(rec, "4"), CardResult::Exit);
    EXPECT_EQ(LineBytes(rec), LineBytes(expected));

    // Borrar: the line is for the caller to erase; no expedient entry follows.
    rec = before;
    t.ui.ExpectCard(kEditCard).Press("BorraPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Delete);
    EXPECT_EQ(t.ctx.st.AnswerCode, "B");
    EXPECT_EQ(entry.Type.str(), "#");
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, WithoutAUserTheCardIsNotShownAndAnImportEndsTheLoop)
{
    t.ctx.st.InteractiveFlag = 0;
    TWorkReportRecord rec = Line("RM", 5, 30);
    const TWorkReportRecord before = rec;
    W().AddLoopAnswer = "S";
    EXPECT_EQ(Open(rec, "i"), CardResult::None);
    EXPECT_EQ(W().AddLoopAnswer, "N");
    EXPECT_EQ(LineBytes(rec), LineBytes(before));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, ARevisionIsPlannedOnlyAfterARepairThatTookTime)
{
    TWorkReportRecord breakdown = Line("VM", 0, 0);
    t.ui.ExpectCard(kEditCard)
        .Set("Tinter", "30")
        .Set("Tparo", "10")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.hidden.count("PlanRev"), 1u); })
        .Press("SalvaPartes");
    EXPECT_EQ(Open(breakdown, "4"), CardResult::Save);
    EXPECT_EQ(W().PlanRevisionFlag, 0);
    EXPECT_EQ(breakdown.Tinter.get(), 30);

    TWorkReportRecord repair = Line("RM", 0, 0);
    t.ui.ExpectCard(kEditCard).Set("Tinter", "30").Focus("Tparo").Set("PlanRev", "1").Press("SalvaPartes");
    EXPECT_EQ(Open(repair, "4"), CardResult::Save);
    EXPECT_EQ(W().PlanRevisionFlag, 1);

    // Ticked on a repair, then the type changed to a breakdown: no revision.
    TWorkReportRecord changed = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard).Set("PlanRev", "1").Set("Tipo", "VM").Press("SalvaPartes");
    EXPECT_EQ(Open(changed, "4"), CardResult::Save);
    EXPECT_EQ(W().PlanRevisionFlag, 0);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, TheCaptionTotalsTheOperatorsMinutesOfTheDay)
{
    const auto line = [](const char* day, const char* who, const char* tipo, int minutes) {
        TWorkReportRecord r = Line(tipo, 0, minutes, day);
        r.Matricula = who;
        return WorkReportEntry{r, 0};
    };
    // Latest first, as loaded.
    t.ctx.st.WorkReportList = {line("26/50/2", "000101", "C", 60), line("26/50/1", "000102", "C", 35),
                               line("26/50/1", "000101", "AL", 5000), line("26/50/1", "000101", "RM", 90),
                               line("26/49/5", "000101", "C", 400)};
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Set("Matricula", "000101")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.caption, "PARTE DIARIO DE ACTIVIDAD          Tiempo trabajado en el día 01 : 30");
        })
        .Set("Matricula", "*")
        .ExpectValue("NoMatricula", "Indistinto")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.caption, "PARTE DIARIO DE ACTIVIDAD          Tiempo trabajado en el día 02 : 05");
        })
        // The line's own 30 minutes come off while it is typed anew.
        .Set("Tinter", "45")
        .ExpectValue("Label14", "00 : 45")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.caption, "Tiempo Acumulado : 02 : 20"); })
        .Set("Tparo", "0")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(W().DayMinutesTotal, 140);
}

TEST_F(WorkReportCardTest, AChosenOpenRepairKeepsOnlyItsTextAndIsClosedBySave)
{
    const auto repair = [](const char* machine, const char* state, const char* text) {
        TPlannedRepairRecord r{};
        r.Code = machine;
        r.State = state;
        r.Description = QString::fromUtf8(text);
        r.Executor = "000101 JUAN PEREZ";
        return PlannedRepairEntry{r, 0};
    };
    PlannedRepairs(t.ctx).PlannedRepairList = {
        repair("M1", "P", "Cambiar rodamiento"), repair("M1", "E", "Hecha ya"),
        repair("M2", "P", "Otra máquina"), repair("M1", "M", "Falta material")};
    TWorkReportRecord rec = Line("RM", 0, 0);
    t.ui.ExpectCard(kEditCard)
        .Set("Tinter", "45")
        .Focus("Descripcion")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.choices.at("Descripcion").join('|'),
                      "Cambiar rodamiento\t000101 JUAN PEREZ|Falta material\t000101 JUAN PEREZ");
        })
        .Set("Descripcion", "Cambiar rodamiento\t000101 JUAN PEREZ")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.Descripcion.str(), "Cambiar rodamiento");
    EXPECT_EQ(W().LongDescription, "Cambiar rodamiento");
    // The choice shows 10 characters of the executor: not the repair's own, so it is in progress.
    EXPECT_EQ(PlannedRepairs(t.ctx).PlannedRepairList.at(0).rec.State.str(), "T");
    EXPECT_EQ(PlannedRepairs(t.ctx).PlannedRepairList.at(0).rec.Code.str(), "M1");
    EXPECT_EQ(W().ChosenRepairCloses.size(), 1u);
    EXPECT_TRUE(W().RememberedDescriptions.size() == 1u &&
                W().RememberedDescriptions.front().first == "Cambiar rodamiento");

    // The next card offers the presets again after what was remembered.
    TWorkReportRecord next = Line("C", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Focus("Descripcion")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.choices.at("Descripcion").join('|'),
                      QStringLiteral("Cambiar rodamiento|") + QString::fromUtf8(kPresets));
        })
        .Press("BitBtn1");
    EXPECT_EQ(Open(next, "4"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(W().RememberedDescriptions.size(), 6u);

    // A repair's description typed in full names it too, with no executor; a line without time names none.
    TWorkReportRecord typed = Line("RM", 0, 0);
    t.ui.ExpectCard(kEditCard).Set("Tinter", "30").Set("Descripcion", "Falta material").Press("SalvaPartes");
    EXPECT_EQ(Open(typed, "4"), CardResult::Save);
    EXPECT_EQ(PlannedRepairs(t.ctx).PlannedRepairList.at(3).rec.State.str(), "T");
    ReopenChosenRepairs(t.ctx);
    EXPECT_EQ(PlannedRepairs(t.ctx).PlannedRepairList.at(3).rec.State.str(), "M");
    TWorkReportRecord untimed = Line("RM", 0, 0);
    t.ui.ExpectCard(kEditCard).Set("Descripcion", "Falta material").Press("SalvaPartes");
    EXPECT_EQ(Open(untimed, "4"), CardResult::Save);
    EXPECT_TRUE(W().ChosenRepairCloses.empty());
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, AShortPartCodeIsPaddedSoThePieceStartsAtTheNinthCharacter)
{
    TWorkReportRecord rec = Line("AL", 2, 100);
    t.ui.ExpectCard(kEditCard).Set("RepCode", "PRE").Set("RepPieza", "01001002").Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.SparePart.str(), "PRE     01001002");
    EXPECT_EQ(W().StoreLine.Codigo.str(), "PRE");
}

TEST_F(WorkReportCardTest, AStorePartFillsTheMovementTheNameAndTheUnitCost)
{
    const auto part = [](const char* code, const char* piece, const char* name, int value) {
        TSparePartRecord r{};
        r.Codigo = code;
        r.Equipo = "01";
        r.Util = "001";
        r.Pieza = piece;
        r.Nombre = name;
        r.Valor = value;
        return r;
    };
    StoreRecords(t.ctx, "PORTAL.RPW",
                 std::vector<TSparePartRecord>{part("OTRA", "002", "Otra", 1),
                                               part("PRE", "002", "Rodamiento 6204", 1575),
                                               part("PRE", "003", "Retén", 300)});
    TWorkReportRecord rec = Line("", 0, 0);
    rec.Descripcion = "";
    t.ui.ExpectCard(kNewCard)
        .Set("Tipo", "AL")
        .Set("RepCode", "PRE")
        .Set("RepPieza", "01001002")
        .Set("Tparo", "3")
        .ExpectValue("Descripcion", "Rodamiento 6204")
        .ExpectValue("Tinter", "15,75")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.choices.at("Orden").join('|'), "01001002|01001003"); })
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "1"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    const TStoreMovementRecord& m = W().StoreLine;
    EXPECT_EQ(m.Codigo.str(), "PRE");
    EXPECT_EQ(m.Equipo.str(), "01");
    EXPECT_EQ(m.Util.str(), "001");
    EXPECT_EQ(m.Pieza.str(), "002");
    EXPECT_EQ(m.Destination.str(), "M1");
    EXPECT_EQ(m.User.str(), "000101");
    EXPECT_EQ(m.Quantity.get(), 3);
    EXPECT_EQ(m.AbsoluteWeek, 106); // (26 - 20) * 52 + 50 = 362, one byte
    EXPECT_EQ(rec.Tipo.str(), "AL");
    EXPECT_EQ(rec.Tinter.get(), 1575);
    EXPECT_EQ(rec.Tparo.get(), 3);
    EXPECT_EQ(rec.SparePart.str(), "PRE     01001002");
    EXPECT_EQ(rec.Descripcion.str(), "Rodamiento 6204");

    // A part the store does not know.
    TWorkReportRecord unknown = Line("", 0, 0);
    t.ui.ExpectCard(kNewCard)
        .Set("Tipo", "AL")
        .Set("RepCode", "PRE")
        .Set("RepPieza", "09009009")
        .Focus("Tparo")
        .ExpectValue("Descripcion", "REPUESTO NO CODIFICADO EN PRE")
        .ExpectValue("Tparo", "0")
        .Press("BitBtn1");
    EXPECT_EQ(Open(unknown, "1"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
}

// An amount is read as what the type the card shows at the end makes it, up to its highest value.
TEST_F(WorkReportCardTest, AnAmountIsKeptUpToTheHighestValueItsTypeMakesItHold)
{
    TWorkReportRecord note = Line("RM", 0, 30);
    t.ui.ExpectCard(kNewCard).Set("Tipo", "ALB").Set("Tparo", "21474836,47").Press("SalvaPartes");
    EXPECT_EQ(Open(note, "1"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(note.Tparo.get(), 2147483647);
}

TEST_F(WorkReportCardTest, AMissingBudgetMayBeCreatedFromTheCardWithTheCodesKept)
{
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Set("Presup", "1")
        .Set("Orden", "0")
        .ExpectValue("Label11", "Alineación eje")
        .Press("SalvaPartes");
    t.ui.ExpectInput("REPARACIONES DE MAQUINAS", QString::fromUtf8("Nº de Presupuesto de Reparación "), "7");
    t.ui.ExpectMessage("PRESUPUESTO NO DEFINIDO");
    t.ui.ExpectInput(QString::fromUtf8("Presupuestos de Reparación"), "Alta de Presupuesto ", "S");
    t.ui.ExpectCard("Presupuesto REPARACION PORTAL")
        .Set("Seccion", "M1")
        .Set("Descripcion", QString::fromUtf8("Alineación eje"))
        .Press("Salvar");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TWorkOrderRecord> budgets = Orders("PORTAL.PRO");
    ASSERT_EQ(budgets.size(), 1u);
    EXPECT_EQ(budgets[0].Description.str(), QString::fromUtf8("Alineación eje"));
    EXPECT_EQ(rec.Orden.str(), "0");
    EXPECT_EQ(W().BudgetAssignedFlag, 1);
    // The nested calls leave the card's codes as they were.
    EXPECT_EQ(t.ctx.st.ActionCode, "4");
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 1);
    EXPECT_EQ(t.ctx.st.AnswerCode, "M");
}

TEST_F(WorkReportCardTest, APhotoTakesTheFirstFreeNameOfTheMachine)
{
    const QString folder = data + "/PARTES/PORTAL";
    QDir().mkpath(folder);
    for (const char* name : {"M1#0.jpg", "M1#1.jpg", "M2#2.jpg"})
        t.WriteFile(QStringLiteral("PARTES/PORTAL/") + name, "foto");
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kNewCard)
        .Set("Foto", "1")
        .ExpectValue("RepCode", "M1")
        .ExpectValue("RepPieza", "#2.jpg")
        .ExpectValue("Label10", "Fichero Foto:")
        .ExpectValue("Label11", folder + "/M1#2.jpg")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "1"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.SparePart.str(), "M1#2.jpg");
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 1);
    EXPECT_EQ(t.ctx.st.PhotoFileName, "M1#2.jpg");

    // Unticked, the part fields are cleared again.
    TWorkReportRecord again = Line("RM", 0, 30);
    t.ui.ExpectCard(kNewCard)
        .Set("Foto", "1")
        .Set("Foto", "0")
        .ExpectValue("RepCode", "")
        .ExpectValue("Label10", "Repesto:")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(again, "1"), CardResult::Save);
    EXPECT_EQ(again.SparePart.str(), "");
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);
    EXPECT_SCRIPT_DONE(t.ui);

    // A machine code with a slash names its photos with "_", as they are stored: the count goes past them.
    t.WriteFile(QStringLiteral("PARTES/PORTAL/A_B#0.jpg"), "foto");
    TWorkReportRecord slashed = Line("RM", 0, 30);
    slashed.Codigo = "A/B";
    t.ui.ExpectCard(kNewCard)
        .Set("Foto", "1")
        .ExpectValue("RepPieza", "#1.jpg")
        .ExpectValue("Label11", folder + "/A_B#1.jpg")
        .Press("BitBtn1");
    EXPECT_EQ(Open(slashed, "1"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, CtrlSpaceOnSaveKeepsTheEntryForTheNextCard)
{
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard).ControlPress("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_EQ(W().KeepEntryMark, 1);
    W().KeepEntryMark = 0;
    t.ui.ExpectCard(kEditCard).Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_EQ(W().KeepEntryMark, 0);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, LeavingTheTypeGoesToTheTimeOrWithShiftTabBackToTheMachine)
{
    TWorkReportRecord rec = Line("C", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Set("Tipo", "RM")
        .Focus("TIPOH")
        .ExpectFocus("Tinter")
        .Set("Tipo", "RE")
        .ShiftKey("Tipo")
        .Focus("Calendario")
        .ExpectFocus("Codigo")
        // Typing without Shift ends the back-step.
        .Set("Tipo", "RM")
        .ShiftKey("Tipo")
        .Set("Tipo", "RI")
        .Focus("Calendario")
        .ExpectFocus("Tinter")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.Tipo.str(), "RI");
}

TEST_F(WorkReportCardTest, TheDescriptionListOffersThePresetsAndTheEnvironmentsFile)
{
    t.WriteFile("PORTAL.txt", "Revisi\xf3n de bomba\r\nLimpieza filtros\r\n");
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Focus("Descripcion")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.choices.at("Descripcion").join('|'),
                      QString::fromUtf8(kPresets) + QString::fromUtf8("|Revisión de bomba|Limpieza filtros"));
        })
        .Set("Descripcion", "Nueva tarea")
        .Focus("Tparo")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(W().RememberedDescriptions.size(), 8u);
    EXPECT_EQ(W().RememberedDescriptions.front().first, "Nueva tarea");
    EXPECT_EQ(W().RememberedDescriptions.front().second, "RM");
}

TEST_F(WorkReportCardTest, EachModeHasItsCaptionButtonsAndControls)
{
    struct Case
    {
        const char* mode;
        const char* caption;
        const char* save; // "" = the card's own "Sal&var"
        bool erase;       // BorraPartes shown
        bool photo;       // Foto shown
        const char* calendar;
    };
    t.ctx.st.DateText = "24/12/2026";
    const std::vector<Case> cases = {
        {"1", "ALTA PARTES DE TRABAJO", "", false, true, "24/12/2026"},
        {"2", "LISTADO SELECTIVO PARTES DE TRABAJO", "&BUSCAR", false, false, "24/12/2026"},
        {"3", "LISTADO SELECTIVO ORDENES DE TRABAJO", "&BUSCAR", false, true, "24/12/2026"},
        {"4", "EDICION DE PARTES DE TRABAJO", "Sal&var/Buscar", true, true, "30/11/2026"},
        {"i", "PARTE DIARIO DE ACTIVIDAD", "", false, true, "30/11/2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        TWorkReportRecord rec = Line("RM", 0, 30, "26/49/1");
        t.ui.ExpectCard(QString::fromLatin1(c.caption))
            .ExpectValue("Calendario", c.calendar)
            .Inspect([&c](const CardState& s) {
                const auto save = s.captions.find("SalvaPartes");
                EXPECT_EQ(save == s.captions.end() ? QString() : save->second, c.save);
                EXPECT_EQ(s.hidden.count("BorraPartes"), c.erase ? 0u : 1u);
                EXPECT_EQ(s.hidden.count("Foto"), c.photo ? 0u : 1u);
                EXPECT_EQ(s.hidden.count("NMQ"), c.mode == std::string("4") ? 1u : 0u);
                EXPECT_EQ(s.hidden.count("RepPieza"), c.mode == std::string("i") ? 0u : 1u);
            })
            .Press("BitBtn1");
        EXPECT_EQ(Open(rec, c.mode), CardResult::Exit);
        EXPECT_SCRIPT_DONE(t.ui);
    }
}

TEST_F(WorkReportCardTest, TheWeekDateAndTheCalendarFollowEachOther)
{
    t.ctx.st.DateText = "";
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kNewCard)
        .ExpectValue("Calendario", "07/12/2026") // today
        .PickDate("Calendario", QDate(2026, 12, 24))
        .ExpectValue("dia", "26/52/4")
        .Set("dia", "26491")
        .Focus("Tipo")
        .ExpectValue("Calendario", "30/11/2026")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "1"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.dia.str(), "26/49/1");
}

TEST_F(WorkReportCardTest, AWorkOrderIsAssignedAndClosedFromTheCardWithItsFileUntouched)
{
    StoreOrders({Order(0, "P"), Order(1, "T", "M1", "26/49/1", "8:00", "Cambio de correa")});
    const std::string orders = t.ReadFile("PORTAL.OTR");
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Focus("Orden")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.choices.at("Orden").join('|'), "0|1");
            EXPECT_EQ(s.choices.at("Descripcion").join('|'), "Fuga de aceite|Cambio de correa");
        })
        .Set("ORDENT", "1")
        .ExpectValue("Orden", "1")
        .ExpectValue("Label11", "Cambio de correa")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.hidden.count("Presup"), 1u);
            EXPECT_EQ(s.captions.at("RepFin"), QString::fromUtf8("Cierre Orden Trabajo"));
            EXPECT_EQ(s.caption, "EDICION DE PARTES DE TRABAJO Cambio de correa");
        })
        .Set("RepFin", "1")
        .Press("SalvaPartes");
    t.ui.ExpectInput("REPARACIONES DE MAQUINAS", QString::fromUtf8("Nº de Orden de Trabajo "), "1");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.Orden.str(), "1");
    EXPECT_EQ(W().OrderAssignedFlag, 1);
    EXPECT_EQ(W().OrderFinishedFlag, 1);
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 1);
    EXPECT_EQ(t.ctx.st.ActionCode, "4");
    EXPECT_EQ(t.ReadFile("PORTAL.OTR"), orders);

    // A double-click takes the assignment back.
    TWorkReportRecord other = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Set("ORDENT", "1")
        .DoubleClick("ORDENT")
        .ExpectValue("Orden", "")
        .ExpectValue("Label11", "")
        .ExpectValue("ORDENT", "0")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.hidden.count("Presup"), 0u); })
        .Press("SalvaPartes");
    EXPECT_EQ(Open(other, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(W().OrderAssignedFlag, 0);
    EXPECT_EQ(W().OrderFinishedFlag, 0);
    EXPECT_EQ(other.Orden.str(), "");

    // The next card, with no order ticked, leaves its number unassigned: it is no order to start or close.
    TWorkReportRecord assigned = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard).Set("ORDENT", "1").Set("RepFin", "1").Press("SalvaPartes");
    EXPECT_EQ(Open(assigned, "4"), CardResult::Save);
    EXPECT_EQ(assigned.Orden.str(), "1");
    EXPECT_EQ(W().OrderAssignedFlag, 1);
    EXPECT_EQ(W().OrderFinishedFlag, 1);
    TWorkReportRecord next = Line("PTF", 0, 0);
    t.ui.ExpectCard(kEditCard).Set("Orden", "0").Set("Tinter", "5").Press("SalvaPartes");
    EXPECT_EQ(Open(next, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(next.Orden.str(), "0");
    EXPECT_EQ(W().OrderAssignedFlag, 0);
    EXPECT_EQ(W().OrderFinishedFlag, 0);
    EXPECT_EQ(t.ReadFile("PORTAL.OTR"), orders);
}

TEST_F(WorkReportCardTest, AnOrderReferenceThatIsNoNumberIsExternalAndOpensNoOrder)
{
    StoreOrders({Order(0, "P"), Order(1, "T", "M1", "26/49/1", "8:00", "Cambio de correa")});
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Set("Orden", "1")
        .ExpectValue("Label11", "Cambio de correa")
        .Set("Orden", "A7")
        .ExpectValue("Label11", "REFERENCIA EXTERNA")
        // No order is open: ticking the box asks which one.
        .Set("ORDENT", "1")
        .ExpectValue("Orden", "1")
        .ExpectValue("Label11", "Cambio de correa")
        .Press("SalvaPartes");
    t.ui.ExpectInput("REPARACIONES DE MAQUINAS", QString::fromUtf8("Nº de Orden de Trabajo "), "1");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(rec.Orden.str(), "1");
    EXPECT_EQ(W().OrderAssignedFlag, 1);
}

TEST_F(WorkReportCardTest, ANewLineForAnUnknownMachineOffersToEnterTheMachine)
{
    TWorkReportRecord rec = Line("", 0, 0);
    rec.Codigo = "M9";
    t.ui.ExpectCard(kNewCard)
        .ExpectValue("NoMaquina", "NO EXISTE LA MAQUINA")
        .Set("Tipo", "RM")
        .Focus("TIPOH")
        .ExpectValue("NoMaquina", "Bomba nueva")
        .Press("SalvaPartes");
    t.ui.ExpectCard("FICHA DE CODIFICACION DE MAQUINAS")
        .ExpectValue("CODIGO", "M9")
        .ExpectValue("DENOMINACION", "..")
        .Set("DENOMINACION", "Bomba nueva")
        .Press("Button1");
    t.ui.ExpectCardCancel("FICHA DE CODIFICACION DE MAQUINAS");
    EXPECT_EQ(Open(rec, "1"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(LookUpMachine(t.ctx, "M9").Denominacion.str(), "Bomba nueva");
    EXPECT_EQ(t.ctx.st.ActionCode, "1");
    EXPECT_EQ(rec.Codigo.str(), "M9");

    // A new card still without its machine ("#") offers no machine "#" to enter.
    TWorkReportRecord blank = Line("", 0, 0);
    blank.Codigo = "#";
    t.ui.ExpectCard(kNewCard)
        .ExpectValue("NoMaquina", "NO EXISTE LA MAQUINA")
        .Set("Tipo", "RM")
        .Focus("TIPOH")
        .ExpectFocus("Tinter")
        .Press("BitBtn1");
    EXPECT_EQ(Open(blank, "1"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(LookUpMachine(t.ctx, "#").Denominacion.str(), "NO EXISTE LA MAQUINA");
}

TEST_F(WorkReportCardTest, ADoubleClickOnTheDescriptionOffersTheProceduresByTheirHeadings)
{
    const auto procedure = [](const char* machine, const char* espec, const char* number, const char* inst,
                              const char* text) {
        TProcedureRecord r{};
        r.MachineCode = machine;
        r.Espec = espec;
        r.Proced = number;
        r.Inst = inst;
        r.Descripcion = QString::fromUtf8(text);
        return ProcedureEntry{r, 0};
    };
    Procedures(t.ctx).ProcedureList = {procedure("M1", "ME", "01", "00", "Cambio de aceite"),
                                       procedure("M1", "ME", "01", "01", "Vaciar el cárter"),
                                       procedure("M2", "EL", "02", "00", "Revisar cuadro")};
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .DoubleClick("Descripcion")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.choices.at("Descripcion").join('|'),
                      "M1ME / 01 / Cambio de aceite|M2EL / 02 / Revisar cuadro");
        })
        .Press("BitBtn1");
    EXPECT_EQ(Open(rec, "4"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, TypingAnOrderNumberShowsThatOrderOrAnOutsideReference)
{
    StoreOrders({Order(0, "P"), Order(1, "E", "M1", "26/49/1", "8:00", "Cambio de correa")});
    // A torn record at the end of the file is no order.
    t.WriteFile("PORTAL.OTR", t.ReadFile("PORTAL.OTR") + "cola");
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Set("Orden", "1")
        .ExpectValue("Label11", "Cambio de correa")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.captions.at("RepFin"), "CIERRE ORDEN TRAB."); })
        .Set("Orden", "2")
        .ExpectValue("Label11", "REFERENCIA EXTERNA")
        .Set("Orden", "0")
        .ExpectValue("Label11", "Fuga de aceite")
        .Set("Orden", "-1")
        .ExpectValue("Label11", "REFERENCIA EXTERNA")
        .Press("BitBtn1");
    // It is reported once, when the file is first read whole.
    t.ui.ExpectMessage("FICHERO DAÑADO PORTAL.OTR. SU ÚLTIMO REGISTRO ESTÁ INCOMPLETO Y NO SE USA. REGISTROS "
                       "COMPLETOS QUE SE USAN: 2.");
    EXPECT_EQ(Open(rec, "4"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
    // The last order read stays in the buffer; the outside reference opened none.
    EXPECT_EQ(WorkReports(t.ctx).CardOrder.order.Description.str(), "Fuga de aceite");
    EXPECT_FALSE(WorkReports(t.ctx).CardOrder.opened);
}

TEST_F(WorkReportCardTest, AnOrderNumberThatDoesNotReadIsShownAndTheCardStaysOpen)
{
    StoreOrders({Order(0, "P")});
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard)
        .Set("ORDENT", "1")
        .ExpectValue("ORDENT", "0")
        .ExpectValue("Orden", "")
        .Press("SalvaPartes");
    t.ui.ExpectInput("REPARACIONES DE MAQUINAS", QString::fromUtf8("Nº de Orden de Trabajo "), "uno");
    t.ui.ExpectMessage("FORMATO NUMERICO");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.ActionCode, "4");
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 1);
    EXPECT_EQ(rec.Orden.str(), "");
}

TEST_F(WorkReportCardTest, AnEditShowsTheLongDescriptionKeptFromTheLastCardUnlessAskedNotTo)
{
    const QString longText =
        QStringLiteral("Sustitución completa del grupo hidráulico de la prensa principal "
                       "con purga del circuito");
    ASSERT_GT(longText.size(), 48);
    W().LongDescription = longText;
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kEditCard).ExpectValue("Descripcion", longText).Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_EQ(rec.Descripcion.str(), longText.left(48));
    EXPECT_EQ(W().LongDescription, longText);

    TWorkReportRecord other = Line("RM", 0, 30);
    t.ctx.st.ActionCode = "4";
    t.ui.ExpectCard(kEditCard).ExpectValue("Descripcion", "Engrase").Press("BitBtn1");
    EXPECT_EQ(OpenWorkReportWindow(t.ctx, other, false), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, OnlyRepairsPreventivesAndBreakdownsTakeALongDescription)
{
    const QString sixty(60, QLatin1Char('x'));
    for (const auto& [tipo, kept] : {std::pair{"C", 48}, std::pair{"RM", 60}, std::pair{"PM", 60},
                                     std::pair{"VM", 60}, std::pair{"IF", 48}}) {
        SCOPED_TRACE(tipo);
        TWorkReportRecord rec = Line(tipo, 0, 30);
        t.ui.ExpectCard(kEditCard).Set("Descripcion", sixty).Press("SalvaPartes");
        EXPECT_EQ(Open(rec, "4"), CardResult::Save);
        EXPECT_EQ(W().LongDescription.size(), kept);
        EXPECT_EQ(rec.Descripcion.str(), sixty.left(48));
    }
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, PassingThroughTheTypeOfAnEditedStoreLineKeepsItsPartAndCost)
{
    TWorkReportRecord rec = Line("AL", 3, 1250);
    rec.SparePart = "PRE     01001002";
    const TWorkReportRecord before = rec;
    t.ui.ExpectCard(kEditCard)
        .Focus("Tipo")
        .Focus("Tparo")
        .ExpectValue("Tinter", "12,50")
        .ExpectValue("RepCode", "PRE     ")
        .Press("SalvaPartes");
    EXPECT_EQ(Open(rec, "4"), CardResult::Save);
    EXPECT_EQ(LineBytes(rec), LineBytes(before));

    // A type changed to a store exit starts the part afresh.
    TWorkReportRecord changed = Line("RM", 0, 45);
    t.ui.ExpectCard(kEditCard)
        .Set("Tipo", "AL")
        .Focus("Tparo")
        .ExpectValue("Tinter", "0")
        .ExpectValue("RepCode", "ALMACEN_")
        .ExpectValue("Label7", QString::fromUtf8("Und.Almacén:"))
        .Press("BitBtn1");
    EXPECT_EQ(Open(changed, "4"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportCardTest, OperatorAndMachineAreNamedAndTheMachineFollowsItsNumberInTheList)
{
    const auto person = [](const char* number, const char* name, const char* surnames, const char* left) {
        TPersonnelRecord r{};
        r.Matricula = number;
        r.Nombre = name;
        r.Apellidos = QString::fromUtf8(surnames);
        r.Baja = left;
        return PersonListEntry{r, 0};
    };
    Personnel(t.ctx).PersonnelList = {person("000101", "Juan", "Pérez Gil", "../  /  "),
                                      person("000102", "Ana", "Ruiz", "31/01/25"),
                                      person("000103", "Luis", "Sanz", "../  /  ")};
    TWorkReportRecord rec = Line("RM", 0, 30);
    t.ui.ExpectCard(kNewCard)
        .ExpectValue("NoMatricula", QString::fromUtf8("Juan Pérez Gil"))
        .Inspect([](const CardState& s) { EXPECT_EQ(s.choices.at("Matricula").join('|'), "000101|000103"); })
        .Set("Matricula", "000102")
        .ExpectValue("NoMatricula", "Ana Ruiz")
        .Set("Matricula", "000999")
        .ExpectValue("NoMatricula", "NO EXISTE LA PERSONA")
        .Set("NMQ", "2")
        .ExpectValue("Codigo", "M2")
        .ExpectValue("NoMaquina", "Torno")
        .Set("NMQ", "0")
        .ExpectValue("Codigo", "*")
        .ExpectValue("NoMaquina", "Indistinta")
        .Set("Codigo", "M1")
        .Focus("Orden")
        .ExpectValue("NMQ", "1")
        .ExpectValue("NoMaquina", "Prensa")
        .Set("Codigo", "M7")
        .ExpectValue("NoMaquina", "NO EXISTE LA MAQUINA")
        .Press("BitBtn1");
    EXPECT_EQ(Open(rec, "1"), CardResult::Exit);
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim
