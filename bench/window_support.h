// The harness of the benchmarks that time what the user waits for with a listing: the command run from
// its menu item until its report window is drawn, against a QPlainTextEdit showing the same text in the
// same work area, alternately in one run.
#pragma once

#include "app/features.h"
#include "app/report_window.h"
#include "bench_support.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "core/week_codes.h"
#include "platform/card_controller.h"
#include "platform/clock.h"
#include "platform/handover.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/report_layout.h"
#include "records/plan_records.h"

#include <QAbstractTextDocumentLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <deque>
#include <utility>

namespace gim::bench {

using bench::SilentUi;

// The user of a listing: accepts every filter card as it opens (its defaults take every record), gives
// the answers queued for the prompts in turn (then each prompt's default) and picks [from, to] as the date
// range (this week unless set).
class ListingUi final : public SilentUi
{
public:
    int RunCard(const CardSpec& spec, CardState& state) override
    {
        CardController card(
            spec, state, [](const QString&) {}, [](const QString&) {});
        if (!card.Open())
            return card.Result();
        for (const ButtonSpec& b : spec.buttons)
            if (b.result == CardResult::Save) {
                card.Press(b.name);
                break;
            }
        return card.Closed() ? card.Result() : spec.cancelResult;
    }
    QString InputBox(const QString&, const QString&, const QString& d) override
    {
        if (pending.empty())
            return d;
        QString a = pending.front();
        pending.pop_front();
        return a;
    }
    bool PickDateRange(QDate& start, QDate& end) override
    {
        start = from.isValid() ? from : QDate::currentDate();
        end = to.isValid() ? to : QDate::currentDate();
        return true;
    }
    // Queued again before every run of the command.
    std::vector<QString> answers;
    std::deque<QString> pending;
    QDate from, to;
};

struct Desk
{
    ListingUi ui;
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
        // A plan over this year and the next.
        TPlanYearsRecord years{};
        years.FirstYear = static_cast<std::uint8_t>(ctx.st.CurrentYear - 2000);
        years.LastYear = static_cast<std::uint8_t>(ctx.st.CurrentYear - 2000 + 1);
        StoreRecords(ctx, ctx.st.PlanYearsFileName, std::vector<TPlanYearsRecord>{years});
        InitPlanningYears(ctx);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) {
            ShowReportWindow(&area, std::move(doc), ctx, handover);
        };
        ui.reportBatch = [this](bool begin) { ReportWindowBatch(&area, begin, ctx, handover); };
        area.resize(1280, 900);
        area.show();
        bench::Settle();
    }

    TEditorRTF* Newest() { return ReportWindows::Of(&area, ctx, handover).Newest(); }

    void CloseAll()
    {
        area.closeAllSubWindows();
        bench::Settle();
    }
};

// What the user waits for with one listing window, and what it costs the process.
struct Shown
{
    double firstPaint = 0; // from the command to the text drawn
    double laidOut = 0;    // from the command to the whole text laid out
    double cpu = 0;        // CPU of the process over that time
    double stall = 0;      // the longest the event loop was held up after the first paint
    double memory = 0;     // resident memory over the idle window's, in bytes
};

// Whether the pane has placed its whole text: Qt's own rich-text layout lays it out in the background
// after the first paint; the report pane's layout measures it up front and lengthens the scroll range in
// steps.
inline bool WholeTextPlaced(QTextEdit* pane)
{
    const QTextDocument* doc = pane->document();
    if (const auto* layout = dynamic_cast<const ReportTextLayout*>(doc->documentLayout()))
        return layout->Complete();
    return doc->lastBlock().layout()->lineCount() > 0;
}

template <typename Open, typename Placed> inline Shown MeasureShown(Open open, Placed placed)
{
    bench::ReleaseFreeMemory();
    const double memory0 = bench::ResidentBytes();
    const double cpu0 = bench::CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    Shown s;
    QWidget* viewport = open();
    bench::WaitUntilPainted(viewport);
    s.firstPaint = bench::SecondsSince(t0);
    const bench::BackgroundLayout rest = bench::WaitForBackgroundLayout(placed);
    s.laidOut = bench::SecondsSince(t0);
    s.cpu = bench::CpuSeconds() - cpu0;
    s.stall = rest.longestStallSeconds;
    // What the open window keeps, without the garbage the work left in the heap.
    bench::ReleaseFreeMemory();
    s.memory = bench::ResidentBytes() - memory0;
    return s;
}

