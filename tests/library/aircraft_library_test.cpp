#include "library/aircraft_library.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tavro::library {
namespace {

// Far above the float rounding of a 5..30 in contact size, far below any effect of it.
constexpr double kContactToleranceIn = 1e-5;

class AircraftLibraryTest : public ::testing::Test {
protected:
    const AircraftLibrary library = BuildAircraftLibrary();
    const AircraftEntry& Named(std::string_view name) {
        const std::optional<int> k = FindAircraft(library, name);
        EXPECT_TRUE(k.has_value()) << name;
        return library.Entry(k.value_or(1));
    }
};

TEST_F(AircraftLibraryTest, HoldsSeventySixEntriesInFourteenTabledGroups) {
    ASSERT_EQ(library.AircraftLibCount(), 76);
    ASSERT_EQ(library.groups.size(), 14u);
    std::vector<std::string> names;
    std::vector<int> starts;
    for (const auto& g : library.groups) {
        names.push_back(g.AcGroupName);
        starts.push_back(g.AcGroupStart);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Generic", "Boeing", "Bombardier Aerspc", "Canadair",
                                               "Cessna", "Dassault", "Fokker", "Grumman", "Piper",
                                               "Raytheon/Beechcraft", "Sabreliner Corp.", "Shorts",
                                               "Military Aircraft", "Heavy Civil Aircraft"}));
    EXPECT_EQ(starts, (std::vector<int>{1, 10, 11, 13, 17, 30, 33, 34, 38, 45, 56, 60, 62, 66}));
    EXPECT_EQ(library.GroupRange(1), std::make_pair(1, 9));
    EXPECT_EQ(library.GroupRange(2), std::make_pair(10, 10));
    EXPECT_EQ(library.GroupRange(14), std::make_pair(66, 76));
}

// Unique names that fit the job file field, the standard gear share and a valid contact.
TEST_F(AircraftLibraryTest, EveryEntryHasAUniqueNameAndAValidGear) {
    std::set<std::string> names;
    for (const AircraftEntry& e : library.entries) {
        SCOPED_TRACE(e.AcName);
        EXPECT_TRUE(names.insert(e.AcName).second) << "duplicate";
        EXPECT_TRUE(!e.AcName.empty() && e.AcName.size() <= 20u);
        EXPECT_EQ(std::pair(e.AcGearShare, e.AcS3), std::pair(0.475f, 0.0f));
        EXPECT_TRUE(e.AcTirePressure > 0 && e.AcTireCount >= 1 && e.AcPointCount >= 1 &&
                    e.AcWheelCount >= 2);
    }
}

TEST_F(AircraftLibraryTest, SpotCheckedRowsMatchTheTable) {
    using Row = std::tuple<int, std::string, float, float, std::string, int, float, float, float>;
    const Row rows[] = {
        {1, "SW 6,000", 6000, 75, "B", 2, 50, 0, 0},
        {9, "DW 60,000", 60000, 178, "D", 3, 17, 165, 0},
        {10, "DC-3", 26900, 45, "B", 2, 222, 0, 0},
        {56, "Sabreliner 40", 19035, 185, "B", 2, 86.52f, 0, 0},
        {62, "C-130", 155000, 105, "E", 2, 172, 171, 60},
        {64, "F-15c", 68000, 340, "B", 1, 108.25f, 0, 0},
        {76, "DC-9-51", 122000, 170, "D", 3, 27.6f, 190, 0},
    };
    for (const Row& r : rows) {
        const AircraftEntry& e = library.Entry(std::get<0>(r));
        EXPECT_EQ(Row(std::get<0>(r), e.AcName, e.AcGrossLoad, e.AcTirePressure, e.AcGearCode,
                      e.AcGearConfig, e.AcS1, e.AcS2, e.AcTandem),
                  r);
    }
}

TEST_F(AircraftLibraryTest, FindAircraftMatchesWholeNamesExactly) {
    EXPECT_EQ(FindAircraft(library, "DC-9-51"), 76);
    EXPECT_EQ(FindAircraft(library, "Citation VI"), 23);  // not confused with "Citation VII"
    EXPECT_EQ(FindAircraft(library, "sw 6,000"), std::nullopt);
    EXPECT_EQ(FindAircraft(library, "SW 6,000 "), std::nullopt);
    EXPECT_EQ(FindAircraft(library, ""), std::nullopt);
}

