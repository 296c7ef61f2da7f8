#include "core/drive_paths.h"
#include "masterdata/machine_listings.h"
#include "masterdata/machines.h"
#include "masterdata_fixture.h"
#include "platform/report.h"

#include <QFileInfo>
#include <cerrno>

namespace gim {
namespace {

const QString kHeading =
    QStringLiteral("[MAQUINAS DE PORTAL]\n"
                   "TABS: 20 80 340 440 510 580 650\n"
                   "{13 b}\tFABRICA\tPORTAL\n"
                   "\n"
                   "\t\t           LISTADO DE MAQUINAS a 07/12/2026\n"
                   "{10 b}\n"
                   "Nº\tCODIGO\tDENOMINACION\tMODELO\tNºSERIE\tCUENTA\tUBICACIÓN\tDISPONIBLE\n"
                   "{10}\n");

class MachineListingsTest : public test::MasterdataTest
{
protected:
    // The last listing handed to the report window.
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
    void ExpectAccountPrompt(const char* answer)
    {
        t.ui.ExpectInput(QStringLiteral("LISTADO SELECTIVO CUENTAS GASTOS "),
                         QStringLiteral("INTRODUCIR CODIGO DE CUENTA"), QString::fromLatin1(answer));
    }
    // Accounts "10" and "100": joined with the codes, "10" + "TORNO" sorts after "100" + "ARIETE".
    void StoreAccounts()
    {
        StoreMachines({Machine("TORNO", "Torno", "10"), Machine("ARIETE", "Ariete", "100"),
                       Machine("-1", "Fresa", "10", "F-1", "S9", "NAVE 2", "NO"),
                       Machine("BOMBA", "Bomba", "200")});
    }
};

TEST_F(MachineListingsTest, EveryMachineInCodeOrder)
{
    StoreMachines({Machine("B2", "Torno", "TOR", "T-100", "77", "TALLER", "NO"),
                   Machine("A1", "Prensa", "PRE", "P-20", "S1", "NAVE 1")});
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Máquinas > Listado > Máquinas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(),
              kHeading + QStringLiteral("1\tA1\tPrensa\tP-20\tS1\tPRE\tNAVE 1\tSI\n"
                                        "2\tB2\tTorno\tT-100\t77\tTOR\tTALLER\tNO\n"
                                        "\n"
                                        "{10 b}\tNUMERO DE MÁQUINAS CODIFICADAS EN PORTAL =2\n"));
    EXPECT_EQ(t.ui.Reports().back()->saveSubFolder, QStringLiteral("\\Maquinas"));
    EXPECT_TRUE(Machines(t.ctx).MachineList.empty()); // freed by the command
    EXPECT_EQ(t.ctx.st.ActionCode, QString());
}

// Accounts used to be compared joined with the code, so "10" split around "100" and was counted twice.
TEST_F(MachineListingsTest, AllAccountsGiveOneBoldRowPerAccountAndCountThem)
{
    StoreAccounts();
    ExpectAccountPrompt("*");
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Máquinas > Listado > Cuentas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(), kHeading + QStringLiteral("{10 b}1\t-1\tFresa\tF-1\tS9\t10\tNAVE 2\tNO\n"
                                                      "2\tARIETE\tAriete\t-\t-\t100\t-\tSI\n"
                                                      "3\tBOMBA\tBomba\t-\t-\t200\t-\tSI\n"
                                                      "{10}\n"
                                                      "{10 b}\tNUMERO DE CUENTAS DE COSTE ES DE 3\n"));
}

