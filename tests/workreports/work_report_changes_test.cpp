#include "app/features.h"
#include "core/transaction.h"
#include "masterdata/masterdata_fixture.h"
#include "masterdata/personnel.h"
#include "store/spare_parts.h"
#include "workreports/work_report_changes.h"
#include "workreports/work_report_entry.h"
#include "workreports/work_report_file.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>

namespace gim {
namespace {

const QStringList kFiles = {"PORTAL.PDA", "PORTAL.AVR", "PORTAL.APT",
                            "PORTAL.MOV", "PORTAL.RPW", "PORTAL.SEM"};

TWorkReportRecord Line(const char* matricula, const char* tipo, int minutes, int stop,
                       const char* hours = "C", const char* dia = "26/48/3")
{
    TWorkReportRecord r{};
    r.Matricula = matricula;
    r.Codigo = "M1";
    r.Tipo = tipo;
    r.TIPOH = hours;
    r.dia = dia;
    r.Descripcion = "Rodamiento roto";
    r.SparePart = "M1      MEROD007";
    r.Tparo = stop;
    r.Tinter = minutes;
    return r;
}

// Machines M1 and ALMACEN_, operator 000001, part M1 ME ROD 007 with 10 units; the clock in week 26/50.
class WorkReportChangesTest : public test::MasterdataTest
{
protected:
    WorkReportChangesTest()
    {
        RegisterFeatures(t.ctx);
        State& st = t.ctx.st;
        st.FirstYear = 24;
        st.PlanWeeks = 156;
        BuildFirmFileNames(t.ctx);
        StoreMachines({Machine("ALMACEN_", "Almacen"), Machine("M1", "Prensa")});
        TPersonnelRecord person{};
        person.Matricula = "000001";
        person.Baja = "../  /  ";
        gim::StoreRecords(t.ctx, st.PersonnelFileName, std::vector<TPersonnelRecord>{person});
        TSparePartRecord part{};
        part.Codigo = "M1";
        part.Equipo = "ME";
        part.Util = "ROD";
        part.Pieza = "007";
        part.Exist = 10;
        gim::StoreRecords(t.ctx, QStringLiteral("PORTAL.RPW"), std::vector<TSparePartRecord>{part});
    }
    // Stores and posts a line as an import does.
    void Stored(const TWorkReportRecord& line)
    {
        t.ctx.st.ActionCode = QStringLiteral("i");
        t.ctx.st.InteractiveFlag = 0;
        WorkReports(t.ctx).WorkReportInput = line;
        AddWorkReportLine(t.ctx);
        CheckpointJournal(t.ctx);
    }
    std::map<QString, std::string> Files()
    {
        std::map<QString, std::string> bytes;
        for (const QString& f : kFiles)
            bytes[f] = t.Exists(f) ? t.ReadFile(f) : "absent";
        return bytes;
    }
};

TEST_F(WorkReportChangesTest, AnEditChangesOnlyWhatItsCardSaidAndPostsInOneStep)
{
    // The files each edit leaves different: empty, or holding only the change.
    const struct
    {
        const char *tipo, *hours, *button;
        QStringList changed;
    } cases[] = {
        // Erased: the breakdown and the line are marked, and the sorts of the command drop both.
        {"VM", "C", "BorraPartes", {"PORTAL.AVR", "PORTAL.PDA"}},
        // Left: every file as it was, the expedient entry of the vacation hours too.
        {"VM", "V", "BitBtn1", {}},
        // A store line saved: rewritten, with no second movement and the stock as it was.
        {"AL", "C", "SalvaPartes", {"PORTAL.PDA"}},
        // A repair saved: the one it posted gives way to the changed one.
        {"RE", "C", "SalvaPartes", {"PORTAL.PDA", "PORTAL.SEM"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.tipo) + c.button);
        for (const QString& f : kFiles)
            if (f != QLatin1String("PORTAL.RPW"))
                QFile::remove(t.Path(f));
        gim::StoreRecords(t.ctx, QStringLiteral("PORTAL.SEM"), std::vector<TPlannedRepairRecord>{});
        Stored(Line("000001", c.tipo, c.tipo[0] == 'A' ? 1250 : 90, 3, c.hours));
        const std::map<QString, std::string> before = Files();
        if (c.button == std::string("BitBtn1")) // the filter typed on the card
            t.ui.ExpectCard(QStringLiteral("EDICION DE PARTES DE TRABAJO"))
                .Set("Tipo", "VM")
                .Press("SalvaPartes");
        else
            WorkReports(t.ctx).WorkReportInput = Line("000001", c.tipo, 0, 0, c.hours);
        const bool saved = c.button == std::string("SalvaPartes");
        CardScript& card = t.ui.ExpectCard(QStringLiteral("EDICION DE PARTES DE TRABAJO"));
        if (saved)
            card.Set("Descripcion", "Engrase");
        card.Press(c.button);
        EXPECT_TRUE(RunMenu("Partes > Edición"));
        EXPECT_SCRIPT_DONE(t.ui);
        const std::map<QString, std::string> after = Files();
        for (const QString& f : kFiles) {
            const bool changed = c.changed.contains(f);
            EXPECT_EQ(before.at(f) != after.at(f), changed) << f.toStdString();
            if (changed) {
                EXPECT_EQ(after.at(f).find("Rodamiento roto"), std::string::npos) << f.toStdString();
                EXPECT_EQ(after.at(f).empty() ? "" : after.at(f).substr(after.at(f).find("Engrase"), 7),
                          saved ? "Engrase" : "")
                    << f.toStdString();
            }
        }
    }
}

// A photo attached on the edit card is stored once the changed line is.
TEST_F(WorkReportChangesTest, APhotoAttachedOnTheEditCardFollowsTheSavedLine)
{
    t.WriteFile(QStringLiteral("camara.jpg"), "JPEG");
    TWorkReportRecord line = Line("000001", "RE", 90, 3);
    line.SparePart = "M1      #0.jpg";
    Stored(line);
    WorkReports(t.ctx).WorkReportInput = line;
    t.ui.ExpectCard(QStringLiteral("EDICION DE PARTES DE TRABAJO")).Set("Foto", "1").Press("SalvaPartes");
    t.ui.ExpectChooseFile(t.Path(QStringLiteral("camara.jpg")))
        .ExpectChooseFile(t.Path(QStringLiteral("PARTES/PORTAL/M1#0.jpg")));
    EXPECT_TRUE(RunMenu("Partes > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PARTES/PORTAL/M1#0.jpg")), "JPEG");
}

TEST_F(WorkReportChangesTest, AnAutomaticMergeAddsTheLinesOfItsRangeAndClearsOnlyWhatItStored)
{
    const QString source = t.Path(QStringLiteral("OTRO.PDA"));
    // Past 65,535 lines of another week, the lines of the range.
    std::vector<TWorkReportRecord> lines(65536, Line("000001", "VM", 90, 0, "C", "26/40/1"));
    lines.insert(lines.end(),
                 {Line("000001", "RM", 0, 0), Line("000001", "VM", 90, 0), Line("000009", "VM", 60, 0)});
    gim::StoreRecords(t.ctx, QStringLiteral("OTRO.PDA"), lines);
    t.ui.ExpectChooseFile(source)
        .ExpectDateRange(QDate(2026, 11, 23), QDate(2026, 11, 29))
        .ExpectInput(QStringLiteral("MODO DE CONTROL"), QStringLiteral("Manual/Automático (M/A"),
                     QStringLiteral("A"))
        .ExpectYesNo(QStringLiteral("Desea borrar los datos del fichero de partida?"), true)
        .ExpectReport(QStringLiteral("Añadir fichero de partes : ") + source);
    EXPECT_TRUE(RunMenu("Partes > Fichero > Añadir Partes"));
    EXPECT_SCRIPT_DONE(t.ui);
    const QStringList log = t.ui.Reports()[0]->Transcript().split(QLatin1Char('\n'));
    EXPECT_EQ(log.mid(log.size() - 4, 3),
              (QStringList{"{8 #0000ff}\t000009\tM1\t25/11/26\tRodamiento roto\tVM\t60\t0\t",
                           "{8}\t000001\tM1\t25/11/26\tRodamiento roto\tVM\t90\t0\t",
                           "{8 i #0000ff}\t000001\tM1\t25/11/26\tRodamiento roto\tRM\t0\t0\t"}));
    // Only the stored line is marked in the source; the pending repair was never added.
    std::vector<TWorkReportRecord> expected = lines;
    expected[65537].Matricula = "Z";
    EXPECT_EQ(t.ReadFile(QStringLiteral("OTRO.PDA")),
              std::string(reinterpret_cast<const char*>(expected.data()), expected.size() * 116));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")),
              std::string(reinterpret_cast<const char*>(&lines[65537]), 116));
}

