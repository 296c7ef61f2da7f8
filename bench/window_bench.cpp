// What the user waits for: F2 on a register of 65,535 machines from the command to the window shown, an
// RTF listing of 100,000 lines loaded into the report window, and the start-up on a ten-year environment
// with 65,535 machines. Each is run alternately with its
// anchor, a QPlainTextEdit filled with the same rows and shown in the same work area, and reports the
// ratio of the medians.
#include "app/features.h"
#include "app/main_window.h"
#include "app/report_window.h"
#include "bench_support.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "core/startup.h"
#include "platform/clock.h"
#include "platform/handover.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/rtf.h"
#include "records/plan_records.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <cstdio>

namespace gim {
namespace {

using bench::SilentUi;

constexpr int kMachines = 65535;
constexpr int kRtfLines = 100000;

struct Desk
{
    SilentUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    QtPictureCodec codec;
    Context ctx{ui, clock, shell};
    QMdiArea area;
    HandoverRegistry handover;

    Desk()
    {
        ctx.st.BaseDir = ctx.st.WorkDir = dir.path();
        ctx.codec = &codec;
        ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        InitCurrentDate(ctx);
        BuildDataFileNames(ctx);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) {
            ShowReportWindow(&area, std::move(doc), ctx, handover);
        };
        area.resize(1280, 900);
        area.show();
        bench::Settle();
    }

    TEditorRTF* Newest() { return ReportWindows::Of(&area, ctx, handover).Newest(); }

    // The anchor: the rows in a plain-text box, shown maximised in the same area.
    double PlainAnchor(const QString& rows)
    {
        const double t = bench::TimeOnce([&] {
            auto* edit = new QPlainTextEdit;
            edit->setLineWrapMode(QPlainTextEdit::NoWrap);
            edit->setPlainText(rows);
            QMdiSubWindow* sub = area.addSubWindow(edit);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->showMaximized();
            bench::WaitUntilPainted(edit->viewport());
        });
        CloseAll();
        return t;
    }

