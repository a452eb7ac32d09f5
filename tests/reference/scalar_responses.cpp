// The node-by-node walk of one depth as it stood before the block evaluation: one
// coefficient solve and the single Bessel routines per node. It shares the kernels and the
// finish with the block evaluation, so that a comparison of the two tests the walk: the
// blocks, the lanes, the shared distances and the convergence node by node.
#include "reference/scalar_responses.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "analysis/depth_kernels.h"
#include "analysis/layer_coefficients.h"
#include "analysis/numerical.h"

namespace tavro::analysis::reference {

namespace {

using namespace depth;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

using AircraftWork = AircraftSums;

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
            if (k.magnitude / std::abs(out) < threshold) work.Flag(p, node);
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
        double* const radial = work.radial.data() + U(t * points);
        double* const tangential = work.tangential.data() + U(t * points);
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
            if (k.magnitude / size < kStressThreshold) work.Flag(p, node);
        }
    }
}

AircraftWork NewWork(ResponseKind kind, const GearLoads& gear) {
    AircraftWork work;
    work.Reset(kind, gear);
    return work;
}

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
        row.kept.push_back(FinishAircraft(kind, gears[ac], work[ac], geo, out.pointValues[ac]));
        row.convergedAt.push_back(work[ac].done ? work[ac].doneAt : 0);
    }
    out.rows.push_back(std::move(row));
}

}  // namespace tavro::analysis::reference
