// Finding a word that occurs only at the end of a long text, as F3 does in a pane: the generated
// texts of 1,000,000 and 10,000,000 lines of about 60 characters (59.5 and 595 MB) with one line
// appended. Patterns: ASCII with case (the byte search on the bytes as they are), ASCII without
// case (the byte search folding ASCII letters) and an accented one without case (the byte search
// for its ASCII part, then each candidate compared folding each character). Counters: MB, the
// text's size; slice_ms, the longest time between two of the search's pauses, which is the longest
// the window goes without painting. The 10,000,000 lines are skipped with a message where the
// system has too little memory for them.

#include "GeneratedTexts.h"
#include "pane/PaneSearch.h"
#include "platform/AvailableMemory.h"

#include <QElapsedTimer>
#include <QString>
#include <benchmark/benchmark.h>

namespace {

const QByteArray *textOf(benchmark::State &state)
{
    const int lines = int(state.range(0));
    // The generator builds two texts of about 62 bytes a line, and keeps one.
    const double needed = 3.0 * lines * 62;
    const std::optional<qint64> available = availableMemory();
    if (available && double(*available) < needed) {
        state.SkipWithError(
            qPrintable(QStringLiteral("skipped: %1 MB of memory available, %2 MB needed")
                           .arg(*available / 1000000)
                           .arg(qint64(needed / 1e6))));
        return nullptr;
    }
    static int madeLines = 0;
    static QByteArray text;
    if (madeLines != lines) {
        text.clear();
        text = generateTexts(lines, 0).text1 +
               QStringLiteral("last line Parvenex Parven\u00e9x\r\n").toUtf8();
        madeLines = lines;
    }
    return &text;
}

void findAtTheEnd(benchmark::State &state, const QString &pattern, bool matchCase)
{
    const QByteArray *text = textOf(state);
    if (!text)
        return;
    const PaneSearch search(pattern, matchCase, true);
    qint64 longestSlice = 0;
    for (auto _ : state) {
        QElapsedTimer slice;
        slice.start();
        const auto found = search.find(
            *text, 0, false, [&] { longestSlice = std::max(longestSlice, slice.restart()); });
        longestSlice = std::max(longestSlice, slice.elapsed());
        if (!found || found->range.start < text->size() - 30)
            state.SkipWithError("the word at the end was not found");
    }
    state.counters["MB"] = double(text->size()) / 1e6;
    state.counters["slice_ms"] = double(longestSlice);
}

void BM_FindWithCase(benchmark::State &state)
{
    findAtTheEnd(state, QStringLiteral("Parvenex"), true);
}

void BM_FindWithoutCase(benchmark::State &state)
{
    findAtTheEnd(state, QStringLiteral("PARVENEX"), false);
}

void BM_FindAccentedWithoutCase(benchmark::State &state)
{
    findAtTheEnd(state, QStringLiteral("PARVEN\u00c9X"), false);
}

} // namespace

BENCHMARK(BM_FindWithCase)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindWithoutCase)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAccentedWithoutCase)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
