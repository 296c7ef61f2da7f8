#include "core/environment.h"
#include "core/environment_admin.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

// Environment PORTAL, access code "VIEJA", minimum frequency 2S: 30 bytes.
std::string Selector(const std::string& code, const std::string& access)
{
    std::string b(30, '\0');
    b[0] = static_cast<char>(code.size());
    b.replace(1, code.size(), code);
    b[11] = static_cast<char>(access.size());
    b.replace(12, access.size(), access);
    b[28] = 2;
    return b;
}

TEST(AccessChange, TheCodeIsStoredOnlyWhenConfirmedAndTheEnvironmentChanged)
{
    struct Case
    {
        const char* name;
        const char* typed;
        const char* confirmed;
        const char* environment; // nullptr: the environment prompts are not reached
        const char* message;
        std::string selectorAfter; // "" = unchanged
    };
    const Case cases[] = {
        {"mismatch", "NUEVA", "NUEBA", nullptr, "NO SE HA MODIFICADO EL ACCESO", ""},
        {"cancelled confirmation", "NUEVA", "#", nullptr, "NO SE HA MODIFICADO EL ACCESO", ""},
        {"environment kept with #", "NUEVA", "NUEVA", "#", "NO SE HA MODIFICADO EL ACCESO", ""},
        {"confirmed", "NUEVA", "NUEVA", "PLANTA26", "RECUERDE EL NUEVO ACCESO ES :NUEVA",
         Selector("PLANTA26", "NUEVA")},
        {"cut to sixteen", "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP", "PORTAL",
         "RECUERDE EL NUEVO ACCESO ES :ABCDEFGHIJKLMNOP", Selector("PORTAL", "ABCDEFGHIJKLMNOP")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestContext t;
        const std::string before = Selector("PORTAL", "VIEJA");
        t.WriteFile(QStringLiteral("SELECTOR.TRB"), before);
        LoadEnvironment(t.ctx);
        t.ui.ExpectInput("NUEVO CODIGO DE ACCESO", "Entrar Código", c.typed)
            .ExpectInput("NUEVO CODIGO DE ACCESO", "Confirme Código", c.confirmed);
        if (c.environment)
            t.ui.ExpectInput("CAMBIO DE ENTORNO", "Entrar Codigo", c.environment)
                .ExpectInput("GAMA MINIMA FRECUENCIA", "Entrar Codigo", "2S");
        t.ui.ExpectMessage(c.message);
        ChangeAccessCode(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        const std::string after = c.selectorAfter.empty() ? before : c.selectorAfter;
        EXPECT_EQ(t.ReadFile(QStringLiteral("SELECTOR.TRB")), after);

        // The next start reads what the selector holds.
        test::TestContext next;
        next.WriteFile(QStringLiteral("SELECTOR.TRB"), t.ReadFile(QStringLiteral("SELECTOR.TRB")));
        LoadEnvironment(next.ctx);
        EXPECT_EQ(next.ctx.st.AccessCode, t.ctx.st.AccessCode);
        EXPECT_EQ(next.ctx.st.CurrentEnvironment, t.ctx.st.CurrentEnvironment);
    }
}

TEST(DataFileBrowser, OffersTheEnvironmentsFilesWhateverTheirCase)
{
    test::TestContext t;
    t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
    t.ctx.st.FirmName = QStringLiteral("LA FABRICA");
    t.ui.ExpectChooseFile(std::nullopt);
    BrowseDataFiles(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(t.ui.FileRequests().size(), 1u);
    const FileDialogRequest& request = t.ui.FileRequests().front();
    EXPECT_EQ(request.folder, t.ctx.st.BaseDir);
    EXPECT_TRUE(request.anyLetterCase);
    // A blank in the firm would split the pattern in two: it stands as "?".
    EXPECT_EQ(request.filters, (QStringList{
                                   "Ficheros de Datos Máquinas de PORTAL (PORTAL.*)",
                                   "Ficheros de Datos Personal de LA FA_PO (LA?FA_PO.*)",
                                   "Entornos de Fábricas .mqn (*.mq*)",
                                   "Ficheros de Personal .rch (*.rch)",
                                   "Ficheros de Imágenes Comprimidas .JPG (*.jpg)",
                                   "Ficheros de Imágenes Editables .BMP (*.bmp)",
                                   "Ficheros de Texto .RTF (*.rtf)",
                               }));
}

} // namespace
} // namespace gim
