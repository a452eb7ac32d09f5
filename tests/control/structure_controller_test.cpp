// Modes, the click dispatch, Save, the changed-structure prompt and the runs of the
// structure window, driven through the scripted user.
#include <gtest/gtest.h>

#include <cstring>

#include "control/startup_controller.h"
#include "control_fixture.h"
#include "core/day_serial.h"

namespace tavro::control {
namespace {

using testing::ControlFixture;

const char* kSamplesModify =
    "Structures in Job Samples cannot\r\nbe changed. They are included\r\nonly for building new "
    "structures.\r\n\r\nUse Copy Section in the Startup\r\nwindow to create a new structure.";

CommandState Command(const StructureController& c, const std::string& name) {
    for (const CommandState& command : c.Commands())
        if (command.name == name) return command;
    return {};
}

TEST(StructureModes, SamplesCannotBeModifiedDesignedOrSaved) {
    ControlFixture f;
    core::OpenJob(f.state, f.ui, "Samples");
    f.controller.Open();
    f.ui.boxes.clear();
    f.controller.ModifyCommand();
    EXPECT_FALSE(f.controller.ModifyMode());
    EXPECT_TRUE(f.ui.OnlyBox("Structure in Job Samples", kSamplesModify));
    f.ui.boxes.clear();
    f.controller.DesignCommand();
    EXPECT_TRUE(f.ui.OnlyBox(
        "Structure in Job Samples",
        std::string(kSamplesModify, std::strlen(kSamplesModify) - 1) + "\r\nfor design."));

    // Yes to the changed-structure question is refused and the structure restored.
    f.ui.boxes.clear();
    f.Layer(1).LayerThickness = 7;
    f.ui.Answer(core::Answer::Yes);
    EXPECT_TRUE(f.controller.Close());
    EXPECT_EQ(f.ui.Titles(), std::vector<std::string>(2, "Saving Structure Data"));
    EXPECT_EQ(f.ui.boxes[1].text, "Job Samples is part of the system.\r\nChanges cannot be saved.");
    EXPECT_FLOAT_EQ(f.Layer(1).LayerThickness, 4.5f);
}

TEST(StructureModes, ModifyModeChangesCaptionsAndLeavesOnlyThroughAValidStructure) {
    ControlFixture f;
    EXPECT_EQ(f.controller.Caption(), "TAVRO - Modify and Design Section ACAggregate in Job RWY");
    f.state.Current.SectionTimeStamp = 46000;
    f.Modify();
    EXPECT_EQ(f.controller.Caption(), "TAVRO - Modifying Section ACAggregate in Job RWY");
    EXPECT_TRUE(core::IsNotAnalysed(f.state.Current.SectionTimeStamp));
    EXPECT_EQ(Command(f.controller, "cmdAddDelete").caption, "&Add/Delete Layer");
    for (const char* off : {"cmdSaveStr", "cmdExit", "cmdAircraft", "cmdLife"})
        EXPECT_FALSE(Command(f.controller, off).enabled) << off;
    EXPECT_FALSE(f.controller.ListEnabled());

    f.controller.SetLayerType(3, 1);  // Asphalt at the bottom: rule 5
    f.controller.ModifyCommand();
    EXPECT_EQ(f.ui.Titles(), std::vector<std::string>{"Checking the Structure"});
    f.controller.SetLayerType(3, 4);
    f.controller.ModifyCommand();
    EXPECT_FALSE(f.controller.ModifyMode());
    EXPECT_EQ(Command(f.controller, "cmdAddDelete").caption, "&Design Structure");
}

TEST(StructureModes, ChangingTheTopTypeResetsTheDesignLayerAndThePickIgnoresModify) {
    ControlFixture f;
    EXPECT_EQ(f.controller.DesignLayer(), 2) << "new flexible: the layer above the subgrade";
    f.Modify();
    f.controller.SetLayerType(1, 5);
    f.controller.ModifyCommand();
    EXPECT_EQ(f.controller.DesignLayer(), 1);
    f.Modify();
    f.controller.DesignCommand();
    f.controller.ModifyCommand();
    EXPECT_TRUE(f.controller.ModifyMode()) << "modify is ignored during a pick";
    f.controller.CancelPick();
    EXPECT_EQ(std::tuple(f.controller.SelectingLayer(), f.state.Current.LayerCount()),
              std::tuple(false, 3));
}

// A fixed-width font: every character 7 units wide, lines 14 high.
LayoutMetrics Metrics() {
    LayoutMetrics m;
    m.width = 700;
    m.height = 500;
    m.textHeight = 14;
    m.textWidth = [](std::string_view t) { return 7.0 * static_cast<double>(t.size()); };
    return m;
}

double MidX(const Box& b) { return (b.left + b.right) / 2; }
double MidY(const Box& b) { return (b.top + b.bottom) / 2; }

TEST(StructureClicks, DispatchByRegion) {
    ControlFixture f;
    f.Select(3);  // Asphalt, P-401, Ag Crushed, Subgrade
    StructureLayout layout = f.controller.Layout(Metrics());
    f.controller.Click(layout, MidX(layout.lifeBox.box), MidY(layout.lifeBox.box));
    EXPECT_TRUE(f.ui.prompts.empty()) << "outside modify mode only the marker answers";
    f.Modify();
    ASSERT_EQ(layout.bands.size(), 4u);
    const LayoutBand& base = layout.bands[1];
    EXPECT_EQ(f.controller.Click(layout, MidX(base.material.box), MidY(base.band)),
              ClickOutcome::LayerTypeDialog);
    f.ui.Type("5");
    f.controller.Click(layout, MidX(layout.thicknessColumn), MidY(base.band));
    EXPECT_FLOAT_EQ(f.Layer(2).LayerThickness, 5.0f);
    // The arrow column moves the design layer (3 for this flexible section).
    layout = f.controller.Layout(Metrics());
    f.controller.Click(layout, MidX(layout.arrowColumn), MidY(layout.bands[1].band));
    EXPECT_EQ(f.controller.DesignLayer(), 2);
    f.ui.Type("25");
    f.controller.Click(layout, MidX(layout.lifeBox.box), MidY(layout.lifeBox.box));
    EXPECT_EQ(f.state.Current.DesignLife, 25);
    // The marker now reads Non-Standard Life and answers with its message.
    layout = f.controller.Layout(Metrics());
    ASSERT_EQ(layout.marker.text, "Non-Standard Life");
    f.ui.boxes.clear();
    f.controller.Click(layout, MidX(layout.marker.box), MidY(layout.marker.box));
    EXPECT_TRUE(f.ui.OnlyBox("Non-Standard Life",
                             "The section does not have a design life of 20 years.\r\n"));
    // Bounds are exclusive: a click on the life box's edge is outside it.
    EXPECT_FALSE(HitTest(layout, layout.lifeBox.box.left, MidY(layout.lifeBox.box)).lifeBox);
}

TEST(StructureLayoutTest, BandsAreToScaleWithASubgradeOfFifteenPercentAndAMinimumHeight) {
    // 10 and 5 in over the subgrade in 230 units: scale 230 / (1.15 * 15) = 13.33.
    const std::vector<double> h = BandHeights({10, 5}, 230, 1);
    ASSERT_EQ(h.size(), 3u);
    EXPECT_NEAR(h[0], 133.333333333, 1e-6);
    EXPECT_NEAR(h[1], 66.666666667, 1e-6);
    // A thin layer is raised to the minimum, then everything is scaled again.
    const std::vector<double> raised = BandHeights({20, 0.1}, 230, 21);
    EXPECT_GT(raised[1], 0.1 * 230 / (1.15 * 20.1));
    EXPECT_NEAR(raised[0] + raised[1] + raised[2], 230, 1e-9);
}

TEST(StructurePrompt, CancelKeepsNoReloadsYesSaves) {
    ControlFixture f;
    f.Modify();
    f.Enter("9.9", &StructureController::EditThickness, 1);
    f.controller.ModifyCommand();
    ASSERT_TRUE(f.controller.StructureChanged());
    const std::string question =
        "The data for the current pavement structure has changed.\r\n\r\nDo you want to save "
        "the new data in section ACAggregate?\r\n\r\nAll the changes will be lost if not saved.";

    f.ui.Answer(core::Answer::Cancel);
    EXPECT_FALSE(f.controller.SelectSection(1));
    EXPECT_TRUE(f.ui.OnlyBox("Saving Structure Data", question));
    EXPECT_EQ(std::tuple(f.ui.boxes[0].defaultAnswer, f.Layer(1).LayerThickness),
              std::tuple(core::Answer::Cancel, 9.9f));

    f.ui.Answer(core::Answer::No);
    EXPECT_TRUE(f.controller.Close());
    EXPECT_FLOAT_EQ(f.Layer(1).LayerThickness, 4.5f);

    f.ui.Type("9.9");
    f.Modify();
    f.controller.EditThickness(1);
    f.controller.ModifyCommand();
    f.ui.Answer(core::Answer::Yes);
    EXPECT_TRUE(f.controller.SelectSection(2));
    EXPECT_EQ(std::tuple(f.Stored()[0].Layers[0].LayerThickness, int(f.state.CurrentSection)),
              std::tuple(9.9f, 3));
}

TEST(StructureSave, OppositeDifferencesDoNotCancelOutAndSaveAsksThenWrites) {
    ControlFixture f;
    f.Layer(1).LayerThickness += 1.5f;  // 6
    f.Layer(2).LayerThickness -= 1.5f;
    EXPECT_TRUE(f.controller.StructureChanged());
    f.ui.Answer(core::Answer::Cancel);
    f.controller.SaveCommand();
    EXPECT_TRUE(f.ui.OnlyBox("Saving a Structure",
                             "Saving the structure for section\r\nACAggregate in job RWY."));
    EXPECT_EQ(f.Stored()[0].Layers[0].LayerThickness, 4.5f);
    f.ui.Answer(core::Answer::Ok);
    f.controller.SaveCommand();
    EXPECT_EQ(f.Stored()[0].Layers[0].LayerThickness, 6.0f);
}

TEST(StartupRefresh, RebuildingTheListKeepsUnsavedEdits) {
    ControlFixture f;
    StartupController startup(
        f.state, f.ui, [](const core::NameDialogSpec&) { return std::optional<std::string>{}; });
    f.Layer(1).LayerThickness = 9.9f;
    f.Layer(1).LayerType = 5;
    startup.Refresh();
    EXPECT_FLOAT_EQ(f.Layer(1).LayerThickness, 9.9f);
    EXPECT_EQ(startup.SectionLines()[0], "ACAggregate\tNew Flexible") << "the stored section";
}

TEST(StructureClicks, ExistingPavementBoxesAndThePickIgnoreTheSubgrade) {
    ControlFixture f;
    f.Select(2);  // AC Overlay, Asphalt, Ag Crushed, Subgrade
    f.Modify();
    f.controller.SetLayerType(2, 5);  // AC overlay on PCC: an existing rigid pavement
    StructureLayout layout = f.controller.Layout(Metrics());
    ASSERT_EQ(layout.sciBox.text, " SCI = 50 ");
    f.ui.Type("80");
    f.controller.Click(layout, MidX(layout.sciBox.box), MidY(layout.sciBox.box));
    EXPECT_FLOAT_EQ(f.state.Current.SCI, 80.0f);
    layout = f.controller.Layout(Metrics());
    f.controller.Click(layout, MidX(layout.cdfuBox.box), MidY(layout.cdfuBox.box));
    ASSERT_EQ(f.ui.Titles(), std::vector<std::string>{"Changing Percent CDFU"}) << "cracked";

    // During a pick the subgrade is ignored; a layer above it opens the dialog.
    f.controller.DesignCommand();
    ASSERT_TRUE(f.controller.SelectingLayer());
    EXPECT_EQ(f.controller.Click(layout, MidX(layout.thicknessColumn), MidY(layout.bands[3].band)),
              ClickOutcome::Done);
    EXPECT_TRUE(f.controller.SelectingLayer());
    EXPECT_EQ(f.controller.Click(layout, MidX(layout.thicknessColumn), MidY(layout.bands[2].band)),
              ClickOutcome::AddDeleteDialog);
}

}  // namespace
}  // namespace tavro::control
