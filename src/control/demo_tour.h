// The demonstration: a guided walk-through of one window, written as data (a list of steps)
// and played by a small state machine that the window's front end ticks from its timer.
// The tour works in a temporary job holding a copy of the sample sections and leaves the
// program state, the windows and the user's files as it found them, however it ends.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/section.h"
#include "core/user_port.h"

namespace tavro::core {
struct ProgramState;
}

namespace tavro::control {

enum class StepKind {
    Explain,  // a message box with `text`; Cancel stops the tour
    Select,   // picks the row of list `target` whose line starts with `item`
    Click,    // presses button `target` (or the part `item` of drawing `target`)
    Enter,    // clicks like Click, then answers the input box that opens with `text`
    Wait,     // `count` extra pauses (a moment to look at a result)
};

struct TourStep {
    StepKind kind = StepKind::Explain;
    std::string target;  // object name of the widget
    std::string item;    // list line prefix or drawing part; "{job}" is the temporary job
    std::string text;    // Explain: the message; Enter: the value typed
    int count = 1;       // Wait: pauses
};

struct Tour {
    std::string window;  // "startup", "structure", "aircraft", "notes"
    std::string title;   // title of its message boxes
    int sampleSlot = 1;  // the section of the temporary job the tour opens on
    std::vector<TourStep> steps;
};

// The tours of the windows; nullptr for an unknown window name.
const Tour* FindTour(std::string_view window);
std::vector<std::string> TourNames();

// The window side of a tour, implemented by the desktop front end (and by fakes in tests).
class TourDriver {
public:
    virtual ~TourDriver() = default;
    // The state now holds the temporary job: show the window on it.
    virtual void Open() = 0;
    // Shows button `step.target` pressed, before Perform releases it.
    virtual void Press(const TourStep& step) { (void)step; }
    // Does a Select, Click or Enter step on the real widgets; false when it cannot (no such
    // widget, a disabled button, no such row): the tour then fails and ends.
    virtual bool Perform(const TourStep& step) = 0;
    // The tour is ending, still in the temporary job: close what it opened, leave every mode.
    virtual void Leave() = 0;
    // The user's state is back: show it again in every window the tour touched.
    virtual void Restore() = 0;
};

enum class TourEnd { Running, Completed, Stopped, Failed, NotStarted };

class TourRunner {
public:
    // `pauseMs` between steps (0 in tests).
    TourRunner(core::ProgramState& state, core::UserPort& ui, TourDriver& driver, Tour tour,
               int pauseMs);
    // A tour still running when its runner goes is stopped and cleaned up.
    ~TourRunner();
    TourRunner(const TourRunner&) = delete;
    TourRunner& operator=(const TourRunner&) = delete;

    // Creates the temporary job, opens it and sets DemoRunning. false (with a message, and
    // nothing changed) when a run is active, a tour already runs or the job cannot be made.
    bool Start();
    // Does what is due: one step (a Click takes two ticks: press, then release). Returns the
    // milliseconds until the next tick, or -1 once the tour has ended.
    int Tick();
    // Stops the tour: at once between steps, or as soon as the step under way returns (a
    // run under way is interrupted).
    void Stop();

    bool Active() const { return end_ == TourEnd::Running; }
    TourEnd End() const { return end_; }
    // Steps done so far.
    int StepsDone() const { return static_cast<int>(next_); }
    int StepCount() const { return static_cast<int>(tour_.steps.size()); }
    const std::string& TemporaryJob() const { return job_; }
    const Tour& CurrentTour() const { return tour_; }

private:
    struct Saved;
    std::string FreeJobName() const;
    bool MakeJob();
    bool DoStep(const TourStep& step);
    TourStep Resolved(const TourStep& step) const;
    void Finish(TourEnd end);
    void RemoveJobFiles();

    core::ProgramState& state_;
    core::UserPort& ui_;
    TourDriver& driver_;
    Tour tour_;
    int pauseMs_;
    std::unique_ptr<Saved> saved_;
    std::string job_;
    bool samplesNotesExisted_ = true;
    std::size_t next_ = 0;
    bool pressed_ = false;
    bool inStep_ = false;
    bool stopAsked_ = false;
    TourEnd end_ = TourEnd::NotStarted;
};

// How long a simulated click shows its button pressed, at most (the pause if shorter).
inline constexpr int kPressHoldMs = 250;

// The pause between steps: asked in seconds through the number prompt.
inline constexpr float kDefaultPauseSeconds = 2;
inline constexpr float kMaxPauseSeconds = 30;
// Asks for the pause in seconds; nullopt when cancelled. Out of range values are clamped
// with a message.
std::optional<int> AskPauseMs(const core::ProgramState& state, core::UserPort& ui);

}  // namespace tavro::control