// Worked out by hand from S1 and the tandem; the wheels are pinned by the gear plan tests.
TEST_F(AircraftLibraryTest, TiresAndEvaluationPointsFollowTheSpacings) {
    struct Geometry {
        const char* name;
        std::vector<float> tireX, tireY, pointX, pointY;
    };
    const Geometry cases[] = {
        {"DC-3", {0}, {0}, {0}, {0}},
        {"DW 20,000", {-6, 6}, {0, 0}, {6, 4.5f, 3, 0}, {0, 0, 0, 0}},  // S1 12
        {"C-130", {0, 0}, {0, 60}, {0, 0, 0, 0}, {0, 10, 20, 30}},
    };
    for (const Geometry& g : cases) {
        SCOPED_TRACE(g.name);
        const AircraftEntry& e = Named(g.name);
        auto first = [](const auto& a, int n) {
            return std::vector<float>(a.begin(), a.begin() + n);
        };
        EXPECT_EQ(first(e.AcTireX, e.AcTireCount), g.tireX);
        EXPECT_EQ(first(e.AcTireY, e.AcTireCount), g.tireY);
        EXPECT_EQ(first(e.AcPointX, e.AcPointCount), g.pointX);
        EXPECT_EQ(first(e.AcPointY, e.AcPointCount), g.pointY);
    }
}

TEST_F(AircraftLibraryTest, DualSpacingsThatAreNotExactFloatsStillGiveTheDecimalPositions) {
    const AircraftEntry& e = Named("Regional Jet 200");  // S1 = 11.56, S2 = 113.4
    EXPECT_FLOAT_EQ(e.AcWheelY[0], -68.26f);             // -56.7 - 11.56
    EXPECT_FLOAT_EQ(e.AcWheelY[1], -56.7f);
    EXPECT_FLOAT_EQ(e.AcPointX[1], 4.335f);  // 0.375 * 11.56
}

TEST_F(AircraftLibraryTest, ContactLoadIsSharedBetweenTheTiresOfAGear) {
    // SW 6,000: A = 0.475 * 6000 / 1 tire / 75 psi = 38 in^2; W = 2 sqrt(38 / 5.026544)
    // = 5.499042 in. C-130 at 155000 lbs: A = 0.475 * 155000 / 2 / 105 = 350.5952 in^2;
    // W = 2 sqrt(350.5952 / 5.026544) = 16.703145 in. L = 1.6 W.
    const std::pair<const char*, double> cases[] = {{"SW 6,000", 5.499042}, {"C-130", 16.703145}};
    for (const auto& [name, width] : cases) {
        const ContactSize c = ComputeContactSize(Named(name), Named(name).AcGrossLoad);
        EXPECT_NEAR(c.width, width, kContactToleranceIn) << name;
        EXPECT_NEAR(c.length, 1.6 * width, 2 * kContactToleranceIn) << name;
    }
    // Without tires or pressure the contact is zero, not NaN.
    AircraftEntry noTires = Named("SW 6,000");
    noTires.AcTireCount = 0;
    EXPECT_EQ(ComputeContactSize(noTires, 6000).width, 0.0f);
    AircraftEntry noPressure = Named("SW 6,000");
    for (float pressure : {0.0f, -5.0f}) {
        noPressure.AcTirePressure = pressure;
        EXPECT_EQ(ComputeContactSize(noPressure, 6000).length, 0.0f) << pressure;
    }
}

TEST(TotalDepartures, GrowthAddsHalfTheGrowthOverThePeriodUntilTrafficStops) {
    // Annual departures, growth, years, total.
    const std::tuple<float, float, int, float> cases[] = {
        {1200, 0, 20, 24000},  // annual times years
        {1200, 0, 0, 0},
        {100, 0.1f, 10, 1500},  // 100 * 10 * (1 + 0.1 * 10 / 2)
        // 1 - 0.1 * 20 < 0, so traffic stops at t = 10: 100 * 10 * (1 - 0.1 * 10 / 2) = 500,
        // where the uncut formula would give 0.
        {100, -0.1f, 20, 500},
        {40, -0.5f, 20, 40},  // t = 2: 40 * 2 * 0.5, and a longer life changes nothing
        {40, -0.5f, 200, 40},
    };
    for (const auto& [annual, growth, years, total] : cases)
        EXPECT_FLOAT_EQ(ComputeTotalDepartures(annual, growth, years), total)
            << annual << " " << growth << " " << years;
}

TEST(AircraftLibraryDeathTest, EntryOutsideTheLibraryAborts) {
    const AircraftLibrary library = BuildAircraftLibrary();
    EXPECT_DEATH(library.Entry(0), "");
    EXPECT_DEATH(library.Entry(77), "");
}

}  // namespace
}  // namespace tavro::library
