// Coverages per pass against the exact normal distribution (erf) of hand-drawn effective
// tires, and the probability rule's special cases.
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

library::AircraftEntry Gear(int config, std::vector<float> wheels, float s1 = 0, float s2 = 0,
                            float s3 = 0) {
    library::AircraftEntry e;
    e.AcName = "Test gear";
    e.AcGearCode = "D";
    e.AcGearConfig = static_cast<std::int16_t>(config);
    e.AcS1 = s1;
    e.AcS2 = s2;
    e.AcS3 = s3;
    e.AcWheelCount = static_cast<std::int16_t>(wheels.size());
    for (std::size_t k = 0; k < wheels.size(); ++k) e.AcWheelY[k] = wheels[k];
    return e;
}

core::ProgramState OneAircraft(library::AircraftEntry entry, float width, float length = 0) {
    core::ProgramState state;
    state.Aircraft.entries = {std::move(entry)};
    core::DesignAircraft a;
    a.AircraftLibIndex = 1;
    a.ContactWidth = width;
    a.ContactLength = length;
    state.Current.Aircraft = {a};
    return state;
}

TEST(NormalProbability, DegenerateSpreadIsOneExactlyWhenTheIntervalHoldsTheMean) {
    EXPECT_EQ(NormalProbability(-1, 1, 1e-7), 1.0f);
    EXPECT_EQ(NormalProbability(0, 3, 0), 1.0f);  // the mean on a bound counts
    EXPECT_EQ(NormalProbability(0.5, 3, 0), 0.0f);
}

TEST(NormalProbability, TailsBeyondFiveSigmaAreCutToHalves) {
    EXPECT_EQ(NormalProbability(-1000, 1000, kWanderSigma), 1.0f);
    EXPECT_EQ(NormalProbability(200, 1000, kWanderSigma), 0.0f);  // both beyond +5 sigma
    // Bounds in either order: 2 Phi(5/30.475) - 1 = 2 * 0.565162 - 1 = 0.130323.
    EXPECT_NEAR(NormalProbability(5, -5, kWanderSigma), 0.130323, 1e-5);
}

TEST(PassToCoverage, SingleTenInchTireAtItsOwnPositionCoversAboutThirteenPercent) {
    const core::ProgramState state = OneAircraft(Gear(1, {30}), 10);
    // 2 Phi(5/30.475) - 1 = 0.130323; the rule agrees to 1e-4 for so narrow a tire.
    EXPECT_NEAR(PassToCoverage(state, 1, 30, 0), 0.130323, 1e-4);
    EXPECT_NEAR(PassToCoverage(state, 1, 30, -20), Mass(-15, 15), kRuleTolerance);  // w + z
    EXPECT_EQ(PassToCoverage(state, 1, 400, 0), 0.0f);  // 370 in away: beyond five sigma
    EXPECT_EQ(PassToCoverage(state, 2, 30, 0), 0.0f);   // no such aircraft
}

TEST(PassToCoverage, TwoWheelsFiftyApartMergeBelowForty) {
    const core::ProgramState state = OneAircraft(Gear(2, {-25, 25}, 50), 10);
    // Depth 39: two tires 49 wide at -25 and 25, [-49.5, -0.5] and [0.5, 49.5].
    EXPECT_NEAR(PassToCoverage(state, 1, 0, 39), 2 * Mass(0.5, 49.5), kRuleTolerance);
    // Depth 41: the 40 in gap has closed, one tire 50 + 10 + 41 = 101 wide at 0.
    EXPECT_NEAR(PassToCoverage(state, 1, 0, 41), Mass(-50.5, 50.5), kRuleTolerance);
    // Depth 60: 120 wide; apart they would be two 70 in tires counting [-10, 10] twice.
    EXPECT_NEAR(PassToCoverage(state, 1, 0, 60), Mass(-60, 60), kRuleTolerance);
}

TEST(PassToCoverage, TandemAxlesRepeatUntilTheirPressureBulbsMeet) {
    library::AircraftEntry tandem = Gear(1, {0});
    tandem.AcTandem = 40;  // with L = 10 the clear gap g is 30
    const core::ProgramState single = OneAircraft(Gear(1, {0}), 10, 10);
    core::ProgramState twin = OneAircraft(tandem, 10, 10);
    // R = 2 down to g, 3 - z/g between g and 2g, 1 from 2g on.
    for (auto [depth, r] : {std::pair{0.0, 2.0f}, {30.0, 2.0f}, {45.0, 1.5f}, {60.0, 1.0f}}) {
        EXPECT_FLOAT_EQ(PassToCoverage(twin, 1, 0, depth), r * PassToCoverage(single, 1, 0, depth))
            << depth;
    }
    twin.Aircraft.entries[0].AcGearCode = "N";  // three axles: 3, then 5 - 2z/g
    EXPECT_FLOAT_EQ(PassToCoverage(twin, 1, 0, 30), 3 * PassToCoverage(single, 1, 0, 30));
    EXPECT_FLOAT_EQ(PassToCoverage(twin, 1, 0, 45), 2 * PassToCoverage(single, 1, 0, 45));
}

TEST(PassToCoverage, EightWheelGearMergesGapByGapAndSpansItsWholeWidth) {
    // S1 4, S2 10, S3 20 (S3 > S2), w 2: gaps close at depths 2, 8 and 18. Wheels from
    // -28 to 28. At depth 20 one tire of 4*4 + 2*10 + 20 + 2 + 20 = 78 in, centred.
    const core::ProgramState wide =
        OneAircraft(Gear(4, {-28, -24, -14, -10, 10, 14, 24, 28}, 4, 10, 20), 2);
    EXPECT_NEAR(PassToCoverage(wide, 1, 0, 20), Mass(-39, 39), kRuleTolerance);
    // At depth 10 two tires of 2*4 + 10 + 2 + 10 = 30 in at -19 and 19.
    EXPECT_NEAR(PassToCoverage(wide, 1, 0, 10), 2 * Mass(4, 34), kRuleTolerance);

    // S1 4, S2 20, S3 10 (S3 < S2): at depth 10 the middle gap (8) has closed but not S2 (18):
    // outer pairs of 4 + 2 + 10 = 16 at -31 and 31, a middle tire of 2*4 + 10 + 2 + 10 = 30.
    const core::ProgramState narrow =
        OneAircraft(Gear(4, {-33, -29, -9, -5, 5, 9, 29, 33}, 4, 20, 10), 2);
    EXPECT_NEAR(PassToCoverage(narrow, 1, 0, 10), Mass(-15, 15) + 2 * Mass(23, 39), kRuleTolerance);
}

TEST(PassToCoverage, DualGearKeepsTheWiderGapOpenLonger) {
    // S1 12, S2 50, w 10: at depth 5 the pairs have merged (gap 2) but not the gear (gap 40):
    // two tires of 12 + 10 + 5 = 27 at -31 and 31.
    const core::ProgramState state = OneAircraft(Gear(3, {-37, -25, 25, 37}, 12, 50), 10);
    EXPECT_NEAR(PassToCoverage(state, 1, 31, 5), Mass(-13.5, 13.5) + Mass(48.5, 75.5),
                kRuleTolerance);
    core::ProgramState unknown = state;
    unknown.Aircraft.entries[0].AcGearConfig = 7;
    EXPECT_EQ(PassToCoverage(unknown, 1, 31, 5), 0.0f);
}

}  // namespace
}  // namespace tavro::damage
