// The tie between the subgrade's modulus and its strength: CBR for flexible structures, k
// for rigid ones and overlays on existing pavements.
#pragma once

#include "core/section.h"

namespace tavro::control {

// Flexible: neither a rigid pavement (10) nor concrete on flexible (3), and no existing
// pavement under an overlay.
inline bool IsFlexibleStructure(const core::CurrentSectionRecord& s) {
    return s.PavementType != core::kNewRigid && s.PavementType != core::kPccOnFlexible &&
           !s.ExistingPavement;
}

double SubgradeCbr(double modulusPsi);  // modulus / 1000
double SubgradeK(double modulusPsi);    // (modulus / 26)^(1 / 1.284), pci
double ModulusOfCbr(double cbr);        // 1000 x CBR, psi
double ModulusOfK(double kPci);         // 26 x k^1.284, psi

}  // namespace tavro::control
