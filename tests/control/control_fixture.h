// A program state over a real job "RWY" holding the three sample sections, opened as the
// startup window opens it, with a structure controller on top.
#pragma once

#include <string>

#include "control/structure_controller.h"
#include "core/job_file.h"
#include "core/job_ops.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "support/fake_user_port.h"
#include "support/temp_dir.h"

namespace tavro::control::testing {

struct ControlFixture {
    test::TempDir dir;
    core::ProgramState state;
    test::FakeUserPort ui;
    StructureController controller{state, ui};

    explicit ControlFixture(bool metric = false) {
        core::ProgramState samples;
        core::InitLibraries(samples);
        core::LoadSampleJob(samples);
        dir.Write("RWY.JOB", core::FormatJob(samples.Sections));
        ui.answerDefaults = true;
        core::StartProgram(state, ui, dir.path(), true);
        core::ApplyUnits(state.Units, metric);
        core::OpenJob(state, ui, "RWY");
        ui.boxes.clear();
        ui.answerDefaults = false;
        controller.Open();
    }

    // Makes slot `slot` (1 ACAggregate, 2 AConFlex, 3 NewFlexible) current.
    void Select(int slot) {
        ASSERT_TRUE(controller.SelectSection(slot - 1));
        ui.boxes.clear();
    }
    void Modify() {
        controller.ModifyCommand();
        ASSERT_TRUE(controller.ModifyMode());
    }
    // Types `text` into the input box that `edit` opens.
    template <class... Args>
    void Enter(std::optional<std::string> text, void (StructureController::*edit)(Args...),
               Args... args) {
        ui.Type(std::move(text));
        (controller.*edit)(args...);
    }
    core::SectionLayer& Layer(int i) { return state.Current.Layers.at(static_cast<size_t>(i - 1)); }
    // The stored job file read back.
    std::vector<core::Section> Stored() {
        return core::ParseJob(dir.Read("RWY.JOB"), "RWY").sections;
    }
};

}  // namespace tavro::control::testing
