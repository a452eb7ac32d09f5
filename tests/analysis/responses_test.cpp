// Responses at a depth against closed-form elasticity (Boussinesq on a half-space of several
// equal layers, Westergaard for slabs) and physical properties of layered structures.
#include "analysis/responses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "layered_system_builder.h"
#include "support/fake_user_port.h"

namespace tavro::analysis {
namespace {

using std::numbers::pi;

// Vertical kinds stop at a node adding under 1e-4 of the total (largest error seen 4e-5).
constexpr double kHalfSpaceRelative = 1e-4;
// The horizontal kinds stop at 1e-6: radial stress within 3e-6 q, radial strain 1e-7.
constexpr double kStressOfPressure = 1e-5;
constexpr double kRadialStrainRelative = 1e-6;
// At the surface the integrand does not decay with m: a few 1e-3.
constexpr double kSurfaceRelative = 5e-3;

using layered::MakeSystem;

// The layer holding depth z (an interface depth belongs to the layer above).
int LayerOf(const LayeredSystem& s, double z) {
    for (int i = 1; i < s.layerCount; ++i)
        if (z <= s.bottomDepth[i]) return i;
    return s.layerCount;
}

struct Xy {
    double x, y;
};

GearLoads Gear(const std::string& name, double pressure, double radius,
               const std::vector<Xy>& tires, const std::vector<Xy>& points) {
    GearLoads g;
    g.name = name;
    const double tireLoad = pressure * pi * radius * radius;
    g.grossLoad = tireLoad * static_cast<double>(tires.size());
    for (const Xy& p : points) {
        g.pointX.push_back(p.x);
        g.pointY.push_back(p.y);
    }
    for (const Xy& t : tires) {
        g.tireLoad.push_back(tireLoad);
        g.tirePressure.push_back(pressure);
        g.tireRadius.push_back(radius);
        g.tireX.push_back(t.x);
        g.tireY.push_back(t.y);
        std::vector<double>& row = g.distance.emplace_back();
        for (const Xy& p : points) row.push_back(std::hypot(p.x - t.x, p.y - t.y));
    }
    return g;
}

struct EvalResult {
    AnalysisOutput out;
    int polls = 0;
};

EvalResult Evaluate(ResponseKind kind, LayeredSystem& s, const std::vector<GearLoads>& gears,
                    double z, int layer = 0) {
    test::FakeUserPort ui;
    EvalResult run;
    EvaluateDepth(kind, s, StandardLaguerreRule(), gears, layer > 0 ? layer : LayerOf(s, z), z,
                  run.out, ui);
    run.polls = ui.eventPolls;
    return run;
}

double PointValue(ResponseKind kind, LayeredSystem& s, const GearLoads& gear, double z,
                  int point = 0) {
    return Evaluate(kind, s, {gear}, z).out.pointValues[0][point];
}

// Boussinesq on the axis at depth z; tension and downward deflection positive.
struct Boussinesq {
    double q, a, e, v;
    double R(double z) const { return std::sqrt(a * a + z * z); }
    double Sz(double z) const { return -q * (1 - std::pow(z / R(z), 3)); }
    double Sr(double z) const {
        return -(q / 2) * ((1 + 2 * v) - 2 * (1 + v) * z / R(z) + std::pow(z / R(z), 3));
    }
    double W(double z) const {
        return q * a * (1 + v) / e * (a / R(z) + (1 - 2 * v) * (R(z) - z) / a);
    }
    double Ez(double z) const { return (Sz(z) - 2 * v * Sr(z)) / e; }
    // Radial strain on the axis: (sr - v (st + sz)) / E with st = sr.
    double Er(double z) const { return ((1 - v) * Sr(z) - v * Sz(z)) / e; }
    // Surface deflection outside the load, r > a (Timoshenko & Goodier).
    double SurfaceW(double r) const {
        const double k = a / r;
        return 4 * q * a * (1 - v * v) / (pi * e) * (r / a) *
               (std::comp_ellint_2(k) - (1 - k * k) * std::comp_ellint_1(k));
    }
};

class HalfSpace : public ::testing::Test {
protected:
    static constexpr double kE = 30000, kV = 0.35, kQ = 100, kA = 6;
    LayeredSystem s_ = MakeSystem({{10, kE, kV, 1}, {15, kE, kV, 1}, {0, kE, kV, 1}});
    GearLoads onAxis_ = Gear("ONE", kQ, kA, {{0, 0}}, {{0, 0}});
    Boussinesq exact_{kQ, kA, kE, kV};
    const std::vector<double> depths_ = {1.2, 3, 5, 9, 10, 14, 25, 30, 48};  // 0.2a .. 8a
};

// Radial stress changes sign with depth: it is judged against the pressure.
TEST_F(HalfSpace, ResponsesOnTheAxisAreBoussinesqs) {
    struct Case {
        ResponseKind kind;
        double (Boussinesq::*exact)(double) const;
        double relative, ofPressure;
    };
    const Case cases[] = {
        {ResponseKind::VerticalStrain, &Boussinesq::Ez, kHalfSpaceRelative, 0},
        {ResponseKind::VerticalDeflection, &Boussinesq::W, kHalfSpaceRelative, 0},
        {ResponseKind::HorizontalStrain, &Boussinesq::Er, kRadialStrainRelative, 0},
        {ResponseKind::HorizontalStress, &Boussinesq::Sr, 0, kStressOfPressure}};
    for (const Case& c : cases) {
        for (double z : depths_) {
            const double exact = (exact_.*c.exact)(z);
            // The kept radial strain is the tensile one.
            if (c.kind == ResponseKind::HorizontalStrain && exact <= 0) continue;
            EXPECT_NEAR(PointValue(c.kind, s_, onAxis_, z), exact,
                        c.relative * std::abs(exact) + c.ofPressure * kQ)
                << static_cast<int>(c.kind) << " z " << z;
        }
    }
}

TEST_F(HalfSpace, SurfaceDeflectionOffTheLoadIsBoussinesqs) {
    const auto gear = Gear("ONE", kQ, kA, {{0, 0}}, {{0, 0}, {9, 0}, {0, 12}, {18, 0}, {30, 0}});
    const EvalResult run = Evaluate(ResponseKind::VerticalDeflection, s_, {gear}, 0.0);
    const std::vector<double>& w = run.out.pointValues[0];
    EXPECT_NEAR(w[0] / exact_.W(0), 1.0, kSurfaceRelative);
    const double r[] = {9, 12, 18, 30};  // distances of the points after the first
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(w[i + 1] / exact_.SurfaceW(r[i]), 1.0, kSurfaceRelative) << "r " << r[i];
    EXPECT_EQ(run.out.rows[0].kept[0], w[0]);  // the largest deflection
    // No node falls below 1e-4 of the total: unconverged after the whole rule.
    EXPECT_EQ(run.out.rows[0].convergedAt[0], 0);
    EXPECT_EQ(run.polls, StandardLaguerreRule().count);
}

// 5 in asphalt on 10 in base on 10000 psi.
class Flexible : public ::testing::Test {
protected:
    LayeredSystem s = MakeSystem({{5, 400000, 0.35, 1}, {10, 30000, 0.35, 1}, {0, 10000, 0.40, 1}});
};

// Westergaard's interior stress with the radius of relative stiffness on an elastic solid;
// the foundation models differ, the layered stress is found 2 to 3 % low.
constexpr double kWestergaardRelative = 0.06;

TEST(Layered, SlabBottomStressIsTensileAndCloseToWestergaardsInteriorValue) {
    const double e = 4e6, v = 0.15, es = 10000, vs = 0.4, q = 200, a = 8;
    for (double h : {10.0, 14.0, 20.0}) {
        LayeredSystem s = MakeSystem({{h, e, v, 1}, {0, es, vs, 1}});
        const GearLoads tire = Gear("T", q, a, {{0, 0}}, {{0, 0}});
        const double got =
            Evaluate(ResponseKind::HorizontalStress, s, {tire}, h, 1).out.rows[0].kept[0];
        const double load = q * pi * a * a;
        const double l = h * std::cbrt(e * (1 - vs * vs) / (6 * es * (1 - v * v)));
        const double b = a >= 1.724 * h ? a : std::sqrt(1.6 * a * a + h * h) - 0.675 * h;
        const auto westergaard = 3 * (1 + v) * load / (2 * pi * h * h) * (std::log(l / b) + 0.6159);
        EXPECT_GT(got, 0.0);
        EXPECT_NEAR(got / westergaard, 1.0, kWestergaardRelative) << "h " << h;
    }
}

// Stress changes monotonically with the bond between two slabs, between the two limits.
TEST(Layered, PartialBondLiesBetweenFullBondAndFrictionless) {
    const GearLoads tire = Gear("T", 200, 8, {{0, 0}}, {{0, 0}});
    std::vector<double> topSlab;
    for (double k : {1.0, 0.999597, 0.9, 0.1, 0.01}) {
        LayeredSystem s = MakeSystem(
            {{6, 4e6, 0.15, k}, {9, 4e6, 0.15, 1}, {6, 30000, 0.35, 1}, {0, 8000, 0.4, 1}});
        topSlab.push_back(PointValue(ResponseKind::HorizontalStress, s, tire, 6));
    }
    EXPECT_LT(topSlab[0], 0.0);  // bonded: the composite slab's neutral axis lies below 6 in
    for (std::size_t i = 1; i < topSlab.size(); ++i) EXPECT_GT(topSlab[i], topSlab[i - 1]);
    // Hundreds of psi, not thousands (a slip law of the wrong sign has a pole near 0.9996).
    EXPECT_GT(topSlab[1], 200.0);
    EXPECT_LT(topSlab[4], 400.0);
}

TEST_F(Flexible, TwoTiresSuperposeAsTheSumOfSingleTires) {
    const GearLoads two = Gear("TWO", 100, 6, {{0, 0}, {30, 0}}, {{12, 5}});
    const GearLoads first = Gear("A", 100, 6, {{0, 0}}, {{12, 5}});
    const GearLoads second = Gear("B", 100, 6, {{30, 0}}, {{12, 5}});
    // Each run stops at its own node; the rest of the integral is far below 1e-6.
    for (ResponseKind kind : {ResponseKind::VerticalStrain, ResponseKind::VerticalDeflection}) {
        const double sum = PointValue(kind, s, first, 15) + PointValue(kind, s, second, 15);
        EXPECT_NEAR(PointValue(kind, s, two, 15) / sum, 1.0, 1e-6);
    }
}

TEST_F(Flexible, PointUnderATireCentreTakesTheXAxisAsRadial) {
    const GearLoads gear = Gear("TWO", 100, 6, {{0, 0}, {20, 0}}, {{0, 0}, {1e-3, 0}, {0, 1e-3}});
    for (ResponseKind kind : {ResponseKind::HorizontalStress, ResponseKind::HorizontalStrain}) {
        const std::vector<double> v = Evaluate(kind, s, {gear}, 5).out.pointValues[0];
        ASSERT_TRUE(std::isfinite(v[0]));
        EXPECT_GT(v[0], 0.0);
        for (int i : {1, 2}) EXPECT_NEAR(v[i] / v[0], 1.0, 1e-4) << i;
    }
}

// Deflection is continuous across a bonded interface, from the base and from the subgrade.
TEST_F(Flexible, BottomLayerEvaluationMeetsTheLayerAbove) {
    const GearLoads gear = Gear("ONE", 100, 6, {{0, 0}}, {{0, 0}, {15, 0}});
    const auto above =
        Evaluate(ResponseKind::VerticalDeflection, s, {gear}, 15, 2).out.pointValues[0];
    const auto below =
        Evaluate(ResponseKind::VerticalDeflection, s, {gear}, 15, 3).out.pointValues[0];
    for (int i : {0, 1}) EXPECT_NEAR(below[i] / above[i], 1.0, 1e-4) << i;
}

TEST_F(Flexible, NodeIsRecordedAndTheLoopEndsWhenAllAircraftAreDone) {
    const GearLoads near = Gear("NEAR", 100, 6, {{0, 0}}, {{0, 0}});
    const GearLoads wide = Gear("WIDE", 150, 5, {{0, 0}, {40, 0}}, {{0, 0}, {20, 0}});
    const EvalResult both = Evaluate(ResponseKind::VerticalStrain, s, {near, wide}, 15);
    const std::vector<int>& at = both.out.rows[0].convergedAt;
    ASSERT_EQ(at.size(), 2u);
    EXPECT_GT(std::min(at[0], at[1]), 0);
    EXPECT_EQ(both.polls, std::max(at[0], at[1]));  // one poll per node, none after the last
    // A converged aircraft is skipped: its values are those of a run of its own.
    const EvalResult alone = Evaluate(ResponseKind::VerticalStrain, s, {near}, 15);
    EXPECT_EQ(alone.out.pointValues[0], both.out.pointValues[0]);
    EXPECT_EQ(alone.out.rows[0].convergedAt[0], at[0]);
}

TEST_F(Flexible, StrainNeverAboveZeroAndStressNeverBelowZero) {
    // 1 in into a stiff asphalt layer the plate bends: vertical strain is extension everywhere.
    const GearLoads gear = Gear("ONE", 100, 6, {{0, 0}}, {{0, 0}, {60, 0}});
    const EvalResult strain = Evaluate(ResponseKind::VerticalStrain, s, {gear}, 1.0);
    EXPECT_GT(std::min(strain.out.pointValues[0][0], strain.out.pointValues[0][1]), 0.0);
    EXPECT_EQ(strain.out.rows[0].kept[0], 0.0);
    // Near the top of the same layer horizontal stress is compression.
    const EvalResult stress =
        Evaluate(ResponseKind::HorizontalStress, s, {Gear("ONE", 100, 6, {{0, 0}}, {{0, 0}})}, 0.5);
    EXPECT_LT(stress.out.pointValues[0][0], 0.0);
    EXPECT_EQ(stress.out.rows[0].kept[0], 0.0);
}

TEST_F(Flexible, BadLoadsAndDepthsRaiseAnAnalysisErrorAndClearTheShift) {
    test::FakeUserPort ui;
    AnalysisOutput out;
    GearLoads zeroPressure = Gear("ZERO", 100, 6, {{0, 0}}, {{0, 0}});
    zeroPressure.tireRadius[0] = std::sqrt(1000.0 / 0.0 / pi);  // load over a pressure of 0
    EXPECT_THROW(EvaluateDepth(ResponseKind::VerticalStrain, s, StandardLaguerreRule(),
                               {zeroPressure}, 1, 1.0, out, ui),
                 AnalysisError);
    EXPECT_EQ(s.thickness[0], 0.0);
    const GearLoads ok = Gear("ONE", 100, 6, {{0, 0}}, {{0, 0}});
    EXPECT_THROW(EvaluateDepth(ResponseKind::VerticalStrain, s, StandardLaguerreRule(), {ok}, 4,
                               1.0, out, ui),
                 AnalysisError);
    EXPECT_TRUE(out.rows.empty());
}

}  // namespace
}  // namespace tavro::analysis
