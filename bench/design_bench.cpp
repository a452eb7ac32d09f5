// The full design of each sample section that has a design procedure, and of a rigid
// section: the time a user waits for the Design command.
#include <benchmark/benchmark.h>

#include "quiet_port.h"
#include "sample_state.h"

#include <cstdlib>
#include <filesystem>

#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "design/run_controller.h"

namespace {

using namespace tavro;

using bench::SampleState;

// A 12 in slab on 6 in of crushed aggregate under two jets (code 0), or a 6 in overlay of
// type `overlayType` (11 unbonded, 12 partially bonded, 10 asphalt) on a 10 in slab with
// half of its damage used.
void MakeRigid(core::Section& s, int overlayType = 0) {
    s.Aircraft = {{"Gulfstream G-IV", 75000, 1200, 0}, {"Regional Jet 700", 72500, 3000, 0}};
    if (overlayType == 0) {
        s.Layers = {{12, 4000000, 700, 5}, {6, 75000, 0, 6}, {0, 10000, 0, 4}};
        return;
    }
    const bool concrete = overlayType != 10;
    s.Layers = {{6, concrete ? 4000000.0f : 200000.0f, concrete ? 700.0f : 0.0f,
                 static_cast<std::int16_t>(overlayType)},
                {10, 4000000, 650, 5},
                {6, 75000, 0, 6},
                {0, 10000, 0, 4}};
    s.SCI = 100;
    s.CDFU = 50;
}

void DesignSection(benchmark::State& st) {
    core::ProgramState state = SampleState();
    const int slot = static_cast<int>(st.range(0));
    if (slot == 0) MakeRigid(state.Sections[1], static_cast<int>(st.range(1)));
    const core::Section original = state.Slot(slot == 0 ? 2 : slot);
    bench::QuietPort ui;
    design::RunOptions options;
    options.refuseSamples = false;
    options.batchRunning = true;
    for (auto _ : st) {
        state.Slot(slot == 0 ? 2 : slot) = original;
        state.CurrentSection = static_cast<std::int16_t>(slot == 0 ? 2 : slot);
        core::LoadSection(state, ui);
        state.Run.DesignLayer = design::DefaultDesignLayer(state.Current);
        benchmark::DoNotOptimize(
            design::RunDesignCommand(state, ui, design::RunMode::Design, options));
    }
    std::filesystem::remove_all(state.ProgramDir);
}
// {1, 0}, {3, 0}: the new flexible samples; {2, 0}: the asphalt overlay sample; {0, 0}: the
// rigid section; {0, 11 | 12 | 10}: unbonded, partially bonded and asphalt overlays on rigid.
BENCHMARK(DesignSection)
    ->Args({1, 0})
    ->Args({3, 0})
    ->Args({2, 0})
    ->Args({0, 0})
    ->Args({0, 11})
    ->Args({0, 12})
    ->Args({0, 10})
    ->Unit(benchmark::kMillisecond);

}  // namespace
