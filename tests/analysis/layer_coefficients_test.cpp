// The per-m coefficient system against a dense solution of the unreduced physical conditions,
// plus the status and fault rules.
#include "analysis/layer_coefficients.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/numerical.h"
#include "layered_system_builder.h"

namespace tavro::analysis {
namespace {

// Unscaled physical rows (displacements ~1e-6 next to stresses ~1) keep about ten digits.
constexpr double kAgreement = 1e-8;

using layered::Layer;
using layered::MakeSystem;

// Law: the interface spring of the bond value; Frictionless: no shear where the bond is not full.
enum class Slip { Law, Frictionless };

// Dense reference: unknowns A, B, C, D of every layer (4N, A(N) = C(N) = 0 as two rows).
// In layer j at local depth z the terms are A, C times exp(-m(2h(j)+h(j-1)-z)) and B, D times
// exp(-m(z+h(j-1))) (bottom layer: exp(-m(z+2h(N-1)))). Displacements in inches.
std::vector<double> DenseReference(const LayeredSystem& s, double m, Slip slip) {
    const int n = s.layerCount;
    const int size = 4 * n;
    std::vector<double> a(size * size, 0.0), b(size, 0.0);
    const auto& h = s.thickness;
    // Row of quantity q (0 sz, 1 tau, 2 w, 3 u) of layer j at local depth z, into row r.
    auto put = [&](int r, int j, double z, int q, double factor) {
        const double v = s.poisson[j];
        const double fa = j < n ? std::exp(-m * (2 * h[j] + h[j - 1] - z)) : 0.0;
        const double fb = std::exp(-m * (z + (j < n ? h[j - 1] : 2 * h[n - 1])));
        const double sm = m * z;
        const double disp = (1 + v) / (m * s.modulus[j]);  // physical from scaled
        const double rows[4][4] = {
            {-fa, fb, (1 - 2 * v - sm) * fa, (1 - 2 * v + sm) * fb},
            {fa, fb, (2 * v + sm) * fa, -(2 * v - sm) * fb},
            {-fa * disp, -fb * disp, (2 - 4 * v - sm) * fa * disp, -(2 - 4 * v + sm) * fb * disp},
            {fa * disp, -fb * disp, (1 + sm) * fa * disp, (1 - sm) * fb * disp}};
        for (int c = 0; c < 4; ++c) a[r * size + 4 * (j - 1) + c] += factor * rows[q][c];
    };
    put(0, 1, 0.0, 0, -1.0);
    b[0] = 1.0;
    put(1, 1, 0.0, 1, 1.0);
    for (int i = 1; i < n; ++i) {
        const int r = 4 * i - 2;
        const double hi = h[i];
        for (int q = 0; q < 3; ++q) {
            put(r + q, i, hi, q, 1.0);
            put(r + q, i + 1, 0.0, q, -1.0);
        }
        const double k = s.bond[i];
        if (k == 1.0) {
            put(r + 3, i, hi, 3, 1.0);  // u continuous
            put(r + 3, i + 1, 0.0, 3, -1.0);
        } else if (slip == Slip::Frictionless) {
            put(r + 3, i, hi, 1, 1.0);  // tau = 0
        } else {
            const double stiffness = k / (1 - k);  // tau = -K (u_i - u_i+1)
            put(r + 3, i, hi, 1, 1.0);
            put(r + 3, i, hi, 3, stiffness);
            put(r + 3, i + 1, 0.0, 3, -stiffness);
        }
    }
    a[(size - 2) * size + 4 * (n - 1) + 0] = 1.0;  // A(N) = 0
    a[(size - 1) * size + 4 * (n - 1) + 2] = 1.0;  // C(N) = 0
    return SolveLinearSystem(a, size, b);
}

double RelativeDifference(const std::vector<double>& x, const std::vector<double>& y) {
    double scale = 0, diff = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        scale = std::max(scale, std::abs(y[i]));
        diff = std::max(diff, std::abs(x[i] - y[i]));
    }
    return diff / scale;
}

const std::vector<Layer> kFlexible = {
    {5, 400000, 0.35, 1}, {8, 60000, 0.35, 1}, {12, 25000, 0.35, 1}, {0, 12000, 0.40, 1}};
const std::vector<Layer> kUnbondedOverlay = {
    {6, 4000000, 0.15, 0.1}, {9, 4000000, 0.15, 0.1}, {6, 30000, 0.35, 1}, {0, 8000, 0.40, 1}};

std::vector<Layer> SixteenLayers() {
    std::vector<Layer> layers;
    for (int i = 0; i < 15; ++i)
        layers.push_back({1.0 + i % 4, 1e4 * (1 + (i * 7) % 11), 0.2 + 0.015 * i,
                          i % 5 == 2 ? 0.1 : (i % 5 == 4 ? 0.9996 : 1.0)});
    layers.push_back({0, 5000, 0.45, 1});
    return layers;
}

// Partial bond follows a restoring slip law; the scaling shift only rescales the first layer.
TEST(LayerCoefficients, MatchTheDenseSolutionOfThePhysicalConditions) {
    struct Case {
        std::string name;
        std::vector<Layer> layers;
        double shift;
        std::vector<double> ms;
    };
    std::vector<Case> cases = {
        {"full bond", kFlexible, 0, {0.003, 0.02, 0.1, 0.4, 1.2}},
        {"shifted", kFlexible, 10, {0.01, 0.3}},
        {"sixteen layers", SixteenLayers(), 0, {0.002, 0.03, 0.2}},
    };
    for (double k : {0.5, 0.9, 0.9996, 0.1, 0.01}) {
        std::vector<Layer> layers = kFlexible;
        layers[0].k = layers[1].k = k;
        cases.push_back({"bond " + std::to_string(k), layers, 0, {0.005, 0.05, 0.5}});
    }
    std::vector<double> c;
    for (const Case& t : cases) {
        const LayeredSystem s = MakeSystem(t.layers, t.shift);
        for (double m : t.ms) {
            ASSERT_EQ(LayerCoefficients(s, m, c), CoefficientStatus::Ok) << t.name << " m " << m;
            ASSERT_EQ(c.size(), 4 * t.layers.size());
            EXPECT_LT(RelativeDifference(c, DenseReference(s, m, Slip::Law)), kAgreement)
                << t.name << " m " << m;
            EXPECT_EQ(c[c.size() - 4], 0.0);  // A(N) and C(N) of the bottom layer
            EXPECT_EQ(c[c.size() - 2], 0.0);
        }
    }
}

TEST(LayerCoefficients, WeakestBondIsPracticallyFrictionless) {
    // k = 0.01 is a spring of 0.0101 psi/in: against a concrete slab it holds nothing.
    const LayeredSystem s =
        MakeSystem({{8, 4000000, 0.15, 0.01}, {10, 4000000, 0.15, 1}, {0, 10000, 0.4, 1}});
    std::vector<double> c;
    for (double m : {0.01, 0.1, 1.0}) {
        ASSERT_EQ(LayerCoefficients(s, m, c), CoefficientStatus::Ok);
        EXPECT_LT(RelativeDifference(c, DenseReference(s, m, Slip::Frictionless)), 1e-5) << m;
    }
}

TEST(LayerCoefficients, BondOfOneIsTheLimitOfNearlyFullBond) {
    std::vector<Layer> nearly = kFlexible;
    nearly[1].k = 1 - 1e-12;
    std::vector<double> a, b;
    for (double m : {0.001, 0.05, 0.7}) {
        LayerCoefficients(MakeSystem(kFlexible), m, a);
        LayerCoefficients(MakeSystem(nearly), m, b);
        EXPECT_LT(RelativeDifference(b, a), 1e-8) << m;
    }
}

TEST(LayerCoefficients, EveryInterfaceCombinationGivesFiniteCoefficients) {
    const std::vector<std::vector<Layer>> structures = {
        kUnbondedOverlay,
        {{4, 400000, 0.35, 0.1},
         {6, 4000000, 0.15, 0.1},
         {8, 4000000, 0.15, 0.1},
         {6, 50000, 0.35, 1},
         {0, 3000, 0.45, 1}},
        {{2, 5000000, 0.15, 1}, {0, 3000, 0.45, 1}},
    };
    std::vector<double> c;
    for (const auto& layers : structures) {
        const LayeredSystem s = MakeSystem(layers);
        for (double m = 1e-5; m < 200; m *= 1.3) {
            const CoefficientStatus status = LayerCoefficients(s, m, c);
            for (double v : c) ASSERT_TRUE(std::isfinite(v)) << "m " << m;
            if (status == CoefficientStatus::Underflow) break;
        }
    }
}

TEST(LayerCoefficients, ThickLayersAtLargeMUnderflowToZero) {
    // exp(-m (h0 + h1)) = exp(-2.5 * 200) is below 1e-200.
    const auto s = MakeSystem({{100, 50000, 0.35, 1}, {100, 20000, 0.35, 1}, {0, 9000, 0.4, 1}});
    std::vector<double> c(3, 7.0);
    EXPECT_EQ(LayerCoefficients(s, 2.5, c), CoefficientStatus::Underflow);
    EXPECT_EQ(c, std::vector<double>(12, 0.0));
    EXPECT_EQ(LayerCoefficients(s, 1.5, c), CoefficientStatus::Ok);
}

TEST(LayerCoefficients, BadStructuresRaiseAnAnalysisError) {
    std::vector<double> c;
    // A subgrade alone, short arrays and a modulus that is not a number.
    for (auto spoil : {+[](LayeredSystem& s) { s.layerCount = 1; },
                       +[](LayeredSystem& s) { s.poisson.resize(2); },
                       +[](LayeredSystem& s) { s.modulus[2] = std::nan(""); }}) {
        LayeredSystem s = MakeSystem(kFlexible);
        spoil(s);
        EXPECT_THROW(LayerCoefficients(s, 0.1, c), AnalysisError);
    }
}

}  // namespace
}  // namespace tavro::analysis
