// Which lane-vector width the solver's block routines use: the widest the processor has
// (one AVX-512 register of eight, two AVX2 registers of four, or SSE2 pairs). Every width
// gives the same numbers to the last bit; tests run each one the processor has.
#pragma once

#include <vector>

namespace tavro::analysis {

enum class LaneWidth { Pairs, Quads, Octets };

LaneWidth ActiveLaneWidth();

// The widths this processor runs, narrowest first; Pairs is always among them.
std::vector<LaneWidth> AvailableLaneWidths();

// A test's switch: false, and nothing changed, for a width the processor lacks.
bool SetLaneWidth(LaneWidth width);

// Back to the widest available, which the program uses.
void ResetLaneWidth();

}  // namespace tavro::analysis