    void CloseAll()
    {
        area.closeAllSubWindows();
        bench::Settle();
    }
};

TMachineRecord NumberedMachine(int i)
{
    char code[16];
    std::snprintf(code, sizeof code, "M%06d", i);
    TMachineRecord r{};
    r.Codigo = code;
    r.Denominacion = "PRENSA HIDRAULICA DE 200 T";
    r.Modelo = "PH-200";
    r.Fabricacion = "S-1234";
    r.Cuenta = "CTA-100";
    r.Ubicacion = "NAVE 2";
    r.Disponible = "SI";
    return r;
}

void BM_MachineListingShown(benchmark::State& state)
{
    Desk desk;
    std::vector<TMachineRecord> machines;
    for (int i = 1; i <= state.range(0); ++i)
        machines.push_back(NumberedMachine(i));
    StoreRecords(desk.ctx, desk.ctx.st.FileName(DataFile::Machine), machines);

    OperationRegistry& operations = desk.ctx.Module<OperationRegistry>();
    RegisterFeatures(desk.ctx);
    Dispatcher dispatcher(desk.ctx, operations, MainCommandTable());
    const QString f2 = QStringLiteral("Máquinas > Listado > Máquinas");

    // The rows of the listing, for the anchor.
    QString rows;
    desk.ui.reportTarget = [&](std::shared_ptr<ReportDocument> doc) { rows = doc->Text(); };
    dispatcher.Run(f2);
    desk.ui.reportTarget = [&desk](std::shared_ptr<ReportDocument> doc) {
        ShowReportWindow(&desk.area, std::move(doc), desk.ctx, desk.handover);
    };

    std::vector<double> idle, stalls;
    bench::CompareWithAnchor(
        state, "x_plain_text_edit", [&] { return desk.PlainAnchor(rows); },
        [&] {
            const auto t0 = std::chrono::steady_clock::now();
            dispatcher.Run(f2);
            QTextEdit* pane = desk.Newest()->Texto();
            bench::WaitUntilPainted(pane->viewport());
            const double t = bench::SecondsSince(t0);
            const bench::BackgroundLayout rest = bench::WaitForBackgroundLayout(
                [pane] { return pane->document()->lastBlock().layout()->lineCount() > 0; });
            idle.push_back(t + rest.idleSeconds);
            stalls.push_back(rest.longestStallSeconds);
            desk.CloseAll();
            return t;
        });
    // From the key to the whole text laid out, and the longest the interface was held up meanwhile.
    state.counters["idle_ms"] = bench::Median(idle) * 1000;
    state.counters["stall_ms"] = bench::Median(stalls) * 1000;
}
BENCHMARK(BM_MachineListingShown)
    ->Arg(kMachines)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

void BM_RtfLoadShown(benchmark::State& state)
{
    Desk desk;
    const std::shared_ptr<ReportDocument> listing = bench::DailyReportListing(kRtfLines);
    const QString path = desk.dir.filePath(QStringLiteral("partes.rtf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(WriteRtf(*listing)) < 0)
        state.SkipWithError("cannot write the RTF file");
    file.close();
    desk.ui.chosenFile = path;
    desk.ui.yes = true;
    const QString rows = listing->Text();

    bench::CompareWithAnchor(
        state, "x_plain_text_edit", [&] { return desk.PlainAnchor(rows); },
        [&] {
            desk.ui.ShowReport(std::make_shared<ReportDocument>(QStringLiteral("EDITOR DE INFORMES")));
            TEditorRTF* w = desk.Newest();
            bench::WaitUntilPainted(w->Texto()->viewport());
            const double t = bench::TimeOnce([&] {
                w->Commands().Load();
                bench::WaitUntilPainted(w->Texto()->viewport());
            });
            if (w->Texto()->document()->blockCount() != kRtfLines + 1)
                state.SkipWithError("the RTF file did not load");
            desk.CloseAll();
            return t;
        });
}
BENCHMARK(BM_RtfLoadShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The program's start-up on a data folder, from the first step to the main window drawn.
double StartUp(const QString& folder)
{
    SilentUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QtPictureCodec codec;
    double seconds = 0;
    {
        Context ctx(ui, clock, shell);
        std::unique_ptr<TGim> window;
        seconds = bench::TimeOnce([&] {
            ctx.st.BaseDir = ctx.st.WorkDir = folder;
            ctx.codec = &codec;
            OperationRegistry& operations = ctx.Module<OperationRegistry>();
            RegisterFeatures(ctx);
            RunStartupBeforeWindow(ctx);
            Dispatcher dispatcher(ctx, operations, MainCommandTable());
            window = std::make_unique<TGim>(ctx, operations, dispatcher);
            RunStartupAfterWindow(ctx);
            window->resize(1280, 900);
            window->show();
            bench::WaitUntilPainted(window.get());
            window.reset();
        });
    }
    bench::Settle();
    return seconds;
}

void BM_StartUp(benchmark::State& state)
{
    // A ten-year plan and 65,535 machines in the default environment, whose selector the first start
    // writes.
    QTemporaryDir full;
    const QString folder = full.path();
    StartUp(folder);
    {
        SilentUi ui;
        SystemClock clock;
        bench::NoShell shell;
        Context ctx(ui, clock, shell);
        ctx.st.BaseDir = ctx.st.WorkDir = folder;
        ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        InitCurrentDate(ctx);
        BuildDataFileNames(ctx);
        std::vector<TMachineRecord> machines;
        for (int i = 1; i <= kMachines; ++i)
            machines.push_back(NumberedMachine(i));
        StoreRecords(ctx, ctx.st.FileName(DataFile::Machine), machines);
        TPlanYearsRecord years{};
        years.FirstYear = static_cast<std::uint8_t>(ctx.st.CurrentYear - 2000 - 9);
        years.LastYear = static_cast<std::uint8_t>(ctx.st.CurrentYear - 2000 + 1);
        StoreRecords(ctx, ctx.st.PlanYearsFileName, std::vector<TPlanYearsRecord>{years});
    }
    bench::CompareWithAnchor(
        state, "x_empty_folder",
        [] {
            QTemporaryDir empty;
            return StartUp(empty.path());
        },
        [&] { return StartUp(folder); });
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
} // namespace gim
