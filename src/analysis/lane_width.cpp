// The lane-width switch of the solver's block routines.
#include "analysis/lane_width.h"

namespace tavro::analysis {

namespace {

bool Supported() {
#if defined(__x86_64__) && defined(__GNUC__)
    return __builtin_cpu_supports("avx512f");
#else
    return false;
#endif
}

bool& Wide() {
    static bool wide = Supported();
    return wide;
}

}  // namespace

bool WideLanes() { return Wide(); }

void SetWideLanes(bool wide) { Wide() = wide && Supported(); }

}  // namespace tavro::analysis
