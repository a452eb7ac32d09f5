// The user port of the benchmarks: nobody to talk to, no events, a stopped clock.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/user_port.h"

namespace tavro::bench {

class QuietPort : public core::UserPort {
public:
    core::Answer ShowBox(std::string_view, std::string_view, core::Buttons, core::Answer a,
                         core::Icon) override {
        return a;
    }
    std::optional<std::string> AskText(std::string_view, std::string_view,
                                       std::string_view) override {
        return std::nullopt;
    }
    void ProcessPendingEvents() override {}
    void ShowProgress(const core::RunProgress&) override {}
    std::int64_t TickMs() override { return 0; }
    double NowDaySerial() override { return 46000; }
};

}  // namespace tavro::bench
