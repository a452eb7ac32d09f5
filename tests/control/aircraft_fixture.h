// A program state with a job of two sections on disk, and a library with a wing-and-belly
// pair (no built-in aircraft carries one), for the aircraft window and gear view tests.
#pragma once

#include <string>

#include "core/job_file.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "support/fake_user_port.h"
#include "support/temp_dir.h"

namespace tavro::control::testing {

inline constexpr const char* kWing = "Wing Jet";
inline constexpr const char* kBelly = "Wing Jet Belly";

// Appends an "H" aircraft to the last group and its "HB" belly entry to the library's end.
inline void AddWingAndBelly(library::AircraftLibrary& lib) {
    for (const std::string name : {kWing, kBelly})
        lib.entries.push_back({.AcName = name,
                               .AcGrossLoad = 300000,
                               .AcGearShare = 0.2f,
                               .AcTirePressure = 180,
                               .AcGearCode = name == kWing ? "H" : "HB",
                               .AcGearConfig = 3,
                               .AcS1 = 40,
                               .AcS2 = 120,
                               .AcTireCount = 2,
                               .AcTireX = {-20, 20},
                               .AcWheelCount = 4,
                               .AcWheelY = {-100, -60, 60, 100}});
}

struct AircraftFixture {
    test::TempDir dir;
    core::ProgramState state;
    test::FakeUserPort ui;

    AircraftFixture() {
        core::InitLibraries(state);
        AddWingAndBelly(state.Aircraft);
        core::ApplyUnits(state.Units, false);
        state.ProgramDir = dir.path();
        state.JobName = std::string(core::kSamplesJob);
        core::LoadSampleJob(state);
        // A job of the user's own: two copies of the first sample section.
        state.JobName = "RWY";
        state.Sections.resize(2);
        state.Sections[1] = state.Sections[0];
        state.Sections[0].SectionName = "Apron";
        state.Sections[1].SectionName = "Taxiway";
        state.Sections[0].Aircraft = {{"SW 6,000", 6000, 1000, 0},
                                      {"DW 20,000", 20000, 500, 0.02f}};
        state.Sections[1].Aircraft = {{"Citation X", 36000, 300, 0}};
        Select(1);
        ui.boxes.clear();
    }

    void Select(int slot) {
        state.CurrentSection = static_cast<std::int16_t>(slot);
        core::LoadSection(state, ui);
    }

    // The job file as a reader sees it.
    core::ParsedJob File() const { return core::ParseJob(dir.Read("RWY.JOB"), "RWY"); }

    const core::DesignAircraft& Row(int k) const {
        return state.Current.Aircraft.at(static_cast<std::size_t>(k));
    }
    int Count() const { return state.Current.AircraftCount(); }
    int LibIndex(const char* name) const { return *library::FindAircraft(state.Aircraft, name); }
};

}  // namespace tavro::control::testing
