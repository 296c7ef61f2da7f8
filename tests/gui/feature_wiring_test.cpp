#include "app/features.h"
#include "core/record_file.h"
#include "masterdata/masterdata_fixture.h"
#include "preventive/revision_card.h"
#include "records/planned_repair_record.h"

namespace gim {
namespace {

// The program's own registration: a feature runs another's operations through the context's registry.
class FeatureWiring : public test::MasterdataTest
{
protected:
    FeatureWiring()
    {
        State& st = t.ctx.st;
        st.FirstYear = 24;
        st.LastYear = 27;
        st.PlanWeeks = 3 * 52;
        StoreMachines({Machine("PRENSA", "Prensa grande", "PRE")});
        RegisterFeatures(t.ctx);
    }
};

TEST_F(FeatureWiring, ARevisionInStateRpAddsItsRepairOnThePlannedRepairCardAndSortsTheFile)
{
    t.ctx.st.ActionCode = QStringLiteral("1");
    t.ctx.st.ContinueFlag = 0;
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :"))
        .Set("Codigo", "PRENSA")
        .Set("Espec", "MM")
        .Set("Descripcion", "Cambiar rodamiento")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("ALTA de REPARACION EN  PRENSA"));
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Prensa grande")).Press("Salir");
    AddPendingRepair(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);

    const auto stored = LoadRecords<TPlannedRepairRecord>(t.ctx, QStringLiteral("PORTAL.SEM"), false);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Code.str(), "PRENSA");
    EXPECT_EQ(stored[0].Week.get(), 156);
    EXPECT_EQ(stored[0].State.str(), "P");
    // Stored into an existing file or not, the add's own sort ran through the twin.
    EXPECT_TRUE(t.Exists(QStringLiteral("PORTAL.SBK")));
}

} // namespace
} // namespace gim
