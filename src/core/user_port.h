// The only way the computational core talks to the user. Implemented by the desktop
// program, by the command-line program and by a scripted fake in the tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/run_progress.h"

namespace tavro::core {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };
enum class Icon { None, Exclamation, Question, Information };

class UserPort {
public:
    virtual ~UserPort() = default;
    // A modal message box; returns the button pressed. `defaultAnswer` is the button
    // that Enter presses (and the answer of a non-interactive front end).
    virtual Answer ShowBox(std::string_view title, std::string_view text, Buttons buttons,
                           Answer defaultAnswer, Icon icon) = 0;
    // A single-line input box; nullopt when cancelled.
    virtual std::optional<std::string> AskText(std::string_view prompt, std::string_view title,
                                               std::string_view initial) = 0;
    // Lets pending window events run at the fixed points of long runs.
    virtual void ProcessPendingEvents() = 0;
    // Progress of a run at its redraw points: the structure drawing and its progress line.
    virtual void ShowProgress(const RunProgress& progress) = 0;
    // Millisecond counter for analysis timing.
    virtual std::int64_t TickMs() = 0;
    // Local date and time as a day serial (days since 1899-12-30).
    virtual double NowDaySerial() = 0;
};

}  // namespace tavro::core
