// The comparison engine alone, on generated texts of 100,000 and 1,000,000 lines whose lines
// change in one word or as a whole: time of both directions of the line comparison against GNU
// diff on the same two files, time of both passes of the word comparison, and the peak memory of
// each against ten times the size of the two texts.

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
#include <map>
#include <sys/wait.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// The benchmarks' arguments: the number of lines and the kind of change.
using TextsKey = std::pair<int, GeneratedTexts::Change>;

TextsKey keyOf(const benchmark::State &state)
{
    return {int(state.range(0)), GeneratedTexts::Change(state.range(1))};
}

// Made once for each pair of arguments.
const GeneratedTexts &texts(const benchmark::State &state)
{
    static std::map<TextsKey, GeneratedTexts> made;
    const TextsKey key = keyOf(state);
    auto found = made.find(key);
    if (found == made.end())
        found = made.emplace(key, generateTexts(key.first, 10, key.second)).first;
    return found->second;
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Median of a few runs of GNU diff on the two texts, in milliseconds; negative on failure.
double measureGnuDiff(const GeneratedTexts &texts)
{
    QTemporaryDir folder;
    const QString path1 = folder.filePath(QStringLiteral("1.txt"));
    const QString path2 = folder.filePath(QStringLiteral("2.txt"));
    if (!folder.isValid() || !writeFile(path1, texts.text1) || !writeFile(path2, texts.text2))
        return -1;
    const QByteArray command =
        "diff '" + path1.toLocal8Bit() + "' '" + path2.toLocal8Bit() + "' > /dev/null";
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
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

// Measured once for each pair of arguments, however many repetitions are asked for.
double gnuDiffMilliseconds(const benchmark::State &state)
{
    static std::map<TextsKey, double> measured;
    const TextsKey key = keyOf(state);
    const auto found = measured.find(key);
    if (found != measured.end())
        return found->second;
    return measured[key] = measureGnuDiff(texts(state));
}

void runLineComparison(const GeneratedTexts &texts)
{
    YieldTicker ticker([] { return true; }); // polled as in the window, never due here
    auto direction1 = findMissingLines(texts.text1, texts.text2, ticker);
    auto direction2 = findMissingLines(texts.text2, texts.text1, ticker);
    benchmark::DoNotOptimize(direction1);
    benchmark::DoNotOptimize(direction2);
}

void runWordComparison(const GeneratedTexts &texts)
{
    // Non-const, as Google Benchmark 1.9 deprecates DoNotOptimize on const references.
    ComparisonResult pass1 = compareWords(texts.text1, texts.text2);
    ComparisonResult pass2 = compareWords(texts.text2, texts.text1);
    benchmark::DoNotOptimize(pass1);
    benchmark::DoNotOptimize(pass2);
}

void BM_LineComparisonVsGnuDiff(benchmark::State &state)
{
    const GeneratedTexts &generated = texts(state);
    const double diffMs = gnuDiffMilliseconds(state);
    if (diffMs < 0) {
        state.SkipWithError("GNU diff could not be run on the generated files");
        return;
    }
    double totalMs = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        runLineComparison(generated);
        totalMs += millisecondsSince(start);
    }
    const double coreMs = totalMs / double(state.iterations());
    state.counters["core_ms"] = coreMs;
    state.counters["diff_ms"] = diffMs;
    state.counters["core_to_diff"] = coreMs / diffMs;
}

void BM_WordComparison(benchmark::State &state)
{
    const GeneratedTexts &generated = texts(state);
    for (auto _ : state)
        runWordComparison(generated);
}

void BM_LineComparisonPeakMemory(benchmark::State &state)
{
    const GeneratedTexts &generated = texts(state);
    measurePeakMemory(
        state, generated.bytes(), [] {}, [&] { runLineComparison(generated); });
}

void BM_WordComparisonPeakMemory(benchmark::State &state)
{
    const GeneratedTexts &generated = texts(state);
    measurePeakMemory(
        state, generated.bytes(), [] {}, [&] { runWordComparison(generated); });
}

// 100,000 and 1,000,000 lines (about 6 and 60 MB a text), one word or whole lines changed.
void textArguments(benchmark::internal::Benchmark *benchmark)
{
    benchmark->ArgNames({"lines", "whole_line"})
        ->ArgsProduct(
            {{100000, 1000000},
             {int(GeneratedTexts::Change::OneWord), int(GeneratedTexts::Change::WholeLine)}})
        ->Unit(benchmark::kMillisecond);
}
} // namespace

// Memory first, while the heap holds nothing but the texts.
BENCHMARK(BM_LineComparisonPeakMemory)->Apply(textArguments)->Iterations(1);
BENCHMARK(BM_WordComparisonPeakMemory)->Apply(textArguments)->Iterations(1);
BENCHMARK(BM_LineComparisonVsGnuDiff)->Apply(textArguments);
BENCHMARK(BM_WordComparison)->Apply(textArguments);

BENCHMARK_MAIN();
