#pragma once

#include <QtGlobal>
#include <benchmark/benchmark.h>

// Measures how far the resident memory of the process rises above its level at construction.
// Free heap memory is handed back to the system first and the kernel's high-water mark is reset,
// so that memory freed earlier and reused now is counted too. Linux only.
class PeakMemory
{
public:
    PeakMemory();

    bool valid() const { return startKb_ >= 0; }
    qint64 increaseBytes() const;

private:
    qint64 startKb_ = -1;
};

// Each iteration runs prepare, untimed, then run, and reports how far run raised the resident
// memory, beside the limit of ten times the size of the texts compared.
template <typename Prepare, typename Run>
void measurePeakMemory(benchmark::State &state, double textBytes, Prepare prepare, Run run)
{
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        state.ResumeTiming();
        const PeakMemory peak;
        if (!peak.valid()) {
            state.SkipWithError("peak memory cannot be measured on this system");
            return;
        }
        run();
        state.counters["peak_MB"] = double(peak.increaseBytes()) / 1e6;
    }
    state.counters["limit_MB"] = 10 * textBytes / 1e6;
}