TEST_F(WorkReportChangesTest, TheEditKeepsThePickersRangeAndChecksALineAsTheAddDoes)
{
    gim::StoreRecords(t.ctx, QStringLiteral("PORTAL.SEM"), std::vector<TPlannedRepairRecord>{});
    Stored(Line("000001", "VM", 90, 0, "C", "26/48/5"));
    Stored(Line("000001", "VM", 60, 0, "C", "26/48/4"));
    const std::map<QString, std::string> before = Files();
    t.ctx.st.RangeStartWeek = t.ctx.st.RangeEndWeek = QStringLiteral("26/48/4");
    const QString card = QStringLiteral("EDICION DE PARTES DE TRABAJO");
    t.ui.ExpectCard(card).Set("dia", "26/48/5").Press("SalvaPartes");
    CardScript& edit = t.ui.ExpectCard(card);
    edit.ExpectValue("dia", "26/48/4").Set("Tipo", "QQ").Press("SalvaPartes").Set("Tipo", "VM");
    edit.Set("Matricula", "9999").Press("SalvaPartes").Press("BitBtn1");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MÁQUINA O TIPO Mto./Hora\r              ANULADA ALTA"));
    t.ui.ExpectMessage(QStringLiteral("OPERARIO NO DADO DE ALTA"));
    EXPECT_TRUE(RunMenu("Partes > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Files(), before);
}

// An automatic merge asks nothing: a store line whose part is missing takes the question's default ("N").
TEST_F(WorkReportChangesTest, AnAutomaticMergeOfLinesWithMissingPartsAsksNothing)
{
    TWorkReportRecord missing = Line("000001", "AL", 0, 2);
    missing.SparePart = "M1      MEROD099";
    gim::StoreRecords(t.ctx, QStringLiteral("OTRO.PDA"), std::vector<TWorkReportRecord>(10000, missing));
    const std::string parts = t.ReadFile(QStringLiteral("PORTAL.RPW"));
    t.ui.ExpectChooseFile(t.Path(QStringLiteral("OTRO.PDA")))
        .ExpectDateRange(QDate(2026, 11, 23), QDate(2026, 11, 29))
        .ExpectInput("MODO DE CONTROL", "Manual/Automático (M/A", "A")
        .ExpectYesNo("Desea borrar los datos del fichero de partida?", false)
        .ExpectReport();
    EXPECT_TRUE(RunMenu("Partes > Fichero > Añadir Partes"));
    EXPECT_SCRIPT_DONE(t.ui);
    // Every line stored, no part entered.
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")).size(), 10000u * 116);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.RPW")), parts);
}

TEST(WorkReportFilter, ADescriptionComparesOverTheShorterTextUpToATabAndTheDayLiesInTheRange)
{
    const struct
    {
        const char *filter, *line;
        bool fromLine;
        const char* fromWeek;
        bool matches;
    } cases[] = {
        {"Rodamiento", "Rodamiento roto", true, "26/48/3", true},
        {"Rodamiento roto lado", "Rodam", true, "26/48/3", true},
        {"Rodamiento\t000001", "Rodamiento nuevo", true, "26/48/3", true},
        {"Rodillo", "Rodamiento", true, "26/48/3", false},
        {"Rodillo", "Rodamiento", false, "*", true},
        {"Rodamiento", "Rodamiento", true, "26/48/4", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.filter) + "/" + c.line);
        TWorkReportRecord filter = Line("000001", "*", 0, 0, "*");
        filter.Descripcion = c.filter;
        TWorkReportRecord line = Line("000001", "VM", 0, 0);
        line.Descripcion = c.line;
        EXPECT_EQ(LineMatchesFilter(filter, line, QString::fromLatin1(c.fromWeek), QStringLiteral("26/48/7"),
                                    c.fromLine),
                  c.matches);
    }
}

} // namespace
} // namespace gim
