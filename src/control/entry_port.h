// A user port that answers the next input box with a value given beforehand and forwards
// everything else: how the command line feeds its values through the window's entries, so
// that clamps, defaults and messages are those of the window.
#pragma once

#include <optional>
#include <string>

#include "core/user_port.h"

namespace tavro::control {

class EntryPort : public core::UserPort {
public:
    explicit EntryPort(core::UserPort& inner) : inner_(inner) {}

    // The answer of the next input box (one box only).
    void Give(std::string value) {
        value_ = std::move(value);
        asked_ = false;
    }
    // An input box was shown since the last Give.
    bool Asked() const { return asked_; }

    core::Answer ShowBox(std::string_view title, std::string_view text, core::Buttons buttons,
                         core::Answer defaultAnswer, core::Icon icon) override {
        return inner_.ShowBox(title, text, buttons, defaultAnswer, icon);
    }
    std::optional<std::string> AskText(std::string_view, std::string_view,
                                       std::string_view) override {
        asked_ = true;
        std::optional<std::string> value = std::move(value_);
        value_.reset();
        return value;
    }
    void ProcessPendingEvents() override { inner_.ProcessPendingEvents(); }
    void ShowProgress(const core::RunProgress& progress) override { inner_.ShowProgress(progress); }
    std::int64_t TickMs() override { return inner_.TickMs(); }
    double NowDaySerial() override { return inner_.NowDaySerial(); }

private:
    core::UserPort& inner_;
    std::optional<std::string> value_;
    bool asked_ = false;
};

}  // namespace tavro::control