// The anchor: the rows in a plain-text box, shown maximised in the same area.
inline Shown PlainAnchor(Desk& desk, const QString& rows)
{
    QPlainTextEdit* edit = nullptr;
    const Shown s = MeasureShown(
        [&] {
            edit = new QPlainTextEdit;
            edit->setLineWrapMode(QPlainTextEdit::NoWrap);
            edit->setPlainText(rows);
            QMdiSubWindow* sub = desk.area.addSubWindow(edit);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->showMaximized();
            return edit->viewport();
        },
        [first = true]() mutable {
            // What the box does after its first paint: one turn of the event loop.
            return !std::exchange(first, false);
        });
    desk.CloseAll();
    return s;
}

// Runs the listing's menu item as the user's key does, alternately with the anchor, and reports the
// medians of the first paint, the time to the whole text laid out, the CPU, the longest stall and the
// memory, each with the anchor's and the ratio.
inline void CompareListing(benchmark::State& state, Desk& desk, const QString& menuItem, int minLines)
{
    OperationRegistry& operations = desk.ctx.Module<OperationRegistry>();
    RegisterFeatures(desk.ctx);
    Dispatcher dispatcher(desk.ctx, operations, MainCommandTable());

    // The rows of the listing, for the anchor.
    QString rows;
    int lines = 0;
    desk.ui.reportTarget = [&](std::shared_ptr<ReportDocument> doc) {
        rows = doc->Text();
        lines = static_cast<int>(doc->Lines().size());
    };
    const auto run = [&] {
        desk.ui.pending.assign(desk.ui.answers.begin(), desk.ui.answers.end());
        dispatcher.Run(menuItem);
    };
    run();
    // How long the listing's model takes, from the command to the report handed to the window.
    std::chrono::steady_clock::time_point command;
    std::vector<double> models;
    desk.ui.reportTarget = [&](std::shared_ptr<ReportDocument> doc) {
        models.push_back(bench::SecondsSince(command));
        ShowReportWindow(&desk.area, std::move(doc), desk.ctx, desk.handover);
    };
    if (lines < minLines) {
        state.SkipWithError("the listing did not list every record");
        return;
    }

    std::vector<Shown> anchors, works;
    for (auto _ : state) {
        anchors.push_back(PlainAnchor(desk, rows));
        QTextEdit* pane = nullptr;
        works.push_back(MeasureShown(
            [&] {
                command = std::chrono::steady_clock::now();
                run();
                pane = desk.Newest()->Texto();
                return pane->viewport();
            },
            [&] { return WholeTextPlaced(pane); }));
        desk.CloseAll();
        state.SetIterationTime(works.back().firstPaint);
    }
    auto report = [&](const char* name, double scale, double Shown::*field) {
        std::vector<double> a, w;
        for (const Shown& s : anchors)
            a.push_back(s.*field);
        for (const Shown& s : works)
            w.push_back(s.*field);
        const double am = bench::Median(a);
        const double wm = bench::Median(w);
        state.counters[std::string(name)] = wm * scale;
        state.counters[std::string("anchor_") + name] = am * scale;
        if (am > 0)
            state.counters[std::string("x_") + name] = wm / am;
    };
    report("first_ms", 1000, &Shown::firstPaint);
    report("laid_ms", 1000, &Shown::laidOut);
    report("cpu_ms", 1000, &Shown::cpu);
    report("mem_mb", 1.0 / (1024 * 1024), &Shown::memory);
    std::vector<double> stalls;
    for (const Shown& s : works)
        stalls.push_back(s.stall);
    state.counters["stall_ms"] = bench::Median(stalls) * 1000;
    state.counters["model_ms"] = bench::Median(models) * 1000;
    state.counters["lines"] = lines;
}

} // namespace gim::bench
