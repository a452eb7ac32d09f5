// The analysis driver: interface bonds, layer of a depth, load tables, bad input, whole runs
// and the subgrade back-calculation.
#include "analysis/lea_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "support/fake_user_port.h"
#include "support/temp_dir.h"

namespace tavro::analysis {
namespace {

using test::FakeUserPort;

// A clock that moves 5 ms on every reading.
class TickingUserPort : public FakeUserPort {
public:
    std::int64_t TickMs() override { return tickMs += 5; }
};

struct Layer {
    double thickness, modulus, poisson, interface;
    int code;
};

LeaStructure Structure(const std::vector<Layer>& layers, const std::vector<double>& depths) {
    LeaStructure s;
    s.Layers = static_cast<int>(layers.size());
    s.Thickness = s.Modulus = s.Poisson = s.Interface = s.LayerCode = {0};
    for (const Layer& l : layers) {
        s.Thickness.push_back(l.thickness);
        s.Modulus.push_back(l.modulus);
        s.Poisson.push_back(l.poisson);
        s.Interface.push_back(l.interface);
        s.LayerCode.push_back(l.code);
    }
    s.Depths = static_cast<int>(depths.size());
    s.Depth = {0};
    s.Depth.insert(s.Depth.end(), depths.begin(), depths.end());
    return s;
}

// One gear of `tires` tires at (x, 0) and evaluation points at (x, 0).
AnalysisGear Gear(const std::string& name, double gearLoad, double pressure,
                  const std::vector<double>& tireX, const std::vector<double>& pointX) {
    AnalysisGear g;
    g.Name = name;
    g.GrossLoad = gearLoad / 0.475;
    g.GearShare = 0.475;
    g.GearLoad = gearLoad;
    g.TireCount = static_cast<int>(tireX.size());
    g.PointCount = static_cast<int>(pointX.size());
    g.TirePressure.assign(tireX.size() + 1, pressure);
    g.TirePressure[0] = 0;
    g.TireY.assign(tireX.size() + 1, 0);
    g.PointY.assign(pointX.size() + 1, 0);
    g.TireX = g.PointX = {0};
    g.TireX.insert(g.TireX.end(), tireX.begin(), tireX.end());
    g.PointX.insert(g.PointX.end(), pointX.begin(), pointX.end());
    return g;
}

// 5 in asphalt on 8 in base on 10000 psi, strain inside the subgrade, single and dual wheels.
AnalysisInput Flexible() {
    AnalysisInput in;
    in.structure = Structure(
        {{5, 200000, 0.35, 0, 1}, {8, 40000, 0.35, 0, 6}, {0, 10000, 0.35, 0, 4}}, {1.0001 * 13});
    in.gears = {Gear("Single", 11400, 259, {0}, {0}),
                Gear("Dual", 5462.5, 52, {-5.79, 5.79}, {5.79, 4.3425, 2.895, 0})};
    return in;
}

// 12 in concrete on 6 in base on the subgrade, stress at the bottom of the slab.
AnalysisInput Rigid() {
    AnalysisInput in;
    in.structure = Structure(
        {{12, 4000000, 0.15, 100000, 5}, {6, 75000, 0.35, 0, 6}, {0, 10000, 0.4, 0, 4}}, {-12});
    in.gears = {Gear("Single", 11400, 259, {0}, {0})};
    return in;
}

core::ProgramState StateIn(const std::string& dir, int pavementType) {
    core::ProgramState state;
    state.ProgramDir = dir;
    state.Current.PavementType = static_cast<std::int16_t>(pavementType);
    state.Run.DesignRunning = true;
    return state;
}

TEST(InterfaceBond, FullPartialAndNoBond) {
    // x = 10^0 = 1, s = 1/1e-6 = 1e6, k = 1e6 * 1.000001 / (1e6 + 1) = 1.
    EXPECT_NEAR(InterfaceBondOf(0, 4000000), 1, 1e-12);
    // 700 over a 4,000,000 psi slab: x = 10^(-0.000175) = 0.99959713, s = 2475.0393,
    // k = s * 1.000001 / (s + 1) = 0.99959713.
    EXPECT_NEAR(InterfaceBondOf(700, 4000000), 0.99959713, 1e-8);
    EXPECT_EQ(InterfaceBondOf(100000, 4000000), 0);
    EXPECT_GT(InterfaceBondOf(99999, 4000000), 0);
}

TEST(InterfaceBond, ALoneWeakInterfaceGetsOneHundredthAndSeveralGetOneTenth) {
    LayeredSystem rigid = LayeredSystemOf(Rigid().structure);
    EXPECT_DOUBLE_EQ(rigid.bond[1], 0.01);  // slab on base: the only weak interface
    EXPECT_NEAR(rigid.bond[2], 1, 1e-12);

    // Unbonded concrete overlay on a concrete slab on a base: two weak interfaces.
    LayeredSystem unbonded = LayeredSystemOf(Structure({{6, 4000000, 0.15, 100000, 11},
                                                        {10, 4000000, 0.15, 100000, 5},
                                                        {6, 75000, 0.35, 0, 6},
                                                        {0, 10000, 0.4, 0, 4}},
                                                       {-6}));
    EXPECT_EQ(unbonded.bond[1], 0.1);
    EXPECT_EQ(unbonded.bond[2], 0.1);
    EXPECT_NEAR(unbonded.bond[3], 1, 1e-12);
}

TEST(InterfaceBond, EveryInterfaceTakesTheSecondLayersModulus) {
    // k = s * 1.000001 / (s + 1) with s = x / (1 - x + 1e-6) reduces to k = x = 10^(-c/E2):
    // 10^(-700/200000) = 0.99197334 under the slab and under layer 2 alike; the slab's own
    // 4,000,000 psi would give 0.99959713 at the first.
    LayeredSystem s = LayeredSystemOf(Structure(
        {{6, 4000000, 0.15, 700, 12}, {10, 200000, 0.35, 700, 1}, {0, 10000, 0.4, 0, 4}}, {-6}));
    EXPECT_NEAR(s.bond[1], 0.99197334, 1e-8);
    EXPECT_NEAR(s.bond[2], 0.99197334, 1e-8);
}

TEST(LayeredSystem, LayerOfADepthBelongsBelowAnInterfaceUnlessAskedNegative) {
    LayeredSystem s = LayeredSystemOf(Flexible().structure);
    EXPECT_EQ(s.thickness, (std::vector<double>{0, 5, 8, 8}));  // h(0) = 0, h(N) = h(N-1)
    // -5 is the bottom of layer 1, 5 - 1e-7 within rounding of the interface, and -2 is "one
    // layer up" from layer 1, which stays in layer 1.
    for (auto [z, layer] : {std::pair{0.0, 1},
                            {5.0, 2},
                            {-5.0, 1},
                            {5 - 1e-7, 2},
                            {4.99, 1},
                            {-13.0, 2},
                            {13.0013, 3},
                            {-2.0, 1}})
        EXPECT_EQ(LayerOfDepth(s, z), layer) << z;
}

TEST(GearLoads, TireLoadRadiusAndDistancesOfADualGear) {
    const GearLoads g = GearLoadsOf({Flexible().gears[1]}).at(0);
    ASSERT_EQ(g.PointCount(), 4);
    EXPECT_DOUBLE_EQ(g.tireLoad[1], 2731.25);
    // sqrt(2731.25 / 52 / 3.14159265359) = sqrt(16.718993) = 4.0888777
    EXPECT_NEAR(g.tireRadius[0], 4.0888777, 1e-7);
    EXPECT_DOUBLE_EQ(g.distance[0][0], 11.58);
    EXPECT_DOUBLE_EQ(g.distance[1][0], 0);
    EXPECT_DOUBLE_EQ(g.distance[0][2], 8.685);
}

struct BadCase {
    const char* what;
    void (*spoil)(AnalysisInput&);
    const char* reason;
};

TEST(RunAnalysis, BadNumbersEndTheRunWithOneMessageAndNoResults) {
    const BadCase cases[] = {
        {"zero thickness", [](AnalysisInput& in) { in.structure.Thickness[2] = 0; },
         "Layer 2 has a thickness of 0 in."},
        {"negative thickness", [](AnalysisInput& in) { in.structure.Thickness[1] = -1; },
         "Layer 1 has a thickness of -1 in."},
        {"zero modulus", [](AnalysisInput& in) { in.structure.Modulus[3] = 0; },
         "Layer 3 has a modulus of 0 psi."},
        {"not a number", [](AnalysisInput& in) { in.structure.Modulus[1] = std::nan(""); },
         "Layer 1 has a modulus of nan psi."},
        {"zero pressure", [](AnalysisInput& in) { in.gears[1].TirePressure[2] = 0; },
         "Aircraft 2 (Dual) has a tire pressure of 0 psi."},
        {"no aircraft", [](AnalysisInput& in) { in.gears.clear(); },
         "There are no design aircraft."},
        {"no depth", [](AnalysisInput& in) { in.structure.Depths = 0; },
         "No evaluation depth has been set."},
        {"no tires", [](AnalysisInput& in) { in.gears[0].TireCount = 0; },
         "Aircraft 1 (Single) has no tires or no evaluation points."},
        {"subgrade only", [](AnalysisInput& in) { in.structure.Layers = 1; },
         "The structure needs at least one layer over the subgrade."},
        {"counts beyond the arrays", [](AnalysisInput& in) { in.structure.Depths = 3; },
         "The evaluation depths are incomplete."},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        core::ProgramState state = StateIn(dir.path(), core::kNewFlexible);
        TickingUserPort ui;
        ui.Answer(core::Answer::Ok);
        AnalysisInput input = Flexible();
        c.spoil(input);
        AnalysisResult r = RunAnalysis(state, ui, input);
        EXPECT_EQ(r.outcome, AnalysisOutcome::BadInput);
        EXPECT_EQ(r.reason, c.reason);
        EXPECT_TRUE(ui.OnlyBox("Analysis Error",
                               std::string("The layered elastic analysis cannot be run:\r\n") +
                                   c.reason + "\r\n\r\nThe run has been stopped."));
        EXPECT_FALSE(state.Run.DesignRunning);
        EXPECT_FALSE(dir.Exists("DAMTMP.DAT"));
        EXPECT_EQ(state.Run.AnalysisTimeMs, 5);
    }
}

TEST(RunAnalysis, KindOfAnUntypedSectionIsTheKindOfThePreviousRun) {
    core::ProgramState state = StateIn("/nonexistent/", core::kPavementNone);
    state.Run.LastResponseKind = "HorizontalStress";
    FakeUserPort ui;
    ui.answerDefaults = true;
    AnalysisInput bad = Flexible();
    bad.gears.clear();
    EXPECT_EQ(RunAnalysis(state, ui, bad).kind, ResponseKind::HorizontalStress);

    state.Current.PavementType = core::kNewFlexible;
    EXPECT_EQ(RunAnalysis(state, ui, bad).kind, ResponseKind::VerticalStrain);
    EXPECT_EQ(state.Run.LastResponseKind, "VerticalStrain");
    EXPECT_EQ(RunAnalysis(state, ui, bad, ResponseKind::VerticalDeflection).kind,
              ResponseKind::VerticalDeflection);
}

// Compressive strain in the subgrade, tensile stress at the bottom of the slab, and a surface
// deflection, which writes no result file.
TEST(RunAnalysis, CompletedRunsKeepOneValuePerAircraftOfTheSectionsKind) {
    struct Case {
        int type;
        AnalysisInput input;
        std::optional<ResponseKind> kind;
        int layer;
        double low, high;
    };
    AnalysisInput surface = Flexible();
    surface.structure.Depth[1] = 0;
    const Case cases[] = {{core::kNewFlexible, Flexible(), {}, 3, -0.01, 0},
                          {core::kNewRigid, Rigid(), {}, 1, 10, 1000},
                          {core::kNewFlexible, surface, ResponseKind::VerticalDeflection, 1, 0, 1}};
    for (const Case& c : cases) {
        test::TempDir dir;
        core::ProgramState state = StateIn(dir.path(), c.type);
        TickingUserPort ui;
        const AnalysisResult r = RunAnalysis(state, ui, c.input, c.kind);
        ASSERT_EQ(r.outcome, AnalysisOutcome::Completed) << r.reason;
        ASSERT_EQ(r.output.rows.size(), 1u);
        EXPECT_EQ(r.output.rows[0].layer, c.layer);
        ASSERT_EQ(r.output.rows[0].kept.size(), c.input.gears.size());
        for (double value : r.output.rows[0].kept) {
            EXPECT_GT(value, c.low) << c.type;
            EXPECT_LT(value, c.high) << c.type;
        }
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(r.elapsedMs, 5);
        const std::string file = c.kind ? "" : dir.Read("DAMTMP.DAT");
        EXPECT_EQ(dir.Exists("DAMTMP.DAT"), !c.kind);
        for (const AnalysisGear& g : c.input.gears)
            EXPECT_EQ(file.find(g.Name) != std::string::npos, !c.kind) << g.Name;
    }
}

TEST(RunAnalysis, ResultFileThatCannotBeWrittenStopsTheRun) {
    core::ProgramState state = StateIn("/nonexistent-tavro-dir/", core::kNewFlexible);
    FakeUserPort ui;
    ui.answerDefaults = true;
    AnalysisResult r = RunAnalysis(state, ui, Flexible());
    EXPECT_EQ(r.outcome, AnalysisOutcome::FileError);
    EXPECT_EQ(ui.Titles(), std::vector<std::string>{"File Error"});
    EXPECT_FALSE(state.Run.DesignRunning);
}

AnalysisInput PlateBasin() {
    AnalysisInput in = Flexible();
    in.gears = {Gear("Plate", 9563, 84.56, {0}, {0, 12, 24, 36, 48, 60, 72})};
    return in;
}

// Squared misfit of the computed basin against the stored one (mils -> in).
double Misfit(const core::ProgramState& state, core::UserPort& ui, AnalysisInput in, double e) {
    const double stored[] = {23.23, 7.12, 4.4, 2.1, 1.31, 0.92, 0.84};
    in.structure.Modulus[3] = e;
    in.structure.Depth[1] = 0;
    in.gears[0].TirePressure[1] = 9563 / 113.09733552924001;
    AnalysisOutput out;
    NewLeaAnalysis(state, ui, in, ResponseKind::VerticalDeflection, out);
    double sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += std::pow(stored[i] / 1000 - out.pointValues[0][static_cast<std::size_t>(i)], 2);
    return sum;
}

class BackCalculation : public ::testing::Test {
protected:
    core::ProgramState state = StateIn("/nonexistent/", core::kNewFlexible);
    FakeUserPort ui;
};

// Under a stiff slab the misfit curves downwards: the fit must go downhill, not to its maximum.
TEST_F(BackCalculation, ConvergesToAModulusThatMinimisesTheBasinMisfit) {
    AnalysisInput stiffSlab = PlateBasin();
    stiffSlab.structure.Thickness[1] = 30;
    stiffSlab.structure.Modulus[1] = 4000000;
    for (const AnalysisInput& in : {PlateBasin(), stiffSlab}) {
        SCOPED_TRACE(in.structure.Thickness[1]);
        BackCalcResult r = BackCalculateSubgrade(state, ui, in.structure);
        ASSERT_EQ(r.outcome, BackCalcOutcome::Converged) << r.reason;
        EXPECT_FALSE(r.clamped);
        const double best = Misfit(state, ui, in, r.modulusPsi);
        EXPECT_LT(best, Misfit(state, ui, in, r.modulusPsi * 1.05));
        EXPECT_LT(best, Misfit(state, ui, in, r.modulusPsi / 1.05));
        EXPECT_LT(best, Misfit(state, ui, in, 100000));
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(BackCalculation, StopsAtTheUpperBoundOrAtTheIterationCap) {
    // A basin a twentieth of the stored one: stiffer than any subgrade allowed.
    BackCalcOptions stiff, capped;
    for (double& d : stiff.basinMils) d /= 20;
    BackCalcResult r = BackCalculateSubgrade(state, ui, PlateBasin().structure, stiff);
    EXPECT_EQ(r.outcome, BackCalcOutcome::AtUpperBound) << r.reason;
    EXPECT_EQ(r.modulusPsi, 100000);
    EXPECT_TRUE(r.clamped);

    capped.maxIterations = 1;
    capped.relativeTolerance = 1e-15;
    r = BackCalculateSubgrade(state, ui, PlateBasin().structure, capped);
    EXPECT_EQ(r.iterations, 1);
    EXPECT_TRUE(r.outcome == BackCalcOutcome::NotConverged ||
                r.outcome == BackCalcOutcome::AtLowerBound ||
                r.outcome == BackCalcOutcome::AtUpperBound)
        << r.reason;
}

// Surface deflection of a half-space under a uniform circular load (Timoshenko & Goodier).
double HalfSpaceSurfaceDeflection(double load, double e, double v, double r) {
    const double a = 6, q = load / (std::numbers::pi * a * a);
    if (r == 0) return 2 * (1 - v * v) * q * a / e;
    const double k = a / r;
    return 4 * (1 - v * v) * q * r / (std::numbers::pi * e) *
           (std::comp_ellint_2(k) - (1 - k * k) * std::comp_ellint_1(k));
}

// The basin, in mils, of a plate load on a half-space.
BackCalcOptions HalfSpaceBasin(double load, double modulus) {
    BackCalcOptions options;
    options.plateLoadLbs = load;
    for (std::size_t i = 0; i < options.basinMils.size(); ++i)
        options.basinMils[i] =
            1000 * HalfSpaceSurfaceDeflection(load, modulus, 0.4, kSensorOffsetsIn[i]);
    return options;
}

// Surface deflections lie within 0.5 % of the closed form, and so does a fitted modulus.
constexpr double kHalfSpaceFitRelative = 5e-3;

TEST_F(BackCalculation, ThePlateLoadOnAHalfSpaceGivesBackItsModulus) {
    // A 10 in layer of the subgrade's own stiffness over it: a half-space once the fit has it.
    for (const auto& [load, modulus] : {std::pair{9563.0, 15000.0}, std::pair{20000.0, 42000.0}}) {
        const LeaStructure structure =
            Structure({{10, modulus, 0.4, 0, 2}, {0, 5000, 0.4, 0, 4}}, {1.0001 * 10});
        const BackCalcOptions options = HalfSpaceBasin(load, modulus);
        const BackCalcResult r = BackCalculateSubgrade(state, ui, structure, options);
        ASSERT_EQ(r.outcome, BackCalcOutcome::Converged) << r.reason;
        EXPECT_NEAR(r.modulusPsi / modulus, 1, kHalfSpaceFitRelative) << load;
        ASSERT_EQ(r.fittedBasinMils.size(), 7u);
        // Beyond 36 in the quadrature loses a few percent of the small deflections.
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(r.fittedBasinMils[i] / options.basinMils[i], 1, 2 * kHalfSpaceFitRelative)
                << "sensor " << i;
        double squares = 0;
        for (std::size_t i = 0; i < 7; ++i)
            squares += std::pow(r.fittedBasinMils[i] - options.basinMils[i], 2);
        EXPECT_DOUBLE_EQ(r.rmsMisfitMils, std::sqrt(squares / 7));
        EXPECT_LT(r.rmsMisfitMils, kHalfSpaceFitRelative * options.basinMils[0]);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// A layer told of every trial subgrade modulus: the fit finds the half-space again.
TEST_F(BackCalculation, LayersThatRestOnTheBottomLayerFollowEveryTrialModulus) {
    const LeaStructure structure = Structure({{10, 3000, 0.4, 0, 6}, {0, 5000, 0.4, 0, 4}}, {0});
    BackCalcOptions options = HalfSpaceBasin(9563, 25000);
    int calls = 0;
    options.bottomModulusChanged = [&calls](double e, LeaStructure& s) {
        ++calls;
        s.Modulus[1] = e;
    };
    const BackCalcResult r = BackCalculateSubgrade(state, ui, structure, options);
    ASSERT_EQ(r.outcome, BackCalcOutcome::Converged) << r.reason;
    EXPECT_NEAR(r.modulusPsi / 25000, 1, kHalfSpaceFitRelative);
    EXPECT_EQ(calls, 3 * r.iterations + 1);  // three basins a Newton step, one for the fit
}

TEST_F(BackCalculation, ABadBasinLoadOrStructureIsRefusedWithTheAnalysisError) {
    ui.answerDefaults = true;
    BackCalcOptions zeroDeflection, negativeLoad;
    zeroDeflection.basinMils[6] = 0;
    negativeLoad.plateLoadLbs = -1;
    LeaStructure negativeModulus = PlateBasin().structure;
    negativeModulus.Modulus[2] = -5;
    for (const auto& [structure, options] : {std::pair{Flexible().structure, zeroDeflection},
                                             {Flexible().structure, negativeLoad},
                                             {negativeModulus, BackCalcOptions{}}})
        EXPECT_EQ(BackCalculateSubgrade(state, ui, structure, options).outcome,
                  BackCalcOutcome::BadInput);
    EXPECT_EQ(ui.Titles(), std::vector<std::string>(3, "Analysis Error"));
}

}  // namespace
}  // namespace tavro::analysis
