// The demonstration engine with a scripted user and a fake window: every way out of a tour
// leaves the program directory byte-identical and the program state as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "control/demo_tour.h"
#include "control_fixture.h"
#include "core/job_ops.h"

namespace tavro::control {
namespace {

using core::Answer;

// Every job and notes file with its bytes (the saves' lock files stay by design).
std::map<std::string, std::string> Files(const test::TempDir& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (name.ends_with(".lock")) continue;
        out[name] = dir.Read(name);
    }
    return out;
}

// Does to the state what a step asks, as the real windows would.
struct FakeDriver : TourDriver {
    core::ProgramState& state;
    core::UserPort& ui;
    std::vector<std::string> log;
    int failAt = -1;  // Perform number that fails
    int stopAt = -1;  // Perform number that stops the tour from inside
    TourRunner* runner = nullptr;
    int performs = 0;
    bool demoDuringSteps = true;

    FakeDriver(core::ProgramState& s, core::UserPort& u) : state(s), ui(u) {}
    void Open() override { log.push_back("open " + state.JobName); }
    void Press(const TourStep& step) override { log.push_back("press " + step.target); }
    bool Perform(const TourStep& step) override {
        demoDuringSteps = demoDuringSteps && state.DemoRunning;
        const int n = performs++;
        log.push_back("do " + step.target + " " + step.item);
        if (n == stopAt) runner->Stop();
        if (n == failAt) return false;
        if (step.kind == StepKind::Enter && !state.Current.Layers.empty())
            state.Current.Layers[0].LayerThickness = 1.5f;
        if (step.kind == StepKind::Select && step.target == "lstJobs")  // a real write
            core::CopySectionToJob(state, ui, state.JobName, "X" + std::to_string(n));
        return true;
    }
    void Leave() override { log.push_back("leave " + state.JobName); }
    void Restore() override { log.push_back("restore " + state.JobName); }
};

struct DemoFixture : testing::ControlFixture {
    FakeDriver driver{state, ui};
    std::map<std::string, std::string> before;
    float editedThickness = 0;

