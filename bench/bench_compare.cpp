// The comparison engine alone, on generated texts: time of both directions of the line
// comparison against GNU diff on the same two files, time of both passes of the word
// comparison, and the peak memory of each against ten times the size of the two texts.

#include "GeneratedTexts.h"
#include "PeakMemory.h"
#include "compare/LineComparison.h"
#include "compare/WordComparison.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <sys/wait.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

const GeneratedTexts &texts()
{
    static const GeneratedTexts generated = generateTexts();
    return generated;
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

// Median of a few runs of GNU diff on the two texts, in milliseconds; negative on failure.
double gnuDiffMilliseconds()
{
    QTemporaryDir folder;
    const QString path1 = folder.filePath(QStringLiteral("1.txt"));
    const QString path2 = folder.filePath(QStringLiteral("2.txt"));
    if (!folder.isValid() || !writeFile(path1, texts().text1) || !writeFile(path2, texts().text2))
        return -1;
    const QByteArray command =
        "diff '" + path1.toLocal8Bit() + "' '" + path2.toLocal8Bit() + "' > /dev/null";
    std::vector<double> times;
    for (int run = 0; run < 7; ++run) {
        const Clock::time_point start = Clock::now();
        const int status = std::system(command.constData());
        times.push_back(millisecondsSince(start));
        // diff exits with 1 when the files differ, which they do.
        if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 1)
            return -1;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void BM_LineComparisonVsGnuDiff(benchmark::State &state)
{
    const double diffMs = gnuDiffMilliseconds();
    if (diffMs < 0) {
        state.SkipWithError("GNU diff could not be run on the generated files");
        return;
    }
    YieldTicker ticker([] { return true; }); // polled as in the window, never due here
    double totalMs = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const auto direction1 = findMissingLines(texts().text1, texts().text2, ticker);
        const auto direction2 = findMissingLines(texts().text2, texts().text1, ticker);
        totalMs += millisecondsSince(start);
        benchmark::DoNotOptimize(direction1);
        benchmark::DoNotOptimize(direction2);
    }
    const double coreMs = totalMs / double(state.iterations());
    state.counters["core_ms"] = coreMs;
    state.counters["diff_ms"] = diffMs;
    state.counters["core_to_diff"] = coreMs / diffMs;
}

void BM_WordComparison(benchmark::State &state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(compareWords(texts().text1, texts().text2));
        benchmark::DoNotOptimize(compareWords(texts().text2, texts().text1));
    }
}

template <typename Run> void measurePeak(benchmark::State &state, Run run)
{
    measurePeakMemory(
        state, texts().bytes(), [] {}, run);
}

void BM_LineComparisonPeakMemory(benchmark::State &state)
{
    measurePeak(state, [] {
        YieldTicker ticker;
        const auto direction1 = findMissingLines(texts().text1, texts().text2, ticker);
        const auto direction2 = findMissingLines(texts().text2, texts().text1, ticker);
        benchmark::DoNotOptimize(direction1);
        benchmark::DoNotOptimize(direction2);
    });
}

void BM_WordComparisonPeakMemory(benchmark::State &state)
{
    measurePeak(state, [] {
        const ComparisonResult pass1 = compareWords(texts().text1, texts().text2);
        const ComparisonResult pass2 = compareWords(texts().text2, texts().text1);
        benchmark::DoNotOptimize(pass1);
        benchmark::DoNotOptimize(pass2);
    });
}
} // namespace

// Memory first, while the heap holds nothing but the texts.
BENCHMARK(BM_LineComparisonPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordComparisonPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineComparisonVsGnuDiff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordComparison)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
