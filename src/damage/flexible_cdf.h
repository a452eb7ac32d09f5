// The flexible failure models (subgrade vertical strain, asphalt horizontal strain) and
// the cumulative damage factor over the lateral grid, from the result file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/program_state.h"
#include "core/user_port.h"

namespace tavro::damage {

// The numbers of each aircraft line of a result file text. The 6 header lines are skipped and
// line 6 + i belongs to aircraft i (1..aircraftCount, entry i - 1): a 12-character label,
// then numbers separated by blanks or commas, of which the first `numbers` are returned.
// A line that is missing, shorter than the label or without that many numbers gives nullopt.
std::vector<std::optional<std::vector<double>>> ParseResultLines(std::string_view text,
                                                                 int aircraftCount, int numbers);

// The largest value of a per-position array (positions 1..41) and the first position holding it.
struct GridMaximum {
    float value = 0;
    int position = 1;
};
GridMaximum MaximumOverGrid(const std::array<float, core::kLateralPositions + 1>& byPosition);

// A run whose result file lacked aircraft lines ends: when DesignRunning is set, it is cleared
// and `text` is shown in a box titled "File Error". Nothing happens outside a run.
void EndRunOnReadError(core::ProgramState& state, core::UserPort& ui, std::string_view text);

enum class FlexibleCriterion { Subgrade, Asphalt };

struct FlexibleCdfResult {
    float cdf = 0;              // largest CDF over the 41 positions
    int criticalPosition = 0;   // first position holding it
    bool strainsTooLow = true;  // subgrade: every included aircraft below 0.0001; asphalt: true
    bool readError = false;     // the result file lacked aircraft lines (message shown)
};

// Reads ProgramDir + "DAMTMP.DAT", converts each aircraft's strain to allowable coverages
// with `criterion`, and sums Miner's damage over the grid for evaluation depth `depth`.
// Fills state.Run.Damage (coverages per pass, CDF per position, responses, coverages).
// Overload aircraft are left out. Pending events are processed per aircraft and position.
FlexibleCdfResult ComputeFlexibleCDF(core::ProgramState& state, core::UserPort& ui, double depth,
                                     FlexibleCriterion criterion);

}  // namespace tavro::damage
