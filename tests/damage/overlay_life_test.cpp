// Building blocks of the overlay life model against hand calculations, and the reading of a
// result file evaluated at two depths.
#include "damage/overlay_life.h"

#include <gtest/gtest.h>

#include <cmath>

#include "damage/rigid_cdf.h"
#include "stress_run.h"
#include "support/fake_user_port.h"
#include "support/temp_dir.h"

namespace tavro::damage {
namespace {

core::DesignAircraft Traffic(float annual, float growth) {
    core::DesignAircraft a;
    a.AnnualDepartures = annual, a.AnnualGrowth = growth;
    return a;
}

TEST(DeparturesBetween, ConstantGrowingAndStoppingTraffic) {
    // Growth below 1e-8 counts as none.
    EXPECT_DOUBLE_EQ(DeparturesBetween(2, 5, Traffic(1000, 1e-9f)), 3000);
    // D(t) = a t (1 + b t/2): D(4) - D(2) = 4400 - 2100.
    EXPECT_NEAR(DeparturesBetween(2, 4, Traffic(1000, 0.05f)), 2300, 1e-3);
    // b = -0.1: the traffic stops at t = 10 with -a/(2b) = 5000 departures in all;
    // D(5) = 1000 * 5 * 0.75 = 3750.
    EXPECT_NEAR(DeparturesBetween(5, 20, Traffic(1000, -0.1f)), 1250, 1e-3);
    EXPECT_NEAR(DeparturesBetween(12, 30, Traffic(1000, -0.1f)), 0, 1e-9);
}

TEST(LogCoveragesAtSCI, FactorLineAtAConditionAndBelowTheStressFloor) {
    // R 700, stress 350: DF = 2; SCI 80, F = c = 1: (2 - 0.47806)/0.39122.
    EXPECT_NEAR(LogCoveragesAtSCI(80, 700, 350, 1, 1), 1.52194 / 0.39122, 1e-9);
    // SCI 100 reduces to the first-crack line, SCI 0 to (DF - 0.2967)/(F 0.3881).
    EXPECT_NEAR(LogCoveragesAtSCI(100, 700, 350, 1, 1), (2 - 0.5234) / 0.392, 1e-9);
    EXPECT_NEAR(LogCoveragesAtSCI(0, 700, 350, 0.8, 3), (2 - 0.2967) / (0.8 * 0.3881), 1e-9);
    EXPECT_EQ(LogCoveragesAtSCI(80, 700, 0, 1, 1), 12);
}

TEST(Bisect, FindsKnownRootsAndStopsAtEndsWithinTolerance) {
    auto f = [](double x) { return x * x - 2; };
    // The interval tolerance ends the search before the residual one.
    EXPECT_NEAR(Bisect(0, 2, -2, 2, 0, 0.01, f), std::sqrt(2.0), 0.02);
    // An end already within the residual tolerance is the root, without evaluating f.
    int calls = 0;
    auto counted = [&](double x) { return ++calls, x; };
    EXPECT_EQ(Bisect(-3, 2e-5, -3, 2e-5, 1e-4, 1e-3, counted), 2e-5);
    EXPECT_EQ(calls, 0);
    // A decreasing function: the half whose end values differ in sign is kept.
    EXPECT_NEAR(Bisect(0, 10, 7, -3, 1e-9, 1e-12, [](double x) { return 7 - x; }), 7, 1e-9);
    // Ends too far apart for their midpoint to differ from them still end the search.
    const double big = 1e300;
    EXPECT_TRUE(std::isfinite(
        Bisect(big, std::nextafter(big, 2 * big), -1, 1, 0, 0, [](double) { return -1.0; })));
}

TEST(StageDuration, DoublesOrHalvesToABracketThenBisects) {
    // Halving: 2.5, 1.25, 0.625, 0.3125, 0.15625 bracket 0.3.
    EXPECT_NEAR(StageDuration(5, [](double d) { return 10 * (d - 0.3); }), 0.3, 0.001);
    // A guess within 0.01 of the wanted drop is the duration.
    EXPECT_EQ(StageDuration(5, [](double d) { return d - 5.005; }), 5);
    // A drop that is never reached ends after 200 doublings with the last trial.
    EXPECT_EQ(StageDuration(5, [](double) { return -1.0; }), std::ldexp(5.0, 200));
    EXPECT_EQ(StageDuration(5, [](double) { return 1.0; }), std::ldexp(5.0, -200));
}

using stress_run::kHeader;
using stress_run::Line;

// A concrete overlay on a slab on a 10000 psi subgrade under two aircraft.
class TwoAircraft : public ::testing::Test {
protected:
    void SetUp() override { state.Current.ExistingPavement = true; }
    test::TempDir dir;
    core::ProgramState state = stress_run::Design(
        dir.path(), {{6, 4000000, 650, 11}, {10, 4000000, 650, 5}, {0, 10000, 0, 4}}, 2);
    test::FakeUserPort ui;
};

TEST_F(TwoAircraft, TwoDepthFileIsReadAircraftByAircraft) {
    dir.Write("DAMTMP.DAT", kHeader + Line("-.30000000E+03", 1) + Line(".20000000E+03", 2) +
                                Line(".25000000E+03", 1) + Line(".15000000E+03", 2));
    const OverlayStresses s = ReadOverlayStresses(state, ui, 2);
    ASSERT_FALSE(s.readError);
    ASSERT_EQ(s.stress.size(), 2u);
    EXPECT_DOUBLE_EQ(s.stress[0][1], AdjustEdgeStress(state, 1, 200));
    EXPECT_DOUBLE_EQ(s.stress[1][0], AdjustEdgeStress(state, 2, 250));
    // The rigid damage of such a run takes aircraft 2's line from the third line.
    ComputeRigidCDF(state, ui, 2);
    for (auto [k, stress] : {std::pair{1, 300.0}, {2, 250.0}})
        EXPECT_FLOAT_EQ(state.Run.Damage.CriticalResponse[k],
                        static_cast<float>(AdjustEdgeStress(state, k, stress)));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TwoAircraft, MissingLinesAreAReadErrorWithTheStandInStress) {
    dir.Write("DAMTMP.DAT",
              kHeader + Line(".30000000E+03", 1) + Line(".20000000E+03", 2) + Line("garbage", 1));
    const OverlayStresses s = ReadOverlayStresses(state, ui, 2);
    EXPECT_TRUE(s.readError);
    EXPECT_DOUBLE_EQ(s.stress[1][1], 1000);
    EXPECT_TRUE(ui.boxes.empty());  // the caller decides what a read error means
}

TEST_F(TwoAircraft, MinerSumAtTheCriticalPositionLeavesOverloadAircraftOut) {
    state.Run.Damage.CriticalPosition = 5;
    state.Run.Damage.CoveragesPerPass[1][5] = 0.5f;
    state.Run.Damage.CoveragesPerPass[2][5] = 0.25f;
    state.Current.Aircraft[0].AnnualDepartures = 1000;
    state.Current.Aircraft[1].AnnualDepartures = 2000;
    state.Current.Aircraft[1].AnnualGrowth = 0.1f;
    // 2000 x 0.5/1e4 + 2000 x 2 x 1.1 x 0.25/1e5.
    EXPECT_NEAR(CDFBetween(state, 0, 2, {1e4, 1e5}), 0.1 + 0.011, 1e-9);
    state.Current.Aircraft[1].OverloadFlag = true;
    EXPECT_NEAR(CDFBetween(state, 0, 2, {1e4, 1e5}), 0.1, 1e-12);
}

}  // namespace
}  // namespace tavro::damage
