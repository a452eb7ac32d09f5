// One whole analysis per sample section (aircraft, aggregate moduli, input records and
// the run, without the files), and a 16-layer structure: the cost of every design
// iteration.
#include <benchmark/benchmark.h>

#include "quiet_port.h"

#include <cmath>

#include "analysis/analysis_input.h"
#include "analysis/lea_driver.h"
#include "analysis/numerical.h"
#include "analysis/responses.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "damage/aggregate_modulus.h"

namespace {

using namespace tavro;

struct Prepared {
    core::ProgramState state;
    analysis::AnalysisInput input;
    analysis::ResponseKind kind = analysis::ResponseKind::VerticalStrain;
};

Prepared PrepareSample(int slot, int extraLayers = 0) {
    Prepared p;
    bench::QuietPort ui;
    core::InitLibraries(p.state);
    p.state.JobName = "BENCH";
    core::LoadSampleJob(p.state);
    core::Section& s = p.state.Slot(slot);
    // Extra asphalt layers make the deep structure of the 16-layer case.
    for (int i = 0; i < extraLayers; ++i) s.Layers.insert(s.Layers.begin(), s.Layers.front());
    p.state.CurrentSection = static_cast<std::int16_t>(slot);
    core::LoadSection(p.state, ui);
    analysis::AnalysisLayerList list;
    damage::CalculateAggregateModuli(p.state, ui, list);
    p.input = analysis::BuildAnalysisInput(p.state, list);
    p.kind = *analysis::ResponseKindOfPavement(p.state.Current.PavementType,
                                               p.state.Current.ExistingPavement);
    return p;
}

// The analysis as the driver runs it for one depth, without writing the result file.
analysis::AnalysisOutput Analyse(const Prepared& p) {
    bench::QuietPort ui;
    analysis::AnalysisOutput out;
    analysis::LayeredSystem system = analysis::LayeredSystemOf(p.input.structure);
    const auto gears = analysis::GearLoadsOf(p.input.gears);
    const double depth = p.input.structure.Depth[1];
    analysis::EvaluateDepth(p.kind, system, analysis::StandardLaguerreRule(), gears,
                            analysis::LayerOfDepth(system, depth), std::abs(depth), out, ui);
    return out;
}

void AnalyseSampleSection(benchmark::State& st) {
    Prepared p = PrepareSample(static_cast<int>(st.range(0)));
    for (auto _ : st) benchmark::DoNotOptimize(Analyse(p));
}
BENCHMARK(AnalyseSampleSection)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

void AnalyseSixteenLayers(benchmark::State& st) {
    Prepared p = PrepareSample(3, 12);
    for (auto _ : st) benchmark::DoNotOptimize(Analyse(p));
}
BENCHMARK(AnalyseSixteenLayers)->Unit(benchmark::kMicrosecond);

}  // namespace
