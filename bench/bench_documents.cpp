// What the window benchmark does not measure of text files, at sizes up to 64 MB: reading a file
// in Windows-1252, which is decoded only after the check for UTF-8 failed, and saving a pane.

#include "GeneratedTexts.h"
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

// Lines of about 60 characters up to the size, with one accented letter per line in
// Windows-1252.
QByteArray windows1252Bytes(qint64 size)
{
    QByteArray bytes = generateTexts(int(size / 62) + 1, 0).text1;
    bytes.truncate(size);
    for (qsizetype i = 0; i < bytes.size(); i += 62)
        bytes[i] = char(0xE9);
    return bytes;
}

struct TextFile
{
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("text.txt"));

    explicit TextFile(qint64 size)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(windows1252Bytes(size)) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
};

void BM_ReadTextFile(benchmark::State &state)
{
    const TextFile file(state.range(0) * megabyte);
    for (auto _ : state) {
        const TextFileContent content = readTextFile(file.path, loadLimit(std::nullopt));
        if (content.problem != TextFileContent::Problem::None)
            state.SkipWithError("the file was refused");
        benchmark::DoNotOptimize(content.utf8.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * megabyte);
}

// What a save button does: read the pane and write the file beside it, then replace it.
void BM_SavePane(benchmark::State &state)
{
    const TextFile file(state.range(0) * megabyte);
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

BENCHMARK(BM_ReadTextFile)->Arg(1)->Arg(16)->Arg(64)->ArgName("MB")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePane)->Arg(1)->Arg(16)->Arg(64)->ArgName("MB")->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, [] { return 0; });
}
