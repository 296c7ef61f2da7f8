#include "corrective/year_restart.h"
#include "masterdata/reserved_codes.h"
#include "planned_repairs_fixture.h"
#include "records/planned_repair_record.h"
#include "records/procedure_record.h"
#include "records/work_order_record.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace gim::test {
namespace {

const char* const kRestart = "Utiles > Entorno  > Reinicia Año";
const QString kCaption = QStringLiteral("CREACIÓN DE ENTORNOS");
const QString kQuestion = QStringLiteral("¿Desea crear el entorno ");

// Environment PORTAL (plan 2024-2027) with its orders, repairs and machines; the store's carry is a stand-in
// that writes the new spare-part file.
class YearRestartTest : public PlannedRepairsTest
{
protected:
    YearRestartTest()
    {
        RegisterCorrective(registry, t.ctx);
        registry.Register(Op::RestartStoreYear, [this](Context& ctx) {
            storeCarriedFor = ctx.st.NewEnvironment;
            StoreRecords(ctx, ctx.st.NewEnvironment + QStringLiteral(".RPW"), std::vector<char>{'R'});
        });
        t.ctx.faults = &faults;
        TProcedureRecord heading{};
        heading.MachineCode = "M1";
        heading.Espec = "MC";
        heading.Proced = "01";
        heading.Inst = "00";
        StoreRecords(t.ctx, QStringLiteral("PORTAL.INT"), std::vector{heading});
    }

    static TWorkOrderRecord Order(int number, const char* state, const char* machine = "M1")
    {
        TWorkOrderRecord r{};
        r.Number = number;
        r.Description = QStringLiteral("Fuga de aceite");
        r.Machine = machine;
        r.State = state;
        return r;
    }
    void StoreOrders(const std::vector<TWorkOrderRecord>& orders)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.OTR"), orders);
    }
    // The new environment's files.
    QStringList Files() const { return QDir(data).entryList({"PORTAL26.*"}, QDir::Files, QDir::Name); }

    FileFaults faults;
    QString storeCarriedFor;
};

TEST_F(YearRestartTest, RefusedCodesAndAnswersCreateNothing)
{
    struct Case
    {
        const char* name;
        const char* typed;      // nullptr: Cancel, which takes the proposed code
        const char* message;    // nullptr: none
        const char* confirmFor; // the code the confirmation names; nullptr: not asked
        const char* confirmation;
    };
    const Case cases[] = {
        {"empty", "", "CODIGO DE ENTORNO NO VALIDO", nullptr, nullptr},
        {"way out", "#", nullptr, nullptr, nullptr},
        {"deleted mark", "Z", "CODIGO DE ENTORNO NO VALIDO", nullptr, nullptr},
        {"wildcard", "*", "CODIGO DE ENTORNO NO VALIDO", nullptr, nullptr},
        {"another folder", "../X", "CODIGO DE ENTORNO NO VALIDO", nullptr, nullptr},
        {"machine file exists", "viejo", "Imposible Crear Entorno viejo", nullptr, nullptr},
        {"the current one", "portal", "Imposible Crear Entorno portal", nullptr, nullptr},
        {"proposed, answered s", nullptr, nullptr, "PORTAL26", "s"},
        {"cut to eight, answered N", "PLANTA2026X", nullptr, "PLANTA20", "N"},
    };
    StoreRecords(t.ctx, QStringLiteral("VIEJO.MQW"), std::vector{Machine("M9")});
    const QStringList before = QDir(data).entryList(QDir::Files, QDir::Name);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.typed)
            t.ui.ExpectInput(kCaption, kQuestion, c.typed);
        else
            t.ui.ExpectInputCancel(kCaption, kQuestion);
        if (c.message)
            t.ui.ExpectMessage(c.message);
        if (c.confirmFor)
            t.ui.ExpectInput(kCaption, kQuestion + c.confirmFor + " ? (S/N)", c.confirmation);
        RunMenu(kRestart);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(QDir(data).entryList(QDir::Files, QDir::Name), before);
    }
}

