#include "core/file_error.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/program_state.h"
#include "support/fake_user_port.h"

namespace tavro::core {
namespace {

using test::FakeUserPort;

using Shown = std::pair<int, std::string>;

Shown ShowError(int number, std::string_view name = "C:/T/A.JOB") {
    ProgramState state;
    FakeUserPort ui;
    ui.answerDefaults = true;
    int result = FileErrorMessage(state, ui, number, name);
    EXPECT_LE(ui.boxes.size(), 1u);
    if (ui.boxes.empty()) return {result, ""};
    EXPECT_EQ(ui.boxes[0].title, "File Error");
    EXPECT_EQ(ui.boxes[0].icon, Icon::Exclamation);
    return {result, ui.boxes[0].text};
}

// Numbers 53, 54, 62 and 76 are shown in full by the job and notes file tests.
TEST(FileErrorMessage, ShowsTheTextOfEachKnownNumber) {
    const std::pair<int, const char*> known[] = {
        {52, "C:/T/A.JOB path or file name is illegal."},
        {64, "C:/T/A.JOB path or file name is illegal."},
        {55, "C:/T/A.JOB is already open."},
        {57, "The disk is full."},
        {71, "The disk is not ready."},
    };
    for (const auto& [number, text] : known)
        EXPECT_EQ(ShowError(number), Shown(kFileErrorDismissed, text)) << number;
    // An unknown number shows nothing and asks the caller for its text.
    for (int n : {0, 61, 75, 999}) EXPECT_EQ(ShowError(n), Shown(kFileErrorNoText, "")) << n;
}

TEST(FileErrorMessage, UnavailableDiskOffersRetryWithCancelAsDefault) {
    ProgramState state;
    FakeUserPort ui;
    ui.Answer(Answer::Retry);
    ui.Answer(Answer::Cancel);
    EXPECT_EQ(FileErrorMessage(state, ui, 68, "A.JOB"), kFileErrorRetry);
    EXPECT_EQ(FileErrorMessage(state, ui, 68, "A.JOB"), kFileErrorDismissed);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(
        std::tuple(ui.boxes[0].text, ui.boxes[0].buttons, ui.boxes[0].defaultAnswer),
        std::tuple("The disk appears to be unavailable.", Buttons::RetryCancel, Answer::Cancel));
}

// The generic reading text is checked in full where a job file fails to read.
// A known number uses its own text and only Retry asks to retry.
TEST(ReportFileError, UnknownWriteErrorShowsTheGenericWritingTextAndDetail) {
    ProgramState state;
    FakeUserPort ui;
    ui.Answer(Answer::Retry);
    EXPECT_TRUE(ReportFileError(state, ui, 68, "/p/A.NTS", FileOperation::Writing));
    EXPECT_FALSE(ReportFileError(state, ui, 53, "/p/A.NTS", FileOperation::Reading));
    EXPECT_EQ(ui.boxes.size(), 2u);
    ui.boxes.clear();
    EXPECT_FALSE(ReportFileError(state, ui, 75, "/p/RWY.JOB", FileOperation::Writing));
    EXPECT_FALSE(ReportFileError(state, ui, 75, "/p/RWY.JOB", FileOperation::Writing, "D."));
    ASSERT_EQ(ui.Titles(), (std::vector<std::string>{"File Error", "File Error"}));
    EXPECT_EQ(ui.boxes[0].buttons, Buttons::Ok);
    EXPECT_EQ(ui.boxes[0].text, "Error # 75 occurred writing\r\nfile /p/RWY.JOB.");
    EXPECT_EQ(ui.boxes[1].text, ui.boxes[0].text + "\r\n\r\nD.");
}

}  // namespace
}  // namespace tavro::core
