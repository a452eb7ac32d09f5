// Responses at one depth: the Hankel integrals over the Gauss-Laguerre rule, superposed over
// the tires of each gear, the governing value per aircraft, and the result file text.
#include "analysis/responses.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "analysis/depth_kernels.h"
#include "analysis/layer_coefficients.h"
#include "core/number_format.h"

namespace tavro::analysis {

namespace {

using namespace depth;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// The sums of one aircraft and its distinct tire-to-point distances: the Bessel factors
// depend on the distance only, and the tires of a gear are symmetric, so many pairs share
// one.
struct AircraftWork : AircraftSums {
    std::vector<double> distinct;  // the distances, each once
    std::vector<int> slot;         // [tire x point]: its distance's place in `distinct`
};

constexpr int kBlock = kCoefficientLanes;

// One block of consecutive quadrature nodes: their kernels, computed together because the
// coefficient solves of independent nodes run side by side.
struct NodeBlock {
    int first = 0;  // node number of lane 0
    int count = 0;
    double x[kBlock] = {}, m1[kBlock] = {}, m2[kBlock] = {};
    NodeKernels kernels[kBlock];
    bool skip[kBlock] = {};  // deflection: a node without valid coefficients is passed over
    const char* fault[kBlock] = {};
};

// The Bessel factors of one aircraft for every node of a block: J1(m a) of the first tire's
// radius for each part, and per distinct distance J0(m r) (with J1(m r)/(m r) for the
// horizontal kinds), laid out [distance][lane].
struct BesselWork {
    std::vector<double> arg, j0, ratio, j1;
    std::vector<double> j01, ratio1, j02, ratio2;
    double scale1[kBlock] = {}, scale2[kBlock] = {};

