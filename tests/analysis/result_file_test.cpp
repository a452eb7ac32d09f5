// The result file text, byte for byte, written by hand from the column layout.
#include <gtest/gtest.h>

#include "analysis/responses.h"
#include "layered_system_builder.h"

namespace tavro::analysis {
namespace {

LayeredSystem ThreeLayers(double e1, double e2, double e3) {
    return layered::MakeSystem({{5, e1, 0.35, 1}, {10, e2, 0.35, 1}, {0, e3, 0.4, 1}});
}

GearLoads Named(const std::string& name, double gross) {
    GearLoads g;
    g.name = name;
    g.grossLoad = gross;
    return g;
}

const std::string kHead =
    " Number of Pavements\r\n"
    "           1\r\n"
    "Number; of; Thickness & Modulii; Variations, ACs And RConcrete\r\n"
    "  1  1  1    .00\r\n";

TEST(ResultFile, StrainRunListsTheCurrentDepthPerAircraft) {
    const LayeredSystem s = ThreeLayers(400000, 30000, 10000);
    const std::vector<GearLoads> gears = {Named("B737-800 Heavy Gear", 174200),
                                          Named("DC3", 26900.5)};
    AnalysisOutput out;
    out.rows.push_back({2, 5.0, {-1e-4, -2e-4}, {12, 13}});  // an earlier depth: not written
    out.rows.push_back({3, 15.0, {-5.23e-4, -1.2345678e-3}, {41, 0}});
    const std::string expected =
        kHead +
        "           Gross   Layer              E          Horizontal   Vertical\r\n"
        " AC        Load     No.   Depth    Modulus         Strain        Strain\r\n"
        "B737-800 Hea    174200.0  3   15.0    .10000000E+05     41   -.52300000E-03\r\n"
        "DC3              26900.5  3   15.0    .10000000E+05      0   -.12345678E-02\r\n";
    EXPECT_EQ(FormatResultFile(ResponseKind::VerticalStrain, s, gears, out), expected);
    // A row naming a layer outside the structure.
    out.rows.push_back({7, 3.0, {-1e-4, -1e-4}, {5, 5}});
    EXPECT_THROW(FormatResultFile(ResponseKind::VerticalStrain, s, gears, out), AnalysisError);
}

TEST(ResultFile, StressRunListsEveryDepthSoFarPerAircraft) {
    const LayeredSystem s = ThreeLayers(4000000, 30000, 8000);
    const std::vector<GearLoads> gears = {Named("A", 60000), Named("TWELVE CHARS", 100000)};
    AnalysisOutput out;
    out.rows.push_back({1, 10.0, {412.5, 0.0}, {0, 0}});
    out.rows.push_back({2, 16.125, {98.765432, 1.5}, {0, 0}});
    const std::string expected =
        kHead +
        "           Gross   Layer              E         Horizontal    Iterations\r\n"
        " AC        Load     No.   Depth    Modulus        Stress      to Converge\r\n"
        "A                60000.0  1 10.00000    .40000000E+07    .41250000E+03\r\n"
        "A                60000.0  2 16.12500    .30000000E+05    .98765432E+02\r\n"
        "TWELVE CHARS    100000.0  1 10.00000    .40000000E+07    .00000000E+00\r\n"
        "TWELVE CHARS    100000.0  2 16.12500    .30000000E+05    .15000000E+01\r\n";
    EXPECT_EQ(FormatResultFile(ResponseKind::HorizontalStress, s, gears, out), expected);
}

}  // namespace
}  // namespace tavro::analysis