TEST_F(MachineListingsTest, OneAccountListsItsMachinesUnderItsHeadRow)
{
    StoreAccounts();
    ExpectAccountPrompt("10");
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Máquinas > Listado > Cuentas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(),
              kHeading + QStringLiteral("{10 b}0\t-1\tFresa\tF-1\tS9\t10\tNAVE 2\tNO\n"
                                        "{10}\n"
                                        "1\t-1\tFresa\tF-1\tS9\t10\tNAVE 2\tNO\n"
                                        "2\tTORNO\tTorno\t-\t-\t10\t-\tSI\n"
                                        "\n"
                                        "{10 b}\tNUMERO DE MÁQUINAS EN LA  CUENTA DE GASTO 10 =2\n"));
    EXPECT_EQ(t.ctx.st.SelectedAccount, QStringLiteral("10"));

    // An account nobody has: the total says 0.
    ExpectAccountPrompt("999");
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Máquinas > Listado > Cuentas"));
    EXPECT_TRUE(
        Transcript().endsWith(QStringLiteral("\tNUMERO DE MÁQUINAS EN LA  CUENTA DE GASTO 999 =0\n")));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(MachineListingsTest, WebFileHoldsCodeAndNameInWindows1252)
{
    StoreMachines({Machine("B2", "Torno peque\xF1o"), Machine("A1", "Prensa", "PRE")});
    // An account left from an earlier listing does not add rows to the web file's window.
    t.ctx.st.SelectedAccount = QStringLiteral("PRE");
    t.ui.ExpectMessage(
        QStringLiteral("Se ha generado correctamente el FICHERO en C:\\CopiaSeg\\VeltWeb\\PORTAL_MQ.rtf"));
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Utiles > Veltrano Web > CrearFicheros > Maquinas"));
    EXPECT_SCRIPT_DONE(t.ui);

    QFile file(WebExchangeFolder(data) + QStringLiteral("/PORTAL_MQ.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("A1\tPrensa\r\nB2\tTorno peque\xF1o\r\n"));
    EXPECT_EQ(Transcript(), QStringLiteral("[MAQUINAS DE PORTAL]\n"
                                           "TABS: 20 80 340 440 510 580 650\n"
                                           "A1\tPrensa\n"
                                           "B2\tTorno pequeño\n"
                                           "\n"));
}

TEST_F(MachineListingsTest, WebFileThatCannotBeWrittenIsNotReportedAsWritten)
{
    StoreMachines({Machine("A1")});
    FileFaults faults;
    faults.inject = [](FileOp op, const QString& path) {
        return op == FileOp::Create && path.endsWith(QLatin1String("PORTAL_MQ.rtf")) ? EACCES : 0;
    };
    t.ctx.faults = &faults;
    t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Utiles > Veltrano Web > CrearFicheros > Maquinas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(QFileInfo::exists(WebExchangeFolder(data) + QStringLiteral("/PORTAL_MQ.rtf")));
}

class MachineLabelsTest : public MachineListingsTest
{
protected:
    void StoreNumbered(int count)
    {
        std::vector<TMachineRecord> machines;
        for (int i = count; i >= 1; --i) {
            const std::string n = std::string(i < 10 ? "0" : "").append(std::to_string(i));
            machines.push_back(Machine(("M" + n).c_str(), ("Maquina " + n).c_str(), "CTA",
                                       ("MOD" + n).c_str(), ("S" + n).c_str()));
        }
        StoreMachines(machines);
    }
    QStringList LabelCodeLines() const
    {
        QStringList codes;
        const ReportDocument& doc = *t.ui.Reports().back();
        for (const ReportLine& line : doc.Lines())
            if (!line.runs.empty() && doc.StyleOf(line.runs.front()).halfPoints == 40)
                codes << line.Text();
        return codes;
    }
    void ExpectStartPrompt(const char* answer)
    {
        t.ui.ExpectInput(QStringLiteral("ÉTIQUETAS DE MÁQUINAS"),
                         QStringLiteral("Entrar Nº de Orden de la Primera Etiqueta"),
                         QString::fromLatin1(answer));
        t.ui.ExpectReport(QStringLiteral("ETIQUETAS DE MAQUINAS"));
    }
};

TEST_F(MachineLabelsTest, SheetHoldsSixteenLabelsFromTheStartPosition)
{
    StoreNumbered(20);
    ExpectStartPrompt("1");
    ASSERT_TRUE(RunMenu("Máquinas > Etiquetas"));
    EXPECT_EQ(LabelCodeLines(), (QStringList{"\tM01\tM02", "\tM03\tM04", "\tM05\tM06", "\tM07\tM08",
                                             "\tM09\tM10", "\tM11\tM12", "\tM13\tM14", "\tM15\tM16"}));
    ExpectStartPrompt("3");
    ASSERT_TRUE(RunMenu("Máquinas > Etiquetas"));
    EXPECT_EQ(LabelCodeLines(), (QStringList{"\tM03\tM04", "\tM05\tM06", "\tM07\tM08", "\tM09\tM10",
                                             "\tM11\tM12", "\tM13\tM14", "\tM15\tM16", "\tM17\tM18"}));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(Machines(t.ctx).MachineList.empty());
}

// Starts at the ends of the 64-bit range give an empty sheet, not an overflow.
TEST_F(MachineLabelsTest, StartPastEveryMachineOrBeforeTheFirstGivesNoLabels)
{
    StoreNumbered(4);
    for (const char* start : {"9223372036854775807", "-9223372036854775808", "-15"}) {
        ExpectStartPrompt(start);
        ASSERT_TRUE(RunMenu("Máquinas > Etiquetas"));
        EXPECT_EQ(LabelCodeLines(), QStringList{}) << start;
    }
    // A start before the first machine still prints the pairs that fall in its sixteen positions.
    ExpectStartPrompt("-14");
    ASSERT_TRUE(RunMenu("Máquinas > Etiquetas"));
    EXPECT_EQ(LabelCodeLines(), (QStringList{"\tM01\tM02"}));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(MachineLabelsTest, LabelLayoutWithASpacerAfterEveryThirdPairAndABlankLastLabel)
{
    StoreNumbered(7);
    ExpectStartPrompt("1");
    ASSERT_TRUE(RunMenu("Máquinas > Etiquetas"));
    EXPECT_SCRIPT_DONE(t.ui);
    QString expected = QStringLiteral("[ETIQUETAS DE MAQUINAS]\nTABS: 7 300 450\n");
    for (const auto& [left, right] : std::vector<std::pair<int, int>>{{1, 2}, {3, 4}, {5, 6}, {7, 0}}) {
        auto text = [](int n, const char* prefix) {
            return n == 0
                       ? QString()
                       : QString::fromLatin1(prefix) + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        };
        expected += QStringLiteral("{20 b}\t%1\t%2\n{12 b}\n").arg(text(left, "M"), text(right, "M"));
        expected += QStringLiteral("{13}\t%1\t%2\n").arg(text(left, "Maquina "), text(right, "Maquina "));
        expected += QStringLiteral("\t%1\t%2\n").arg(text(left, "MOD"), text(right, "MOD"));
        expected += QStringLiteral("\t%1\t%2\n\n").arg(text(left, "S"), text(right, "S"));
        if (left == 5)
            expected += QStringLiteral("{6}\n");
    }
    EXPECT_EQ(Transcript(), expected);
}

TEST_F(MachineListingsTest, NewDataSheetIsStartedAndAStoredOneIsShownAsItIs)
{
    const TMachineRecord machine = Machine("A1", "Prensa", "CTA", "P-20", "S1");
    t.ui.ExpectReport(QStringLiteral("LIBRO DE MAQUINAS"));
    ShowMachineSheet(t.ctx, machine);
    EXPECT_EQ(Transcript(), QStringLiteral("[LIBRO DE MAQUINAS]\n"
                                           "{13 b}\t\t\t            FICHA DE CARACTERISTICAS\n"
                                           "\n"
                                           "{13 u}\tPORTAL         MAQUINA  A1/Prensa/") +
                                QString(33, QLatin1Char(' ')) +
                                QStringLiteral("07/12/2026\n"
                                               "\n"
                                               "\t\tModelo: P-20                    Nº Serie: S1\n"
                                               "\n"
                                               "\tCARACTERÍSTICAS :\n"
                                               "{10}\n"));
    const ReportDocument& sheet = *t.ui.Reports().back();
    EXPECT_EQ(sheet.saveSubFolder, QStringLiteral("\\Maquinas\\PORTAL\\"));
    EXPECT_EQ(sheet.saveFileName, QStringLiteral("A1.rtf"));
    EXPECT_TRUE(QFileInfo(data + QStringLiteral("/MAQUINAS/PORTAL")).isDir());

    {
        QFile stored(data + QStringLiteral("/MAQUINAS/PORTAL/A1.rtf"));
        ASSERT_TRUE(stored.open(QIODevice::WriteOnly));
        stored.write("Motor de 5 kW\nRevisado");
    }
    t.ui.ExpectReport(QStringLiteral("LIBRO DE MAQUINAS"));
    ShowMachineSheet(t.ctx, machine);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().back()->Text(), QStringLiteral("Motor de 5 kW\nRevisado"));
}

} // namespace
} // namespace gim
