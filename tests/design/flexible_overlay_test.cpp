#include "design/flexible_overlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "analysis/lea_driver.h"
#include "core/number_format.h"
#include "damage/aggregate_modulus.h"
#include "damage/flexible_cdf.h"
#include "damage/traffic.h"
#include "design/design_fixture.h"
#include "design/flexible_design.h"

namespace tavro::design {
namespace {

using testing::DesignFixture;

constexpr double kDesignTolerance = 0.005;  // |ln CDF| of a converged design
constexpr int kAcOnFlexSlot = 2;            // "AConFlex": 2 in AC overlay on 3 in AC, 6 in base

RunSummary RunOverlay(DesignFixture& f, RunMode mode, const DesignOptions& options = {}) {
    f.state.Run.DesignRunning = true;
    return DesignFlexibleOverlay(f.state, f.ui, mode, options);
}

// The overlay thickness that designs "AConFlex", found once for the whole suite.
float DesignedOverlayThickness() {
    static const float thickness = [] {
        DesignFixture f(kAcOnFlexSlot);
        const RunSummary s = RunOverlay(f, RunMode::Design);
        EXPECT_EQ(s.outcome, DesignOutcome::Converged) << s.why;
        return f.state.Current.Layers[0].LayerThickness;
    }();
    return thickness;
}

// Asphalt CDF by hand: log10 C = 2.68 - 5 log10 e - 2.665 log10 E1, worst Miner's sum.
double HandAsphaltCdf(DesignFixture& f) {
    core::PrepareAircraft(f.state);
    analysis::AnalysisLayerList list;
    EXPECT_EQ(damage::CalculateAggregateModuli(f.state, f.ui, list).status,
              damage::AggregateStatus::Ok);
    const double h1 = f.state.Current.Layers[0].LayerThickness;
    list.depths = {-h1};
    const analysis::AnalysisInput input = analysis::BuildAnalysisInput(f.state, list);
    const analysis::AnalysisResult run =
        analysis::RunAnalysis(f.state, f.ui, input, std::nullopt, {.horizontalStrainDepth = -h1});
    EXPECT_EQ(run.outcome, analysis::AnalysisOutcome::Completed) << run.reason;
    const auto& section = f.state.Current;
    EXPECT_EQ(run.output.horizontalStrain.size(), section.Aircraft.size());
    const double e1 = section.Layers[0].LayerModulus;
    double worst = 0;
    for (int j = 1; j <= core::kLateralPositions; ++j) {
        double cdf = 0;
        for (std::size_t i = 0; i < section.Aircraft.size(); ++i) {
            const double strain = std::fabs(run.output.horizontalStrain[i]);
            const double log10C = 2.68 - 5 * std::log10(strain) - 2.665 * std::log10(e1);
            cdf += damage::PassToCoverage(f.state, static_cast<int>(i) + 1, damage::GridX(j), h1) *
                   section.Aircraft[i].TotalDepartures / std::pow(10.0, log10C);
        }
        worst = std::max(worst, cdf);
    }
    return worst;
}

TEST(FlexibleOverlay, SampleOverlayDesignsToTheDesignCdfAndItsAsphaltCdfComesFromTheTensileStrain) {
    DesignFixture f(kAcOnFlexSlot);
    f.state.Run.DesignLayer = 3;  // whatever the window chose, the overlay is designed
    const std::vector<core::SectionLayer> before = f.state.Current.Layers;
    const RunSummary s = RunOverlay(f, RunMode::Design);
    ASSERT_EQ(s.outcome, DesignOutcome::Converged) << s.why;
    EXPECT_LT(std::fabs(std::log(s.cdf)), kDesignTolerance);
    EXPECT_EQ(f.state.Run.DesignLayer, 1);
    EXPECT_EQ(f.state.Current.Layers[1].LayerThickness, before[1].LayerThickness);
    EXPECT_TRUE(f.ui.boxes.empty());
    // The damage tables stay those of the subgrade criterion the design converged on.
    EXPECT_EQ(f.state.Run.Damage.Cdf, s.cdf);

    const float asphalt = f.state.Current.AsphaltCDF;
    ASSERT_GT(asphalt, 1e-6);
    EXPECT_NEAR(asphalt, HandAsphaltCdf(f), 1e-4 * asphalt);

    // The result file carries the tensile strain; the subgrade responses were set aside.
    const std::string result = f.dir.Read("DAMTMP.DAT");
    const auto lines = damage::ParseResultLines(result, 1, 5);
    ASSERT_TRUE(lines[0].has_value());
    const double strain = (*lines[0])[4];  // the fifth number of the first aircraft's line
    EXPECT_GT(std::fabs(strain), 1e-6);
    EXPECT_LT(std::fabs(strain), 1e-2);
    EXPECT_NE(f.dir.Read("DAMTMPSG.DAT"), result);
}

TEST(FlexibleOverlay, LifeOfTheDesignedOverlayIsTheDesignLifeWithItsAsphaltCdf) {
    DesignFixture f(kAcOnFlexSlot);
    f.state.Current.Layers[0].LayerThickness = DesignedOverlayThickness();
    const RunResult r = RunLifeCommand(f.state, f.ui, f.InMemory());
    const RunSummary& life = r.summary;
    ASSERT_EQ(life.outcome, DesignOutcome::Converged) << life.why;
    EXPECT_EQ(life.iterations, 1);
    EXPECT_NEAR(life.life, 20, 20 * (kDesignTolerance + kFlexibleOverlayLifeTolerance));
    // The tables are those of the last trial life, not of the asphalt analysis after it.
    EXPECT_NEAR(f.state.Run.Damage.Cdf, 1, kFlexibleOverlayLifeTolerance);
    EXPECT_GT(r.asphaltCdf, 0);
    EXPECT_TRUE(f.ui.boxes.empty());

    // Designed again, the overlay that already meets its life keeps its thickness.
    const RunSummary again = RunOverlay(f, RunMode::Design);
    EXPECT_LE(again.iterations, 2);  // at most the restart with sublayers
    EXPECT_EQ(f.state.Current.Layers[0].LayerThickness, DesignedOverlayThickness());
}

TEST(FlexibleOverlay, AsphaltCdfDoesNotDependOnANewFlexibleRunBeforeIt) {
    DesignFixture fresh(kAcOnFlexSlot);
    RunOverlay(fresh, RunMode::Life);

    DesignFixture f(3);  // a new flexible pavement first, in the same program run
    f.state.Run.DesignRunning = true;
    DesignNewFlexible(f.state, f.ui, RunMode::Life);
    ASSERT_EQ(f.state.Current.AsphaltCDF, -1);
    f.Select(kAcOnFlexSlot);
    RunOverlay(f, RunMode::Life);
    EXPECT_GT(f.state.Current.AsphaltCDF, 0);
    EXPECT_EQ(f.state.Current.AsphaltCDF, fresh.state.Current.AsphaltCDF);
}

TEST(FlexibleOverlay, StopDuringTheAsphaltAnalysisLeavesTheAsphaltCdfNotComputed) {
    DesignFixture f(kAcOnFlexSlot);
    // The subgrade responses are set aside just before the asphalt analysis starts.
    f.ui.onPoll = [&](int) {
        if (f.dir.Exists("DAMTMPSG.DAT")) f.state.Run.DesignRunning = false;
    };
    const RunSummary s = RunOverlay(f, RunMode::Life);
    EXPECT_EQ(s.outcome, DesignOutcome::Interrupted) << s.why;
    EXPECT_GT(s.life, 0);  // the life found before the stop is kept
    EXPECT_EQ(f.state.Current.AsphaltCDF, -1);
    EXPECT_TRUE(f.ui.boxes.empty());
}

// One light aircraft on a stiff subgrade: any overlay is far more than the traffic needs.
void LightTraffic(DesignFixture& f) {
    f.state.Current.Aircraft = {{"Super King Air B200", 12590, 20, 0}};
    f.state.Current.Layers.back().LayerModulus = 20000;
    f.Derive();
}

TEST(FlexibleOverlay, MinimumOverlayEndsTheDesignWithItsCdf) {
    for (const float start : {0.0f, 8.0f}) {  // at the minimum, and thick enough to step below
        DesignFixture f(kAcOnFlexSlot);
        LightTraffic(f);
        const float minimum = MinThicknessOf(f.state.Current.Layers[0]);
        f.state.Current.Layers[0].LayerThickness = start == 0 ? minimum : start;
        const RunSummary s = RunOverlay(f, RunMode::Design);
        ASSERT_EQ(s.outcome, DesignOutcome::MinimumReached) << s.why << " from " << start;
        EXPECT_EQ(s.iterations, start == 0 ? 1 : 2);
        EXPECT_EQ(f.state.Current.Layers[0].LayerThickness, minimum);
        EXPECT_TRUE(f.ui.OnlyBox("Flexible Over Flexible Design",
                                 "The minimum overlay thickness has\r\nbeen reached. CDF = " +
                                     core::FormatMask(s.cdf, "0.000") + "."));
        EXPECT_EQ(f.state.Current.AsphaltCDF, -1);  // a design that gave up is not assessed
    }
}

TEST(FlexibleOverlay, IterationLimitEndsTheDesignWithItsMessage) {
    DesignFixture f(kAcOnFlexSlot);
    const RunSummary s = RunOverlay(f, RunMode::Design, {.newtonIterationLimit = 0});
    EXPECT_EQ(s.outcome, DesignOutcome::NoConvergence);
    EXPECT_TRUE(f.ui.OnlyBox("No Convergence",
                             "The design will not converge\r\nand is being aborted. \r\n\r\n"
                             "Please check the structure."));
    EXPECT_EQ(f.state.Current.AsphaltCDF, -1);
}

TEST(FlexibleOverlay, LifeWithStrainsBelowTheCriterionSaysSo) {
    DesignFixture f(kAcOnFlexSlot);
    LightTraffic(f);
    f.state.Current.Layers[0].LayerThickness = 20;
    const RunSummary s = RunOverlay(f, RunMode::Life);
    EXPECT_EQ(s.outcome, DesignOutcome::ResponsesTooLow) << s.why;
    EXPECT_TRUE(f.ui.OnlyBox("Computing Life",
                             "Subgrade strains are too low\r\nto accurately compute life."));
}

}  // namespace
}  // namespace tavro::design
