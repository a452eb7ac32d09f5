// Places the tire pattern of one main gear at every main gear of the aircraft.
#include "library/gear_plan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace tavro::library {

namespace {

// Aircraft whose main gears stand in a forward and an aft row.
constexpr std::array<std::string_view, 4> kTwoRowAircraft = {"B-52", "C-5", "NLA-A", "C-17A"};

// Clear distance kept between the tires of the two rows when the row offset has to grow.
constexpr double kRowClearanceIn = 4;

struct Pattern {
    std::vector<std::pair<double, double>> tires;  // around the gear's tire centroid
    double spanY = 0;                              // fore-and-aft span of the tire centres
};

Pattern GearPattern(const AircraftEntry& e) {
    Pattern p;
    const int count = std::clamp<int>(e.AcTireCount, 0, kMaxGearTires);
    double sx = 0, sy = 0;
    for (int t = 0; t < count; ++t) {
        sx += e.AcTireX[static_cast<std::size_t>(t)];
        sy += e.AcTireY[static_cast<std::size_t>(t)];
    }
    if (count == 0) return p;
    const double cx = sx / count, cy = sy / count;
    double lo = 0, hi = 0;
    for (int t = 0; t < count; ++t) {
        const double y = e.AcTireY[static_cast<std::size_t>(t)] - cy;
        p.tires.emplace_back(e.AcTireX[static_cast<std::size_t>(t)] - cx, y);
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    p.spanY = hi - lo;
    return p;
}

// Centres of the main gears right of the centreline (0 for a gear on the centreline),
// from the lateral spacings of the gear configuration.
std::vector<double> GearCentres(const AircraftEntry& e) {
    const double s1 = e.AcS1, s2 = e.AcS2, s3 = e.AcS3;
    switch (e.AcGearConfig) {
        case 3:
            return {s2 / 2 + s1 / 2};
        case 4:
            return {s3 / 2 + s1 / 2, s3 / 2 + s1 + s2 + s1 / 2};
        case 5:
            return {0, s1 + s2};
        default:
            return {s1 / 2};  // 1 and 2: two single or tandem gears S1 apart
    }
}

bool HasTwoRows(const AircraftEntry& e) {
    return std::find(kTwoRowAircraft.begin(), kTwoRowAircraft.end(), e.AcName) !=
           kTwoRowAircraft.end();
}

void AddGear(GearPlan& plan, const Pattern& p, double centreX, double rowY, bool mirrored) {
    for (const auto& [x, y] : p.tires) {
        const double across = centreX + x;
        plan.tires.push_back({mirrored ? -across : across, rowY + y, plan.contactWidthIn,
                              plan.contactLengthIn, plan.gearCount});
    }
    ++plan.gearCount;
}

}  // namespace

GearPlan PlanGear(const AircraftEntry& entry, float grossLoad) {
    GearPlan plan;
    const Pattern pattern = GearPattern(entry);
    if (pattern.tires.empty()) return plan;
    const ContactSize contact = ComputeContactSize(entry, grossLoad);
    plan.contactWidthIn = contact.width;
    plan.contactLengthIn = contact.length;

    std::vector<double> rows{0};
    if (HasTwoRows(entry)) {
        const double offset = std::max(
            kGearRowOffsetIn, (pattern.spanY + plan.contactLengthIn + kRowClearanceIn) / 2);
        rows = {offset, -offset};
    }
    for (double rowY : rows) {
        for (double c : GearCentres(entry)) {
            if (c == 0) {
                AddGear(plan, pattern, 0, rowY, false);
                continue;
            }
            AddGear(plan, pattern, c, rowY, true);
            AddGear(plan, pattern, c, rowY, false);
        }
    }
    for (const PlanTire& t : plan.tires) {
        plan.halfWidthIn = std::max(plan.halfWidthIn, std::abs(t.xIn) + t.widthIn / 2);
        plan.halfLengthIn = std::max(plan.halfLengthIn, std::abs(t.yIn) + t.lengthIn / 2);
    }
    return plan;
}

}  // namespace tavro::library
