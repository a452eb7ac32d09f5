// Rigid damage against hand calculations from hand-written result files: structure factor,
// edge stresses, design factor lines, coverage cap, tandem rule and the file error path.
#include "damage/rigid_cdf.h"

#include <gtest/gtest.h>

#include <cmath>

#include "stress_run.h"
#include "support/fake_user_port.h"
#include "support/temp_dir.h"

namespace tavro::damage {
namespace {

using test::TempDir;

constexpr std::int16_t kSubgrade = 4, kPcc = 5, kCrushed = 6, kStabilized = 7, kUncrushed = 8;

using stress_run::kHeader;
using stress_run::Line;

// A 12 in slab of 700 psi on `below` under one aircraft.
core::ProgramState Slab(const TempDir& dir, std::vector<core::SectionLayer> below) {
    below.insert(below.begin(), {12, 4000000, 700, kPcc});
    return stress_run::Design(dir.path(), std::move(below), 1);
}

// A slab on a full-strength 60000 psi subgrade; Run reads a result file of one stress line.
class OneSlab : public ::testing::Test {
protected:
    RigidCdfResult Run(const std::string& stress) {
        dir.Write("DAMTMP.DAT", kHeader + stress);
        FillRigidCoverageTable(state, ui);
        return ComputeRigidCDF(state, ui);
    }
    TempDir dir;
    core::ProgramState state = Slab(dir, {{0, 60000, 0, kSubgrade}});
    test::FakeUserPort ui;
};

TEST(BaseSubgradeFactor, AggregateStiffBasesThinStructuresAndStrongSubgrades) {
    TempDir dir;
    // Aggregate: r = 0.5 * (5 + 3)/8 = 0.5, F0 = 0.25 * 10^0.6 = 0.9952679; e = 10 ksi:
    // F = 0.9952679 + 10 * 0.0047321/25 - 100 * 0.0047321/2500 = 0.9969715
    const core::ProgramState aggregate =
        Slab(dir, {{5, 40000, 0, kCrushed}, {3, 20000, 0, kUncrushed}, {0, 10000, 0, kSubgrade}});
    EXPECT_NEAR(BaseSubgradeFactor(aggregate, 2), 0.9969715, 1e-7);
    // 6 in at 1000000 psi counts as 700000: f = 0.5 + 500000 * 0.5/300000 = 1.3333333,
    // r = 1.3333333 * 6/8 = 1, F0 = 0.25; e = 10: F = 0.25 + 0.3 - 0.03 = 0.52.
    core::ProgramState state = Slab(dir, {{6, 1000000, 0, kStabilized}, {0, 10000, 0, kSubgrade}});
    EXPECT_NEAR(BaseSubgradeFactor(state, 2), 0.52, 1e-12);
    // From layer 3 nothing lies above the subgrade: r = 0.4, F0 = 0.25 * 10^0.72 = 1.3120187,
    // F = 1.3120187 - 10 * 0.3120187/25 + 100 * 0.3120187/2500 = 1.1996919.
    EXPECT_NEAR(BaseSubgradeFactor(state, 3), 1.1996919, 1e-7);
    // A 60000 psi subgrade counts as 50000: F = F0 + 2 (1 - F0) + (F0 - 1) = 1.
    state.Current.Layers.back().LayerModulus = 60000;
    EXPECT_NEAR(BaseSubgradeFactor(state, 2), 1, 1e-12);
}

TEST_F(OneSlab, GearFactorsByCodeOnATenKsiSubgrade) {
    state.Current.Layers.back().LayerModulus = 10000;
    state.Aircraft.entries[0].AcGearCode = "B";
    // f0 = 1.261 + 0.1549 - 0.009375 = 1.406525
    // "B": g = 0.75 * 1.406525 * (1.43 - 0.06983 + 0.00551) = 1.4406473
    EXPECT_NEAR(AdjustEdgeStress(state, 1, 100), 1.4406473 * 100 * 0.7533f, 1e-4);
    // The name "NLA-A" picks the "M" row: 0.75 * 1.406525 * 0.8667 = 0.9142764, raised to 1.
    state.Aircraft.entries[0].AcGearCode = "Z";
    state.Aircraft.entries[0].AcName = "NLA-A";
    EXPECT_NEAR(AdjustEdgeStress(state, 1, 100), 100 * 0.7533f, 1e-4);
}

TEST(SlabFlexuralStrength, LastLayerWithAStrengthGoverns) {
    core::CurrentSectionRecord s;
    s.Layers = {{6, 4000000, 650, 11}, {10, 4000000, 720, kPcc}, {0, 10000, 0, kSubgrade}};
    EXPECT_EQ(SlabFlexuralStrength(s), 720);
}

TEST_F(OneSlab, TandemCountsTwiceOnlyBeyondSeventyTwoInches) {
    state.Aircraft.entries[0].AcTandem = 72;
    FillRigidCoverageTable(state, ui);
    const float once = state.Run.Damage.CoveragesPerPass[1][1];
    EXPECT_NEAR(once, 0.130323, 1e-4);  // 2 Phi(5/30.475) - 1, tires not widened
    state.Aircraft.entries[0].AcTandem = 72.5f;
    FillRigidCoverageTable(state, ui);
    EXPECT_EQ(state.Run.Damage.CoveragesPerPass[1][1], 2 * once);
}

// F = 1 (c = 1) with a 60000 psi subgrade; for gear code "Q"
// g = 0.75 * f0(50 ksi) = 0.75 * 1.801125 = 1.3508438 and an interior stress of 343.94972 psi
// gives the edge stress 1.3508438 * 343.94972 * 0.7533 = 350: DF = 700/350 = 2.
//   log10 C80 = (2 - 0.2967 - 0.18136) / (0.00312 + 0.3881) = 1.52194/0.39122 = 3.8902408
//   first crack: t = (2 - 0.5236)/0.392 = 3.7663265, C1 = 5838.84
TEST_F(OneSlab, DesignFactorTwoOnAFullStrengthSubgrade) {
    const RigidCdfResult r = Run(Line(".34394972E+03"));
    const core::DamageTables& d = state.Run.Damage;
    EXPECT_NEAR(d.CriticalResponse[1], 350, 1e-3);
    EXPECT_NEAR(d.Log10Coverages[1], 3.8902408, 1e-6);
    // At x = 0: 1000 * 0.130323 / 7766.40 = 0.0167796; first crack 100 * 130.323/5838.84 = 2.23200.
    EXPECT_NEAR(r.cdf, 0.0167796, 2e-6);
    EXPECT_NEAR(r.firstCrackCdf, 2.23200, 2e-4);
}

TEST_F(OneSlab, CoveragesAreCappedAtTenDecadesAndFlagTheStressesAsTooLow) {
    const RigidCdfResult r = Run(Line(".10000000E+01"));  // DF = 700/1.0176 = 688
    EXPECT_TRUE(r.stressesTooLow);
    EXPECT_FLOAT_EQ(state.Run.Damage.AllowableCoverages[1], 1e10f);
    EXPECT_NEAR(r.cdf, 1000 * 0.130323 / 1e10, 1e-12);
    EXPECT_NEAR(r.firstCrackCdf, 100 * r.cdf, 1e-10);  // the first crack takes the cap too

    // Overload aircraft count for nothing, as in every damage sum.
    state.Current.Aircraft[0].OverloadFlag = true;
    EXPECT_EQ(ComputeRigidCDF(state, ui).cdf, 0);
}

TEST_F(OneSlab, MissingStressLineEndsTheRunWithItsMessageAndUsesAThousandPsi) {
    ui.answerDefaults = true;
    const RigidCdfResult r = Run("");
    EXPECT_TRUE(r.readError);
    EXPECT_EQ(state.Run.Damage.CriticalResponse[1], 1000);  // not adjusted
    EXPECT_TRUE(
        ui.OnlyBox("File Error",
                   "There has been an error reading\r\nstresses from the data file. This\r\n"
                   "was probably caused by the PCC\r\nlayer being too thin. The design\r\n"
                   "will be ended.\r\n\r\nPlease check the structure."));
}

}  // namespace
}  // namespace tavro::damage
