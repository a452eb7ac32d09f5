#include "design/structure_check.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "core/program_state.h"
#include "support/fake_user_port.h"

namespace tavro::design {
namespace {

// Layer type codes of the material library.
enum : std::int16_t {
    kUndefined = 0, kAsphalt = 1, kBase = 2, kSubbase = 3, kSubgrade = 4, kPcc = 5,
    kAgCrushed = 6, kStRigid = 7, kAgUncrushed = 8, kStFlexible = 9, kAcOverlay = 10,
    kUnbond = 11, kPartBond = 12, kOnFlex = 13, kP401Base = 14, kSoilCement = 15,
};

class CheckStructureTest : public ::testing::Test {
protected:
    StructureStatus Check(std::initializer_list<std::int16_t> codes) {
        state.Current.Layers.clear();
        for (std::int16_t code : codes) state.Current.Layers.push_back({1, 1, 0, code});
        ui.boxes.clear();
        ui.answerDefaults = true;
        return CheckStructure(state, ui);
    }
    core::ProgramState state;
    test::FakeUserPort ui;
};

struct Refusal {
    std::initializer_list<std::int16_t> codes;
    const char* text;
};

TEST_F(CheckStructureTest, EachBrokenRuleShowsItsOwnMessageOnce) {
    const Refusal refusals[] = {
        {{kSubgrade, kSubgrade},  // 1
         "Subgrade layers\r\ncannot be placed on the top \r\nof a pavement structure.\r\n\r\n"
         "Please change the structure."},
        {{kAcOverlay, kBase, kSubgrade},  // 2
         "Asphalt overlays can only be placed\r\nover asphalt, PCC, or undefined layers.\r\n\r\n"
         "Please change the structure."},
        {{kUnbond, kAsphalt, kSubgrade},  // 3, the full name of the overlay type
         "P-501 PCC overlay fully unbonded layers\r\ncan only be placed over PCC layers.\r\n\r\n"
         "Please change the structure."},
        {{kPartBond, kBase, kSubgrade},
         "P-501 PCC overlay partially bonded layers\r\ncan only be placed over PCC layers.\r\n\r\n"
         "Please change the structure."},
        {{kOnFlex, kPcc, kSubgrade},  // 4
         "P-501 PCC overlay on flexible layers\r\ncan only be placed over asphalt\r\n"
         "surface or undefined layers.\r\n\r\nPlease change the structure."},
        {{kAsphalt, kBase},  // 5
         "Only Subgrade or Undefined layers can\r\nbe placed at the bottom of the structure.\r\n"
         "\r\nPlease change the structure."},
        {{kAsphalt, kAcOverlay, kSubgrade},  // 6a
         "Overlays can only be placed\r\non the top layer of a pavement\r\nstructure for the "
         "design\r\nprocedure to succeed.\r\n\r\nPlease change the structure."},
        {{kAsphalt, kAsphalt, kSubgrade},  // 6b comes before 6c, which this layer also breaks
         "Only one P-401 Asphalt Surface\r\nlayer can be present in the\r\npavement structure for "
         "the\r\ndesign procedure to succeed.\r\n\r\nPlease change the structure."},
        {{kAsphalt, kAgCrushed, kAgCrushed, kSubgrade},
         "Only one P-209 Crushed Aggregate Base Course\r\nlayer can be present in the\r\n"
         "pavement structure for the\r\ndesign procedure to succeed.\r\n\r\n"
         "Please change the structure."},
        {{kUndefined, kBase, kAsphalt, kSubgrade},  // 6c, two blanks after "asphalt"
         "Asphalt layers can only be placed\r\non the top layer of a pavement\r\nstructure or "
         "directly below an\r\nasphalt  or PCC overlay.\r\n\r\nPlease change the structure."},
        {{kAsphalt, kPcc, kSubgrade},  // 6d
         "PCC layers can only be placed\r\non the top layer of a pavement\r\nstructure or "
         "directly below an\r\noverlay.\r\n\r\nPlease change the structure."},
        {{kAsphalt, kAgUncrushed, kAgCrushed, kSubgrade},  // 6e
         "An aggregate base layer is located\r\ndirectly below an aggregate\r\nsubbase layer. "
         "This is not a valid\r\nstructure for the design procedure.\r\n\r\nPlease change the "
         "structure so that \r\nthe base is above the subbase."},
        {{kAsphalt, kSubgrade, kSubgrade},  // 6f
         "Subgrade layers can only be placed\r\non the bottom layer of a pavement\r\n\r\n"
         "Please change the structure."},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(Check(r.codes), StructureStatus::Invalid);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].title, "Checking the Structure");
        EXPECT_EQ(ui.boxes[0].text, r.text);
        EXPECT_EQ(ui.boxes[0].buttons, core::Buttons::Ok);
    }
}

TEST_F(CheckStructureTest, StandardAndPermittedStructuresPassSilently) {
    const std::initializer_list<std::int16_t> valid[] = {
        {kAsphalt, kAgCrushed, kAgUncrushed, kSubgrade},
        {kUndefined, kSubgrade},
        {kAsphalt, kSubgrade},
        {kPcc, kSubgrade},
        {kAsphalt, kBase, kBase, kBase, kSubgrade},
        {kAcOverlay, kPcc, kStRigid, kSubgrade},
        {kAcOverlay, kPcc, kSoilCement, kSubgrade},  // shares the short name "St (Rigid)"
        {kAcOverlay, kAsphalt, kAgCrushed, kSubgrade},
        {kUnbond, kPcc, kUndefined, kUndefined, kUndefined},
        {kOnFlex, kAsphalt, kP401Base, kStFlexible, kSubbase, kSubgrade},
        {kAsphalt, kP401Base, kP401Base, kBase, kBase, kBase, kBase, kBase, kBase, kBase, kBase,
         kSubbase, kSubbase, kSubbase, kSubbase, kSubgrade},  // sixteen layers
    };
    for (const auto& codes : valid) {
        EXPECT_EQ(Check(codes), StructureStatus::Valid);
        EXPECT_TRUE(ui.boxes.empty());
    }
}

TEST_F(CheckStructureTest, TopAndBottomRulesComeBeforeTheMiddleLayers) {
    Check({kAsphalt, kSubgrade, kBase});  // the middle subgrade would break 6f
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.substr(0, 10), "Only Subgr");
    // A two-layer overlay is tested by the top rules alone.
    EXPECT_EQ(Check({kAcOverlay, kSubgrade}), StructureStatus::Invalid);
    EXPECT_EQ(ui.boxes[0].text.substr(0, 16), "Asphalt overlays");
}

TEST_F(CheckStructureTest, ShowsTheDemonstrationSuffixAndChangesNothing) {
    state.DemoRunning = true;
    Check({kBase, kSubgrade});
    ASSERT_EQ(ui.boxes.size(), 1u);
    const std::string& text = ui.boxes[0].text;
    EXPECT_EQ(text.substr(text.size() - 25), "\r\n\r\nClick OK to continue.");
    EXPECT_EQ(state.Current.Layers.size(), 2u);
    EXPECT_EQ(state.Current.Layers[0].LayerType, kBase);
}

TEST(CheckStructureRules, DegenerateInputGivesAnAnswerWithoutFailing) {
    EXPECT_TRUE(FindStructureViolation({}).has_value());
    EXPECT_TRUE(FindStructureViolation({{1, 1, 0, kAcOverlay}}).has_value());
    // An unknown type code reads as "Undefined".
    EXPECT_FALSE(FindStructureViolation({{1, 1, 0, 99}, {0, 1, 0, -3}}).has_value());
}

}  // namespace
}  // namespace tavro::design