TEST_F(YearRestartTest, CarriesTheOpenOrdersAndRepairsInOrderUnderNewNumbers)
{
    StoreOrders({Order(0, "E"), Order(1, "P"), Order(2, "A"), Order(3, "T", "M2")});
    StoreRepairs({
        Repair("M1", 10, "J", "J", "M", 30, "000001", "3"),
        Repair("M1", 20, "M", "M"),
        Repair("M2", 50, "E", "E", "M", 60, "000001", "1"),
        Repair("M2", 30, "S", "S"),
        Repair("M1", 40, "T", "T", "M", 0, "01/12/2026", "2"),
        Repair("Z", 60, "Z", "P"),
        Repair("M2", 156, "P", "P", "M", 0, "01/12/2026", "1"),
        Repair("M1", 104, "A", "P", "A"),
    });
    StoreRecords(t.ctx, QStringLiteral("PORTAL.LON"), std::vector<char>{24, 27});
    ASSERT_TRUE(WriteReservedCodes(t.ctx));
    QStringList created;
    faults.inject = [&](FileOp op, const QString& path) {
        const QString name = QFileInfo(path).fileName();
        if (op == FileOp::Create && name.startsWith(QStringLiteral("PORTAL26.")) && !created.contains(name))
            created << name;
        return 0;
    };
    t.ui.ExpectInputCancel(kCaption, kQuestion)
        .ExpectInput(kCaption, kQuestion + "PORTAL26 ? (S/N)", "S")
        .ExpectMessage("Creado Entorno PORTAL26");
    RunMenu(kRestart);
    EXPECT_SCRIPT_DONE(t.ui);

    // Reserved codes, orders, machines, routines, store, repairs, procedures, plan years, in that order.
    EXPECT_EQ(created, (QStringList{"PORTAL26.CDG", "PORTAL26.OTR", "PORTAL26.MQW", "PORTAL26.OPR",
                                    "PORTAL26.RPW", "PORTAL26.SEM", "PORTAL26.INT", "PORTAL26.LON"}));
    EXPECT_EQ(storeCarriedFor, "PORTAL26");
    EXPECT_EQ(t.ReadFile("PORTAL26.MQW"), t.ReadFile("PORTAL.MQW"));
    EXPECT_EQ(t.ReadFile("PORTAL26.LON"), std::string("\x18\x1b", 2));

    // Orders 1 (P) and 3 (T) become 0 and 1; each record's number is its index.
    const TWorkOrderRecord first = Order(0, "P");
    const TWorkOrderRecord second = Order(1, "T", "M2");
    EXPECT_EQ(t.ReadFile("PORTAL26.OTR"), Bytes(std::vector{first, second}));

    // Sorted by week, executed and deleted ones left; the orders named as renumbered, a dropped one no more.
    std::vector<std::string> carried;
    for (const TPlannedRepairRecord& r : StoredRepairs("PORTAL26.SEM"))
        carried.push_back(std::string(r.Description.bytes()) + "/" + std::string(r.State.bytes()) + "/" +
                          std::to_string(r.Week.get()) + "/" + std::string(r.Order.bytes()));
    EXPECT_EQ(carried, (std::vector<std::string>{"P/P/156/0", "A/P/104/", "T/T/40/", "S/S/30/", "M/M/20/",
                                                 "J/J/10/1"}));
    // The current environment keeps everything.
    EXPECT_EQ(t.ReadFile("PORTAL.OTR").size(), 4 * sizeof(TWorkOrderRecord));
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, "PORTAL");
}

TEST_F(YearRestartTest, AFailingCarryLeavesNoEnvironmentBehindAndARetryCreatesIt)
{
    StoreOrders({Order(0, "P")});
    StoreRepairs({Repair("M1", 20, "M", "M")});
    faults.inject = [](FileOp op, const QString& path) {
        return op == FileOp::Create && path.endsWith(QStringLiteral("PORTAL26.RPW")) ? ENOSPC : 0;
    };
    t.ui.ExpectInput(kCaption, kQuestion, "PORTAL26")
        .ExpectInput(kCaption, kQuestion + "PORTAL26 ? (S/N)", "S")
        .ExpectMessage("ESCRITURA DE DISCO");
    EXPECT_FALSE(RunMenu(kRestart));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Files(), QStringList());

    faults.inject = nullptr;
    t.ui.ExpectInput(kCaption, kQuestion, "PORTAL26")
        .ExpectInput(kCaption, kQuestion + "PORTAL26 ? (S/N)", "S")
        .ExpectMessage("Creado Entorno PORTAL26");
    EXPECT_TRUE(RunMenu(kRestart));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.Exists("PORTAL26.MQW"));
}

} // namespace
} // namespace gim::test
