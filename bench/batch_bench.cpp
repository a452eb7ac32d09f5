// A batch design of 100 mixed sections (every designable pavement type, 10 to 20 aircraft
// each) in a program directory on the disk and on tmpfs: the analysis files are rewritten
// thousands of times, so the directory's file system shows in the wall time.
//
// With TAVRO_BATCH_DESIGNS set to a path, the first batch of each directory also writes the
// designed layer thickness of every section there ("slot name layer thickness"), so that two
// builds can be compared section by section.
#include <benchmark/benchmark.h>

#include "quiet_port.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "design/run_controller.h"

namespace {

using namespace tavro;

constexpr int kSections = 100;

// A small deterministic generator: the batch is the same in every build.
struct Lcg {
    std::uint64_t s;
    std::uint32_t Next() {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(s >> 33);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    float Between(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(Next() % 1000) / 1000.0f;
    }
};

core::SectionLayer L(float thickness, float modulus, int type, float strength = 0) {
    return {thickness, modulus, strength, static_cast<std::int16_t>(type)};
}

// Layers of variant v (0..6): new flexible, asphalt on flexible, concrete on flexible, new
// rigid, unbonded, partially bonded and asphalt overlays on rigid.
std::vector<core::SectionLayer> LayersOf(int v, Lcg& g) {
    const float subgrade = g.Between(6000, 20000);
    switch (v) {
        case 0:
            return {L(g.Between(3, 5), 200000, 1), L(g.Between(4, 8), 75000, 6),
                    L(g.Between(6, 12), 25000, 8), L(0, subgrade, 4)};
        case 1:
            return {L(2, 200000, 10), L(g.Between(2, 3), 200000, 1), L(g.Between(3, 5), 75000, 6),
                    L(0, subgrade, 4)};
        case 2:
            return {L(g.Between(6, 9), 4000000, 13, g.Between(600, 750)), L(4, 200000, 1),
                    L(g.Between(6, 10), 75000, 6), L(0, subgrade, 4)};
        case 3:
            return {L(g.Between(8, 12), 4000000, 5, g.Between(600, 750)),
                    L(g.Between(4, 8), 75000, 6), L(0, subgrade, 4)};
        default: {
            const int top = v == 4 ? 11 : v == 5 ? 12 : 10;
            const bool concrete = top != 10;
            return {L(6, concrete ? 4000000.0f : 200000.0f, top, concrete ? 700.0f : 0.0f),
                    L(g.Between(8, 11), 4000000, 5, g.Between(600, 700)), L(6, 75000, 6),
                    L(0, subgrade, 4)};
        }
    }
}

std::vector<core::Section> MixedSections(const core::ProgramState& state) {
    Lcg g{20261206};
    std::vector<int> light;  // library entries a general-aviation pavement serves
    for (int i = 1; i <= state.Aircraft.AircraftLibCount(); ++i) {
        const auto& e = state.Aircraft.Entry(i);
        if (e.AcTireCount > 0 && e.AcGrossLoad > 2000 && e.AcGrossLoad <= 100000)
            light.push_back(i);
    }
    std::vector<core::Section> sections;
    for (int s = 0; s < kSections; ++s) {
        core::Section sec;
        sec.SectionName = "Mix" + std::to_string(s + 1);
        sec.DesignLife = 20;
        const int v = s % 7;
        sec.Layers = LayersOf(v, g);
        if (v >= 4) {
            sec.SCI = 100;
            sec.CDFU = 50;
        }
        const int count = 10 + g.Below(11);
        for (int a = 0; a < count; ++a) {
            const auto& e = state.Aircraft.Entry(
                light[static_cast<std::size_t>(g.Below(static_cast<int>(light.size())))]);
            sec.Aircraft.push_back({e.AcName, e.AcGrossLoad, g.Between(50, 3000), 0});
        }
        sections.push_back(std::move(sec));
    }
    return sections;
}

void WriteDesigns(const std::string& path, const design::BatchResult& batch) {
    std::ofstream out(path);
    for (const auto& e : batch.sections) {
        out << e.slot << ' ' << e.sectionName << ' ' << e.run.designLayer;
        for (const auto& l : e.run.layers) {
            char text[32];
            std::snprintf(text, sizeof text, " %.6f", static_cast<double>(l.thickness));
            out << text;
        }
        out << '\n';
    }
}

// range(0): 0 = a directory on the disk (beside the benchmark), 1 = tmpfs (/dev/shm).
void MixedBatch(benchmark::State& st) {
    const bool tmpfs = st.range(0) == 1;
    const std::filesystem::path root =
        tmpfs ? std::filesystem::path("/dev/shm") : std::filesystem::current_path();
    std::string dir = (root / "tavro-batch-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        st.SkipWithError("no scratch directory");
        return;
    }
    core::ProgramState state;
    core::InitLibraries(state);
    state.ProgramDir = dir + "/";
    state.JobName = "BENCH";
    const std::vector<core::Section> sections = MixedSections(state);
    bench::QuietPort ui;
    design::RunOptions options;
    options.refuseSamples = false;
    bool first = true;
    for (auto _ : st) {
        state.Sections = sections;
        const design::BatchResult batch =
            design::RunBatch(state, ui, 1, design::BatchSave::InMemory, options);
        if (batch.end != design::BatchEnd::Completed) {
            const auto& e = batch.sections.back();
            const std::string why = "the batch stopped at " + e.sectionName + ": status " +
                                    std::to_string(static_cast<int>(e.run.status)) + ", " +
                                    e.run.summary.why;
            st.SkipWithError(why.c_str());
            break;
        }
        if (first) {
            if (const char* path = std::getenv("TAVRO_BATCH_DESIGNS")) {
                WriteDesigns(std::string(path) + (tmpfs ? ".tmpfs" : ".disk"), batch);
            }
            first = false;
        }
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(MixedBatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace
