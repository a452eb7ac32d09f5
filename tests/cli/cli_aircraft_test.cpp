// tavro-cli library, aircraft and gear: output, saved lists, refusals that save nothing.
#include "cli/cli_fixture.h"
#include "core/job_file.h"

namespace tavro::cli {
namespace {

using testing::Has;

class CliAircraft : public testing::CliFixture {
protected:
    std::vector<core::DesignAircraft> Stored() {
        return core::ParseJob(dir.Read("RWY.JOB"), "RWY").sections.at(0).Aircraft;
    }
};

TEST_F(CliAircraft, LibraryListsAGroupOrEveryAircraftAsJson) {
    ASSERT_EQ(Run({"library", "1"}), kExitOk);
    const std::string text = out.str();
    EXPECT_EQ(text.substr(0, text.find('\n')), "Group 1: Generic");
    EXPECT_TRUE(Has(text,
                    "  6   DW 20,000            20,000              D    3      75                 "
                    "47.5      12.00         0.00            2\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 11);     // title, headings, 9 aircraft
    ASSERT_EQ(Run({"--metric", "library", "military"}), kExitOk);  // a unique start of a name
    EXPECT_TRUE(Has(out.str(), "70.307"));                         // C-130: 155000 lbs in tonnes
    EXPECT_EQ(Run({"library", "Zeppelins"}), kExitRefused);

    ASSERT_EQ(Run({"--json", "library"}), kExitOk);
    const auto j = Json();
    ASSERT_EQ(j["groups"].size(), 14u);
    EXPECT_EQ(j["groups"][0]["aircraft"][5]["dualSpacing"], 12.0);
}

TEST_F(CliAircraft, OperationsApplyInOrderInMetricToo) {
    NewJobWith("RWY", "AConFlex");  // seven aircraft
    // Citation X, 36000 lbs default: 15 t = 33069.3 lbs lies within 0.65..1.25 of it.
    ASSERT_EQ(Run({"--metric", "aircraft", "RWY", "AConFlex", "set", "3", "load=15"}), kExitOk);
    ASSERT_EQ(Run({"aircraft", "RWY", "AConFlex", "remove", "1", "add", "DW 20,000", "load=21000",
                   "departures=3000", "growth=2.5", "set", "1", "departures=200000", "add", "6"}),
              kExitOk)
        << err.str();
    const auto list = Stored();
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[0].AircraftName, "Citation V");
    EXPECT_EQ(list[0].AnnualDepartures, 1200);  // above 100000: the default, with the message
    EXPECT_NEAR(list[1].GrossLoad, 15 * 2204.6225, 0.5);
    EXPECT_EQ(list[6].GrossLoad, 21000);
    EXPECT_EQ(list[6].AnnualGrowth, 0.025f);
    EXPECT_EQ(list[7].GrossLoad, 20000);  // by number, with the library defaults
    EXPECT_TRUE(Has(err.str(), "Changing Annual Departures: "));
    ASSERT_EQ(Run({"--json", "aircraft", "RWY", "AConFlex", "set", "1", "departures=1200"}),
              kExitOk);
    EXPECT_EQ(Json()["saved"], false) << "an unchanged list is not written";
}

TEST_F(CliAircraft, RefusalsSaveNothingAndBadOperationsAreUsageErrors) {
    NewJobWith("RWY", "AConFlex");  // seven aircraft
    const std::string before = dir.Read("RWY.JOB");
    const struct {
        std::vector<std::string> ops;
        const char* message;
    } cases[] = {
        {{"remove", "1", "add", "Zeppelin"}, "Aircraft Zeppelin is not in the aircraft library."},
        {{"set", "9", "load=1"}, "Section AConFlex has no design aircraft 9."},
        {{"set", "1", "load=heavy"}, "heavy was entered."},
        {{"clear"}, "There are no aircraft in the design list."},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"aircraft", "RWY", "AConFlex"};
        args.insert(args.end(), c.ops.begin(), c.ops.end());
        EXPECT_EQ(Run(args), kExitRefused) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(dir.Read("RWY.JOB"), before) << c.message;
    }
    EXPECT_EQ(Run({"aircraft", "Samples", "AConFlex", "fly"}), kExitUsage);
    EXPECT_EQ(Run({"aircraft", "Samples", "AConFlex", "remove"}), kExitUsage);
    EXPECT_EQ(Run({"aircraft", "Samples", "AConFlex", "clear", "load=1"}), kExitUsage);
}

TEST_F(CliAircraft, GearPlanAsSvgToScaleWithItsLoadChecked) {
    ASSERT_EQ(Run({"gear", "DW 20,000"}), kExitOk);
    const std::string svg = out.str();
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("cx=\"-25\""), std::string::npos);
    // The ellipse is the contact area: 7.10 x 11.36 in.
    EXPECT_NE(svg.find("rx=\"3.55\" ry=\"5.679\""), std::string::npos);
    EXPECT_TRUE(Has(svg, ">74.00 in<"));  // outer tire centres
    ASSERT_EQ(Run({"--metric", "gear", "6"}), kExitOk);
    EXPECT_TRUE(Has(out.str(), ">1,879.6 mm<"));  // 74 in

    ASSERT_EQ(Run({"--json", "gear", "sw 6,000", "--load", "7500"}), kExitOk);
    EXPECT_EQ(Json()["grossLoad"], 7500.0);
    ASSERT_EQ(Run({"--json", "gear", "SW 6,000", "--load", "7600"}), kExitOk);
    EXPECT_EQ(Json()["grossLoad"], 6000.0) << "above 1.25 x 6000: the default";
    EXPECT_EQ(Run({"gear", "Zeppelin"}), kExitRefused);
}

}  // namespace
}  // namespace tavro::cli
