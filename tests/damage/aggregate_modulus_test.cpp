// Aggregate sublayering against hand calculations of the modulus rule (log10 E * log10 t =
// ln E * ln t / 5.301897), the structure rules, the freeze rule and the analysis layer list.
#include "damage/aggregate_modulus.h"

#include <gtest/gtest.h>

#include "analysis/lea_driver.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "support/fake_user_port.h"

namespace tavro::damage {
namespace {

constexpr int kAsphalt = 1, kSubgrade = 4, kPcc = 5, kCrushed = 6, kUncrushed = 8, kAcOverlay = 10;

core::SectionLayer L(int type, float thickness, float modulus) {
    return {thickness, modulus, 0, static_cast<std::int16_t>(type)};
}

core::ProgramState StateWith(std::vector<core::SectionLayer> layers) {
    core::ProgramState state;
    core::InitLibraries(state);
    state.Current.Layers = std::move(layers);
    core::DerivePavementType(state);
    return state;
}

// Single-precision results of the rule are compared to the float nearest the hand value.
constexpr float kModulusTolerancePsi = 0.05f;

class Sublayering : public ::testing::Test {
protected:
    core::RunState run;
    AggregateModuli moduli;
};

TEST_F(Sublayering, SublayerCountsAndModuliOfBaseAndSubbase) {
    SublayerSplit split = ModulusThick(run, 12, kCrushed, 15000, moduli);
    EXPECT_EQ(split.status, ModulusThickStatus::Computed);
    EXPECT_EQ(split.count, 2);
    EXPECT_DOUBLE_EQ(split.thicknessIn, 6);
    // log10 6 = 0.7781513; ln 15000 * ln 6 / 5.301897 = 3.2496313;
    // E(2) = 15000 * (1 + 10.52 * 0.7781513 - 2.1 * 3.2496313) = 15000 * 2.3619257 = 35428.886
    // E(1) = 35428.886 * (1 + 8.1861515 - 2.1 * ln 35428.886 * ln 6 / 5.301897) = 62070.156
    EXPECT_NEAR(moduli.base[3], 15000, 0);
    EXPECT_NEAR(moduli.base[2], 35428.887f, kModulusTolerancePsi);
    EXPECT_NEAR(moduli.base[1], 62070.156f, kModulusTolerancePsi);
    EXPECT_EQ(run.BaseSublayers, 2);
    EXPECT_EQ(run.SubbaseSublayers, 1);  // the subbase count is not touched

    // The count changes just above the largest sublayer.
    EXPECT_EQ(ModulusThick(run, 10, kCrushed, 10000, moduli).count, 1);
    // One 10 in sublayer on 10000 psi: 10000 * (1 + 10.52 * 1.0000000 - 2.1 * 4.0000003) = 31199.99
    EXPECT_NEAR(moduli.base[1], 31199.986f, kModulusTolerancePsi);
    EXPECT_EQ(ModulusThick(run, 10.5, kCrushed, 10000, moduli).count, 2);
    EXPECT_EQ(ModulusThick(run, 8, kUncrushed, 10000, moduli).count, 1);
    // 8 in subbase on 10000: 10000 * (1 + 7.18 * log10 8 - 1.56 * ln 10000 * ln 8 / 5.301897)
    EXPECT_NEAR(moduli.subbase[1], 18489.037f, kModulusTolerancePsi);
    EXPECT_EQ(ModulusThick(run, 16.1, kUncrushed, 10000, moduli).count, 3);
}

TEST_F(Sublayering, CountsFreezeOnlyWhileSublayeringNearConvergence) {
    run.BaseSublayers = 3;
    run.SublayeringOn = true;
    run.LnCdf = -0.345;
    SublayerSplit frozen = ModulusThick(run, 12, kCrushed, 15000, moduli);
    EXPECT_EQ(frozen.count, 3);
    EXPECT_DOUBLE_EQ(frozen.thicknessIn, 4);

    run.LnCdf = 0.346;
    EXPECT_EQ(ModulusThick(run, 12, kCrushed, 15000, moduli).count, 2);
    EXPECT_EQ(run.BaseSublayers, 2);

    run.SublayeringOn = false;
    run.LnCdf = 0;
    run.BaseSublayers = 5;
    EXPECT_EQ(ModulusThick(run, 12, kCrushed, 15000, moduli).count, 2);
}

TEST_F(Sublayering, RefusesWhatItCannotCompute) {
    EXPECT_EQ(ModulusThick(run, 12, kAsphalt, 15000, moduli).status,
              ModulusThickStatus::NotAggregate);
    EXPECT_EQ(ModulusThick(run, 0, kCrushed, 15000, moduli).status,
              ModulusThickStatus::InvalidValue);
    EXPECT_EQ(ModulusThick(run, 12, kCrushed, 0, moduli).status, ModulusThickStatus::InvalidValue);
    SublayerSplit many = ModulusThick(run, 160.5, kCrushed, 15000, moduli);
    EXPECT_EQ(many.status, ModulusThickStatus::TooManySublayers);
    EXPECT_EQ(many.count, 17);
    EXPECT_EQ(run.BaseSublayers, 17);  // remembered all the same
    EXPECT_EQ(moduli.base, SublayerModuli{});
}

// Equilibrium moduli of the rule, where a*log10 t = b*log10 E*log10 t: E = 10^(a/b),
// 10^(10.52/2.1) = 10^5.0095238 = 102,217.1 psi and 10^(7.18/1.56) = 10^4.6025641 = 40,046.5
// psi. The rule's rounded ln 10 (5.301897 / 2.302585 = 2.3025848) moves them by under 0.2 psi.
constexpr float kBaseEquilibriumPsi = 102217.1f, kSubbaseEquilibriumPsi = 40046.5f;
constexpr float kEquilibriumTolerancePsi = 0.5f;

TEST_F(Sublayering, AStiffSupportSoftensTheAggregateNoFurtherThanItsEquilibrium) {
    // 12 in base on 700,000 psi econocrete: unbounded, 700000 * (1 + 10.52 * 0.7781513 -
    // 2.1 * ln 700000 * ln 6 / 5.301897) = 700000 * -0.3661 < 0, and the next sublayer no number.
    ASSERT_EQ(ModulusThick(run, 12, kCrushed, 700000, moduli).status, ModulusThickStatus::Computed);
    EXPECT_EQ(moduli.base[3], 700000);
    EXPECT_NEAR(moduli.base[2], kBaseEquilibriumPsi, kEquilibriumTolerancePsi);
    EXPECT_NEAR(moduli.base[1], kBaseEquilibriumPsi, kEquilibriumTolerancePsi);
    ModulusThick(run, 16, kUncrushed, 500000, moduli);
    EXPECT_NEAR(moduli.subbase[1], kSubbaseEquilibriumPsi, kEquilibriumTolerancePsi);
    // Between support and equilibrium the rule stands: 10 in on 110,000 psi gives
    // 110000 * (1 + 10.52 - 2.1 * ln 110000 * ln 10 / 5.301897) = 110000 * 0.93307 = 102,638.
    ModulusThick(run, 10, kCrushed, 110000, moduli);
    EXPECT_NEAR(moduli.base[1], 102638.05f, kModulusTolerancePsi);
    // A sublayer under 1 in turns the rule round (log10 t < 0): it never ends up stiffer than
    // a support above the equilibrium, 0.5 in on 500,000 psi being 1.4358 times it unbounded.
    ModulusThick(run, 0.5, kCrushed, 500000, moduli);
    EXPECT_EQ(moduli.base[1], 500000);
}

class AggregateStructure : public ::testing::Test {
protected:
    AggregateResult Calculate(std::vector<core::SectionLayer> layers, bool sublayering = false) {
        state = StateWith(std::move(layers));
        state.Run.SublayeringOn = sublayering;
        return CalculateAggregateModuli(state, ui, list);
    }
    core::ProgramState state;
    test::FakeUserPort ui;
    analysis::AnalysisLayerList list;
};

TEST_F(AggregateStructure, BaseModulusIsTheMeanOfItsSublayersWhichSublayeringLists) {
    const std::vector<core::SectionLayer> layers = {L(kAsphalt, 4, 200000), L(kCrushed, 12, 75000),
                                                    L(kSubgrade, 0, 15000)};
    EXPECT_TRUE(Calculate(layers).sublayered);
    // (62070.156 + 35428.887) / 2
    EXPECT_NEAR(state.Current.Layers[1].LayerModulus, 48749.523f, kModulusTolerancePsi);
    // Switch off: the section layers one to one, the depth just inside the subgrade.
    ASSERT_EQ(list.layers.size(), 3u);
    EXPECT_EQ(list.layers[1].modulus, state.Current.Layers[1].LayerModulus);
    EXPECT_EQ(list.depths, std::vector<double>{1.0001 * 16});

    list = {};
    Calculate(layers, true);
    ASSERT_EQ(list.layers.size(), 4u);
    EXPECT_EQ(list.layers[1].thickness, 6);
    EXPECT_EQ(list.layers[2].thickness, 6);
    EXPECT_NEAR(list.layers[1].modulus, 62070.156f, kModulusTolerancePsi);  // top sublayer first
    EXPECT_NEAR(list.layers[2].modulus, 35428.887f, kModulusTolerancePsi);
    EXPECT_EQ(list.layers[3].type, kSubgrade);
}

TEST_F(AggregateStructure, BaseDirectlyOnSubbaseRestsOnTheSubbaseTopSublayer) {
    const AggregateResult r = Calculate({L(kAsphalt, 4, 200000), L(kCrushed, 6, 75000),
                                         L(kUncrushed, 12, 40000), L(kSubgrade, 0, 10000)});
    EXPECT_EQ(r.subbase.count, 2);
    EXPECT_EQ(r.base.count, 1);
    // Subbase: two 6 in sublayers on 10000 psi: 17314.613 and 24968.508 (top).
    EXPECT_NEAR(r.moduli.subbase[1], 24968.508f, kModulusTolerancePsi);
    // Base: one 6 in layer on 24968.508 psi: 49944.336.
    EXPECT_EQ(r.moduli.base[2], r.moduli.subbase[1]);
    EXPECT_NEAR(r.moduli.base[1], 49944.336f, kModulusTolerancePsi);
    EXPECT_NEAR(state.Current.Layers[2].LayerModulus, (24968.508f + 17314.613f) / 2, 0.1f);
}

TEST_F(AggregateStructure, BaseAboveAnotherLayerRestsOnThatLayer) {
    const auto r = Calculate({L(kAsphalt, 4, 200000), L(kCrushed, 10, 75000), L(kAsphalt, 3, 10000),
                              L(kUncrushed, 8, 40000), L(kSubgrade, 0, 10000)});
    EXPECT_NEAR(r.moduli.base[1], 31199.986f, kModulusTolerancePsi);  // on the 10000 psi layer
    EXPECT_FALSE(r.sublayered);
}

struct RefusedCase {
    std::vector<core::SectionLayer> layers;
    std::string text;
};

TEST(AggregateModuli, InvalidAggregateStructuresAreRefusedWithTheirMessage) {
    const RefusedCase cases[] = {
        {{L(kAsphalt, 4, 200000), L(kCrushed, 6, 75000), L(kCrushed, 6, 75000),
          L(kSubgrade, 0, 10000)},
         "There are 2 aggregate base layers. This is not a valid structure for the design "
         "procedure. Please change the structure so that it has only one aggregate base layer."},
        {{L(kAsphalt, 4, 200000), L(kUncrushed, 6, 40000), L(kCrushed, 6, 75000),
          L(kUncrushed, 6, 40000), L(kUncrushed, 6, 40000), L(kSubgrade, 0, 10000)},
         "There are 3 aggregate subbase layers. This is not a valid structure for the design "
         "procedure. Please change the structure so that it has only one aggregate subbase "
         "layer."},
        {{L(kAsphalt, 4, 200000), L(kUncrushed, 6, 40000), L(kCrushed, 6, 75000),
          L(kSubgrade, 0, 10000)},
         "An aggregate base layer is located below an aggregate subbase layer. This is not a "
         "valid structure for the design procedure. Please change the structure so that the "
         "base is above the subbase."},
    };
    for (const RefusedCase& c : cases) {
        core::ProgramState state = StateWith(c.layers);
        state.Run.BaseSublayers = 7;
        test::FakeUserPort ui;
        ui.Answer(core::Answer::Ok);
        analysis::AnalysisLayerList list{{{1, 2, 3}}, {42}};
        AggregateResult r = CalculateAggregateModuli(state, ui, list);
        EXPECT_EQ(r.status, AggregateStatus::InvalidStructure);
        EXPECT_TRUE(ui.OnlyBox("Calculating Modulus in Design", c.text));
        // Nothing computed: list and remembered counts as they were.
        EXPECT_EQ(list.depths, std::vector<double>{42});
        EXPECT_EQ(state.Run.BaseSublayers, 7);
    }
}

TEST_F(AggregateStructure, EvaluationDepthFollowsThePavementType) {
    Calculate({L(kPcc, 14, 4000000), L(kCrushed, 6, 75000), L(kSubgrade, 0, 10000)});
    ASSERT_EQ(state.Current.PavementType, core::kNewRigid);
    EXPECT_EQ(list.depths, std::vector<double>{-14});  // bottom of the slab

    list = {{}, {-16, 3}};
    Calculate({L(kAcOverlay, 4, 200000), L(kPcc, 12, 4000000), L(kCrushed, 6, 75000),
               L(kSubgrade, 0, 10000)});
    ASSERT_EQ(state.Current.PavementType, core::kAcOnRigid);
    EXPECT_EQ(list.depths, (std::vector<double>{-16, 3}));  // set by the overlay model
    EXPECT_EQ(list.layers.size(), 4u);
}

TEST_F(AggregateStructure, ZeroThicknessBaseLeavesTheSectionModulusAlone) {
    const auto r =
        Calculate({L(kAsphalt, 4, 200000), L(kCrushed, 0, 75000), L(kSubgrade, 0, 15000)}, true);
    EXPECT_EQ(r.base.status, ModulusThickStatus::InvalidValue);
    EXPECT_EQ(state.Current.Layers[1].LayerModulus, 75000);
    ASSERT_EQ(list.layers.size(), 3u);
    EXPECT_EQ(list.layers[1].thickness, 0);  // left for the analysis to refuse
}

}  // namespace
}  // namespace tavro::damage
