#include "core/units.h"

namespace tavro::core {

void ApplyUnits(UnitSet& units, bool metric) {
    units.metric = metric;
    if (!metric) {
        units.thickness = {1.0, "in", "#,##0.00"};
        units.load = {1.0, "lbs", "#,###,##0"};
        units.pressure = {1.0, "psi", "#,##0"};
        units.modulus = {1.0, "psi", "#,##0"};
        units.subgradeReaction = {1.0, "pci", "#,##0.0"};
        return;
    }
    units.thickness = {25.4, "mm", "#,##0.0"};
    units.load = {1.0 / 2204.6225, "tonnes", "#,##0.000"};
    units.pressure = {6.894757, "kPa", "#,##0"};
    units.modulus = {0.006894757, "MPa", "#,##0.00"};
    // 1 pci = 0.27144703 MN/m^3; the label names the unit the factor converts to.
    units.subgradeReaction = {0.27144703, "MN/m^3", "#,##0.0"};
}

}  // namespace tavro::core
