// The lane-width switch of the solver's block routines.
#include "analysis/lane_width.h"

#include <algorithm>

namespace tavro::analysis {

namespace {

bool Supported(LaneWidth width) {
    switch (width) {
        case LaneWidth::Pairs:
            return true;
#if defined(__x86_64__) && defined(__GNUC__)
        case LaneWidth::Quads:
            return __builtin_cpu_supports("avx2");
        case LaneWidth::Octets:
            return __builtin_cpu_supports("avx512f");
#endif
        default:
            return false;
    }
}

LaneWidth Widest() {
    for (const LaneWidth w : {LaneWidth::Octets, LaneWidth::Quads}) {
        if (Supported(w)) return w;
    }
    return LaneWidth::Pairs;
}

LaneWidth& Active() {
    static LaneWidth width = Widest();
    return width;
}

}  // namespace

LaneWidth ActiveLaneWidth() { return Active(); }

std::vector<LaneWidth> AvailableLaneWidths() {
    std::vector<LaneWidth> widths;
    for (const LaneWidth w : {LaneWidth::Pairs, LaneWidth::Quads, LaneWidth::Octets}) {
        if (Supported(w)) widths.push_back(w);
    }
    return widths;
}

bool SetLaneWidth(LaneWidth width) {
    if (!Supported(width)) return false;
    Active() = width;
    return true;
}

void ResetLaneWidth() { Active() = Widest(); }

}  // namespace tavro::analysis
