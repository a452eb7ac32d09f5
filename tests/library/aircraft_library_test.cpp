#include "library/aircraft_library.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tavro::library {
namespace {

// Contact sizes are stored single; 1e-5 in is well below their last stored digit's effect
// on any response yet far above the float rounding of a 5..30 in value.
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
    const std::vector<std::pair<std::string, int>> expected = {{"Generic", 1},
                                                               {"Boeing", 10},
                                                               {"Bombardier Aerspc", 11},
                                                               {"Canadair", 13},
                                                               {"Cessna", 17},
                                                               {"Dassault", 30},
                                                               {"Fokker", 33},
                                                               {"Grumman", 34},
                                                               {"Piper", 38},
                                                               {"Raytheon/Beechcraft", 45},
                                                               {"Sabreliner Corp.", 56},
                                                               {"Shorts", 60},
                                                               {"Military Aircraft", 62},
                                                               {"Heavy Civil Aircraft", 66}};
    for (std::size_t g = 0; g < expected.size(); ++g) {
        EXPECT_EQ(library.groups[g].AcGroupName, expected[g].first);
        EXPECT_EQ(library.groups[g].AcGroupStart, expected[g].second);
    }
    EXPECT_EQ(library.GroupRange(1), std::make_pair(1, 9));
    EXPECT_EQ(library.GroupRange(2), std::make_pair(10, 10));
    EXPECT_EQ(library.GroupRange(14), std::make_pair(66, 76));
}

TEST_F(AircraftLibraryTest, NamesAreUniqueAndFitTheJobFileField) {
    std::set<std::string> names;
    for (const AircraftEntry& e : library.entries) {
        EXPECT_TRUE(names.insert(e.AcName).second) << "duplicate " << e.AcName;
        EXPECT_LE(e.AcName.size(), 20u) << e.AcName;
        EXPECT_FALSE(e.AcName.empty());
    }
}

TEST_F(AircraftLibraryTest, EveryEntryCarriesTheStandardGearShareAndAValidContact) {
    for (const AircraftEntry& e : library.entries) {
        SCOPED_TRACE(e.AcName);
        EXPECT_EQ(e.AcGearShare, 0.475f);
        EXPECT_EQ(e.AcS3, 0.0f);
        EXPECT_GT(e.AcTirePressure, 0.0f);
        EXPECT_GE(e.AcTireCount, 1);
        EXPECT_GE(e.AcPointCount, 1);
        EXPECT_GE(e.AcWheelCount, 2);
    }
}

