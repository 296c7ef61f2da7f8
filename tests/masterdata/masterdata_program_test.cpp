#include "app/features.h"
#include "core/startup.h"
#include "masterdata/machine_card.h"
#include "masterdata/personnel_operations.h"
#include "masterdata/reserved_codes.h"
#include "masterdata_fixture.h"
#include "platform/report.h"

namespace gim {
namespace {

// The program as main() puts it together, driven by its keys.
class StartedProgram : public ::testing::Test
{
protected:
    void Start()
    {
        RegisterMainWindowOperations(registry);
        RegisterMasterdata(registry, t.ctx);
        RegisterPersonnel(registry, t.ctx);
        RunStartupBeforeWindow(t.ctx);
        dispatcher = std::make_unique<Dispatcher>(t.ctx, registry, MainCommandTable());
        RunStartupAfterWindow(t.ctx);
    }
    bool PressKey(const char* key)
    {
        for (std::size_t i = 0; i < dispatcher->Table().size(); ++i)
            if (dispatcher->OwnedShortcut(i) == QLatin1String(key))
                return dispatcher->Run(i);
        ADD_FAILURE() << "no item answers to " << key;
        return false;
    }

    test::TestContext t;
    OperationRegistry& registry = t.ctx.Module<OperationRegistry>();
    std::unique_ptr<Dispatcher> dispatcher;
};

TEST_F(StartedProgram, CtrlF2AddsMachinesAndF2ListsThem)
{
    // A reserved-code file of an older list set is completed once the main window stands.
    std::vector<TReservedCodeRecord> older = BuiltInReservedCodes();
    older.pop_back();
    StoreRecords(t.ctx, QStringLiteral("PORTAL.CDG"), older);
    t.ui.ExpectMessage(QStringLiteral("CODIGO DE ACCESO : PORTAL"));
    // No firm is known yet, so the personnel file name starts with the underscore.
    t.ui.ExpectMessage(QStringLiteral("Falta Fichero Personal: _PO.RCH"));
    t.ui.ExpectMessage(QStringLiteral("SE HAN AÑADIDO NUEVOS CODIGOS RESERVADOS"));
    Start();
    EXPECT_SCRIPT_DONE(t.ui);

    for (const char* path :
         {"Máquinas > Alta", "Máquinas > Listado > Máquinas", "Máquinas > Listado > Cuentas",
          "Máquinas > Edición", "Máquinas > Etiquetas", "Máquinas > Informes", "Utiles > Códigos Rsv.",
          "Utiles > Veltrano Web > CrearFicheros > Maquinas",
          "Utiles > Veltrano Web > CrearFicheros > Tipos Mto"}) {
        const auto item = dispatcher->Find(QString::fromUtf8(path));
        ASSERT_TRUE(item) << path;
        EXPECT_TRUE(dispatcher->IsEnabled(*item)) << path;
    }

    t.ui.ExpectCard(QStringLiteral("FICHA DE CODIFICACION DE MAQUINAS"))
        .Set("CODIGO", "PR1")
        .Set("DENOMINACION", "Prensa")
        .Press("Button1");
    t.ui.ExpectCardCancel(QStringLiteral("FICHA DE CODIFICACION DE MAQUINAS"));
    EXPECT_TRUE(PressKey("Ctrl+F2"));
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    EXPECT_TRUE(PressKey("F2"));
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_FALSE(t.ui.Reports().empty());
    const QString text = t.ui.Reports().back()->Text();
    EXPECT_TRUE(text.contains(QStringLiteral("\n1\tPR1\tPrensa\t..\t..\tPR1\t-\tSI\n")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\tNUMERO DE MÁQUINAS CODIFICADAS EN PORTAL =1")));
}

} // namespace
} // namespace gim
