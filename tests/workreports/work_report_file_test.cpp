#include "masterdata/machines.h"
#include "masterdata/masterdata_fixture.h"
#include "records/record_bytes.h"
#include "support/handover_rows.h"
#include "workreports/work_report_file.h"
#include "workreports/workreport_operations.h"

#include <QDate>
#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gim {
namespace {

using test::RecordBytes;

const QString kSplitItem = QStringLiteral("Partes > Fichero > Fraccionar fichero de Partes.");

// A line told apart by its description.
TWorkReportRecord Line(const char* dia, const char* matricula, const char* tag, const char* tipo = "C")
{
    TWorkReportRecord r{};
    r.Matricula = matricula;
    r.Codigo = "PRENSA01";
    r.Orden = "12";
    r.Tipo = tipo;
    r.TIPOH = "N";
    r.dia = dia;
    r.Descripcion = tag;
    r.Tparo = 15;
    r.Tinter = 60;
    return r;
}

std::string RecordText(const RecordBytes& record)
{
    return std::string(record.Bytes().begin(), record.Bytes().end());
}

// The descriptions of a list or a file, joined by blanks.
QString Tags(const std::vector<WorkReportEntry>& list)
{
    QStringList tags;
    for (const WorkReportEntry& e : list)
        tags << e.rec.Descripcion.str();
    return tags.join(QLatin1Char(' '));
}
QString Tags(const std::vector<TWorkReportRecord>& lines)
{
    QStringList tags;
    for (const TWorkReportRecord& r : lines)
        tags << r.Descripcion.str();
    return tags.join(QLatin1Char(' '));
}

std::vector<std::uint32_t> Positions(const std::vector<WorkReportEntry>& list)
{
    std::vector<std::uint32_t> positions;
    for (const WorkReportEntry& e : list)
        positions.push_back(e.pos);
    return positions;
}

class WorkReportFileTest : public test::MasterdataTest
{
protected:
    WorkReportFileTest()
    {
        RegisterWorkReports(registry, t.ctx);
        StoreMachines({Machine("PRENSA01")});
    }

