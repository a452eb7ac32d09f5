// What the damage chart beside the structure drawing shows after a run: the CDF at each of
// the 41 lateral positions across the pavement, split per design aircraft, and the critical
// position.
#pragma once

#include <string>
#include <vector>

namespace tavro::core {
struct ProgramState;
}

namespace tavro::control {

struct DamageChart {
    std::vector<double> offsetsIn;  // lateral offset of each position from the gear centreline
    struct Series {
        std::string aircraft;
        std::vector<double> cdf;  // its share of the CDF at each position
    };
    std::vector<Series> series;  // one per design aircraft, in list order
    std::vector<double> total;   // the CDF at each position
    int criticalPosition = 0;    // 1..41, 0 when no run has left a table
};

// The chart of the last damage computation of the current section. Each aircraft's share at
// a position is its Miner's ratio there (coverages per pass x departures / allowable
// coverages), scaled so the shares add up to the CDF the run computed at that position.
DamageChart MakeDamageChart(const core::ProgramState& state);

}  // namespace tavro::control
