#include "design/flexible_design.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/lea_driver.h"
#include "damage/flexible_cdf.h"
#include "design/design_fixture.h"

namespace tavro::design {
namespace {

using testing::DesignFixture;

constexpr double kDesignTolerance = 0.005;  // |ln CDF| of a converged design

RunSummary Flexible(DesignFixture& f, RunMode mode, const DesignOptions& options = {}) {
    f.state.Run.DesignRunning = true;
    return DesignNewFlexible(f.state, f.ui, mode, options);
}

// The CDF of the current structure, analysed as a design iteration does it.
double SubgradeCdf(DesignFixture& f) {
    f.state.Run.DesignRunning = true;
    const AnalysisStep step = AnalyseCurrentSection(f.state, f.ui, kFlexibleDesignTitle);
    EXPECT_EQ(step.status, AnalysisStepStatus::Analysed) << step.reason;
    return damage::ComputeFlexibleCDF(f.state, f.ui, step.depth,
                                      damage::FlexibleCriterion::Subgrade)
        .cdf;
}

TEST(FlexibleDesign, NewtonStepOfTheHandExampleGrowsTheLayerByFourteenPercent) {
    // CDF 2 and a 1 % step lowering ln CDF by 0.05: delta = -ln 2 * 0.01 h0 / -0.05.
    const double h0 = 10;
    EXPECT_NEAR(NewtonStep(std::log(2.0), 0.01 * h0, -0.05), 0.1386294 * h0, 1e-6);
    EXPECT_THROW(NewtonStep(std::log(2.0), 0.01 * h0, 0), RunFault);
}

TEST(FlexibleDesign, FirstIterationMovesTheDesignLayerAlongTheSecantOfItsTwoAnalyses) {
    DesignFixture f(3);  // NewFlexible: design layer 3, the crushed base
    const double h0 = f.state.Current.Layers[2].LayerThickness;
    const double cdf0 = SubgradeCdf(f);
    f.state.Current.Layers[2].LayerThickness = static_cast<float>(h0 * 1.01);
    const double cdf1 = SubgradeCdf(f);
    f.state.Current.Layers[2].LayerThickness = static_cast<float>(h0);
    const double expected = h0 - std::log(cdf0) * 0.01 * h0 / (std::log(cdf1) - std::log(cdf0));

    const RunSummary s = Flexible(f, RunMode::Design, {.maxIterations = 1});
    EXPECT_EQ(s.outcome, DesignOutcome::NoConvergence);
    EXPECT_FLOAT_EQ(s.cdf, static_cast<float>(cdf0));
    EXPECT_NEAR(f.state.Current.Layers[2].LayerThickness, expected, 1e-4 * expected);
    EXPECT_TRUE(
        f.ui.OnlyBox("No Convergence",
                     "The design will not converge.\r\nThe design is being aborted. \r\n\r\n"
                     "Please check the structure."));
}

TEST(FlexibleDesign, MinimumThicknessesEndTheDesignWithTheirCdf) {
    DesignFixture f(1);  // 4.5 in asphalt on 10 in crushed base, light business traffic
    f.state.Current.Layers[0].LayerThickness = 2;  // asphalt minimum
    f.state.Current.Layers[1].LayerThickness = 1;  // crushed aggregate minimum
    f.state.Current.Layers[2].LayerModulus = 30000;
    f.state.Current.Aircraft.erase(f.state.Current.Aircraft.begin(),
                                   f.state.Current.Aircraft.begin() + 3);  // Stationair 206 only
    f.state.Current.Aircraft[0].AnnualDepartures = 1;
    f.Derive();
    const RunSummary s = Flexible(f, RunMode::Design);
    EXPECT_EQ(s.outcome, DesignOutcome::MinimumReached) << s.why << " " << s.cdf;
    ASSERT_LT(s.cdf, 1);
    EXPECT_TRUE(f.ui.OnlyBox("Flexible Pavement Design",
                             "Minimum layer thicknesses have\r\nbeen reached. CDF = " +
                                 FormatCdf(s.cdf) + ".\r\n\r\nThe design has been aborted."));
    EXPECT_EQ(f.state.Current.Layers[1].LayerThickness, 1);
}

TEST(FlexibleDesign, LifeWithoutGrowthIsTheDesignLifeOverTheCdf) {
    DesignFixture f(1);
    const RunSummary s = Flexible(f, RunMode::Life);
    ASSERT_EQ(s.outcome, DesignOutcome::Converged) << s.why;
    EXPECT_EQ(s.iterations, 1);  // one analysis; the life reuses its responses
    // CDF proportional to the period: one secant step lands on the life, one confirms it.
    EXPECT_EQ(s.lifeSteps, 2);
    EXPECT_NEAR(s.life, 20 / s.cdf, 1e-4 * s.life);
    EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(FlexibleDesign, FinishMovesTheResultFileAsideAndMarksTheAsphaltCdfNotComputed) {
    DesignFixture f(1);
    f.dir.Write("DAMTMPSG.DAT", std::string(100000, 'x'));  // longer than any result file
    Flexible(f, RunMode::Life);
    EXPECT_FALSE(f.dir.Exists("DAMTMP.DAT"));
    const std::string kept = f.dir.Read("DAMTMPSG.DAT");
    EXPECT_EQ(kept.rfind(" Number of Pavements\r\n", 0), 0u);
    EXPECT_EQ(kept.find('x'), std::string::npos);  // nothing of the old file is left
    EXPECT_EQ(f.state.Current.AsphaltCDF, -1);
}

TEST(FlexibleDesign, NoDeparturesGiveNoFiniteLifeWithItsMessage) {
    DesignFixture f(3);
    for (auto& a : f.state.Current.Aircraft) a.AnnualDepartures = 0;
    const RunSummary s = Flexible(f, RunMode::Life);
    EXPECT_EQ(s.outcome, DesignOutcome::NoFiniteLife);
    EXPECT_TRUE(f.ui.OnlyBox(
        "Computing Life",
        "The CDF does not reach 1 however long the\r\ntraffic runs: the structure has no "
        "finite life.\r\n\r\nPlease check the departures of the design aircraft."));
}

TEST(FlexibleDesign, InterruptDuringTheFirstAnalysisKeepsTheStructure) {
    DesignFixture f(3);
    const auto before = f.state.Current.Layers;
    f.ui.onPoll = [&](int polls) {
        if (polls == 5) f.state.Run.DesignRunning = false;
    };
    const RunSummary s = Flexible(f, RunMode::Design);
    EXPECT_EQ(s.outcome, DesignOutcome::Interrupted);
    EXPECT_EQ(s.iterations, 1);
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(f.state.Current.Layers[i].LayerThickness, before[i].LayerThickness);
    EXPECT_TRUE(f.ui.boxes.empty());
}

}  // namespace
}  // namespace tavro::design
