// The benchmarks' starting point: the built-in sample job, open, in a new temporary program
// directory of its own for the analysis files.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"

namespace tavro::bench {

// The sample job, open, with a new temporary program directory for the analysis files.
inline core::ProgramState SampleState() {
    core::ProgramState state;
    core::InitLibraries(state);
    std::string dir = (std::filesystem::temp_directory_path() / "tavro-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    state.ProgramDir = dir + "/";
    state.JobName = "Samples";
    core::LoadSampleJob(state);
    return state;
}

}  // namespace tavro::bench
