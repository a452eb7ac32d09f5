// The plan of an aircraft's main gears as the gear view and the gear drawings show it:
// where every main-gear tire stands and how large its contact ellipse is, in inches.
#pragma once

#include <vector>

#include "library/aircraft_library.h"

namespace tavro::library {

// Fore-and-aft offset of the two rows of main gears of the aircraft that have two rows.
inline constexpr double kGearRowOffsetIn = 60.5;

// One tire of the plan. x runs across the direction of travel (positive to the aircraft's
// right), y along it (positive forward); the aircraft centreline is x = 0 and the plan is
// centred fore and aft on y = 0.
struct PlanTire {
    double xIn = 0;
    double yIn = 0;
    double widthIn = 0;   // contact width (across)
    double lengthIn = 0;  // contact length (along)
    int gear = 0;         // 0-based main gear the tire belongs to
};

struct GearPlan {
    std::vector<PlanTire> tires;
    int gearCount = 0;
    double contactWidthIn = 0;
    double contactLengthIn = 0;
    // Half extents of the plan around the origin, tire outlines included.
    double halfWidthIn = 0;
    double halfLengthIn = 0;
};

// The main gears of library entry `entry` carrying `grossLoad` (lbs). Every gear repeats the
// tire pattern of one main gear (AcTireX, AcTireY) around its centroid; the gears stand
// across the aircraft where the spacings put them (by gear configuration: 1 and 2 two
// single gears S1 apart; 3 two dual gears with S2 clear between their inner wheels; 4 four
// dual gears, S3 clear across the centreline and S2 between the gears of one side; 5 a
// centre gear and two gears S2 clear of it), mirrored about the centreline. The "B-52",
// "C-5", "NLA-A" and "C-17A" carry their gears in two rows kGearRowOffsetIn before and
// behind the centre (further apart when the gears would otherwise overlap). An entry
// without tires gives an empty plan.
GearPlan PlanGear(const AircraftEntry& entry, float grossLoad);

}  // namespace tavro::library
