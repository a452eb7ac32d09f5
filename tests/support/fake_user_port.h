// A scripted user for tests: records every message box and input box, answers from
// queues, and fails the test on a message nobody scripted an answer for (unless told to
// answer with the default).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/user_port.h"

namespace tavro::test {

struct RecordedBox {
    std::string title;
    std::string text;
    core::Buttons buttons;
    core::Answer defaultAnswer;
    core::Icon icon;
};

class FakeUserPort : public core::UserPort {
public:
    core::Answer ShowBox(std::string_view title, std::string_view text, core::Buttons buttons,
                         core::Answer defaultAnswer, core::Icon icon) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view title,
                                       std::string_view initial) override;
    void ProcessPendingEvents() override {
        ++eventPolls;
        if (onPoll) onPoll(eventPolls);
    }
    void ShowProgress(const core::RunProgress& progress) override {
        ++redraws;
        if (onProgress) onProgress(progress);
    }
    std::int64_t TickMs() override { return tickMs; }
    double NowDaySerial() override { return nowSerial; }

    // Answers for the next boxes, in order.
    void Answer(core::Answer a) { answers.push_back(a); }
    // Texts for the next input boxes; nullopt = Cancel.
    void Type(std::optional<std::string> text) { typed.push_back(std::move(text)); }

    std::vector<RecordedBox> boxes;
    std::vector<std::string> prompts;      // titles of the input boxes
    std::vector<std::string> promptTexts;  // and their prompts
    std::deque<core::Answer> answers;
    std::deque<std::optional<std::string>> typed;
    // When true, a box with no scripted answer gets its default instead of failing.
    bool answerDefaults = false;
    int eventPolls = 0;
    // Called after each event poll with the poll count, e.g. to interrupt a run after n polls.
    std::function<void(int)> onPoll;
    int redraws = 0;
    // Called with each progress report.
    std::function<void(const core::RunProgress&)> onProgress;
    std::int64_t tickMs = 0;
    double nowSerial = 46000.5;  // 2025-12-09 12:00:00

    std::vector<std::string> Titles() const;
    // Exactly one box was shown, with this title (unless null) and this text; a failure
    // names what differed.
    ::testing::AssertionResult OnlyBox(const char* title, std::string_view text) const;
};

}  // namespace tavro::test
