#include "app/features.h"
#include "app/main_window.h"
#include "core/command_table.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/operation_ids.h"
#include "core/operations.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace gim {
namespace {

// Everything the menu names: each item's steps, conditions and further needs, and the report window's
// hand-overs that the edit items run first.
std::vector<Requirement> MenuNames()
{
    std::vector<Requirement> names;
    const auto add = [&names](Requirement name) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    };
    for (const CommandItem& item : MainCommandTable()) {
        for (const Requirement& name : item.Requirements())
            add(name);
    }
    for (const PendingEditEntry& entry : kPendingEdits)
        add(entry.handOver);
    return names;
}

// Where the registry and the list of what is not built yet disagree, one line per name, sorted.
QStringList CoverageProblems(const OperationRegistry& registry)
{
    const std::vector<Requirement> named = MenuNames();
    const auto* listBegin = std::begin(kOperationsNotBuiltYet);
    const auto* listEnd = std::end(kOperationsNotBuiltYet);
    QStringList problems;
    for (const Requirement& name : named) {
        const bool registered = registry.Has(name);
        const bool listed = std::find(listBegin, listEnd, name) != listEnd;
        if (registered && listed)
            problems << QString::fromLatin1(Name(name)) +
                            QStringLiteral(" is registered and listed as not built");
        else if (!registered && !listed)
            problems << QString::fromLatin1(Name(name)) + QStringLiteral(" is neither registered nor listed");
    }
    for (const auto* it = listBegin; it != listEnd; ++it) {
        if (std::find(named.begin(), named.end(), *it) == named.end())
            problems << QString::fromLatin1(Name(*it)) +
                            QStringLiteral(" is listed but no menu item names it");
        if (std::find(listBegin, it, *it) != it)
            problems << QString::fromLatin1(Name(*it)) + QStringLiteral(" is listed twice");
    }
    problems.sort();
    return problems;
}

// The program as it stands when its window opens: every feature registered, then the main window,
// which adds its dialogs and the report windows' hand-overs.
class ProgramOperations : public ::testing::Test
{
protected:
    ProgramOperations()
    {
        t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        RegisterFeatures(t.ctx);
        window = std::make_unique<TGim>(t.ctx, operations, dispatcher);
    }

    test::TestContext t;
    OperationRegistry& operations = t.ctx.Module<OperationRegistry>();
    Dispatcher dispatcher{t.ctx, operations, MainCommandTable()};
    std::unique_ptr<TGim> window;
};

TEST_F(ProgramOperations, EverythingTheMenuNamesIsRegisteredOrListedAsNotBuiltYet)
{
    EXPECT_EQ(CoverageProblems(operations), QStringList());

    // Items whose names are all registered are offered; the listed ones keep theirs disabled.
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Máquinas > Alta"))));
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Gamas > Edición OPR"))));
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Utiles > Fuentes"))));
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Personal > Listados > Matriculas"))));
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Utiles > Actualizaciones"))));
    EXPECT_TRUE(dispatcher.IsEnabled(
        *dispatcher.Find(QStringLiteral("Partes > Fichero > Fraccionar fichero de Partes."))));
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Partes > Fichero > Añadir Partes"))));
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Partes > Alta"))));
    // The pop-up menu's general re-sort, once every file it sorts has its sort.
    EXPECT_TRUE(dispatcher.IsEnabled(*dispatcher.Find(QStringLiteral("Ordenar"))));
}

TEST_F(ProgramOperations, TheCheckNamesWhatIsBothRegisteredAndListedAndWhatIsNeither)
{
    // Without the main window its dialogs and the hand-overs are missing.
    test::TestContext other;
    OperationRegistry& featuresOnly = other.ctx.Module<OperationRegistry>();
    RegisterFeatures(other.ctx);
    EXPECT_EQ(CoverageProblems(featuresOnly), (QStringList{
                                                  "CascadeWindows is neither registered nor listed",
                                                  "EditarAverias is neither registered nor listed",
                                                  "EditarCompras is neither registered nor listed",
                                                  "EditarEnergias is neither registered nor listed",
                                                  "EditarGamas is neither registered nor listed",
                                                  "EditarOrdenesT is neither registered nor listed",
                                                  "EditarPartes is neither registered nor listed",
                                                  "EditarProcedimientos is neither registered nor listed",
                                                  "EditarRAlmacen is neither registered nor listed",
                                                  "EditarRepara is neither registered nor listed",
                                                  "ShowFontDialog is neither registered nor listed",
                                                  "ShowMailComposer is neither registered nor listed",
                                                  "ShowPictureViewer is neither registered nor listed",
                                                  "ShowPrintDialog is neither registered nor listed",
                                              }));
}

} // namespace
} // namespace gim
