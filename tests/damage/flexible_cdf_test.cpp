// Flexible damage from hand-written result files: both criteria against hand calculations,
// the strain floor, overloads, the maximum over positions and the file error path.
#include "damage/flexible_cdf.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/fake_user_port.h"
#include "support/temp_dir.h"

namespace tavro::damage {
namespace {

// A single-precision log divisor and eight-digit strains: a few parts in a million.
constexpr double kCoverageRelTolerance = 1e-5;

const std::string kHeader =
    " Number of Pavements\r\n"
    "           1\r\n"
    "Number; of; Thickness & Modulii; Variations, ACs And RConcrete\r\n"
    "  1  1  1    .00\r\n"
    "           Gross   Layer              E          Horizontal   Vertical\r\n"
    " AC        Load     No.   Depth    Modulus         Strain        Strain\r\n";

// An aircraft line with horizontal and vertical strain texts.
std::string Line(const std::string& horizontal, const std::string& vertical) {
    return "Test wheel        12000.0  2   10.0    .15000000E+05 " + horizontal + " " + vertical +
           "\r\n";
}

// One single-wheel aircraft (10 in wide) per position on 5 in asphalt over 15000 psi.
core::ProgramState SingleWheels(const test::TempDir& dir, std::vector<float> positions,
                                float departures) {
    core::ProgramState state;
    state.ProgramDir = dir.path();
    state.Current.Layers = {{5, 200000, 0, 1}, {0, 15000, 0, 4}};
    for (const float y : positions) {
        library::AircraftEntry& e = state.Aircraft.entries.emplace_back();
        e.AcGearConfig = e.AcWheelCount = 1;
        e.AcWheelY[0] = y;
        core::DesignAircraft& a = state.Current.Aircraft.emplace_back();
        a.AircraftLibIndex = static_cast<std::int16_t>(state.Aircraft.entries.size());
        a.ContactWidth = 10;
        a.TotalDepartures = departures;
    }
    state.Run.DesignRunning = true;
    return state;
}

// The damage of a result file of `lines` for single wheels at `positions`.
class StrainFile : public ::testing::Test {
protected:
    FlexibleCdfResult Run(std::vector<float> positions, const std::string& lines,
                          FlexibleCriterion criterion = FlexibleCriterion::Subgrade) {
        if (!positions.empty()) state = SingleWheels(dir, std::move(positions), 1000);
        dir.Write("DAMTMP.DAT", kHeader + lines);
        return ComputeFlexibleCDF(state, ui, 0, criterion);
    }
    test::TempDir dir;
    core::ProgramState state;
    test::FakeUserPort ui;
};

// Subgrade criterion at E = 15000 psi (15 ksi):
//   A = 0.001347313924 + 6.096554524e-5 * log10 15 = 0.001347313924 + 6.096554524e-5 * 1.1760913
//     = 0.0014190150
//   B = 3.662531599 * 15^0.3863832 = 3.662531599 * 2.8472404 = 10.428054
// A strain of A gives C = 10000; A/2 gives 10000 * 2^10.428054 = 13777079.
TEST_F(StrainFile, SubgradeCriterionAtFifteenThousandPsiMatchesTheHandConstants) {
    const auto r = Run({0, 200}, Line("0", "-.14190150E-02") + Line("0", "-.70950748E-03"));
    const core::DamageTables& d = state.Run.Damage;
    EXPECT_NEAR(d.AllowableCoverages[1], 10000, 10000 * kCoverageRelTolerance);
    EXPECT_NEAR(d.AllowableCoverages[2], 13777079, 13777079 * kCoverageRelTolerance);
    EXPECT_FALSE(r.strainsTooLow);
    // Position 1 (x = 0) is under the first wheel: 1000 * 0.130323 / 10000.
    EXPECT_NEAR(r.cdf, 0.0130323, 1e-5);
    EXPECT_EQ(r.criticalPosition, 1);
    // Events: one per aircraft line, one per aircraft and position.
    EXPECT_EQ(ui.eventPolls, 2 + 2 * 41);
}

TEST_F(StrainFile, StrainsBelowTheFloorAreRaisedAndOnlyIncludedAircraftClearTheTooLowFlag) {
    // 0.0001: C = 10000 * (14.190150)^10.428054 = 1.0303452e16.
    EXPECT_TRUE(Run({0}, Line("0", "-.50000000E-04")).strainsTooLow);
    EXPECT_NEAR(state.Run.Damage.AllowableCoverages[1], 1.0303452e16, 1.0303452e16 * 1e-4);
    EXPECT_FLOAT_EQ(state.Run.Damage.CriticalResponse[1], 0.00005f);  // as read

    EXPECT_FALSE(Run({}, Line("0", "-.10000000E-03")).strainsTooLow);
    // An overload aircraft alone: no damage, and its strain clears nothing.
    state.Current.Aircraft[0].OverloadFlag = true;
    const FlexibleCdfResult overload = Run({}, Line("0", "-.10000000E-03"));
    EXPECT_EQ(overload.cdf, 0);
    EXPECT_TRUE(overload.strainsTooLow);
}

TEST_F(StrainFile, CdfIsTheLargestPositionNotTheSumOfAircraft) {
    // Wheels 200 in apart: neither reaches the other's position (beyond five sigma).
    // Departures for 0.6 and 0.5 at their own positions: 0.6 * 10000 / 0.130323 = 46039.4.
    state = SingleWheels(dir, {0, 200}, 46039.4f);
    state.Current.Aircraft[1].TotalDepartures = 38366.2f;  // 0.5 * 10000 / 0.130323
    const FlexibleCdfResult r = Run({}, Line("0", "-.14190150E-02") + Line("0", "-.14190150E-02"));
    EXPECT_NEAR(r.cdf, 0.6, 1e-4);
    EXPECT_EQ(r.criticalPosition, 1);
    EXPECT_NEAR(state.Run.Damage.CdfByPosition[21], 0.5, 1e-4);  // x = 200
}

TEST_F(StrainFile, AsphaltCriterionUsesTheHorizontalStrainAndSurfaceModulus) {
    const auto r = Run({0}, Line(".10000000E-03", "-.30000000E-02"), FlexibleCriterion::Asphalt);
    // log10 C = 2.68 - 5 * (-4) - 2.665 * log10 200000 = 22.68 - 2.665 * 5.30103 = 8.552755
    EXPECT_NEAR(state.Run.Damage.Log10Coverages[1], 8.552755, 1e-5);
    EXPECT_TRUE(r.strainsTooLow);
}

TEST_F(StrainFile, ShortOrGarbledResultFileEndsTheRunWithOneMessage) {
    ui.answerDefaults = true;
    const auto r = Run({0, 100, 200}, Line("0", "-.14190150E-02") + "Test wheel  x y z\r\n");
    EXPECT_TRUE(r.readError);
    EXPECT_FALSE(state.Run.DesignRunning);
    EXPECT_TRUE(ui.OnlyBox("File Error",
                           "There has been an error reading\r\nstrains from the data file. This\r\n"
                           "may have been caused by a very\r\nthin surface layer. The design\r\n"
                           "will be ended.\r\n\r\nPlease check the structure."));
    // The missing aircraft are still counted, with 0.001.
    EXPECT_FLOAT_EQ(state.Run.Damage.CriticalResponse[3], 0.001f);
    EXPECT_GT(r.cdf, 0);

    // Outside a run (and with no file at all) nothing is said.
    dir.Write("DAMTMP.DAT", "");
    EXPECT_TRUE(ComputeFlexibleCDF(state, ui, 0, FlexibleCriterion::Subgrade).readError);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

}  // namespace
}  // namespace tavro::damage
