// The file-error dialog: one text per known file error number, and the generic
// reading/writing texts for the others.
#include "core/file_error.h"

#include <charconv>
#include <string>

#include "core/messages.h"
#include "core/program_state.h"

namespace tavro::core {

namespace {

std::string NumberText(int n) {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    return std::string(digits, end);
}

// The text of a known error number; empty when the number has none.
std::string KnownErrorText(int errorNumber, std::string_view fileName) {
    std::string name(fileName);
    switch (errorNumber) {
        case 52:
        case 64:
            return name + " path or file name is illegal.";
        case 53:
            return "Cannot find " + name + ".";
        case 54:
            return "Can't open " + name + " for that type of access.";
        case 55:
            return name + " is already open.";
        case 57:
            return "The disk is full.";
        case 62:
            return name + " has a nonstandard end-of-file marker," +
                   "or an attempt was made to read beyond " + "the end-of-file marker.";
        case 68:
            return "The disk appears to be unavailable.";
        case 71:
            return "The disk is not ready.";
        case 76:
            return "The path for " + name + " doesn't exist.";
        default:
            return {};
    }
}

void AppendDetail(std::string& text, std::string_view detail) {
    if (detail.empty()) return;
    text += NL;
    text += NL;
    text += detail;
}

std::string GenericText(int errorNumber, const std::string& path, FileOperation operation) {
    std::string text = "Error # " + NumberText(errorNumber);
    text += operation == FileOperation::Reading ? " occurred reading" : " occurred writing";
    text += NL;
    text += "file " + path + ".";
    if (operation == FileOperation::Writing) return text;
    for (std::string_view line : {"", "It may have been caused by a corrupted file or by",
                                  "a file with incorrect format. Please check the file.", "",
                                  "If the error occurred during startup, try loading",
                                  "another job or create a new job. Repair or delete",
                                  "the bad job file as soon as possible."}) {
        text += NL;
        text += line;
    }
    return text;
}

}  // namespace

int FileErrorMessage(const ProgramState& state, UserPort& ui, int errorNumber,
                     std::string_view fileName, std::string_view detail) {
    std::string text = KnownErrorText(errorNumber, fileName);
    if (text.empty()) return kFileErrorNoText;
    AppendDetail(text, detail);
    // Cancel is the default so that a front end without a user cannot retry forever.
    if (errorNumber == 68) {
        Answer a = ShowMessage(state, ui, text, Buttons::RetryCancel, "File Error", Answer::Cancel,
                               Icon::Exclamation);
        return a == Answer::Retry ? kFileErrorRetry : kFileErrorDismissed;
    }
    ShowMessage(state, ui, text, Buttons::Ok, "File Error", Answer::Ok, Icon::Exclamation);
    return kFileErrorDismissed;
}

bool ReportFileError(const ProgramState& state, UserPort& ui, int errorNumber,
                     const std::string& path, FileOperation operation, std::string_view detail) {
    int action = FileErrorMessage(state, ui, errorNumber, path, detail);
    if (action == kFileErrorNoText) {
        std::string text = GenericText(errorNumber, path, operation);
        AppendDetail(text, detail);
        ShowMessage(state, ui, text, Buttons::Ok, "File Error", Answer::Ok, Icon::Exclamation);
        return false;
    }
    return action == kFileErrorRetry;
}

}  // namespace tavro::core