    void StoreLines(const std::vector<TWorkReportRecord>& lines, const char* name = "PORTAL.PDA")
    {
        StoreRecords(t.ctx, QString::fromLatin1(name), lines);
    }
    std::vector<TWorkReportRecord> FileLines(const char* name)
    {
        return LoadRecords<TWorkReportRecord>(t.ctx, QString::fromLatin1(name), false);
    }
    WorkReportsState& w() { return WorkReports(t.ctx); }
};

// ---- The list --------------------------------------------------------------------------------------------

TEST(WorkReportList, AnEqualKeyGoesBeforeTheHeadOnlyAndAfterItsEqualsElsewhere)
{
    std::vector<WorkReportEntry> list;
    for (const TWorkReportRecord& r :
         {Line("26/10/1", "0001", "x"), Line("26/10/1", "0001", "y"), Line("26/09/1", "0001", "z"),
          Line("26/09/1", "0001", "w"), Line("26/10/1", "0001", "v"), Line("26/20/1", "0001", "h"),
          Line("26/10/1", "0001", "p"), Line("26/10/1", "0002", "m"), Line("25/52/7", "9999", "e")})
        InsertWorkReportSorted(list, {r, 0});
    // y and v tie with the head and go before it; p meets its equals behind the head h and goes after
    // them; m has the higher operator of its date and goes before them.
    EXPECT_EQ(Tags(list), QStringLiteral("h m v y x p z w e"));
    FreeWorkReportList(list);
    EXPECT_TRUE(list.empty());
}

TEST_F(WorkReportFileTest, ASortedFileLoadsBackwardIntoItsOwnOrder)
{
    StoreLines({Line("26/12/1", "0003", "a"), Line("26/12/1", "0003", "b"), Line("26/12/1", "0001", "c"),
                Line("26/11/5", "0009", "d"), Line("26/11/5", "0009", "e"), Line("26/11/5", "0002", "f")});
    LoadWorkReports(t.ctx);
    EXPECT_EQ(Tags(LoadedWorkReports(t.ctx)), QStringLiteral("a b c d e f"));
    EXPECT_EQ(Positions(LoadedWorkReports(t.ctx)), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(t.ui.Transcript(),
              (QStringList{"PROGRESS [AVANCE CARGA DE DATOS PARTES DIARIOS] 0/6", "PROGRESS END 6/6"}));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportFileTest, AnUnsortedFileLoadsAsTheLinesInsertedFromTheLastOne)
{
    // From the last line: e; d above it; c at the end; b ties with the head d and goes before it; a
    // meets its equal c at the end and goes after it. Deleted and undated lines are loaded too.
    StoreLines({Line("26/10/1", "0002", "a"), Line("26/12/1", "0001", "b"), Line("26/10/1", "0002", "c"),
                Line("26/12/1", "0001", "d"), Line("26/11/1", "0005", "e"), Line("26/11/1", "Z", "z"),
                Line("  /  / ", "0004", "blank")});
    LoadWorkReports(t.ctx);
    EXPECT_EQ(Tags(LoadedWorkReports(t.ctx)), QStringLiteral("b d z e c a blank"));
    EXPECT_EQ(Positions(LoadedWorkReports(t.ctx)), (std::vector<std::uint32_t>{1, 3, 5, 4, 2, 0, 6}));

    // A missing file gives an empty list without a word or a progress window.
    QFile::remove(t.Path(QStringLiteral("PORTAL.PDA")));
    LoadWorkReports(t.ctx);
    EXPECT_TRUE(LoadedWorkReports(t.ctx).empty());
    EXPECT_EQ(t.ui.Transcript().size(), 2);
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Appending --------------------------------------------------------------------------------------------

TEST_F(WorkReportFileTest, ANewLineTakesTheDefaultsAndIsStoredZeroFilled)
{
    TWorkReportRecord& cur = w().CurrentWorkReport;
    cur.Matricula = "123456";
    cur.Descripcion = "Texto largo de una linea anterior";
    cur.TIPOH = "EN";
    SetWorkReportDefaults(t.ctx);
    cur.Matricula = "0007";
    cur.Codigo = "PRENSA01";
    cur.Tinter = 90;
    ASSERT_TRUE(AppendWorkReport(t.ctx, cur));
    EXPECT_EQ(w().WorkReportWritten, 1);

    // The file is created; the bytes past each text are zero although the buffer held older ones.
    const auto expected = RecordBytes(116)
                              .Text(0, "0007")                     // Matricula
                              .Text(7, "PRENSA01")                 // Codigo
                              .Text(16, "0")                       // Orden
                              .Text(25, "")                        // no spare part
                              .Text(42, "C")                       // Tipo
                              .Text(46, "EN")                      // TIPOH kept from the buffer
                              .Text(50, "26/50/1")                 // dia: Monday 7 December 2026
                              .Text(58, "*")                       // Descripcion
                              .Raw(108, {0x00, 0x00, 0x00, 0x00})  // Tparo
                              .Raw(112, {0x5A, 0x00, 0x00, 0x00}); // Tinter 90
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")), RecordText(expected));

    // The next line goes after it.
    cur.Matricula = "0008";
    ASSERT_TRUE(AppendWorkReport(t.ctx, cur));
    EXPECT_EQ(Tags(FileLines("PORTAL.PDA")), QStringLiteral("* *"));
    EXPECT_EQ(FileLines("PORTAL.PDA")[1].Matricula.bytes(), "0008");
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportFileTest, ALineForAnUnknownMachineIsNeverStored)
{
    SetWorkReportDefaults(t.ctx);
    w().CurrentWorkReport.Codigo = "TORNO9";
    w().WorkReportWritten = 1;

    // Without a file: refused, and no file is made.
    t.ui.ExpectMessage(QStringLiteral("MAQUINA:TORNO9 INEXISTENTE,ANULADA ALTA"));
    EXPECT_FALSE(AppendWorkReport(t.ctx, w().CurrentWorkReport));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.PDA")));
    EXPECT_EQ(w().WorkReportWritten, 0);

    // With a file: the user may decline to enter the machine; nothing changes.
    StoreLines({Line("26/10/1", "0001", "a")});
    const std::string lines = t.ReadFile(QStringLiteral("PORTAL.PDA"));
    const std::string machines = MachineBytes();
    t.ui.ExpectOkCancel(QStringLiteral("\tMAQUINA: TORNO9 INEXISTENTE,\u00BFDAR DE ALTA?"), false);
    EXPECT_FALSE(AppendWorkReport(t.ctx, w().CurrentWorkReport));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")), lines);
    EXPECT_EQ(MachineBytes(), machines);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkReportFileTest, AcceptingTheUnknownMachineEntersItButStoresNoLine)
{
    StoreLines({Line("26/10/1", "0001", "a")});
    const std::string lines = t.ReadFile(QStringLiteral("PORTAL.PDA"));
    LoadMachineList(t.ctx);
    SetWorkReportDefaults(t.ctx);
    w().CurrentWorkReport.Codigo = "TORNO9";
    // A merge runs in import mode: the machine card is a card of its own all the same.
    t.ctx.st.ActionCode = QStringLiteral("i");

    t.ui.ExpectOkCancel(QStringLiteral("\tMAQUINA: TORNO9 INEXISTENTE,\u00BFDAR DE ALTA?"), true);
    t.ui.ExpectCard(QStringLiteral("FICHA DE CODIFICACION DE MAQUINAS"))
        .ExpectValue("CODIGO", "TORNO9")
        .ExpectValue("DENOMINACION", "..")
        .Set("DENOMINACION", "Torno nuevo")
        .Press("Button1");
    t.ui.ExpectCardCancel(QStringLiteral("FICHA DE CODIFICACION DE MAQUINAS"));
    EXPECT_FALSE(AppendWorkReport(t.ctx, w().CurrentWorkReport));
    EXPECT_SCRIPT_DONE(t.ui);

    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")), lines);
    EXPECT_EQ(w().WorkReportWritten, 0);
    EXPECT_EQ(t.ctx.st.ActionCode, QStringLiteral("i"));
    // The machine file is sorted with the new machine, and the list the lines pick from has it too.
    const auto stored = LoadRecords<TMachineRecord>(t.ctx, QStringLiteral("PORTAL.MQW"), false);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].Codigo.bytes(), "PRENSA01");
    EXPECT_EQ(stored[1].Codigo.bytes(), "TORNO9");
    EXPECT_EQ(stored[1].Denominacion.bytes(), "Torno nuevo");
    ASSERT_EQ(Machines(t.ctx).MachineList.size(), 2u);
    EXPECT_EQ(Machines(t.ctx).MachineList[1].rec.Codigo.bytes(), "TORNO9");
}

// ---- The sorting rewrite ------------------------------------------------------------------------------

TEST_F(WorkReportFileTest, TheRewriteDropsDeletedAndUndatedLinesAndPutsOldCodesRight)
{
    TWorkReportRecord mat = Line("26/10/1", "0001", "mat", "MAT");
    mat.Orden = "0";
    TWorkReportRecord s0009 = Line("09/00/3", "0003", "s0009", "al");
    TWorkReportRecord s0852 = Line("08/52/5", "0003", "s0852", "ALB");
    s0852.SparePart = "ALMACEN_";
    const std::vector<TWorkReportRecord> old = {
        mat,   Line("26/10/1", "Z", "borrada"),   Line("  /  / ", "0002", "sinfecha"),
        s0009, Line("10/00/3", "0003", "s0010"),  Line("02/00/3", "0003", "s0002"),
        s0852, Line("26/11/2", "0001", "ultima"),
    };
    StoreLines(old);
    t.WriteFile(QStringLiteral("PORTAL.PDK"), "older backup");
    w().WorkReportWritten = 1;

    ASSERT_TRUE(SortWorkReportFile(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDK")), Bytes(old));
    EXPECT_EQ(w().WorkReportWritten, 0);

    // Latest first, by the keys as read: 09/00 sorts above 08/52 and is written as 08/52 in its place.
    const std::vector<TWorkReportRecord> lines = FileLines("PORTAL.PDA");
    EXPECT_EQ(Tags(lines), QStringLiteral("ultima mat s0010 s0009 s0852 s0002"));
    QStringList dates, types, parts, orders;
    for (const TWorkReportRecord& r : lines) {
        dates << r.dia.str();
        types << r.Tipo.str();
        parts << r.SparePart.str();
        orders << r.Orden.str();
    }
    EXPECT_EQ(dates, (QStringList{"26/11/2", "26/10/1", "10/00/3", "08/52/3", "08/52/5", "02/00/3"}));
    EXPECT_EQ(types, (QStringList{"C", "AL", "C", "AL", "ALB", "C"}));
    EXPECT_EQ(parts, (QStringList{"", "", "", "", "", ""}));
    EXPECT_EQ(orders, (QStringList{"12", "", "12", "12", "12", "12"}));

    // Only the lengths shrink: the bytes after them stay as they were.
    const auto matBytes = RecordBytes(116)
                              .Text(0, "0001")
                              .Text(7, "PRENSA01")
                              .Raw(16, {0x00, '0', '2'})      // Orden "0" (over "12") emptied
                              .Raw(42, {0x02, 'A', 'L', 'T'}) // Tipo "MAT" -> "AL"
                              .Text(46, "N")
                              .Text(50, "26/10/1")
                              .Text(58, "mat")
                              .Raw(108, {0x0F, 0x00, 0x00, 0x00})
                              .Raw(112, {0x3C, 0x00, 0x00, 0x00});
    EXPECT_EQ(Bytes(std::vector<TWorkReportRecord>{lines[1]}), RecordText(matBytes));
    const auto s0852Bytes = RecordBytes(116)
                                .Text(0, "0003")
                                .Text(7, "PRENSA01")
                                .Text(16, "12")
                                .Raw(25, {0x00, 'A', 'L', 'M', 'A', 'C', 'E', 'N', '_'}) // part emptied
                                .Text(42, "ALB")
                                .Text(46, "N")
                                .Text(50, "08/52/5")
                                .Text(58, "s0852")
                                .Raw(108, {0x0F, 0x00, 0x00, 0x00})
                                .Raw(112, {0x3C, 0x00, 0x00, 0x00});
    EXPECT_EQ(Bytes(std::vector<TWorkReportRecord>{lines[4]}), RecordText(s0852Bytes));

    // The list stays loaded with the lines as written.
    EXPECT_EQ(Tags(LoadedWorkReports(t.ctx)), QStringLiteral("ultima mat s0010 s0009 s0852 s0002"));
    EXPECT_EQ(Positions(LoadedWorkReports(t.ctx)), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(LoadedWorkReports(t.ctx)[3].rec.dia.bytes(), "08/52/3");
}

TEST_F(WorkReportFileTest, TheRewriteKeepsTheInsertionOrderOfEqualKeys)
{
    // The list is built from the last line, as the load builds it: b ties with the head d and goes before
    // it; a meets its equal c at the end and goes after it.
    StoreLines({Line("26/10/1", "0002", "a"), Line("26/12/1", "0001", "b"), Line("26/10/1", "0002", "c"),
                Line("26/12/1", "0001", "d"), Line("26/11/1", "0005", "e")});
    ASSERT_TRUE(SortWorkReportFile(t.ctx));
    EXPECT_EQ(Tags(FileLines("PORTAL.PDA")), QStringLiteral("b d e c a"));
    // Sorting again changes nothing: the load of a sorted file reproduces it.
    const std::string sorted = t.ReadFile(QStringLiteral("PORTAL.PDA"));
    ASSERT_TRUE(SortWorkReportFile(t.ctx));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")), sorted);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDK")), sorted);
}

TEST_F(WorkReportFileTest, TheRewriteRefusesWhenItCannotKeepTheOldFileOrFindsNone)
{
    StoreLines({Line("26/10/1", "0002", "a"), Line("26/12/1", "0001", "b")});
    const std::string old = t.ReadFile(QStringLiteral("PORTAL.PDA"));
    t.WriteFile(QStringLiteral("PORTAL.PDK"), "older backup");
    FileFaults faults;
    faults.inject = [](FileOp op, const QString& path) {
        return op == FileOp::Create && path.endsWith(QLatin1String("PORTAL.PDK")) ? EACCES : 0;
    };
    t.ctx.faults = &faults;
    w().WorkReportWritten = 1;
    t.ui.ExpectMessage(QStringLiteral("No se puede crear Fichero backup"));
    EXPECT_FALSE(SortWorkReportFile(t.ctx));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")), old);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDK")), "older backup");
    EXPECT_EQ(w().WorkReportWritten, 1);
    t.ctx.faults = nullptr;

    QFile::remove(t.Path(QStringLiteral("PORTAL.PDA")));
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    EXPECT_FALSE(SortWorkReportFile(t.ctx));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.PDA")));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDK")), "older backup");
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- The split -----------------------------------------------------------------------------------------

