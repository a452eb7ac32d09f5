#include "design/rigid_design.h"

#include <gtest/gtest.h>

#include <cmath>

#include "design/design_fixture.h"

namespace tavro::design {
namespace {

using testing::DesignFixture;

constexpr double kDesignTolerance = 0.005;    // |ln CDF| of a converged design
constexpr double kRigidLifeTolerance = 0.01;  // |CDF - 1| of a rigid life

RunSummary Rigid(DesignFixture& f, RunMode mode) {
    f.state.Run.DesignRunning = true;
    return DesignRigid(f.state, f.ui, mode);
}

TEST(RigidDesign, SlabOnCrushedBaseDesignsAndItsLifeIsTheDesignLife) {
    DesignFixture f;
    f.SelectRigidSection();
    ASSERT_EQ(f.state.Current.PavementType, core::kNewRigid);
    const RunSummary design = Rigid(f, RunMode::Design);
    ASSERT_EQ(design.outcome, DesignOutcome::Converged) << design.why;
    EXPECT_LT(std::fabs(std::log(design.cdf)), kDesignTolerance);
    EXPECT_GT(design.firstCrackCdf, 0);
    EXPECT_EQ(f.state.Current.Layers[1].LayerThickness, 6);  // only the slab moves
    const float slab = f.state.Current.Layers[0].LayerThickness;

    const RunSummary life = Rigid(f, RunMode::Life);
    ASSERT_EQ(life.outcome, DesignOutcome::Converged) << life.why;
    EXPECT_EQ(f.state.Current.Layers[0].LayerThickness, slab);
    EXPECT_NEAR(life.life, 20, 20 * (kDesignTolerance + kRigidLifeTolerance));
    EXPECT_EQ(f.state.Run.Damage.FirstCrackCdf, life.firstCrackCdf);  // value at the design life
}

// A light aircraft on a minimum slab, without a base or on a minimum one.
TEST(RigidDesign, SectionsAtTheirMinimumsEndWithTheMinimumMessage) {
    for (bool withBase : {false, true}) {
        DesignFixture f;
        f.SelectRigidSection();
        if (withBase)
            f.state.Current.Layers[1].LayerThickness = 1;  // crushed aggregate minimum
        else
            f.state.Current.Layers.erase(f.state.Current.Layers.begin() + 1);
        f.state.Current.Layers[0].LayerThickness = 4;  // PCC minimum
        f.state.Current.Aircraft = {{"Stationair 206", 3612, 1, 0}};
        f.Derive();
        const RunSummary s = Rigid(f, RunMode::Design);
        EXPECT_EQ(s.outcome, DesignOutcome::MinimumReached) << s.why;
        const std::string text = withBase ? "The minimum layer thicknesses\r\nhave been reached."
                                          : "The minimum PCC thickness\r\nhas been reached.";
        EXPECT_TRUE(
            f.ui.OnlyBox("Rigid Pavement Design", text + " CDF = " + FormatCdf(s.cdf) + "."));
        EXPECT_EQ(f.state.Current.Layers[0].LayerThickness, 4);
    }
}

TEST(RigidDesign, StressesBelowTheModelsRangeHalveSlabAndBaseUntilTheyCount) {
    DesignFixture f;
    f.SelectRigidSection();
    f.state.Current.Aircraft[0] = {"Falcon 2000", 35000, 1200, 0};
    f.state.Current.Aircraft[1] = {"Citation VII", 23200, 3000, 0};
    f.Derive();
    const RunSummary s = Rigid(f, RunMode::Design);
    ASSERT_EQ(s.outcome, DesignOutcome::Converged) << s.why;
    EXPECT_LT(std::fabs(std::log(s.cdf)), kDesignTolerance);
    EXPECT_EQ(f.state.Current.Layers[1].LayerThickness, 3);  // 6 in halved once
    EXPECT_LT(f.state.Current.Layers[0].LayerThickness, 12);
}

}  // namespace
}  // namespace tavro::design
