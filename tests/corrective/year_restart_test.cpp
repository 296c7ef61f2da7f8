#include "core/dispatch.h"
#include "masterdata/reserved_codes.h"
#include "planned_repairs_fixture.h"
#include "records/work_order_record.h"
#include "support/killed_child.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <cerrno>
#include <map>

namespace gim::test {
namespace {

TWorkOrderRecord Order(int number, const char* state)
{
    TWorkOrderRecord r{};
    r.Number = number;
    r.State = state;
    return r;
}

// Refusals and mismatches write nothing; a failed carry leaves no environment; then the restart carries
// the open orders renumbered and the repairs not executed, naming their orders anew.
TEST_F(PlannedRepairsTest, EnvironmentAdministration)
{
    RegisterCorrective(registry, t.ctx);
    RegisterMainWindowOperations(registry);
    registry.Register(Op::RestartStoreYear, [](Context& ctx) {
        StoreRecords(ctx, ctx.st.NewEnvironment + ".RPW", std::vector<char>{'R'});
    });
    StoreRecords(t.ctx, "PORTAL.OTR",
                 std::vector{Order(0, "E"), Order(1, "P"), Order(2, "A"), Order(3, "T")});
    StoreRepairs({Repair("M1", 10, "J", "J", "M", 0, "", "3"), Repair("M1", 20, "M", "M"),
                  Repair("M2", 50, "E", "E", "M", 0, "", "1"), Repair("M2", 30, "S", "S"),
                  Repair("M1", 40, "T", "T", "M", 0, "", "2"), Repair("Z", 60, "Z", "P"),
                  Repair("M2", 156, "P", "P", "M", 0, "", "1"), Repair("M1", 104, "A", "P", "A")});
    StoreRecords(t.ctx, "PORTAL.LON", std::vector<char>{24, 27});
    StoreRecords(t.ctx, "PORTAL.INT", std::vector{std::array<char, 274>{1, 'M'}});
    StoreRecords(t.ctx, "VIEJO.MQW", std::vector{Machine("M9")});
    t.WriteFile("SELECTOR.TRB", std::string("\x06PORTAL\0\0\0\0\x05VIEJA", 17) + std::string(13, '\0'));
    ASSERT_TRUE(WriteReservedCodes(t.ctx));
    const auto folder = [&] {
        std::map<QString, std::string> files;
        for (QDirIterator it(data, QDir::Files); it.hasNext();)
            files[it.next()] = t.ReadFile(it.fileName());
        return files;
    };
    // Steps "CAPTION/prompt=answer" (no "=": Cancel) and "!message", separated by ";".
    const auto script = [&](const QString& steps) {
        for (const QString& step : steps.split(';')) {
            const qsizetype slash = step.indexOf('/'), equals = step.lastIndexOf('=');
            if (step.startsWith('!'))
                t.ui.ExpectMessage(step.mid(1));
            else if (equals < 0)
                t.ui.ExpectInputCancel(step.left(slash), step.mid(slash + 1));
            else
                t.ui.ExpectInput(step.left(slash), step.mid(slash + 1, equals - slash - 1),
                                 step.mid(equals + 1));
        }
    };
    const QString ask = "CREACIÓN DE ENTORNOS/¿Desea crear el entorno ";
    const QString code = "NUEVO CODIGO DE ACCESO/Entrar Código=NUEVA;NUEVO CODIGO DE ACCESO/Confirme Código=";
    const std::map<QString, std::string> before = folder();
    const std::pair<const char*, QString> refusals[] = {
        {"Reinicia Año", ask + "=*;!CODIGO DE ENTORNO NO VALIDO"},
        {"Reinicia Año", ask + "=Z;!CODIGO DE ENTORNO NO VALIDO"},
        {"Reinicia Año", ask + "=;!CODIGO DE ENTORNO NO VALIDO"},
        {"Reinicia Año", ask + "=..\\X;!CODIGO DE ENTORNO NO VALIDO"},
        {"Reinicia Año", ask + "=#"},
        {"Reinicia Año", ask + "=viejo;!Imposible Crear Entorno viejo"},
        {"Reinicia Año", ask + "=portal;!Imposible Crear Entorno portal"},
        {"Reinicia Año", ask + ";" + ask + "PORTAL26 ? (S/N)=s"}, // Cancel: the proposed code
        {"Reinicia Año", ask + "=PLANTA2026X;" + ask + "PLANTA20 ? (S/N)=N"},
        {"Acceso", code + "NUEBA;!NO SE HA MODIFICADO EL ACCESO"},
        {"Acceso", code + "NUEVA;CAMBIO DE ENTORNO/Entrar Codigo=#;GAMA MINIMA FRECUENCIA/Entrar Codigo=M;"
                          "!NO SE HA MODIFICADO EL ACCESO"},
    };
    for (const auto& [item, steps] : refusals) {
        script(steps);
        RunMenu((QStringLiteral("Utiles > Entorno  > ") + item).toUtf8().constData());
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(folder(), before) << steps.toStdString();
    }

    QStringList created;
    QString failing; // the target of the first or the fifth carry cannot be created
    FileFaults faults;
    faults.inject = [&](FileOp op, const QString& path) {
        const QString name = QFileInfo(path).fileName();
        if (op == FileOp::Create && name.startsWith("PORTAL26.") && !created.contains(name))
            created << name;
        return op == FileOp::Create && name == failing ? ENOSPC : 0;
    };
    t.ctx.faults = &faults;
    for (const auto& [target, count] : {std::pair{"PORTAL26.CDG", 1}, std::pair{"PORTAL26.RPW", 5}}) {
        failing = QString::fromLatin1(target);
        script(ask + "=PORTAL26;" + ask + "PORTAL26 ? (S/N)=S;!ESCRITURA DE DISCO");
        EXPECT_FALSE(RunMenu("Utiles > Entorno  > Reinicia Año"));
        EXPECT_EQ(QDir(data).entryList({"PORTAL26.*"}), QStringList());
        EXPECT_EQ(created.size(), count);
        created.clear();
    }
    failing.clear();
    script(ask + "=PORTAL26;" + ask + "PORTAL26 ? (S/N)=S;!Creado Entorno PORTAL26");
    EXPECT_TRUE(RunMenu("Utiles > Entorno  > Reinicia Año"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(created, (QStringList{"PORTAL26.CDG", "PORTAL26.OTR", "PORTAL26.MQW", "PORTAL26.OPR",
                                    "PORTAL26.RPW", "PORTAL26.SEM", "PORTAL26.INT", "PORTAL26.LON"}));
    EXPECT_EQ(t.ReadFile("PORTAL26.OTR"), Bytes(std::vector{Order(0, "P"), Order(1, "T")}));
    EXPECT_EQ(t.ReadFile("PORTAL26.LON"), "\x18\x1b");
    QStringList carried; // description/state/week/order, sorted by week
    for (const TPlannedRepairRecord& r : StoredRepairs("PORTAL26.SEM"))
        carried << QStringList{r.Description.str(), r.State.str(), QString::number(r.Week.get()),
                               r.Order.str()}
                       .join('/');
    EXPECT_EQ(carried, (QStringList{"P/P/156/0", "A/P/104/", "T/T/40/", "S/S/30/", "M/M/20/", "J/J/10/1"}));
    t.ctx.faults = nullptr;

    // A carry without its source abandons the restart with its message; killed at any file call, the new
    // environment is whole or not there, and the restart tried again makes it.
    const std::string procedures = t.ReadFile("PORTAL.INT");
    QFile::remove(t.Path("PORTAL.INT"));
    script(ask + "=PORTAL27;" + ask + "PORTAL27 ? (S/N)=S;!FICHERO NO ENCONTRADO");
    RunMenu("Utiles > Entorno  > Reinicia Año");
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(QDir(data).entryList({"PORTAL27.*"}), QStringList());
    t.WriteFile("PORTAL.INT", procedures);
    const QStringList made =
        QStringList{"CDG", "OTR", "MQW", "OPR", "RPW", "SEM", "INT", "LON"}.replaceInStrings(
            QRegularExpression("^"), "PORTAL27.");
    EXPECT_EQ(KillAtEveryFileCall(t, made,
                                  [&] {
                                      script(ask + "=PORTAL27;" + ask +
                                             "PORTAL27 ? (S/N)=S;!Creado Entorno PORTAL27");
                                      RunMenu("Utiles > Entorno  > Reinicia Año");
                                  }),
              "");
}

} // namespace
} // namespace gim::test
