// A program state in a fresh directory with the sample job loaded, for the design tests.
#pragma once

#include <memory>
#include <string>

#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "design/run_controller.h"
#include "library/aircraft_library.h"
#include "support/fake_user_port.h"
#include "support/temp_dir.h"

namespace tavro::design::testing {

struct DesignFixture {
    test::TempDir dir;
    core::ProgramState state;
    test::FakeUserPort ui;

    struct Overlay {
        std::int16_t type;
        float h, sci, cdfu;
        int jets = 2;
    };

    // With a slot, that sample section is made current.
    explicit DesignFixture(int slot = 0) {
        core::InitLibraries(state);
        core::ApplyUnits(state.Units, false);  // as the program starts
        state.ProgramDir = dir.path();
        state.JobName = std::string(core::kSamplesJob);
        core::LoadSampleJob(state);
        ui.answerDefaults = true;
        if (slot != 0) Select(slot);
    }

    explicit DesignFixture(const Overlay& o) : DesignFixture() {
        SelectOverlay(o.type, o.h, o.sci, o.cdfu, o.jets);
    }

    // Makes sample slot `slot` current as the section list does.
    void Select(int slot) {
        state.CurrentSection = static_cast<std::int16_t>(slot);
        core::LoadSection(state, ui);
        state.Run.DesignLayer = DefaultDesignLayer(state.Current);
    }

    // 12 in PCC (700 psi) on 6 in crushed aggregate on 10000 psi, under two jets.
    void SelectRigidSection() {
        Select(1);
        state.Current.SectionName = "Rigid";
        state.Current.Layers = {
            {12.0f, 4000000.0f, 700.0f, 5}, {6.0f, 75000.0f, 0.0f, 6}, {0.0f, 10000.0f, 0.0f, 4}};
        state.Current.Aircraft = {{"Gulfstream G-IV", 75000, 1200, 0},
                                  {"Regional Jet 700", 72500, 3000, 0}};
        Derive();
    }

    // An overlay of `type` (10 AC, 11 unbonded, 12 partly bonded), h thick, on a 10 in slab
    // (650 psi) on 6 in crushed aggregate, under the first `jets` jets of the rigid section.
    void SelectOverlay(std::int16_t type, float h, float sci, float cdfu, int jets = 2) {
        SelectRigidSection();
        const bool asphalt = type == 10;
        state.Current.Layers = {
            {h, asphalt ? 200000.0f : 4000000.0f, asphalt ? 0.0f : 650.0f, type},
            {10.0f, 4000000.0f, 650.0f, 5},
            {6.0f, 75000.0f, 0.0f, 6},
            {0.0f, 10000.0f, 0.0f, 4}};
        state.Current.SCI = sci;
        state.Current.CDFU = cdfu;
        state.Current.Aircraft.resize(static_cast<std::size_t>(jets));
        Derive();
    }

    // Re-derives what loading a section derives after a test edited it.
    void Derive() {
        core::DerivePavementType(state);
        for (auto& a : state.Current.Aircraft)
            a.AircraftLibIndex = static_cast<std::int16_t>(
                library::FindAircraft(state.Aircraft, a.AircraftName).value_or(0));
        core::PrepareAircraft(state);
        state.Run.DesignLayer = DefaultDesignLayer(state.Current);
    }

    RunOptions InMemory() const {
        return {.refuseSamples = false, .batchRunning = false, .design = {}};
    }
};

}  // namespace tavro::design::testing
