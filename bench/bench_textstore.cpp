// The text store under a pane, on generated texts of 100,000 and 1,000,000 lines of about 60
// characters (6 MB and 60 MB): setting a text (and the memory its index takes), a character typed
// in the middle with the mappings the view makes for the caret's line, a line break typed there,
// and random mappings of indexes and byte positions. "Mixed" texts have a two-byte character
// before every word, so that the mappings count inside blocks.

#include "GeneratedTexts.h"
#include "PeakMemory.h"
#include "pane/TextStore.h"

#include <QHash>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

enum class Kind { Ascii, Mixed };

const QByteArray &textOf(benchmark::State &state)
{
    static QHash<qint64, QByteArray> made;
    const qint64 key = state.range(0) * 2 + state.range(1);
    QByteArray &text = made[key];
    if (text.isEmpty()) {
        text = generateTexts(int(state.range(0)), 0).text1;
        if (Kind(state.range(1)) == Kind::Mixed)
            text.replace(" ", " \xc3\xa9");
    }
    return text;
}

void reportSize(benchmark::State &state, qsizetype bytes)
{
    state.counters["MB"] = double(bytes) / 1e6;
}

// Also the memory that the index of a text takes at its peak, in megabytes (the bytes are
// shared with the caller).
void BM_SetText(benchmark::State &state)
{
    const QByteArray &text = textOf(state);
    TextStore store;
    for (auto _ : state) {
        store.setText(text);
        benchmark::DoNotOptimize(store.lineCount());
    }
    store.setText({});
    const PeakMemory peak;
    store.setText(text);
    if (peak.valid())
        state.counters["index_MB"] = double(peak.increaseBytes()) / 1e6;
    reportSize(state, text.size());
}

// What a key press costs the store: the edit, then the caret's new index and its line's start
// and end, as the view asks for them to lay the line out again.
void typeInMiddle(benchmark::State &state, QByteArrayView typed)
{
    const QByteArray &text = textOf(state);
    TextStore store;
    store.setText(text);
    // The first edit makes the gap, which copies the text once; typing is what is measured.
    qsizetype caret = store.lineStart(store.lineCount() / 2);
    store.replace(caret, caret, typed);
    caret += typed.size();
    for (auto _ : state) {
        store.replace(caret, caret, typed);
        caret += typed.size();
        const qsizetype line = store.lineOfPosition(caret);
        benchmark::DoNotOptimize(store.indexOfPosition(caret));
        benchmark::DoNotOptimize(store.indexOfPosition(store.lineStart(line)));
        benchmark::DoNotOptimize(store.indexOfPosition(store.lineEnd(line)));
    }
    reportSize(state, text.size());
}

void BM_TypeInMiddle(benchmark::State &state)
{
    typeInMiddle(state, "x");
}

void BM_TypeLineBreakInMiddle(benchmark::State &state)
{
    typeInMiddle(state, "\r\n");
}

// The first key press after a text is set, and reading all bytes (for a comparison) right
// after a key press: each moves the whole text once.
void BM_FirstKeyAndBytes(benchmark::State &state)
{
    const QByteArray &text = textOf(state);
    TextStore store;
    for (auto _ : state) {
        state.PauseTiming();
        store.setText(text);
        state.ResumeTiming();
        const qsizetype middle = store.lineStart(store.lineCount() / 2);
        store.replace(middle, middle, "x");
        benchmark::DoNotOptimize(store.bytes().data());
    }
    reportSize(state, text.size());
}

template <typename Map> void mapRandomly(benchmark::State &state, Map map)
{
    const QByteArray &text = textOf(state);
    TextStore store;
    store.setText(text);
    // Some typing in the middle, so that half of the blocks and lines wait for their step.
    const qsizetype middle = store.lineStart(store.lineCount() / 2);
    store.replace(middle, middle, "x\r\n");
    QRandomGenerator random(16);
    std::vector<qsizetype> places(4096);
    for (qsizetype &place : places)
        place = qsizetype(random.bounded(quint64(store.size())));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map(store, places[i]));
        i = (i + 1) % places.size();
    }
    reportSize(state, text.size());
}

void BM_PositionOfIndex(benchmark::State &state)
{
    mapRandomly(state, [](const TextStore &store, qsizetype place) {
        return store.positionOfIndex(place * store.utf16Size() / store.size());
    });
}

void BM_IndexOfPosition(benchmark::State &state)
{
    mapRandomly(state, [](const TextStore &store, qsizetype place) {
        return store.indexOfPosition(place);
    });
}

void BM_LineOfPosition(benchmark::State &state)
{
    mapRandomly(state, [](const TextStore &store, qsizetype place) {
        return store.lineStart(store.lineOfPosition(place));
    });
}

void texts(benchmark::internal::Benchmark *benchmark)
{
    benchmark->ArgNames({"lines", "mixed"});
    for (const int lines : {100000, 1000000})
        for (const Kind kind : {Kind::Ascii, Kind::Mixed})
            benchmark->Args({lines, int(kind)});
}

} // namespace

BENCHMARK(BM_SetText)->Apply(texts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeInMiddle)->Apply(texts)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeLineBreakInMiddle)->Apply(texts)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstKeyAndBytes)->Apply(texts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PositionOfIndex)->Apply(texts)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_IndexOfPosition)->Apply(texts)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_LineOfPosition)->Apply(texts)->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
