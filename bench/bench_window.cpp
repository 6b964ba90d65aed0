// The window at work on big texts, on the offscreen platform: a MainWindow with the real platform
// services (its settings in a scratch folder), driven through its own commands. A file per side is
// loaded as the load buttons load it, then the compare buttons are clicked. For 100,000 and
// 1,000,000 lines of about 60 characters (6 and 60 MB a file), with 10% of the lines of text #2
// changed in one word or as a whole line:
//
//   BM_Load                    one file into one source pane (the time is per file)
//   BM_CompareLines            the lines button, after both loads
//   BM_CompareWords            the words button, after both loads
//   BM_CompareWordsAfterLines  the words button, after both loads and the lines button
//
// Each operation counts until the window has painted its outcome. Counters: peak_MB, the rise of
// the resident memory from before the loads to after the operation, beside limit_MB, three times
// the two files; gap_ms, the longest time the window went without handling its events during the
// operation (a 10 ms timer that it could not serve); page_faults, those of the operation, which
// cost several microseconds each on a virtual machine; listed_1 and listed_2, the lines of the
// result panes.
//
// BM_Phases splits the whole work on a pair of texts into the steps the commands take (read,
// decode, pane fill; copies, comparison core, colouring and result panes of each comparison),
// each a counter in milliseconds, calling the same functions the commands call.

#include "GeneratedTexts.h"
#include "PeakMemory.h"
#include "WidgetBenchmarks.h"
#include "app/AppTitle.h"
#include "app/MainWindow.h"
#include "app/commands/PaneColouring.h"
#include "compare/LineComparison.h"
#include "compare/WordComparison.h"
#include "documents/TextEncoding.h"
#include "pane/TextPane.h"
#include "platform/IniSettingsStore.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBoxes.h"
#include "platform/StyleSheetSkinFramework.h"
#include "wordprocessor/SystemAutomation.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Page faults so far, which cost the time of touching fresh memory.
double pageFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_minflt + usage.ru_majflt);
}

// The two generated texts as files, written once for each pair of arguments.
struct TextFiles
{
    QTemporaryDir folder;
    QString path1 = folder.filePath(QStringLiteral("1.txt"));
    QString path2 = folder.filePath(QStringLiteral("2.txt"));
    double bytes = 0;

    TextFiles(int lines, GeneratedTexts::Change change)
    {
        const GeneratedTexts texts = generateTexts(lines, 10, change);
        for (const auto &[path, text] : {std::pair{path1, texts.text1}, {path2, texts.text2}}) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
                qFatal("cannot write %s", qPrintable(path));
        }
        bytes = texts.bytes();
    }
};

const TextFiles &filesFor(const benchmark::State &state)
{
    static std::map<std::pair<int, int>, std::unique_ptr<TextFiles>> written;
    std::unique_ptr<TextFiles> &files = written[{int(state.range(0)), int(state.range(1))}];
    if (!files)
        files = std::make_unique<TextFiles>(int(state.range(0)),
                                            GeneratedTexts::Change(state.range(1)));
    return *files;
}

// The window with real platform services, shown. Nothing in these runs opens a dialog.
struct Window
{
    QTemporaryDir settingsFolder;
    IniSettingsStore settings{settingsFolder.path()};
    QtMessageBoxes messages{appTitle()};
    StyleSheetSkinFramework skin;
    std::unique_ptr<AutomationRegistry> automation = createSystemAutomation();
    QtFileDialog fileDialog;
    Services services{settings,    messages,  skin, QCoreApplication::applicationDirPath(),
                      *automation, fileDialog};
    MainWindow window{services};

    Window()
    {
        window.show();
        settle();
    }

    // What the event loop does before the user's next action: layout and painting.
    static void settle() { QCoreApplication::processEvents(); }

    void load(const TextFiles &files)
    {
        loadOne(Side::One, files.path1);
        loadOne(Side::Two, files.path2);
    }

    void loadOne(Side side, const QString &path)
    {
        window.loadFiles(side, {path});
        settle();
    }

    void click(QPushButton *button)
    {
        button->click();
        settle();
    }
};

// The longest time the event loop went without serving a timer that asks for it every 10 ms.
class AnswerGap
{
public:
    AnswerGap()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        last_ = Clock::now();
        timer_.start();
    }

    double longestMs()
    {
        tick();
        return longest_;
    }

private:
    void tick()
    {
        const Clock::time_point now = Clock::now();
        longest_ =
            std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }

    QTimer timer_;
    Clock::time_point last_;
    double longest_ = 0;
};

// Each iteration takes a new window, whose memory is measured from before the loads: prepare
// (untimed) and run (timed, divided by runs) then work on it.
template <typename Prepare, typename Run>
void measure(benchmark::State &state, Prepare prepare, Run run, int runs = 1)
{
    const TextFiles &files = filesFor(state);
    double peakMb = 0;
    double gapMs = 0;
    double faults = 0;
    std::unique_ptr<Window> window;
    for (auto _ : state) {
        window.reset();
        window = std::make_unique<Window>();
        const PeakMemory peak;
        if (!peak.valid()) {
            state.SkipWithError("peak memory cannot be measured on this system");
            return;
        }
        prepare(*window, files);
        AnswerGap gap;
        const double faultsBefore = pageFaults();
        const Clock::time_point start = Clock::now();
        run(*window, files);
        state.SetIterationTime(millisecondsSince(start) / 1000 / runs);
        faults = pageFaults() - faultsBefore;
        gapMs = std::max(gapMs, gap.longestMs());
        peakMb = std::max(peakMb, double(peak.increaseBytes()) / 1e6);
    }
    state.counters["peak_MB"] = peakMb;
    state.counters["limit_MB"] = 3 * files.bytes / 1e6;
    state.counters["gap_ms"] = gapMs;
    state.counters["page_faults"] = faults / runs;
    state.counters["listed_1"] = double(window->window.resultPane1->lines());
    state.counters["listed_2"] = double(window->window.resultPane2->lines());
}

void nothing(Window &, const TextFiles &) {}

void load(Window &window, const TextFiles &files)
{
    window.load(files);
}

void loadAndCompareLines(Window &window, const TextFiles &files)
{
    window.load(files);
    window.click(window.window.compareLinesButton);
}

void compareLines(Window &window, const TextFiles &)
{
    window.click(window.window.compareLinesButton);
}

void compareWords(Window &window, const TextFiles &)
{
    window.click(window.window.compareWordsButton);
}

void BM_Load(benchmark::State &state)
{
    measure(state, nothing, load, 2);
}

void BM_CompareLines(benchmark::State &state)
{
    measure(state, load, compareLines);
}

void BM_CompareWords(benchmark::State &state)
{
    measure(state, load, compareWords);
}

void BM_CompareWordsAfterLines(benchmark::State &state)
{
    measure(state, loadAndCompareLines, compareWords);
}

// Times each step into its counter; the iteration's time is the sum of the steps.
class Phases
{
public:
    explicit Phases(benchmark::State &state) : state_(state) {}
    ~Phases() { state_.SetIterationTime(total_ / 1000); }

    Phases(const Phases &) = delete;
    Phases &operator=(const Phases &) = delete;

    template <typename Step> auto operator()(const char *name, Step step)
    {
        const Clock::time_point start = Clock::now();
        if constexpr (std::is_void_v<decltype(step())>) {
            step();
            add(name, start);
        } else {
            auto result = step();
            add(name, start);
            return result;
        }
    }

private:
    void add(const char *name, Clock::time_point start)
    {
        const double ms = millisecondsSince(start);
        state_.counters[name] = ms;
        total_ += ms;
    }

    benchmark::State &state_;
    double total_ = 0;
};

// The load of one file as LoadCommand does it, step by step.
void loadInPhases(Phases &phase, TextPane &pane, const QString &path, const char *readName,
                  const char *decodeName, const char *fillName)
{
    const QByteArray bytes = phase(readName, [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        return file.readAll();
    });
    QByteArray text = phase(decodeName, [&] {
        QByteArray utf8 = TextEncoding::toUtf8(bytes);
        benchmark::DoNotOptimize(utf8.contains('\0'));
        return utf8;
    });
    phase(fillName, [&] {
        text += '\r';
        pane.setUtf8Text(std::move(text));
    });
}

void BM_Phases(benchmark::State &state)
{
    const TextFiles &files = filesFor(state);
    for (auto _ : state) {
        Window window;
        MainWindow &w = window.window;
        Phases phase(state);
        loadInPhases(phase, *w.textPane1, files.path1, "read_1_ms", "decode_1_ms", "fill_1_ms");
        loadInPhases(phase, *w.textPane2, files.path2, "read_2_ms", "decode_2_ms", "fill_2_ms");
        Window::settle();

        // The lines button: copies of both panes, both directions, colouring, result panes.
        const auto [text1, text2] = phase("lines_copy_ms", [&] {
            return std::pair{w.textPane1->utf8Text().toByteArray(),
                             w.textPane2->utf8Text().toByteArray()};
        });
        YieldTicker ticker;
        const auto [missing1, missing2] = phase("lines_core_ms", [&] {
            return std::pair{*findMissingLines(text1, text2, ticker),
                             *findMissingLines(text2, text1, ticker)};
        });
        phase("lines_colour_ms", [&] {
            highlightByteRanges(*w.textPane1, missing1.ranges);
            highlightByteRanges(*w.textPane2, missing2.ranges);
        });
        phase("lines_result_ms", [&] {
            w.resultPane1->setUtf8Text(missing1.listing);
            w.resultPane2->setUtf8Text(missing2.listing);
        });
        Window::settle();

        // The words button right after: clearing the colours, both passes, colouring, results.
        phase("words_clear_ms", [&] {
            colorWholeText(*w.textPane1, black);
            colorWholeText(*w.textPane2, black);
        });
        const auto [unmatched1, unmatched2] = phase("words_core_ms", [&] {
            return std::pair{compareWords(w.textPane1->utf8Text(), w.textPane2->utf8Text()),
                             compareWords(w.textPane2->utf8Text(), w.textPane1->utf8Text())};
        });
        phase("words_colour_ms", [&] {
            highlightByteRanges(*w.textPane1, unmatched1.ranges);
            highlightByteRanges(*w.textPane2, unmatched2.ranges);
        });
        phase("words_result_ms", [&] {
            w.resultPane1->setUtf8Text(unmatched1.listing);
            w.resultPane2->setUtf8Text(unmatched2.listing);
        });
        phase("paint_ms", [] { Window::settle(); });
    }
}

// 100,000 and 1,000,000 lines, one word or whole lines changed.
void textArguments(benchmark::internal::Benchmark *benchmark)
{
    benchmark->ArgNames({"lines", "whole_line"})
        ->ArgsProduct(
            {{100000, 1000000},
             {int(GeneratedTexts::Change::OneWord), int(GeneratedTexts::Change::WholeLine)}})
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_Load)->Apply(textArguments);
BENCHMARK(BM_CompareLines)->Apply(textArguments);
BENCHMARK(BM_CompareWords)->Apply(textArguments);
BENCHMARK(BM_CompareWordsAfterLines)->Apply(textArguments);
BENCHMARK(BM_Phases)->Apply(textArguments);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, [] { return 0; });
}
