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

TEST(LifeSearch, TrafficThatStopsFindsTheLifeBeforeTheDamageLevelsOff) {
    // Growth -0.1: traffic stops after 10 years at 500 departures, CDF 1.2 from then on.
    // CDF 1 where 100 t (1 - 0.05 t) = 500 / 1.2: t = (1 - sqrt(1 - 0.05 * 4 * 4.1667)) / 0.1.
    LinearDamage d(-0.1, 1.2 / 500);
    const LifeSearch s = d.Search(1.2);
    ASSERT_EQ(s.status, LifeStatus::Found);
    EXPECT_NEAR(s.life, (1 - std::sqrt(1 - 0.2 * 500 / 1.2 / 100)) / 0.1, 0.01);
}

TEST(LifeSearch, DesignedToOneWithTrafficThatStopsTheLifeIsWhenTheDamageGotThere) {
    // CDF 1 at 20 years, and already at 10, when the falling traffic stops: the damage only
    // repeats beyond. Reaching 1 with zero slope: 1 - CDF(t) = 0.01 (10 - t)^2, so within the
    // tolerance once t is within sqrt(0.001 / 0.01) = 0.316 years of 10.
    LinearDamage d(-0.1, 1.0 / 500);
    const LifeSearch s = d.Search(d.perDeparture * 500);  // as the damage model gives it
    ASSERT_EQ(s.status, LifeStatus::Found);
    EXPECT_LE(s.life, 10.0f);
    EXPECT_GE(s.life, 10 - std::sqrt(kLifeTolerance / 0.01));
}

TEST(LifeSearch, FarTooMuchDamageBeforeTheTrafficStopsGivesAShortLifeNotZero) {
    // CDF 50 once the traffic has stopped at year 10 (500 departures): CDF 1 where
    // 100 t (1 - 0.05 t) = 10, t = (1 - sqrt(1 - 0.2 * 0.1)) / 0.1 = 0.10050 years. The secant
    // through the flattening curve points before year 0 on the way.
    LinearDamage d(-0.1, 50.0 / 500);
    const LifeSearch s = d.Search(d.perDeparture * 500);
    ASSERT_EQ(s.status, LifeStatus::Found);
    constexpr double kLifeYears = 1e-3;  // |CDF - 1| < 0.001 where the CDF climbs 10 a year
    EXPECT_NEAR(s.life, (1 - std::sqrt(0.98)) / 0.1, kLifeYears);
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
    DesignOptions oneStep;
    oneStep.maxLifeSteps = 1;
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