class WorkReportSplitTest : public WorkReportFileTest
{
protected:
    WorkReportSplitTest()
    {
        TWorkReportRecord w11 = Line("08/11/3", "0002", "w11", "MAT");
        w11.Orden = "0";
        StoreLines({Line("08/10/1", "0001", "w10"), Line("08/13/1", "0001", "w13"), w11,
                    Line("08/09/7", "0001", "w09"), Line("08/11/4", "Z", "borrada"),
                    Line("09/11/3", "0001", "y09"), Line("08/12/7", "0004", "w12"),
                    Line("07/11/3", "0001", "y07")});
        original = t.ReadFile(QStringLiteral("PORTAL.PDA"));
    }
    std::string original;
};

TEST_F(WorkReportSplitTest, TheWeeksOfTheRangeGoToTheYearFileAndTheFileStaysAsItIs)
{
    // Monday of week 10 to Sunday of week 12 of 2008.
    t.ui.ExpectDateRange(QDate(2008, 3, 3), QDate(2008, 3, 23));
    ASSERT_TRUE(RunMenu(kSplitItem.toUtf8().constData()));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.RangeStartWeek, QStringLiteral("08/10/1"));
    EXPECT_EQ(t.ctx.st.RangeEndWeek, QStringLiteral("08/12/7"));
    // The picker opens on today.
    ASSERT_EQ(t.ui.DateRangePresets().size(), 1u);
    EXPECT_EQ(t.ui.DateRangePresets()[0].first, QDate(2026, 12, 7));

    // Latest first, as read: no line is put right.
    const std::vector<TWorkReportRecord> year = FileLines("PORTAL.P08");
    EXPECT_EQ(Tags(year), QStringLiteral("w12 w11 w10"));
    EXPECT_EQ(year[1].Tipo.bytes(), "MAT");
    EXPECT_EQ(year[1].Orden.bytes(), "0");
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")), original);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.PDK")));
}

