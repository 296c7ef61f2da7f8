#include "core/startup.h"
#include "core/file_swap.h"
#include "core/transaction.h"

#include "core/command.h"
#include "core/context.h"
#include "core/data_file.h"
#include "core/environment.h"

namespace gim {

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
        // A step an interrupted run had stored goes into its files before anything is read.
        RecoverJournal(ctx);
        RecoverFileSwap(ctx, true);
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