TEST_F(AircraftLibraryTest, SpotCheckedRowsMatchTheTable) {
    struct Row {
        int index;
        const char* name;
        float gross, pressure;
        const char* code;
        int config;
        float s1, s2, tandem;
    };
    const Row rows[] = {
        {1, "SW 6,000", 6000, 75, "B", 2, 50, 0, 0},
        {9, "DW 60,000", 60000, 178, "D", 3, 17, 165, 0},
        {10, "DC-3", 26900, 45, "B", 2, 222, 0, 0},
        {14, "Challenger CL-604", 48200, 145, "D", 3, 17.4f, 125, 0},
        {15, "Regional Jet 200", 47450, 177, "D", 3, 11.56f, 113.4f, 0},
        {21, "Grn Caravan CE-208B", 8750, 75, "B", 2, 164, 0, 0},
        {33, "F-50", 42110, 80, "D", 3, 20.3f, 283.5f, 0},
        {44, "Navajo C", 6536, 66, "B", 2, 165, 0, 0},
        {56, "Sabreliner 40", 19035, 185, "B", 2, 86.52f, 0, 0},
        {62, "C-130", 155000, 105, "E", 2, 172, 171, 60},
        {64, "F-15c", 68000, 340, "B", 1, 108.25f, 0, 0},
        {71, "Foker F-28-1000", 66500, 96, "D", 3, 22.8f, 198.4f, 0},
        {76, "DC-9-51", 122000, 170, "D", 3, 27.6f, 190, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        const AircraftEntry& e = library.Entry(r.index);
        EXPECT_EQ(e.AcName, r.name);
        EXPECT_EQ(e.AcGrossLoad, r.gross);
        EXPECT_EQ(e.AcTirePressure, r.pressure);
        EXPECT_EQ(e.AcGearCode, r.code);
        EXPECT_EQ(e.AcGearConfig, r.config);
        EXPECT_EQ(e.AcS1, r.s1);
        EXPECT_EQ(e.AcS2, r.s2);
        EXPECT_EQ(e.AcTandem, r.tandem);
    }
}

TEST_F(AircraftLibraryTest, FindAircraftMatchesWholeNamesExactly) {
    EXPECT_EQ(FindAircraft(library, "SW 6,000"), 1);
    EXPECT_EQ(FindAircraft(library, "DC-9-51"), 76);
    EXPECT_EQ(FindAircraft(library, "Citation VI"), 23);  // not confused with "Citation VII"
    EXPECT_EQ(FindAircraft(library, "sw 6,000"), std::nullopt);
    EXPECT_EQ(FindAircraft(library, "SW 6,000 "), std::nullopt);
    EXPECT_EQ(FindAircraft(library, "B-777"), std::nullopt);
    EXPECT_EQ(FindAircraft(library, ""), std::nullopt);
}

TEST_F(AircraftLibraryTest, SingleWheelGearHasOneTireAndWheelsHalfTheGearTrackOut) {
    const AircraftEntry& e = Named("DC-3");  // S1 = 222
    ASSERT_EQ(e.AcTireCount, 1);
    EXPECT_EQ(e.AcTireX[0], 0.0f);
    EXPECT_EQ(e.AcTireY[0], 0.0f);
    ASSERT_EQ(e.AcPointCount, 1);
    EXPECT_EQ(e.AcPointX[0], 0.0f);
    ASSERT_EQ(e.AcWheelCount, 2);
    EXPECT_EQ(e.AcWheelY[0], -111.0f);
    EXPECT_EQ(e.AcWheelY[1], 111.0f);
    EXPECT_EQ(e.AcS2, 0.0f);
    EXPECT_EQ(e.AcTandem, 0.0f);
}

TEST_F(AircraftLibraryTest, DualWheelGearOfDw20000) {
    const AircraftEntry& e = Named("DW 20,000");  // S1 = 12, S2 = 50
    ASSERT_EQ(e.AcTireCount, 2);
    EXPECT_EQ(e.AcTireX[0], -6.0f);
    EXPECT_EQ(e.AcTireX[1], 6.0f);
    EXPECT_EQ(e.AcTireY[0], 0.0f);
    EXPECT_EQ(e.AcTireY[1], 0.0f);
    ASSERT_EQ(e.AcPointCount, 4);
    const float pointX[] = {6.0f, 4.5f, 3.0f, 0.0f};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(e.AcPointX[p], pointX[p]) << p;
        EXPECT_EQ(e.AcPointY[p], 0.0f) << p;
    }
    ASSERT_EQ(e.AcWheelCount, 4);
    const float wheels[] = {-37.0f, -25.0f, 25.0f, 37.0f};  // -50/2-12, -50/2, ...
    for (int w = 0; w < 4; ++w) EXPECT_EQ(e.AcWheelY[w], wheels[w]) << w;
    EXPECT_EQ(e.AcS2, 50.0f);  // kept for dual gears
}

TEST_F(AircraftLibraryTest, WheelsOfB727AreOuterAndInnerDualsOfBothGears) {
    const AircraftEntry& e = Named("B-727-100");  // S1 = 34, S2 = 191
    ASSERT_EQ(e.AcWheelCount, 4);
    EXPECT_EQ(e.AcWheelY[0], -129.5f);
    EXPECT_EQ(e.AcWheelY[1], -95.5f);
    EXPECT_EQ(e.AcWheelY[2], 95.5f);
    EXPECT_EQ(e.AcWheelY[3], 129.5f);
}

TEST_F(AircraftLibraryTest, DualSpacingsThatAreNotExactFloatsStillGiveTheDecimalPositions) {
    const AircraftEntry& e = Named("Regional Jet 200");  // S1 = 11.56, S2 = 113.4
    EXPECT_FLOAT_EQ(e.AcWheelY[0], -68.26f);             // -56.7 - 11.56
    EXPECT_FLOAT_EQ(e.AcWheelY[1], -56.7f);
    EXPECT_FLOAT_EQ(e.AcPointX[1], 4.335f);  // 0.375 * 11.56
}

