#include "core/command.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables.h"
#include "exchange/import_tables_corrective.h"
#include "exchange/import_tables_store.h"
#include "masterdata/masterdata_fixture.h"
#include "masterdata/personnel.h"
#include "platform/report.h"
#include "platform/script/silent_ui.h"
#include "records/breakdown_record.h"
#include "records/energy_reading_record.h"
#include "records/planned_repair_record.h"
#include "records/predictive_record.h"
#include "records/procedure_record.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"
#include "records/work_order_record.h"
#include "records/work_report_record.h"
#include "store/purchase_orders.h"
#include "support/scripted_ui_check.h"

#include <QThread>

namespace gim {
namespace {

// Plan 2024 to 2028 (week 50 of 2028 lies in its 5th year); machine PRENSA, operator 0042 and one spare
// part in stock; imports run without cards.
class ImportLineTablesTest : public test::MasterdataTest
{
protected:
    ImportLineTablesTest()
    {
        RegisterFeatures(t.ctx);
        State& st = t.ctx.st;
        BuildFirmFileNames(t.ctx);
        st.FirstYear = 24;
        st.LastYear = 28;
        st.PlanWeeks = 5 * 52;
        StoreMachines({Machine("PRENSA")});
        TPersonnelRecord person{};
        person.Matricula = "0042";
        person.Apellidos = "GARCIA";
        StoreRecords(t.ctx, st.PersonnelFileName, std::vector{person});
        LoadPersonnel(t.ctx);
        TSparePartRecord part{};
        part.Codigo = "PRENSA";
        part.Equipo = "01";
        part.Util = "002";
        part.Pieza = "003";
        part.Exist = 10;
        part.Valor = 500;
        StoreRecords(t.ctx, st.FileName(DataFile::SparePart), std::vector{part});
        ImportGateway(t.ctx).Manual = false;
    }
    // The gateway window's lines after the pasted ones: " ", the echoes and a table's end text.
    // `cards`: what happens on the cards the lines open, after the gateway window opened.
    QStringList Import(const ImportJob& job, const QString& text, const std::function<void()>& cards = {})
    {
        t.ui.ExpectReport(QStringLiteral("Pasarela Imformes Veltrano"));
        if (cards)
            cards();
        RunGatewayImport(t.ctx, job, text);
        return t.ui.Reports().back()->Text().split(QLatin1Char('\n')).mid(SplitImportText(text).size());
    }
    template <typename T> std::vector<T> Stored(DataFile f)
    {
        return LoadRecords<T>(t.ctx, t.ctx.st.FileName(f), false);
    }
    template <typename T> static QByteArray Hex(const T& r)
    {
        return QByteArray(reinterpret_cast<const char*>(&r), sizeof r).toHex();
    }
    // The last record of a file, as many bytes as `expected` shows.
    QByteArray LastHex(DataFile f, const QByteArray& expected)
    {
        return QByteArray::fromStdString(t.ReadFile(t.ctx.st.FileName(f))).right(expected.size() / 2).toHex();
    }
};

TEST_F(ImportLineTablesTest, EachTableStoresItsGoldenLineByteForByte)
{
    TWorkReportRecord report{};
    report.Matricula = "0042";
    report.Codigo = "PRENSA";
    report.dia = "26/50/1"; // 07/12/2026, converted
    report.TIPOH = "C";
    report.Tipo = "M";
    report.Tinter = 45;
    report.Tparo = 15;
    report.Orden = "OT12";
    report.Descripcion = "Engrase";

    TWorkOrderRecord order{};
    order.Refex = "WABCDEFG"; // 8 characters: "W" and the first 7
    order.State = "P";
    order.NoticeDate = "26/50/1";
    order.NoticeHour = "08:30";
    order.Requester = "JEFE";
    order.Machine = "PRENSA";
    order.Description = "Fuga";
    order.Type = "U";
    order.PhotoFlag = "NO";

    TBreakdownRecord breakdown{};
    breakdown.Code = "PRENSA";
    breakdown.Week = 3 * 52 + 49; // 9/12/2027: week 49, Thursday
    breakdown.Day = "4";
    breakdown.Shift = "M";
    breakdown.Type = "E";
    breakdown.Description = "Motor";
    breakdown.Intervention = 60;
    breakdown.Operators = 2;
    breakdown.Stop = 30;
    breakdown.Delay = 5;
    breakdown.NoticeTime = "09/12-10:00";
    breakdown.Officer = "JEFE";
    breakdown.RepairStart = "09/12-11:00";
    breakdown.ProductionOperator = "PEDRO";

    TPlannedRepairRecord repair{};
    repair.Code = "PRENSA";
    repair.Minutes = 90;
    repair.State = "P";
    repair.Specialty = "M";
    repair.Order = "12";
    repair.Week = 2 * 52 + 10; // week 10 of 2026, whichever of week and year the line gives first
    repair.Executor = "JUAN";
    repair.Description = "Cambio";

    // Week 50 of 2028, the plan's 5th year: 4 * 52 + 50 = 258, kept as 2; an exit of 3 units.
    TStoreMovementRecord movement{};
    movement.Codigo = "PRENSA";
    movement.Equipo = "01";
    movement.Util = "002";
    movement.Pieza = "003";
    movement.Destination = "PRENSA";
    movement.AbsoluteWeek = 2;
    movement.User = "0042";
    movement.Quantity = -3;
    movement.UnitValue = 500;

    TPredictiveRecord measurement{};
    measurement.Codigo = "PRENSA";
    measurement.FREC = "M";
    measurement.Espec = "V";
    measurement.Pos = "A1";
    measurement.Ejecu = "0042";
    measurement.Semana = 2 * 52 + 50;
    measurement.Medida1 = 12;
    measurement.Medida2 = 7;
    measurement.Descrip = "Ruido";

    TEnergyReadingRecord reading{};
    reading.MachineCode = "PRENSA";
    reading.MeterCode = "KW1";
    reading.Date = "26/50/1";
    reading.Units = 2;
    reading.Reading = 1234;

    TPurchaseOrderRecord line{};
    line.Nped = 7;
    line.Refer = "REF";
    line.Codigo = "PRENSA";
    line.Equipo = "01";
    line.Util = "002";
    line.Pieza = "003";
    line.Descrip = "Rodamiento";
    line.Marca = "SKF";
    line.Sumtro = "PROV1";
    line.fechALTA = "26/50/1";
    line.fechaENT = "26/51/1";
    line.Fechcierr = "28/00/1"; // a pending line closes at the plan's last year
    line.LUGAR = "NAVE";
    line.Estado = "P";
    line.Cantidad = 4;
    line.Valor = 1250;
    line.Albaran = "#";

    const struct
    {
        ImportJob job;
        DataFile file;
        const char* line;
        QByteArray expected;
    } cases[] = {
        {WorkReportImportFormat(), DataFile::WorkReport,
         "x\t0042\tPRENSA\t07/12/2026\tC\tM\t45\t15\tOT12\t\tEngrase", Hex(report)},
        {WorkOrderImportFormat(), DataFile::WorkOrder,
         "x\tABCDEFGH\tP\t07/12/2026\t08:30\t\t\t\t\tJEFE\tPRENSA\tFuga\tignored\tU\tNO", Hex(order)},
        {BreakdownImportFormat(), DataFile::Breakdown,
         "x\tPRENSA\t09/12/2027\tM\tE\tMotor\t60\t2\t30\t5\t09/12-10:00\tJEFE\t09/12-11:00\tPEDRO",
         Hex(breakdown)},
        {PlannedRepairImportFormat(), DataFile::PlannedRepair,
         "x\tPRENSA\t90\tP\tM\t12\t10\t2026\tJUAN\tCambio", Hex(repair)},
        {MovementImportFormat(), DataFile::Movement,
         "x\tPRENSA\t01\t002\t003\tPRENSA\t12/12/2028\t0042\t3\t500", Hex(movement)},
        {PredictiveImportFormat(), DataFile::Predictive,
         "x\tPRENSA\tM\tV\tA1\t0042\t07/12/2026\t12\t7\tRuido", Hex(measurement)},
        {EnergyImportFormat(), DataFile::EnergyReading, "x\tPRENSA\tKW1\t07/12/2026\t1234\t2", Hex(reading)},
        {PurchaseOrderImportFormat(), DataFile::PurchaseOrder,
         "x\t7\tREF\tPRENSA\t01\t002\t003\tRodamiento\tSKF\tPROV1\t07/12/2026\t14/12/2026\t01/01/"
         "2027\tNAVE\tP\t4\t0"
         "\t1250\t#",
         Hex(line)},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.line);
        // A measurement is always shown on its card, whatever the Manual box says.
        const auto card = [&] {
            if (c.file == DataFile::Predictive)
                t.ui.ExpectCard(QStringLiteral("FICHA  DE MANTENIMIENTO PREDICTIVO"))
                    .Press(QStringLiteral("Salvar"));
        };
        EXPECT_EQ(Import(c.job, text, card).mid(0, 2),
                  (QStringList{QStringLiteral(" "), QStringLiteral(" * ") + text}))
            << c.line;
        EXPECT_EQ(LastHex(c.file, c.expected), c.expected) << c.line;
    }
    EXPECT_EQ(Stored<TSparePartRecord>(DataFile::SparePart)[0].Exist.get(), 7);
    EXPECT_SCRIPT_DONE(t.ui);
}

// Later lines of one import find what the earlier ones stored: an order by its reference, a part's stock.
TEST_F(ImportLineTablesTest, LaterLinesFindWhatEarlierLinesOfTheImportStored)
{
    const QString orders = QStringLiteral("x\tA1\tP\t07/12/2026\t08:30\t\t\t\t\tJEFE\tPRENSA\tFuga\n"
                                          "x\tB2\tP\t07/12/2026\t09:00\t\t\t\t\tJEFE\tPRENSA\tRuido\n"
                                          "x\tA1\tT\t07/12/2026\t08:30\t\t\t\t\tJEFE\tPRENSA\tFuga grande");
    QStringList echo{QStringLiteral(" ")};
    for (const QString& line : orders.split(QLatin1Char('\n')))
        echo << QStringLiteral(" * ") + line;
    EXPECT_EQ(Import(WorkOrderImportFormat(), orders).mid(0, 4), echo);
    const std::vector<TWorkOrderRecord> stored = Stored<TWorkOrderRecord>(DataFile::WorkOrder);
    QStringList seen;
    for (const TWorkOrderRecord& o : stored)
        seen << QString::number(o.Number.get()) + o.Refex.str() + o.State.str() + o.Description.str();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("0WA1TFuga grande"), QStringLiteral("1WB2PRuido")}));

    const QString exits = QStringLiteral("x\tPRENSA\t01\t002\t003\tPRENSA\t12/12/2028\t0042\t3\t500\n"
                                         "x\tPRENSA\t01\t002\t003\tPRENSA\t12/12/2028\t0042\t2\t500");
    Import(MovementImportFormat(), exits);
    EXPECT_EQ(Stored<TSparePartRecord>(DataFile::SparePart)[0].Exist.get(), 5);
    EXPECT_EQ(Stored<TStoreMovementRecord>(DataFile::Movement).size(), 2u);
    EXPECT_SCRIPT_DONE(t.ui);
}

