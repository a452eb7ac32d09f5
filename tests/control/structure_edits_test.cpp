// The entries of the structure window through the scripted user.
#include <gtest/gtest.h>

#include "control_fixture.h"
#include "library/layer_library.h"

namespace tavro::control {
namespace {

using testing::ControlFixture;

struct EntryCase {
    const char* typed;
    double stored;
    const char* message;  // nullptr: no message
};

TEST(StructureEdits, LifeIsRoundedHalvesToEvenAndOutOfRangeBecomesTwenty) {
    const char* outside =
        "Pavement life cannot be outside\r\n the range 1 to 50 years.\r\n\r\n"
        "Life has been set to 20 years.";
    const EntryCase cases[] = {
        {"0", 20, outside},  {"51", 20, outside}, {"50.5", 50, nullptr},
        {"2.5", 2, nullptr}, {"1", 1, nullptr},
    };
    for (const EntryCase& c : cases) {
        ControlFixture f;
        f.Modify();
        f.Enter(c.typed, &StructureController::EditLife);
        EXPECT_EQ(f.state.Current.DesignLife, c.stored) << c.typed;
        if (c.message)
            EXPECT_TRUE(f.ui.OnlyBox("Changing Pavement Life", c.message)) << c.typed;
        else
            EXPECT_TRUE(f.ui.boxes.empty()) << c.typed;
    }
}

TEST(StructureEdits, CancelledOrNonNumericEntriesKeepTheOldValue) {
    ControlFixture f;
    f.Modify();
    f.Enter(std::nullopt, &StructureController::EditLife);
    f.Enter("abc", &StructureController::EditThickness, 1);
    EXPECT_EQ(f.state.Current.DesignLife, 20);
    EXPECT_FLOAT_EQ(f.Layer(1).LayerThickness, 4.5f);
    EXPECT_TRUE(f.ui.OnlyBox("Incorrect Data Entry",
                             "abc was entered.\r\nIt is not a valid number.\r\n\r\nPlease retry."));
}

// AC over PCC: an AC overlay on rigid, whose SCI range is 50..100.
void MakeAcOnRigid(ControlFixture& f) {
    f.Select(2);
    f.Modify();
    f.controller.SetLayerType(2, 5);  // PCC under the AC overlay
    f.ui.boxes.clear();
    ASSERT_TRUE(f.state.Current.ExistingPavement);
}

TEST(StructureEdits, SciEntryAcceptsItsBoundsAndForcesCdfuBelowHundred) {
    const char* outside =
        "SCI for the existing pavement must\r\nbe in the range 50 to 100.\r\n\r\n"
        "SCI has been set to 50.";  // the AC overlay's default
    const EntryCase cases[] = {{"100", 100, nullptr},
                               {"50", 50, nullptr},
                               {"-75", 75, nullptr},
                               {"49", 50, outside},
                               {"101", 50, outside}};
    for (const EntryCase& c : cases) {
        ControlFixture f;
        MakeAcOnRigid(f);
        f.state.Current.CDFU = 40;
        f.Enter(c.typed, &StructureController::EditSci);
        EXPECT_FLOAT_EQ(f.state.Current.SCI, static_cast<float>(c.stored)) << c.typed;
        EXPECT_FLOAT_EQ(f.state.Current.CDFU, c.stored == 100 ? 40.0f : 100.0f) << c.typed;
        if (c.message) {
            EXPECT_TRUE(f.ui.OnlyBox("Changing Existing SCI", c.message)) << c.typed;
        }
    }
}

TEST(StructureEdits, CdfuIsFixedForACrackedPavementAndOtherwiseRangeChecked) {
    ControlFixture f;
    MakeAcOnRigid(f);
    f.state.Current.SCI = 99;
    f.controller.EditCdfu();
    EXPECT_TRUE(f.ui.OnlyBox("Changing Percent CDFU",
                             "SCI for the existing pavement is less\r\nthan 100 and the existing "
                             "pavement\r\nis classified as cracked.\r\n\r\n%CDFU is fixed at 100 "
                             "for SCI < 100."));
    EXPECT_TRUE(f.ui.prompts.empty());

    f.ui.boxes.clear();
    f.state.Current.SCI = 100;
    f.Enter("-35", &StructureController::EditCdfu);
    EXPECT_FLOAT_EQ(f.state.Current.CDFU, 35.0f);
    f.Enter("5", &StructureController::EditCdfu);
    EXPECT_FLOAT_EQ(f.state.Current.CDFU, 100.0f);
    EXPECT_TRUE(f.ui.OnlyBox("Changing Percent CDFU",
                             "Percent CDFU for the existing pavement\r\nmust be in the range 10 "
                             "to 100 %.\r\n\r\nPercent CDFU has been set to 100 %."));
}

TEST(StructureEdits, ThicknessBelowTheMinimumIsRaisedSilentlyInEitherUnits) {
    ControlFixture us;
    us.Modify();
    us.Enter("1", &StructureController::EditThickness, 1);  // the asphalt minimum is more
    EXPECT_EQ(std::tuple(us.Layer(1).LayerThickness, us.ui.boxes.size(), us.ui.prompts.back()),
              std::tuple(library::LayerMaterialOf(1).MinThickness, 0u, "Asphalt Layer Thickness"));

    ControlFixture metric(true);
    metric.Modify();
    metric.Enter("254", &StructureController::EditThickness, 2);
    EXPECT_FLOAT_EQ(metric.Layer(2).LayerThickness, 10.0f);
}

TEST(StructureEdits, SubgradeCbrAndKAreClampedSilentlyAndTiedToTheModulus) {
    ControlFixture f;
    f.Modify();
    f.Enter("50", &StructureController::EditThickness, 3);  // the bottom layer: CBR
    EXPECT_FLOAT_EQ(f.Layer(3).LayerModulus, 30000.0f) << "CBR clamped to 30";
    f.Enter("0.5", &StructureController::EditSubgrade);
    EXPECT_FLOAT_EQ(f.Layer(3).LayerModulus, 1000.0f) << "CBR clamped to 1";
    EXPECT_TRUE(f.ui.boxes.empty());

    f.controller.SetLayerType(1, 5);  // PCC on top: rigid, k
    f.Enter("200", &StructureController::EditSubgrade);
    // E = 26 k^1.284 (psi, k in pci): 200^1.284 = exp(1.284 ln 200) = exp(6.80304) = 900.58,
    // times 26 = 23415.1.
    constexpr double kHandRounding = 0.5;  // psi, of the hand calculation above
    EXPECT_NEAR(f.Layer(3).LayerModulus, 23415.1, kHandRounding);
}

TEST(StructureEdits, ModulusEntriesByLayerKind) {
    ControlFixture f;
    f.Select(3);  // Asphalt, P-401, Ag Crushed, Subgrade
    f.Modify();
    f.controller.EditModulus(1);
    EXPECT_TRUE(f.ui.OnlyBox("Asphalt Layer Modulus",
                             "The modulus of Asphalt layers is fixed at \r\n200,000 psi and "
                             "cannot be changed."));
    f.controller.EditModulus(3);
    f.controller.EditModulus(2);  // P-401: fixed modulus type
    EXPECT_EQ(f.ui.Titles()[1], "Ag Crushed Layer Modulus");
    EXPECT_EQ(f.ui.boxes.size(), 3u);
    EXPECT_TRUE(f.ui.prompts.empty());

    // The subgrade: accepted within range, CBR follows; outside, the default with a message.
    f.ui.boxes.clear();
    f.Enter("15000", &StructureController::EditModulus, 4);
    EXPECT_EQ(f.controller.Layout({}).bands.back().thickness.text, "CBR = 15.0");
    f.Enter("40000", &StructureController::EditModulus, 4);
    EXPECT_FLOAT_EQ(f.Layer(4).LayerModulus, library::LayerMaterialOf(4).DefaultModulus);
    ASSERT_EQ(f.ui.Titles(), std::vector<std::string>{"Incorrect Data Entry"});
    EXPECT_EQ(f.ui.boxes[0].text.substr(0, 55),
              "The modulus value entered is outside the allowed range.");
}

TEST(StructureEdits, FlexuralStrengthOfPccLayers) {
    ControlFixture f;
    f.Modify();
    f.controller.SetLayerType(1, 5);
    f.Enter("1000", &StructureController::EditModulus, 1);
    EXPECT_FLOAT_EQ(f.Layer(1).LayerFlexStrength, 1000.0f);
    EXPECT_EQ(f.ui.prompts.back(), "PCC Flexural Strength");
    f.Enter("1001", &StructureController::EditModulus, 1);
    EXPECT_FLOAT_EQ(f.Layer(1).LayerFlexStrength, 700.0f);
    EXPECT_TRUE(f.ui.OnlyBox("Incorrect Data Entry",
                             "The value of flexural strength entered is outside the allowed "
                             "range.\r\n\r\nThe default value of 700 psi will be selected."));
}

TEST(StructureEdits, ANewLayerTypeBringsItsMinimumModulusStrengthAndConditionDefaults) {
    ControlFixture f;
    f.Modify();
    f.Layer(1).LayerThickness = 0.5f;
    f.controller.SetLayerType(1, 10);  // AC Overlay on top
    const library::LayerMaterial& overlay = library::LayerMaterialOf(10);
    EXPECT_EQ(std::tuple(f.Layer(1).LayerThickness, f.Layer(1).LayerModulus, f.state.Current.CDFU),
              std::tuple(overlay.MinThickness, overlay.DefaultModulus, overlay.DefaultCDFU));
    f.state.Current.SCI = 60;
    f.controller.SetLayerType(2, 5);  // PCC below the top: the condition of the top type
    EXPECT_EQ(std::tuple(f.state.Current.SCI, f.Layer(2).LayerFlexStrength),
              std::tuple(overlay.DefaultSCI, 700.0f));
}

// One pass through the add/delete dialog: pick `layer`, apply `op`, close.
void AddDeleteOnce(ControlFixture& f, int layer, AddDelete op) {
    f.controller.BeginAddDelete();
    ASSERT_TRUE(f.controller.PickLayer(layer));
    ASSERT_TRUE(f.controller.ApplyAddDelete(op));
    f.controller.EndAddDelete();
}

TEST(StructureEdits, AddAndDeleteAtTheLimits) {
    ControlFixture f;
    f.Modify();
    // 16 layers: Add refused, the dialog stays open and nothing changes.
    while (f.state.Current.LayerCount() < core::kMaxLayers)
        ASSERT_NO_FATAL_FAILURE(AddDeleteOnce(f, 2, AddDelete::Add));
    f.controller.BeginAddDelete();
    EXPECT_FALSE(f.controller.PickLayer(16)) << "the subgrade cannot be picked";
    ASSERT_TRUE(f.controller.PickLayer(1));
    EXPECT_FALSE(f.controller.ApplyAddDelete(AddDelete::Add));
    EXPECT_TRUE(f.ui.OnlyBox("Too Many Layers",
                             "The maximum number of layers allowed in a structure is 16.\r\n"
                             "This structure already has 16 layers.\r\nNo more can be added."));
    f.controller.EndAddDelete();

    // Down to 2 layers: Delete refused.
    while (f.state.Current.LayerCount() > 2)
        ASSERT_NO_FATAL_FAILURE(AddDeleteOnce(f, 1, AddDelete::Delete));
    f.ui.boxes.clear();
    f.controller.BeginAddDelete();
    ASSERT_TRUE(f.controller.PickLayer(1));
    EXPECT_FALSE(f.controller.ApplyAddDelete(AddDelete::Delete));
    EXPECT_TRUE(f.ui.OnlyBox("Not Enough Layers", "The stucture cannot have less than two layers"));
    EXPECT_EQ(f.state.Current.LayerCount(), 2);
}

TEST(StructureEdits, AddDuplicatesThePickedLayerAndDeletingTheTopTakesTheNewTopsCondition) {
    ControlFixture f;
    MakeAcOnRigid(f);  // AC Overlay, PCC, Ag Crushed, Subgrade
    f.Layer(2).LayerThickness = 7.5f;
    AddDeleteOnce(f, 2, AddDelete::Add);
    ASSERT_EQ(f.state.Current.LayerCount(), 5);
    EXPECT_FLOAT_EQ(f.Layer(3).LayerThickness, 7.5f);
    f.state.Current.SCI = 80;
    AddDeleteOnce(f, 1, AddDelete::Delete);
    EXPECT_EQ(
        std::tuple(int(f.Layer(1).LayerType), f.state.Current.SCI, f.controller.DesignLayer()),
        std::tuple(5, library::LayerMaterialOf(5).DefaultSCI, 1));
}

}  // namespace
}  // namespace tavro::control
