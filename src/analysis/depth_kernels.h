// The pieces of a depth evaluation that do not depend on how the nodes are walked: the
// convergence thresholds, the geometry of the depth, the kernels of one node and the
// finish of an aircraft's sums. The block evaluation and the node-by-node reference it is
// tested against share them, so that they differ in the walk alone.
#pragma once

#include <vector>

#include "analysis/lea_types.h"

namespace tavro::analysis::depth {

// A point has converged when the node's magnitude, relative to the accumulated response,
// falls below this.
inline constexpr double kStrainThreshold = 0.0001;
inline constexpr double kDeflectionThreshold = 0.0001;
inline constexpr double kStressThreshold = 1e-6;
// Below this the stress size of a tire at a point is taken as this (no division by zero).
inline constexpr double kSmallestStressSize = 1e-12;
inline constexpr double kSmallestScale = 1e-20;
// Within this the two integration scales are treated as one (stress: one solution per node).
inline constexpr double kSameScale = 0.001;
// A tire centre closer than this to the point: the x axis is the radial direction.
inline constexpr double kOnAxis = 1e-6;

inline bool IsHorizontal(ResponseKind kind) {
    return kind == ResponseKind::HorizontalStress || kind == ResponseKind::HorizontalStrain;
}

inline double Threshold(ResponseKind kind) {
    switch (kind) {
        case ResponseKind::VerticalStrain:
            return kStrainThreshold;
        case ResponseKind::VerticalDeflection:
            return kDeflectionThreshold;
        default:
            return kStressThreshold;
    }
}

// Kernels of one node for the two parts of the integrand: part 1 (A, C; scale L1, m1) and
// part 2 (B, D; scale L2, m2). Vertical kinds use k1/k2; horizontal kinds use z (the 2v
// volume term), x (the radial displacement kernel) per part.
struct NodeKernels {
    double k1 = 0, k2 = 0;
    double z1 = 0, x1 = 0, z2 = 0, x2 = 0;
    double magnitude = 0;
};

struct DepthGeometry {
    int layer = 0;
    bool bottomLayer = false;
    double l1 = 0, l2 = 0, r1 = 0, r2 = 0;
    double poisson = 0, modulus = 0;
};

void CheckGears(const std::vector<GearLoads>& gears);
void CheckDepth(const LayeredSystem& sys, int layer, double depth);
DepthGeometry Geometry(const LayeredSystem& sys, int layer, double depth);

// c1, c2: the coefficients A, B, C, D of the depth's layer for part 1 and part 2 (c1 unused
// in the bottom layer).
NodeKernels VerticalKernels(ResponseKind kind, const DepthGeometry& g, double x, double w,
                            const double* c1, const double* c2);
NodeKernels HorizontalKernels(ResponseKind kind, const DepthGeometry& g, double x, double w,
                              const double* c1, const double* c2);

// Sets the scaling shift h(0) for the evaluation and clears it again on every way out.
class ShiftGuard {
public:
    ShiftGuard(LayeredSystem& sys, int layer, double depth) : sys_(sys) {
        const double h1 = sys.thickness[1];
        sys_.thickness[0] = (layer == 1 && 0.5 * h1 > depth) ? 2 * h1 : 0.0;
    }
    ~ShiftGuard() { sys_.thickness[0] = 0.0; }
    ShiftGuard(const ShiftGuard&) = delete;
    ShiftGuard& operator=(const ShiftGuard&) = delete;

private:
    LayeredSystem& sys_;
};

// The sums of one aircraft over the node loop, and which of its points have converged.
struct AircraftSums {
    std::vector<double> out;                 // per point (vertical kinds)
    std::vector<double> radial, tangential;  // [tire x point] (horizontal kinds)
    std::vector<char> flagged;
    int flaggedCount = 0;
    bool done = false;
    int doneAt = 0;  // the node at which the last point converged

    // Zero sums for `gear`, keeping the capacity of the tables.
    void Reset(ResponseKind kind, const GearLoads& gear);
    // Point `point` has converged at `node`; the aircraft is done when all have.
    void Flag(int point, int node);
};

// The per-point values of one aircraft from its sums, and the value the aircraft keeps.
double FinishAircraft(ResponseKind kind, const GearLoads& gear, const AircraftSums& sums,
                      const DepthGeometry& g, std::vector<double>& values);

}  // namespace tavro::analysis::depth
