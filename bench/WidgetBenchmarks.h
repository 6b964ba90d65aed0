#pragma once

#include "app/HugePageHeap.h"

#include <QApplication>
#include <benchmark/benchmark.h>

// main() of a benchmark program that needs widgets: runs the registered benchmarks inside a
// QApplication, on the offscreen platform unless another one is chosen, with the heap the
// program's own main() sets up. setUp runs once the
// application exists; what it returns lives until the benchmarks are done.
template <typename SetUp> int runWidgetBenchmarks(int argc, char **argv, SetUp setUp)
{
    useHugePageHeap(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    [[maybe_unused]] const auto keptForTheRun = setUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
