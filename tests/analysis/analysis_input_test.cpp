// The analysis input files "VORNA.STR" and "VORNA.LOA": bytes of the sample section written
// out by hand, the layer limit and write failures.
#include "analysis/analysis_input.h"

#include <gtest/gtest.h>

#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "support/fake_user_port.h"
#include "support/temp_dir.h"

namespace tavro::analysis {
namespace {

using test::FakeUserPort;

// "ACAggregate": 4.5 in asphalt on 10 in crushed aggregate on 10000 psi, four aircraft.
core::ProgramState SampleState(const std::string& dir = "/nonexistent/") {
    core::ProgramState state;
    core::InitLibraries(state);
    state.ProgramDir = dir;
    state.JobName = "Samples";
    core::LoadSampleJob(state);
    state.CurrentSection = 1;
    FakeUserPort ui;
    core::LoadSection(state, ui);
    state.Run.DesignRunning = true;
    return state;
}

// One-to-one with the section, the depth just inside the subgrade (1.0001 x 14.5 in).
AnalysisLayerList SampleList() {
    return {{{4.5f, 200000, 1}, {10, 31200, 6}, {0, 10000, 4}}, {14.50145}};
}

constexpr std::string_view kSampleStructure =
    " STRUCTURE Data File\r\n"
    " Job Title\r\n"
    "Title\r\n"
    " Number of Pavements\r\n"
    " 1\r\n"
    " Number Thicknesses & Moduli Variations\r\n"
    "           1           1\r\n"
    " Pavement Description\r\n"
    "ACAggregate\r\n"
    " Slab Flexural Strength (only for rigid pavements)\r\n"
    "          0.00000000\r\n"
    " No. of Layers\r\n"
    "   3\r\n"
    "  Layer      Thicknesses     Modulus of   Poisson's   Interface\r\n"
    "  Number       ( in )        Elasticity     Ratio     Condition     Layer Code\r\n"
    "                              ( psi )\r\n"
    "  -------------------------------------------------------------\r\n"
    //  no.|      thickness (20)|  modulus (15)|poisson (14)|       layer code (18)
    "    1        4.5000000E00   2.0000000E05 3.5000000E-01                 1\r\n"
    "                                                              0\r\n"
    "    2        1.0000000E01   3.1200000E04 3.5000000E-01                 6\r\n"
    "                                                              0\r\n"
    "    3                       1.0000000E04 3.5000000E-01                 4\r\n"
    " No. of Depths\r\n"
    "   1\r\n"
    "  Depth No.       Depth (in)\r\n"
    "  ---------------------------\r\n"
    "     1          14.501450\r\n";

// Tire load = gross x 0.475 / tires, area = load / pressure, radius = sqrt(area / 3.14159):
// Sabreliner 65: 11400 lbs, 44.015444 sq.in, 3.7430686 in; Citation 550B: 7125, 54.807692,
// 4.1768224; King Air B100 (two tires 11.58 in apart): 2731.25, 52.524038, 4.0888794;
// Stationair 206: 1715.7, 40.85, 3.6059631.
constexpr std::string_view kSampleLoadsHead =
    " LOAD Data File\r\n"
    " Job Title\r\n"
    "Title\r\n"
    " No. of Aircraft\r\n"
    " 4\r\n";

constexpr std::string_view kTireHeadings =
    " Tire  Radius  Cont.Area  Cont.Press.   Tire Load   X-coord.   Y-coord.\r\n"
    " No.    (in)    (sq.in)     (psi)        (pounds)     (in)       (in)  \r\n"
    " ------------------------------------------------------------------------\r\n";

constexpr std::string_view kPointHeadings =
    " Point No.      X-coord.        Y-coord.\r\n"
    "                 ( in )          ( in )\r\n"
    " --------------------------------------\r\n";

std::string SampleLoads() {
    std::string t(kSampleLoadsHead);
    auto aircraft = [&](int k, const char* name, const char* gross, const char* tires,
                        const std::vector<const char*>& tireLines, const char* points,
                        const std::vector<const char*>& pointLines) {
        t += " Aircraft Identification #   " + std::to_string(k) + " \r\n" + name +
             "\r\n Gross Load\r\n" + gross +
             "\r\n Fraction of Gross Load on Gear to be Analyzed\r\n 4.7500000E-01\r\n"
             " No. of Tires\r\n" +
             tires + "\r\n" + std::string(kTireHeadings);
        for (const char* l : tireLines) t += std::string(l) + "\r\n";
        t += " No. of Evaluation Points (( X,Y Sets )\r\n" + std::string(points) + "\r\n" +
             std::string(kPointHeadings);
        for (const char* l : pointLines) t += std::string(l) + "\r\n";
    };
    const char* origin = "     1        0.0000000E00    0.0000000E00";
    aircraft(1, "Sabreliner 65", "    24000.00", " 1",
             {"  1  3.7430686E00  4.4015444E01  2.5900000E02  1.1400000E04  0.0000000E00  "
              "0.0000000E00"},
             "  1", {origin});
    aircraft(2, "Citation 550B", "    15000.00", " 1",
             {"  1  4.1768224E00  5.4807692E01  1.3000000E02  7.1250000E03  0.0000000E00  "
              "0.0000000E00"},
             "  1", {origin});
    aircraft(
        3, "King Air B100", "    11500.00", " 2",
        {"  1  4.0888794E00  5.2524038E01  5.2000000E01  2.7312500E03 -5.7900000E00  "
         "0.0000000E00",
         "  2  4.0888794E00  5.2524038E01  5.2000000E01  2.7312500E03  5.7900000E00  "
         "0.0000000E00"},
        "  4",
        {"     1        5.7900000E00    0.0000000E00", "     2        4.3424997E00    0.0000000E00",
         "     3        2.8950000E00    0.0000000E00",
         "     4        0.0000000E00    0.0000000E00"});
    aircraft(4, "Stationair 206", "     3612.00", " 1",
             {"  1  3.6059631E00  4.0850000E01  4.2000000E01  1.7157000E03  0.0000000E00  "
              "0.0000000E00"},
             "  1", {origin});
    return t;
}

TEST(VornaFiles, ConcreteSurfaceGivesFlexuralStrengthAndRigidSubgradeRatio) {
    core::ProgramState state = SampleState();
    state.Current.Layers = {{12, 4000000, 650, 5}, {6, 75000, 0, 6}, {0, 10000, 0, 4}};
    AnalysisLayerList list{{{12, 4000000, 5}, {6, 75000, 6}, {0, 10000, 4}}, {-12}};
    AnalysisInput input = BuildAnalysisInput(state, list);
    const LeaStructure& st = input.structure;
    EXPECT_EQ(
        (std::vector<double>{st.FlexuralStrength, st.Poisson[1], st.Poisson[3], st.Interface[1]}),
        (std::vector<double>{650, 0.15, 0.4, 100000}));
    const std::string text = FormatVornaStructure(input.structure, "Rigid");
    EXPECT_NE(text.find("\r\n        650.00000000\r\n"), std::string::npos);
    // 51 blanks, then the interface value right-aligned in 12.
    EXPECT_NE(text.find("\r\n" + std::string(57, ' ') + "100000\r\n"), std::string::npos);

    // The strength is that of the last concrete layer.
    state.Current.Layers = {{6, 4000000, 650, 11}, {10, 4000000, 720, 5}, {0, 10000, 0, 4}};
    list = {{{6, 4000000, 11}, {10, 4000000, 5}, {0, 10000, 4}}, {-16}};
    EXPECT_EQ(BuildAnalysisInput(state, list).structure.FlexuralStrength, 720);
    // An undefined subgrade takes its own ratio even under concrete.
    state.Current.Layers = {{12, 4000000, 650, 5}, {0, 10000, 0, 0}};
    input = BuildAnalysisInput(state, {{{12, 4000000, 5}, {0, 10000, 0}}, {}});
    EXPECT_EQ(input.structure.Poisson[2], 0.35);
}

TEST(VornaFiles, FieldsLongerThanTheirWidthKeepOneLeadingSpace) {
    core::ProgramState state = SampleState();
    state.Current.Aircraft.resize(12, state.Current.Aircraft.front());
    const std::string text = FormatVornaLoads(BuildAnalysisInput(state, SampleList()).gears);
    EXPECT_NE(text.find("\r\n No. of Aircraft\r\n 12\r\n Aircraft Identification #   1 \r\n"),
              std::string::npos);
    EXPECT_NE(text.find(" Aircraft Identification #   12 \r\n"), std::string::npos);
}

TEST(VornaFiles, AircraftMissingFromTheLibraryGetsNoTiresRatherThanACrash) {
    core::ProgramState state = SampleState();
    state.Current.Aircraft[0].AircraftLibIndex = 0;
    state.Current.Aircraft[1].AircraftLibIndex = 999;
    AnalysisInput input = BuildAnalysisInput(state, SampleList());
    EXPECT_EQ(input.gears[0].TireCount, 0);
    EXPECT_EQ(input.gears[1].PointCount, 0);
    EXPECT_NE(FormatVornaLoads(input.gears).find("Sabreliner 65\r\n"), std::string::npos);
}

TEST(VornaFiles, SeventeenAnalysisLayersStopTheRunWithoutWritingAnything) {
    test::TempDir dir;
    core::ProgramState state = SampleState(dir.path());
    FakeUserPort ui;
    ui.Answer(core::Answer::Ok);
    AnalysisLayerList list{std::vector<AnalysisLayer>(16, {1, 75000, 6}), {}};
    list.layers.push_back({0, 10000, 4});
    AnalysisInput input;
    input.structure.Layers = 99;  // must stay untouched

    EXPECT_EQ(WriteVornaInput(state, ui, list, input), VornaStatus::TooManyLayers);
    EXPECT_TRUE(ui.OnlyBox("Too Many Layers",
                           "Sublayering in aggregate layers has exceeded\r\n"
                           "the allowed number of layers in a structure; 16.\r\n"
                           "The design cannot be continued. Try adding one\r\n"
                           "or more undefined layers for an approximate design."));
    EXPECT_FALSE(state.Run.DesignRunning);
    EXPECT_FALSE(dir.Exists("VORNA.STR"));
    EXPECT_EQ(input.structure.Layers, 99);
}

// The loads text is kept between analyses: every change must reach the file, which ends
// where the new text ends. Sixteen layers, the most there may be, are written.
TEST(VornaFiles, RewritesFollowEveryChangeOfLayersAndAircraft) {
    test::TempDir dir;
    core::ProgramState state = SampleState(dir.path());
    FakeUserPort ui;
    dir.Write("VORNA.STR", std::string(20000, '#'));  // longer than any new text
    AnalysisLayerList sixteen{std::vector<AnalysisLayer>(15, {1, 50000, 6}), {3.0}};
    sixteen.layers.push_back({0, 10000, 4});
    AnalysisInput input;
    ASSERT_EQ(WriteVornaInput(state, ui, sixteen, input), VornaStatus::Written);
    EXPECT_EQ(dir.Read("VORNA.STR"), FormatVornaStructure(input.structure, "ACAggregate"));
    ASSERT_EQ(WriteVornaInput(state, ui, SampleList(), input), VornaStatus::Written);
    EXPECT_EQ(dir.Read("VORNA.STR"), kSampleStructure);
    EXPECT_EQ(dir.Read("VORNA.LOA"), SampleLoads());
    // The records hold the values the eight-digit file text rounds.
    EXPECT_EQ(input.structure.Poisson[3], 0.35);  // rather than 0.34999999
    EXPECT_EQ(input.gears.at(2).PointX.at(3), 2.895);

    state.Current.Aircraft[1].GrossLoad = 16000;  // one load changes
    ASSERT_EQ(WriteVornaInput(state, ui, SampleList(), input), VornaStatus::Written);
    EXPECT_EQ(dir.Read("VORNA.LOA"), FormatVornaLoads(input.gears));
    EXPECT_NE(dir.Read("VORNA.LOA"), SampleLoads());

    state.Current.Aircraft.pop_back();  // a shorter list
    ASSERT_EQ(WriteVornaInput(state, ui, SampleList(), input), VornaStatus::Written);
    EXPECT_EQ(dir.Read("VORNA.LOA"), FormatVornaLoads(input.gears));

    core::ProgramState fresh = SampleState(dir.path());  // back to the sample's list
    ASSERT_EQ(WriteVornaInput(fresh, ui, SampleList(), input), VornaStatus::Written);
    EXPECT_EQ(dir.Read("VORNA.LOA"), SampleLoads());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(VornaFiles, AWriteFailureIsReportedAndStopsTheRun) {
    core::ProgramState state = SampleState("/nonexistent-tavro-dir/");
    FakeUserPort ui;
    ui.answerDefaults = true;
    AnalysisInput input;
    EXPECT_EQ(WriteVornaInput(state, ui, SampleList(), input), VornaStatus::FileError);
    ASSERT_EQ(ui.Titles(), std::vector<std::string>{"File Error"});
    EXPECT_NE(ui.boxes[0].text.find("VORNA.STR"), std::string::npos);
    EXPECT_FALSE(state.Run.DesignRunning);
}

}  // namespace
}  // namespace tavro::analysis
