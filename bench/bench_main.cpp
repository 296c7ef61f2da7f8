// The benchmark program. Windows are drawn off screen unless QT_QPA_PLATFORM says otherwise, so the
// figures do not depend on a display; each benchmark measures its anchor in the same run.
#include "bench_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--memory-probe") == 0) {
        QCoreApplication app(argc, argv);
        return gim::bench::RunMemoryProbe(argc, argv);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
