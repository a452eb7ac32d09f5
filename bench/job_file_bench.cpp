// Formatting and parsing a full job (100 sections of 16 layers and 20 aircraft): saving
// and opening a job must stay instant for the user.
#include <benchmark/benchmark.h>

#include "core/job_file.h"
#include "core/program_state.h"
#include "core/section_ops.h"

namespace {

std::vector<tavro::core::Section> FullJob() {
    tavro::core::ProgramState state;
    tavro::core::LoadSampleJob(state);
    tavro::core::Section s = state.Sections[1];
    while (s.Layers.size() < 16) s.Layers.insert(s.Layers.begin() + 1, s.Layers[1]);
    while (s.Aircraft.size() < 20) s.Aircraft.push_back(s.Aircraft[0]);
    std::vector<tavro::core::Section> job;
    for (int i = 0; i < 100; ++i) {
        s.SectionName = "S" + std::to_string(100 + i);
        job.push_back(s);
    }
    return job;
}

void FormatFullJob(benchmark::State& st) {
    const auto job = FullJob();
    for (auto _ : st) benchmark::DoNotOptimize(tavro::core::FormatJob(job));
}
BENCHMARK(FormatFullJob);

void ParseFullJob(benchmark::State& st) {
    const std::string text = tavro::core::FormatJob(FullJob());
    for (auto _ : st) benchmark::DoNotOptimize(tavro::core::ParseJob(text, "BENCH"));
}
BENCHMARK(ParseFullJob);

}  // namespace
