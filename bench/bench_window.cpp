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
//
// The texts come in three shapes (the argument "shape"): lines of about 60 characters; the same
// lines joined into one line of the given size in megabytes, with five words changed in text
// #2; and lines of 300 KB (the 60-character lines joined 5,000 at a time). The 10,000,000-line
// texts are skipped with a message where the system has too little memory for them.
//
// BM_Interaction loads both texts, compares words, then does what a user does in text #1 a
// number of times, each a counter with its slowest time in milliseconds including the repaint:
// a click, a wheel step, Page Down, End, typing a character, and one blink of the caret (its
// few pixels drawn again).

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
#include "platform/AvailableMemory.h"
#include "platform/IniSettingsStore.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBoxes.h"
#include "platform/StyleSheetSkinFramework.h"
#include "wordprocessor/SystemAutomation.h"

#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <tuple>

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

enum class Shape { Lines, OneLine, LongLines };

// Lines of 60 characters joined every `every` lines (all of them for one line) with two spaces.
QByteArray joined(const QByteArray &text, qsizetype every)
{
    QByteArray out = text;
    qsizetype line = 0;
    for (qsizetype at = out.indexOf("\r\n"); at >= 0; at = out.indexOf("\r\n", at + 2)) {
        if (every == 0 || ++line % every != 0)
            out[at] = out[at + 1] = ' ';
    }
    return out;
}

GeneratedTexts textsOf(int size, GeneratedTexts::Change change, Shape shape)
{
    switch (shape) {
    case Shape::Lines:
        return generateTexts(size, 10, change);
    case Shape::OneLine: {
        // About 60 bytes a line: size megabytes of them, in one line; five words changed in the
        // second text, spread over it.
        GeneratedTexts texts = generateTexts(size * 1000 * 1000 / 60, 0);
        texts.text1 = joined(texts.text1, 0);
        texts.text2 = texts.text1;
        for (int word = 1; word <= 5; ++word) {
            const qsizetype at = texts.text2.indexOf(' ', texts.text2.size() * word / 6) + 1;
            texts.text2[at] = texts.text2[at] == 'q' ? 'z' : 'q';
        }
        return texts;
    }
    case Shape::LongLines: {
        GeneratedTexts texts = generateTexts(size, 10, change);
        texts.text1 = joined(texts.text1, 5000);
        texts.text2 = joined(texts.text2, 5000);
        return texts;
    }
    }
    return {};
}

// The two generated texts as files, written once for each set of arguments.
struct TextFiles
{
    QTemporaryDir folder;
    QString path1 = folder.filePath(QStringLiteral("1.txt"));
    QString path2 = folder.filePath(QStringLiteral("2.txt"));
    double bytes = 0;

    TextFiles(int size, GeneratedTexts::Change change, Shape shape)
    {
        const GeneratedTexts texts = textsOf(size, change, shape);
        for (const auto &[path, text] : {std::pair{path1, texts.text1}, {path2, texts.text2}}) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
                qFatal("cannot write %s", qPrintable(path));
        }
        bytes = texts.bytes();
    }
};

// The files of the arguments, or none when the system lacks the memory to work on them (the
// benchmark is then skipped with a message). Only the files of the latest arguments are kept.
const TextFiles *filesFor(benchmark::State &state)
{
    const int size = int(state.range(0));
    const auto change = GeneratedTexts::Change(state.range(1));
    const auto shape = Shape(state.range(2));
    // A load, both comparisons and the result panes take about three times the files.
    const double needed = 8.0 * size * (shape == Shape::OneLine ? 1e6 : 62);
    const std::optional<qint64> available = availableMemory();
    if (available && double(*available) < needed) {
        state.SkipWithError(qPrintable(QStringLiteral("skipped: %1 MB of memory available, %2 MB "
                                                      "needed")
                                           .arg(*available / 1000000)
                                           .arg(qint64(needed / 1e6))));
        return nullptr;
    }
    static std::tuple<int, int, int> written;
    static std::unique_ptr<TextFiles> files;
    const std::tuple<int, int, int> arguments{size, int(change), int(shape)};
    if (!files || written != arguments) {
        files.reset();
        files = std::make_unique<TextFiles>(size, change, shape);
        written = arguments;
    }
    return files.get();
}