TEST_F(AircraftLibraryTest, C130KeepsItsGivenTandemGeometry) {
    const AircraftEntry& e = Named("C-130");
    EXPECT_EQ(e.AcS1, 172.0f);
    EXPECT_EQ(e.AcS2, 171.0f);
    EXPECT_EQ(e.AcTandem, 60.0f);
    ASSERT_EQ(e.AcTireCount, 2);
    EXPECT_EQ(e.AcTireX[0], 0.0f);
    EXPECT_EQ(e.AcTireY[0], 0.0f);
    EXPECT_EQ(e.AcTireX[1], 0.0f);
    EXPECT_EQ(e.AcTireY[1], 60.0f);
    ASSERT_EQ(e.AcPointCount, 4);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(e.AcPointX[p], 0.0f);
        EXPECT_EQ(e.AcPointY[p], 10.0f * static_cast<float>(p));
    }
    ASSERT_EQ(e.AcWheelCount, 2);
    EXPECT_EQ(e.AcWheelY[0], -86.0f);
    EXPECT_EQ(e.AcWheelY[1], 86.0f);
}

TEST_F(AircraftLibraryTest, ContactOfSw6000AtItsDefaultLoad) {
    // By hand: A = 0.475 * 6000 / 1 tire / 75 psi = 38 in^2; 38 / 5.026544 = 7.559866;
    // sqrt = 2.749521; W = 5.499042 in; L = 1.6 W = 8.798467 in.
    const ContactSize c = ComputeContactSize(Named("SW 6,000"), 6000);
    EXPECT_NEAR(c.width, 5.499042, kContactToleranceIn);
    EXPECT_NEAR(c.length, 8.798467, kContactToleranceIn);
}

TEST_F(AircraftLibraryTest, ContactLoadIsSharedBetweenTheTiresOfAGear) {
    // C-130 at 155000 lbs: A = 0.475 * 155000 / 2 / 105 = 350.5952 in^2;
    // W = 2 sqrt(350.5952 / 5.026544) = 2 * 8.351573 = 16.703145 in.
    const ContactSize c = ComputeContactSize(Named("C-130"), 155000);
    EXPECT_NEAR(c.width, 16.703145, kContactToleranceIn);
    EXPECT_NEAR(c.length, 1.6 * 16.703145, 2 * kContactToleranceIn);
}

TEST_F(AircraftLibraryTest, ContactOfAnEntryWithoutTiresOrPressureIsZeroNotNaN) {
    AircraftEntry noTires = Named("SW 6,000");
    noTires.AcTireCount = 0;
    EXPECT_EQ(ComputeContactSize(noTires, 6000).width, 0.0f);
    EXPECT_EQ(ComputeContactSize(noTires, 6000).length, 0.0f);
    AircraftEntry noPressure = Named("SW 6,000");
    noPressure.AcTirePressure = 0;
    EXPECT_EQ(ComputeContactSize(noPressure, 6000).width, 0.0f);
    noPressure.AcTirePressure = -5;
    EXPECT_EQ(ComputeContactSize(noPressure, 6000).length, 0.0f);
}

TEST(TotalDepartures, WithoutGrowthAreAnnualTimesYears) {
    EXPECT_EQ(ComputeTotalDepartures(1200, 0, 20), 24000.0f);
    EXPECT_EQ(ComputeTotalDepartures(1200, 0, 0), 0.0f);
}

TEST(TotalDepartures, GrowthAddsHalfTheGrowthOverThePeriod) {
    // 100 * 10 * (1 + 0.1 * 10 / 2) = 1500; 100 * 20 * (1 - 0.02 * 20 / 2) = 1600.
    EXPECT_FLOAT_EQ(ComputeTotalDepartures(100, 0.1f, 10), 1500.0f);
    EXPECT_FLOAT_EQ(ComputeTotalDepartures(100, -0.02f, 20), 1600.0f);
}

TEST(TotalDepartures, StrongDeclineStopsTrafficWhenItReachesZero) {
    // 1 - 0.1 * 20 < 0, so t = 10: 100 * 10 * (1 - 0.1 * 10 / 2) = 500. Without the cut the
    // formula would give 100 * 20 * (1 - 1) = 0.
    EXPECT_FLOAT_EQ(ComputeTotalDepartures(100, -0.1f, 20), 500.0f);
    // 1 - 0.5 * 20 < 0: t = 2, 40 * 2 * 0.5 = 40, and a longer life changes nothing.
    EXPECT_FLOAT_EQ(ComputeTotalDepartures(40, -0.5f, 20), 40.0f);
    EXPECT_FLOAT_EQ(ComputeTotalDepartures(40, -0.5f, 200), 40.0f);
}

TEST(AircraftLibraryDeathTest, EntryOutsideTheLibraryAborts) {
    const AircraftLibrary library = BuildAircraftLibrary();
    EXPECT_DEATH(library.Entry(0), "");
    EXPECT_DEATH(library.Entry(77), "");
}

}  // namespace
}  // namespace tavro::library
