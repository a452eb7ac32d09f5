#include "design/structure_check.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "core/program_state.h"
#include "support/fake_user_port.h"

namespace tavro::design {
namespace {

// Layer type codes of the material library.
constexpr std::int16_t kUndefined = 0, kAsphalt = 1, kBase = 2, kSubbase = 3, kSubgrade = 4,
                       kPcc = 5, kAgCrushed = 6, kStRigid = 7, kAgUncrushed = 8, kStFlexible = 9,
                       kAcOverlay = 10, kUnbond = 11, kPartBond = 12, kOnFlex = 13, kP401Base = 14,
                       kSoilCement = 15;

struct Checked {
    StructureStatus status;
    test::FakeUserPort ui;
};

Checked Check(std::initializer_list<std::int16_t> codes) {
    core::ProgramState state;
    for (std::int16_t code : codes) state.Current.Layers.push_back({1, 1, 0, code});
    Checked c;
    c.ui.answerDefaults = true;
    c.status = CheckStructure(state, c.ui);
    return c;
}

const std::string kChange = "\r\n\r\nPlease change the structure.";
const std::string kOverlayOn =
    "Asphalt overlays can only be placed\r\nover asphalt, PCC, or undefined layers.";

TEST(CheckStructure, EachBrokenRuleShowsItsOwnMessageOnce) {
    const struct {
        std::initializer_list<std::int16_t> codes;
        std::string text;
    } refusals[] = {
        {{kSubgrade, kSubgrade},  // 1
         "Subgrade layers\r\ncannot be placed on the top \r\nof a pavement structure."},
        {{kAcOverlay, kBase, kSubgrade}, kOverlayOn},  // 2
        {{kAcOverlay, kSubgrade}, kOverlayOn},         // 2: two layers meet the top rules only
        {{kUnbond, kAsphalt, kSubgrade},               // 3, with the full name of the overlay type
         "P-501 PCC overlay fully unbonded layers\r\ncan only be placed over PCC layers."},
        {{kPartBond, kBase, kSubgrade},
         "P-501 PCC overlay partially bonded layers\r\ncan only be placed over PCC layers."},
        {{kOnFlex, kPcc, kSubgrade},  // 4
         "P-501 PCC overlay on flexible layers\r\ncan only be placed over asphalt\r\n"
         "surface or undefined layers."},
        {{kAsphalt, kSubgrade, kBase},  // 5 comes before 6f of the middle subgrade
         "Only Subgrade or Undefined layers can\r\nbe placed at the bottom of the structure."},
        {{kAsphalt, kAcOverlay, kSubgrade},  // 6a
         "Overlays can only be placed\r\non the top layer of a pavement\r\nstructure for the "
         "design\r\nprocedure to succeed."},
        {{kAsphalt, kAsphalt, kSubgrade},  // 6b comes before 6c, which this layer also breaks
         "Only one P-401 Asphalt Surface\r\nlayer can be present in the\r\npavement structure for "
         "the\r\ndesign procedure to succeed."},
        {{kAsphalt, kAgCrushed, kAgCrushed, kSubgrade},
         "Only one P-209 Crushed Aggregate Base Course\r\nlayer can be present in the\r\n"
         "pavement structure for the\r\ndesign procedure to succeed."},
        {{kUndefined, kBase, kAsphalt, kSubgrade},  // 6c, two blanks after "asphalt"
         "Asphalt layers can only be placed\r\non the top layer of a pavement\r\nstructure or "
         "directly below an\r\nasphalt  or PCC overlay."},
        {{kAsphalt, kPcc, kSubgrade},  // 6d
         "PCC layers can only be placed\r\non the top layer of a pavement\r\nstructure or "
         "directly below an\r\noverlay."},
        {{kAsphalt, kAgUncrushed, kAgCrushed, kSubgrade},  // 6e
         "An aggregate base layer is located\r\ndirectly below an aggregate\r\nsubbase layer. "
         "This is not a valid\r\nstructure for the design procedure.\r\n\r\nPlease change the "
         "structure so that \r\nthe base is above the subbase."},
        {{kAsphalt, kSubgrade, kSubgrade},  // 6f
         "Subgrade layers can only be placed\r\non the bottom layer of a pavement"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.text);
        const Checked c = Check(r.codes);
        EXPECT_EQ(c.status, StructureStatus::Invalid);
        // Every rule but 6e, which says how to change it, ends with the same request.
        const bool own = r.text.ends_with("subbase.");
        ASSERT_TRUE(c.ui.OnlyBox("Checking the Structure", own ? r.text : r.text + kChange));
        EXPECT_EQ(c.ui.boxes[0].buttons, core::Buttons::Ok);
    }
}

TEST(CheckStructure, StandardAndPermittedStructuresPassSilently) {
    const std::initializer_list<std::int16_t> valid[] = {
        {kAsphalt, kAgCrushed, kAgUncrushed, kSubgrade},
        {kUndefined, kSubgrade},
        {kAcOverlay, kPcc, kStRigid, kSubgrade},
        {kAcOverlay, kPcc, kSoilCement, kSubgrade},  // shares the short name "St (Rigid)"
        {kAcOverlay, kAsphalt, kAgCrushed, kSubgrade},
        {kUnbond, kPcc, kUndefined, kUndefined, kUndefined},
        {kOnFlex, kAsphalt, kP401Base, kStFlexible, kSubbase, kSubgrade},
        {kAsphalt, kP401Base, kP401Base, kBase, kBase, kBase, kBase, kBase, kBase, kBase, kBase,
         kSubbase, kSubbase, kSubbase, kSubbase, kSubgrade},  // sixteen layers
    };
    for (const auto& codes : valid) {
        const Checked c = Check(codes);
        EXPECT_EQ(c.status, StructureStatus::Valid);
        EXPECT_TRUE(c.ui.boxes.empty());
    }
}

TEST(CheckStructure, DegenerateInputGivesAnAnswerWithoutFailing) {
    EXPECT_TRUE(FindStructureViolation({}).has_value());
    EXPECT_TRUE(FindStructureViolation({{1, 1, 0, kAcOverlay}}).has_value());
    // An unknown type code reads as "Undefined".
    EXPECT_FALSE(FindStructureViolation({{1, 1, 0, 99}, {0, 1, 0, -3}}).has_value());
}

}  // namespace
}  // namespace tavro::design
