// Runs that must end with a message, not a meaningless result.
#include <gtest/gtest.h>

#include <cmath>

#include "damage/overlay_life.h"
#include "damage/rigid_cdf.h"
#include "design/design_fixture.h"
#include "design/overlay_rigid.h"
#include "design/rigid_design.h"

namespace tavro::design {
namespace {

using testing::DesignFixture;

constexpr std::int16_t kAsphalt = 1, kSubgrade = 4, kCrushed = 6, kAcOverlay = 10, kPccOnFlex = 13;

RunResult DesignOrLife(DesignFixture& f, RunMode mode) {
    return mode == RunMode::Design ? RunDesignCommand(f.state, f.ui, mode, f.InMemory())
                                   : RunLifeCommand(f.state, f.ui, f.InMemory());
}

TEST(NoTraffic, DesignAndLifeSayTheListCarriesNoTraffic) {
    for (const RunMode mode : {RunMode::Design, RunMode::Life}) {
        DesignFixture f(1);
        f.state.JobName = "Mine";
        for (auto& a : f.state.Current.Aircraft) a.AnnualDepartures = 0;
        const float before = f.state.Current.Layers[1].LayerThickness;
        const RunResult r = DesignOrLife(f, mode);
        EXPECT_EQ(r.status, RunStatus::Refused);
        EXPECT_TRUE(f.ui.OnlyBox(mode == RunMode::Design ? "Designing Structure" : "Structure Life",
                                 "The aircraft list of\r\njob Mine section ACAggregate\r\n"
                                 "carries no traffic: no aircraft\r\nhas any annual departures.\r\n"
                                 "\r\nPlease enter the departures of\r\nthe design aircraft."));
        EXPECT_EQ(f.state.Current.Layers[1].LayerThickness, before);
    }
}

TEST(AsphaltOnRigid, ASlabAlreadyAtTheOverlaysFailureConditionIsRefusedBeforeTheRun) {
    for (const RunMode mode : {RunMode::Design, RunMode::Life}) {
        DesignFixture f({kAcOverlay, 4, 58, 100});
        f.state.JobName = "Mine";  // on crushed aggregate: failure SCI 58
        const RunResult r = RunDesignCommand(f.state, f.ui, mode, f.InMemory());
        ASSERT_EQ(r.status, RunStatus::Ran);
        EXPECT_EQ(r.summary.outcome, DesignOutcome::Error);
        EXPECT_TRUE(f.ui.OnlyBox("Overlay on Rigid Design",
                                 "The existing slab is already at the\r\n"
                                 "failure condition of an asphalt overlay:\r\n"
                                 "SCI 58 is not above the failure SCI of 58.\r\n\r\n"
                                 "Please check the SCI of the existing slab."));
        EXPECT_EQ(f.state.Run.AnalysisTimeMs, 0);
    }
    // Just above it the life is computed.
    DesignFixture f({kAcOverlay, 4, 59, 100});
    EXPECT_EQ(RunDesignCommand(f.state, f.ui, RunMode::Life, f.InMemory()).summary.outcome,
              DesignOutcome::Converged);
}

TEST(OverlayOnRigid, TheDesignGivesUpAtTheLargestOverlayAndLeavesTheLayerAsEntered) {
    const OverlayOnRigidOptions options{.largestThickness = 11};
    for (const bool metric : {false, true}) {
        DesignFixture f({11, 6, 80, 100});
        for (core::DesignAircraft& a : f.state.Current.Aircraft) a.AnnualDepartures = 1e6f;
        f.Derive();
        core::ApplyUnits(f.state.Units, metric);
        f.state.Run.DesignRunning = true;
        float thickest = 0;
        f.ui.onPoll = [&](int) {
            thickest = std::max(thickest, f.state.Current.Layers[0].LayerThickness);
        };
        const RunSummary s = DesignOverlayOnRigid(f.state, f.ui, RunMode::Design, options);
        EXPECT_EQ(s.outcome, DesignOutcome::NoConvergence) << s.why;
        EXPECT_EQ(thickest, 11);  // 6, 10, then the largest instead of 14
        EXPECT_EQ(f.state.Current.Layers[0].LayerThickness, 6);
        // In metric units the message names the largest overlay in millimetres.
        EXPECT_TRUE(f.ui.OnlyBox("Overlay on Rigid Design",
                                 std::string("Even the largest overlay of ") +
                                     (metric ? "279.4 mm" : "11.0 in") +
                                     "\r\ndoes not reach the design life.\r\n\r\n"
                                     "Terminating the design.\r\n\r\n"
                                     "Please check the structure and the traffic."));
    }
}

// Traffic that stops at year 10: the life is the horizon as a lower bound, never infinite.
TEST(OverlayOnRigid, TrafficThatStopsGivesTheHorizonAsALowerBound) {
    for (const std::int16_t type : {kAcOverlay, std::int16_t{11}}) {
        DesignFixture f({type, 6, 80, 100});
        for (core::DesignAircraft& a : f.state.Current.Aircraft) {
            a.AnnualDepartures = 10;
            a.AnnualGrowth = -0.1f;
        }
        f.Derive();
        const RunResult r = RunDesignCommand(f.state, f.ui, RunMode::Life, f.InMemory());
        ASSERT_EQ(r.status, RunStatus::Ran) << type;
        EXPECT_EQ(r.summary.outcome, DesignOutcome::Converged) << r.summary.why;
        EXPECT_EQ(f.state.Run.Damage.Overlay.TotalLife, damage::kLifeHorizonYears) << type;
        EXPECT_TRUE(f.state.Run.Damage.Overlay.LifeCapped) << type;
    }
}

// An analysis that fails (here its input cannot be written) is an error, not a user's stop.
TEST(RunErrors, AFailedAnalysisIsAnErrorNotAStop) {
    DesignFixture f(1);
    f.state.JobName = "Mine";
    f.state.ProgramDir = f.dir.path() + "gone/";
    const RunResult r = RunDesignCommand(f.state, f.ui, RunMode::Design, f.InMemory());
    ASSERT_EQ(r.status, RunStatus::Ran);
    EXPECT_EQ(r.summary.outcome, DesignOutcome::Error) << r.summary.why;
    EXPECT_FALSE(r.timeStamped);
    EXPECT_FALSE(f.ui.boxes.empty()) << "the file error was shown";
}

}  // namespace
}  // namespace tavro::design
