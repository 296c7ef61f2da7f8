#include "core/startup.h"
#include "core/file_swap.h"
#include "core/transaction.h"

#include "core/command.h"
#include "core/context.h"
#include "core/data_file.h"
#include "core/environment.h"
#include "core/io_errors.h"

namespace gim {

namespace {

// A step an interrupted run had stored goes into its files before anything is read. Where that cannot
// be done (the folder cannot be locked, the journal cannot be written through or emptied) start-up goes
// on read-only, saying why once, rather than half-made.
void RecoverFolder(Context& ctx)
{
    try {
        RecoverJournal(ctx);
        RecoverFileSwap(ctx, true);
    } catch (const IoAbort& e) {
        State& st = ctx.st;
        st.LastIOResult = e.code();
        // A program that holds the lock is alive: it writes its own journal through.
        if (st.ReadOnlyReason.isEmpty() && e.code() == IoCode::LockViolation) {
            ctx.ui.ShowMessage(e.Message());
            return;
        }
        if (st.ReadOnlyReason.isEmpty())
            st.ReadOnlyReason = QStringLiteral("NO SE PUEDE APLICAR EL DIARIO ") + st.CurrentEnvironment +
                                QStringLiteral(".JNL: ") + e.Message() +
                                QStringLiteral(". SOLO SE PUEDE CONSULTAR.");
        ctx.ui.ShowMessage(st.ReadOnlyReason);
    }
}

} // namespace

void RunStartupBeforeWindow(Context& ctx)
{
    State& st = ctx.st;
    st.OutputCode.clear();
    st.ReportFileName = QStringLiteral("*.rtf");
    st.PrintFlag = 0;
    // The drive the data lives on. Windows drive paths resolve under the data folder's parent (see
    // DrivePath), which plays the part of the data drive, so the drive's name is the one users know.
    st.DriveText = QStringLiteral("C:");
    // A corrupt file must not stop the program from starting: the failure is shown and start-up goes on.
    RunCommand(ctx, {}, [&] {
        InitCurrentDate(ctx);
        SetDayOfWeekString(ctx);
        LoadEnvironment(ctx);
    });
    RecoverFolder(ctx);
    RunCommand(ctx, {}, [&] {
        InitPlanningYears(ctx);
        RemoveLeftoverTemporaryFiles(ctx);
    });
    LoadEnvironmentData(ctx);
}

void RunStartupAfterWindow(Context& ctx)
{
    for (const auto& entry : ctx.Module<StartupSteps>().afterWindow)
        RunCommand(ctx, {}, [&] { entry.second(ctx); });
}

void LoadEnvironmentData(Context& ctx)
{
    for (const auto& entry : ctx.Module<StartupSteps>().environmentData)
        RunCommand(ctx, {}, [&] { entry.second(ctx); });
}

} // namespace gim
