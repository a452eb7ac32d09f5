// Overlays on an existing 10 in slab: the life model on real analyses and the thickness search.
#include "design/overlay_rigid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "analysis/analysis_input.h"
#include "analysis/lea_driver.h"
#include "damage/aggregate_modulus.h"
#include "damage/overlay_life.h"
#include "damage/rigid_cdf.h"
#include "design/design_fixture.h"

namespace tavro::design {
namespace {

using testing::DesignFixture;

constexpr std::int16_t kAcOverlay = 10, kUnbonded = 11, kPartBonded = 12;
constexpr double kLifeTolerance = 0.04;  // years

RunSummary RunOverlay(DesignFixture& f, RunMode mode, const OverlayOnRigidOptions& options = {}) {
    f.state.Run.DesignRunning = true;
    return DesignOverlayOnRigid(f.state, f.ui, mode, options);
}

damage::LifeTotalResult Life(DesignFixture& f, float h) {
    f.state.Run.DesignRunning = true;
    core::PrepareAircraft(f.state);
    damage::FillRigidCoverageTable(f.state, f.ui);
    return damage::LifeTotal(f.state, f.ui, h, OverlaySettingsOf(f.state.Current));
}

// Overlay thicknesses in the order the search analysed them.
std::vector<float> RecordThicknesses(DesignFixture& f) {
    auto seen = std::make_shared<std::vector<float>>();
    f.ui.onPoll = [&f, seen](int) {
        const float h = f.state.Current.Layers[0].LayerThickness;
        if (seen->empty() || seen->back() != h) seen->push_back(h);
    };
    RunOverlay(f, RunMode::Design);
    return *seen;
}

TEST(OverlayOnRigid, EachOverlayDesignsAndItsLifeRunReproducesTheDesignLife) {
    using Overlay = DesignFixture::Overlay;
    const std::pair<Overlay, core::PavementTypeCode> cases[] = {
        {{kUnbonded, 6, 80, 100}, core::kUnbondedOnRigid},
        {{kUnbonded, 6, 100, 50, 1}, core::kUnbondedOnRigid},
        {{kPartBonded, 6, 100, 50}, core::kPartBondedOnRigid},
        {{kAcOverlay, 6, 80, 100}, core::kAcOnRigid}};
    for (const auto& [c, pavement] : cases) {
        SCOPED_TRACE(c.type);
        DesignFixture f(c);
        ASSERT_EQ(f.state.Current.PavementType, pavement);
        const RunResult run = RunDesignCommand(f.state, f.ui, RunMode::Design, f.InMemory());
        ASSERT_EQ(run.summary.outcome, DesignOutcome::Converged) << run.summary.why;
        EXPECT_EQ(run.designLayer, 1);
        EXPECT_NEAR(run.summary.life, 20, kLifeTolerance);
        const float h = f.state.Current.Layers[0].LayerThickness;
        const core::OverlayLifeFigures designed = f.state.Run.Damage.Overlay;
        EXPECT_NEAR(designed.T1 + designed.LifeAdded, designed.TotalLife, 1e-4);
        EXPECT_EQ(designed.T1 == 0, c.sci < 100);  // a cracked slab counts as CDFU 100

        // Started at the design, the search accepts it at once.
        EXPECT_EQ(RunOverlay(f, RunMode::Design).iterations, 1);
        EXPECT_EQ(f.state.Current.Layers[0].LayerThickness, h);

        const RunSummary life = RunOverlay(f, RunMode::Life);
        ASSERT_EQ(life.outcome, DesignOutcome::Converged) << life.why;
        EXPECT_NEAR(life.life, 20, kLifeTolerance);
        EXPECT_EQ(f.state.Current.Layers[1].LayerModulus, 4000000.0f);  // slab restored
    }
}

// The search steps 4 in up or down to a bracket, then interpolates within it.
TEST(OverlayOnRigid, TheSearchStepsFourInchesToABracketThenInterpolates) {
    const struct {
        float start;
        std::vector<float> steps;
    } cases[] = {{3, {3, 7, 11}}, {16, {16, 12, 8, 4}}};  // both design near 7.9 in
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        DesignFixture f({kUnbonded, c.start, 80, 100});
        const std::vector<float> h = RecordThicknesses(f);
        ASSERT_GT(h.size(), c.steps.size());
        EXPECT_EQ(std::vector<float>(h.begin(), h.begin() + c.steps.size()), c.steps);
        const float next = h[c.steps.size()];
        EXPECT_GT(next, std::min(c.steps.end()[-1], c.steps.end()[-2]));
        EXPECT_LT(next, std::max(c.steps.end()[-1], c.steps.end()[-2]));
    }
}

const char* const kMinimumText =
    "Minimum thickness has been reached.\r\nThe calculated life is still greater than\r\n"
    "the required design life.\r\n\r\nThe design has been terminated.";

TEST(OverlayOnRigid, AsphaltOverlayThatOutlivesTheDesignEndsAtItsMinimum) {
    for (const float start : {1.5f, 9.5f}) {  // at the minimum, and stepping down to it
        DesignFixture f({kAcOverlay, start, 100, 0, 1});
        f.state.Current.Aircraft[0].AnnualDepartures = 10;
        f.Derive();
        const RunSummary s = RunOverlay(f, RunMode::Design);
        EXPECT_EQ(s.outcome, DesignOutcome::MinimumReached) << s.why;
        EXPECT_EQ(f.state.Current.Layers[0].LayerThickness, 1.5f);
        EXPECT_TRUE(f.ui.OnlyBox("Overlay on Rigid Design", kMinimumText));
        EXPECT_TRUE(f.state.Run.DesignRunning);  // a design: the section is stamped
    }
}

TEST(OverlayOnRigid, SearchLimitsEndWithTheNoConvergenceMessage) {
    // The step search and the bracket search are bounded.
    const OverlayOnRigidOptions steps{.maxSteps = 1},
        passes{.lifeTolerance = 1e-12, .maxInterpolations = 2};
    for (const auto& [options, n] : {std::pair{steps, 1}, std::pair{passes, 2}}) {
        DesignFixture f({kUnbonded, 6, 80, 100});
        for (core::DesignAircraft& a : f.state.Current.Aircraft) a.AnnualDepartures = 1e6f;
        f.Derive();
        EXPECT_EQ(RunOverlay(f, RunMode::Design, options).outcome, DesignOutcome::NoConvergence);
        EXPECT_EQ(f.state.Current.Layers[0].LayerThickness, 6);  // back from its steps
        EXPECT_TRUE(f.ui.OnlyBox(nullptr, "The design has not converged after\r\n" +
                                              std::to_string(n) +
                                              " iterations.\r\n\r\nTerminating the design."));
        EXPECT_FALSE(f.state.Run.DesignRunning);
    }
}

TEST(InterpolateThickness, LinearInLnLifeOrHalvingWhereThatIsUndefined) {
    // Lives 10 and 40 around 20: ln 2 / ln 4 of the way.
    EXPECT_NEAR(InterpolateThickness(6, -10, 10, 20, 20), 8, 1e-12);
    EXPECT_EQ(InterpolateThickness(6, -20, 10, 20, 20), 8);  // a life of 0: no logarithm
    EXPECT_EQ(InterpolateThickness(6, 5, 10, 5, 20), 8);     // equal lives
    EXPECT_EQ(InterpolateThickness(6, -10, 10, 20, 0), 8);   // no design life
}

// Allowable coverages of the overlay under the stresses at the first depth of the result file.
std::vector<double> OverlayAllowable(DesignFixture& f, int depths, double strength, double cap) {
    const damage::OverlayStresses s = damage::ReadOverlayStresses(f.state, f.ui, depths);
    const double F = damage::BaseSubgradeFactor(f.state, 3);
    const double c = (0.392 - 0.3881 * F) / (0.0039 * F);
    std::vector<double> allowable;
    for (const auto& row : s.stress)
        allowable.push_back(
            std::pow(10.0, std::min(damage::LogCoveragesAtSCI(80, strength, row[0], F, c), cap)));
    return allowable;
}

// A weak 3 in overlay (450 psi) on a slab that cracks late (1000 psi).
void SelectWeakOverlay(DesignFixture& f, float cdfu) {
    f.SelectOverlay(kUnbonded, 3, 100, cdfu);
    f.state.Current.Layers[0].LayerFlexStrength = 450;
    f.state.Current.Layers[1].LayerFlexStrength = 1000;
}

TEST(OverlayLife, OverlayWornOutBeforeTheSlabCracksFailsInTheUncrackedStage) {
    DesignFixture f;
    SelectWeakOverlay(f, 0);
    const damage::LifeTotalResult r = Life(f, 3);
    ASSERT_EQ(r.status, damage::LifeTotalStatus::Computed);
    const core::OverlayLifeFigures& o = f.state.Run.Damage.Overlay;
    EXPECT_EQ(o.Stages, 0);
    EXPECT_LT(r.totalLife, o.T1);
    // The result file still holds the first analysis: the overlay's damage up to the life is 1.
    EXPECT_NEAR(damage::CDFBetween(f.state, 0, r.totalLife, OverlayAllowable(f, 2, 450, 30)), 1,
                1e-3);
}

TEST(OverlayLife, AsphaltOverlayLifeIsTheSlabsTimeToTheTerminalConditionWithoutTheThickness) {
    DesignFixture f({kAcOverlay, 4, 80, 100});  // on crushed aggregate: terminal SCI 58
    ASSERT_EQ(OverlaySettingsOf(f.state.Current).terminalSci, 58);
    const damage::LifeTotalResult r = Life(f, 4);
    ASSERT_EQ(r.status, damage::LifeTotalStatus::Computed);
    EXPECT_EQ(f.state.Run.Damage.Overlay.T1, 0);
    // The existing slab's drop from SCI 80 over the life, aircraft by aircraft on its own line.
    const damage::OverlayStresses s = damage::ReadOverlayStresses(f.state, f.ui, 1);
    double drop = 0;
    for (int i = 1; i <= 2; ++i) {
        const double stress = s.stress[static_cast<std::size_t>(i - 1)][0];
        const double l100 = std::min(damage::LogCoveragesAtSCI(100, 650, stress, 1, 1), 20.0);
        const double l0 = std::min(damage::LogCoveragesAtSCI(0, 650, stress, 1, 1), 30.0);
        const double start = std::pow(10.0, l100 + 20 * (l0 - l100) / 100);
        const double applied =
            damage::CoveragesPerPassAtCritical(f.state, i) *
            damage::DeparturesBetween(0, r.totalLife,
                                      f.state.Current.Aircraft[static_cast<std::size_t>(i - 1)]);
        drop += std::log10((start + applied) / start) / ((l0 - l100) / 100);
    }
    EXPECT_NEAR(drop, 80 - 58, 0.01);
    // Without crushed aggregate below the slab the terminal SCI is 40.
    f.state.Current.Layers[2].LayerType = 7;
    EXPECT_EQ(OverlaySettingsOf(f.state.Current).terminalSci, 40);
}

TEST(OverlayLife, OverlayThatOutlivesTheFullyCrackedSlabIsGivenTheHorizonAsALowerBound) {
    DesignFixture f({kUnbonded, 6, 80, 100});
    f.state.Current.Layers[0].LayerFlexStrength = 5000;  // coverages of the overlay capped at 1e20
    const damage::LifeTotalResult r = Life(f, 6);
    ASSERT_EQ(r.status, damage::LifeTotalStatus::Computed);
    EXPECT_TRUE(f.state.Run.Damage.Overlay.LifeCapped);
    EXPECT_EQ(r.totalLife, damage::kLifeHorizonYears);
    EXPECT_LT(f.state.Run.Damage.Overlay.OverlayDamage, 1);
}

// Without growth T1 is proportional to the unused share 1 - %CDFU/100 of the slab's life.
TEST(OverlayLife, TheShareOfFirstCrackLifeUsedUpShortensTheTimeToTheFirstCrack) {
    constexpr double kT1Years = 0.01;  // interval tolerance of the first-crack search
    double t1[4] = {};
    const float cdfu[4] = {0, 50, 75, 100};
    for (int k = 0; k < 4; ++k) {
        DesignFixture f({kUnbonded, 6, 100, cdfu[k]});
        const damage::LifeTotalResult r = Life(f, 6);
        ASSERT_EQ(r.status, damage::LifeTotalStatus::Computed);
        EXPECT_DOUBLE_EQ(r.residual, r.totalLife - 20);
        t1[k] = f.state.Run.Damage.Overlay.T1;
    }
    ASSERT_GT(t1[0], 1);
    ASSERT_LT(t1[0], damage::kLifeHorizonYears / 2);
    EXPECT_NEAR(t1[1], t1[0] / 2, 2 * kT1Years);
    EXPECT_NEAR(t1[2], t1[0] / 4, 2 * kT1Years);
    EXPECT_EQ(t1[3], 0) << "a slab with its life used up has no time to its first crack";
}

// Damage U before the slab cracks leaves the overlay 1 - U of its coverages afterwards; worked
// out from our own analyses, the first cracked stage at SCI 100 - 100/64.
TEST(OverlayLife, CrackedStagesLeaveTheOverlayWhatTheUncrackedStageDidNotUse) {
    auto analyse = [](DesignFixture& f, std::vector<double> depths) {
        analysis::AnalysisLayerList list;
        EXPECT_EQ(damage::CalculateAggregateModuli(f.state, f.ui, list).status,
                  damage::AggregateStatus::Ok);
        list.depths = std::move(depths);
        analysis::AnalysisInput input;
        EXPECT_EQ(analysis::WriteVornaInput(f.state, f.ui, list, input),
                  analysis::VornaStatus::Written);
        EXPECT_EQ(analysis::RunAnalysis(f.state, f.ui, input).outcome,
                  analysis::AnalysisOutcome::Completed);
    };
    auto select = [](DesignFixture& f, float cdfu) {
        SelectWeakOverlay(f, cdfu);
        f.state.Run.SublayeringOn = true;
    };
    double uncrackedDamageFromZero = 0;
    {
        DesignFixture f;
        select(f, 0);
        ASSERT_EQ(Life(f, 3).status, damage::LifeTotalStatus::Computed);
        const double t1 = f.state.Run.Damage.Overlay.T1;
        analyse(f, {-3, -13});
        uncrackedDamageFromZero =
            damage::CDFBetween(f.state, 0, t1, OverlayAllowable(f, 2, 450, 30));
        ASSERT_GT(uncrackedDamageFromZero, 1);  // worn out before the slab cracks
    }
    DesignFixture f;  // %CDFU chosen so that U is about 0.5
    select(f, static_cast<float>(100 * (1 - 0.5 / uncrackedDamageFromZero)));
    const damage::LifeTotalResult r = Life(f, 3);
    ASSERT_EQ(r.status, damage::LifeTotalStatus::Computed);
    const core::OverlayLifeFigures o = f.state.Run.Damage.Overlay;
    ASSERT_EQ(o.Stages, 1);
    analyse(f, {-3, -13});
    const double u = damage::CDFBetween(f.state, 0, o.T1, OverlayAllowable(f, 2, 450, 30));
    EXPECT_NEAR(u, 0.5, 0.01);
    const double sci = 100 - 100.0 / 64;
    f.state.Current.Layers[1].LayerModulus =
        4000000.0f * static_cast<float>(std::pow(0.00584 * sci, 2) + 0.0064 * sci + 0.002);
    analyse(f, {-3});
    std::vector<double> allowable = OverlayAllowable(f, 1, 450, 20);
    for (double& c : allowable) c *= 1 - u;
    constexpr double kFailureDamage = 1e-3;  // the failure time is searched to 0.001 years
    EXPECT_NEAR(u + damage::CDFBetween(f.state, o.T1, r.totalLife, allowable), 1, kFailureDamage);
}

TEST(OverlayLife, NegativeConditionIndexEndsTheRunWithItsMessage) {
    DesignFixture f({kUnbonded, 6, -10, 100});
    const RunSummary s = RunOverlay(f, RunMode::Life);
    EXPECT_EQ(s.outcome, DesignOutcome::Error);
    EXPECT_TRUE(f.ui.OnlyBox("Error in LifeTotal", "CurMidSCI < 0, check input data."));
}

}  // namespace
}  // namespace tavro::design
