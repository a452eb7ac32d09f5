// tavro-cli end to end, in-process: exit statuses, text and JSON output, files left behind.
#include <unistd.h>

#include "cli/cli_fixture.h"

namespace tavro::cli {
namespace {

using Cli = testing::CliFixture;
using testing::Has;

TEST_F(Cli, ShowsTheSectionsOfSamplesAndOneSectionAsJsonOrMetricText) {
    EXPECT_EQ(Run({"show", "Samples"}), kExitOk);
    EXPECT_EQ(out.str(),
              "ACAggregate\tNew Flexible\nAConFlex\tAC on Flexible\nNewFlexible\tNew Flexible\n");
    EXPECT_EQ(Run({"--json", "show", "Samples"}), kExitOk);
    const auto j = Json();
    ASSERT_EQ(j["sections"].size(), 3u);
    EXPECT_EQ(j["sections"][1]["index"], 2);
    EXPECT_EQ(j["sections"][1]["pavementTypeName"], "AC on Flexible");
    EXPECT_TRUE(j["messages"].empty()) << "only the job list says there are no job files";

    ASSERT_EQ(Run({"show", "Samples", "aconflex", "--json"}), kExitOk) << "any case";
    const auto s = Json()["section"];
    EXPECT_EQ(s["name"], "AConFlex");
    EXPECT_EQ(s["timeStamp"], "11/01/71 00:00:00");
    ASSERT_EQ(s["layers"].size(), 4u);
    EXPECT_EQ(s["layers"][2]["modulus"], 75000.0);
    ASSERT_EQ(s["aircraft"].size(), 7u);
    // Falcon 50: A = 0.475*38800/2/208 = 44.30288 in^2, W = 2*sqrt(A/5.026544) = 5.937604 in.
    EXPECT_NEAR(s["aircraft"][0]["contactWidth"].get<double>(), 5.937604, 1e-5);
    EXPECT_EQ(s["aircraft"][0]["totalDepartures"], 740.0 * 20);

    ASSERT_EQ(Run({"--metric", "show", "Samples", "ACAggregate"}), kExitOk);
    EXPECT_TRUE(Has(out.str(), "Thickness (mm)"));
    EXPECT_TRUE(Has(out.str(), "1,378.95")) << "200000 psi = 1378.9514 MPa";
}

// The job file layout has its golden file in the core tests; here the copy must match.
TEST_F(Cli, CopiesASampleIntoANewJob) {
    NewJobWith("RWY", "ACAggregate");
    ASSERT_EQ(Run({"--json", "show", "Samples", "ACAggregate"}), kExitOk);
    const auto sample = Json()["section"];
    ASSERT_EQ(Run({"--json", "show", "RWY", "ACAggregate"}), kExitOk);
    EXPECT_EQ(Json()["section"]["layers"], sample["layers"]);
    EXPECT_EQ(Json()["section"]["aircraft"], sample["aircraft"]);
    EXPECT_EQ(dir.Read("RWY.NTS"), "ACAggregate\r\n11\r\nACAggregate\r\n");
}

TEST_F(Cli, DuplicatesDeletesAndKeepsNotes) {
    NewJobWith("J", "AConFlex", "B2");
    ASSERT_EQ(Run({"notes", "J", "B2", "--set", "cracked\nslab"}), kExitOk);
    EXPECT_EQ(out.str(), "cracked\nslab\n");
    ASSERT_EQ(Run({"duplicate", "J", "B2", "A1"}), kExitOk);
    EXPECT_EQ(dir.Read("J.NTS"), "A1\r\n9\r\nNo notes.\r\nB2\r\n13\r\ncracked\r\nslab\r\n");
    EXPECT_EQ(Run({"delete-section", "J", "A1"}), kExitRefused) << "No is the default";
    EXPECT_EQ(Run({"--yes", "delete-section", "J", "A1"}), kExitOk);
    EXPECT_EQ(dir.Read("J.NTS"), "B2\r\n13\r\ncracked\r\nslab\r\n");
    EXPECT_EQ(Run({"--json", "notes", "J", "B2"}), kExitOk);
    EXPECT_EQ(Json()["notes"], "cracked\r\nslab");
}

TEST_F(Cli, RefusalsExitWithOneAndUsageErrorsWithTwo) {
    EXPECT_EQ(Run({"new-job", "Samples"}), kExitRefused);
    EXPECT_TRUE(Has(err.str(), "Creating a New Job: Samples is a reserved job name."));
    EXPECT_EQ(Run({"show", "Samples", "NOPE"}), kExitRefused);
    EXPECT_EQ(Run({"frobnicate"}), kExitUsage);
    EXPECT_EQ(Run({"show"}), kExitUsage);

    ASSERT_EQ(Run({"new-job", "OLD"}), kExitOk);  // deleted only with --yes
    EXPECT_EQ(Run({"delete-job", "OLD"}), kExitRefused);
    EXPECT_TRUE(dir.Exists("OLD.JOB"));
    EXPECT_EQ(Run({"--yes", "--json", "delete-job", "OLD"}), kExitOk);
    EXPECT_EQ(Json()["status"], "done");
    EXPECT_FALSE(dir.Exists("OLD.JOB"));
}

TEST_F(Cli, ADamagedJobIsReportedWithWhatCouldBeRead) {
    NewJobWith("J", "ACAggregate");
    const std::string damaged = dir.Read("J.JOB") +
                                "SECOND\r\n 11/01/71 00:00:00        26238.000000    0.000000\r\n"
                                "  20    0.00    0.00  99   0\r\n";
    dir.Write("J.JOB", damaged);
    EXPECT_EQ(Run({"show", "J"}), kExitRefused);
    EXPECT_EQ(out.str(), "ACAggregate\tNew Flexible\n");
    EXPECT_TRUE(Has(err.str(), "File Error"));
    EXPECT_EQ(Run({"--yes", "--json", "duplicate", "J", "ACAggregate", "X"}), kExitRefused);
    EXPECT_EQ(dir.Read("J.JOB"), damaged) << "a damaged job is never rewritten";
    EXPECT_EQ(Json()["status"], "failed");
}

TEST_F(Cli, AnalyzesAsADesignIterationOrAtAGivenResponseAndDepth) {
    ASSERT_EQ(Run({"--json", "analyze", "Samples", "ACAggregate"}), kExitOk) << err.str();
    const auto j = Json();
    EXPECT_EQ(j["response"], "VerticalStrain");
    // Just inside the subgrade: 1.0001 x (4.5 + 10) in.
    EXPECT_NEAR(j["depth"].get<double>(), 14.50145, 1e-9);
    EXPECT_EQ(j["layer"], 3);
    ASSERT_EQ(j["analysisLayers"].size(), 3u);
    // A 10 in crushed base on 10000 psi: 10000 (1 + 10.52 log 10 - 2.1 log 10000 log 10).
    EXPECT_NEAR(j["analysisLayers"][1]["modulus"].get<double>(), 31200.0, 0.5);
    ASSERT_EQ(j["aircraft"].size(), 4u);
    EXPECT_LT(j["aircraft"][0]["response"].get<double>(), 0.0) << "compressive subgrade strain";
    EXPECT_NE(dir.Read("DAMTMP.DAT").find("Sabreliner 6  "), std::string::npos);

    ASSERT_EQ(Run({"--json", "analyze", "Samples", "ACAggregate", "--response", "hstrain",
                   "--depth", "-4.5"}),
              kExitOk);
    EXPECT_EQ(Json()["layer"], 1) << "a negative depth is the bottom of the layer above";
    EXPECT_GT(Json()["aircraft"][0]["response"].get<double>(), 0.0) << "tension under asphalt";
    EXPECT_EQ(Run({"analyze", "Samples", "ACAggregate", "--response", "shear"}), kExitUsage);
}

TEST_F(Cli, DesignsSampleSectionsInMemory) {
    ASSERT_EQ(Run({"--json", "design", "Samples", "ACAggregate"}), kExitOk) << err.str();
    const auto j = Json();
    const auto& result = j["result"];
    EXPECT_EQ(result["outcome"], "converged");
    EXPECT_NEAR(result["cdf"].get<double>(), 1.0, 0.005);
    ASSERT_EQ(result["cdfByPosition"].size(), 41u);
    const int critical = result["criticalPosition"];
    EXPECT_EQ(result["cdfByPosition"][critical - 1].get<double>(), result["cdf"].get<double>());
    EXPECT_EQ(j["section"]["analysed"], true);
    ASSERT_EQ(Run({"--json", "design", "Samples", "AConFlex"}), kExitOk) << err.str();
    EXPECT_GT(Json()["result"]["asphaltCDF"].get<double>(), 0);

    EXPECT_EQ(Run({"design", "Samples", "ACAggregate", "--save"}), kExitRefused);
    EXPECT_TRUE(Has(err.str(), "Writing a Job File: Job Samples is part of the system."));
}

TEST_F(Cli, ALifeRunOnADesignedSectionGivesTheDesignLife) {
    NewJobWith("J", "NewFlexible");
    ASSERT_EQ(Run({"design", "J", "NewFlexible", "--save"}), kExitOk) << err.str();
    ASSERT_EQ(Run({"--json", "life", "J", "NewFlexible"}), kExitOk) << err.str();
    EXPECT_NEAR(Json()["result"]["life"].get<double>(), 20.0, 0.1);
    ASSERT_EQ(Run({"report", "J", "NewFlexible"}), kExitOk);
    EXPECT_TRUE(Has(out.str(), "NOTES"));
}

TEST_F(Cli, ARunningDesktopProgramKeepsDesignsToItself) {
    dir.Write("tavro.lock", std::to_string(getpid()) + "\ntavro\nhost\n");
    EXPECT_EQ(Run({"design", "Samples", "ACAggregate"}), kExitRefused);
    EXPECT_TRUE(Has(err.str(), "Not First Instance"));
    dir.Write("tavro.lock", "999999999\ntavro\nhost\n");  // left by a crashed instance
    EXPECT_EQ(Run({"design", "Samples", "ACAggregate"}), kExitOk);
}

// A job file section: life 20, SCI 100, %CDFU 50, the given layer lines and one aircraft.
std::string JobSection(const std::string& name, const std::vector<std::string>& layers,
                       const std::string& aircraft) {
    std::string s = name + "\r\n 11/01/71 00:00:00        26238.000000    0.000000\r\n" +
                    "   20  100.00   50.00   " + std::to_string(layers.size()) + "   1\r\n";
    for (const auto& l : layers) s += l + "\r\n";
    return s + aircraft + "\r\n\r\n\r\n";
}

const std::string kG4 = " Gulfstream G-IV         75000    1200    0.000000";
const std::vector<std::string> kBottomAggregate{"      4.0000      200000       1",
                                                "      0.0000       10000       4",
                                                "      6.0000       75000       6"};
const std::vector<std::string> kThickBase{"      4.0000      200000       1",
                                          "     24.0000       75000       6",
                                          "      0.0000       10000       4"};

// A 6 in unbonded concrete overlay on a 10 in slab on crushed aggregate, under one jet.
const std::string kUnbondedJob =
    "Format3\r\n" +
    JobSection("UNBOND",
               {"      6.0000         700      11", "     10.0000         650       5",
                "      6.0000       75000       6", "      0.0000       10000       4"},
               " B-737-200              115500    3000    0.000000");

TEST_F(Cli, AnOverlayOnRigidReportsTheTotalLifeAndItsParts) {
    dir.Write("RIG.JOB", kUnbondedJob);
    ASSERT_EQ(Run({"--json", "life", "RIG", "UNBOND"}), kExitOk) << err.str();
    const auto result = Json()["result"];
    const auto overlay = result["overlay"];
    EXPECT_NEAR(result["life"].get<double>(),
                overlay["T1"].get<double>() + overlay["lifeAdded"].get<double>(), 1e-4);
    EXPECT_GT(overlay["T1"].get<double>(), 0.0) << "an uncracked slab with half its CDF left";
}

TEST_F(Cli, TheOverloadAnalysisGivesItsFigures) {
    ASSERT_EQ(Run({"--json", "life", "Samples", "NewFlexible", "--overload", "Falcon 2000"}),
              kExitOk)
        << err.str();
    const auto overload = Json()["result"]["overload"];
    // c = c0 + c1 / design life.
    EXPECT_NEAR(overload["c"].get<double>(),
                overload["c0"].get<double>() + overload["c1"].get<double>() / 20.0, 1e-6);
    EXPECT_EQ(overload["possible"], overload["c"].get<double>() <= 1.0);
    EXPECT_EQ(Run({"life", "Samples", "NewFlexible", "--overload", "Concorde"}), kExitRefused);
}

TEST_F(Cli, EveryRunOfABrokenStructureIsRefusedByTheStructureRules) {
    const std::string job = "Format3\r\n" + JobSection("BAD", kBottomAggregate, kG4) +
                            JobSection("GOOD", kThickBase, kG4);
    dir.Write("J.JOB", job);
    const std::string rule =
        "Checking the Structure: Only Subgrade or Undefined layers can\nbe placed at the bottom "
        "of the structure.\n\nPlease change the structure.\n";
    for (const std::vector<std::string>& command : {std::vector<std::string>{"analyze", "J", "BAD"},
                                                    {"backcalc", "J", "BAD"},
                                                    {"design", "J", "BAD", "--save"},
                                                    {"life", "J", "BAD"}}) {
        EXPECT_EQ(Run(command), kExitRefused) << command[0];
        EXPECT_EQ(err.str(), rule) << command[0];
        EXPECT_EQ(dir.Read("J.JOB"), job) << command[0];
    }
    EXPECT_EQ(Run({"--json", "design", "J", "--all", "--save"}), kExitRefused);
    EXPECT_EQ(Json()["refusedSections"], 1);
    EXPECT_EQ(Json()["sections"][0]["saved"], false);
    EXPECT_EQ(Json()["sections"][1]["saved"], true);  // the good section after the bad one
}

TEST_F(Cli, AnalyzeShowsTheSublayersOfALifeRunOrTheFirstIterationUnsplit) {
    dir.Write("J.JOB", "Format3\r\n" + JobSection("THICK", kThickBase, kG4));
    ASSERT_EQ(Run({"--json", "analyze", "J", "THICK"}), kExitOk) << err.str();
    EXPECT_EQ(Json()["analysisLayers"].size(), 5u);  // 24 in of base in three 8 in sublayers
    ASSERT_EQ(Run({"--json", "analyze", "J", "THICK", "--first-iteration"}), kExitOk);
    EXPECT_EQ(Json()["analysisLayers"].size(), 3u);
}

TEST_F(Cli, BackCalculationFitsTheGivenBasinWhateverTheDesignAircraft) {
    const std::string sabre = " Sabreliner 65            24000    1200    0.000000";
    const std::vector<std::string> layers{"      4.5000      200000       1",
                                          "     10.0000       75000       6",
                                          "      0.0000       10000       4"};
    dir.Write("J.JOB",
              "Format3\r\n" + JobSection("G4", layers, kG4) + JobSection("SABRE", layers, sabre));
    ASSERT_EQ(Run({"--json", "backcalc", "J", "G4"}), kExitOk) << err.str();
    EXPECT_EQ(Json()["outcome"], "converged");
    const double withG4 = Json()["modulus"];
    ASSERT_EQ(Run({"--json", "backcalc", "J", "SABRE"}), kExitOk) << err.str();
    EXPECT_EQ(Json()["modulus"].get<double>(), withG4);
    EXPECT_EQ(Json()["fit"][6]["offset"], 72.0);

    // Twice the load over the same basin: a structure twice as stiff (linear elasticity).
    ASSERT_EQ(Run({"--json", "backcalc", "J", "G4", "--basin", "23.23,7.12,4.4,2.1,1.31,0.92,0.84",
                   "--load", "19126"}),
              kExitOk);
    EXPECT_GT(Json()["modulus"].get<double>(), withG4);

    ASSERT_EQ(Run({"backcalc", "J", "G4"}), kExitOk);
    EXPECT_TRUE(Has(out.str(), "  sensor at   measured    computed\n  0 in           23.23"))
        << out.str();
    EXPECT_EQ(Run({"backcalc", "J", "G4", "--basin", "1,2,3"}), kExitUsage);
    EXPECT_EQ(Run({"backcalc", "J", "G4", "--basin", "1,2,3,4,5,6,-7"}), kExitUsage);
    EXPECT_EQ(Run({"backcalc", "J", "G4", "--load", "0"}), kExitUsage);
}

// Concrete on asphalt under light traffic gives up at the slab's minimum: --save writes nothing.
TEST_F(Cli, DesignSaveWritesOnlyADesignedSection) {
    const std::string job =
        "Format3\r\n" +
        JobSection("PCCFLEX",
                   {"      8.0000         700      13", "      4.0000      200000       1",
                    "      6.0000       75000       6", "      0.0000       10000       4"},
                   " Citation VII             23200       1    0.000000");
    dir.Write("J.JOB", job);
    ASSERT_EQ(Run({"--json", "design", "J", "PCCFLEX", "--save"}), kExitRefused) << err.str();
    EXPECT_EQ(Json()["result"]["outcome"], "minimumReached");
    EXPECT_EQ(dir.Read("J.JOB"), job);
    const auto layers = Json()["section"]["layers"];  // the slab at its minimum, never the asphalt
    EXPECT_EQ(layers[0]["thickness"], 2.0);
    EXPECT_EQ(layers[1]["thickness"], 4.0);
}

}  // namespace
}  // namespace tavro::cli
