// The shared pieces of a depth evaluation (see depth_kernels.h).
#include "analysis/depth_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace tavro::analysis::depth {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// Principal horizontal value per point: the tires' radial and tangential components turned
// into x, y components with the direction cosines of each tire-to-point vector.
std::vector<double> PrincipalHorizontal(const GearLoads& gear, const std::vector<double>& radial,
                                        const std::vector<double>& tangential, double scale) {
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
            const auto i = U(t * gear.PointCount() + p);
            const double sr = radial[i];
            const double st = tangential[i];
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

}  // namespace

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

void AircraftSums::Reset(ResponseKind kind, const GearLoads& gear) {
    const auto tires = U(gear.TireCount());
    const auto points = U(gear.PointCount());
    flagged.assign(points, 0);
    flaggedCount = 0;
    done = false;
    doneAt = 0;
    if (IsHorizontal(kind)) {
        radial.assign(tires * points, 0.0);
        tangential.assign(tires * points, 0.0);
        out.clear();
    } else {
        out.assign(points, 0.0);
        radial.clear();
        tangential.clear();
    }
}

void AircraftSums::Flag(int point, int node) {
    if (flagged[U(point)]) return;
    flagged[U(point)] = 1;
    if (++flaggedCount == static_cast<int>(flagged.size())) {
        done = true;
        doneAt = node;
    }
}

double FinishAircraft(ResponseKind kind, const GearLoads& gear, const AircraftSums& sums,
                      const DepthGeometry& g, std::vector<double>& values) {
    const double aq = gear.tireRadius[0] * gear.tirePressure[0];
    const double compliance = (1 + g.poisson) / g.modulus;
    double kept = 0;
    switch (kind) {
        case ResponseKind::VerticalStrain:
            values = sums.out;
            for (double& v : values) v *= aq * compliance;
            for (const double v : values) kept = std::min(kept, v);
            break;
        case ResponseKind::VerticalDeflection:
            values = sums.out;
            for (double& v : values) v *= aq * compliance;
            for (const double v : values) {
                if (std::abs(v) > std::abs(kept)) kept = v;
            }
            break;
        case ResponseKind::HorizontalStress:
            values = PrincipalHorizontal(gear, sums.radial, sums.tangential, aq);
            for (const double v : values) kept = std::max(kept, v);
            break;
        case ResponseKind::HorizontalStrain:
            values = PrincipalHorizontal(gear, sums.radial, sums.tangential, aq * compliance);
            for (const double v : values) kept = std::max(kept, v);
            break;
    }
    for (const double v : values) {
        if (!std::isfinite(v)) throw AnalysisError("response not finite at " + gear.name);
    }
    return kept;
}

}  // namespace tavro::analysis::depth
