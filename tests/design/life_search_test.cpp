#include <gtest/gtest.h>

#include <cmath>

#include "core/program_state.h"
#include "design/design_common.h"
#include "support/fake_user_port.h"

namespace tavro::design {
namespace {

constexpr double kLifeTolerance = 0.001;  // |CDF - 1| at which the flexible life stops

// One aircraft of 100 annual departures; the CDF is `perDeparture` times its departures.
struct LinearDamage {
    core::ProgramState state;
    double perDeparture;

    LinearDamage(double growth, double perDep) : perDeparture(perDep) {
        state.Current.Aircraft.resize(1);
        state.Current.Aircraft[0].AnnualDepartures = 100;
        state.Current.Aircraft[0].AnnualGrowth = static_cast<float>(growth);
        state.Run.DesignRunning = true;
    }
    LifeSearch Search(double cdfAtDesignLife, const DesignOptions& options = {}) {
        return SearchLife(state, 20, cdfAtDesignLife, kLifeTolerance, options, [this] {
            return LifeCdf{perDeparture * state.Current.Aircraft[0].TotalDepartures, false, false};
        });
    }
};

// Growth -0.1: traffic stops after 10 years at 500 departures, the CDF at its final value c
// from then on; before, CDF 1 where 100 t (1 - 0.05 t) = 500 / c.
TEST(LifeSearch, TrafficThatStopsFindsTheLifeBeforeTheDamageLevelsOff) {
    const double near10 = std::sqrt(kLifeTolerance / 0.01);  // 1 - CDF(t) = 0.01 (10 - t)^2
    const struct {
        double c, life, tolerance;
    } cases[] = {
        {1.2, (1 - std::sqrt(1 - 0.2 * 500 / 1.2 / 100)) / 0.1, 0.01},
        {1.0, 10 - near10 / 2, near10 / 2},       // reaches 1 with zero slope at year 10
        {50, (1 - std::sqrt(0.98)) / 0.1, 1e-3},  // the secant points before year 0 on the way
    };
    for (const auto& c : cases) {
        LinearDamage d(-0.1, c.c / 500);
        const LifeSearch s = d.Search(d.perDeparture * 500);  // as the damage model gives it
        ASSERT_EQ(s.status, LifeStatus::Found) << c.c;
        EXPECT_NEAR(s.life, c.life, c.tolerance) << c.c;
    }
}

TEST(LifeSearch, DamageThatNeverReachesOneHasNoFiniteLife) {
    LinearDamage none(0, 0);
    EXPECT_EQ(none.Search(0).status, LifeStatus::NoFiniteLife);
    LinearDamage levelsOffBelowOne(-0.1, 0.8 / 500);
    const LifeSearch s = levelsOffBelowOne.Search(0.8);
    EXPECT_EQ(s.status, LifeStatus::NoFiniteLife);
    EXPECT_TRUE(std::isinf(s.life));
}

TEST(LifeSearch, StepLimitEndsTheSearchWithItsMessage) {
    LinearDamage d(0, 0.5 / 2000);
    const DesignOptions oneStep{.maxLifeSteps = 1};
    const LifeSearch s = d.Search(0.5, oneStep);
    EXPECT_EQ(s.status, LifeStatus::StepLimit);
    test::FakeUserPort ui;
    RunSummary summary;
    ConcludeLife(d.state, ui, oneStep, s, "unused", summary);
    EXPECT_EQ(summary.outcome, DesignOutcome::NoConvergence);
    EXPECT_TRUE(ui.OnlyBox("Computing Life",
                           "The life computation did not converge\r\nwithin 1 steps.\r\n\r\n"
                           "Please check the structure and the traffic."));
    EXPECT_FALSE(d.state.Run.DesignRunning);
}

TEST(LifeSearch, ResponsesTooLowStopWithTheCallersLine) {
    LinearDamage d(0, 0.5 / 2000);
    const LifeSearch s = SearchLife(d.state, 20, 0.5, kLifeTolerance, {}, [] {
        return LifeCdf{0.5, true, false};
    });
    EXPECT_EQ(s.status, LifeStatus::TooLow);
    EXPECT_EQ(s.life, 0);
    test::FakeUserPort ui;
    RunSummary summary;
    ConcludeLife(d.state, ui, {}, s, "PCC stresses are too low", summary);
    EXPECT_EQ(summary.outcome, DesignOutcome::ResponsesTooLow);
    EXPECT_TRUE(ui.OnlyBox(nullptr, "PCC stresses are too low\r\nto accurately compute life."));
}

TEST(LifeSearch, ATrialLifeBelowTheSmallestGivesLifeZero) {
    LinearDamage d(0, 1.0 / 2000);
    const LifeSearch s = SearchLife(d.state, 0, 0, kLifeTolerance, {}, [] {
        return LifeCdf{0, false, false};
    });
    EXPECT_EQ(s.status, LifeStatus::ZeroLife);
    EXPECT_EQ(s.life, 0);
}

}  // namespace
}  // namespace tavro::design