    DemoFixture() {
        Select(2);
        // An unsaved edit of the user's: the tour must hand it back.
        editedThickness = Layer(1).LayerThickness + 1.25f;
        Layer(1).LayerThickness = editedThickness;
        ui.answerDefaults = true;
        before = Files(dir);
    }
    // Runs `tour` tick by tick; `stopBefore` stops between steps before that tick.
    TourEnd Play(const Tour& tour, int pauseMs = 0, int stopBeforeTick = -1) {
        TourRunner runner(state, ui, driver, tour, pauseMs);
        driver.runner = &runner;
        if (!runner.Start()) return TourEnd::NotStarted;
        EXPECT_TRUE(state.DemoRunning);
        EXPECT_TRUE(dir.Exists(runner.TemporaryJob() + ".JOB"));
        for (int tick = 0; runner.Active() && tick < 1000; ++tick) {
            if (tick == stopBeforeTick) runner.Stop();
            runner.Tick();
        }
        return runner.End();
    }
    void ExpectUntouched() {
        EXPECT_EQ(Files(dir), before);
        EXPECT_EQ(std::tuple(state.DemoRunning, state.JobName, int(state.CurrentSection),
                             state.Current.Layers.at(0).LayerThickness, state.JobList),
                  std::tuple(false, "RWY", 2, editedThickness,
                             std::vector<std::string>{"Samples", "RWY"}));
        ASSERT_GE(driver.log.size(), 2u);
        EXPECT_EQ(driver.log[driver.log.size() - 2].substr(0, 10) + "/" + driver.log.back(),
                  "leave DEMO/restore RWY");
    }
};

TEST(DemoTour, EveryTourRunsToItsEndAndLeavesFilesAndStateAsTheyWere) {
    for (const std::string& name : TourNames()) {
        SCOPED_TRACE(name);
        DemoFixture f;
        const Tour& tour = *FindTour(name);
        EXPECT_EQ(f.Play(tour), TourEnd::Completed);
        f.ExpectUntouched();
        EXPECT_TRUE(f.driver.demoDuringSteps);
        EXPECT_EQ(f.driver.log.front(), "open DEMO1");
        // Every explanation was a box carrying the demonstration suffix.
        ASSERT_EQ(std::ssize(f.ui.boxes),
                  std::ranges::count(tour.steps, StepKind::Explain, &TourStep::kind));
        for (const auto& box : f.ui.boxes) {
            EXPECT_EQ(box.title, tour.title);
            EXPECT_TRUE(box.text.ends_with("\r\n\r\nClick the appropriate button to continue."))
                << box.text;
            EXPECT_EQ(box.text.find("{job}"), std::string::npos);
        }
    }
}

TEST(DemoTour, StoppingBeforeOrInsideAnyStepCleansUp) {
    for (const std::string& name : TourNames()) {
        const Tour& tour = *FindTour(name);
        // Click and Enter steps take two ticks.
        const int ticks = static_cast<int>(tour.steps.size()) * 2;
        for (int k = 0; k < ticks; ++k) {
            SCOPED_TRACE(name + " stop before tick " + std::to_string(k));
            DemoFixture f;
            const TourEnd end = f.Play(tour, 0, k);
            EXPECT_TRUE(end == TourEnd::Stopped || end == TourEnd::Completed);
            f.ExpectUntouched();
        }
        const auto performs = std::ranges::count_if(tour.steps, [](const TourStep& s) {
            return s.kind != StepKind::Explain && s.kind != StepKind::Wait;
        });
        for (int k = 0; k < performs; ++k) {
            SCOPED_TRACE(name + " stop inside perform " + std::to_string(k));
            DemoFixture f;
            f.driver.stopAt = k;
            EXPECT_EQ(f.Play(tour), TourEnd::Stopped);
            EXPECT_EQ(f.driver.performs, k + 1);
            f.ExpectUntouched();
        }
    }
}

TEST(DemoTour, CancelOnAnExplanationStopsTheTour) {
    DemoFixture f;
    f.ui.answerDefaults = false;
    f.ui.Answer(Answer::Ok);
    f.ui.Answer(Answer::Cancel);
    const Tour& tour = *FindTour("structure");
    EXPECT_EQ(f.Play(tour), TourEnd::Stopped);
    EXPECT_EQ(f.ui.boxes.size(), 2u);
    EXPECT_EQ(f.driver.performs, 0);
    f.ExpectUntouched();
}

TEST(DemoTour, AFailingStepEndsTheTourCleanAndSaysSoWithoutTheSuffix) {
    const Tour& tour = *FindTour("startup");
    DemoFixture f;
    f.driver.failAt = 2;
    EXPECT_EQ(f.Play(tour), TourEnd::Failed);
    f.ExpectUntouched();
    EXPECT_EQ(f.ui.boxes.back().text,
              "The demonstration could not go on and has ended.\r\nNothing of yours has been "
              "changed.");
}

TEST(DemoTour, PausesBetweenStepsAndHoldsAClickedButtonDown) {
    DemoFixture f;
    Tour tour{"t",
              "T",
              1,
              {{StepKind::Explain, "", "", "a", 1},
               {StepKind::Click, "cmdX", "", "", 1},
               {StepKind::Wait, "", "", "", 3}}};
    TourRunner runner(f.state, f.ui, f.driver, tour, 2000);
    f.driver.runner = &runner;
    ASSERT_TRUE(runner.Start());
    EXPECT_EQ(runner.Tick(), 2000);          // explanation, then the pause
    EXPECT_EQ(runner.Tick(), kPressHoldMs);  // pressed
    EXPECT_EQ(f.driver.log.back(), "press cmdX");
    EXPECT_EQ(runner.Tick(), 2000);  // released: clicked
    EXPECT_EQ(f.driver.log.back(), "do cmdX ");
    EXPECT_EQ(runner.Tick(), 6000);
    EXPECT_EQ(runner.Tick(), -1);
    EXPECT_EQ(runner.End(), TourEnd::Completed);
    f.ExpectUntouched();
}

TEST(DemoTour, TheTemporaryJobAvoidsExistingNamesAndATourDoesNotStartDuringARun) {
    DemoFixture f;
    f.dir.Write("DEMO1.NTS", "x");
    f.before = Files(f.dir);
    {
        TourRunner runner(f.state, f.ui, f.driver, *FindTour("notes"), 0);
        ASSERT_TRUE(runner.Start());
        EXPECT_EQ(runner.TemporaryJob(), "DEMO2");
        EXPECT_EQ(f.state.JobList, (std::vector<std::string>{"Samples", "DEMO2", "RWY"}));
        // Destroyed while running: stopped and cleaned up.
    }
    f.ExpectUntouched();
    f.state.Run.DesignRunning = true;
    TourRunner runner(f.state, f.ui, f.driver, *FindTour("notes"), 0);
    EXPECT_FALSE(runner.Start());
    EXPECT_FALSE(f.state.DemoRunning);
    EXPECT_EQ(Files(f.dir), f.before);
}

TEST(DemoTour, ThePauseIsAskedInSecondsAndKeptInRange) {
    testing::ControlFixture f;
    f.ui.answerDefaults = true;
    const std::pair<std::optional<std::string>, std::optional<int>> cases[] = {
        {"1.5", 1500}, {std::nullopt, std::nullopt}, {"-3", 0}, {"45", 30000}};
    for (const auto& [typed, ms] : cases) {
        f.ui.boxes.clear();
        f.ui.Type(typed);
        EXPECT_EQ(AskPauseMs(f.state, f.ui), ms) << typed.value_or("Cancel");
    }
    EXPECT_TRUE(f.ui.OnlyBox("Demonstration",
                             "The pause is between 0 and 30 seconds.\r\n\r\nThe demonstration "
                             "pauses 30 seconds."));
}

}  // namespace
}  // namespace tavro::control
