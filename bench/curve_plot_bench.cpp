// How long building the curve's drawing takes, with the codes of a run and
// without; the window builds it again at every keystroke in a voltage field.
#include <benchmark/benchmark.h>

#include <string>
#include <variant>

#include "core/curve_plot.h"
#include "core/da_codes.h"
#include "core/svg_writer.h"
#include "core/tuning_state.h"

namespace {

using namespace varidac;

TuningState exampleState() {
    TuningState state;
    state.naamzonderpad = "EXAMPLE.INF";
    recomputeVoltages(state, "1.50", "12.00");
    const double volts[] = {2.1, 2.6, 3.2, 3.9, 4.7, 5.6, 6.6, 7.7, 8.9, 10.2, 11.5};
    for (int i = 0; i < 11; ++i) state.UvarTable[static_cast<std::size_t>(i + 6)] = volts[i];
    return state;
}

void CurveDrawing(benchmark::State& bench) {
    TuningState state = exampleState();
    for (auto _ : bench) {
        Drawing drawing = curvePlot({state});
        benchmark::DoNotOptimize(drawing.primitives.data());
    }
}
BENCHMARK(CurveDrawing)->Unit(benchmark::kMicrosecond);

void CurveDrawingWithCodes(benchmark::State& bench) {
    TuningState state = exampleState();
    CodeRun run = std::get<CodeRun>(computeCodes(state));
    for (auto _ : bench) {
        Drawing drawing = curvePlot({state, true, &run.image});
        benchmark::DoNotOptimize(drawing.primitives.data());
    }
}
BENCHMARK(CurveDrawingWithCodes)->Unit(benchmark::kMicrosecond);

void CurveSvg(benchmark::State& bench) {
    TuningState state = exampleState();
    CodeRun run = std::get<CodeRun>(computeCodes(state));
    Drawing drawing = curvePlot({state, true, &run.image});
    for (auto _ : bench) {
        std::string svg = svgDocument(drawing);
        benchmark::DoNotOptimize(svg.data());
    }
}
BENCHMARK(CurveSvg)->Unit(benchmark::kMicrosecond);

}  // namespace
