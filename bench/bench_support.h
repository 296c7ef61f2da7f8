// What the benchmark programs share: a user interface that answers every question with its default,
// no shell, and timing helpers that keep the median of the runs.
#pragma once

#include "core/context.h"
#include "core/environment.h"
#include "platform/report.h"
#include "platform/script/silent_ui.h"
#include "platform/shell.h"
#include "platform/ui.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace gim::bench {

using gim::NoPrinter;
using gim::NoShell;
using gim::SilentUi;

// The memory probe mode of the benchmark program (record_bench.cpp).
int RunMemoryProbe(int argc, char** argv);

inline double SecondsSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

template <typename Work> double TimeOnce(Work&& work)
{
    const auto t0 = std::chrono::steady_clock::now();
    work();
    return SecondsSince(t0);
}

// Points the context at a data folder holding the environment PORTAL (of the firm `firm`, when given).
inline void UsePortalFolder(Context& ctx, const QString& folder, const QString& firm = {})
{
    ctx.st.WorkDir = ctx.st.BaseDir = folder;
    ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
    if (!firm.isEmpty())
        ctx.st.FirmName = firm;
    BuildDataFileNames(ctx);
}

// One fixture per size, built the first time a benchmark asks for it and kept for its later runs.
template <typename Fixture> Fixture& FixtureOfSize(int size)
{
    static std::map<int, std::unique_ptr<Fixture>> built;
    std::unique_ptr<Fixture>& fixture = built[size];
    if (!fixture)
        fixture = std::make_unique<Fixture>(size);
    return *fixture;
}

// A text made of a printf format and one number: Numbered("M%06d", 42) is "M000042".
inline std::string Numbered(const char* format, int i)
{
    char text[96];
    std::snprintf(text, sizeof text, format, i);
    return text;
}

// The time one plain read of a whole file takes: the anchor of a listing that reads that file.
inline double PlainReadSeconds(const QString& path)
{
    return TimeOnce([&] {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            benchmark::DoNotOptimize(f.readAll().size());
    });
}

inline double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs the anchor and the measured work alternately, once per iteration, so that both see the same
// load on a shared machine; reports the medians and their ratio.
template <typename Anchor, typename Work>
void CompareWithAnchor(benchmark::State& state, const char* ratioName, Anchor&& anchor, Work&& work)
{
    std::vector<double> anchors, works;
    for (auto _ : state) {
        const double a = anchor();
        const double w = work();
        anchors.push_back(a);
        works.push_back(w);
        state.SetIterationTime(w);
    }
    const double a = Median(anchors);
    const double w = Median(works);
    state.counters["median_ms"] = w * 1000;
    state.counters["anchor_ms"] = a * 1000;
    if (a > 0)
        state.counters[ratioName] = w / a;
}

// The CPU time of the whole process (every thread), in seconds.
inline double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The process's resident memory, in bytes.
inline double ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Hands the heap's free pages back, so that memory measured from here on is what the work keeps.
inline void ReleaseFreeMemory()
{
    malloc_trim(0);
}

// Processes events until the widget has been painted once (at most 60 s).
inline void WaitUntilPainted(QWidget* widget)
{
    struct Watch final : QObject
    {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                painted = true;
            return false;
        }
    } watch;
    QPointer<QWidget> w = widget;
    widget->installEventFilter(&watch);
    const auto t0 = std::chrono::steady_clock::now();
    while (!watch.painted && w && SecondsSince(t0) < 60)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (w)
        widget->removeEventFilter(&watch);
}

// After a text pane has shown: keeps the event loop running while the pane lays the rest of its text out
// in the background, until `done` says it has finished. Gives the time until then and the longest the
// event loop was held up meanwhile.
struct BackgroundLayout
{
    double idleSeconds = 0;
    double longestStallSeconds = 0;
};
template <typename Done> BackgroundLayout WaitForBackgroundLayout(Done done)
{
    BackgroundLayout r;
    const auto t0 = std::chrono::steady_clock::now();
    auto last = t0;
    while (!done() && SecondsSince(t0) < 60) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const auto now = std::chrono::steady_clock::now();
        r.longestStallSeconds =
            std::max(r.longestStallSeconds, std::chrono::duration<double>(now - last).count());
        last = now;
    }
    r.idleSeconds = SecondsSince(t0);
    return r;
}

// Lets deleteLater and close events run.
inline void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// A listing of daily-report lines as the listings write them: a bold heading, then `lines` rows with
// tab stops and a colour change every fifty rows.
inline std::shared_ptr<ReportDocument> DailyReportListing(int lines)
{
    auto doc = std::make_shared<ReportDocument>(QStringLiteral("PARTES DIARIOS DE PORTAL"));
    doc->SetTabStops({20, 80, 150, 220, 300, 380, 460, 540});
    doc->SetFontSize(13);
    doc->SetBold(true);
    doc->AddLine(QStringLiteral("\tFABRICA\tPORTAL"));
    doc->SetFontSize(10);
    doc->SetBold(false);
    for (int i = 0; i < lines; ++i) {
        if (i % 50 == 0)
            doc->SetColour(i % 100 == 0 ? kReportBlue : kReportBlack);
        doc->AddLine(QString::number(i + 1) +
                     QStringLiteral("\t0001\tTORNO01\tRM\tN\t26/49/1\tCambio de rodamiento ñ €\t02 : 30"));
    }
    return doc;
}

} // namespace gim::bench
