#include "core/messages.h"

#include <limits>
#include <string>

#include "core/narrow.h"
#include "core/number_format.h"
#include "core/program_state.h"

namespace tavro::core {

namespace {
bool Offers(Buttons buttons, Answer a) {
    switch (buttons) {
        case Buttons::Ok:
            return a == Answer::Ok;
        case Buttons::OkCancel:
            return a == Answer::Ok || a == Answer::Cancel;
        case Buttons::YesNo:
            return a == Answer::Yes || a == Answer::No;
        case Buttons::YesNoCancel:
            return a == Answer::Yes || a == Answer::No || a == Answer::Cancel;
        case Buttons::RetryCancel:
            return a == Answer::Retry || a == Answer::Cancel;
    }
    return false;
}

Answer FirstButton(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel:
            return Answer::Ok;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return Answer::Yes;
        case Buttons::RetryCancel:
            return Answer::Retry;
    }
    return Answer::Ok;
}
}  // namespace

std::string JoinLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    bool first = true;
    for (std::string_view line : lines) {
        if (!first) text += NL;
        text += line;
        first = false;
    }
    return text;
}

Answer ShowMessage(const ProgramState& state, UserPort& ui, std::string_view text, Buttons buttons,
                   std::string_view title, Answer defaultAnswer, Icon icon) {
    std::string shown(text);
    if (state.DemoRunning) {
        shown += NL;
        shown += NL;
        shown += buttons == Buttons::Ok ? "Click OK to continue."
                                        : "Click the appropriate button to continue.";
    }
    if (!Offers(buttons, defaultAnswer)) defaultAnswer = FirstButton(buttons);
    return ui.ShowBox(title, shown, buttons, defaultAnswer, icon);
}

bool PromptNumber(const ProgramState& state, UserPort& ui, std::string_view prompt,
                  std::string_view title, float& value) {
    std::optional<std::string> entry = ui.AskText(prompt, title, FormatMask(value, "0.######"));
    if (!entry || entry->empty()) return false;
    std::optional<double> number = ParseNumber(*entry);
    // A number beyond single precision would be stored as infinity: refuse it like text.
    if (!number || *number > std::numeric_limits<float>::max() ||
        *number < -std::numeric_limits<float>::max()) {
        std::string text = *entry + " was entered.";
        text += NL;
        text += "It is not a valid number.";
        text += NL;
        text += NL;
        text += "Please retry.";
        ShowMessage(state, ui, text, Buttons::Ok, "Incorrect Data Entry");
        return false;
    }
    value = Single(*number);
    return true;
}

}  // namespace tavro::core
