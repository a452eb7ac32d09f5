// The integration coefficients of every layer for one value of the transform parameter m.
#pragma once

#include <vector>

#include "analysis/lea_types.h"

namespace tavro::analysis {

enum class CoefficientStatus { Ok = 0, Underflow = -1 };

// Solves the per-m system of `system` (N >= 2) for unit surface pressure. `coefficients` is
// resized to 4N: layer i's A, B, C, D at 4(i-1)+0..3 (A(N) = C(N) = 0). Underflow (an
// exponential factor below 1e-200) leaves all coefficients 0. Throws AnalysisError when the
// system is singular or the result is not finite.
CoefficientStatus LayerCoefficients(const LayeredSystem& system, double m,
                                    std::vector<double>& coefficients);

}  // namespace tavro::analysis
