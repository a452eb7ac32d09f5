// Runs from the structure window: window state during a run, re-entrancy, interrupt, the
// elapsed-time texts and the batch.
#include <gtest/gtest.h>

#include "control/damage_chart.h"
#include "control_fixture.h"
#include "core/day_serial.h"
#include "core/file_lock.h"
#include "library/aircraft_library.h"

namespace tavro::control {
namespace {

using testing::ControlFixture;

TEST(StructureRuns, APollCannotSwapTheSectionCloseTheWindowOrStartAnotherRun) {
    ControlFixture f;
    f.Select(3);
    std::vector<std::string> captions;
    bool tried = false;
    f.ui.onPoll = [&](int) {
        if (!f.state.Run.DesignRunning || tried) return;
        tried = true;
        captions.push_back(f.controller.Caption());
        EXPECT_EQ(f.controller.SelectedLayer(), 3) << "the design layer is highlighted";
        for (const CommandState& c : f.controller.Commands())
            if (c.name != "cmdSaveStr" && c.name != "cmdHelp") {
                EXPECT_FALSE(c.enabled) << c.name;
            }
        EXPECT_FALSE(f.controller.ListEnabled());
        EXPECT_FALSE(f.controller.DrawingEnabled());
        EXPECT_FALSE(f.controller.SelectSection(0));
        EXPECT_FALSE(f.controller.Close());
        f.controller.DesignCommand();
        f.controller.LifeCommand();
        f.controller.EnterModify();
        f.controller.EditLife();
    };
    f.ui.answerDefaults = true;  // the "Design in Progress" box
    f.controller.DesignCommand();
    ASSERT_TRUE(tried);
    EXPECT_EQ(captions[0], "TAVRO - Designing Section NewFlexible in Job RWY");
    EXPECT_EQ(f.ui.Titles(), std::vector<std::string>{"Design in Progress"});
    EXPECT_EQ(std::tuple(f.state.Current.SectionName, f.controller.ModifyMode(),
                         core::IsNotAnalysed(f.state.Current.SectionTimeStamp)),
              std::tuple("NewFlexible", false, false));
}

TEST(StructureRuns, InterruptLeavesTheSectionNotAnalysedAndTheTimerSaysStopped) {
    ControlFixture f;
    f.ui.onPoll = [&](int n) {
        if (!f.state.Run.DesignRunning) return;
        if (n == 3) f.controller.TimerTick();  // "ETimeStart" taken
        if (n == 20) {
            EXPECT_EQ(f.controller.Commands()[2].caption, "&Interrupt Design");
            f.controller.SaveCommand();
        }
    };
    f.ui.tickMs = 0;
    f.controller.DesignCommand();
    EXPECT_TRUE(core::IsNotAnalysed(f.state.Current.SectionTimeStamp));
    EXPECT_EQ(f.controller.StatusText(), "Design Running\r\n00:00:00");
    f.controller.TimerTick();
    EXPECT_EQ(std::tuple(f.controller.StatusText(), f.controller.TimerOn()),
              std::tuple(std::string("Design Stopped\r\n 0.00; 0.00"), false));
}

TEST(StructureRuns, StopTextWidensToKeepOneBlank) {
    ControlFixture f;
    std::int64_t* tick = &f.ui.tickMs;
    f.ui.onPoll = [&](int) {
        if (f.state.Run.DesignRunning) f.controller.TimerTick();
        *tick += 1000;
    };
    f.controller.LifeCommand();
    f.controller.TimerTick();
    // Every poll adds a second: the total is well above 100 s and keeps exactly one blank.
    const std::string status = f.controller.StatusText();
    EXPECT_EQ(status.substr(0, 16).find_last_of(' '), 14u) << status;
    EXPECT_EQ(status.substr(0, 14), "Life Stopped\r\n");
}

TEST(StructureRuns, NoAircraftAndAlreadyDesignedRefuseWithoutTiming) {
    ControlFixture f;
    f.state.Current.Aircraft.clear();
    f.ui.answerDefaults = true;
    f.controller.LifeCommand();
    EXPECT_TRUE(
        f.ui.OnlyBox("Structure Life", "There are no aircraft in\r\njob RWY section ACAggregate."));
    EXPECT_FALSE(f.controller.LastRun().has_value());
    f.controller.TimerTick();
    EXPECT_EQ(f.controller.StatusText(), "Total Time; LEA Time");

    ControlFixture g;
    g.state.Current.SectionTimeStamp = 46000.25;
    g.ui.Answer(core::Answer::No);
    g.controller.DesignCommand();
    ASSERT_EQ(g.ui.Titles(), std::vector<std::string>{"Already Designed"});
    EXPECT_EQ(g.state.Current.SectionTimeStamp, 46000.25);
}

TEST(StructureRuns, BatchDesignsAndSavesEverySectionFromTheSelectedOneDown) {
    ControlFixture f;
    f.Select(2);
    f.controller.SetBatchMode(true);
    f.ui.onPoll = [&](int) { f.controller.TimerTick(); };
    EXPECT_EQ(f.controller.Commands()[3].caption, "Ba&tch");
    f.controller.LifeCommand();
    EXPECT_TRUE(f.ui.boxes.empty()) << f.ui.boxes[0].title;
    const std::vector<core::Section> stored = f.Stored();
    EXPECT_TRUE(core::IsNotAnalysed(stored[0].SectionTimeStamp)) << "above the start: untouched";
    EXPECT_FALSE(core::IsNotAnalysed(stored[1].SectionTimeStamp));
    EXPECT_FALSE(core::IsNotAnalysed(stored[2].SectionTimeStamp));
    EXPECT_EQ(f.state.CurrentSection, 2) << "back on the section selected at the start";
    f.controller.TimerTick();
    EXPECT_EQ(f.controller.StatusText().substr(0, 15), "Batch Stopped\r\n");
}

TEST(StructureRuns, AnInterruptedBatchStopsAfterThatSectionUnsaved) {
    ControlFixture f;
    f.controller.SetBatchMode(true);
    f.ui.onPoll = [&](int n) {
        if (n == 30 && f.state.Run.DesignRunning) f.controller.SaveCommand();
    };
    f.controller.LifeCommand();
    for (const core::Section& s : f.Stored()) EXPECT_TRUE(core::IsNotAnalysed(s.SectionTimeStamp));
}

TEST(DamageChartTest, SharesAddUpToTheCdfAtEachPositionAndTheCriticalOneIsTheLargest) {
    ControlFixture f;
    f.Select(3);
    f.controller.DesignCommand();
    const DamageChart chart = MakeDamageChart(f.state);
    ASSERT_EQ(std::tuple(chart.total.size(), chart.series.size(), chart.offsetsIn.back()),
              std::tuple(41u, 4u, 400.0));
    // Shares are rescaled products of single-precision tables: agreement to float precision.
    constexpr double kFloatRelative = 1e-6;
    for (std::size_t j = 0; j < 41; ++j) {
        double sum = 0;
        for (const auto& s : chart.series) sum += s.cdf[j];
        EXPECT_NEAR(sum, chart.total[j], kFloatRelative * (1 + chart.total[j])) << j;
    }
    ASSERT_GE(chart.criticalPosition, 1);
    const double critical = chart.total[static_cast<std::size_t>(chart.criticalPosition - 1)];
    for (double t : chart.total) EXPECT_LE(t, critical);
    EXPECT_NEAR(critical, f.controller.LastRun()->summary.cdf, 0.01);
}

TEST(StructureRuns, AnOverlayLifeRunSurvivesItsLayerListBeingRebuiltAtAPoll) {
    ControlFixture f;
    core::CurrentSectionRecord& s = f.state.Current;
    s.Layers = {{6, 4000000, 700, 11}, {10, 4000000, 650, 5}, {6, 75000, 0, 6}, {0, 10000, 0, 4}};
    s.SCI = 100;
    s.CDFU = 50;
    s.Aircraft = {{"Gulfstream G-IV", 75000, 1200, 0}};
    s.Aircraft[0].AircraftLibIndex =
        static_cast<std::int16_t>(*library::FindAircraft(f.state.Aircraft, "Gulfstream G-IV"));
    f.controller.Follow();
    ASSERT_TRUE(s.ExistingPavement);
    int rebuilt = 0;
    f.ui.onPoll = [&](int n) {
        if (!f.state.Run.DesignRunning || n % 7 != 0) return;
        EXPECT_FALSE(f.controller.SelectSection(2));
        // A fresh buffer for the layer list: anything holding a reference into the old one
        // would now write into freed memory (AddressSanitizer reports it).
        std::vector<core::SectionLayer> copy = s.Layers;
        s.Layers.swap(copy);
        ++rebuilt;
    };
    f.controller.LifeCommand();
    EXPECT_GT(rebuilt, 0);
    ASSERT_TRUE(f.controller.LastRun().has_value());
    EXPECT_EQ(f.controller.LastRun()->status, design::RunStatus::Ran);
    EXPECT_FLOAT_EQ(s.Layers[1].LayerModulus, 4000000.0f) << "the slab's modulus is restored";
}

TEST(StructureRuns, BackCalculationOnDemandReportsTheModulusAndChangesNoThickness) {
    ControlFixture f;
    const std::vector<core::SectionLayer> before = f.state.Current.Layers;
    f.controller.BackCalculate();
    ASSERT_EQ(f.ui.Titles(), std::vector<std::string>{"Back-Calculating the Subgrade"});
    // The command line's backcalc gives 18,188 psi for this section.
    EXPECT_EQ(f.ui.boxes[0].text.substr(0, 45), "Back-calculated subgrade modulus: 18,188 psi.");
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(f.state.Current.Layers[i].LayerThickness, before[i].LayerThickness);
    EXPECT_EQ(f.state.Current.Layers.back().LayerModulus, before.back().LayerModulus);
}

TEST(StructureRuns, AnotherProgramsRunIsRefusedNotAwaitedAndChangesNothing) {
    ControlFixture f;
    f.Select(3);
    // A lock taken through its own open file stands for a command-line run of another
    // program: flock locks belong to the open file, not to the process.
    core::FileLock other;
    ASSERT_EQ(other.Acquire(f.state.ProgramDir + std::string(core::kRunLockName),
                            core::FileLock::Wait::NoWait),
              core::FileLock::Result::Locked);
    const std::vector<core::SectionLayer> before = f.state.Current.Layers;
    f.controller.DesignCommand();
    f.controller.BackCalculate();
    ASSERT_EQ(f.ui.Titles(), (std::vector<std::string>{"Running", "Running"}));
    EXPECT_EQ(f.ui.boxes[0].text, "Another run is using the analysis files in " +
                                      f.state.ProgramDir + ".\r\nTry again when it has finished.");
    EXPECT_EQ(std::tuple(f.controller.LastRun().has_value(),
                         f.state.Current.Layers[2].LayerThickness, f.controller.TimerOn()),
              std::tuple(false, before[2].LayerThickness, false));
    other.Release();
    f.ui.answerDefaults = true;
    f.controller.DesignCommand();
    ASSERT_TRUE(f.controller.LastRun().has_value());
}

}  // namespace
}  // namespace tavro::control
