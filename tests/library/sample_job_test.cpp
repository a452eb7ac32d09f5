#include "library/sample_job.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "library/aircraft_library.h"
#include "library/layer_library.h"

namespace tavro::library {
namespace {

TEST(SampleJob, ThreeTwentyYearSectionsOfTheTabledLayersOnASubgrade) {
    struct Expected {
        const char* name;
        std::vector<std::pair<int, float>> layers;
    };
    const Expected expected[] = {
        {"ACAggregate", {{1, 4.5f}, {6, 10.0f}, {4, 0.0f}}},
        {"AConFlex", {{10, 2.0f}, {1, 3.0f}, {6, 6.0f}, {4, 0.0f}}},
        {"NewFlexible", {{1, 2.0f}, {14, 2.0f}, {6, 8.0f}, {4, 0.0f}}},
    };
    const auto sections = SampleSections();
    ASSERT_EQ(sections.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(sections[i].name, expected[i].name);
        EXPECT_EQ(sections[i].designLife, 20);
        std::vector<std::pair<int, float>> layers;
        for (const auto& l : sections[i].layers) layers.emplace_back(l.type, l.thickness);
        EXPECT_EQ(layers, expected[i].layers);
    }
    // The aircraft are library entries with the tabled traffic.
    const AircraftLibrary library = BuildAircraftLibrary();
    std::vector<std::size_t> counts;
    for (const SampleSection& s : sections) {
        counts.push_back(s.aircraft.size());
        for (const SampleAircraft& a : s.aircraft) {
            EXPECT_TRUE(FindAircraft(library, a.name).has_value()) << a.name;
            EXPECT_EQ(a.annualGrowth, 0.0f) << a.name;
            EXPECT_GT(a.annualDepartures, 0.0f) << a.name;
        }
    }
    ASSERT_EQ(counts, (std::vector<std::size_t>{4, 7, 4}));
    // Below the library's gross weight (ACAggregate's traffic: the cli's copy test).
    EXPECT_EQ(sections[2].aircraft[2].name, "DC-3");
    EXPECT_EQ(sections[2].aircraft[2].grossLoad, 25200.0f);
}

}  // namespace
}  // namespace tavro::library
