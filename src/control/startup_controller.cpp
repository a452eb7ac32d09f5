#include "control/startup_controller.h"

#include "core/messages.h"
#include "core/program_state.h"
#include "core/startup.h"
#include "core/units.h"

namespace tavro::control {

StartupController::StartupController(core::ProgramState& state, core::UserPort& ui,
                                     NameAsker askName)
    : state_(state), ui_(ui), askName_(std::move(askName)) {}

void StartupController::Start(std::string_view programDir, bool firstInstance) {
    core::StartProgram(state_, ui_, programDir, firstInstance);
    RebuildSections();
}

const std::vector<std::string>& StartupController::JobLines() const { return state_.JobList; }

int StartupController::JobRow() const { return state_.JobListIndex; }

int StartupController::SectionRow() const {
    if (state_.SectionCount() == 0) return -1;
    return state_.CurrentSection - 1;
}

const std::vector<std::string>& StartupController::CopyInstructions() {
    static const std::vector<std::string> lines = {
        "    Select a section to be",   "    copied from the right",
        "    hand list box.",           "    Then select the job to",
        "    copy it to from the left", "    hand list box.",
        "    Click End Copy when done", "    or if you make a mistake",
        "    selecting the section."};
    return lines;
}

std::optional<std::string> StartupController::Ask(core::NameMode mode) {
    auto name = askName_(core::NameDialogFor(state_, mode));
    if (!name || name->empty()) return std::nullopt;
    return name;
}

void StartupController::RebuildSections() { sectionLines_ = core::FillSectionList(state_, ui_); }

void StartupController::ClickJob(int row) {
    if (row < 0 || row >= static_cast<int>(state_.JobList.size())) return;
    if (copyMode_) {
        CopyToJob(row);
        return;
    }
    core::SelectJob(state_, ui_, row);
    RebuildSections();
}

void StartupController::ClickSection(int row) {
    if (row < 0 || row >= state_.SectionCount()) return;
    core::SelectSection(state_, ui_, row + 1);
    if (copyMode_) {
        jobListEnabled_ = true;
        sectionListEnabled_ = false;
    }
}

void StartupController::CopyToJob(int row) {
    const std::string target = state_.JobList[static_cast<std::size_t>(row)];
    if (core::IsSamplesJob(target)) {
        // Refused before any name is asked; the core gives the message.
        core::CopySectionToJob(state_, ui_, target, "");
    } else if (auto name = Ask(core::NameMode::CopySection)) {
        core::CopySectionToJob(state_, ui_, target, *name);
    }
    RebuildSections();
    jobListEnabled_ = false;
    sectionListEnabled_ = true;
}

void StartupController::DropSectionOnJob(int row) {
    if (row < 0 || row >= static_cast<int>(state_.JobList.size())) return;
    CopyToJob(row);
    if (copyMode_) {
        EndCopy();
    } else {
        jobListEnabled_ = sectionListEnabled_ = true;
    }
}

void StartupController::NewJob() {
    if (auto name = Ask(core::NameMode::NewJob)) core::NewJob(state_, ui_, *name);
    RebuildSections();
}

void StartupController::DeleteJob() {
    core::DeleteJob(state_, ui_);
    RebuildSections();
}

void StartupController::DuplicateSection() {
    // The refusals come before the name dialog; an empty name lets the core give them.
    const bool refused = core::IsSamplesJob(state_.JobName) || state_.SectionCount() == 0 ||
                         state_.SectionCount() >= core::kMaxSections;
    if (refused) {
        core::DuplicateSection(state_, ui_, "");
    } else if (auto name = Ask(core::NameMode::NewSection)) {
        core::DuplicateSection(state_, ui_, *name);
    }
    RebuildSections();
}

void StartupController::DeleteSection() {
    core::DeleteSection(state_, ui_);
    RebuildSections();
}

void StartupController::CopyCommand() {
    if (copyMode_) {
        EndCopy();
        return;
    }
    if (state_.SectionCount() == 0) {
        // Gives the "no sections to copy" refusal and changes nothing.
        core::CopySectionToJob(state_, ui_, state_.JobName, "");
        return;
    }
    copyMode_ = true;
    sectionListEnabled_ = true;
    jobListEnabled_ = false;
}

void StartupController::EndCopy() {
    copyMode_ = false;
    jobListEnabled_ = sectionListEnabled_ = true;
    core::SelectJob(state_, ui_, state_.JobListIndex);
    RebuildSections();
}

bool StartupController::CanOpen(SectionWindow window) {
    if (state_.SectionCount() > 0) return true;
    const char* title = window == SectionWindow::Structure ? "Structure Button"
                        : window == SectionWindow::Notes   ? "Notes Button"
                                                           : "Aircraft Button";
    core::ShowMessage(state_, ui_, "There are no sections in job " + state_.JobName + ".",
                      core::Buttons::Ok, title);
    return false;
}

void StartupController::SetMetric(bool metric) { core::ApplyUnits(state_.Units, metric); }

void StartupController::Refresh() { sectionLines_ = core::SectionListLines(state_); }

}  // namespace tavro::control
