// The node-by-node evaluation of one depth as it stood before the block evaluation: one
// coefficient solve and the single Bessel routines per node. Kept as the reference the
// block evaluation is compared with, in the tests and in the benchmarks.
#include "reference/scalar_responses.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "analysis/layer_coefficients.h"

namespace tavro::analysis::reference {

namespace {

// A point has converged when the node's magnitude, relative to the accumulated response,
// falls below this.
constexpr double kStrainThreshold = 0.0001;
constexpr double kDeflectionThreshold = 0.0001;
constexpr double kStressThreshold = 1e-6;
// Below this the stress size of a tire at a point is taken as this (no division by zero).
constexpr double kSmallestStressSize = 1e-12;
constexpr double kSmallestScale = 1e-20;
// Within this the two integration scales are treated as one (stress: one solution per node).
constexpr double kSameScale = 0.001;
// A tire centre closer than this to the point: the x axis is the radial direction.
constexpr double kOnAxis = 1e-6;

bool IsHorizontal(ResponseKind kind) {
    return kind == ResponseKind::HorizontalStress || kind == ResponseKind::HorizontalStrain;
}

double Threshold(ResponseKind kind) {
    switch (kind) {
        case ResponseKind::VerticalStrain:
            return kStrainThreshold;
        case ResponseKind::VerticalDeflection:
            return kDeflectionThreshold;
        default:
            return kStressThreshold;
    }
}

std::size_t U(int i) { return static_cast<std::size_t>(i); }

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

// Accumulators of one aircraft over the node loop.
struct AircraftWork {
    std::vector<double> out;                              // per point (vertical kinds)
    std::vector<std::vector<double>> radial, tangential;  // [tire][point] (horizontal kinds)
    std::vector<char> flagged;
    int flaggedCount = 0;
    bool done = false;
    int doneAt = 0;
};

void CheckGears(const std::vector<GearLoads>& gears) {
    for (const GearLoads& g : gears) {
        const auto tires = static_cast<std::size_t>(g.TireCount());
        const auto points = static_cast<std::size_t>(g.PointCount());
        if (tires == 0 || points == 0 || g.tirePressure.size() < tires ||
            g.tireRadius.size() < tires || g.tireX.size() < tires || g.tireY.size() < tires ||
            g.pointY.size() < points || g.distance.size() < tires) {
            throw AnalysisError("gear tables of " + g.name + " inconsistent");
        }
        for (const auto& row : g.distance) {
            if (row.size() < points) throw AnalysisError("tire distances of " + g.name + " short");
        }
    }
}

void CheckDepth(const LayeredSystem& sys, int layer, double depth) {
    const int n = sys.layerCount;
    if (n < 2 || layer < 1 || layer > n || sys.bottomDepth.size() < U(n) + 1 ||
        sys.thickness.size() < U(n) + 1 || sys.modulus.size() < U(n) + 1 ||
        sys.poisson.size() < U(n) + 1 || !std::isfinite(depth)) {
        throw AnalysisError("evaluation depth outside the structure");
    }
}

DepthGeometry Geometry(const LayeredSystem& sys, int layer, double depth) {
    const int n = sys.layerCount;
    DepthGeometry geo;
    geo.layer = layer;
    geo.bottomLayer = layer == n;
    const double zeta = depth - sys.bottomDepth[U(layer - 1)];
    const double h = sys.thickness[U(layer)];
    const double hAbove = sys.thickness[U(layer - 1)];
    geo.l1 = 2 * h + hAbove - zeta;
    if (std::abs(geo.l1) < kSmallestScale) geo.l1 = kSmallestScale;
    geo.l2 = zeta + hAbove + (geo.bottomLayer ? h : 0.0);
    geo.r1 = zeta / geo.l1;
    geo.r2 = zeta / geo.l2;
    geo.poisson = sys.poisson[U(layer)];
    geo.modulus = sys.modulus[U(layer)];
    return geo;
}

NodeKernels VerticalKernels(ResponseKind kind, const DepthGeometry& g, double x, double w,
                            const double* c1, const double* c2) {
    // The strain is the depth derivative of the deflection: its brackets carry 1 - 4v where
    // the deflection's carry 2 - 4v, and the deflection keeps the 1/m of the displacement.
    const double base =
        kind == ResponseKind::VerticalStrain ? 1 - 4 * g.poisson : 2 - 4 * g.poisson;
    const double m1 = x / g.l1;
    const double m2 = x / g.l2;
    const double b1 = base - x * g.r1;
    const double b2 = base + x * g.r2;
    double w1 = w / g.l1;
    double w2 = w / g.l2;
    if (kind == ResponseKind::VerticalDeflection) {
        w1 /= m1;
        w2 /= m2;
    }
    NodeKernels k;
    k.magnitude = (std::abs(c2[1]) + std::abs(b2 * c2[3])) * w2;
    if (kind == ResponseKind::VerticalStrain) {
        k.k2 = (c2[1] + b2 * c2[3]) * w2;
    } else {
        k.k2 = -(c2[1] + b2 * c2[3]) * w2;
    }
    if (!g.bottomLayer) {
        k.k1 = -(c1[0] - b1 * c1[2]) * w1;
        k.magnitude += (std::abs(c1[0]) + std::abs(b1 * c1[2])) * w1;
    }
    return k;
}

NodeKernels HorizontalKernels(ResponseKind kind, const DepthGeometry& g, double x, double w,
                              const double* c1, const double* c2) {
    const double v2 = 2 * g.poisson;
    const double w1 = w / g.l1;
    const double w2 = w / g.l2;
    const double s1 = x * g.r1;
    const double s2 = x * g.r2;
    // The strain omits the volume term: its x kernel is the radial displacement alone.
    const bool stress = kind == ResponseKind::HorizontalStress;
    NodeKernels k;
    k.x2 = -(c2[1] - (1 - s2) * c2[3]) * w2;
    k.z2 = stress ? v2 * c2[3] * w2 : 0.0;
    k.magnitude =
        ((stress ? std::abs(v2 * c2[3]) : 0.0) + std::abs(c2[1]) + std::abs((1 - s2) * c2[3])) * w2;
    if (!g.bottomLayer) {
        k.x1 = (c1[0] + (1 + s1) * c1[2]) * w1;
        k.z1 = stress ? v2 * c1[2] * w1 : 0.0;
        k.magnitude +=
            (std::abs(c1[0]) + (stress ? std::abs(v2 * c1[2]) : 0.0) + std::abs((1 + s1) * c1[2])) *
            w1;
    }
    return k;
}

void Flag(AircraftWork& work, int point, int pointCount, int node) {
    if (work.flagged[U(point)]) return;
    work.flagged[U(point)] = 1;
    if (++work.flaggedCount == pointCount) {
        work.done = true;
        work.doneAt = node;
    }
}

void AddVertical(const GearLoads& gear, AircraftWork& work, const NodeKernels& k,
                 const DepthGeometry& g, double x, double threshold, int node) {
    const double a = gear.tireRadius[0];
    const double m1 = x / g.l1;
    const double m2 = x / g.l2;
    const double k1 = g.bottomLayer ? 0.0 : k.k1 * BesselJ1Scaled(m1, a);
    const double k2 = k.k2 * BesselJ1Scaled(m2, a);
    const int points = gear.PointCount();
    for (int t = 0; t < gear.TireCount(); ++t) {
        const std::vector<double>& dist = gear.distance[U(t)];
        for (int p = 0; p < points; ++p) {
            const double r = dist[U(p)];
            double add = k2 * BesselJ0(m2 * r);
            if (!g.bottomLayer) add += k1 * BesselJ0(m1 * r);
            double& out = work.out[U(p)];
            out += add;
            if (k.magnitude / std::abs(out) < threshold) Flag(work, p, points, node);
        }
    }
}

void AddHorizontal(const GearLoads& gear, AircraftWork& work, const NodeKernels& k,
                   const DepthGeometry& g, double x, int node) {
    const double a = gear.tireRadius[0];
    const double m1 = x / g.l1;
    const double m2 = x / g.l2;
    const double bes1 = g.bottomLayer ? 0.0 : BesselJ1Scaled(m1, a);
    const double bes2 = BesselJ1Scaled(m2, a);
    const double z1 = k.z1 * bes1, x1 = k.x1 * bes1, z2 = k.z2 * bes2, x2 = k.x2 * bes2;
    const int points = gear.PointCount();
    for (int t = 0; t < gear.TireCount(); ++t) {
        const std::vector<double>& dist = gear.distance[U(t)];
        std::vector<double>& radial = work.radial[U(t)];
        std::vector<double>& tangential = work.tangential[U(t)];
        for (int p = 0; p < points; ++p) {
            const double r = dist[U(p)];
            const double j02 = BesselJ0(m2 * r);
            const double j12 = BesselJ1OverX(m2 * r);
            double dr = z2 * j02 + x2 * (j02 - j12);
            double dt = z2 * j02 + x2 * j12;
            if (!g.bottomLayer) {
                const double j01 = BesselJ0(m1 * r);
                const double j11 = BesselJ1OverX(m1 * r);
                dr += z1 * j01 + x1 * (j01 - j11);
                dt += z1 * j01 + x1 * j11;
            }
            radial[U(p)] += dr;
            tangential[U(p)] += dt;
            double size = std::max(std::abs(radial[U(p)]), std::abs(tangential[U(p)]));
            if (size < kSmallestStressSize) size = kSmallestStressSize;
            if (k.magnitude / size < kStressThreshold) Flag(work, p, points, node);
        }
    }
}

AircraftWork NewWork(ResponseKind kind, const GearLoads& gear) {
    AircraftWork work;
    const auto points = U(gear.PointCount());
    work.flagged.assign(points, 0);
    if (IsHorizontal(kind)) {
        work.radial.assign(U(gear.TireCount()), std::vector<double>(points, 0.0));
        work.tangential = work.radial;
    } else {
        work.out.assign(points, 0.0);
    }
    return work;
}

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

// The node loop: integrates every aircraft not yet converged; ends when all are.
void IntegrateNodes(ResponseKind kind, const LayeredSystem& sys, const LaguerreRule& rule,
                    const std::vector<GearLoads>& gears, const DepthGeometry& g,
                    std::vector<AircraftWork>& work, core::UserPort& ui) {
    std::vector<double> c1, c2;
    const bool horizontal = IsHorizontal(kind);
    const bool reuse = horizontal ? std::abs(g.l1 - g.l2) <= kSameScale : g.l1 == g.l2;
    const double threshold = Threshold(kind);
    const std::size_t base = 4 * U(g.layer - 1);
    // Nodes past the rule's count have weight 0 and carry nothing.
    const int nodes = std::min(rule.count, static_cast<int>(rule.node.size()) - 1);
    for (int j = 1; j <= nodes; ++j) {
        ui.ProcessPendingEvents();
        const double x = rule.node[U(j)];
        const double w = rule.weight[U(j)];
        CoefficientStatus s1 = CoefficientStatus::Ok;
        if (!g.bottomLayer) s1 = LayerCoefficients(sys, x / g.l1, c1);
        const bool sameSolution = reuse && !g.bottomLayer;
        const CoefficientStatus s2 = sameSolution ? s1 : LayerCoefficients(sys, x / g.l2, c2);
        if (kind == ResponseKind::VerticalDeflection &&
            (s1 == CoefficientStatus::Underflow || s2 == CoefficientStatus::Underflow)) {
            continue;
        }
        const double* p1 = g.bottomLayer ? nullptr : c1.data() + base;
        const double* p2 = (sameSolution ? c1.data() : c2.data()) + base;
        const NodeKernels k = horizontal ? HorizontalKernels(kind, g, x, w, p1, p2)
                                         : VerticalKernels(kind, g, x, w, p1, p2);
        bool allDone = true;
        for (std::size_t ac = 0; ac < gears.size(); ++ac) {
            if (work[ac].done) continue;
            if (horizontal) {
                AddHorizontal(gears[ac], work[ac], k, g, x, j);
            } else {
                AddVertical(gears[ac], work[ac], k, g, x, threshold, j);
            }
            allDone = allDone && work[ac].done;
        }
        if (allDone) break;
    }
}

// Principal horizontal value per point: the tires' radial and tangential components turned
// into x, y components with the direction cosines of each tire-to-point vector.
std::vector<double> PrincipalHorizontal(const GearLoads& gear, const AircraftWork& work,
                                        double scale) {
    std::vector<double> principal(U(gear.PointCount()));
    for (int p = 0; p < gear.PointCount(); ++p) {
        double sx = 0, sy = 0, txy = 0;
        for (int t = 0; t < gear.TireCount(); ++t) {
            const double r = gear.distance[U(t)][U(p)];
            double c = 1, s = 0;
            if (r >= kOnAxis) {
                c = (gear.pointX[U(p)] - gear.tireX[U(t)]) / r;
                s = (gear.pointY[U(p)] - gear.tireY[U(t)]) / r;
            }
            const double sr = work.radial[U(t)][U(p)];
            const double st = work.tangential[U(t)][U(p)];
            sx += c * c * sr + s * s * st;
            sy += s * s * sr + c * c * st;
            txy += c * s * (sr - st);
        }
        sx *= scale;
        sy *= scale;
        txy *= scale;
        const double half = (sy - sx) / 2;
        principal[U(p)] = (sx + sy) / 2 + std::sqrt(half * half + txy * txy);
    }
    return principal;
}

// The per-point values of one aircraft after the loop and the value the aircraft keeps.
double Finish(ResponseKind kind, const GearLoads& gear, const AircraftWork& work,
              const DepthGeometry& g, std::vector<double>& values) {
    const double aq = gear.tireRadius[0] * gear.tirePressure[0];
    const double compliance = (1 + g.poisson) / g.modulus;
    double kept = 0;
    switch (kind) {
        case ResponseKind::VerticalStrain:
            values = work.out;
            for (double& v : values) v *= aq * compliance;
            for (const double v : values) kept = std::min(kept, v);
            break;
        case ResponseKind::VerticalDeflection:
            values = work.out;
            for (double& v : values) v *= aq * compliance;
            for (const double v : values) {
                if (std::abs(v) > std::abs(kept)) kept = v;
            }
            break;
        case ResponseKind::HorizontalStress:
            values = PrincipalHorizontal(gear, work, aq);
            for (const double v : values) kept = std::max(kept, v);
            break;
        case ResponseKind::HorizontalStrain:
            values = PrincipalHorizontal(gear, work, aq * compliance);
            for (const double v : values) kept = std::max(kept, v);
            break;
    }
    for (const double v : values) {
        if (!std::isfinite(v)) throw AnalysisError("response not finite at " + gear.name);
    }
    return kept;
}

}  // namespace

void EvaluateDepthScalar(ResponseKind kind, LayeredSystem& system, const LaguerreRule& rule,
                         const std::vector<GearLoads>& gears, int layer, double depth,
                         AnalysisOutput& out, core::UserPort& ui) {
    CheckGears(gears);
    CheckDepth(system, layer, depth);
    ShiftGuard shift(system, layer, depth);
    const DepthGeometry geo = Geometry(system, layer, depth);

    std::vector<AircraftWork> work;
    work.reserve(gears.size());
    for (const GearLoads& gear : gears) work.push_back(NewWork(kind, gear));
    IntegrateNodes(kind, system, rule, gears, geo, work, ui);

    ResponseRow row;
    row.layer = layer;
    row.depth = depth;
    out.pointValues.assign(gears.size(), {});
    for (std::size_t ac = 0; ac < gears.size(); ++ac) {
        row.kept.push_back(Finish(kind, gears[ac], work[ac], geo, out.pointValues[ac]));
        row.convergedAt.push_back(work[ac].done ? work[ac].doneAt : 0);
    }
    out.rows.push_back(std::move(row));
}

}  // namespace tavro::analysis::reference
