#include "control/notes_controller.h"

#include "core/job_ops.h"
#include "core/messages.h"
#include "core/notes_file.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "design/report.h"

namespace tavro::control {

namespace {

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The box shows line breaks as LF; files and reports keep CR LF.
std::string ForBox(const std::string& text) { return Replaced(text, "\r\n", "\n"); }
std::string FromBox(const std::string& text) { return Replaced(text, "\n", "\r\n"); }

// Slot (1-based) of the section named `name`, 0 when the job has none.
int SlotNamed(const core::ProgramState& state, const std::string& name) {
    for (int i = 1; i <= state.SectionCount(); ++i)
        if (state.Slot(i).SectionName == name) return i;
    return 0;
}

}  // namespace

NotesController::NotesController(core::ProgramState& state, core::UserPort& ui)
    : state_(state), ui_(ui) {}

void NotesController::Open() {
    // The current section is already loaded by the window that opens this one; loading it
    // again would throw away edits still open in the structure window.
    FillList();
    ShowSection();
}

void NotesController::Follow() {
    if (InStep()) {
        // The structure or aircraft window may have changed the section meanwhile.
        if (infoMode_) ShowSection();
        return;
    }
    if (NotesChanged() && PromptSaveNotes() == core::Answer::Cancel) {
        // Keep editing the note shown: its section becomes the current one again.
        if (state_.JobName == shownJob_) {
            if (int slot = SlotNamed(state_, shownName_)) {
                state_.CurrentSection = static_cast<std::int16_t>(slot);
                core::LoadSection(state_, ui_);
                FillList();
                Remember();
            }
        }
        return;
    }
    Open();
}

void NotesController::SetBoxText(std::string text) { box_ = std::move(text); }

bool NotesController::SelectSection(int row) {
    if (row < 0 || row >= state_.SectionCount()) return false;
    if (row == SectionRow() && InStep()) return true;
    if (!infoMode_ && PromptSaveNotes() == core::Answer::Cancel) return false;
    state_.CurrentSection = static_cast<std::int16_t>(row + 1);
    core::LoadSection(state_, ui_);
    ShowSection();
    return true;
}

void NotesController::ShowNotes() {
    if (!infoMode_ && PromptSaveNotes() == core::Answer::Cancel) return;
    infoMode_ = false;
    ShowSection();
}

void NotesController::ShowInformation() {
    if (!infoMode_ && PromptSaveNotes() == core::Answer::Cancel) return;
    infoMode_ = true;
    ShowSection();
}

void NotesController::Save() {
    if (!infoMode_) PromptSaveNotes();
}

bool NotesController::Exit() { return infoMode_ || PromptSaveNotes() != core::Answer::Cancel; }

std::string NotesController::PrintText() {
    const design::SectionReport report = design::BuildReport(state_);
    core::ReadNotes(state_, ui_);
    return design::ReportWithNotes(report, state_.NotesText, design::ReportDestination::Printer);
}

std::string NotesController::ClipboardText() {
    const design::SectionReport report = design::BuildReport(state_);
    core::ReadNotes(state_, ui_);
    return design::ReportWithNotes(report, state_.NotesText, design::ReportDestination::Clipboard);
}

core::Answer NotesController::PromptSaveNotes() {
    if (!NotesChanged()) return core::Answer::Yes;
    // A demonstration saves nothing: its typed note is dropped as by No, without asking.
    if (state_.DemoRunning) {
        SetBox(ForBox(shownNote_));
        return core::Answer::No;
    }
    const std::string text = core::JoinLines({"The notes for the current section have changed.", "",
                                              "Do you want to save the new data in section",
                                              shownName_ + " in file " + shownJob_ + ".NTS?", "",
                                              "All the changes will be lost if not saved."});
    const core::Answer answer =
        core::ShowMessage(state_, ui_, text, core::Buttons::YesNoCancel, "Saving Notes",
                          core::Answer::Cancel, core::Icon::Question);
    if (answer == core::Answer::Yes) {
        if (!SaveNote(FromBox(box_))) return core::Answer::Cancel;
        shownNote_ = FromBox(box_);
    } else if (answer == core::Answer::No) {
        SetBox(ForBox(shownNote_));
    }
    return answer;
}

bool NotesController::SaveNote(const std::string& note) {
    if (InStep()) {
        state_.NotesText = note;
        return core::UpdateNotes(state_, ui_, note, core::NotesMode::Replace);
    }
    // Another window has moved on to another section or job: write into the notes file of
    // the section shown, through a copy of the state that has it current.
    core::ProgramState shown = state_;
    if (!core::LoadJob(shown, ui_, shownJob_)) return false;
    const int slot = SlotNamed(shown, shownName_);
    if (slot == 0) return false;
    shown.CurrentSection = static_cast<std::int16_t>(slot);
    return core::UpdateNotes(shown, ui_, note, core::NotesMode::Replace);
}

std::string NotesController::Title() const {
    return "TAVRO - Notes and Information for Job " + state_.JobName;
}

std::string NotesController::Caption() const {
    const std::string& name = state_.Current.SectionName;
    return infoMode_ ? "Design Information for Section " + name : "Notes for Section " + name;
}

int NotesController::SectionRow() const {
    return state_.CurrentSection > 0 ? state_.CurrentSection - 1 : -1;
}

bool NotesController::NotesChanged() const { return !infoMode_ && box_ != ForBox(shownNote_); }

void NotesController::ShowSection() {
    if (state_.CurrentSection == 0) {
        SetBox({});
    } else if (infoMode_) {
        SetBox(ForBox(design::BuildReport(state_).screen));
    } else {
        core::ReadNotes(state_, ui_);
        shownNote_ = state_.NotesText;
        SetBox(ForBox(shownNote_));
    }
    Remember();
}

void NotesController::Remember() {
    shownJob_ = state_.JobName;
    shownSlot_ = state_.CurrentSection;
    shownName_ = state_.CurrentSection > 0 ? state_.Current.SectionName : std::string();
}

bool NotesController::InStep() const {
    if (state_.JobName != shownJob_ || state_.CurrentSection != shownSlot_) return false;
    if (shownSlot_ == 0) return true;
    if (state_.Current.SectionName != shownName_) return false;
    for (int i = 1; i <= state_.SectionCount(); ++i)
        if (static_cast<std::size_t>(i) > sectionLines_.size() ||
            sectionLines_[static_cast<std::size_t>(i - 1)] != state_.Slot(i).SectionName)
            return false;
    return sectionLines_.size() == static_cast<std::size_t>(state_.SectionCount());
}

void NotesController::SetBox(std::string text) {
    if (text == box_) return;  // unchanged: the box keeps its scroll position
    box_ = std::move(text);
    ++boxVersion_;
}

void NotesController::FillList() {
    sectionLines_.clear();
    for (int i = 1; i <= state_.SectionCount(); ++i)
        sectionLines_.push_back(state_.Slot(i).SectionName);
}

}  // namespace tavro::control
