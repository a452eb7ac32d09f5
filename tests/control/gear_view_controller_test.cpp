// The gear view's figures and gross-load change through the scripted user.
#include "control/gear_view_controller.h"

#include <gtest/gtest.h>

#include "aircraft_fixture.h"
#include "control/aircraft_controller.h"

namespace tavro::control {
namespace {

using testing::AircraftFixture;

struct GearView : AircraftFixture, ::testing::Test {};

TEST_F(GearView, ShowsTheSelectedAircraftInDisplayUnits) {
    GearViewController g(state, ui, 1);
    const auto texts = [&g] {
        return std::vector<std::string>{g.Title(), g.ListCaption(), g.GrossLoadText(),
                                        g.PercentText(), g.TirePressureText()};
    };
    const std::string title = "TAVRO - Aircraft Data for Section Apron in Job RWY";
    EXPECT_EQ(texts(),
              (std::vector<std::string>{title, "Apron a/c", "20,000 lbs", "47.5", "75 psi"}));
    EXPECT_EQ(g.AircraftNames(), (std::vector<std::string>{"SW 6,000", "DW 20,000"}));
    EXPECT_EQ(g.Plan().tires.size(), 4u);
    core::ApplyUnits(state.Units, true);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{title, "Apron a/c", "9.072 tonnes", "47.5", "517 kPa"}));
}

TEST_F(GearView, AStoredLoadOutsideTheLimitsIsReplacedWhenShown) {
    state.Current.Aircraft[0].GrossLoad = 8000;  // SW 6,000: at most 7500
    GearViewController g(state, ui, 0);
    EXPECT_EQ(state.Current.Aircraft[0].GrossLoad, 6000);
    EXPECT_TRUE(ui.OnlyBox("",
                           "Gross load cannot be greater than 1.25 x 6,000 lbs.\r\n\r\n"
                           "The default value of gross load has been selected."));
}

TEST_F(GearView, ChangingTheGrossLoad) {
    GearViewController g(state, ui, 0);
    ui.Type("7500");
    EXPECT_EQ(g.ChangeGrossLoad(), EditStatus::Done);
    EXPECT_EQ(ui.prompts.at(0), "Change Aircraft Gross Load");
    EXPECT_EQ(ui.promptTexts.at(0),
              "The default value of gross load for this aircraft is 6,000 lbs.\r\n\r\n"
              "Enter a new value in the range:\r\n3,900 to 7,500 lbs.\r\n\r\n"
              "Click Cancel at any time to retain the old value.");
    // The contact area grows with the load: W = 2 sqrt(0.475 * 7500 / 75 / 5.026544).
    EXPECT_NEAR(g.Plan().contactWidthIn, 6.1481, 1e-4);
}

TEST_F(GearView, TheBellyRowFollowsTheWingRow) {
    AircraftController window(state, ui);
    window.AddLibraryAircraft(LibIndex(testing::kWing));
    GearViewController g(state, ui, 2);
    g.SetGrossLoad(330000);
    EXPECT_EQ(state.Current.Aircraft[3].GrossLoad, 330000);
}

TEST_F(GearView, SamplesAndRunsRefuseTheChange) {
    GearViewController g(state, ui, 0);
    state.Run.DesignRunning = true;
    EXPECT_EQ(g.ChangeGrossLoad(), EditStatus::Refused);
    state.Run.DesignRunning = false;
    state.JobName = "Samples";
    EXPECT_EQ(g.ChangeGrossLoad(), EditStatus::Refused);
    EXPECT_EQ(ui.Titles(),
              std::vector<std::string>{"Aircraft in Job Samples"});  // none for the run
}

TEST_F(GearView, AnEmptyListShowsNothing) {
    state.Current.Aircraft.clear();
    GearViewController g(state, ui, 0);
    EXPECT_EQ(std::tuple(g.GrossLoadText(), g.Plan().tires.size(), g.ChangeGrossLoad()),
              std::tuple("", 0u, EditStatus::Refused));
}

}  // namespace
}  // namespace tavro::control