TEST_F(WorkReportSplitTest, AClosedPickerEndsTheSplitInsteadOfSplittingTheLastRangeAgain)
{
    t.ui.ExpectDateRange(QDate(2008, 3, 3), QDate(2008, 3, 23));
    ASSERT_TRUE(RunMenu(kSplitItem.toUtf8().constData()));
    const std::string split = t.ReadFile(QStringLiteral("PORTAL.P08"));
    ASSERT_FALSE(split.empty());

    // Lines added since, then the picker closed: the year file is not written again.
    StoreLines({Line("08/11/1", "0009", "nueva")});
    t.ui.ExpectDateRangeCancel();
    ASSERT_TRUE(RunMenu(kSplitItem.toUtf8().constData()));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.P08")), split);
}

TEST_F(WorkReportSplitTest, ARangeOverTwoYearsOrBackwardIsRefused)
{
    t.WriteFile(QStringLiteral("PORTAL.P08"), "year file of 2008");
    t.ui.ExpectDateRange(QDate(2008, 12, 15), QDate(2009, 1, 10));
    t.ui.ExpectMessage(
        QStringLiteral("SEMANAS 08/51/1 A 09/02/6 DE DOS A\u00D1OS DISTINTOS. ANULADO FRACCIONAR FICHERO"));
    ASSERT_TRUE(RunMenu(kSplitItem.toUtf8().constData()));
    t.ui.ExpectDateRange(QDate(2008, 3, 23), QDate(2008, 3, 3));
    t.ui.ExpectMessage(
        QStringLiteral("SEMANAS 08/12/7 A 08/10/1 EN ORDEN INVERSO. ANULADO FRACCIONAR FICHERO"));
    ASSERT_TRUE(RunMenu(kSplitItem.toUtf8().constData()));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.P08")), "year file of 2008");
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.P09")));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PDA")), original);

    // Without a daily-report file there is nothing to split: the year file stays too.
    QFile::remove(t.Path(QStringLiteral("PORTAL.PDA")));
    t.ui.ExpectDateRange(QDate(2008, 3, 3), QDate(2008, 3, 23));
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu(kSplitItem.toUtf8().constData()));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.P08")), "year file of 2008");
}

// Editar > Partes on a row of the daily-report listing.
TEST_F(WorkReportFileTest, EditarPartesFillsTheLineFieldsOfItsColumns)
{
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Partes,
                      test::Row({"7", "000123", "M1", "07/12/26", "N", "PRV", "30", "45", "1234",
                                 "Cambio de rodamiento en el eje principal de la prensa hidráulica"}));
    EXPECT_EQ(
        test::Describe(handover.Buffer(EditItem::Partes)),
        test::Describe({{"Matricula", "000123"},
                        {"Codigo", "M1"},
                        {"dia", "07/12/26"},
                        {"TIPOH", "N"},
                        {"Tipo", "PRV"},
                        {"Tinter", "30"},
                        {"Tparo", "45"},
                        {"Item", "1234"},
                        {"Descripcion", "Cambio de rodamiento en el eje principal de la p"}})); // cut at 48
}

} // namespace
} // namespace gim
