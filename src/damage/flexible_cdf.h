// The flexible failure models (subgrade vertical strain, asphalt horizontal strain) and
// the cumulative damage factor over the lateral grid, from the result file.
#pragma once

#include "core/program_state.h"
#include "core/user_port.h"

namespace tavro::damage {

enum class FlexibleCriterion { Subgrade, Asphalt };

struct FlexibleCdfResult {
    float cdf = 0;               // largest CDF over the 41 positions
    int criticalPosition = 0;    // first position holding it
    bool strainsTooLow = true;   // subgrade: every included aircraft below 0.0001; asphalt: true
    bool readError = false;      // the result file lacked aircraft lines (message shown)
};

// Reads ProgramDir + "DAMTMP.DAT", converts each aircraft's strain to allowable coverages
// with `criterion`, and sums Miner's damage over the grid for evaluation depth `depth`.
// Fills state.Run.Damage (coverages per pass, CDF per position, responses, coverages).
// Overload aircraft are left out. Pending events are processed per aircraft and position.
FlexibleCdfResult ComputeFlexibleCDF(core::ProgramState& state, core::UserPort& ui, double depth,
                                     FlexibleCriterion criterion);

}  // namespace tavro::damage
