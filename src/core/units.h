// The unit set: values are stored and computed in English units; the unit set converts
// them for display and entry only.
#pragma once

#include <string>

namespace tavro::core {

struct UnitQuantity {
    double factor = 1;  // displayed = stored * factor; stored = entered / factor
    std::string label;
    std::string mask;
};

struct UnitSet {
    bool metric = false;
    UnitQuantity thickness, load, pressure, modulus, subgradeReaction;
};

// Fills the unit set for English (metric = false) or metric display. The metric subgrade
// reaction is shown in MN/m^3 (factor 0.27144703), so that factor and label agree.
void ApplyUnits(UnitSet& units, bool metric);

}  // namespace tavro::core
