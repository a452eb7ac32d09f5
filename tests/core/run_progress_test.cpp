// The progress line under the structure: each part and its order, both unit systems.
#include "core/run_progress.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tavro::core {
namespace {

std::vector<SectionLayer> Layers(std::initializer_list<std::pair<float, float>> thicknessModulus) {
    std::vector<SectionLayer> layers;
    for (auto [t, e] : thicknessModulus) layers.push_back({t, e, 0, 2});
    return layers;
}

UnitSet Units(bool metric) {
    UnitSet units;
    ApplyUnits(units, metric);
    return units;
}

TEST(RunProgress, ThicknessToSubgradeLeavesOutASlabBaseAboveAStiffBottomLayer) {
    EXPECT_DOUBLE_EQ(ThicknessToSubgrade(Layers({{4, 1e5}, {6, 1e5}, {0, 1e4}})), 10.0);
    // A bottom layer of 1,000,000 psi or more is a stiff base: the layer over it is left out.
    EXPECT_DOUBLE_EQ(ThicknessToSubgrade(Layers({{4, 1e5}, {6, 1e5}, {0, 1e6}})), 4.0);
    EXPECT_DOUBLE_EQ(ThicknessToSubgrade(Layers({{4, 1e5}, {6, 1e5}, {0, 999999}})), 10.0);
    EXPECT_DOUBLE_EQ(ThicknessToSubgrade({}), 0.0);
}

RunProgress Running(std::int16_t type, int iteration, float cdf, float thicknessIn) {
    return {.running = true,
            .iteration = iteration,
            .pavementType = type,
            .progressCdf = cdf,
            .thicknessIn = thicknessIn,
            .layers = {}};
}

TEST(RunProgress, LineTextsForEveryKindOfRun) {
    RunProgress idle;
    idle.thicknessIn = 12.5f;
    RunProgress flex = Running(kNewFlexible, 7, 1.2345f, 20);
    flex.sublayersShown = true;
    RunProgress flexSub = flex, overlayAc = flex, overlayAcShown = flex, flexLife = flex;
    flexSub.useSublayers = true;
    overlayAc.pavementType = overlayAcShown.pavementType = kAcOnFlexible;
    overlayAc.sublayersShown = overlayAcShown.sublayersShown = false;
    overlayAc.computingAsphalt = true;
    overlayAcShown.asphaltCdfShown = true;
    overlayAcShown.asphaltCdf = 0.456f;
    flexLife.lifeMode = true;
    flexLife.structureLife = 23.45678f;
    const RunProgress rigid = Running(kNewRigid, 3, 0.5f, 10);
    RunProgress rigidLife = rigid, onRigid = rigid;
    rigidLife.lifeMode = true;
    rigidLife.cdfuShown = 42.125f;
    rigidLife.structureLife = 19.5f;
    onRigid.pavementType = kUnbondedOnRigid;
    onRigid.existingPavement = true;
    onRigid.existingLife = 12.34f;
    // The expected line names the failing case.
    const std::tuple<RunProgress, bool, const char*> cases[] = {
        {idle, false, "Total thickness to the top of the subgrade, t = 12.50 in"},
        {idle, true, "Total thickness to the top of the subgrade, t = 317.5 mm"},
        {flex, false, "N = 7;  No Sublayers;  Subgrade CDF = 1.23;  t = 20.00 in"},
        {flexSub, false, "N = 7;  Sublayers;  Subgrade CDF = 1.23;  t = 20.00 in"},
        {overlayAc, false, "N = 7;  Computing AC CDF;  Subgrade CDF = 1.23;  t = 20.00 in"},
        {overlayAcShown, false, "N = 7;  AC CDF = 0.46;  Subgrade CDF = 1.23;  t = 20.00 in"},
        {flexLife, false, "Sub CDF = 1.23;  Str Life (SG) = 23.457 yrs;  t = 20.00 in"},
        {rigid, false, "N = 3;  PCC CDF = 0.50;  t = 10.00 in"},
        {rigidLife, false,
         "%CDFU = 42.13;  PCC CDF = 0.50;  Str Life (PCC) = 19.500 yrs;  t = 10.00 in"},
        {onRigid, false, "N = 3;  Str Life = 12.3 yrs;  t = 10.00 in"},
    };
    for (const auto& [progress, metric, line] : cases)
        EXPECT_EQ(ProgressLine(progress, Units(metric)), line);
}

}  // namespace
}  // namespace tavro::core
