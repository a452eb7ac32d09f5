// Coverages per pass against the exact normal mass (erf) of hand-drawn effective tires.
#include "damage/traffic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavro::damage {
namespace {

// The four-panel rule stays within 6e-4 of the exact normal mass for intervals of the grid.
constexpr double kRuleTolerance = 1e-3;

// Exact probability mass of [lo, hi] under the lateral wander.
double Mass(double lo, double hi) {
    const double s = kWanderSigma * std::sqrt(2.0);
    return 0.5 * (std::erf(hi / s) - std::erf(lo / s));
}

// One design aircraft on a gear of `config` with wheels at `y` and spacings S1, S2, S3.
core::ProgramState Gear(int config, std::vector<float> y, float width, float s1 = 0, float s2 = 0,
                        float s3 = 0) {
    library::AircraftEntry e;
    e.AcGearConfig = static_cast<std::int16_t>(config);
    e.AcS1 = s1, e.AcS2 = s2, e.AcS3 = s3;
    e.AcWheelCount = static_cast<std::int16_t>(y.size());
    std::copy(y.begin(), y.end(), e.AcWheelY.begin());
    core::ProgramState state;
    state.Aircraft.entries = {e};
    core::DesignAircraft& a = state.Current.Aircraft.emplace_back();
    a.AircraftLibIndex = 1, a.ContactWidth = width, a.ContactLength = 10;
    return state;
}

TEST(NormalProbability, DegenerateSpreadAndTailsGiveExactValues) {
    EXPECT_EQ(NormalProbability(0, 3, 1e-7), 1.0f);  // the mean on a bound counts
    EXPECT_EQ(NormalProbability(0.5, 3, 0), 0.0f);
    EXPECT_EQ(NormalProbability(-1000, 1000, kWanderSigma), 1.0f);
    EXPECT_EQ(NormalProbability(200, 1000, kWanderSigma), 0.0f);  // both beyond +5 sigma
}

TEST(PassToCoverage, SingleTenInchTireAtItsOwnPositionCoversAboutThirteenPercent) {
    const core::ProgramState state = Gear(1, {30}, 10);
    // 2 Phi(5/30.475) - 1 = 2 * 0.565162 - 1 = 0.130323; bounds in either order.
    EXPECT_NEAR(PassToCoverage(state, 1, 30, 0), 0.130323, 1e-4);
    EXPECT_NEAR(NormalProbability(5, -5, kWanderSigma), 0.130323, 1e-4);
    EXPECT_NEAR(PassToCoverage(state, 1, 30, -20), Mass(-15, 15), kRuleTolerance);  // w + z
}

TEST(PassToCoverage, TandemAxlesRepeatUntilTheirPressureBulbsMeet) {
    const core::ProgramState single = Gear(1, {0}, 10);
    core::ProgramState twin = single;
    twin.Aircraft.entries[0].AcTandem = 40;  // with L = 10 the clear gap g is 30
    // R = 2 down to g, 3 - z/g between g and 2g, 1 from 2g on.
    for (auto [depth, r] : {std::pair{30.0, 2.0f}, {45.0, 1.5f}, {60.0, 1.0f}})
        EXPECT_FLOAT_EQ(PassToCoverage(twin, 1, 0, depth), r * PassToCoverage(single, 1, 0, depth));
}

// Gaps between tires close one by one as the depth grows.
TEST(PassToCoverage, GearsMergeTheirTiresGapByGap) {
    const core::ProgramState two = Gear(2, {-25, 25}, 10, 50);
    // Depth 39: two tires 49 wide at -25 and 25, [-49.5, -0.5] and [0.5, 49.5].
    EXPECT_NEAR(PassToCoverage(two, 1, 0, 39), 2 * Mass(0.5, 49.5), kRuleTolerance);
    // Depth 41: the 40 in gap has closed, one tire 50 + 10 + 41 = 101 wide at 0.
    EXPECT_NEAR(PassToCoverage(two, 1, 0, 41), Mass(-50.5, 50.5), kRuleTolerance);
    // S1 4, S2 10, S3 20 (S3 > S2), w 2: gaps close at depths 2, 8 and 18. At depth 20 one
    // tire of 4*4 + 2*10 + 20 + 2 + 20 = 78 in; at depth 10 two of 2*4 + 10 + 2 + 10 = 30 at
    // -19, 19.
    const core::ProgramState wide = Gear(4, {-28, -24, -14, -10, 10, 14, 24, 28}, 2, 4, 10, 20);
    EXPECT_NEAR(PassToCoverage(wide, 1, 0, 20), Mass(-39, 39), kRuleTolerance);
    EXPECT_NEAR(PassToCoverage(wide, 1, 0, 10), 2 * Mass(4, 34), kRuleTolerance);
    // S1 4, S2 20, S3 10 (S3 < S2): at depth 10 the middle gap (8) has closed but not S2 (18):
    // outer pairs of 4 + 2 + 10 = 16 at -31 and 31, a middle tire of 2*4 + 10 + 2 + 10 = 30.
    const core::ProgramState narrow = Gear(4, {-33, -29, -9, -5, 5, 9, 29, 33}, 2, 4, 20, 10);
    EXPECT_NEAR(PassToCoverage(narrow, 1, 0, 10), Mass(-15, 15) + 2 * Mass(23, 39), kRuleTolerance);
    // A dual tandem row closes its dual gaps first. Wheels at -30, -20, 20, 30: S1 10 within each
    // dual, S2 40 between them, w 2. At depth 10 the dual gaps (8) have closed, not the middle one
    // (38): two tires of 10 + 2 + 10 = 22 in at -25 and 25, which the centreline at x = 0 sees 14
    // to 36 in away.
    const core::ProgramState dual = Gear(3, {-30, -20, 20, 30}, 2, 10, 40);
    EXPECT_NEAR(PassToCoverage(dual, 1, 0, 10), 2 * Mass(14, 36), kRuleTolerance);
    // Over the outer wheel at x = 30: the near tire spans [-6, 16] around it, the far one
    // [44, 66].
    EXPECT_NEAR(PassToCoverage(dual, 1, 30, 10), Mass(-6, 16) + Mass(44, 66), kRuleTolerance);
}

}  // namespace
}  // namespace tavro::damage
