// The file-error dialog and the generic read/write error texts.
#pragma once

#include <string>
#include <string_view>

#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;

inline constexpr int kFileErrorRetry = 0;
inline constexpr int kFileErrorDismissed = 2;
inline constexpr int kFileErrorNoText = 3;

// Shows the text of a known file error number (title "File Error", exclamation icon).
// Returns kFileErrorRetry when the user chose Retry, kFileErrorDismissed for OK or
// Cancel, and kFileErrorNoText (showing nothing) for a number without a text of its own.
// A non-empty `detail` is appended as a paragraph of its own.
int FileErrorMessage(const ProgramState& state, UserPort& ui, int errorNumber,
                     std::string_view fileName, std::string_view detail = {});

enum class FileOperation { Reading, Writing };

// Reports a file error: the dialog text when the number has one, otherwise the generic
// "Error # N occurred reading/writing file ..." message. Returns true when the user asked
// to retry.
bool ReportFileError(const ProgramState& state, UserPort& ui, int errorNumber,
                     const std::string& path, FileOperation operation,
                     std::string_view detail = {});

}  // namespace tavro::core
