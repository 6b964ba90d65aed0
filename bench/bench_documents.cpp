// Loading a text file into a source pane and saving a pane, at sizes up to the load limit.

#include "GeneratedTexts.h"
#include "PeakMemory.h"
#include "WidgetBenchmarks.h"
#include "app/commands/LoadCommand.h"
#include "documents/ReadTextFile.h"
#include "documents/WriteTextFile.h"
#include "pane/TextPane.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr qint64 megabyte = 1024 * 1024;

// Lines of about 60 characters up to the size, as UTF-8 or, with one accented letter per line,
// as Windows-1252, which the reader only takes for what it is after UTF-8 failed.
QByteArray textBytes(qint64 size, bool windows1252)
{
    // The generated lines are ASCII, the same bytes in both encodings.
    QByteArray bytes = generateTexts(int(size / 62) + 1, 0).text1;
    bytes.truncate(size);
    if (windows1252)
        for (qsizetype i = 0; i < bytes.size(); i += 62)
            bytes[i] = char(0xE9);
    return bytes;
}

struct TextFile
{
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("text.txt"));

    TextFile(qint64 size, bool windows1252)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(textBytes(size, windows1252)) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
};

void BM_ReadTextFile(benchmark::State &state)
{
    const TextFile file(state.range(0) * megabyte, state.range(1) != 0);
    for (auto _ : state) {
        const TextFileContent content = readTextFile(file.path, loadLimit(std::nullopt));
        if (content.problem != TextFileContent::Problem::None)
            state.SkipWithError("the file was refused");
        benchmark::DoNotOptimize(content.utf8.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * megabyte);
}

// What a load button does with one chosen file: read, decode and fill the pane.
void BM_LoadIntoPane(benchmark::State &state)
{
    const TextFile file(state.range(0) * megabyte, false);
    TextPane pane;
    pane.show();
    for (auto _ : state) {
        state.PauseTiming();
        pane.setText(QString());
        const PeakMemory peak;
        state.ResumeTiming();
        const TextFileContent content = readTextFile(file.path, loadLimit(std::nullopt));
        pane.setUtf8Text(content.utf8 + '\r');
        state.PauseTiming();
        if (peak.valid())
            state.counters["peak_MB"] = double(peak.increaseBytes()) / 1e6;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * megabyte);
}

// What a save button does: read the pane and write the file beside it, then replace it.
void BM_SavePane(benchmark::State &state)
{
    const TextFile file(state.range(0) * megabyte, false);
    TextPane pane;
    pane.setUtf8Text(readTextFile(file.path, loadLimit(std::nullopt)).utf8);
    const QString target = file.folder.filePath(QStringLiteral("saved.txt"));
    for (auto _ : state) {
        const QString failure =
            writeTextFile(pane.utf8Text().toByteArray() + "\r\n", target).failure;
        if (!failure.isEmpty())
            state.SkipWithError(qPrintable(failure));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * megabyte);
}

} // namespace

BENCHMARK(BM_ReadTextFile)
    ->ArgsProduct({{1, 16, 64}, {0, 1}})
    ->ArgNames({"MB", "cp1252"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIntoPane)
    ->Arg(1)
    ->Arg(16)
    ->Arg(64)
    ->ArgName("MB")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePane)->Arg(1)->Arg(16)->Arg(64)->ArgName("MB")->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, [] { return 0; });
}
