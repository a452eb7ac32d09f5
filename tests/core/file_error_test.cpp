#include "core/file_error.h"

#include <gtest/gtest.h>

#include "core/program_state.h"
#include "support/fake_user_port.h"

namespace tavro::core {
namespace {

using test::FakeUserPort;

struct Shown {
    int result;
    std::string text;
};

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

TEST(FileErrorMessage, ShowsTheTextOfEachKnownNumber) {
    EXPECT_EQ(ShowError(52).text, "C:/T/A.JOB path or file name is illegal.");
    EXPECT_EQ(ShowError(64).text, "C:/T/A.JOB path or file name is illegal.");
    EXPECT_EQ(ShowError(53).text, "Cannot find C:/T/A.JOB.");
    EXPECT_EQ(ShowError(54).text, "Can't open C:/T/A.JOB for that type of access.");
    EXPECT_EQ(ShowError(55).text, "C:/T/A.JOB is already open.");
    EXPECT_EQ(ShowError(57).text, "The disk is full.");
    EXPECT_EQ(ShowError(62).text,
              "C:/T/A.JOB has a nonstandard end-of-file marker,or an attempt was made to "
              "read beyond the end-of-file marker.");
    EXPECT_EQ(ShowError(71).text, "The disk is not ready.");
    EXPECT_EQ(ShowError(76).text, "The path for C:/T/A.JOB doesn't exist.");
    EXPECT_EQ(ShowError(53).result, kFileErrorDismissed);
}

TEST(FileErrorMessage, UnknownNumberShowsNothingAndAsksTheCallerForItsText) {
    for (int n : {0, 61, 75, 999}) {
        Shown s = ShowError(n);
        EXPECT_EQ(s.result, kFileErrorNoText);
        EXPECT_EQ(s.text, "");
    }
}

TEST(FileErrorMessage, UnavailableDiskOffersRetryWithCancelAsDefault) {
    ProgramState state;
    FakeUserPort ui;
    ui.Answer(Answer::Retry);
    ui.Answer(Answer::Cancel);
    EXPECT_EQ(FileErrorMessage(state, ui, 68, "A.JOB"), kFileErrorRetry);
    EXPECT_EQ(FileErrorMessage(state, ui, 68, "A.JOB"), kFileErrorDismissed);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "The disk appears to be unavailable.");
    EXPECT_EQ(ui.boxes[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(ui.boxes[0].defaultAnswer, Answer::Cancel);
}

TEST(FileErrorMessage, DetailIsAParagraphOfItsOwn) {
    ProgramState state;
    FakeUserPort ui;
    FileErrorMessage(state, ui, 57, "A.JOB", "Nothing was changed.");
    EXPECT_TRUE(ui.OnlyBox(nullptr, "The disk is full.\r\n\r\nNothing was changed."));
}

TEST(ReportFileError, UnknownReadErrorShowsTheGenericReadingText) {
    ProgramState state;
    FakeUserPort ui;
    EXPECT_FALSE(ReportFileError(state, ui, 75, "/p/RWY.JOB", FileOperation::Reading));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "File Error");
    EXPECT_EQ(ui.boxes[0].buttons, Buttons::Ok);
    EXPECT_EQ(ui.boxes[0].text,
              "Error # 75 occurred reading\r\n"
              "file /p/RWY.JOB.\r\n"
              "\r\n"
              "It may have been caused by a corrupted file or by\r\n"
              "a file with incorrect format. Please check the file.\r\n"
              "\r\n"
              "If the error occurred during startup, try loading\r\n"
              "another job or create a new job. Repair or delete\r\n"
              "the bad job file as soon as possible.");
}

TEST(ReportFileError, UnknownWriteErrorShowsTheGenericWritingTextAndDetail) {
    ProgramState state;
    FakeUserPort ui;
    EXPECT_FALSE(ReportFileError(state, ui, 75, "/p/RWY.JOB", FileOperation::Writing));
    EXPECT_FALSE(ReportFileError(state, ui, 75, "/p/RWY.JOB", FileOperation::Writing, "D."));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Error # 75 occurred writing\r\nfile /p/RWY.JOB.");
    EXPECT_EQ(ui.boxes[1].text, "Error # 75 occurred writing\r\nfile /p/RWY.JOB.\r\n\r\nD.");
}

TEST(ReportFileError, KnownNumberUsesItsOwnTextAndOnlyRetryAsksToRetry) {
    ProgramState state;
    FakeUserPort ui;
    ui.Answer(Answer::Retry);
    EXPECT_TRUE(ReportFileError(state, ui, 68, "/p/A.NTS", FileOperation::Writing));
    EXPECT_FALSE(ReportFileError(state, ui, 53, "/p/A.NTS", FileOperation::Reading));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, "Cannot find /p/A.NTS.");
}

}  // namespace
}  // namespace tavro::core
