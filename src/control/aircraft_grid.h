// The design grid of the aircraft window as text: its twelve two-line headers and the cells
// of every row, in the display units of the unit set.
#pragma once

#include <array>
#include <string>

#include "core/program_state.h"

namespace tavro::control {

inline constexpr int kGridColumns = 12;

enum GridColumn {
    kColName = 0,
    kColGrossLoad = 1,
    kColDepartures = 2,
    kColGrowth = 3,
    kColOverload = 4,
    kColTotalDepartures = 5,
    kColTirePressure = 6,
    kColGearShare = 7,
    kColDualSpacing = 8,
    kColTandemSpacing = 9,
    kColContactWidth = 10,
    kColContactLength = 11,
};

// The weight label of the grid: "lbs", or "tns" in metric units.
std::string GridWeightLabel(const core::UnitSet& units);

// The two header lines of column `col` (0..11) for a list of `count` aircraft.
std::array<std::string, 2> GridHeader(int col, const core::UnitSet& units, int count);

// Cell text of design aircraft `row` (0-based) of the current section; "" for a row or
// column outside the list (the blank row an empty list shows).
std::string GridCell(const core::ProgramState& state, int row, int col);

}  // namespace tavro::control
