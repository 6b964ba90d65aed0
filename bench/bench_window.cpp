// The whole comparisons as the start buttons run them in the window, on the offscreen platform:
// reading the panes, comparing, colouring the source panes and filling the result panes.

#include "GeneratedTexts.h"
#include "PeakMemory.h"
#include "WidgetBenchmarks.h"
#include "app/AppTitle.h"
#include "app/MainWindow.h"
#include "pane/TextPane.h"
#include "platform/IniSettingsStore.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBoxes.h"
#include "platform/StyleSheetSkinFramework.h"
#include "wordprocessor/SystemAutomation.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const GeneratedTexts &texts()
{
    static const GeneratedTexts generated = generateTexts();
    return generated;
}

// A window with its settings in a scratch folder, showing the source panes, where the colouring
// is seen.
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
        window.highlightOption->click();
    }

    // Loads both texts and lets the window finish the layout work that loading leaves for the
    // event loop, as it does before the user gets to click a start button.
    void loadTexts()
    {
        window.textPane1->setText(QString::fromUtf8(texts().text1));
        window.textPane2->setText(QString::fromUtf8(texts().text2));
        QCoreApplication::processEvents();
    }
};

// Created in main(), between the application's construction and its destruction.
Window *theWindow = nullptr;

Window &window()
{
    return *theWindow;
}

void reportResults(benchmark::State &state)
{
    state.counters["listed_1"] = double(window().window.resultPane1->lines());
    state.counters["listed_2"] = double(window().window.resultPane2->lines());
}

template <typename Click> void measureRun(benchmark::State &state, Click click)
{
    for (auto _ : state) {
        state.PauseTiming();
        window().loadTexts();
        state.ResumeTiming();
        click();
    }
    reportResults(state);
}

template <typename Click> void measurePeak(benchmark::State &state, Click click)
{
    measurePeakMemory(
        state, texts().bytes(), [] { window().loadTexts(); }, click);
}

void clickLines()
{
    window().window.compareLinesButton->click();
}

void clickWords()
{
    window().window.compareWordsButton->click();
}

void BM_LineComparisonInWindowPeakMemory(benchmark::State &state)
{
    measurePeak(state, clickLines);
}

void BM_WordComparisonInWindowPeakMemory(benchmark::State &state)
{
    measurePeak(state, clickWords);
}

void BM_LineComparisonInWindow(benchmark::State &state)
{
    measureRun(state, clickLines);
}

void BM_WordComparisonInWindow(benchmark::State &state)
{
    measureRun(state, clickWords);
}

} // namespace

BENCHMARK(BM_LineComparisonInWindowPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordComparisonInWindowPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineComparisonInWindow)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordComparisonInWindow)->Iterations(5)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, [] {
        auto window = std::make_unique<Window>();
        theWindow = window.get();
        return window;
    });
}
