// The aircraft window's rules through the scripted user: grid edits, list limits, pairs,
// the floating list, saving and closing.
#include "control/aircraft_controller.h"

#include <gtest/gtest.h>

#include "aircraft_fixture.h"
#include "control/aircraft_grid.h"

namespace tavro::control {
namespace {

using core::Answer;
using testing::AircraftFixture;
using testing::kBelly;
using testing::kWing;

const std::string kDefaultSelected = "\r\n\r\nThe default value of gross load has been selected.";

struct AircraftWindow : AircraftFixture, ::testing::Test {
    AircraftController c{state, ui};
    AircraftWindow() { c.Open(); }

    // Fills the list with `n` single-gear aircraft.
    void FillTo(int n) {
        state.Current.Aircraft.clear();
        for (int k = 0; k < n; ++k) ASSERT_EQ(c.AddLibraryAircraft(1), EditStatus::Done);
    }
    void AddPair() { ASSERT_EQ(c.AddLibraryAircraft(LibIndex(kWing)), EditStatus::Done); }
};

TEST_F(AircraftWindow, EachEntryPromptsWithItsRange) {
    struct Case {
        int row, col;
        const char* typed;
        const char* title;
        std::string text;
    };
    const Case cases[] = {
        {0, kColGrossLoad, "7000", "Changing Aircraft Gross Load",
         "The default value of gross load for this aircraft is 6,000 lbs.\r\n\r\n"
         "Enter a new value in the range:\r\n\r\n3,900 to 7,500 lbs."},
        {1, kColDepartures, "100000", "Changing Annual Departures",
         "Enter a new value for annual departures in the range:\r\n\r\n0 to 100,000"},
        {0, kColGrowth, "10", "Changing Incremental Departures",
         "Enter a new value for percent incremental annual departures in the range:\r\n\r\n"
         "-10.00 to 10.00"},
    };
    for (const Case& k : cases) {
        ui.prompts.clear();
        ui.promptTexts.clear();
        ui.Type(k.typed);
        EXPECT_EQ(c.ClickCell(k.row, k.col), EditStatus::Done) << k.title;
        EXPECT_EQ(ui.prompts.at(0), k.title);
        EXPECT_EQ(ui.promptTexts.at(0),
                  k.text + "\r\n\r\nClick Cancel at any time to retain the old value.");
    }
    // 20 years of 100000 growing 2 %: 100000 * 20 * (1 + 0.02 * 20 / 2).
    EXPECT_FLOAT_EQ(Row(1).TotalDepartures, 2.4e6f);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(AircraftWindow, EntriesAtTheirLimitsAreAcceptedAndBeyondThemReplaced) {
    using Setter = EditStatus (AircraftController::*)(int, double);
    constexpr Setter gross = &AircraftController::SetGrossLoad;
    constexpr Setter departures = &AircraftController::SetDepartures;
    constexpr Setter growth = &AircraftController::SetGrowth;
    struct Case {
        Setter set;
        double entered;
        float stored;
        const char* title;  // nullptr: no message
        std::string message;
    };
    const std::string tooManyDepartures =
        "Annual departures cannot be greater than 100000.\r\n\r\n"
        "Annual departures has been set to the\r\ndefault value of 1200.";
    // SW 6,000: gross load limits 3900 and 7500 lbs. Signs are ignored except for growth.
    const Case cases[] = {
        {gross, 3900, 3900, nullptr, ""},
        {gross, 7500, 7500, nullptr, ""},
        {gross, -7500, 7500, nullptr, ""},
        {gross, 3899, 6000, "", "Gross load cannot be less than 0.65 x 6,000." + kDefaultSelected},
        {gross, 7501, 6000, "",
         "Gross load cannot be greater than 1.25 x 6,000." + kDefaultSelected},
        {departures, 100000, 100000, nullptr, ""},
        {departures, -500, 500, nullptr, ""},
        {departures, 100001, 1200, "Changing Annual Departures", tooManyDepartures},
        {growth, 10, 0.1f, nullptr, ""},
        {growth, -10, -0.1f, nullptr, ""},
        {growth, 10.5, 0, "Changing Incremental Departures",
         "Percent incremental departures cannot be\r\noutside the range -10 to 10.\r\n\r\n"
         "Incremental departures has been set to zero."},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.entered);
        ui.boxes.clear();
        core::DesignAircraft& row = state.Current.Aircraft[0];
        row.GrossLoad = 5000;
        row.AnnualDepartures = 777;
        row.AnnualGrowth = 0.03f;
        EXPECT_EQ((c.*k.set)(0, k.entered), EditStatus::Done);
        const float stored = k.set == gross        ? Row(0).GrossLoad
                             : k.set == departures ? Row(0).AnnualDepartures
                                                   : Row(0).AnnualGrowth;
        EXPECT_EQ(stored, k.stored);
        if (k.title)
            EXPECT_TRUE(ui.OnlyBox(k.title, k.message));
        else
            EXPECT_TRUE(ui.boxes.empty());
    }
}

TEST_F(AircraftWindow, MetricLimitsAreAcceptedAsTheyAreShown) {
    core::ApplyUnits(state.Units, true);
    // 1.25 x 6000 lbs shows as 3.402 tns (3.4019 exactly): entering what is shown is the limit.
    ui.Type("3.402");
    c.ClickCell(0, kColGrossLoad);
    EXPECT_NE(ui.promptTexts.at(0).find("1.769 to 3.402 tns."), std::string::npos);
    EXPECT_EQ(Row(0).GrossLoad, 7500);
    ui.Type("3.403");
    c.ClickCell(0, kColGrossLoad);
    EXPECT_TRUE(
        ui.OnlyBox("", "Gross load cannot be greater than 1.25 x 2.722." + kDefaultSelected));
    EXPECT_EQ(Row(0).GrossLoad, 6000);
}

TEST_F(AircraftWindow, CancelledOrInvalidEntriesKeepTheOldValue) {
    ui.Type(std::nullopt);
    EXPECT_EQ(c.ClickCell(0, kColDepartures), EditStatus::Refused);
    ui.Type("lots");
    c.ClickCell(0, kColDepartures);
    EXPECT_EQ(Row(0).AnnualDepartures, 1000);
    EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Incorrect Data Entry"});
}

TEST_F(AircraftWindow, OnlyOneOverloadAircraft) {
    const std::string note =
        "By Changing this column to TRUE the 'Annual Departures' will be used as 'Total "
        "Departures'";
    EXPECT_EQ(c.ClickCell(0, kColOverload), EditStatus::Done);
    EXPECT_TRUE(ui.OnlyBox("TAVRO", note));
    ui.boxes.clear();
    EXPECT_EQ(c.ClickCell(1, kColOverload), EditStatus::Refused);
    EXPECT_TRUE(ui.OnlyBox("TAVRO", "There can only be one OVERLOAD Aircraft"));
    EXPECT_FALSE(Row(1).OverloadFlag);
    c.ClickCell(0, kColOverload);  // unmarks
    EXPECT_FALSE(Row(0).OverloadFlag);
}

TEST_F(AircraftWindow, OtherColumnsOnlySelectTheRow) {
    EXPECT_EQ(c.ClickCell(1, kColTirePressure), EditStatus::Done);
    EXPECT_EQ(std::tuple(c.SelectedRow(), ui.prompts.size()), std::tuple(1, std::size_t{0}));
    EXPECT_EQ(c.DoubleClickCell(0, kColGrossLoad), EditStatus::Refused);
    EXPECT_EQ(c.DoubleClickCell(0, kColName), EditStatus::Done);  // removes the row
    EXPECT_EQ(Row(0).AircraftName, "DW 20,000");
}

const std::string kTooMany =
    "Cannot add this aircraft.\r\n\r\nThe aircraft design list cannot\r\ncontain more than 20 "
    "aircraft.";
const std::string kPairNote =
    "\r\n\r\nThe wing and belly gear of the Wing Jet\r\ncount as 2 aircraft for design.";

TEST_F(AircraftWindow, TwentyAircraftAtMostAndAWingBringsItsBelly) {
    FillTo(19);
    EXPECT_EQ(c.AddLibraryAircraft(LibIndex(kWing)), EditStatus::Refused);
    EXPECT_TRUE(ui.OnlyBox("Too Many Aircraft", kTooMany + kPairNote));
    ui.boxes.clear();
    c.RemoveRow(18);  // now the pair fits
    AddPair();
    EXPECT_EQ(Row(19).AircraftLibIndex, LibIndex(kBelly));
    EXPECT_EQ(Row(19).AnnualDepartures, 1200);  // the library default
    EXPECT_EQ(c.AddLibraryAircraft(1), EditStatus::Refused);
    EXPECT_TRUE(ui.OnlyBox("Too Many Aircraft", kTooMany));
    EXPECT_EQ(Count(), 20);
}

TEST_F(AircraftWindow, BellyEntriesAreNeverOffered) {
    c.SelectGroup(13);
    const auto names = c.LibraryNames();
    EXPECT_EQ(names.back(), kWing);
    EXPECT_EQ(names.size(), 12u);  // the eleven heavy civil aircraft and the wing aircraft
}

TEST_F(AircraftWindow, AWingAircraftWithoutBellyDataIsAddedAlone) {
    state.Aircraft.entries.pop_back();
    AddPair();
    EXPECT_EQ(Count(), 3);
    EXPECT_TRUE(ui.OnlyBox("Adding an Aircraft", "Could not find belly gear data."));
}

TEST_F(AircraftWindow, PairRowsAreEditedAndRemovedTogether) {
    AddPair();  // rows 2 and 3
    c.SetGrossLoad(2, 310000);
    c.SetDepartures(3, 700);  // from the belly row to the wing row
    c.SetGrowth(2, 5);
    EXPECT_EQ(std::tuple(Row(3).GrossLoad, Row(2).AnnualDepartures, Row(3).AnnualGrowth),
              std::tuple(310000.0f, 700.0f, 0.05f));
    c.SelectRow(3);
    EXPECT_EQ(c.Remove(), EditStatus::Done);
    EXPECT_EQ(std::tuple(Count(), c.SelectedRow()), std::tuple(2, 1));
}

TEST_F(AircraftWindow, APairWhoseRowsDifferIsNoLongerAPair) {
    AddPair();
    state.Current.Aircraft[3].AnnualDepartures = 5;  // rows 2 and 3 no longer match
    c.SetGrossLoad(2, 320000);
    EXPECT_TRUE(ui.OnlyBox("Changing Aircraft Data", "Could not find the belly gear."));
    ui.boxes.clear();
    c.SetGrowth(3, 1);
    EXPECT_TRUE(ui.OnlyBox("Changing Aircraft Data", "Could not find the wing gear."));
    c.RemoveRow(2);
    EXPECT_EQ(Count(), 3);
}

TEST_F(AircraftWindow, RemoveAndViewGearNeedARowAndClearAsksFirst) {
    EXPECT_TRUE(c.ViewGear());
    c.SelectRow(-1);
    EXPECT_EQ(c.Remove(), EditStatus::Refused);
    EXPECT_TRUE(
        ui.OnlyBox("Removing Design Aircraft", "An aircraft must be selected before removal."));
    ui.boxes.clear();
    ui.Answer(Answer::No);
    EXPECT_EQ(c.ClearList(), EditStatus::Refused);
    EXPECT_TRUE(ui.OnlyBox("Clearing the Design List",
                           "All aircraft will be\r\ncleared from the design list.\r\n\r\nDo you "
                           "want to do this?"));
    EXPECT_EQ(ui.boxes.at(0).defaultAnswer, Answer::No);
    ui.Answer(Answer::Yes);
    EXPECT_EQ(c.ClearList(), EditStatus::Done);
    EXPECT_EQ(std::tuple(Count(), c.RowCount()), std::tuple(0, 1));  // one blank row
    ui.boxes.clear();
    EXPECT_FALSE(c.ViewGear());
    EXPECT_TRUE(ui.OnlyBox("", "There are no aircraft to view."));
}

TEST_F(AircraftWindow, FloatingListCarriesAListToAnotherSectionWithoutTheOverloadMark) {
    EXPECT_EQ(c.AddFloat(), EditStatus::Refused);
    EXPECT_TRUE(ui.OnlyBox("Adding Float AIrcraft",
                           "There are no aircraft in\r\nthe floating aircraft list."));
    ui.boxes.clear();
    state.Current.Aircraft[0].OverloadFlag = true;
    c.SaveToFloat();
    Select(2);
    AircraftController other(state, ui);
    other.Open();
    EXPECT_EQ(other.AddFloat(), EditStatus::Done);
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(std::tuple(Row(2).AircraftName, Row(2).AnnualGrowth, Row(1).OverloadFlag),
              std::tuple("DW 20,000", 0.02f, false));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(AircraftWindow, SavingAnEmptyListToTheFloatAsksToClearIt) {
    c.SaveToFloat();
    state.Current.Aircraft.clear();
    ui.Answer(Answer::No);
    c.SaveToFloat();
    EXPECT_EQ(ui.boxes.at(0).text,
              "There are no aircraft in the design\r\nlist to save to the floating list.\r\n\r\n"
              "Do you want to clear the floating list?");
    EXPECT_EQ(c.FloatNames().size(), 2u);
    ui.Answer(Answer::Yes);
    c.SaveToFloat();
    EXPECT_TRUE(c.FloatNames().empty());
}

TEST_F(AircraftWindow, AddFloatStopsAtTheLimitAndBeforeAPairThatDoesNotFit) {
    AddPair();
    c.SaveToFloat();  // SW, DW, wing, belly
    FillTo(17);
    EXPECT_EQ(c.AddFloat(), EditStatus::Done);
    EXPECT_EQ(Count(), 19);  // SW and DW; the wing would need two places
    EXPECT_TRUE(
        ui.OnlyBox("Adding from Float",
                   "No more float aircraft can be added\r\nto the design list." + kPairNote));
}

TEST_F(AircraftWindow, SamplesRefusesEveryChange) {
    state.JobName = "Samples";
    c.SaveToFloat();
    const auto before = state.Current.Aircraft.size();
    c.SelectRow(0);
    const EditStatus results[] = {c.Add(),
                                  c.Remove(),
                                  c.ClearList(),
                                  c.AddFloat(),
                                  c.ClickCell(0, kColGrossLoad),
                                  c.ClickCell(0, kColOverload),
                                  c.DoubleClickCell(0, kColName),
                                  c.SaveList()};
    for (EditStatus s : results) EXPECT_EQ(s, EditStatus::Refused);
    EXPECT_EQ(state.Current.Aircraft.size(), before);
    EXPECT_EQ(ui.Titles(), std::vector<std::string>(8, "Aircraft in Job Samples"));
    EXPECT_EQ(ui.boxes[0].text,
              "Aircraft lists in Job Samples cannot be changed.\r\nThey are included only as "
              "examples.\r\n\r\nUse Copy Section in the Startup window to create\r\na new section "
              "which can be modified.");
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(AircraftWindow, NothingChangesWhileARunIsActive) {
    state.Run.DesignRunning = true;
    c.SelectRow(0);
    const std::vector<EditStatus> results{c.Remove(), c.ClickCell(0, kColDepartures),
                                          c.SetGrossLoad(0, 5000)};
    EXPECT_EQ(results, std::vector<EditStatus>(3, EditStatus::Refused));
    EXPECT_FALSE(c.Close());
    EXPECT_EQ(std::tuple(Count(), ui.boxes.size()), std::tuple(2, std::size_t{0}));
}

TEST_F(AircraftWindow, SaveListWritesTheJobAndMarksTheSectionNotAnalysed) {
    state.Slot(1).SectionTimeStamp = 45000;
    state.Slot(1).AsphaltCDF = 0.5f;
    c.SetDepartures(0, 2500);
    ui.Answer(Answer::Cancel);
    EXPECT_EQ(c.SaveList(), EditStatus::Refused);
    EXPECT_FALSE(dir.Exists("RWY.JOB"));
    EXPECT_EQ(ui.boxes.at(0).text, "Saving the aircraft list for section\r\nApron in job RWY.");
    ui.Answer(Answer::Ok);
    EXPECT_EQ(c.SaveList(), EditStatus::Done);
    const core::Section saved = File().sections.at(0);
    EXPECT_EQ(
        std::tuple(saved.Aircraft.at(0).AnnualDepartures, saved.SectionTimeStamp, saved.AsphaltCDF),
        std::tuple(2500.0f, core::kNotAnalysedSerial, 0.0f));
    EXPECT_FALSE(c.ListChanged());
}

TEST_F(AircraftWindow, AFailedSaveLeavesTheStoredListAsTheFileHasIt) {
    dir.Write("RWY.JOB", "");
    state.ProgramDir = dir.File("missing/");
    c.SetDepartures(0, 2500);
    ui.Answer(Answer::Ok);
    ui.answerDefaults = true;
    EXPECT_EQ(c.SaveList(), EditStatus::Refused);
    EXPECT_EQ(state.Slot(1).Aircraft.at(0).AnnualDepartures, 1000);
    EXPECT_TRUE(c.ListChanged());
}

TEST_F(AircraftWindow, ClosingChecksInOrder) {
    const std::string title = "Setting Aircraft Data";
    state.Current.Aircraft.clear();
    EXPECT_FALSE(c.Close());
    EXPECT_TRUE(
        ui.OnlyBox(title.c_str(),
                   "There are no aircraft in the design list.\r\n\r\nThis is not a valid "
                   "condition for\r\nthe design procedure.\r\n\r\nPlease assign at least one "
                   "aircraft\r\nto the list before exiting."));
    ui.boxes.clear();
    c.AddLibraryAircraft(1);
    c.SetDepartures(0, 0);
    EXPECT_FALSE(c.Close());
    EXPECT_TRUE(
        ui.OnlyBox(title.c_str(),
                   "All of the aircraft have annual\r\nrepetitions set to zero.\r\n\r\nThis "
                   "is not a valid condition for\r\nthe design procedure.\r\n\r\nPlease "
                   "assign annual repetitions to at\r\nleast one of the aircraft before "
                   "exiting."));
    ui.boxes.clear();
    c.AddLibraryAircraft(2);
    ui.Answer(Answer::Ok);      // the warning
    ui.Answer(Answer::Cancel);  // the changed-list question
    EXPECT_FALSE(c.Close());
    ASSERT_EQ(ui.Titles(), (std::vector<std::string>{title, "Saving Aircraft Data"}));
    EXPECT_EQ(
        ui.boxes[0].text,
        "WARNING:\r\n\r\nOne or more of the aircraft have\r\nannual repetitions set to zero.");
    EXPECT_EQ(
        ui.boxes[1].text,
        "The data for the aircraft design list has changed.\r\n\r\nDo you want to save the "
        "new data in job RWY\r\nsection Apron?\r\n\r\nAll the changes will be lost if not saved.");
    EXPECT_EQ(ui.boxes[1].buttons, core::Buttons::YesNoCancel);
    EXPECT_EQ(ui.boxes[1].defaultAnswer, Answer::Cancel);
}

TEST_F(AircraftWindow, ClosingWithNoPutsTheStoredListBackAndYesStoresIt) {
    c.RemoveRow(0);
    c.ClickCell(0, kColOverload);
    ui.Answer(Answer::No);
    EXPECT_TRUE(c.Close());
    EXPECT_EQ(Row(0).AircraftName, "SW 6,000");
    EXPECT_GT(Row(0).ContactWidth, 0);
    EXPECT_FALSE(dir.Exists("RWY.JOB"));

    c.ClickCell(1, kColOverload);
    ui.Answer(Answer::Yes);
    EXPECT_TRUE(c.Close());
    EXPECT_TRUE(state.Slot(1).Aircraft.at(1).OverloadFlag);
    EXPECT_TRUE(dir.Exists("RWY.JOB"));
}

TEST_F(AircraftWindow, AChangeThatCancelsOutInASumStillCounts) {
    c.SetDepartures(0, 1001);
    state.Current.Aircraft[0].AnnualGrowth = -1;  // departures +1, growth -1
    EXPECT_TRUE(c.ListChanged());
}

TEST_F(AircraftWindow, TheWindowOpensOnTheLastSelections) {
    c.SelectGroup(4);
    c.SelectLibAircraft(3);
    c.SelectRow(1);
    ASSERT_TRUE(c.Close());
    AircraftController again(state, ui);
    again.Open();
    EXPECT_EQ(again.SelectedRow(), 1);
    EXPECT_EQ(again.Add(), EditStatus::Done);
    EXPECT_EQ(Row(2).AircraftName, "Centurion 210");
    EXPECT_EQ(again.Title(), "TAVRO - Create or Modify Aircraft for Section Apron in Job RWY");
}

TEST_F(AircraftWindow, GridCellsInBothUnitSystems) {
    // DW 20,000: 75 psi, S1 12 in; contact A = 0.475 * 20000 / 2 / 75 = 63.33 in^2,
    // W = 2 sqrt(63.33 / 5.026544) = 7.10 in, L = 11.36 in.
    const std::string us[] = {"DW 20,000", "   20,000", "     500",  "       2.00",
                              "False",     "   12,000", "     75.0", "       47.5",
                              "12.00",     "0.00",      "7.10",      "11.36"};
    for (int col = 0; col < kGridColumns; ++col) EXPECT_EQ(GridCell(state, 1, col), us[col]) << col;
    core::ApplyUnits(state.Units, true);
    const std::vector<std::string> metric = {
        GridCell(state, 1, kColGrossLoad), GridCell(state, 1, kColTirePressure),
        GridCell(state, 1, kColDualSpacing), GridHeader(kColContactLength, state.Units, 2)[1],
        GridHeader(kColName, state.Units, 2)[1]};
    EXPECT_EQ(metric, (std::vector<std::string>{"   9.072", "     517.1", "304.8", "Length (mm)",
                                                "   Aircraft (2)"}));
}

}  // namespace
}  // namespace tavro::control
