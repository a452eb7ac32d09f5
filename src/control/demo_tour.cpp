// The demonstration's state machine: start in a temporary job, one step per tick, and one
// way out (Finish) that every ending goes through.
#include "control/demo_tour.h"

#include <algorithm>
#include <cmath>

#include "core/file_io.h"
#include "core/job_file.h"
#include "core/job_ops.h"
#include "core/messages.h"
#include "core/notes_file.h"
#include "core/program_state.h"
#include "core/section_ops.h"

namespace tavro::control {

// What the tour changes in the program state, kept to be put back at its end.
struct TourRunner::Saved {
    std::string JobName;
    std::vector<core::Section> Sections;
    std::vector<core::Section> SavedSections;
    std::int16_t CurrentSection = 0;
    core::CurrentSectionRecord Current;
    std::string ReadOnlyReason;
    std::vector<std::string> JobList;
    std::int16_t JobListIndex = 0;
    std::string NotesText;
    core::RunState Run;
    core::AircraftWindowMemory AircraftWindow;
};

TourRunner::TourRunner(core::ProgramState& state, core::UserPort& ui, TourDriver& driver, Tour tour,
                       int pauseMs)
    : state_(state),
      ui_(ui),
      driver_(driver),
      tour_(std::move(tour)),
      pauseMs_(std::max(0, pauseMs)) {}

TourRunner::~TourRunner() {
    if (Active()) Finish(TourEnd::Stopped);
}

std::string TourRunner::FreeJobName() const {
    for (int n = 1; n < 100; ++n) {
        const std::string name = "DEMO" + std::to_string(n);
        const bool listed =
            std::any_of(state_.JobList.begin(), state_.JobList.end(),
                        [&](const std::string& j) { return core::EqualsNoCase(j, name); });
        if (!listed && !core::FileExists(core::JobFilePath(state_, name)) &&
            !core::FileExists(core::NotesFilePath(state_, name))) {
            return name;
        }
    }
    return {};
}

bool TourRunner::MakeJob() {
    job_ = FreeJobName();
    if (job_.empty()) return false;
    core::ProgramState samples;
    core::LoadSampleJob(samples);
    if (core::WriteFileAtomically(core::JobFilePath(state_, job_),
                                  core::FormatJob(samples.Sections)) != 0) {
        RemoveJobFiles();
        return false;
    }
    // Listed in name order after "Samples", as the job list is built.
    auto at = std::lower_bound(
        state_.JobList.begin() + 1, state_.JobList.end(), job_,
        [](const std::string& a, const std::string& b) { return core::LessNoCase(a, b); });
    const auto index = static_cast<std::int16_t>(at - state_.JobList.begin());
    state_.JobList.insert(at, job_);
    state_.JobListIndex = index;
    if (!core::LoadJob(state_, ui_, job_) || state_.SectionCount() < tour_.sampleSlot) {
        return false;
    }
    core::SelectSection(state_, ui_, tour_.sampleSlot);
    return true;
}

bool TourRunner::Start() {
    if (end_ == TourEnd::Running) return false;
    if (state_.DemoRunning || state_.Run.DesignRunning) {
        core::ShowMessage(state_, ui_, "A demonstration cannot start while a run is active.",
                          core::Buttons::Ok, tour_.title);
        return false;
    }
    saved_ = std::make_unique<Saved>(
        Saved{state_.JobName, state_.Sections, state_.SavedSections, state_.CurrentSection,
              state_.Current, state_.ReadOnlyReason, state_.JobList, state_.JobListIndex,
              state_.NotesText, state_.Run, state_.AircraftWindow});
    samplesNotesExisted_ =
        core::FileExists(core::NotesFilePath(state_, std::string(core::kSamplesJob)));
    if (!MakeJob()) {
        Finish(TourEnd::NotStarted);
        core::ShowMessage(state_, ui_,
                          core::JoinLines({"The demonstration needs a temporary job in",
                                           state_.ProgramDir, "and could not create one."}),
                          core::Buttons::Ok, tour_.title, core::Answer::Ok,
                          core::Icon::Exclamation);
        return false;
    }
    state_.DemoRunning = true;
    end_ = TourEnd::Running;
    next_ = 0;
    driver_.Open();
    return true;
}

TourStep TourRunner::Resolved(const TourStep& step) const {
    TourStep out = step;
    for (std::string* s : {&out.item, &out.text}) {
        const auto at = s->find("{job}");
        if (at != std::string::npos) s->replace(at, 5, job_);
    }
    return out;
}

bool TourRunner::DoStep(const TourStep& step) {
    switch (step.kind) {
        case StepKind::Explain:
            if (core::ShowMessage(state_, ui_, step.text, core::Buttons::OkCancel, tour_.title,
                                  core::Answer::Ok, core::Icon::Information) != core::Answer::Ok) {
                stopAsked_ = true;
            }
            return true;
        case StepKind::Wait:
            return true;
        case StepKind::Select:
        case StepKind::Click:
        case StepKind::Enter:
            return driver_.Perform(step);
    }
    return false;
}

int TourRunner::Tick() {
    if (!Active()) return -1;
    if (stopAsked_) {
        Finish(TourEnd::Stopped);
        return -1;
    }
    if (next_ >= tour_.steps.size()) {
        Finish(TourEnd::Completed);
        return -1;
    }
    const TourStep step = Resolved(tour_.steps[next_]);
    const bool clicks = step.kind == StepKind::Click || step.kind == StepKind::Enter;
    if (clicks && !pressed_) {
        pressed_ = true;
        driver_.Press(step);
        return std::min(pauseMs_, kPressHoldMs);
    }
    pressed_ = false;
    inStep_ = true;
    const bool done = DoStep(step);
    inStep_ = false;
    ++next_;
    if (stopAsked_) {
        Finish(TourEnd::Stopped);
        return -1;
    }
    if (!done) {
        Finish(TourEnd::Failed);
        core::ShowMessage(state_, ui_,
                          core::JoinLines({"The demonstration could not go on and has ended.",
                                           "Nothing of yours has been changed."}),
                          core::Buttons::Ok, tour_.title, core::Answer::Ok,
                          core::Icon::Exclamation);
        return -1;
    }
    return step.kind == StepKind::Wait ? pauseMs_ * std::max(1, step.count) : pauseMs_;
}

void TourRunner::Stop() {
    if (!Active()) return;
    stopAsked_ = true;
    // A run under way ends after its next analysis; the tour ends when the step returns.
    state_.Run.DesignRunning = false;
    if (!inStep_) Finish(TourEnd::Stopped);
}

void TourRunner::RemoveJobFiles() {
    if (job_.empty()) return;
    core::RemoveRegularFile(core::JobFilePath(state_, job_));
    core::RemoveRegularFile(core::NotesFilePath(state_, job_));
    // Copying from Samples makes its notes file when there was none.
    if (!samplesNotesExisted_) {
        core::RemoveRegularFile(core::NotesFilePath(state_, std::string(core::kSamplesJob)));
    }
}

void TourRunner::Finish(TourEnd end) {
    // Windows leave the temporary job while DemoRunning still answers their save questions
    // with No, then the user's state comes back and the windows show it.
    if (end != TourEnd::NotStarted) driver_.Leave();
    state_.Run.DesignRunning = false;
    if (saved_) {
        Saved& s = *saved_;
        state_.JobName = std::move(s.JobName);
        state_.Sections = std::move(s.Sections);
        state_.SavedSections = std::move(s.SavedSections);
        state_.CurrentSection = s.CurrentSection;
        state_.Current = std::move(s.Current);
        state_.ReadOnlyReason = std::move(s.ReadOnlyReason);
        state_.JobList = std::move(s.JobList);
        state_.JobListIndex = s.JobListIndex;
        state_.NotesText = std::move(s.NotesText);
        state_.Run = std::move(s.Run);
        state_.AircraftWindow = std::move(s.AircraftWindow);
        saved_.reset();
    }
    RemoveJobFiles();
    state_.DemoRunning = false;
    end_ = end;
    if (end != TourEnd::NotStarted) driver_.Restore();
}

std::optional<int> AskPauseMs(const core::ProgramState& state, core::UserPort& ui) {
    float seconds = kDefaultPauseSeconds;
    if (!core::PromptNumber(state, ui,
                            "Pause between the steps of the demonstration, in seconds (0 to 30):",
                            "Demonstration", seconds)) {
        return std::nullopt;
    }
    if (!(seconds >= 0) || seconds > kMaxPauseSeconds) {
        seconds = std::clamp(std::isnan(seconds) ? kDefaultPauseSeconds : seconds, 0.0f,
                             kMaxPauseSeconds);
        core::ShowMessage(
            state, ui,
            core::JoinLines({"The pause is between 0 and 30 seconds.", "",
                             "The demonstration pauses " +
                                 std::to_string(static_cast<int>(seconds)) + " seconds."}),
            core::Buttons::Ok, "Demonstration");
    }
    return static_cast<int>(std::lround(static_cast<double>(seconds) * 1000.0));
}

}  // namespace tavro::control
