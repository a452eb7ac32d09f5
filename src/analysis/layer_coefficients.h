// The integration coefficients of every layer for one value of the transform parameter m.
#pragma once

#include <array>
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

// Nodes solved together: the solves of independent m share every step of the elimination.
inline constexpr int kCoefficientLanes = 8;

// Layer `layer`'s A, B, C, D for each of up to kCoefficientLanes values of m. A lane's
// status is that of the single solve; where the single solve would throw, the lane carries
// the message in `fault` instead (and zero coefficients), so that a caller who never needs
// that node does not fail for it.
struct CoefficientBlock {
    std::array<std::array<double, 4>, kCoefficientLanes> abcd{};
    std::array<CoefficientStatus, kCoefficientLanes> status{};
    std::array<const char*, kCoefficientLanes> fault{};
};

// The solves of LayerCoefficients for m[0..count-1] (count 1..kCoefficientLanes), with the
// same results to the last bit. Throws AnalysisError for a bad structure, layer or count.
void LayerCoefficientsBlock(const LayeredSystem& system, const double* m, int count, int layer,
                            CoefficientBlock& out);

}  // namespace tavro::analysis
