// What the window benchmark does not measure of the text pane, on the offscreen platform: reading
// the whole text back as a QString, the UTF-8 bytes right after an edit (when the store has to
// close its gap first), and a text of one long line being set and painted. The argument is the
// number of lines of about 60 characters (100,000 lines: 6 MB, 1,000,000 lines: 60 MB), or the
// length in megabytes of the one line.

#include "GeneratedTexts.h"
#include "WidgetBenchmarks.h"
#include "pane/TextPane.h"

#include <QHash>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

namespace {

const QByteArray &textOf(int lines)
{
    static QHash<int, QByteArray> made;
    QByteArray &text = made[lines];
    if (text.isEmpty())
        text = generateTexts(lines, 0).text1;
    return text;
}

TextPane *thePane = nullptr;

TextPane &pane()
{
    return *thePane;
}

void typeKey(int key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&pane(), &press);
}

void reportSize(benchmark::State &state, qsizetype bytes)
{
    state.counters["MB"] = double(bytes) / 1e6;
}

void BM_Text(benchmark::State &state)
{
    const QByteArray &text = textOf(int(state.range(0)));
    pane().setUtf8Text(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(pane().text());
    reportSize(state, text.size());
}

void BM_Utf8TextAfterEdit(benchmark::State &state)
{
    const QByteArray &text = textOf(int(state.range(0)));
    pane().setUtf8Text(text);
    for (auto _ : state) {
        state.PauseTiming();
        typeKey(Qt::Key_X, QStringLiteral("x"));
        typeKey(Qt::Key_Backspace);
        state.ResumeTiming();
        benchmark::DoNotOptimize(pane().utf8Text().data());
    }
    reportSize(state, text.size());
}

// Words of the generated vocabulary without a line break: only the start of the line is laid
// out and drawn.
void BM_LongLineSetAndPainted(benchmark::State &state)
{
    QByteArray line = textOf(100000).left(state.range(0) * 1000 * 1000);
    line.replace("\r\n", "  ");
    for (auto _ : state) {
        state.PauseTiming();
        pane().setUtf8Text(QByteArray());
        QCoreApplication::processEvents();
        state.ResumeTiming();
        pane().setUtf8Text(line);
        pane().repaint();
    }
    reportSize(state, line.size());
}

} // namespace

BENCHMARK(BM_Text)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8TextAfterEdit)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongLineSetAndPainted)
    ->Arg(1)
    ->Arg(6)
    ->ArgName("MB")
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

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