    void Size(std::size_t n) {
        for (auto* v : {&arg, &j0, &ratio, &j1, &j01, &ratio1, &j02, &ratio2}) {
            if (v->size() < n) v->resize(n);
        }
    }
};

// J0 (and the ratio) of m[l] r for every distinct distance r and lane l.
void BesselOfDistances(const AircraftWork& work, const double* m, int count, bool horizontal,
                       BesselWork& b, std::vector<double>& j0, std::vector<double>& ratio) {
    double lanes[kBlock];
    for (int l = 0; l < kBlock; ++l) lanes[l] = m[l < count ? l : 0];
    double* arg = b.arg.data();
    for (const double r : work.distinct) {
        for (int l = 0; l < kBlock; ++l) arg[l] = lanes[l] * r;
        arg += kBlock;
    }
    const int n = static_cast<int>(arg - b.arg.data());
    if (horizontal) {
        BesselJ0J1Block(b.arg.data(), n, j0.data(), ratio.data(), b.j1.data());
    } else {
        BesselJ0Block(b.arg.data(), n, j0.data());
    }
}

void PrepareBessel(const GearLoads& gear, const AircraftWork& work, const NodeBlock& nb,
                   const DepthGeometry& g, bool horizontal, BesselWork& b) {
    const std::size_t distances = work.distinct.size();
    b.Size(distances * kBlock + 2 * kBlock);
    // J1(m a) of both parts in one call: lanes 0..7 part 2, 8..15 part 1 (the bottom layer
    // has no part 1).
    const double a = gear.tireRadius[0];
    for (int l = 0; l < kBlock; ++l) {
        const int src = l < nb.count ? l : 0;
        b.arg[U(l)] = nb.m2[src] * a;
        b.arg[U(kBlock + l)] = nb.m1[src] * a;
    }
    const int radii = g.bottomLayer ? kBlock : 2 * kBlock;
    BesselJ0J1Block(b.arg.data(), radii, b.j0.data(), b.ratio.data(), b.j1.data());
    for (int l = 0; l < kBlock; ++l) {
        b.scale2[l] = b.j1[U(l)];
        b.scale1[l] = g.bottomLayer ? 0.0 : b.j1[U(kBlock + l)];
    }
    // At a layer bottom the two scales coincide, and so do the factors of both parts: the
    // second part reads the first's.
    const bool sameScale = g.l1 == g.l2;
    if (!g.bottomLayer) BesselOfDistances(work, nb.m1, nb.count, horizontal, b, b.j01, b.ratio1);
    if (g.bottomLayer || !sameScale) {
        BesselOfDistances(work, nb.m2, nb.count, horizontal, b, b.j02, b.ratio2);
    }
}

// The factors of the second part: the first part's where the two scales coincide.
const std::vector<double>& SecondJ0(const DepthGeometry& g, const BesselWork& b) {
    return !g.bottomLayer && g.l1 == g.l2 ? b.j01 : b.j02;
}
const std::vector<double>& SecondRatio(const DepthGeometry& g, const BesselWork& b) {
    return !g.bottomLayer && g.l1 == g.l2 ? b.ratio1 : b.ratio2;
}

// Adds the block's nodes to one aircraft, node by node in order, until it is done; the
// sums, flags and the converged node are those of a node-by-node loop. Returns the last
// lane it used.
int AddBlockVertical(const GearLoads& gear, AircraftWork& work, const NodeBlock& nb,
                     const DepthGeometry& g, const BesselWork& b, double threshold) {
    const int points = gear.PointCount();
    const int tires = gear.TireCount();
    const std::vector<double>& j02 = SecondJ0(g, b);
    int lane = 0;
    for (; lane < nb.count && !work.done; ++lane) {
        if (nb.skip[lane]) continue;
        const NodeKernels& k = nb.kernels[lane];
        const double k1 = g.bottomLayer ? 0.0 : k.k1 * b.scale1[lane];
        const double k2 = k.k2 * b.scale2[lane];
        const int node = nb.first + lane;
        // Point by point: a point's sum takes the tires in order, and the rule tests it after
        // each tire's share; the tests are independent of one another, so they are made
        // together and the point flagged once. A flagged point stays flagged: only its sum
        // goes on.
        for (int p = 0; p < points; ++p) {
            double sum = work.out[U(p)];
            const int* slot = work.slot.data() + p;
            if (work.flagged[U(p)]) {
                for (int t = 0; t < tires; ++t, slot += points) {
                    const std::size_t i = U(*slot * kBlock + lane);
                    double add = k2 * j02[i];
                    if (!g.bottomLayer) add += k1 * b.j01[i];
                    sum += add;
                }
            } else {
                bool converged = false;
                for (int t = 0; t < tires; ++t, slot += points) {
                    const std::size_t i = U(*slot * kBlock + lane);
                    double add = k2 * j02[i];
                    if (!g.bottomLayer) add += k1 * b.j01[i];
                    sum += add;
                    converged |= k.magnitude / std::abs(sum) < threshold;
                }
                if (converged) work.Flag(p, node);
            }
            work.out[U(p)] = sum;
        }
    }
    return lane - 1;
}

int AddBlockHorizontal(const GearLoads& gear, AircraftWork& work, const NodeBlock& nb,
                       const DepthGeometry& g, const BesselWork& b) {
    const int points = gear.PointCount();
    const std::vector<double>& second = SecondJ0(g, b);
    const std::vector<double>& secondRatio = SecondRatio(g, b);
    int lane = 0;
    for (; lane < nb.count && !work.done; ++lane) {
        if (nb.skip[lane]) continue;
        const NodeKernels& k = nb.kernels[lane];
        const double bes1 = g.bottomLayer ? 0.0 : b.scale1[lane];
        const double bes2 = b.scale2[lane];
        const double z1 = k.z1 * bes1, x1 = k.x1 * bes1, z2 = k.z2 * bes2, x2 = k.x2 * bes2;
        const int node = nb.first + lane;
        const int* slot = work.slot.data();
        for (int t = 0; t < gear.TireCount(); ++t) {
            double* const radial = work.radial.data() + U(t * points);
            double* const tangential = work.tangential.data() + U(t * points);
            for (int p = 0; p < points; ++p, ++slot) {
                const std::size_t i = U(*slot * kBlock + lane);
                const double j02 = second[i];
                const double j12 = secondRatio[i];
                double dr = z2 * j02 + x2 * (j02 - j12);
                double dt = z2 * j02 + x2 * j12;
                if (!g.bottomLayer) {
                    const double j01 = b.j01[i];
                    const double j11 = b.ratio1[i];
                    dr += z1 * j01 + x1 * (j01 - j11);
                    dt += z1 * j01 + x1 * j11;
                }
                radial[U(p)] += dr;
                tangential[U(p)] += dt;
                double size = std::max(std::abs(radial[U(p)]), std::abs(tangential[U(p)]));
                if (size < kSmallestStressSize) size = kSmallestStressSize;
                if (!work.flagged[U(p)] && k.magnitude / size < kStressThreshold) {
                    work.Flag(p, node);
                }
            }
        }
    }
    return lane - 1;
}

// Distances are told apart by their bits, so that a shared factor is the very number each
// pair would have had.
bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A gear's pairs are compared with at most this many distinct distances: a larger gear
// keeps its further distances one per pair.
constexpr std::size_t kMostDistinct = 64;

// Clears `work` for one aircraft, keeping the capacity of its tables from an earlier depth.
void ResetWork(ResponseKind kind, const GearLoads& gear, AircraftWork& work) {
    const auto tires = U(gear.TireCount());
    const auto points = U(gear.PointCount());
    work.Reset(kind, gear);
    work.distinct.clear();
    work.slot.clear();
    for (std::size_t t = 0; t < tires; ++t) {
        for (std::size_t p = 0; p < points; ++p) {
            const double r = gear.distance[t][p];
            std::size_t u = 0;
            const std::size_t searched = std::min(work.distinct.size(), kMostDistinct);
            while (u < searched && !SameBits(work.distinct[u], r)) ++u;
            if (u == searched) {
                u = work.distinct.size();
                work.distinct.push_back(r);
            }
            work.slot.push_back(static_cast<int>(u));
        }
    }
}

// The kernels of a block of nodes: the coefficient solves of all its nodes side by side.
void SolveBlock(ResponseKind kind, const LayeredSystem& sys, const LaguerreRule& rule,
                const DepthGeometry& g, bool reuse, NodeBlock& nb) {
    const bool horizontal = IsHorizontal(kind);
    double w[kBlock] = {};
    for (int l = 0; l < nb.count; ++l) {
        nb.x[l] = rule.node[U(nb.first + l)];
        w[l] = rule.weight[U(nb.first + l)];
        nb.m1[l] = nb.x[l] / g.l1;
        nb.m2[l] = nb.x[l] / g.l2;
    }
    CoefficientBlock c1, c2;
    if (!g.bottomLayer) LayerCoefficientsBlock(sys, nb.m1, nb.count, g.layer, c1);
    const bool sameSolution = reuse && !g.bottomLayer;
    if (!sameSolution) LayerCoefficientsBlock(sys, nb.m2, nb.count, g.layer, c2);
    const CoefficientBlock& part2 = sameSolution ? c1 : c2;
    for (int l = 0; l < nb.count; ++l) {
        const auto lu = U(l);
        const CoefficientStatus s1 = g.bottomLayer ? CoefficientStatus::Ok : c1.status[lu];
        const CoefficientStatus s2 = part2.status[lu];
        nb.fault[l] = !g.bottomLayer && c1.fault[lu] ? c1.fault[lu] : part2.fault[lu];
        nb.skip[l] = kind == ResponseKind::VerticalDeflection &&
                     (s1 == CoefficientStatus::Underflow || s2 == CoefficientStatus::Underflow);
        if (nb.skip[l]) continue;
        const double* p1 = g.bottomLayer ? nullptr : c1.abcd[lu].data();
        const double* p2 = part2.abcd[lu].data();
        nb.kernels[l] = horizontal ? HorizontalKernels(kind, g, nb.x[l], w[l], p1, p2)
                                   : VerticalKernels(kind, g, nb.x[l], w[l], p1, p2);
    }
}

// The node loop, a block of nodes at a time: integrates every aircraft not yet converged;
// ends when all are. Within a block each aircraft takes the nodes in order and stops at the
// one where it converges, so the sums and converged nodes are those of a node-by-node loop;
// a node that loop would never have reached is computed but not used.
void IntegrateNodes(ResponseKind kind, const LayeredSystem& sys, const LaguerreRule& rule,
                    const std::vector<GearLoads>& gears, const DepthGeometry& g,
                    std::vector<AircraftWork>& work, BesselWork& bessel, core::UserPort& ui) {
    const bool horizontal = IsHorizontal(kind);
    const bool reuse = horizontal ? std::abs(g.l1 - g.l2) <= kSameScale : g.l1 == g.l2;
    const double threshold = Threshold(kind);
    // Nodes past the rule's count have weight 0 and carry nothing.
    const int nodes = std::min(rule.count, static_cast<int>(rule.node.size()) - 1);
    NodeBlock nb;
    for (int first = 1; first <= nodes; first += kBlock) {
        nb.first = first;
        nb.count = std::min(kBlock, nodes - first + 1);
        SolveBlock(kind, sys, rule, g, reuse, nb);
        // The last lane a node-by-node loop would have reached: the one where the last
        // aircraft converged, or the block's end.
        int reached = -1;
        bool allDone = true;
        for (std::size_t ac = 0; ac < gears.size(); ++ac) {
            if (work[ac].done) continue;
            PrepareBessel(gears[ac], work[ac], nb, g, horizontal, bessel);
            const int last = horizontal
                                 ? AddBlockHorizontal(gears[ac], work[ac], nb, g, bessel)
                                 : AddBlockVertical(gears[ac], work[ac], nb, g, bessel, threshold);
            reached = std::max(reached, work[ac].done ? last : nb.count - 1);
            allDone = allDone && work[ac].done;
        }
        for (int l = 0; l <= reached; ++l) {
            if (nb.fault[l]) throw AnalysisError(nb.fault[l]);
            ui.ProcessPendingEvents();  // once per node used
        }
        if (allDone) break;
    }
}

// The tables of a depth evaluation, kept from call to call on each thread: a design
// evaluates many depths of the same aircraft, and after the first it allocates nothing.
struct DepthScratch {
    std::vector<AircraftWork> work;
    BesselWork bessel;
    bool busy = false;
};

// The thread's tables, or tables of its own should an evaluation ever start inside another
// (an event handler run at a poll): the inner one must not overwrite the outer's sums.
class ScratchLease {
public:
    ScratchLease() {
        thread_local DepthScratch shared;
        if (shared.busy) {
            own_ = std::make_unique<DepthScratch>();
            scratch_ = own_.get();
        } else {
            scratch_ = &shared;
        }
        scratch_->busy = true;
    }
    ~ScratchLease() { scratch_->busy = false; }
    ScratchLease(const ScratchLease&) = delete;
    ScratchLease& operator=(const ScratchLease&) = delete;
    DepthScratch* operator->() const { return scratch_; }

private:
    std::unique_ptr<DepthScratch> own_;
    DepthScratch* scratch_ = nullptr;
};

std::string Field(double value, std::string_view mask, int width) {
    return core::RightAlign(core::DecimalPoint(core::FormatMask(value, mask)), width);
}

std::string NameColumn(const std::string& name) {
    std::string text = name.substr(0, 12);
    text.resize(12, ' ');
    return text + "  ";
}

}  // namespace

void EvaluateDepth(ResponseKind kind, LayeredSystem& system, const LaguerreRule& rule,
                   const std::vector<GearLoads>& gears, int layer, double depth,
                   AnalysisOutput& out, core::UserPort& ui) {
    CheckGears(gears);
    CheckDepth(system, layer, depth);
    ShiftGuard shift(system, layer, depth);
    const DepthGeometry geo = Geometry(system, layer, depth);

    ScratchLease lease;
    std::vector<AircraftWork>& work = lease->work;
    work.resize(gears.size());
    for (std::size_t ac = 0; ac < gears.size(); ++ac) ResetWork(kind, gears[ac], work[ac]);
    IntegrateNodes(kind, system, rule, gears, geo, work, lease->bessel, ui);

    ResponseRow row;
    row.layer = layer;
    row.depth = depth;
    row.kept.reserve(gears.size());
    row.convergedAt.reserve(gears.size());
    out.pointValues.assign(gears.size(), {});
    for (std::size_t ac = 0; ac < gears.size(); ++ac) {
        row.kept.push_back(FinishAircraft(kind, gears[ac], work[ac], geo, out.pointValues[ac]));
        row.convergedAt.push_back(work[ac].done ? work[ac].doneAt : 0);
    }
    out.rows.push_back(std::move(row));
}

std::string FormatResultFile(ResponseKind kind, const LayeredSystem& system,
                             const std::vector<GearLoads>& gears, const AnalysisOutput& out) {
    if (kind != ResponseKind::VerticalStrain && kind != ResponseKind::HorizontalStress) return {};
    if (out.rows.empty()) return {};
    constexpr std::string_view nl = "\r\n";
    std::string text;
    text.append(" Number of Pavements").append(nl);
    text.append("           1").append(nl);
    text.append("Number; of; Thickness & Modulii; Variations, ACs And RConcrete").append(nl);
    text.append("  1  1  1    .00").append(nl);
    auto modulus = [&](int layer) {
        if (layer < 1 || U(layer) >= system.modulus.size()) {
            throw AnalysisError("result row names a layer outside the structure");
        }
        return system.modulus[U(layer)];
    };
    if (kind == ResponseKind::VerticalStrain) {
        text.append("           Gross   Layer              E          Horizontal   Vertical")
            .append(nl);
        text.append(" AC        Load     No.   Depth    Modulus         Strain        Strain")
            .append(nl);
        const ResponseRow& row = out.rows.back();
        for (std::size_t ac = 0; ac < gears.size() && ac < row.kept.size(); ++ac) {
            text += NameColumn(gears[ac].name);
            text += Field(gears[ac].grossLoad, "0.0", 10);
            text += Field(row.layer, "0", 3);
            text += Field(row.depth, "0.0", 7);
            text += Field(modulus(row.layer), ".00000000E+00", 17);
            if (ac < out.horizontalStrain.size()) {
                text += Field(out.horizontalStrain[ac], ".00000000E+00", 17);
            } else {
                text += Field(row.convergedAt[ac], "0", 7);
            }
            text += Field(row.kept[ac], ".00000000E+00", 17);
            text.append(nl);
        }
        return text;
    }
    text.append("           Gross   Layer              E         Horizontal    Iterations")
        .append(nl);
    text.append(" AC        Load     No.   Depth    Modulus        Stress      to Converge")
        .append(nl);
    for (std::size_t ac = 0; ac < gears.size(); ++ac) {
        for (const ResponseRow& row : out.rows) {
            if (ac >= row.kept.size()) continue;
            text += NameColumn(gears[ac].name);
            text += Field(gears[ac].grossLoad, "0.0", 10);
            text += Field(row.layer, "0", 3);
            text += Field(row.depth, "0.00000", 7);
            text += Field(modulus(row.layer), ".00000000E+00", 17);
            text += Field(row.kept[ac], ".00000000E+00", 17);
            text.append(nl);
        }
    }
    return text;
}

}  // namespace tavro::analysis