qsizetype lineCount(const TextPane &pane)
{
    return pane.utf8Text().count("\r\n") + 1;
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
    const TextFiles *found = filesFor(state);
    if (!found)
        return;
    const TextFiles &files = *found;
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
    state.counters["listed_1"] = double(lineCount(*window->window.resultPane1));
    state.counters["listed_2"] = double(lineCount(*window->window.resultPane2));
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
    const TextFiles *found = filesFor(state);
    if (!found)
        return;
    const TextFiles &files = *found;
    for (auto _ : state) {
        Window window;
        MainWindow &w = window.window;
        Phases phase(state);
        loadInPhases(phase, *w.textPane1, files.path1, "read_1_ms", "decode_1_ms", "fill_1_ms");
        loadInPhases(phase, *w.textPane2, files.path2, "read_2_ms", "decode_2_ms", "fill_2_ms");
        Window::settle();

        // The lines button: copies of both panes, both directions, colouring, result panes.
        const auto [text1, text2] = phase("lines_copy_ms", [&] {
            return std::pair{w.textPane1->utf8Bytes(), w.textPane2->utf8Bytes()};
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

// The slowest of several runs of each action a user takes in text #1 after Compare Words, with
// the repaint it causes.
void BM_Interaction(benchmark::State &state)
{
    const TextFiles *files = filesFor(state);
    if (!files)
        return;
    constexpr int runs = 20;
    for (auto _ : state) {
        Window window;
        window.load(*files);
        window.click(window.window.compareWordsButton);
        TextPane &pane = *window.window.textPane1;
        QWidget *area = pane.viewport();
        pane.setFocus();
        Window::settle();
        const auto key = [&pane](int code, const QString &text = QString()) {
            QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
            QCoreApplication::sendEvent(&pane, &press);
            return true;
        };
        // Each action says whether the whole text area is to be drawn again after it.
        const std::map<const char *, std::function<bool(int)>> actions{
            {"click_ms",
             [&](int run) {
                 const QPointF at(10 + 13 * run, area->height() / 2);
                 for (const QEvent::Type type :
                      {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                     QMouseEvent click(type, at, area->mapToGlobal(at), Qt::LeftButton,
                                       type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                        : Qt::NoButton,
                                       Qt::NoModifier);
                     QCoreApplication::sendEvent(area, &click);
                 }
                 return true;
             }},
            {"wheel_ms",
             [&](int run) {
                 const QPointF at(20, 20);
                 QWheelEvent wheel(at, area->mapToGlobal(at), {}, {0, run % 2 ? 120 : -120},
                                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                 QCoreApplication::sendEvent(area, &wheel);
                 return true;
             }},
            {"page_down_ms", [&](int) { return key(Qt::Key_PageDown); }},
            {"end_ms", [&](int run) { return key(run % 2 ? Qt::Key_End : Qt::Key_Home); }},
            {"type_ms", [&](int) { return key(Qt::Key_X, QStringLiteral("x")); }},
            {"blink_ms",
             [&](int) {
                 // The blink draws the caret's own few pixels only.
                 const QRect caret = pane.inputMethodQuery(Qt::ImCursorRectangle).toRect();
                 area->repaint(caret.translated(-area->pos()));
                 return false;
             }},
        };
        double slowest = 0;
        for (const auto &[name, action] : actions) {
            double longest = 0;
            for (int run = 0; run < runs; ++run) {
                const Clock::time_point start = Clock::now();
                if (action(run))
                    area->repaint();
                longest = std::max(longest, millisecondsSince(start));
            }
            state.counters[name] = longest;
            slowest = std::max(slowest, longest);
        }
        state.SetIterationTime(slowest / 1000);
    }
}

// 100,000, 1,000,000 and 10,000,000 lines, one word or whole lines changed; a line of 50 MB;
// 200 lines of 300 KB.
void textArguments(benchmark::internal::Benchmark *benchmark)
{
    benchmark->ArgNames({"size", "whole_line", "shape"});
    for (const int lines : {100000, 1000000, 10000000}) {
        for (const auto change :
             {GeneratedTexts::Change::OneWord, GeneratedTexts::Change::WholeLine})
            benchmark->Args({lines, int(change), int(Shape::Lines)});
    }
    benchmark->Args({50, 0, int(Shape::OneLine)});
    benchmark->Args({1000000, int(GeneratedTexts::Change::WholeLine), int(Shape::LongLines)});
    benchmark->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

// Typing and repainting: 1,000,000 lines, a line of 50 MB.
void interactionArguments(benchmark::internal::Benchmark *benchmark)
{
    benchmark->ArgNames({"size", "whole_line", "shape"})
        ->Args({1000000, int(GeneratedTexts::Change::WholeLine), int(Shape::Lines)})
        ->Args({50, 0, int(Shape::OneLine)})
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
BENCHMARK(BM_Interaction)->Apply(interactionArguments);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, [] { return 0; });
}
