// How long the window goes without processing events during the longest kind of run: an
// unbonded concrete overlay design on a 16-layer structure with 20 design aircraft. The
// counter maxPollGapMs is the longest time between two event polls (and from the start to
// the first and from the last to the end); it must stay under 50 ms for the window to feel
// responsive and for Interrupt to act at once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "design/run_controller.h"
#include "quiet_port.h"
#include "sample_state.h"

namespace {

using namespace tavro;
using Clock = std::chrono::steady_clock;

class TimingPort : public bench::QuietPort {
public:
    void Start() {
        last_ = Clock::now();
        maxGapMs_ = 0;
        polls_ = 0;
    }
    void ProcessPendingEvents() override {
        Mark();
        ++polls_;
    }
    void Mark() {
        const Clock::time_point now = Clock::now();
        maxGapMs_ =
            std::max(maxGapMs_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }
    double maxGapMs_ = 0;
    long polls_ = 0;

private:
    Clock::time_point last_;
};

core::ProgramState LongRunState() {
    core::ProgramState state = bench::SampleState();
    core::Section& s = state.Sections[0];
    // Overlay, slab, a stabilized base, then alternating bases and subbases down to the
    // subgrade: 16 layers.
    s.Layers = {{6, 4000000, 700, 11}, {7, 4000000, 650, 5}, {4, 400000, 0, 7}};
    while (s.Layers.size() < 15)
        s.Layers.push_back(s.Layers.size() % 2 == 1 ? core::SectionLayer{2, 75000, 0, 2}
                                                    : core::SectionLayer{2, 40000, 0, 3});
    s.Layers.push_back({0, 4000, 0, 4});
    s.SCI = 100;
    s.CDFU = 50;
    s.Aircraft.clear();
    for (int k = 0; k < core::kMaxAircraft; ++k) {
        const library::AircraftEntry& e = state.Aircraft.Entry(1 + 3 * k);
        s.Aircraft.push_back({e.AcName, e.AcGrossLoad, 20000, 0});
    }
    return state;
}

void LongestPollGap(benchmark::State& st) {
    core::ProgramState state = LongRunState();
    const core::Section original = state.Slot(1);
    TimingPort ui;
    design::RunOptions options;
    options.refuseSamples = false;
    options.batchRunning = true;
    for (auto _ : st) {
        state.Slot(1) = original;
        state.CurrentSection = 1;
        core::LoadSection(state, ui);
        state.Run.DesignLayer = design::DefaultDesignLayer(state.Current);
        ui.Start();
        const design::RunResult r =
            design::RunDesignCommand(state, ui, design::RunMode::Design, options);
        ui.Mark();
        benchmark::DoNotOptimize(r);
        st.SetLabel(std::string(design::OutcomeName(r.summary.outcome)) + ": " + r.summary.why);
        st.counters["maxPollGapMs"] = ui.maxGapMs_;
        st.counters["polls"] = static_cast<double>(ui.polls_);
        st.counters["iterations"] = r.summary.iterations;
        st.counters["layers"] = state.Current.LayerCount();
        st.counters["aircraft"] = state.Current.AircraftCount();
    }
    std::filesystem::remove_all(state.ProgramDir);
}
BENCHMARK(LongestPollGap)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
