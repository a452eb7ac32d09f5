// Records shared by the layered elastic analysis: the analysed structure, the loads of
// each aircraft's gear, the response kinds and the result table.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavro::analysis {

inline constexpr int kMaxAnalysisLayers = 16;
inline constexpr int kMaxDepths = 10;
inline constexpr int kMaxAnalysisAircraft = 20;

// An arithmetic or index fault inside an analysis. Raised by the solver and the response
// routines; caught only by the analysis driver, which reports it and ends the run.
class AnalysisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ResponseKind { VerticalStrain, HorizontalStress, VerticalDeflection, HorizontalStrain };
std::string_view ResponseKindName(ResponseKind kind);  // "VerticalStrain", ...

// The layer arrays of the solver. Vectors are indexed by the 1-based layer number; entry 0
// of `thickness` is the scaling shift h(0) (0, or 2*h(1) while a point in the upper half of
// layer 1 is evaluated), and thickness[N] = thickness[N-1] (scaling only).
struct LayeredSystem {
    int layerCount = 0;               // N, including the semi-infinite bottom layer
    std::vector<double> thickness;    // 0..N, in
    std::vector<double> bottomDepth;  // 0..N: D(0) = 0, D(i) = D(i-1) + h(i), in
    std::vector<double> modulus;      // 1..N, psi (entry 0 unused)
    std::vector<double> poisson;      // 1..N
    std::vector<double> bond;         // 1..N: interface bond k at the bottom of layer i
};

// The loads and evaluation points of one aircraft's analysed gear.
struct GearLoads {
    std::string name;      // aircraft name (result file)
    double grossLoad = 0;  // lbs (result file)
    std::vector<double> tireLoad, tirePressure, tireRadius, tireX, tireY;  // 0-based per tire
    std::vector<double> pointX, pointY;                                    // 0-based per point
    // distance[t][p] between tire t and point p, in.
    std::vector<std::vector<double>> distance;

    int TireCount() const { return static_cast<int>(tireLoad.size()); }
    int PointCount() const { return static_cast<int>(pointX.size()); }
};

// One evaluation depth of an analysis: its layer and depth and, per aircraft (0-based), the
// kept response (strain signed, stress psi, deflection in) and the quadrature node at which
// the aircraft converged (0 = not converged within the rule).
struct ResponseRow {
    int layer = 0;
    double depth = 0;  // in, positive
    std::vector<double> kept;
    std::vector<int> convergedAt;
};

// Per-point values of the last row (aircraft x point), kept for the back-calculation and
// for tests.
struct AnalysisOutput {
    std::vector<ResponseRow> rows;
    std::vector<std::vector<double>> pointValues;
    // Horizontal strain per aircraft (0-based) at the bottom of the asphalt, when the run was
    // asked for it: a strain result file then carries it in place of the converged node.
    std::vector<double> horizontalStrain;
};

}  // namespace tavro::analysis
