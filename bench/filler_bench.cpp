// How long one filler run and one list read take; not a test.
#include <benchmark/benchmark.h>

#include <string>
#include <variant>

#include "core/da_codes.h"
#include "core/number_text.h"
#include "core/test_report.h"
#include "core/tuning_list.h"
#include "core/tuning_state.h"

namespace {

using namespace varidac;

TuningState exampleState() {
    TuningState state;
    recomputeVoltages(state, "1.50", "12.00");
    const double volts[] = {2.1, 2.6, 3.2, 3.9, 4.7, 5.6, 6.6, 7.7, 8.9, 10.2, 11.5};
    for (int i = 0; i < 11; ++i) state.UvarTable[static_cast<std::size_t>(i + 6)] = volts[i];
    return state;
}

// Codes and the whole report text, in memory.
void FillerRun(benchmark::State& bench) {
    TuningState state = exampleState();
    for (auto _ : bench) {
        auto run = computeCodes(state);
        std::string report = testReportText(state, std::get<CodeRun>(run).rows, '.');
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(FillerRun)->Unit(benchmark::kMicrosecond);

void ReadTenThousandRecords(benchmark::State& bench) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += std::to_string(600 + i % 1001) + "," + std::to_string(2 + (i % 97) / 10.0) + "\r\n";
    for (auto _ : bench) {
        auto list = parseTuningListText(text);
        benchmark::DoNotOptimize(&list);
    }
    bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(ReadTenThousandRecords)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

void CodesOnly(benchmark::State& bench) {
    varidac::TuningState state = exampleState();
    for (auto _ : bench) {
        auto run = varidac::computeCodes(state);
        benchmark::DoNotOptimize(&run);
    }
}
BENCHMARK(CodesOnly)->Unit(benchmark::kMicrosecond);

void NumberTextOnly(benchmark::State& bench) {
    double x = 4.01;
    for (auto _ : bench) {
        std::string t = varidac::numberText(x);
        benchmark::DoNotOptimize(t.data());
    }
}
BENCHMARK(NumberTextOnly);

}  // namespace
