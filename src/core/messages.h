// Message boxes and number prompts as the whole program uses them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;

// Message lines joined by CR LF; an empty line stands for a blank line of the message.
std::string JoinLines(std::initializer_list<std::string_view> lines);

// Shows a message box. While the demonstration runs, appends NL NL + "Click OK to
// continue." (OK only) or "Click the appropriate button to continue." (other sets).
Answer ShowMessage(const ProgramState& state, UserPort& ui, std::string_view text, Buttons buttons,
                   std::string_view title, Answer defaultAnswer = Answer::Ok,
                   Icon icon = Icon::None);

// Asks for a number. Empty or cancelled entry: false, value unchanged. A number: stored
// in `value` (single precision), true. Anything else: the "Incorrect Data Entry" message,
// false, value unchanged.
bool PromptNumber(const ProgramState& state, UserPort& ui, std::string_view prompt,
                  std::string_view title, float& value);

}  // namespace tavro::core
