// The gear plan against geometry worked out by hand from the library's spacings.
#include "library/gear_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tavro::library {
namespace {

// Positions are sums and halves of single spacings in double: beyond this is a fault.
constexpr double kExactIn = 1e-9;

const AircraftEntry& Named(std::string_view name) {
    static const AircraftLibrary library = BuildAircraftLibrary();
    return library.Entry(*FindAircraft(library, name));
}

// Distinct values, sorted, merged within kExactIn.
std::vector<double> Distinct(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::vector<double> out;
    for (double x : v)
        if (out.empty() || x - out.back() > kExactIn) out.push_back(x);
    return out;
}

std::vector<double> Xs(const GearPlan& p, double PlanTire::*axis = &PlanTire::xIn) {
    std::vector<double> v;
    for (const auto& t : p.tires) v.push_back(t.*axis);
    return Distinct(v);
}

std::vector<double> Ys(const GearPlan& p) { return Xs(p, &PlanTire::yIn); }

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], kExactIn) << i;
}

// Every tire has its mirror image about the centreline, in the same row.
void ExpectMirrored(const GearPlan& p) {
    for (const auto& t : p.tires) {
        const bool found = std::any_of(p.tires.begin(), p.tires.end(), [&](const PlanTire& m) {
            return std::abs(m.xIn + t.xIn) < kExactIn && std::abs(m.yIn - t.yIn) < kExactIn;
        });
        EXPECT_TRUE(found) << "no mirror of (" << t.xIn << ", " << t.yIn << ")";
    }
}

TEST(GearPlan, BuiltInGearsStandOnTheWheelsOfTheWanderModel) {
    // Single (configurations 1 and 2), dual, and the C-130's single tandem.
    for (const char* name :
         {"SW 6,000", "F-16c", "DC-3", "DW 20,000", "B-727-100", "F-50", "C-130"}) {
        SCOPED_TRACE(name);
        const AircraftEntry& e = Named(name);
        const GearPlan p = PlanGear(e, e.AcGrossLoad);
        ExpectMirrored(p);
        // The library stores its wheel positions in single precision.
        const auto x = Xs(p);
        // The wheels across the aircraft as the wander model sees them.
        const auto wheels = Distinct({e.AcWheelY.begin(), e.AcWheelY.begin() + e.AcWheelCount});
        ASSERT_EQ(std::vector<float>(x.begin(), x.end()),
                  std::vector<float>(wheels.begin(), wheels.end()));
        // The dual spacing and the clear gap, unrounded.
        EXPECT_NEAR(x[1] - x[0], e.AcS1, kExactIn);
        if (e.AcGearCode == "D") {
            EXPECT_NEAR(x[2] - x[1], e.AcS2, kExactIn);
        }
        EXPECT_EQ(p.gearCount, 2);
        EXPECT_EQ(static_cast<int>(p.tires.size()), 2 * e.AcTireCount);
    }
}

// The C-130's tandem is centred on its axles as the DT fixture below is.
TEST(GearPlan, EveryTireHasTheContactEllipseAndTheHalfWidthReachesItsEdge) {
    const GearPlan p = PlanGear(Named("SW 6,000"), 6000);  // tires at +-25
    // The contact width W = 5.4990 in is worked out in the aircraft library test.
    EXPECT_NEAR(p.contactLengthIn, 1.6 * 5.4990, 1e-3);
    for (const auto& t : p.tires) EXPECT_EQ(t.widthIn, p.contactWidthIn);
    EXPECT_NEAR(p.halfWidthIn, 25 + 5.4990 / 2, 1e-4);
}

// A library entry given whole, as the gear configurations no built-in aircraft uses are.
AircraftEntry Fixture(const char* name, int config, double s1, double s2, double s3,
                      std::vector<std::pair<double, double>> tires) {
    AircraftEntry e;
    e.AcName = name;
    e.AcGrossLoad = 400000;
    e.AcGearShare = 0.2f;
    e.AcTirePressure = 200;
    e.AcGearCode = "D";
    e.AcGearConfig = static_cast<std::int16_t>(config);
    e.AcS1 = static_cast<float>(s1);
    e.AcS2 = static_cast<float>(s2);
    e.AcS3 = static_cast<float>(s3);
    for (const auto& [x, y] : tires) {
        e.AcTireX[static_cast<std::size_t>(e.AcTireCount)] = static_cast<float>(x);
        e.AcTireY[static_cast<std::size_t>(e.AcTireCount++)] = static_cast<float>(y);
    }
    return e;
}

TEST(GearPlan, GearConfigurationsPlaceEveryGearAndTire) {
    struct Case {
        AircraftEntry entry;
        int gears;  // each with the entry's tires
        std::vector<double> xs, ys;
    };
    const double row = kGearRowOffsetIn;
    const Case cases[] = {
        // Dual tandem, S1 30, S2 100, T 50: gear centres at +-65, tires at +-50 and +-80,
        // axles at +-25.
        {Fixture("DT", 3, 30, 100, 0, {{-15, 0}, {15, 0}, {-15, 50}, {15, 50}}),
         2,
         {-80, -50, 50, 80},
         {-25, 25}},
        // Eight wheels across, S1 40, S2 60, S3 80: inner gears at +-60 (wheels 40, 80),
        // outer at +-160 (140, 180).
        {Fixture("DDT", 4, 40, 60, 80, {{-20, 0}, {20, 0}}),
         4,
         {-180, -140, -80, -40, 40, 80, 140, 180},
         {0}},
        // Six wheels across, S1 40, S2 60: a centre gear at 0 (wheels +-20), the others at
        // +-100 (80, 120).
        {Fixture("DC", 5, 40, 60, 0, {{-20, 0}, {20, 0}}), 3, {-120, -80, -20, 20, 80, 120}, {0}},
        // Two-row aircraft carry their gears four times; the name decides.
        {Fixture("C-5", 3, 30, 100, 0, {{-15, 0}, {15, 0}}), 4, {-80, -50, 50, 80}, {-row, row}},
        {Fixture("C-50", 3, 30, 100, 0, {{-15, 0}, {15, 0}}), 2, {-80, -50, 50, 80}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry.AcName);
        const GearPlan p = PlanGear(c.entry, c.entry.AcGrossLoad);
        ExpectMirrored(p);
        EXPECT_EQ(p.gearCount, c.gears);
        EXPECT_EQ(p.tires.size(), static_cast<std::size_t>(c.gears * c.entry.AcTireCount));
        ExpectNear(Xs(p), c.xs);
        ExpectNear(Ys(p), c.ys);
    }
}

TEST(GearPlan, RowsMoveApartRatherThanOverlap) {
    // Axles 120 in apart: at +-60.5 the front tire of the aft row would overlap the rear
    // tire of the forward row.
    const AircraftEntry e =
        Fixture("B-52", 3, 30, 100, 0, {{-15, 0}, {15, 0}, {-15, 120}, {15, 120}});
    const GearPlan p = PlanGear(e, e.AcGrossLoad);
    const auto y = Ys(p);
    ASSERT_EQ(y.size(), 4u);
    EXPECT_GT(y[2] - y[1], p.contactLengthIn);  // clear between the rows
    EXPECT_NEAR(y[3] - y[2], 120, kExactIn);
    EXPECT_NEAR(y[1] + y[2], 0, kExactIn);
}

TEST(GearPlan, EntryWithoutTiresHasNoPlan) {
    EXPECT_TRUE(PlanGear(AircraftEntry{}, 1000).tires.empty());
}

}  // namespace
}  // namespace tavro::library
