// The text pane on big texts, on the offscreen platform: setting and reading the text, colouring
// ranges, and how far each raises the resident memory. The argument is the number of lines of
// about 60 characters (100,000 lines: 6 MB, 1,000,000 lines: 60 MB).

#include "GeneratedTexts.h"
#include "PeakMemory.h"
#include "WidgetBenchmarks.h"
#include "pane/TextPane.h"

#include <QHash>
#include <benchmark/benchmark.h>

namespace {

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);

struct Text
{
    QString text;
    QByteArray utf8;
    QList<TextRange> lineBytes; // every tenth line
    QList<TextRange> wordBytes; // every word of every tenth line
};

// Ranges of every tenth line, or of every word on it.
QList<TextRange> rangesOf(const QByteArray &text, bool words)
{
    QList<TextRange> ranges;
    qsizetype start = 0;
    for (int line = 0; start < text.size(); ++line) {
        const qsizetype end = text.indexOf('\r', start);
        if (line % 10 == 0 && !words)
            ranges.append({start, end - start});
        for (qsizetype word = start; line % 10 == 0 && words && word < end;) {
            qsizetype wordEnd = text.indexOf(' ', word);
            if (wordEnd < 0 || wordEnd > end)
                wordEnd = end;
            ranges.append({word, wordEnd - word});
            word = wordEnd + 1;
        }
        start = end + 2;
    }
    return ranges;
}

// The generated text.
const Text &textOf(int lines)
{
    static QHash<int, Text> made;
    Text &text = made[lines];
    if (!text.text.isEmpty())
        return text;
    text.utf8 = generateTexts(lines, 0).text1;
    text.text = QString::fromUtf8(text.utf8);
    text.lineBytes = rangesOf(text.utf8, false);
    text.wordBytes = rangesOf(text.utf8, true);
    return text;
}

TextPane *thePane = nullptr;

TextPane &pane()
{
    return *thePane;
}

void reportSize(benchmark::State &state, const Text &text)
{
    state.counters["MB"] = double(text.utf8.size()) / 1e6;
}

void BM_SetUtf8Text(benchmark::State &state)
{
    const Text &text = textOf(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        pane().setUtf8Text(QByteArray());
        state.ResumeTiming();
        pane().setUtf8Text(text.utf8);
    }
    reportSize(state, text);
}

void BM_SetText(benchmark::State &state)
{
    const Text &text = textOf(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        pane().setUtf8Text(QByteArray());
        state.ResumeTiming();
        pane().setText(text.text);
    }
    reportSize(state, text);
}

void BM_Text(benchmark::State &state)
{
    const Text &text = textOf(int(state.range(0)));
    pane().setUtf8Text(text.utf8);
    for (auto _ : state)
        benchmark::DoNotOptimize(pane().text());
    reportSize(state, text);
}

// After an edit near the start, when Scintilla has to close its gap first.
void BM_Utf8TextAfterEdit(benchmark::State &state)
{
    const Text &text = textOf(int(state.range(0)));
    pane().setUtf8Text(text.utf8);
    for (auto _ : state) {
        state.PauseTiming();
        pane().SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 1UL, "x");
        pane().SendScintilla(QsciScintillaBase::SCI_DELETERANGE, 1UL, 1L);
        state.ResumeTiming();
        benchmark::DoNotOptimize(pane().utf8Text().data());
    }
    reportSize(state, text);
}

template <typename Colour> void measureColouring(benchmark::State &state, Colour colour)
{
    const Text &text = textOf(int(state.range(0)));
    pane().setUtf8Text(text.utf8);
    for (auto _ : state) {
        state.PauseTiming();
        pane().colorByteRanges({{0, text.utf8.size()}}, black);
        state.ResumeTiming();
        colour(text);
    }
    reportSize(state, text);
}

void BM_ColorByteRangesLines(benchmark::State &state)
{
    measureColouring(state, [&](const Text &text) {
        pane().colorByteRanges(text.lineBytes, red);
        state.counters["ranges"] = double(text.lineBytes.size());
    });
}

void BM_ColorByteRangesWords(benchmark::State &state)
{
    measureColouring(state, [&](const Text &text) {
        pane().colorByteRanges(text.wordBytes, red);
        state.counters["ranges"] = double(text.wordBytes.size());
    });
}

template <typename Run> void measurePeak(benchmark::State &state, Run run)
{
    const Text &text = textOf(int(state.range(0)));
    measurePeakMemory(
        state, double(text.utf8.size()), [] { pane().setUtf8Text(QByteArray()); },
        [&] { run(text); });
    reportSize(state, text);
}

void BM_SetUtf8TextPeakMemory(benchmark::State &state)
{
    measurePeak(state, [](const Text &text) { pane().setUtf8Text(text.utf8); });
}

void BM_SetTextPeakMemory(benchmark::State &state)
{
    measurePeak(state, [](const Text &text) { pane().setText(text.text); });
}

void BM_TextAndWordColouringPeakMemory(benchmark::State &state)
{
    measurePeak(state, [](const Text &text) {
        pane().setUtf8Text(text.utf8);
        pane().colorByteRanges(text.wordBytes, red);
        benchmark::DoNotOptimize(pane().text());
    });
}

// The same text in a Scintilla document that keeps a style byte per character, as a
// QsciScintilla has by default, for comparison with the pane's document without styles (change
// notifications off, as the pane has them).
void BM_StyledDocumentPeakMemory(benchmark::State &state)
{
    const Text &text = textOf(int(state.range(0)));
    std::unique_ptr<QsciScintilla> styled;
    measurePeakMemory(
        state, double(text.utf8.size()), [&] { styled = std::make_unique<QsciScintilla>(); },
        [&] {
            styled->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
            styled->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
            styled->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, uintptr_t(text.utf8.size()),
                                  text.utf8.constData());
        });
    reportSize(state, text);
}

} // namespace

#define PANE_BENCHMARK(name, iterations)                                                           \
    BENCHMARK(name)                                                                                \
        ->Arg(100000)                                                                              \
        ->Arg(1000000)                                                                             \
        ->Iterations(iterations)                                                                   \
        ->Unit(benchmark::kMillisecond)

PANE_BENCHMARK(BM_SetUtf8TextPeakMemory, 1);
PANE_BENCHMARK(BM_SetTextPeakMemory, 1);
PANE_BENCHMARK(BM_TextAndWordColouringPeakMemory, 1);
PANE_BENCHMARK(BM_StyledDocumentPeakMemory, 1);
PANE_BENCHMARK(BM_SetUtf8Text, 5);
PANE_BENCHMARK(BM_SetText, 5);
PANE_BENCHMARK(BM_Text, 5);
PANE_BENCHMARK(BM_Utf8TextAfterEdit, 5);
PANE_BENCHMARK(BM_ColorByteRangesLines, 5);
PANE_BENCHMARK(BM_ColorByteRangesWords, 5);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, [] {
        auto pane = std::make_unique<TextPane>();
        pane->resize(600, 400);
        pane->show();
        thePane = pane.get();
        return pane;
    });
}
