// The message box routine, the number prompt and the unit set.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "core/units.h"
#include "support/fake_user_port.h"

namespace tavro::core {
namespace {

using test::FakeUserPort;

TEST(ShowMessage, AddsTheDemonstrationSuffixOnlyWhileTheDemonstrationRuns) {
    ProgramState state;
    FakeUserPort ui;
    ShowMessage(state, ui, "Text", Buttons::Ok, "T");
    state.DemoRunning = true;
    ShowMessage(state, ui, "Text", Buttons::Ok, "T");
    ui.Answer(Answer::No);
    EXPECT_EQ(ShowMessage(state, ui, "Text", Buttons::YesNo, "T", Answer::No), Answer::No);
    std::vector<std::string> texts;
    for (const auto& box : ui.boxes) texts.push_back(box.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Text", "Text\r\n\r\nClick OK to continue.",
                                        "Text\r\n\r\nClick the appropriate button to continue."}));
    EXPECT_EQ(ui.boxes[2].defaultAnswer, Answer::No);
    // A default that is not offered becomes the first button.
    ui.answerDefaults = true;
    EXPECT_EQ(ShowMessage(state, ui, "x", Buttons::RetryCancel, "T"), Answer::Retry);
}

TEST(PromptNumber, AcceptsNumbersAndKeepsTheOldValueOtherwise) {
    ProgramState state;
    FakeUserPort ui;
    float value = 5;
    ui.Type(std::string(" 12.5 "));
    EXPECT_TRUE(PromptNumber(state, ui, "p", "t", value));
    EXPECT_EQ(value, 12.5f);

    ui.Type(std::string(""));
    EXPECT_FALSE(PromptNumber(state, ui, "p", "t", value));
    ui.Type(std::nullopt);
    EXPECT_FALSE(PromptNumber(state, ui, "p", "t", value));
    EXPECT_TRUE(ui.boxes.empty()) << "empty and cancelled entries say nothing";

    ui.Type(std::string("12a"));  // its message is checked through the structure edits
    EXPECT_FALSE(PromptNumber(state, ui, "p", "t", value));
    ui.Type(std::string("1e39"));
    EXPECT_FALSE(PromptNumber(state, ui, "p", "t", value)) << "beyond single precision";
    EXPECT_EQ(value, 12.5f);
}

TEST(Units, MetricFactorsConvertAsStated) {
    UnitSet u;
    ApplyUnits(u, true);
    EXPECT_EQ(FormatMask(10 * u.thickness.factor, "0.####"), "254");
    EXPECT_EQ(FormatMask(2204.6225 * u.load.factor, "0.######"), "1");
    EXPECT_EQ(FormatMask(100 * u.pressure.factor, "0.####"), "689.4757");
    EXPECT_EQ(FormatMask(1000000 * u.modulus.factor, "0.###"), "6894.757");
    EXPECT_EQ(u.load.label, "tonnes");
    // 1 pci = 4.4482216 N / (0.0254 m)^3 = 0.2714471 MN/m^3: the label matches the factor
    // (the stored factor 0.27144703 carries its own rounding, 4e-7 relative).
    EXPECT_NEAR(u.subgradeReaction.factor, 4.4482216 / (0.0254 * 0.0254 * 0.0254) / 1e6, 1e-6);
    EXPECT_EQ(u.subgradeReaction.label, "MN/m^3");
    // Switching back restores the English units exactly.
    ApplyUnits(u, false);
    EXPECT_FALSE(u.metric);
    for (const auto* q : {&u.thickness, &u.load, &u.pressure, &u.modulus, &u.subgradeReaction})
        EXPECT_EQ(q->factor, 1.0);
    EXPECT_EQ(u.load.mask, "#,###,##0");
    EXPECT_EQ(u.subgradeReaction.label, "pci");
}

}  // namespace
}  // namespace tavro::core
