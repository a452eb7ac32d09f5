#include "support/fake_user_port.h"

#include <gtest/gtest.h>

namespace tavro::test {

core::Answer FakeUserPort::ShowBox(std::string_view title, std::string_view text,
                                   core::Buttons buttons, core::Answer defaultAnswer,
                                   core::Icon icon) {
    boxes.push_back({std::string(title), std::string(text), buttons, defaultAnswer, icon});
    if (!answers.empty()) {
        core::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    if (!answerDefaults && buttons != core::Buttons::Ok) {
        ADD_FAILURE() << "unscripted message box: " << title << ": " << text;
    }
    return defaultAnswer;
}

std::optional<std::string> FakeUserPort::AskText(std::string_view prompt, std::string_view title,
                                                 std::string_view) {
    prompts.emplace_back(title);
    promptTexts.emplace_back(prompt);
    if (typed.empty()) {
        ADD_FAILURE() << "unscripted input box: " << title;
        return std::nullopt;
    }
    auto t = typed.front();
    typed.pop_front();
    return t;
}

std::vector<std::string> FakeUserPort::Titles() const {
    std::vector<std::string> out;
    for (const auto& b : boxes) out.push_back(b.title);
    return out;
}

::testing::AssertionResult FakeUserPort::OnlyBox(const char* title, std::string_view text) const {
    if (boxes.size() != 1) {
        return ::testing::AssertionFailure() << boxes.size() << " boxes shown, not 1";
    }
    if (title != nullptr && boxes[0].title != title) {
        return ::testing::AssertionFailure()
               << "title \"" << boxes[0].title << "\", not \"" << title << '"';
    }
    if (boxes[0].text != text) {
        return ::testing::AssertionFailure()
               << "text \"" << boxes[0].text << "\", not \"" << text << '"';
    }
    return ::testing::AssertionSuccess();
}

}  // namespace tavro::test