// A line whose always-converted date is empty or no date, or whose number does not fit its field, is
// echoed as not added, and the next line is read.
TEST_F(ImportLineTablesTest, ALineThatDoesNotFitIsRefusedAndTheImportGoesOn)
{
    const char* breakdown = "x\tPRENSA\t09/12/2027\tM\tE\tMotor\t60\t2\t30\t5";
    const char* purchase =
        "x\t7\tREF\tPRENSA\t01\t002\t003\tR\tSKF\tPROV1\t07/12/2026\t14/12/2026\t01/01/2027\tNAVE\tP\t4";
    const struct
    {
        ImportJob job;
        const char* refused;
        const char* added;
    } cases[] = {
        {BreakdownImportFormat(), "x\tPRENSA\t\tM\tE\tMotor\t60\t2\t30\t5", breakdown},
        {BreakdownImportFormat(), "x\tPRENSA\t31/02/2027\tM\tE\tMotor\t60\t2\t30\t5", breakdown},
        {BreakdownImportFormat(), "x\tPRENSA\t09/12/2027\tM\tE\tMotor\t65536\t2\t30\t5", breakdown},
        {BreakdownImportFormat(), "x\tPRENSA\t09/12/2027\tM\tE\tMotor\t60\t-1\t30\t5", breakdown},
        {PlannedRepairImportFormat(), "x\tPRENSA\t70000\tP\tM\t12\t10\t2026",
         "x\tPRENSA\t90\tP\tM\t12\t10\t2026"},
        {MovementImportFormat(), "x\tPRENSA\t01\t002\t003\tPRENSA\tmañana\t0042\t3\t500",
         "x\tPRENSA\t01\t002\t003\tPRENSA\t12/12/2028\t0042\t3\t500"},
        {EnergyImportFormat(), "x\tPRENSA\tKW1\t07/12/2026\t1234\t256",
         "x\tPRENSA\tKW1\t07/12/2026\t1234\t255"},
        {PurchaseOrderImportFormat(), "x\t7\tREF\tPRENSA\t01\t002\t003\tR\tSKF\tPROV1\t\t14/12/2026",
         purchase},
        {PurchaseOrderImportFormat(),
         "x\t7\tREF\tPRENSA\t01\t002\t003\tR\tSKF\tPROV1\t07/12/2026\t14/12/2026\t01/01/2027\tNAVE\tP\t40000",
         purchase},
        {WorkReportImportFormat(), "x\t0042\tPRENSA\t31/13/2026\tC\tM\t45\t15",
         "x\t0042\tPRENSA\t26/49/3\tC\tM\t45\t15"},
    };
    for (const auto& c : cases) {
        const QString refused = QString::fromUtf8(c.refused);
        const QString added = QString::fromUtf8(c.added);
        // The refused line's echo ends with its reason (pinned where the numbers and dates are read).
        QStringList echo = Import(c.job, refused + QLatin1Char('\n') + added).mid(0, 3);
        echo[1].truncate(3 + refused.size());
        EXPECT_EQ(echo, (QStringList{QStringLiteral(" "), QStringLiteral("   ") + refused,
                                     QStringLiteral(" * ") + added}))
            << c.refused;
    }
    // A week code of 7 characters is taken as it stands.
    EXPECT_EQ(Stored<TWorkReportRecord>(DataFile::WorkReport).back().dia.str(), QStringLiteral("26/49/3"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// By hand (Manual ticked) each line opens its card, filled from the line: a reading is stored as its card
// leaves it, and procedure keys with a speciality outside the list, or none, are saved as they come.
TEST_F(ImportLineTablesTest, LinesImportedByHandAreSavedFromTheirCards)
{
    StoreMachines({Machine("M1"), Machine("PRENSA"), Machine("PRENSA01")});
    ImportGateway(t.ctx).Manual = true;
    Import(EnergyImportFormat(), QStringLiteral("x\tPRENSA\tKW1\t07/12/2026\t1234\t2"), [&] {
        t.ui.ExpectCard(QStringLiteral("LECTURAS DE CONSUMOS "))
            .ExpectValue("Valor", "1234")
            .Set("Valor", "1240")
            .Press("salvar");
    });
    Import(MakeImportJob(ProcedureImportFormat()),
           QStringLiteral("1\tPRENSA01MC0102\tP\t30\tA\n1\tPRENSA01EL\tM\t15\tB\n1\tM1\tP\t5\tC"), [&] {
               for (int card = 0; card < 3; ++card)
                   t.ui.ExpectCard(QStringLiteral("Procedimientos / Instrucciones")).Press("Salvar");
           });
    QStringList stored{
        QString::number(Stored<TEnergyReadingRecord>(DataFile::EnergyReading).at(0).Reading.get())};
    for (const TProcedureRecord& r : Stored<TProcedureRecord>(DataFile::Procedure))
        stored << r.MachineCode.str() + r.Espec.str() + QLatin1Char('/') + r.Proced.str() + r.Inst.str();
    EXPECT_EQ(stored, (QStringList{"1240", "PRENSA01MC/0102", "PRENSA01EL/", "M1/"}));
    EXPECT_SCRIPT_DONE(t.ui);
}

// A mistyped average price ends the import at its line: that line and the next stay on the clipboard.
TEST_F(ImportLineTablesTest, APromptAnswerThatEndsTheImportLeavesTheUnreadLinesOnTheClipboard)
{
    const QString unread = QStringLiteral("x\tPRENSA\t01\t002\t003\tALMACEN_\t12/12/2028\t0042\t4\t600\r\n"
                                          "x\tPRENSA\t01\t002\t003\tPRENSA\t12/12/2028\t0042\t2\t500\r\n");
    t.ui.SetClipboardText(QStringLiteral("x\tPRENSA\t01\t002\t003\tPRENSA\t12/12/2028\t0042\t1\t500\n") +
                          unread);
    t.ui.ExpectReport(QStringLiteral("Pasarela Imformes Veltrano"))
        .ExpectInput("CALCULO PRECIO MEDIO", "VALOR UNITARIO REPUESTO(centimos_Euros)", "x")
        .ExpectMessage("IMPORTACIÓN INTERRUMPIDA: 2 LÍNEAS SIN LEER QUEDAN EN EL PORTAPAPELES")
        .ExpectMessage("FORMATO NUMERICO");
    EXPECT_FALSE(RunCommand(t.ctx, {}, [&] { RunGatewayImport(t.ctx, MovementImportFormat()); }));
    EXPECT_EQ(t.ui.ClipboardText(), unread);
    EXPECT_EQ(Stored<TSparePartRecord>(DataFile::SparePart)[0].Exist.get(), 9);
    EXPECT_SCRIPT_DONE(t.ui);
}

// Texts keep no control character and are cut at their width in Windows-1252 bytes: 30 characters outside
// the code page are 30 "?" bytes.
TEST_F(ImportLineTablesTest, TextsAreCutInBytesAndKeepNoControlCharacter)
{
    Import(WorkReportImportFormat(), QStringLiteral("x\t0042\tPRENSA\t07/12/2026\tC\tM\t45\t15\tOT\r12\t\t") +
                                         QString::fromUcs4(U"\U0001F600", 1).repeated(30));
    const TWorkReportRecord r = Stored<TWorkReportRecord>(DataFile::WorkReport).back();
    EXPECT_EQ(std::string(r.Orden.bytes()) + '|' + std::string(r.Descripcion.bytes()),
              "OT 12|" + std::string(30, '?'));
    EXPECT_SCRIPT_DONE(t.ui);
}

// The re-sorts at the end of a daily-report import follow what any of its lines posted, not only the last.
TEST_F(ImportLineTablesTest, TheWorkReportImportSortsWhatAnyLinePosted)
{
    TBreakdownRecord deleted{};
    deleted.Code = "Z"; // dropped by the breakdown file's next sort
    StoreRecords(t.ctx, t.ctx.st.FileName(DataFile::Breakdown), std::vector{deleted});
    const QStringList echo =
        Import(WorkReportImportFormat(), QStringLiteral("x\t0042\tPRENSA\t07/12/2026\tC\tVE\t45\t15\n"
                                                        "x\t0042\tPRENSA\t07/12/2026\tC\tM\t30\t0\n"));
    EXPECT_EQ(echo.mid(1, 2).join(QLatin1Char('|')).count(QStringLiteral(" * ")), 2);
    const auto breakdowns = Stored<TBreakdownRecord>(DataFile::Breakdown);
    ASSERT_EQ(breakdowns.size(), 1u);
    EXPECT_EQ(breakdowns[0].Code.str() + breakdowns[0].Type.str(), QStringLiteral("PRENSAE"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// Without cards a line whose machine, operator or part is missing asks nothing: its echo says why.
TEST_F(ImportLineTablesTest, ImportsWithoutCardsRefuseSilentlyAndSayWhyInTheEcho)
{
    const std::pair<ImportJob, const char*> cases[] = {
        {WorkReportImportFormat(), "x\t0042\tNOPE\t07/12/2026\tC\tM\t45\t15  MÁQUINA INEXISTENTE"},
        {WorkReportImportFormat(), "x\t9999\tPRENSA\t07/12/2026\tC\tM  OPERARIO NO DADO DE ALTA"},
        {EnergyImportFormat(), "x\tNOPE\tKW1\t07/12/2026\t1234\t2  MÁQUINA INEXISTENTE"},
        {MovementImportFormat(), "x\tPRENSA\t01\t002\t003\tNOPE\t12/12/2028\t\t3  MÁQUINA INEXISTENTE"},
        {MovementImportFormat(), "x\tPRENSA\t01\t002\t009\tPRENSA\t12/12/2028  REPUESTO INEXISTENTE"}};
    for (const auto& [job, echo] : cases)
        EXPECT_EQ(Import(job, QString::fromUtf8(echo).section(QStringLiteral("  "), 0, 0)).at(1),
                  QStringLiteral("   ") + QString::fromUtf8(echo));
    EXPECT_SCRIPT_DONE(t.ui);
}

// Notes the gateway window's line count as it opens and at each update, and its label. A message
// outlasts the wait between two updates.
struct SlowUi final : SilentUi
{
    void ShowMessage(const QString&) override { QThread::msleep(300); }
    void ShowReport(std::shared_ptr<ReportDocument> r) override { counts << r->LineCount(); }
    void UpdateReport(const std::shared_ptr<ReportDocument>& r, const QString& l) override
    {
        counts << r->LineCount();
        label = l;
    }
    QList<int> counts;
    QString label;
};

// The gateway window opens before the first line is read and follows the echo as it grows.
TEST_F(ImportLineTablesTest, TheGatewayWindowOpensFirstAndFollowsTheLinesAsTheyAreRead)
{
    SlowUi ui;
    Context ctx(ui, t.clock, t.shell);
    ctx.st = t.ctx.st;
    RunGatewayImport(ctx, WorkReportImportFormat(),
                     QStringLiteral("x\t0042\tPRENSA\t07/12/2026\tC\tAL\n").repeated(2));
    EXPECT_EQ(ui.counts, (QList<int>{2, 4, 5, 7}));
    EXPECT_EQ(ui.label, QStringLiteral("Inicio de la Sincronización Archivos PARTES"));
}

} // namespace
} // namespace gim
