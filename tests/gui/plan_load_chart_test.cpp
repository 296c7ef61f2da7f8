#include "platform/qt/jpeg_codec.h"
#include "preventive/preventive_fixture.h"

namespace gim {
namespace {

class PlanLoadChartTest : public test::PreventiveTest
{
};

// "&GRAFICO" charts 2026 (40 available, 10 reserved, 4 planned hours a week) in a report and on the panel,
// whose picture "SAL&VAR" saves: a name without extension as a JPEG, a ".BMP" name as a bitmap.
TEST_F(PlanLoadChartTest, TheChartIsDrawnAndItsPictureSavedByExtension)
{
    QtPictureCodec codec;
    t.ctx.codec = &codec;
    StoreAgenda(Agenda(104, 2400, 240, 600));
    const QString caption = QStringLiteral("PLANIFICACION DE MANTENIMIENTO");
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA SEMANA (0 a 52)"), QStringLiteral("20"))
        .ExpectInput(caption, QStringLiteral("INTRODUZCA AÑO "), QStringLiteral("2026"));
    t.ui.ExpectCard(QStringLiteral("CARGA DE MANTENIMIENTO PREVENTIVO"))
        .Press(QStringLiteral("Button2"))
        .Press(QStringLiteral("BitBtn3"))
        .Press(QStringLiteral("BitBtn3"))
        .Press(QStringLiteral("BitBtn2"));
    t.ui.ExpectReport()
        .ExpectChooseFile(data + QStringLiteral("/carga"))
        .ExpectChooseFile(data + QStringLiteral("/carga.BMP"));
    ASSERT_TRUE(RunMenu("Pláning > Recursos > Listar"));
    ASSERT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("carga.jpg")).substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(t.ReadFile(QStringLiteral("carga.BMP")).substr(0, 2), "BM");

    const QString transcript = t.ui.Reports().at(0)->Transcript();
    EXPECT_TRUE(transcript.contains(QStringLiteral(
        "GRAFICO: CARGA TRABAJO DE MANTENIMIENTO PREVENTIVO 2026 max=2400 'H Disponibles' 'H Reservadas' "
        "'H Mto.Prevent 4' ' ' ' ' ' ' weeks=53\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("  'H Disponibles' = 2080 #ff0000\n  'H Reservadas' = 520 "
                                                   "#ff00ff\n  'H Mto.Prevent' = 208 #ffff00\n")));
}

} // namespace
} // namespace gim
