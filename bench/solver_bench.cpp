// Timing of the layered elastic solver: one coefficient solution (the inner step, run up to
// 400 times per depth) and one full depth evaluation of a flexible structure under four
// aircraft, the unit of work of every design iteration. Each depth evaluation also runs the
// node-by-node reference ("/scalar"), so that one run gives the ratio of the two.
#include <benchmark/benchmark.h>

#include "quiet_port.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/lane_width.h"
#include "analysis/layer_coefficients.h"
#include "analysis/responses.h"
#include "reference/scalar_responses.h"

namespace {

using namespace tavro::analysis;

LayeredSystem Structure(int layers) {
    LayeredSystem s;
    s.layerCount = layers;
    s.thickness.assign(layers + 1, 0.0);
    s.bottomDepth.assign(layers + 1, 0.0);
    s.modulus.assign(layers + 1, 0.0);
    s.poisson.assign(layers + 1, 0.0);
    s.bond.assign(layers + 1, 1.0);
    for (int i = 1; i <= layers; ++i) {
        s.thickness[i] = i < layers ? 2.0 + (i % 3) : 0.0;
        s.modulus[i] = i == 1 ? 400000.0 : 60000.0 / i + 8000.0;
        s.poisson[i] = i == 1 ? 0.35 : 0.35 + 0.005 * i;
    }
    s.thickness[layers] = s.thickness[layers - 1];
    for (int i = 1; i < layers; ++i) s.bottomDepth[i] = s.bottomDepth[i - 1] + s.thickness[i];
    return s;
}

// Asphalt 5 in, base 8 in, subbase 12 in on a 12000 psi subgrade.
LayeredSystem Flexible() {
    LayeredSystem s = Structure(4);
    const double h[] = {0, 5, 8, 12};
    const double e[] = {0, 200000, 75000, 25000, 12000};
    for (int i = 1; i <= 4; ++i) {
        s.thickness[i] = i < 4 ? h[i] : h[3];
        s.modulus[i] = e[i];
        s.poisson[i] = i == 4 ? 0.4 : 0.35;
    }
    for (int i = 1; i < 4; ++i) s.bottomDepth[i] = s.bottomDepth[i - 1] + s.thickness[i];
    return s;
}

struct Xy {
    double x, y;
};

GearLoads Gear(const std::string& name, double gearLoad, double pressure,
               const std::vector<Xy>& tires, const std::vector<Xy>& points) {
    GearLoads g;
    g.name = name;
    g.grossLoad = gearLoad * 2;
    const double tireLoad = gearLoad / static_cast<double>(tires.size());
    for (const Xy& t : tires) {
        g.tireLoad.push_back(tireLoad);
        g.tirePressure.push_back(pressure);
        g.tireRadius.push_back(std::sqrt(tireLoad / pressure / 3.14159265359));
        g.tireX.push_back(t.x);
        g.tireY.push_back(t.y);
    }
    for (const Xy& p : points) {
        g.pointX.push_back(p.x);
        g.pointY.push_back(p.y);
    }
    for (const Xy& t : tires) {
        std::vector<double> row;
        for (const Xy& p : points) row.push_back(std::hypot(p.x - t.x, p.y - t.y));
        g.distance.push_back(row);
    }
    return g;
}

std::vector<GearLoads> FourAircraft() {
    return {
        Gear("Single", 6000, 60, {{0, 0}}, {{0, 0}}),
        Gear("Dual", 22000, 110, {{0, 0}, {20, 0}}, {{0, 0}, {5, 0}, {10, 0}}),
        Gear("DualTandem", 70000, 180, {{0, 0}, {26, 0}, {0, 45}, {26, 45}},
             {{0, 0}, {13, 0}, {0, 22.5}, {13, 22.5}}),
        Gear("Dual2", 40000, 150, {{0, 0}, {24, 0}}, {{0, 0}, {6, 0}, {12, 0}}),
    };
}

void LayerCoefficientsAlone(benchmark::State& st) {
    const LayeredSystem s = Structure(static_cast<int>(st.range(0)));
    std::vector<double> c;
    double m = 0.01;
    for (auto _ : st) {
        benchmark::DoNotOptimize(LayerCoefficients(s, m, c));
        benchmark::DoNotOptimize(c.data());
        m = m < 0.5 ? m * 1.07 : 0.01;
    }
}
BENCHMARK(LayerCoefficientsAlone)->Arg(2)->Arg(4)->Arg(16);

// A block of nodes solved together; the time per node is the time of the block over its
// lanes (items per second counts nodes).
void LayerCoefficientsPerNodeInABlock(benchmark::State& st) {
    const LayeredSystem s = Structure(static_cast<int>(st.range(0)));
    CoefficientBlock block;
    double m[kCoefficientLanes];
    double first = 0.01;
    for (auto _ : st) {
        for (int l = 0; l < kCoefficientLanes; ++l) m[l] = first * (1 + 0.07 * l);
        LayerCoefficientsBlock(s, m, kCoefficientLanes, 1, block);
        benchmark::DoNotOptimize(block.abcd.data());
        first = first < 0.3 ? first * 1.5 : 0.01;
    }
    st.SetItemsProcessed(st.iterations() * kCoefficientLanes);
    st.counters["ns_per_node"] =
        benchmark::Counter(static_cast<double>(st.iterations() * kCoefficientLanes),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(LayerCoefficientsPerNodeInABlock)->Arg(2)->Arg(4)->Arg(16);

// range(0) = 1: the node-by-node reference instead of the block evaluation.
void Evaluate(const benchmark::State& st, ResponseKind kind, LayeredSystem& s,
              const std::vector<GearLoads>& gears, int layer, double depth, AnalysisOutput& out,
              tavro::core::UserPort& ui) {
    if (st.range(0) == 1) {
        reference::EvaluateDepthScalar(kind, s, StandardLaguerreRule(), gears, layer, depth, out,
                                       ui);
    } else {
        EvaluateDepth(kind, s, StandardLaguerreRule(), gears, layer, depth, out, ui);
    }
}

void SubgradeStrainFourAircraft(benchmark::State& st) {
    LayeredSystem s = Flexible();
    const std::vector<GearLoads> gears = FourAircraft();
    tavro::bench::QuietPort ui;
    for (auto _ : st) {
        AnalysisOutput out;
        Evaluate(st, ResponseKind::VerticalStrain, s, gears, 4, 25.0, out, ui);
        benchmark::DoNotOptimize(out.rows.data());
    }
}
BENCHMARK(SubgradeStrainFourAircraft)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("scalar")
    ->Unit(benchmark::kMicrosecond);

// The block evaluation at each lane width (2: SSE2, 4: AVX2, 8: AVX-512), for processors
// without the widest; a width the processor lacks is skipped.
void SubgradeStrainByLaneWidth(benchmark::State& st) {
    const LaneWidth width = st.range(0) == 8   ? LaneWidth::Octets
                            : st.range(0) == 4 ? LaneWidth::Quads
                                               : LaneWidth::Pairs;
    if (!SetLaneWidth(width)) {
        st.SkipWithError("the processor lacks this lane width");
        return;
    }
    LayeredSystem s = Flexible();
    const std::vector<GearLoads> gears = FourAircraft();
    tavro::bench::QuietPort ui;
    for (auto _ : st) {
        AnalysisOutput out;
        EvaluateDepth(ResponseKind::VerticalStrain, s, StandardLaguerreRule(), gears, 4, 25.0, out,
                      ui);
        benchmark::DoNotOptimize(out.rows.data());
    }
    ResetLaneWidth();
}
BENCHMARK(SubgradeStrainByLaneWidth)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->ArgName("lanes")
    ->Unit(benchmark::kMicrosecond);

void AsphaltStrainFourAircraft(benchmark::State& st) {
    LayeredSystem s = Flexible();
    const std::vector<GearLoads> gears = FourAircraft();
    tavro::bench::QuietPort ui;
    for (auto _ : st) {
        AnalysisOutput out;
        Evaluate(st, ResponseKind::HorizontalStrain, s, gears, 1, 5.0, out, ui);
        benchmark::DoNotOptimize(out.rows.data());
    }
}
BENCHMARK(AsphaltStrainFourAircraft)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("scalar")
    ->Unit(benchmark::kMicrosecond);

void SlabStressFourAircraft(benchmark::State& st) {
    LayeredSystem s = Flexible();
    s.thickness[1] = 14;
    s.modulus[1] = 4000000;
    s.poisson[1] = 0.15;
    for (int i = 1; i < 4; ++i) s.bottomDepth[i] = s.bottomDepth[i - 1] + s.thickness[i];
    const std::vector<GearLoads> gears = FourAircraft();
    tavro::bench::QuietPort ui;
    for (auto _ : st) {
        AnalysisOutput out;
        Evaluate(st, ResponseKind::HorizontalStress, s, gears, 1, 14.0, out, ui);
        benchmark::DoNotOptimize(out.rows.data());
    }
}
BENCHMARK(SlabStressFourAircraft)->Arg(0)->Arg(1)->ArgName("scalar")->Unit(benchmark::kMicrosecond);

}  // namespace
